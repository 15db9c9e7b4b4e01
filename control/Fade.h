#pragma once

#include "WaveOutDevice.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <vector>

namespace audiocore {

// Short gain ramps that keep a stop or a seek from cutting the sound with a
// step, which a listener hears as a click. A few milliseconds pass
// unnoticed as a fade and are enough to soften the step.
constexpr std::uint32_t kFadeMs = 5;

// The sample frames a fade lasts at `rate`.
std::uint32_t FadeFrames(std::uint32_t rate);

// A sample at step `step` of a ramp of `fade_frames` steps: the gain
// step / fade_frames, held within silence and full level, truncated toward
// zero.
inline std::int16_t RampSample(std::int16_t sample, std::int64_t step, std::uint32_t fade_frames) {
    const std::int64_t full = fade_frames;
    return static_cast<std::int16_t>(sample * std::clamp<std::int64_t>(step, 0, full) / full);
}

// Scales interleaved 16-bit PCM down a ramp of `fade_frames` steps: its
// first sample frame at step `first_step`, each next one a step less.
void RampDownPcm(std::uint8_t* pcm, std::size_t bytes, int channels, std::int64_t first_step,
                 std::uint32_t fade_frames);

// Fades the queued audio to silence at byte `end`, from `from` on; byte
// positions count from the first byte of the front buffer.
void FadeOutQueued(const std::deque<WaveHeader*>& queue, std::uint64_t from, std::uint64_t end,
                   const WaveFormat& format);

// A copy of a fade's worth of the queued audio from byte `from` on, fading
// to silence, as the listener hears it at `volume` with each song's gain:
// what a cut lets sound before the new audio.
std::vector<std::uint8_t> FadedTail(const std::deque<WaveHeader*>& queue, std::uint64_t from,
                                    const WaveFormat& format, std::uint32_t volume);

} // namespace audiocore
