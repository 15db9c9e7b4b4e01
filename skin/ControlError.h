#pragma once

#include <stdexcept>
#include <string>

namespace skinform {

// A control error as the host sees it: the error number and its text, thrown
// by a property setter or method so that the caller of setProperty or
// QMetaObject::invokeMethod can catch it.
class ControlError : public std::runtime_error {
public:
    ControlError(int code, const std::string& text) : std::runtime_error(text), code_(code) {}

    int code() const noexcept { return code_; }

private:
    int code_;
};

// The control error numbers AdvWin raises.
inline constexpr int kErrorOverflow = 6;
inline constexpr int kErrorSetNotPermitted = 387;

} // namespace skinform
