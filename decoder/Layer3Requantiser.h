#pragma once

#include "Layer3SideInfo.h"

#include <cstdint>

namespace audiocore {

struct ScaleFactorBands;

// |x|^(4/3), from a table for the magnitudes a valid stream can code
// (0..8191) and by the formula above them.
float Power43(int magnitude);

// Long bands that a mixed block codes before its short part: the long part
// is lines 0..35, which is eight bands at the MPEG-1 rates and six at the
// LSF rates.
int MixedLongBands(const ScaleFactorBands& bands);

// Requantises one granule and channel: spectrum[0..nonzero - 1] into
// ro[0..575] as |x|^(4/3) * sign(x) * 2^((global_gain - 210) / 4), scaled
// down per band by the scale factors (2^(-0.5 * (1 + scalefac_scale) *
// (scale factor + preemphasis))) and for short windows by 2^(-2 *
// subblock_gain). Lines from nonzero on are 0.
void Requantise(const std::int32_t* spectrum, int nonzero, const GranuleInfo& granule,
                const ScaleFactors& scalefactors, const ScaleFactorBands& bands, float* ro);

} // namespace audiocore
