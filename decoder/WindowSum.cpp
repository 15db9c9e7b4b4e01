#include "WindowSum.h"

#include "PolyphaseSynthesizer.h"

#include <atomic>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

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

#if defined(__x86_64__) && defined(__GNUC__)
// The taps from `first` to `end` into the four vectors of 8 outputs, reading
// consecutive columns from `column`.
AUDIOCORE_AVX2 inline void AddTaps(const float* by_tap, int first, int end, const float* column,
                                   __m256 (&sum)[4]) {
    for (int k = first; k < end; ++k, column += 32) {
        const float* w = by_tap + 32 * k;
        for (int l = 0; l < 4; ++l)
            sum[l] = _mm256_add_ps(
                sum[l], _mm256_mul_ps(_mm256_loadu_ps(w + 8 * l), _mm256_loadu_ps(column + 8 * l)));
    }
}

// ClipToPcm on 8 outputs: NaN to 0, clamped, truncated toward zero.
AUDIOCORE_AVX2 inline __m256i ClipEight(__m256 s) {
    s = _mm256_and_ps(s, _mm256_cmp_ps(s, s, _CMP_ORD_Q));
    s = _mm256_max_ps(_mm256_min_ps(s, _mm256_set1_ps(32767.0f)), _mm256_set1_ps(-32768.0f));
    return _mm256_cvttps_epi32(s);
}

// SumBody's sums in the same order, with the columns walked in two straight
// runs (taps 0..15-q from column q, the rest from column 0) instead of an
// index per tap, and the clip in four instructions per 8 outputs.
AUDIOCORE_AVX2 void SumAvx2(const float* by_tap, const float* history, int q, float scale,
                            std::int16_t* pcm) {
    __m256 sum[4] = {_mm256_setzero_ps(), _mm256_setzero_ps(), _mm256_setzero_ps(),
                     _mm256_setzero_ps()};
    AddTaps(by_tap, 0, 16 - q, history + 32 * q, sum);
    AddTaps(by_tap, 16 - q, 16, history, sum);
    const __m256 factor = _mm256_set1_ps(scale);
    for (int half = 0; half < 2; ++half) {
        const __m256i low = ClipEight(_mm256_mul_ps(factor, sum[2 * half]));
        const __m256i high = ClipEight(_mm256_mul_ps(factor, sum[2 * half + 1]));
        // The pack works within 128-bit lanes; the permute puts the four
        // quarters back in order.
        const __m256i packed = _mm256_permute4x64_epi64(_mm256_packs_epi32(low, high), 0xD8);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(pcm + 16 * half), packed);
    }
}
#else
void SumAvx2(const float* by_tap, const float* history, int q, float scale, std::int16_t* pcm) {
    SumBody(by_tap, history, q, scale, pcm);
}
#endif

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
