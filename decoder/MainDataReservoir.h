#pragma once

#include <array>
#include <cstdint>

namespace audiocore {

// Ring of Layer III main-data bytes. A frame's main data may begin in earlier
// frames, so every frame's bytes go in here and the scale factors and Huffman
// codes are read back out with a bit reader of its own. The ring is indexed by
// masking, so no position, however wrong, reads outside it.
class MainDataReservoir {
public:
    static constexpr int kSize = 4096;
    static constexpr int kMask = kSize - 1;

    void PutByte(std::uint32_t value) {
        ring_[write_index_] = value & 0xFFu;
        write_index_ = (write_index_ + 1) & kMask;
    }

    // The next n bits (0 <= n <= 32), most significant first.
    std::uint32_t GetBits(int n) {
        bits_read_ += n;
        std::uint32_t result = 0;
        while (n > 0) {
            if (bits_left_ == 0) {
                bits_left_ = 8;
                ++read_byte_;
            }
            int k = n < bits_left_ ? n : bits_left_;
            std::uint32_t byte = ring_[read_byte_ & kMask] & Mask(bits_left_);
            std::uint32_t bits = byte >> (bits_left_ - k);
            bits_left_ -= k;
            n -= k;
            result |= bits << n;
        }
        return result;
    }

    std::uint32_t GetBit() {
        ++bits_read_;
        if (bits_left_ == 0) {
            bits_left_ = 8;
            ++read_byte_;
        }
        --bits_left_;
        return (ring_[read_byte_ & kMask] >> bits_left_) & 1u;
    }

    void RewindBits(int n) {
        bits_read_ -= n;
        bits_left_ += n;
        while (bits_left_ >= 8) {
            bits_left_ -= 8;
            --read_byte_;
        }
    }

    void RewindBytes(int n) {
        bits_read_ -= 8 * n;
        read_byte_ -= n;
    }

    std::int32_t BitsRead() const { return bits_read_; }
    int WriteIndex() const { return write_index_; }

private:
    static constexpr std::uint32_t Mask(int bits) { return (1u << bits) - 1u; }

    std::array<std::uint32_t, kSize> ring_{};
    int write_index_ = 0;
    std::int32_t bits_read_ = 0;
    std::int32_t read_byte_ = 0;
    int bits_left_ = 8;
};

} // namespace audiocore
