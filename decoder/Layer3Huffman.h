#pragma once

#include "Layer3SideInfo.h"

#include <cstdint>

namespace audiocore {

class MainDataReservoir;
struct ScaleFactorBands;

// A reader over the words of GranuleBits, most significant bit first. It
// is a small value that the decoding loop keeps in registers. Past the
// loaded bits it reads zeros, never memory outside.
class BitReader {
public:
    BitReader(const std::uint32_t* words, int word_count, int size)
        : next_(words), end_(words + word_count), size_(size) {}

    // Makes sure the next 32 bits can be peeked without another Refill.
    void Refill() {
        if (cached_ <= 32) {
            const std::uint64_t word = next_ < end_ ? *next_ : 0u;
            ++next_;
            cache_ |= word << (32 - cached_);
            cached_ += 32;
        }
    }
    // The next n bits (1 <= n <= 32) after a Refill that covers them.
    std::uint32_t PeekRefilled(int n) const {
        return static_cast<std::uint32_t>(cache_ >> (64 - n));
    }
    void Skip(int n) {
        cache_ <<= n;
        cached_ -= n;
        position_ += n;
    }
    // The next n bits (0 <= n <= 32).
    std::uint32_t Read(int n) {
        if (n == 0)
            return 0;
        Refill();
        const std::uint32_t value = PeekRefilled(n);
        Skip(n);
        return value;
    }
    // Bits taken, and bits loaded.
    int Position() const { return position_; }
    int Size() const { return size_; }

private:
    const std::uint32_t* next_;
    const std::uint32_t* end_;
    std::uint64_t cache_ = 0;
    int cached_ = 0;
    int position_ = 0;
    int size_;
};

// The Huffman-coded bits of one granule and channel, copied out of the
// reservoir into whole words so that the decoder can look at many bits at
// once.
class GranuleBits {
public:
    // Room for the longest part2_3_length.
    static constexpr int kWords = 4096 / 32;

    // Takes the next `count` bits (0..4095) of the reservoir and leaves the
    // reservoir just after them.
    void Load(MainDataReservoir& reservoir, int count);
    BitReader Reader() const { return BitReader(words_, loaded_words_, size_); }

private:
    std::uint32_t words_[kWords] = {};
    int loaded_words_ = 0;
    int size_ = 0;
};

// One decoded code word: x and y of a pair table, or v, w, x, y of a count1
// quadruple, signs and escapes applied.
struct HuffmanValues {
    int x = 0;
    int y = 0;
    int v = 0;
    int w = 0;
};

// Decodes one code word of table 0..33 with its escape and sign bits. False
// when the bits start no code of the table; `values` is then unchanged.
bool DecodePair(BitReader& bits, int table, HuffmanValues& values);

// The quantised spectrum of one granule and channel, read from the reservoir
// up to part2_start + part2_3_length. Writes spectrum[0..575] (the four spare
// entries after 576 may be written too) and returns how many values were
// decoded, the rest being 0. Leaves the reservoir at the granule's end.
int DecodeHuffman(MainDataReservoir& reservoir, GranuleBits& storage, const GranuleInfo& granule,
                  int part2_start, const ScaleFactorBands& bands, std::int32_t* spectrum);

} // namespace audiocore
