#pragma once

// Builds bit strings most significant bit first, for streams and main data
// made up in tests.

#include "MainDataReservoir.h"

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

class BitWriter {
public:
    // The low `bits` bits of value; above 32 bits the high ones are 0.
    void Put(std::uint32_t value, int bits) {
        for (int i = bits - 1; i >= 0; --i)
            PutBit(i < 32 ? (value >> i) & 1u : 0u);
    }
    // Bits given as text, e.g. "0101".
    void Put(const std::string& bits) {
        for (char c : bits)
            PutBit(c == '1' ? 1u : 0u);
    }
    void PutBit(std::uint32_t bit) {
        if (count_ % 8 == 0)
            bytes_.push_back(0);
        bytes_.back() |= static_cast<std::uint8_t>(bit << (7 - count_ % 8));
        ++count_;
    }
    int BitCount() const { return count_; }
    // The bytes so far, the last one padded with zeros.
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

    // Puts the bytes (and `extra` zero bytes after them) into a reservoir.
    void FillReservoir(audiocore::MainDataReservoir& reservoir, int extra = 8) const {
        for (std::uint8_t byte : bytes_)
            reservoir.PutByte(byte);
        for (int i = 0; i < extra; ++i)
            reservoir.PutByte(0);
    }

private:
    std::vector<std::uint8_t> bytes_;
    int count_ = 0;
};

} // namespace testsupport
