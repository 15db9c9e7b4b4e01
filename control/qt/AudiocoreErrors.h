#pragma once

#include "controlkit/ControlError.h"

#include <cstdint>

namespace audiocore {

// The error a source file that cannot be opened raises.
inline constexpr std::uint32_t kErrorFileNotFound = 0x800A0035;
inline constexpr const char* kOpenSourceFileError = "Open source file error!";

} // namespace audiocore
