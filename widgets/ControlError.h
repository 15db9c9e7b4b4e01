#pragma once

// A failure of a control member, carrying the error number and text a host
// shows; thrown by the member, caught by the host.

#include <stdexcept>
#include <string>

namespace lumen {

class ControlError : public std::runtime_error {
public:
    ControlError(int code, const std::string& text) : std::runtime_error(text), code_(code) {}
    int code() const { return code_; }

private:
    int code_;
};

constexpr int kSubscriptOutOfRange = 9;

} // namespace lumen
