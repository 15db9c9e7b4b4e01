#include "Layer3Requantiser.h"

#include "Layer3Constants.h"
#include "tables/Layer3Bands.h"

#include <algorithm>
#include <cmath>

namespace audiocore {

namespace {

constexpr int kPowerTableSize = 8192;

struct PowerTables {
    // pow43[i] = i^(4/3).
    float pow43[kPowerTableSize];
    // global[g] = 2^((g - 210) / 4): the quantiser step of global_gain g.
    float global[256];
    // scale[i] = 2^(-i / 2): one step of the scale factors and block gains.
    float scale[64];

    PowerTables() {
        for (int i = 0; i < kPowerTableSize; ++i)
            pow43[i] = static_cast<float>(std::pow(static_cast<double>(i), 4.0 / 3.0));
        for (int g = 0; g < 256; ++g)
            global[g] = static_cast<float>(std::exp2(0.25 * (g - 210)));
        for (int i = 0; i < 64; ++i)
            scale[i] = static_cast<float>(std::exp2(-0.5 * i));
    }
};
const PowerTables kPower;

// Scale factors are at most 15 and pretab at most 3, so an index is at most
// (15 + 3) << 1 for long bands and (15 << 1) + 4 * 7 for short ones; the
// clamp only guards the table against a future change of that arithmetic.
float ScaleStep(int index) {
    return kPower.scale[std::clamp(index, 0, 63)];
}

// Lines begin..end - 1 of the spectrum, requantised with one band factor.
void ScaleLines(const std::int32_t* spectrum, int begin, int end, float factor, float* ro) {
    for (int j = begin; j < end; ++j) {
        const int v = spectrum[j];
        const int magnitude = v < 0 ? -v : v;
        const float power =
            magnitude < kPowerTableSize ? kPower.pow43[magnitude] : Power43(magnitude);
        ro[j] = std::copysign(power * factor, static_cast<float>(v));
    }
}

} // namespace

float Power43(int magnitude) {
    if (magnitude < kPowerTableSize)
        return kPower.pow43[magnitude];
    // Only escape codes of a damaged stream reach this far.
    return static_cast<float>(std::pow(static_cast<double>(magnitude), 4.0 / 3.0));
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
    const float gain = kPower.global[g.global_gain & 255u];
    const int shift = static_cast<int>(g.scalefac_scale & 1u);

    // Long bands: all of a long block, the low part of a mixed block.
    int long_bands = kLongBands;
    int first_short_band = kShortBands;
    if (g.ShortBlocks()) {
        long_bands = g.mixed_block_flag == 1 ? MixedLongBands(bands) : 0;
        first_short_band = g.mixed_block_flag == 1 ? 3 : 0;
    }
    for (int cb = 0; cb < long_bands && bands.l[cb] < n; ++cb) {
        int index = sf.l[cb] + (g.preflag ? kPretab[cb] : 0);
        ScaleLines(spectrum, bands.l[cb], std::min<int>(bands.l[cb + 1], n),
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
            ScaleLines(spectrum, begin, std::min(begin + width, n), gain * ScaleStep(index), ro);
        }
    }
    std::fill(ro + n, ro + kGranuleLines, 0.0f);
}

} // namespace audiocore
