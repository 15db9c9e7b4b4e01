#pragma once

namespace audiocore {

// Powers the decoder multiplies by, made once by their generator so that
// no maths library runs at start-up: each entry is the C library's double
// result rounded to float.

// i^(4/3) for every magnitude a Layer III Huffman code gives (up to 15 and
// 13 more bits: 8206).
extern const float kPow43[8207];
// 2^((g - 210) / 4): the quantiser step of Layer III global_gain g.
extern const float kGlobalGain[256];
// 2^(-i / 2): a step of the Layer III scale factors and block gains, and of
// the lower rates' intensity ratios at scale 1.
extern const float kHalfSteps[64];
// 2^(-i / 4): the lower rates' intensity ratios at scale 0.
extern const float kQuarterSteps[32];
// 2^(1 - i / 3): the Layer I and II scale factors; index 63 is none (0).
extern const float kLayer12ScaleFactors[64];

} // namespace audiocore
