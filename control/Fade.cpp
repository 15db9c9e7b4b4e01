#include "Fade.h"

#include <algorithm>
#include <cstring>

namespace audiocore {

namespace {

// Calls `visit(header, offset, bytes, position)` for each piece of the
// queued audio that lies in [from, end): `bytes` of `header` from `offset`.
template <typename Visit>
void ForQueuedBytes(const std::deque<WaveHeader*>& queue, std::uint64_t from, std::uint64_t end,
                    Visit visit) {
    std::uint64_t start = 0;
    for (WaveHeader* header : queue) {
        const std::uint64_t stop = start + header->buffer_length;
        const std::uint64_t a = std::max(start, from);
        const std::uint64_t b = std::min(stop, end);
        if (a < b)
            visit(*header, static_cast<std::uint32_t>(a - start), static_cast<std::size_t>(b - a),
                  a);
        if (stop >= end)
            return;
        start = stop;
    }
}

std::uint32_t FrameBytes(const WaveFormat& format) {
    return std::max<std::uint32_t>(format.block_align, 1);
}

} // namespace

std::uint32_t FadeFrames(std::uint32_t rate) {
    return std::max<std::uint32_t>(rate * kFadeMs / 1000, 1);
}

void RampDownPcm(std::uint8_t* pcm, std::size_t bytes, int channels, std::int64_t first_step,
                 std::uint32_t fade_frames) {
    const std::size_t frame_bytes = 2 * static_cast<std::size_t>(std::max(channels, 1));
    std::int64_t step = first_step;
    for (std::size_t at = 0; at + frame_bytes <= bytes; at += frame_bytes, --step) {
        for (std::size_t b = at; b < at + frame_bytes; b += 2) {
            std::int16_t sample;
            std::memcpy(&sample, pcm + b, 2);
            sample = RampSample(sample, step, fade_frames);
            std::memcpy(pcm + b, &sample, 2);
        }
    }
}

void FadeOutQueued(const std::deque<WaveHeader*>& queue, std::uint64_t from, std::uint64_t end,
                   const WaveFormat& format) {
    const std::uint32_t frame_bytes = FrameBytes(format);
    const std::uint32_t fade = FadeFrames(format.samples_per_sec);
    from = std::max<std::uint64_t>(from, end > fade * frame_bytes ? end - fade * frame_bytes : 0);
    ForQueuedBytes(
        queue, from, end,
        [&](WaveHeader& header, std::uint32_t offset, std::size_t bytes, std::uint64_t at) {
            RampDownPcm(header.data + offset, bytes, format.channels,
                        static_cast<std::int64_t>((end - at) / frame_bytes), fade);
        });
}

std::vector<std::uint8_t> FadedTail(const std::deque<WaveHeader*>& queue, std::uint64_t from,
                                    const WaveFormat& format, std::uint32_t volume) {
    const std::uint32_t frame_bytes = FrameBytes(format);
    const std::uint32_t fade = FadeFrames(format.samples_per_sec);
    std::vector<std::uint8_t> tail;
    ForQueuedBytes(
        queue, from, from + std::uint64_t{fade} * frame_bytes,
        [&](const WaveHeader& header, std::uint32_t offset, std::size_t bytes, std::uint64_t) {
            const std::size_t at = tail.size();
            tail.insert(tail.end(), header.data + offset, header.data + offset + bytes);
            ApplyVolumeToBuffer(tail.data() + at, header, offset, bytes, format.channels, volume);
        });
    RampDownPcm(tail.data(), tail.size(), format.channels, fade, fade);
    return tail;
}

} // namespace audiocore
