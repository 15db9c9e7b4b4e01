#pragma once

// What the null devices of the test process were asked to do and what they
// played, kept by a listener the test installs.

#include "NullWaveOut.h"

#include <mutex>
#include <vector>

namespace testsupport {

struct NullDeviceLog {
    int opens = 0;
    int closes = 0;
    int resets = 0;
    int last_device = 0;
    audiocore::WaveFormat last_format;
    std::vector<std::uint32_t> volumes;
    std::vector<std::uint32_t> write_lengths;
    std::vector<std::uint8_t> played;
};

class NullDeviceRecorder final : public audiocore::NullDeviceListener {
public:
    void Opened(int device, const audiocore::WaveFormat& format) override {
        Change([&](NullDeviceLog& log) {
            ++log.opens;
            log.last_device = device;
            log.last_format = format;
        });
    }
    void VolumeSet(std::uint32_t volume) override {
        Change([&](NullDeviceLog& log) { log.volumes.push_back(volume); });
    }
    void Written(std::uint32_t length) override {
        Change([&](NullDeviceLog& log) { log.write_lengths.push_back(length); });
    }
    void Played(const std::uint8_t* pcm, std::size_t bytes) override {
        Change([&](NullDeviceLog& log) { log.played.insert(log.played.end(), pcm, pcm + bytes); });
    }
    void WasReset() override {
        Change([](NullDeviceLog& log) { ++log.resets; });
    }
    void Closed() override {
        Change([](NullDeviceLog& log) { ++log.closes; });
    }

    NullDeviceLog Snapshot() {
        std::lock_guard lock(mutex_);
        return log_;
    }
    void Clear() {
        std::lock_guard lock(mutex_);
        log_ = NullDeviceLog{};
    }

private:
    template <typename Changer> void Change(Changer change) {
        std::lock_guard lock(mutex_);
        change(log_);
    }
    std::mutex mutex_;
    NullDeviceLog log_;
};

inline NullDeviceRecorder& Recorder() {
    static NullDeviceRecorder recorder;
    return recorder;
}

// Empties the log and starts keeping it.
inline void ClearNullDeviceLog() {
    Recorder().Clear();
    audiocore::ListenToNullDevices(&Recorder());
}

inline NullDeviceLog NullDeviceSnapshot() {
    return Recorder().Snapshot();
}

} // namespace testsupport
