#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace controlkit {

// An error a control raises from a property or method, with the code and
// text a host shows. Thrown through setProperty and QMetaObject::invokeMethod
// to the caller.
class ControlError : public std::runtime_error {
public:
    ControlError(std::uint32_t code, const std::string& text)
        : std::runtime_error(text), code_(code) {}
    std::uint32_t code() const noexcept { return code_; }

private:
    std::uint32_t code_;
};

} // namespace controlkit
