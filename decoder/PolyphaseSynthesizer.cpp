#include "PolyphaseSynthesizer.h"

#include "PcmSink.h"
#include "WindowSum.h"
#include "tables/SynthesisWindow.h"
#include "tables/TransformTables.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

namespace audiocore {

namespace {

// The window tap by tap: by_tap[32 k + j] = window[16 j + k], the coefficient
// of tap k for output j, so that one tap of all 32 outputs is contiguous.
struct TapWindow {
    alignas(64) float by_tap[512];
    TapWindow() {
        for (int k = 0; k < 16; ++k)
            for (int j = 0; j < 32; ++j)
                by_tap[32 * k + j] = kSynthesisWindow[16 * j + k];
    }
};
const TapWindow kTapWindow;

// DCT-II of N points, out[m] = sum_k in[k] cos(pi m (2k + 1) / 2N), by Lee's
// recursive split: sums of mirrored inputs give the even outputs, differences
// scaled by 1 / (2 cos(pi (2k + 1) / 2N)) give the odd ones. With N fixed at
// compile time the recursion unrolls into straight-line code. T is a float,
// or a vector of floats holding several blocks, one per lane: every lane
// goes through the same operations in the same order as a single block.
template <class T, int N> struct FastDct {
    [[gnu::always_inline]] static inline void Run(const T* in, T* out) {
        constexpr int H = N / 2;
        constexpr int kStep = 32 / N; // the factor's k in units of pi / 64
        T sums[H], diffs[H], even[H], odd[H];
        for (int k = 0; k < H; ++k) {
            sums[k] = in[k] + in[N - 1 - k];
            diffs[k] = (in[k] - in[N - 1 - k]) * kSynthesisFactors[(2 * k + 1) * kStep];
        }
        FastDct<T, H>::Run(sums, even);
        FastDct<T, H>::Run(diffs, odd);
        for (int m = 0; m < H - 1; ++m) {
            out[2 * m] = even[m];
            out[2 * m + 1] = odd[m] + odd[m + 1];
        }
        out[N - 2] = even[H - 1];
        out[N - 1] = odd[H - 1];
    }
};
template <class T> struct FastDct<T, 1> {
    [[gnu::always_inline]] static inline void Run(const T* in, T* out) { out[0] = in[0]; }
};

// Eight blocks side by side, one per lane.
using Lanes = float __attribute__((vector_size(32)));
constexpr int kLanes = 8;

// The DCT of `count` (at most 8) blocks at once, into x[block][m].
[[gnu::always_inline]] inline void DctBody(const float (*blocks)[32], int count, float (*x)[32]) {
    Lanes in[32] = {};
    Lanes out[32];
    if (count == kLanes) {
        for (int k = 0; k < 32; ++k)
            for (int t = 0; t < kLanes; ++t)
                in[k][t] = blocks[t][k];
    } else {
        for (int t = 0; t < count; ++t)
            for (int k = 0; k < 32; ++k)
                in[k][t] = blocks[t][k];
    }
    FastDct<Lanes, 32>::Run(in, out);
    for (int t = 0; t < count; ++t)
        for (int m = 0; m < 32; ++m)
            x[t][m] = out[m][t];
}

void DctBaseline(const float (*blocks)[32], int count, float (*x)[32]) {
    DctBody(blocks, count, x);
}

#if defined(__x86_64__) && defined(__GNUC__)
// Rows to columns of an 8 x 8 tile, in 24 shuffles.
AUDIOCORE_AVX2 inline void Transpose8(__m256 (&r)[8]) {
    __m256 t[8];
    for (int i = 0; i < 4; ++i) {
        t[2 * i] = _mm256_unpacklo_ps(r[2 * i], r[2 * i + 1]);
        t[2 * i + 1] = _mm256_unpackhi_ps(r[2 * i], r[2 * i + 1]);
    }
    __m256 u[8];
    for (int i = 0; i < 2; ++i) {
        u[4 * i] = _mm256_shuffle_ps(t[4 * i], t[4 * i + 2], _MM_SHUFFLE(1, 0, 1, 0));
        u[4 * i + 1] = _mm256_shuffle_ps(t[4 * i], t[4 * i + 2], _MM_SHUFFLE(3, 2, 3, 2));
        u[4 * i + 2] = _mm256_shuffle_ps(t[4 * i + 1], t[4 * i + 3], _MM_SHUFFLE(1, 0, 1, 0));
        u[4 * i + 3] = _mm256_shuffle_ps(t[4 * i + 1], t[4 * i + 3], _MM_SHUFFLE(3, 2, 3, 2));
    }
    for (int i = 0; i < 4; ++i) {
        r[i] = _mm256_permute2f128_ps(u[i], u[i + 4], 0x20);
        r[i + 4] = _mm256_permute2f128_ps(u[i], u[i + 4], 0x31);
    }
}

// Eight whole blocks go in and out of the lanes by tiles of 8 x 8; fewer
// take DctBody's element by element way. The transform is the same.
AUDIOCORE_AVX2 void DctAvx2(const float (*blocks)[32], int count, float (*x)[32]) {
    if (count != kLanes) {
        DctBody(blocks, count, x);
        return;
    }
    Lanes in[32];
    Lanes out[32];
    __m256 tile[8];
    for (int k = 0; k < 32; k += 8) {
        for (int t = 0; t < kLanes; ++t)
            tile[t] = _mm256_loadu_ps(blocks[t] + k);
        Transpose8(tile);
        for (int i = 0; i < 8; ++i)
            in[k + i] = tile[i];
    }
    FastDct<Lanes, 32>::Run(in, out);
    for (int m = 0; m < 32; m += 8) {
        for (int i = 0; i < 8; ++i)
            tile[i] = out[m + i];
        Transpose8(tile);
        for (int t = 0; t < kLanes; ++t)
            _mm256_storeu_ps(x[t] + m, tile[t]);
    }
}
#else
void DctAvx2(const float (*blocks)[32], int count, float (*x)[32]) {
    DctBody(blocks, count, x);
}
#endif

// The matrixing's output V from X (see Emit): V[0..31] into `a_column`,
// V[32..63] into `b_column`. Negation is a flip of the sign bit either way.
void SpreadColumns(const float* x, float* a_column, float* b_column) {
#if defined(__SSE2__)
    const __m128 sign = _mm_set1_ps(-0.0f);
    const auto negated_reverse = [&](const float* from) {
        const __m128 v = _mm_loadu_ps(from);
        return _mm_xor_ps(_mm_shuffle_ps(v, v, _MM_SHUFFLE(0, 1, 2, 3)), sign);
    };
    for (int k = 0; k < 4; ++k) {
        _mm_storeu_ps(a_column + 4 * k, _mm_loadu_ps(x + 16 + 4 * k));
        _mm_storeu_ps(b_column + 16 + 4 * k, _mm_xor_ps(_mm_loadu_ps(x + 4 * k), sign));
        _mm_storeu_ps(b_column + 4 * k, negated_reverse(x + 13 - 4 * k));
    }
    // V[17..31] = -X[31..17]: three blocks of four from V[17], and the last
    // four again from V[28].
    for (int k = 0; k < 3; ++k)
        _mm_storeu_ps(a_column + 17 + 4 * k, negated_reverse(x + 28 - 4 * k));
    _mm_storeu_ps(a_column + 28, negated_reverse(x + 17));
    a_column[16] = 0.0f;
#else
    for (int i = 0; i < 16; ++i) {
        a_column[i] = x[16 + i];
        b_column[i] = -x[16 - i];
    }
    a_column[16] = 0.0f;
    for (int i = 17; i < 32; ++i)
        a_column[i] = -x[48 - i];
    for (int i = 16; i < 32; ++i)
        b_column[i] = -x[i - 16];
#endif
}

} // namespace

PolyphaseSynthesizer::PolyphaseSynthesizer(int channel, float scale)
    : channel_(channel), scale_(scale), kernel_(CurrentWindowSum()),
      dct_(CurrentVectorPath() == VectorPath::Avx2 ? DctAvx2 : DctBaseline) {
    Reset();
}

void PolyphaseSynthesizer::Reset() {
    std::memset(half_a_, 0, sizeof half_a_);
    std::memset(half_b_, 0, sizeof half_b_);
    std::memset(samples, 0, sizeof samples);
    current_ = half_a_;
    column_ = 15;
}

void PolyphaseSynthesizer::Synthesize(PcmSink& sink) {
    float x[32];
    FastDct<float, 32>::Run(samples, x);
    Emit(x, sink);
    std::memset(samples, 0, sizeof samples);
}

void PolyphaseSynthesizer::SynthesizeBlocks(const float (*blocks)[32], int count, PcmSink& sink) {
    for (int first = 0; first < count; first += kLanes) {
        const int n = std::min(kLanes, count - first);
        alignas(32) float x[kLanes][32];
        dct_(blocks + first, n, x);
        for (int t = 0; t < n; ++t)
            Emit(x[t], sink);
    }
}

void PolyphaseSynthesizer::Emit(const float* x, PcmSink& sink) {
    // Matrixing, V[i] = sum_k cos((16 + i)(2k + 1) pi / 64) samples[k] for
    // i = 0..63, from X = DCT-II(samples) by the symmetries of the cosine:
    // V[i] = X[16 + i] (i < 16), V[16] = 0, V[i] = -X[48 - i] (17..47),
    // V[i] = -X[i - 48] (48..63). The current array takes V[0..31], the
    // other V[32..63].
    float* a = current_;
    float* b = current_ == half_a_ ? half_b_ : half_a_;
    const int q = (16 - column_) & 15;
    SpreadColumns(x, a + 32 * q, b + 32 * q);

    // Windowing and summation: output j = sum over the taps k = 0..15 of
    // window[16 j + k] * (the value of block t - k in row j), which sits at
    // physical column (k + q) mod 16. Each output is summed in tap order
    // whatever the write position, so the same blocks always give the same
    // samples, and the 32 outputs proceed side by side in vector lanes.
    std::int16_t pcm[32];
    kernel_(kTapWindow.by_tap, a, q, scale_, pcm);
    sink.AppendBlock(static_cast<std::uint32_t>(channel_), pcm, 32);

    column_ = (column_ + 1) & 15;
    current_ = b;
}

} // namespace audiocore
