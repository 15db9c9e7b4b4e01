#include "FrameCrc.h"

namespace audiocore {

void FrameCrc::AddBits(std::uint32_t value, int length) {
    unsigned reg = register_;
    for (int bit = length - 1; bit >= 0; --bit) {
        unsigned carry = ((reg >> 15) ^ (value >> bit)) & 1u;
        reg = (reg << 1) & 0xFFFFu;
        if (carry)
            reg ^= 0x8005u;
    }
    register_ = static_cast<std::uint16_t>(reg);
}

} // namespace audiocore
