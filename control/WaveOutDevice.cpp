#include "WaveOutDevice.h"

#include "NullWaveOut.h"
#include "SdlWaveOut.h"

#include <algorithm>
#include <cstdlib>
#include <string>

namespace audiocore {

namespace {

// The device layers AUDIOCORE_OUTPUT chooses from; the first is the default.
struct OutputLayer {
    const char* name;
    std::unique_ptr<WaveOutDevice> (*create)();
    std::vector<std::string> (*devices)();
};

const OutputLayer kLayers[] = {
    {"sdl", [] { return std::unique_ptr<WaveOutDevice>(std::make_unique<SdlWaveOut>()); },
     &SdlWaveOut::DeviceNames},
    {"null", [] { return std::unique_ptr<WaveOutDevice>(std::make_unique<NullWaveOut>()); },
     [] { return std::vector<std::string>{"Null output"}; }},
};

const OutputLayer& ChosenLayer() {
    const char* choice = std::getenv("AUDIOCORE_OUTPUT");
    for (const OutputLayer& layer : kLayers)
        if (choice && std::string(choice) == layer.name)
            return layer;
    return kLayers[0];
}

} // namespace

WaveFormat MakePcmFormat(int channels, int samples_per_sec) {
    WaveFormat format;
    format.channels = static_cast<std::uint16_t>(channels);
    format.samples_per_sec = static_cast<std::uint32_t>(samples_per_sec);
    format.block_align = static_cast<std::uint16_t>(channels * 2);
    format.avg_bytes_per_sec = format.samples_per_sec * format.block_align;
    return format;
}

void ApplyVolumeToPcm(std::uint8_t* pcm, std::size_t bytes, int channels, std::uint32_t volume,
                      std::uint32_t gain) {
    if (volume == 0xFFFFFFFF && gain == kUnityGain)
        return;
    for (std::size_t i = 0; i + 1 < bytes; i += 2) {
        const bool right = channels == 2 && (i / 2) % 2 == 1;
        const std::uint32_t level = right ? volume >> 16 : volume & 0xFFFF;
        const auto sample = static_cast<std::int16_t>(pcm[i] | (pcm[i + 1] << 8));
        const auto scaled = static_cast<std::uint16_t>(ApplyVolume(sample, level, gain));
        pcm[i] = static_cast<std::uint8_t>(scaled & 0xFF);
        pcm[i + 1] = static_cast<std::uint8_t>(scaled >> 8);
    }
}

void ApplyVolumeToBuffer(std::uint8_t* pcm, const WaveHeader& header, std::uint32_t offset,
                         std::size_t bytes, int channels, std::uint32_t volume) {
    const std::uint64_t end = std::uint64_t{offset} + bytes;
    std::uint32_t gain = kUnityGain;
    std::uint64_t from = offset;
    // Each mark ends the part before it; the last part runs to the end.
    for (const GainMark& mark : header.gains) {
        if (mark.offset > from) {
            const std::uint64_t to = std::min<std::uint64_t>(mark.offset, end);
            ApplyVolumeToPcm(pcm + (from - offset), static_cast<std::size_t>(to - from), channels,
                             volume, gain);
            from = to;
        }
        if (from >= end)
            return;
        gain = mark.gain;
    }
    ApplyVolumeToPcm(pcm + (from - offset), static_cast<std::size_t>(end - from), channels, volume,
                     gain);
}

std::unique_ptr<WaveOutDevice> CreateWaveOutDevice() {
    return ChosenLayer().create();
}

std::vector<std::string> ListOutputDevices() {
    return ChosenLayer().devices();
}

} // namespace audiocore
