#pragma once

#include <cstddef>
#include <cstdint>

namespace audiocore {

// Interleaves the samples of one or two channels into 16-bit little-endian
// PCM frames, with one cursor per channel, so that the blocks of the two
// channels may arrive in turns of any size. The sinks that store PCM (the
// WAV file's frame buffer, the device's buffers, a conversion's runs) share
// it. What does not fit into the area is dropped, never written past it.
class Interleaver {
public:
    explicit Interleaver(std::uint32_t channels) : channels_(channels == 1 ? 1u : 2u) {}

    std::uint32_t Channels() const { return channels_; }
    // Bytes of one sample of every channel.
    std::uint32_t Step() const { return 2 * channels_; }
    // Where the next sample of `channel` goes, in bytes from the area's start.
    std::uint32_t Cursor(std::uint32_t channel) const { return cursor_[channel & 1u]; }
    // The cursors back to the start of a fresh area.
    void Rewind() {
        cursor_[0] = 0;
        cursor_[1] = 2;
    }
    // Stores `count` samples of `channel` into `area` of `bytes` bytes. A
    // channel the area does not carry is ignored.
    void Store(std::uint32_t channel, const std::int16_t* samples, std::size_t count,
               std::uint8_t* area, std::uint32_t bytes);

private:
    std::uint32_t channels_;
    std::uint32_t cursor_[2] = {0, 2};
};

// Interleaves `n` samples of `left` and, when not null, `right` into 16-bit
// little-endian PCM at `out` (2 n or 4 n bytes).
void Interleave(const std::int16_t* left, const std::int16_t* right, std::size_t n,
                std::uint8_t* out);

} // namespace audiocore
