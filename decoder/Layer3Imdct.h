#pragma once

#include "Layer3Constants.h"
#include "Layer3SideInfo.h"

namespace audiocore {

// The windowed IMDCT of one subband: 18 spectral lines in, 36 time samples
// out, for block type 0 (normal), 1 (start), 3 (stop) or 2 (three short
// windows of 6 lines each, interleaved in `in` as in[3 k + window]). It
// equals the direct formula
//   raw[i] = window[i] * sum_k in[k] cos(pi / 72 (2 i + 19) (2 k + 1))
// (for short windows: three 12-point transforms at offsets 6, 12 and 18).
void Imdct(const float* in, float* raw, int block_type);

// The hybrid filter bank of one channel: all 32 subbands of in[576] (18
// lines per subband) transformed with the granule's block types and
// overlap-added with the second halves kept in prev from the channel's
// previous granule; then every odd sample of every odd subband negated,
// which the polyphase filter bank expects. prev and out are laid out by
// time: [sample 0..17][subband 0..31], so a row of out is one input block
// of the polyphase filter bank.
void HybridSynthesis(const GranuleInfo& granule, const float* in,
                     float (&prev)[kSubbandLines][kSubbands],
                     float (&out)[kSubbandLines][kSubbands]);

} // namespace audiocore
