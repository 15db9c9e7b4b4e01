#include "Layer3Reorder.h"

#include "Layer3Constants.h"
#include "WindowSum.h"
#include "tables/Layer3Bands.h"

#include <algorithm>
#include <cmath>

namespace audiocore {

namespace {

// cs[i] = 1 / sqrt(1 + c_i^2), ca[i] = c_i / sqrt(1 + c_i^2) for the
// standard's alias coefficients c_i.
struct AliasCoefficients {
    float cs[8];
    float ca[8];
    AliasCoefficients() {
        static constexpr double c[8] = {-0.6,   -0.535, -0.33,   -0.185,
                                        -0.095, -0.041, -0.0142, -0.0037};
        for (int i = 0; i < 8; ++i) {
            const double root = std::sqrt(1.0 + c[i] * c[i]);
            cs[i] = static_cast<float>(1.0 / root);
            ca[i] = static_cast<float>(c[i] / root);
        }
    }
};
const AliasCoefficients kAlias;

} // namespace

void Reorder(const GranuleInfo& g, const ScaleFactorBands& bands, const float* lr, float* out) {
    if (!g.ShortBlocks()) {
        std::copy(lr, lr + kGranuleLines, out);
        return;
    }
    // A mixed block keeps its two long subbands (lines 0..35) as they are.
    int first_band = 0;
    if (g.mixed_block_flag == 1) {
        std::copy(lr, lr + kMixedLongLines, out);
        first_band = 3;
    }
    for (int band = first_band; band < kShortBands; ++band) {
        const int start = kShortWindows * bands.s[band];
        const int width = bands.s[band + 1] - bands.s[band];
        for (int f = 0; f < width; ++f) {
            out[start + 3 * f + 0] = lr[start + f];
            out[start + 3 * f + 1] = lr[start + width + f];
            out[start + 3 * f + 2] = lr[start + 2 * width + f];
        }
    }
}

namespace {

[[gnu::always_inline]] inline void AliasBody(const GranuleInfo& g, float* out, int nonzero_lines) {
    if (g.ShortBlocks() && g.mixed_block_flag == 0)
        return;
    // Boundary k mixes lines 18k - 8 .. 18k + 7; above the last non-zero
    // line there is nothing to mix.
    const int needed = (std::clamp(nonzero_lines, 0, kGranuleLines) + 7) / kSubbandLines;
    const int boundaries = std::min(g.ShortBlocks() ? 1 : kSubbands - 1, needed);
    for (int k = 1; k <= boundaries; ++k) {
        float* below = out + kSubbandLines * k - 1;
        float* above = out + kSubbandLines * k;
        for (int i = 0; i < 8; ++i) {
            const float a = below[-i];
            const float b = above[i];
            below[-i] = a * kAlias.cs[i] - b * kAlias.ca[i];
            above[i] = b * kAlias.cs[i] + a * kAlias.ca[i];
        }
    }
}

void AliasBaseline(const GranuleInfo& g, float* out, int nonzero_lines) {
    AliasBody(g, out, nonzero_lines);
}

// Each boundary's eight butterflies in one vector, with the baseline's
// roundings.
AUDIOCORE_AVX2 void AliasAvx2(const GranuleInfo& g, float* out, int nonzero_lines) {
    AliasBody(g, out, nonzero_lines);
}

} // namespace

void ReduceAliases(const GranuleInfo& g, float* out, int nonzero_lines) {
    if (CurrentVectorPath() == VectorPath::Avx2)
        AliasAvx2(g, out, nonzero_lines);
    else
        AliasBaseline(g, out, nonzero_lines);
}

} // namespace audiocore
