// The hybrid filter bank (IMDCT, windowing and overlap-add) of one granule of
// one channel, for long and for short blocks.

#include "Layer3Constants.h"
#include "Layer3Imdct.h"
#include "Layer3SideInfo.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

namespace {

using namespace audiocore;

GranuleInfo LongBlocks() {
    return GranuleInfo{};
}

GranuleInfo ShortBlocks() {
    GranuleInfo g;
    g.window_switching_flag = 1;
    g.block_type = 2;
    return g;
}

void HybridFilterBank(benchmark::State& state, GranuleInfo granule) {
    // Requantised lines falling off with frequency as in music, the same in
    // every run.
    std::mt19937 random(1);
    std::uniform_real_distribution<float> value(-1.0f, 1.0f);
    float lines[kGranuleLines];
    for (int i = 0; i < kGranuleLines; ++i)
        lines[i] = value(random) * 2000.0f / (1.0f + static_cast<float>(i) / 16.0f);

    alignas(16) float prev[kSubbandLines][kSubbands] = {};
    alignas(16) float out[kSubbandLines][kSubbands];
    for (auto _ : state) {
        HybridSynthesis(granule, lines, prev, out);
        benchmark::DoNotOptimize(out);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kGranuleLines);
}

BENCHMARK_CAPTURE(HybridFilterBank, long_blocks, LongBlocks());
BENCHMARK_CAPTURE(HybridFilterBank, short_blocks, ShortBlocks());

} // namespace
