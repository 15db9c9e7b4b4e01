#pragma once

#include "WaveOutDevice.h"

#include <atomic>
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
    CloseResult Close() override;

private:
    static void Pull(void* self, std::uint8_t* stream, int length);
    void Fill(std::uint8_t* stream, int length);
    void ShutDown();

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
    // Silence still to come before the first audio.
    std::uint32_t lead_in_bytes_ = 0;
    // Pulls of pure silence since the last audio; the audio handed to SDL
    // has been heard once a few have gone by.
    int silent_pulls_ = 0;
};

} // namespace audiocore
