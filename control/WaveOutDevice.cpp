#include "WaveOutDevice.h"

#include "NullWaveOut.h"
#include "SdlWaveOut.h"

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

void ApplyVolumeToPcm(std::uint8_t* pcm, std::size_t bytes, int channels, std::uint32_t volume) {
    if (volume == 0xFFFFFFFF)
        return;
    for (std::size_t i = 0; i + 1 < bytes; i += 2) {
        const bool right = channels == 2 && (i / 2) % 2 == 1;
        const std::uint32_t level = right ? volume >> 16 : volume & 0xFFFF;
        const auto sample = static_cast<std::int16_t>(pcm[i] | (pcm[i + 1] << 8));
        const auto scaled = static_cast<std::uint16_t>(ApplyVolume(sample, level));
        pcm[i] = static_cast<std::uint8_t>(scaled & 0xFF);
        pcm[i + 1] = static_cast<std::uint8_t>(scaled >> 8);
    }
}

std::unique_ptr<WaveOutDevice> CreateWaveOutDevice() {
    return ChosenLayer().create();
}

std::vector<std::string> ListOutputDevices() {
    return ChosenLayer().devices();
}

} // namespace audiocore
