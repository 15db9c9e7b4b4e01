#include "WaveOutDevice.h"

#include "NullWaveOut.h"
#include "SdlWaveOut.h"

#include <cstdlib>
#include <string>

namespace audiocore {

namespace {

bool NullLayerChosen() {
    const char* choice = std::getenv("AUDIOCORE_OUTPUT");
    return choice && std::string(choice) == "null";
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

std::unique_ptr<WaveOutDevice> CreateWaveOutDevice() {
    if (NullLayerChosen())
        return std::make_unique<NullWaveOut>();
    return std::make_unique<SdlWaveOut>();
}

std::vector<std::string> ListOutputDevices() {
    if (NullLayerChosen())
        return {"Null output"};
    return SdlWaveOut::DeviceNames();
}

} // namespace audiocore
