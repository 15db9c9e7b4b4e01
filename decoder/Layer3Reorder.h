#pragma once

#include "Layer3SideInfo.h"

namespace audiocore {

struct ScaleFactorBands;

// The last frequency-domain steps of one channel before the hybrid filter
// bank: short windows are coded band by band, window after window, and the
// filter bank wants them line by line with the three windows interleaved;
// then the butterflies between neighbouring subbands undo the aliasing of
// the analysis filter bank.

// lr[576] in, out[576] out.
void Reorder(const GranuleInfo& granule, const ScaleFactorBands& bands, const float* lr,
             float* out);

// In place on out[576], whose lines from nonzero_lines on are 0; pure short
// blocks have no aliasing to undo, mixed blocks only between their two long
// subbands.
void ReduceAliases(const GranuleInfo& granule, float* out, int nonzero_lines);

} // namespace audiocore
