#pragma once

#include "Layer3SideInfo.h"

#include <cstdint>

namespace audiocore {

class MainDataReservoir;
struct ScaleFactorBands;

// The Huffman-coded bits of one granule and channel, copied out of the
// reservoir into whole words so that the decoder can look at many bits at
// once. Reading past the copied bits gives zeros, never memory outside.
class GranuleBits {
public:
    // Room for the longest part2_3_length.
    static constexpr int kWords = 4096 / 32;

    // Takes the next `count` bits (0..4095) of the reservoir and leaves the
    // reservoir just after them.
    void Load(MainDataReservoir& reservoir, int count);

    // The next n bits (0 <= n <= 32), most significant first, without
    // taking them.
    std::uint32_t Peek(int n) {
        Refill();
        return n == 0 ? 0u : static_cast<std::uint32_t>(cache_ >> (64 - n));
    }
    void Skip(int n) {
        cache_ <<= n;
        cached_ -= n;
        position_ += n;
    }
    std::uint32_t Read(int n) {
        std::uint32_t value = Peek(n);
        Skip(n);
        return value;
    }
    // Bits taken since Load.
    int Position() const { return position_; }
    int Size() const { return size_; }

private:
    // Keeps at least 32 bits in the cache.
    void Refill() {
        if (cached_ <= 32) {
            std::uint64_t word = next_word_ < loaded_words_ ? words_[next_word_] : 0u;
            ++next_word_;
            cache_ |= word << (32 - cached_);
            cached_ += 32;
        }
    }

    std::uint32_t words_[kWords] = {};
    std::uint64_t cache_ = 0;
    int cached_ = 0;
    int next_word_ = 0;
    int loaded_words_ = 0;
    int position_ = 0;
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
bool DecodePair(GranuleBits& bits, int table, HuffmanValues& values);

// The quantised spectrum of one granule and channel, read from the reservoir
// up to part2_start + part2_3_length. Writes spectrum[0..575] (the four spare
// entries after 576 may be written too) and returns how many values were
// decoded, the rest being 0. Leaves the reservoir at the granule's end.
int DecodeHuffman(MainDataReservoir& reservoir, GranuleBits& bits, const GranuleInfo& granule,
                  int part2_start, const ScaleFactorBands& bands, std::int32_t* spectrum);

} // namespace audiocore
