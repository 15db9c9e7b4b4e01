#pragma once

namespace audiocore {

// The cosines and sines of the synthesis DCT and the IMDCT, made once by
// their generator so that no maths library runs at start-up: each entry is
// the C library's double result rounded to float.

// 1 / (2 cos(k pi / 64)), k = 1..31: the butterfly factors of the synthesis
// DCT. Entry 0 is unused.
extern const float kSynthesisFactors[32];

// The 36-point IMDCT as an 18-point DCT-II and two 9-point DCTs.
extern const float kImdctPre18[18];     // 2 cos(pi (2k + 1) / 72)
extern const float kImdctPre9[9];       // 2 cos(pi (2k + 1) / 36)
extern const float kImdctDct9[9][4];    // cos(pi (2k + 1) p / 18), k = 0..3
extern const float kImdctDct9Center[9]; // cos(pi 9 p / 18)
// The four block types' windows times the sign of the read-out (negative
// from output 9 on); type 2, short blocks, has its own path and is zero.
extern const float kImdctWindows[4][36];
// Short blocks: the 6-point DCT-IV and the 12-point window with the signs
// of its read-out (negative from output 3 on).
extern const float kImdctDct6[6][6];      // cos(pi / 24 (2m + 1)(2k + 1))
extern const float kImdctShortWindow[12]; // sin(pi / 12 (i + 0.5))

} // namespace audiocore
