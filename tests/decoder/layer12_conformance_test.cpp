// Every Layer I and II conformance stream, decoded frame by frame, against
// its reference decoding.

#include "Layer12Decoding.h"

#include <gtest/gtest.h>

using namespace testsupport;

namespace {

struct Vector {
    const char* name;
    int layer;
};

void PrintTo(const Vector& v, std::ostream* os) {
    *os << v.name;
}

class Layer12Conformance : public ::testing::TestWithParam<Vector> {};

} // namespace

TEST_P(Layer12Conformance, MatchesReferenceWithinTruncation) {
    const std::string base = SharedPath(std::string("vectors/") + GetParam().name);
    Layer12Run run = DecodeLayer12File(base + ".bit");
    ASSERT_TRUE(run.opened);
    ASSERT_TRUE(run.sink);
    EXPECT_EQ(run.other_layers, 0);
    EXPECT_EQ(run.frames_rejected, 0);
    EXPECT_EQ(run.frames_decoded, run.frames_read);
    EXPECT_EQ(run.sink->frames_ended, run.frames_decoded);
    const std::size_t per_frame = GetParam().layer == 1 ? 384 : 1152;
    EXPECT_EQ(run.sink->appended[0], per_frame * static_cast<std::size_t>(run.frames_decoded));
    if (run.channels == 2) {
        EXPECT_EQ(run.sink->appended[1], run.sink->appended[0]);
    }

    const std::vector<std::int16_t> reference = ReadPcm(base + ".pcm");
    // References may be padded past the stream's end, never shorter.
    ASSERT_GE(reference.size(), run.sink->pcm.size());
    PcmComparison c = ComparePcm(run.sink->pcm, reference);
    EXPECT_EQ(c.compared, run.sink->pcm.size());
    EXPECT_GE(c.psnr, 92.5);
    EXPECT_LE(c.max_diff, 2);
    RecordProperty("psnr", std::to_string(c.psnr));
}

INSTANTIATE_TEST_SUITE_P(Vectors, Layer12Conformance,
                         ::testing::Values(Vector{"l1-fl1", 1}, Vector{"l1-fl2", 1},
                                           Vector{"l1-fl3", 1}, Vector{"l1-fl4", 1},
                                           Vector{"l1-fl5", 1}, Vector{"l1-fl6", 1},
                                           Vector{"l2-fl10", 2}, Vector{"l2-fl11", 2},
                                           Vector{"l2-fl12", 2}, Vector{"l2-fl13", 2},
                                           Vector{"l2-fl14", 2}),
                         [](const ::testing::TestParamInfo<Vector>& info) {
                             std::string name = info.param.name;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });
