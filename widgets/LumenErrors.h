#pragma once

#include "controlkit/ControlError.h"

namespace lumen {

using controlkit::ControlError;

// The code CustomListBox raises for an item index outside the list.
constexpr int kSubscriptOutOfRange = 9;

} // namespace lumen
