#pragma once

#include "Layer3Constants.h"

#include <cstdint>

namespace audiocore {

// Scale factor band boundaries of one sampling rate, in spectral lines:
// long bands l[b] .. l[b + 1] - 1, short bands s[b] .. s[b + 1] - 1 of each
// of the three windows.
struct ScaleFactorBands {
    std::int16_t l[kLongBands + 1];
    std::int16_t s[kShortBands + 1];
};

// By rate index: 0 = 22.05 kHz, 1 = 24 kHz, 2 = 16 kHz (LSF), 3 = 44.1 kHz,
// 4 = 48 kHz, 5 = 32 kHz (MPEG-1), 6 = 11.025 kHz, 7 = 12 kHz, 8 = 8 kHz
// (MPEG 2.5).
extern const ScaleFactorBands kScaleFactorBands[9];

// Bits of the MPEG-1 scale factors by scalefac_compress: bands 0..10 and
// 11..20 of long blocks, 0..5 and 6..11 of short blocks.
extern const std::uint8_t kSlen1[16];
extern const std::uint8_t kSlen2[16];

// Scale factors per length group of an LSF granule, by table number (0..5),
// block kind (0 long, 1 short, 2 mixed) and group.
extern const std::uint8_t kLsfBandCounts[6][3][4];

// Pre-emphasis added to the long scale factors when preflag is set.
extern const std::int32_t kPretab[kLongBands];

} // namespace audiocore
