#pragma once

#include "ReplayGain.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace audiocore {

// The PCM format a device is opened with; 16-bit little-endian PCM only.
struct WaveFormat {
    std::uint16_t format_tag = 1;
    std::uint16_t channels = 2;
    std::uint32_t samples_per_sec = 44100;
    std::uint32_t avg_bytes_per_sec = 44100 * 4;
    std::uint16_t block_align = 4;
    std::uint16_t bits_per_sample = 16;
    std::uint16_t extra_size = 0;
};

WaveFormat MakePcmFormat(int channels, int samples_per_sec);

// From byte `offset` of a buffer on, its samples play scaled by `gain`
// (16.16 fixed point, kUnityGain leaving them as they are): each song of a
// play list brings its own ReplayGain, and a buffer may hold the end of one
// song and the start of the next.
struct GainMark {
    std::uint32_t offset = 0;
    std::uint32_t gain = kUnityGain;
};

// One buffer handed to a device. The caller owns it and keeps it alive and
// untouched from Write until the device has returned it.
struct WaveHeader {
    std::uint8_t* data = nullptr;
    std::uint32_t buffer_length = 0;
    // The sink's written mark: 1 from the hand-over until the next Clear.
    std::uintptr_t user = 0;
    // In rising offsets; none plays the whole buffer at unity.
    std::vector<GainMark> gains;
};

// The device selection of the control: -1 is the system's preferred device,
// n >= 0 the n-th device the back end lists.
constexpr int kPreferredDevice = -1;

enum class CloseResult { Closed, StillPlaying };

// The wave-out operations the device sink is built on. Buffers play in the
// order written; every buffer written comes back exactly once, played to its
// end or returned early by Reset, and each return calls the completion
// callback on a thread of the back end. The callback must not call back into
// the device.
class WaveOutDevice {
public:
    using Completion = std::function<void()>;

    virtual ~WaveOutDevice() = default;

    virtual bool Open(int device, const WaveFormat& format, Completion on_done) = 0;
    // Why the last Open failed, in the back end's words; empty when it
    // cannot say.
    virtual std::string OpenError() const { return {}; }
    // Low 16 bits: left channel, high 16 bits: right; 0xFFFF is full level.
    virtual void SetVolume(std::uint32_t volume) = 0;
    virtual void Write(WaveHeader& header) = 0;
    // Stops output at once and returns every queued buffer.
    virtual void Reset() = 0;
    // How many bytes of the buffers written since Open or the last Reset
    // the listener has heard by now, as near as the back end can tell.
    virtual std::uint64_t PlayedBytes() const = 0;
    // The end of a device that no stop has set one for.
    static constexpr std::uint64_t kNoEnd = UINT64_MAX;
    // Given the bytes already gone beyond recall, the byte count to end at.
    using EndChooser = std::function<std::uint64_t(std::uint64_t consumed)>;
    // Lets output go on to the byte count that `choose` gives (it is asked
    // once, with output held still), then returns every queued buffer as
    // Reset does. Nothing is cut that was already on its way to the
    // listener, so a stop ends exactly where the chooser says.
    virtual void EndAt(const EndChooser& choose) = 0;
    // StillPlaying while written buffers have not come back; the device then
    // stays open.
    virtual CloseResult Close() = 0;
};

// The device layer chosen by AUDIOCORE_OUTPUT: "sdl" (the default) or "null".
std::unique_ptr<WaveOutDevice> CreateWaveOutDevice();

// Names of the output devices of the chosen layer; OutputDevID n selects
// entry n-1, 0 the preferred device.
std::vector<std::string> ListOutputDevices();

// Scales one sample by a 16-bit volume level, 0xFFFF leaving it unchanged,
// and a song's gain (16.16 fixed point), in one multiplication: the two
// make one factor, and at unity gain the result is the volume's alone. A
// gain above unity saturates at full scale rather than wrapping.
inline std::int16_t ApplyVolume(std::int16_t sample, std::uint32_t level,
                                std::uint32_t gain = kUnityGain) {
    const std::int64_t factor = std::int64_t{level} * gain;
    const std::int64_t scaled = sample * factor / (std::int64_t{0xFFFF} << 16);
    return static_cast<std::int16_t>(scaled > 32767 ? 32767 : scaled < -32768 ? -32768 : scaled);
}

// Scales interleaved 16-bit little-endian PCM in place by a device volume
// (left level in the low 16 bits, right in the high), as both back ends play
// it, and by a song's gain.
void ApplyVolumeToPcm(std::uint8_t* pcm, std::size_t bytes, int channels, std::uint32_t volume,
                      std::uint32_t gain = kUnityGain);

// The same for `bytes` of `header`'s data from byte `offset` on, copied to
// `pcm`: each part with the gain its buffer marks for it.
void ApplyVolumeToBuffer(std::uint8_t* pcm, const WaveHeader& header, std::uint32_t offset,
                         std::size_t bytes, int channels, std::uint32_t volume);

} // namespace audiocore
