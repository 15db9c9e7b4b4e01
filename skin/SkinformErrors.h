#pragma once

#include "controlkit/ControlError.h"

namespace skinform {

using controlkit::ControlError;

// The codes AdvWin raises.
inline constexpr int kErrorOverflow = 6;
inline constexpr int kErrorSetNotPermitted = 387;

} // namespace skinform
