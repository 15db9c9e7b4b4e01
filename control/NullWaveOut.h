#pragma once

#include "WaveOutDevice.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace audiocore {

// Told what every null device of the process is asked to do and what it
// plays (with the volume, as a listener hears it), for a test that listens.
// Called from the devices' threads, so a listener guards its own state.
class NullDeviceListener {
public:
    virtual ~NullDeviceListener() = default;
    virtual void Opened(int device, const WaveFormat& format) = 0;
    virtual void VolumeSet(std::uint32_t volume) = 0;
    virtual void Written(std::uint32_t length) = 0;
    virtual void Played(const std::uint8_t* pcm, std::size_t bytes) = 0;
    virtual void WasReset() = 0;
    virtual void Closed() = 0;
};

// Installs the listener (none: nullptr). Without one, the null devices keep
// nothing, so a long playback stays flat in memory.
void ListenToNullDevices(NullDeviceListener* listener);

// A device without sound hardware: it plays each buffer for as long as its
// audio lasts, divided by AUDIOCORE_NULL_SPEED (default 1), and tells the
// bytes to a test that listens. AUDIOCORE_NULL_RECORD, when set, names a file the played bytes
// are appended to, so that a test can hear a player in another module.
class NullWaveOut : public WaveOutDevice {
public:
    // The null layer offers a single device.
    static constexpr int kDeviceCount = 1;

    NullWaveOut();
    ~NullWaveOut() override;

    bool Open(int device, const WaveFormat& format, Completion on_done) override;
    std::string OpenError() const override { return open_error_; }
    void SetVolume(std::uint32_t volume) override;
    void Write(WaveHeader& header) override;
    void Reset() override;
    std::uint64_t PlayedBytes() const override;
    void EndAt(const EndChooser& choose) override;
    CloseResult Close() override;

private:
    std::string open_error_;
    using Clock = std::chrono::steady_clock;

    void PlayLoop();
    Clock::duration PlayTime(std::uint32_t bytes) const;
    // Records the first `bytes` of a buffer as heard, at the volume and
    // with its songs' gains; called with mutex_ held.
    void Record(const WaveHeader& header, std::uint32_t bytes);
    // Records PCM that is already as heard.
    void RecordHeard(const std::uint8_t* pcm, std::size_t bytes);
    // The whole sample frames of the front buffer that have sounded; called
    // with mutex_ held.
    std::uint32_t FrontPlayedBytes() const;
    // How much of `header` plays before the end a stop set.
    std::uint32_t PlayableBytes(const WaveHeader& header) const;
    // Records what the front buffer has played (and with `fade_out`, a
    // fade's worth more, fading) and returns every queued buffer; called
    // with `lock` held, which it releases for the returns.
    void TakeBackQueue(std::unique_lock<std::mutex>& lock, bool fade_out = false);

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<WaveHeader*> queue_;
    Completion on_done_;
    WaveFormat format_;
    double speed_ = 1.0;
    std::uint32_t volume_ = 0xFFFFFFFF;
    bool front_playing_ = false;
    Clock::time_point front_started_;
    std::uint64_t reset_count_ = 0;
    // Bytes played to their end since Open or Reset, and where a stop ends.
    std::uint64_t played_ = 0;
    std::uint64_t end_at_ = kNoEnd;
    bool quit_ = false;
    std::FILE* record_file_ = nullptr;
    std::thread player_;
};

} // namespace audiocore
