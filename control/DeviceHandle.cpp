#include "DeviceHandle.h"

namespace audiocore {

bool DeviceHandle::Open(int device, const WaveFormat& format, WaveOutDevice::Completion on_done,
                        std::string* error) {
    std::lock_guard lock(mutex_);
    if (device_) {
        if (error)
            *error = "the device is in use";
        return false;
    }
    auto opened = CreateWaveOutDevice();
    if (!opened->Open(device, format, on_done)) {
        if (error)
            *error = opened->OpenError();
        return false;
    }
    device_ = std::move(opened);
    on_done_ = std::move(on_done);
    interrupted_ = false;
    ending_ = false;
    return true;
}

bool DeviceHandle::IsOpen() const {
    std::lock_guard lock(mutex_);
    return device_ != nullptr;
}

void DeviceHandle::SetVolume(std::uint32_t volume) {
    std::lock_guard lock(mutex_);
    if (device_)
        device_->SetVolume(volume);
}

void DeviceHandle::Write(WaveHeader& header) {
    std::lock_guard lock(mutex_);
    if (!device_)
        return;
    if (interrupted_)
        on_done_(); // returned at once, as a reset would
    else
        device_->Write(header);
}

void DeviceHandle::Reset() {
    std::lock_guard lock(mutex_);
    interrupted_ = false;
    ending_ = false;
    if (device_)
        device_->Reset();
}

void DeviceHandle::Interrupt() {
    std::lock_guard lock(mutex_);
    if (!device_)
        return;
    interrupted_ = true;
    ending_ = false;
    device_->Reset();
}

bool DeviceHandle::EndAt(const WaveOutDevice::EndChooser& choose) {
    std::lock_guard lock(mutex_);
    if (!device_)
        return false;
    interrupted_ = true;
    ending_ = true;
    device_->EndAt(choose);
    return true;
}

bool DeviceHandle::Ending() const {
    std::lock_guard lock(mutex_);
    return ending_;
}

std::uint64_t DeviceHandle::PlayedBytes() const {
    std::lock_guard lock(mutex_);
    return device_ ? device_->PlayedBytes() : 0;
}

CloseResult DeviceHandle::Close() {
    std::lock_guard lock(mutex_);
    if (!device_)
        return CloseResult::Closed;
    if (device_->Close() == CloseResult::StillPlaying)
        return CloseResult::StillPlaying;
    device_.reset();
    on_done_ = nullptr;
    interrupted_ = false;
    ending_ = false;
    return CloseResult::Closed;
}

DeviceHandle& ModuleDeviceHandle() {
    static DeviceHandle handle;
    return handle;
}

} // namespace audiocore
