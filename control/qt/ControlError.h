#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace audiocore {

// A control error as the host sees it: the error number and its text, thrown
// by a property setter or method so that the caller of setProperty or
// QMetaObject::invokeMethod can catch it.
class ControlError : public std::runtime_error {
public:
    ControlError(std::uint32_t code, const std::string& text)
        : std::runtime_error(text), code_(code) {}

    std::uint32_t code() const noexcept { return code_; }

private:
    std::uint32_t code_;
};

// The file named by SourceFile could not be opened or holds no frame.
inline constexpr std::uint32_t kErrorFileNotFound = 0x800A0035;
inline constexpr const char* kOpenSourceFileError = "Open source file error!";

} // namespace audiocore
