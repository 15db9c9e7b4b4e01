#pragma once

#include "WaveOutDevice.h"

#include <memory>
#include <mutex>

namespace audiocore {

// The module's one output device. The device sink opens and plays it on the
// worker thread; the control's thread changes its volume, and stops it at
// once on a stop or a seek, while the run plays. The lock only keeps those
// calls off a device that is being opened or closed.
class DeviceHandle {
public:
    // On failure `error` (when given) says why.
    bool Open(int device, const WaveFormat& format, WaveOutDevice::Completion on_done,
              std::string* error = nullptr);
    bool IsOpen() const;
    void SetVolume(std::uint32_t volume);
    void Write(WaveHeader& header);
    void Reset();
    // The control's stop or seek: queued audio goes at once, and until the
    // run's own Reset (its Clear or its end) a buffer written in the
    // meantime, still from the old position, comes back unplayed. The
    // control interrupts before it raises the request, so the run's Reset
    // always follows.
    void Interrupt();
    // The control's stop: output goes on to the end `choose` picks and no
    // further, and buffers written after come back unplayed, as after
    // Interrupt. False when no device is open.
    bool EndAt(const WaveOutDevice::EndChooser& choose);
    // Whether a stop's end is set and the device still plays up to it.
    bool Ending() const;
    // What the device has played since it opened or was last reset.
    std::uint64_t PlayedBytes() const;
    // On Closed the device is released and the handle is free again.
    CloseResult Close();

private:
    mutable std::mutex mutex_;
    std::unique_ptr<WaveOutDevice> device_;
    WaveOutDevice::Completion on_done_;
    bool interrupted_ = false;
    bool ending_ = false;
};

// The handle every decode run of this process plays through.
DeviceHandle& ModuleDeviceHandle();

// A volume property as the device takes it: its low 16 bits for both channels.
constexpr std::uint32_t DeviceVolume(std::uint32_t volume) {
    const std::uint32_t v = volume & 0xFFFF;
    return v + v * 65536;
}

} // namespace audiocore
