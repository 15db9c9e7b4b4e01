#pragma once

#include "WaveOutDevice.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace audiocore {

// The wave-out operations over SDL2's audio subsystem, which reaches
// PipeWire, PulseAudio, ALSA or JACK (or SDL's dummy and disk drivers when
// SDL_AUDIODRIVER asks for them). SDL pulls audio from its own thread; the
// written buffers are fed to it in order, and a buffer returns once its last
// byte has gone to the device. Close waits until the sound server has played
// it too, so the end of a song is not cut off.
class SdlWaveOut : public WaveOutDevice {
public:
    SdlWaveOut() = default;
    ~SdlWaveOut() override;

    static std::vector<std::string> DeviceNames();

    bool Open(int device, const WaveFormat& format, Completion on_done) override;
    std::string OpenError() const override { return open_error_; }
    void SetVolume(std::uint32_t volume) override;
    void Write(WaveHeader& header) override;
    void Reset() override;
    std::uint64_t PlayedBytes() const override;
    void EndAt(const EndChooser& choose) override;
    CloseResult Close() override;

private:
    static void Pull(void* self, std::uint8_t* stream, int length);
    void Fill(std::uint8_t* stream, int length);
    // Writes the tail and the lead-in silence that come before the queued
    // audio; how many bytes of `stream` they took.
    int FillPreroll(std::uint8_t* stream, int length);
    void ShutDown();
    // Empties the queue, with the device locked; how many buffers it held.
    std::size_t TakeBackQueue();

    bool Fail(std::string why);

    std::uint32_t device_id_ = 0;
    std::string open_error_;
    bool subsystem_ready_ = false;
    bool unpaused_ = false;
    int channels_ = 2;
    Completion on_done_;
    std::atomic<std::uint32_t> volume_{0xFFFFFFFF};
    // Guarded by SDL's device lock: the callback runs under it.
    std::deque<WaveHeader*> queue_;
    std::uint32_t front_offset_ = 0;
    // Bytes of written buffers handed to SDL since Open or Reset, and where
    // output ends after a stop.
    std::uint64_t consumed_ = 0;
    std::uint64_t end_at_ = kNoEnd;
    // Where in those bytes the latest pull began (before 0 while the lead-in
    // silence plays), and when. The sound server holds up to one pull more,
    // so the listener hears that pull's start up to a pull's time later:
    // half a pull is the estimate that errs least either way.
    std::int64_t pull_start_ = 0;
    std::int64_t latency_bytes_ = 0;
    std::chrono::steady_clock::time_point pull_time_;
    std::uint32_t bytes_per_second_ = 44100 * 4;
    // Silence still to come before the first audio.
    std::uint32_t lead_in_bytes_ = 0;
    // What a Reset let sound on, fading out, before any new audio.
    std::vector<std::uint8_t> tail_;
    std::size_t tail_offset_ = 0;
    WaveFormat format_;
    // Pulls of pure silence since the last audio; the audio handed to SDL
    // has been heard once a few have gone by.
    int silent_pulls_ = 0;
};

} // namespace audiocore
