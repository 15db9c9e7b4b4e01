#pragma once

#include "Interleaver.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace audiocore {

// One frame of interleaved 16-bit PCM being filled, in the WAV file's
// layout: the WAV file writes it whole after every frame, a threaded
// conversion's run keeps it. What a frame leaves unfilled (a frame shorter
// than the first, in a stream that changes layer) is silence.
class PcmFrame {
public:
    // `bytes` is the frame's size: its samples per channel times Step().
    PcmFrame(std::uint32_t channels, std::uint32_t bytes)
        : interleaver_(channels), bytes_(bytes, 0) {}

    // The bytes of one sample of every channel.
    static std::uint32_t StepFor(std::uint32_t channels) { return Interleaver(channels).Step(); }

    std::uint32_t Channels() const { return interleaver_.Channels(); }
    std::uint32_t Step() const { return interleaver_.Step(); }
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

    // Samples past the frame's end are dropped, never written past it; a
    // released frame takes none.
    void Store(std::uint32_t channel, const std::int16_t* samples, std::size_t count) {
        interleaver_.Store(channel, samples, count, bytes_.data(),
                           static_cast<std::uint32_t>(bytes_.size()));
    }
    // Silence and the cursors back at the start, for the next frame.
    void Next() {
        std::fill(bytes_.begin(), bytes_.end(), 0);
        interleaver_.Rewind();
    }
    void Release() {
        bytes_.clear();
        bytes_.shrink_to_fit();
    }

private:
    Interleaver interleaver_;
    std::vector<std::uint8_t> bytes_;
};

} // namespace audiocore
