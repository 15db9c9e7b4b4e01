#pragma once

#include "controlkit/ControlError.h"

namespace skinform {

// The codes AdvWin raises.
inline constexpr int kErrorOverflow = 6;
inline constexpr int kErrorSetNotPermitted = 387;

} // namespace skinform
