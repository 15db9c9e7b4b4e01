#include "WindowSum.h"

#include "PolyphaseSynthesizer.h"

#include <atomic>

namespace audiocore {

namespace {

[[gnu::always_inline]] inline void SumBody(const float* by_tap, const float* history, int q,
                                           float scale, std::int16_t* pcm) {
    float sum[32] = {};
    for (int k = 0; k < 16; ++k) {
        const float* w = by_tap + 32 * k;
        const float* v = history + 32 * ((k + q) & 15);
        for (int j = 0; j < 32; ++j)
            sum[j] += w[j] * v[j];
    }
    for (int j = 0; j < 32; ++j)
        pcm[j] = ClipToPcm(scale * sum[j]);
}

void SumBaseline(const float* by_tap, const float* history, int q, float scale, std::int16_t* pcm) {
    SumBody(by_tap, history, q, scale, pcm);
}

AUDIOCORE_AVX2 void SumAvx2(const float* by_tap, const float* history, int q, float scale,
                            std::int16_t* pcm) {
    SumBody(by_tap, history, q, scale, pcm);
}

bool HasAvx2() {
#if defined(__x86_64__) && defined(__GNUC__)
    return __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}

VectorPath Usable(VectorPath path) {
    return path == VectorPath::Avx2 && HasAvx2() ? VectorPath::Avx2 : VectorPath::Baseline;
}

std::atomic<VectorPath> g_path{Usable(VectorPath::Avx2)};

} // namespace

WindowSumKernel CurrentWindowSum() {
    return g_path.load(std::memory_order_relaxed) == VectorPath::Avx2 ? SumAvx2 : SumBaseline;
}

VectorPath CurrentVectorPath() {
    return g_path.load(std::memory_order_relaxed);
}

void SelectVectorPath(VectorPath path) {
    g_path.store(Usable(path), std::memory_order_relaxed);
}

} // namespace audiocore
