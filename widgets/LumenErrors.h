#pragma once

#include "controlkit/ControlError.h"

namespace lumen {

// The code CustomListBox raises for an item index outside the list.
constexpr int kSubscriptOutOfRange = 9;

} // namespace lumen
