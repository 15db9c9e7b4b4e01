#pragma once

#include "PcmSink.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace audiocore {

// Passes on the part of each decoded frame that belongs to the song: the
// samples [from, to) of the frame, counted per channel. The frames a seek
// warms up on pass nothing, the encoder's delay and padding are cut off the
// first and last frames, and a frame that comes out shorter than the
// stream's frames (a stream that changes layer) is made up with silence, so
// that every sink sees whole frames of the song.
class SongGate final : public PcmSink {
public:
    void SetOutput(PcmSink* out) { out_ = out; }
    void SetChannels(int channels) { channels_ = channels == 1 ? 1u : 2u; }
    // The next frame is heard: it passes on its samples [from, to), none
    // when from >= to, and its end, so that frames keep their count.
    void SetWindow(std::uint32_t from, std::uint32_t to) {
        heard_ = true;
        from_ = from;
        to_ = to;
    }
    // The next frame only warms the decoder up: nothing of it passes.
    void Close() {
        heard_ = false;
        from_ = 0;
        to_ = 0;
    }

    void Append(std::uint32_t channel, std::int16_t sample) override {
        AppendBlock(channel, &sample, 1);
    }
    void AppendBlock(std::uint32_t channel, const std::int16_t* samples,
                     std::size_t count) override {
        std::uint32_t& at = at_[channel & 1u];
        const auto start = static_cast<std::uint64_t>(at);
        const std::uint64_t end = start + count;
        at = static_cast<std::uint32_t>(std::min<std::uint64_t>(end, UINT32_MAX));
        const std::uint64_t first = std::max<std::uint64_t>(start, from_);
        const std::uint64_t last = std::min<std::uint64_t>(end, to_);
        if (out_ && first < last)
            out_->AppendBlock(channel, samples + (first - start), last - first);
    }
    void EndFrame() override {
        if (out_ && heard_) {
            for (std::uint32_t c = 0; c < channels_; ++c)
                Silence(c);
            out_->EndFrame();
        }
        at_ = {0, 0};
    }
    void Clear() override {
        at_ = {0, 0};
        if (out_)
            out_->Clear();
    }
    void Stop() override {
        if (out_)
            out_->Stop();
    }

private:
    // The rest of the window of a channel that came out short.
    void Silence(std::uint32_t channel) {
        static constexpr std::int16_t kZeros[64] = {};
        for (std::uint32_t at = std::max(at_[channel], from_); at < to_;) {
            const std::uint32_t n = std::min<std::uint32_t>(to_ - at, 64);
            out_->AppendBlock(channel, kZeros, n);
            at += n;
        }
    }

    PcmSink* out_ = nullptr;
    std::uint32_t channels_ = 2;
    bool heard_ = false;
    std::uint32_t from_ = 0;
    std::uint32_t to_ = 0;
    std::array<std::uint32_t, 2> at_ = {0, 0};
};

} // namespace audiocore
