#pragma once

#include <cstdint>

namespace audiocore {

// CRC-16 of MPEG audio frames: generator x^16 + x^15 + x^2 + 1, start 0xFFFF.
class FrameCrc {
public:
    static constexpr std::uint16_t kStart = 0xFFFF;

    // Feeds the low `length` bits of value, most significant first.
    void AddBits(std::uint32_t value, int length);
    std::uint16_t Value() const { return register_; }
    void Restart() { register_ = kStart; }

private:
    std::uint16_t register_ = kStart;
};

} // namespace audiocore
