#pragma once

#include "Interleaver.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace audiocore {

// One frame of 16-bit PCM being filled, given out in the WAV file's layout:
// the WAV file writes it after every frame, a threaded conversion's run
// keeps it, the device copies it into its buffers. The blocks of each
// channel are kept apart as they come and interleaved once, when the frame
// is done. A frame is as long as its longer channel (the first and last
// frames of a song are cut to the song); a channel that came out shorter is
// made up with silence.
class PcmFrame {
public:
    // `bytes` is the frame's size: its samples per channel times Step().
    PcmFrame(std::uint32_t channels, std::uint32_t bytes)
        : channels_(channels == 1 ? 1u : 2u), samples_(bytes / StepFor(channels)),
          planes_(static_cast<std::size_t>(channels_) * samples_, 0), bytes_(bytes, 0) {}

    // The bytes of one sample of every channel.
    static std::uint32_t StepFor(std::uint32_t channels) { return Interleaver(channels).Step(); }

    std::uint32_t Channels() const { return channels_; }
    std::uint32_t Step() const { return 2 * channels_; }

    // Samples past the frame's end are dropped, never written past it; a
    // channel the frame does not carry and a released frame take none.
    void Store(std::uint32_t channel, const std::int16_t* samples, std::size_t count) {
        if (channel >= channels_ || planes_.empty())
            return;
        const std::size_t n = std::min<std::size_t>(count, samples_ - filled_[channel]);
        std::memcpy(Plane(channel) + filled_[channel], samples, n * sizeof *samples);
        filled_[channel] += static_cast<std::uint32_t>(n);
    }
    // Sample frames filled so far.
    std::uint32_t Length() const { return std::max(filled_[0], filled_[1]); }
    // The frame as the WAV file holds it: Length() * Step() bytes.
    const std::uint8_t* Bytes() {
        WriteTo(bytes_.data());
        return bytes_.data();
    }
    std::size_t ByteCount() const { return std::size_t{Length()} * Step(); }
    // The same after the end of `out`.
    void AppendTo(std::vector<std::uint8_t>& out) {
        const std::size_t at = out.size();
        out.resize(at + ByteCount());
        WriteTo(out.data() + at);
    }

    // Empty again, for the next frame.
    void Next() {
        filled_[0] = 0;
        filled_[1] = 0;
    }
    void Release() {
        planes_.clear();
        planes_.shrink_to_fit();
        bytes_.clear();
        bytes_.shrink_to_fit();
    }

private:
    // Interleaves the planes into `out`, silence where a channel fell short.
    void WriteTo(std::uint8_t* out) {
        if (planes_.empty())
            return;
        const std::uint32_t length = Length();
        for (std::uint32_t c = 0; c < channels_; ++c)
            std::fill(Plane(c) + filled_[c], Plane(c) + length, std::int16_t{0});
        Interleave(Plane(0), channels_ == 2 ? Plane(1) : nullptr, length, out);
    }
    std::int16_t* Plane(std::uint32_t channel) { return planes_.data() + channel * samples_; }

    std::uint32_t channels_;
    std::uint32_t samples_;
    std::uint32_t filled_[2] = {0, 0};
    std::vector<std::int16_t> planes_;
    std::vector<std::uint8_t> bytes_;
};

} // namespace audiocore
