// The synthesis kernels chosen for the processor give the same samples as
// the baseline kernel, on every conformance stream: a faster path that
// rounds differently would pass the accuracy tests and still change files.

#include "Layer12Decoding.h"
#include "Layer3Decode.h"
#include "PolyphaseSynthesizer.h"
#include "TestSupport.h"
#include "WindowSum.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <iterator>

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

// Broken streams can drive the sums anywhere: out of range, to infinity or
// NaN. Every path must clip them as the scalar rule does, from every write
// position of the history.
TEST(VectorPath, TheWindowSumClipsLikeTheScalarRuleOnEveryPath) {
    RestorePath restore;
    const float specials[] = {0.0f,           -0.0f,     0.7f,      -0.7f,     -1.5f,
                              32766.9f,       32767.0f,  32767.5f,  40000.0f,  -32768.0f,
                              -32768.5f,      -1e9f,     12345.9f,  -12345.9f, std::nanf(""),
                              -std::nanf(""), HUGE_VALF, -HUGE_VALF};
    // Tap 0 weighs 1, the others 0: each output is its value in column q.
    alignas(64) float by_tap[512] = {};
    for (int j = 0; j < 32; ++j)
        by_tap[j] = 1.0f;
    for (VectorPath path : {VectorPath::Baseline, VectorPath::Avx2}) {
        audiocore::SelectVectorPath(path);
        for (int q = 0; q < 16; ++q) {
            alignas(64) float history[512] = {};
            for (int j = 0; j < 32; ++j)
                history[32 * q + j] = specials[j % std::size(specials)] * (j < 18 ? 1.0f : 0.5f);
            std::int16_t pcm[32];
            audiocore::CurrentWindowSum()(by_tap, history, q, 1.0f, pcm);
            for (int j = 0; j < 32; ++j)
                EXPECT_EQ(pcm[j], audiocore::ClipToPcm(history[32 * q + j]))
                    << "output " << j << " at " << q << " on path " << static_cast<int>(path);
        }
    }
}
