#pragma once

namespace audiocore {

// The synthesis window D[0..511] laid out per output: kSynthesisWindow[16 j + k]
// = D[j + 32 k] for output j = 0..31 and tap k = 0..15.
extern const float kSynthesisWindow[512];

} // namespace audiocore
