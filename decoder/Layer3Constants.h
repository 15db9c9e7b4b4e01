#pragma once

namespace audiocore {

// The shape of one Layer III granule of one channel, shared by every stage
// from the Huffman decoder to the hybrid filter bank.

// Spectral lines of a granule.
inline constexpr int kGranuleLines = 576;
// The hybrid filter bank sees the lines as 32 subbands of 18 lines; its
// output is 18 blocks (time samples) of 32 subband values.
inline constexpr int kSubbands = 32;
inline constexpr int kSubbandLines = 18;
// One subband's IMDCT gives twice its lines: the first half is overlapped
// with the previous granule, the second half kept for the next.
inline constexpr int kImdctOutputs = 2 * kSubbandLines;

// Scale factor bands: 22 long bands, or 13 bands in each of 3 short windows.
// The last band of either kind carries no scale factor of its own.
inline constexpr int kLongBands = 22;
inline constexpr int kShortBands = 13;
inline constexpr int kShortWindows = 3;
// Lines of the long subbands at the bottom of a mixed block (two subbands).
inline constexpr int kMixedLongLines = 2 * kSubbandLines;

} // namespace audiocore
