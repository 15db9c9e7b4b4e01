// The polyphase synthesis of one granule (18 blocks of 32 subband values) of
// one channel, handed over whole as the Layer III decoder does, on each
// vector path (matrixing and window sum).

#include "Layer3Constants.h"
#include "PcmSink.h"
#include "PolyphaseSynthesizer.h"
#include "WindowSum.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>

namespace {

using namespace audiocore;

// Takes the samples and keeps only a checksum, so that the work is not
// optimised away and the sink costs next to nothing.
class ChecksumSink final : public PcmSink {
public:
    void Append(std::uint32_t, std::int16_t sample) override { sum_ += sample; }
    void AppendBlock(std::uint32_t, const std::int16_t* samples, std::size_t count) override {
        for (std::size_t i = 0; i < count; ++i)
            sum_ += samples[i];
    }
    void EndFrame() override {}
    void Clear() override {}
    void Stop() override {}
    std::int64_t Sum() const { return sum_; }

private:
    std::int64_t sum_ = 0;
};

void Synthesis(benchmark::State& state, VectorPath path) {
    const VectorPath before = CurrentVectorPath();
    SelectVectorPath(path);
    if (CurrentVectorPath() != path) {
        SelectVectorPath(before);
        state.SkipWithError("this processor lacks the vector path");
        return;
    }
    // The synthesizer takes its kernels when it is made.
    PolyphaseSynthesizer synth(0, 32768.0f);
    SelectVectorPath(before);

    // Subband values of a loud granule, the same in every run.
    std::mt19937 random(1);
    std::uniform_real_distribution<float> value(-0.25f, 0.25f);
    float blocks[kSubbandLines][kSubbands];
    for (auto& block : blocks)
        for (float& v : block)
            v = value(random);

    ChecksumSink sink;
    for (auto _ : state)
        synth.SynthesizeBlocks(blocks, kSubbandLines, sink);
    benchmark::DoNotOptimize(sink.Sum());
    state.SetItemsProcessed(state.iterations() * kSubbandLines * kSubbands);
}

BENCHMARK_CAPTURE(Synthesis, baseline, VectorPath::Baseline);
BENCHMARK_CAPTURE(Synthesis, avx2, VectorPath::Avx2);

} // namespace
