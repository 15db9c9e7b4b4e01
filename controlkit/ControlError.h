#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace controlkit {

// An error a control raises from a property or method, with the code and
// text a host shows; code 0 is no error.
struct ControlError {
    std::uint32_t code = 0;
    std::string text;

    bool Raised() const { return code != 0; }
};

// The error a control's member raised last, kept until the host takes it.
// Errors never travel as exceptions through Qt's property and method calls
// (Qt leaves that undefined): a member that fails records its error here and
// answers a safe value, and the host asks for the error after the call, as
// a COM host reads the error object.
class ControlErrors {
public:
    void Raise(std::uint32_t code, std::string text) { last_ = {code, std::move(text)}; }
    const ControlError& Pending() const { return last_; }
    ControlError Take() { return std::exchange(last_, ControlError{}); }

private:
    ControlError last_;
};

} // namespace controlkit
