#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

namespace audiocore {

// Ring of Layer III main-data bytes. A frame's main data may begin in earlier
// frames, so every frame's bytes go in here and the scale factors and Huffman
// codes are read back out with a bit reader of its own. The ring is indexed by
// masking, so no position, however wrong, reads outside it. Its first bytes
// are mirrored after its end, so that any 64 bits from any byte of the ring
// are one load.
class MainDataReservoir {
public:
    static constexpr int kSize = 4096;
    static constexpr int kMask = kSize - 1;

    void PutByte(std::uint32_t value) {
        const auto byte = static_cast<std::uint8_t>(value);
        ring_[write_index_] = byte;
        if (write_index_ < kMirror)
            ring_[kSize + write_index_] = byte;
        write_index_ = (write_index_ + 1) & kMask;
    }

    void PutBytes(const std::uint8_t* bytes, int n) {
        while (n > 0) {
            const int chunk = std::min(n, kSize - write_index_);
            std::memcpy(&ring_[write_index_], bytes, static_cast<std::size_t>(chunk));
            if (write_index_ < kMirror)
                std::memcpy(&ring_[kSize + write_index_], bytes,
                            static_cast<std::size_t>(std::min(chunk, kMirror - write_index_)));
            write_index_ = (write_index_ + chunk) & kMask;
            bytes += chunk;
            n -= chunk;
        }
    }

    // The next n bits (0 <= n <= 32), most significant first.
    std::uint32_t GetBits(int n) {
        // The 64 bits from the byte of the next bit, less the bits of that
        // byte already read, keep at least 57; n of them are wanted.
        const std::uint64_t bits = Load64(bits_read_ >> 3) << (bits_read_ & 7);
        bits_read_ += n;
        return static_cast<std::uint32_t>((bits >> 1) >> (63 - n));
    }

    std::uint32_t GetBit() {
        const std::uint32_t byte = ring_[(bits_read_ >> 3) & kMask];
        const int shift = 7 - (bits_read_ & 7);
        ++bits_read_;
        return (byte >> shift) & 1u;
    }

    void RewindBits(int n) { bits_read_ -= n; }
    void RewindBytes(int n) { bits_read_ -= 8 * n; }

    // Bits taken so far: also where the next bit is, counted from the ring's
    // slot 0 and taken modulo the ring.
    std::int32_t BitsRead() const { return bits_read_; }
    int WriteIndex() const { return write_index_; }

private:
    static constexpr int kMirror = 8;

    // Bytes `byte` .. `byte` + 7 of the ring, the first the most significant.
    std::uint64_t Load64(std::int32_t byte) const {
        std::uint64_t word;
        std::memcpy(&word, &ring_[byte & kMask], sizeof word);
        if constexpr (std::endian::native == std::endian::little)
            word = __builtin_bswap64(word);
        return word;
    }

    std::array<std::uint8_t, kSize + kMirror> ring_{};
    int write_index_ = 0;
    std::int32_t bits_read_ = 0;
};

} // namespace audiocore
