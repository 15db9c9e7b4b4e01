// Every Layer III conformance stream decodes to its reference PCM within the
// accuracy that truncation toward zero allows.

#include "Layer3Decode.h"
#include "PcmCompare.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using namespace testsupport;

std::vector<std::int16_t> ReadPcm(const std::string& path) {
    const std::vector<std::uint8_t> bytes = ReadFile(path);
    std::vector<std::int16_t> pcm(bytes.size() / 2);
    std::memcpy(pcm.data(), bytes.data(), pcm.size() * 2);
    return pcm;
}

class Layer3Conformance : public ::testing::TestWithParam<const char*> {};

TEST_P(Layer3Conformance, MatchesReferencePcm) {
    const std::string name = GetParam();
    const Layer3Decoding decoded = DecodeLayer3File(SharedPath("vectors/" + name + ".bit"));
    ASSERT_TRUE(decoded.sink) << name << ": no frame found";
    const std::vector<std::int16_t> ref = ReadPcm(SharedPath("vectors/" + name + ".pcm"));
    ASSERT_FALSE(ref.empty());

    const PcmComparison cmp = ComparePcm(decoded.sink->pcm, ref, decoded.channels);
    EXPECT_GE(cmp.psnr, 92.5) << name;
    EXPECT_LE(cmp.max_diff, 2) << name;
    // Nothing is lost: skipping a first frame for lack of main data costs at
    // most a frame or two of the reference.
    EXPECT_GE(decoded.sink->pcm.size(), ref.size() * 9 / 10) << name;
    std::printf("%s: psnr=%.2f maxdiff=%d shift=%d coverage=%.4f frames=%d\n", name.c_str(),
                cmp.psnr, cmp.max_diff, cmp.shift, cmp.coverage, decoded.frames);
}

INSTANTIATE_TEST_SUITE_P(Streams, Layer3Conformance,
                         ::testing::Values("l3-compl", "l3-he_32khz", "l3-he_48khz", "l3-hecommon",
                                           "l3-si", "l3-si_block", "l3-si_huff", "l3-sin1k0db",
                                           "l3-nonstandard-id3v2", "M2L3_compl24"),
                         [](const auto& info) {
                             std::string name = info.param;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name;
                         });

} // namespace
