#include "Layer3Requantiser.h"

#include "Layer3Constants.h"
#include "WindowSum.h"
#include "tables/Layer3Bands.h"
#include "tables/PowerTables.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

namespace audiocore {

namespace {

constexpr unsigned kPowerTableSize = std::size(kPow43);

// Scale factors are at most 15 and pretab at most 3, so an index is at most
// (15 + 3) << 1 for long bands and (15 << 1) + 4 * 7 for short ones; the
// clamp only guards the table against a future change of that arithmetic.
float ScaleStep(int index) {
    return kHalfSteps[std::clamp(index, 0, 63)];
}

// Lines begin..end - 1 of the spectrum, requantised with one band factor:
// the magnitude's power 4/3 from the table, times the factor, with the
// code's sign.
using ScaleLinesKernel = void (*)(const std::int32_t* spectrum, int begin, int end, float factor,
                                  float* ro);

void ScaleLinesBaseline(const std::int32_t* spectrum, int begin, int end, float factor, float* ro) {
    for (int j = begin; j < end; ++j) {
        const int v = spectrum[j];
        const int magnitude = v < 0 ? -v : v;
        ro[j] = std::copysign(Power43(magnitude) * factor, static_cast<float>(v));
    }
}

#if defined(__x86_64__) && defined(__GNUC__)
// Eight lines at a time, gathering from the table, clamped to it as Power43
// does. The multiply is the same single rounding as the baseline's, so the
// lines are equal to the bit.
[[gnu::target("avx2")]] void ScaleLinesAvx2(const std::int32_t* spectrum, int begin, int end,
                                            float factor, float* ro) {
    const __m256 by = _mm256_set1_ps(factor);
    const __m256 sign_bit = _mm256_set1_ps(-0.0f);
    const __m256i last = _mm256_set1_epi32(static_cast<int>(kPowerTableSize - 1));
    int j = begin;
    for (; j + 8 <= end; j += 8) {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(spectrum + j));
        const __m256i magnitude = _mm256_abs_epi32(v);
        const __m256 power = _mm256_i32gather_ps(kPow43, _mm256_min_epu32(magnitude, last), 4);
        const __m256 sign = _mm256_and_ps(_mm256_cvtepi32_ps(v), sign_bit);
        const __m256 scaled = _mm256_andnot_ps(sign_bit, _mm256_mul_ps(power, by));
        _mm256_storeu_ps(ro + j, _mm256_or_ps(scaled, sign));
    }
    ScaleLinesBaseline(spectrum, j, end, factor, ro);
}
#else
void ScaleLinesAvx2(const std::int32_t* spectrum, int begin, int end, float factor, float* ro) {
    ScaleLinesBaseline(spectrum, begin, end, factor, ro);
}
#endif

ScaleLinesKernel CurrentScaleLines() {
    return CurrentVectorPath() == VectorPath::Avx2 ? ScaleLinesAvx2 : ScaleLinesBaseline;
}

} // namespace

float Power43(int magnitude) {
    // The table holds every magnitude a Huffman code gives; the clamp only
    // guards it against other callers.
    return kPow43[std::clamp(magnitude, 0, static_cast<int>(kPowerTableSize) - 1)];
}

int MixedLongBands(const ScaleFactorBands& bands) {
    int band = 0;
    while (band < kLongBands && bands.l[band] < kMixedLongLines)
        ++band;
    return band;
}

void Requantise(const std::int32_t* spectrum, int nonzero, const GranuleInfo& g,
                const ScaleFactors& sf, const ScaleFactorBands& bands, float* ro) {
    const int n = std::clamp(nonzero, 0, kGranuleLines);
    const float gain = kGlobalGain[g.global_gain & 255u];
    const int shift = static_cast<int>(g.scalefac_scale & 1u);
    const ScaleLinesKernel scale_lines = CurrentScaleLines();

    // Long bands: all of a long block, the low part of a mixed block.
    int long_bands = kLongBands;
    int first_short_band = kShortBands;
    if (g.ShortBlocks()) {
        long_bands = g.mixed_block_flag == 1 ? MixedLongBands(bands) : 0;
        first_short_band = g.mixed_block_flag == 1 ? 3 : 0;
    }
    for (int cb = 0; cb < long_bands && bands.l[cb] < n; ++cb) {
        int index = sf.l[cb] + (g.preflag ? kPretab[cb] : 0);
        scale_lines(spectrum, bands.l[cb], std::min<int>(bands.l[cb + 1], n),
                    gain * ScaleStep(index << shift), ro);
    }

    // Short bands: three windows of `width` lines each, one after another.
    for (int cb = first_short_band; cb < kShortBands && kShortWindows * bands.s[cb] < n; ++cb) {
        const int width = bands.s[cb + 1] - bands.s[cb];
        for (int window = 0; window < kShortWindows; ++window) {
            const int begin = kShortWindows * bands.s[cb] + window * width;
            if (begin >= n)
                break;
            const int index =
                (sf.s[window][cb] << shift) + 4 * static_cast<int>(g.subblock_gain[window] & 7u);
            scale_lines(spectrum, begin, std::min(begin + width, n), gain * ScaleStep(index), ro);
        }
    }
    std::fill(ro + n, ro + kGranuleLines, 0.0f);
}

} // namespace audiocore
