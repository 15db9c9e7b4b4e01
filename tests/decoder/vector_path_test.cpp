// The synthesis kernels chosen for the processor give the same samples as
// the baseline kernel, on every conformance stream: a faster path that
// rounds differently would pass the accuracy tests and still change files.

#include "Layer12Decoding.h"
#include "Layer3Decode.h"
#include "TestSupport.h"
#include "WindowSum.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using namespace testsupport;
using audiocore::VectorPath;

std::vector<std::int16_t> Decode(const std::string& path) {
    const std::string name = std::filesystem::path(path).stem().string();
    if (name.find("L3") != std::string::npos || name.rfind("l3-", 0) == 0) {
        Layer3Decoding decoded = DecodeLayer3File(path);
        return decoded.sink ? decoded.sink->pcm : std::vector<std::int16_t>{};
    }
    Layer12Run run = DecodeLayer12File(path);
    return run.sink ? run.sink->pcm : std::vector<std::int16_t>{};
}

struct RestorePath {
    VectorPath saved = audiocore::CurrentVectorPath();
    ~RestorePath() { audiocore::SelectVectorPath(saved); }
};

TEST(VectorPath, EveryConformanceStreamDecodesTheSameOnEveryPath) {
    RestorePath restore;
    audiocore::SelectVectorPath(VectorPath::Avx2);
    if (audiocore::CurrentVectorPath() != VectorPath::Avx2)
        GTEST_SKIP() << "this processor has no AVX2";
    int streams = 0;
    for (const auto& entry : std::filesystem::directory_iterator(SharedPath("vectors"))) {
        if (entry.path().extension() != ".bit")
            continue;
        const std::string path = entry.path().string();
        audiocore::SelectVectorPath(VectorPath::Avx2);
        const std::vector<std::int16_t> vector = Decode(path);
        audiocore::SelectVectorPath(VectorPath::Baseline);
        const std::vector<std::int16_t> baseline = Decode(path);
        ASSERT_FALSE(baseline.empty()) << path;
        EXPECT_TRUE(vector == baseline) << path;
        ++streams;
    }
    EXPECT_GE(streams, 20);
}

} // namespace
