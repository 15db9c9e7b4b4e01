#pragma once

#include "DeviceHandle.h"
#include "Interleaver.h"
#include "PcmSink.h"
#include "WaveOutDevice.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <semaphore>
#include <vector>

namespace audiocore {

class FrameHeader;
class PlayedFrames;
struct DecodeJob;

// Plays decoded PCM on the output device through a ring of three buffers of
// 32 frames each. Slot 2 is always the buffer being filled; slot 0 holds the
// buffer handed over last and slot 1 the one before. The device starts when
// two buffers are full and from then on always has two queued while the third
// fills. Every buffer the device returns releases one count of a semaphore,
// and the decoder waits on it before refilling a buffer still at the device,
// so the decoder runs at most one buffer ahead and never spins.
class WaveOutSink : public PcmSink {
public:
    static constexpr int kFramesPerBuffer = 32;
    static constexpr int kSlots = 3;

    // Opens the device (`device_number` as OutputDevID: 0 the preferred one,
    // n the n-th). On failure IsOpen() is false and the sink plays nothing.
    // `channels` is the stream's, which its first frame fixed; `header`
    // gives the rate and the frame length. `played`, when given, learns
    // where each frame ends in what the device plays.
    WaveOutSink(const FrameHeader& header, int channels, DeviceHandle& device, int device_number,
                std::uint16_t volume, PlayedFrames* played = nullptr);
    // Drains the queued audio, or after Stop lets the device end where the
    // control's stop told it to (discarding the rest at once when it was not
    // told), then closes the device; blocks until the last buffer has played.
    ~WaveOutSink() override;
    // Why the device did not open, when it did not.
    const std::string& OpenError() const { return open_error_; }
    WaveOutSink(const WaveOutSink&) = delete;
    WaveOutSink& operator=(const WaveOutSink&) = delete;

    bool IsOpen() const { return open_; }
    std::uint32_t BufferBytes() const { return buffer_bytes_; }

    void Append(std::uint32_t channel, std::int16_t sample) override;
    void AppendBlock(std::uint32_t channel, const std::int16_t* samples,
                     std::size_t count) override;
    void EndFrame() override;
    void Clear() override;
    void Stop() override;

    // Device returns not yet taken by a wait; what the semaphore counts.
    int UntakenCompletions() const { return completions_ - waits_; }

private:
    void FadeIn(std::uint32_t channel, std::int16_t* samples, std::size_t count) const;
    void HandOver(int slot);
    void Rotate();
    void WaitForCompletion();

    Interleaver interleaver_;
    WaveFormat format_;
    std::array<WaveHeader, kSlots> storage_;
    std::array<std::vector<std::uint8_t>, kSlots> data_;
    std::array<WaveHeader*, kSlots> headers_{};
    DeviceHandle& device_;
    int frame_count_ = 0;
    // Buffers filled since the device started or was last cleared.
    std::uint64_t filled_ = 0;
    int started_ = 0;
    std::uint32_t buffer_bytes_;
    PlayedFrames* played_ = nullptr;
    // Sample frames of a fade-in after Clear: a seek's target and a resume
    // start from silence, not with a step.
    std::uint32_t fade_frames_;
    bool fading_in_ = false;
    bool stopping_ = false;
    bool open_ = false;
    std::string open_error_;
    // Buffers written whose return no wait has taken yet.
    int owed_ = 0;
    std::counting_semaphore<1024> done_semaphore_{0};
    std::atomic<int> completions_{0};
    std::atomic<int> waits_{0};
};

} // namespace audiocore

namespace audiocore {

// The device sink of a Play run, made from the job's header, device, device
// number and volume; null when the device cannot be opened.
// Its frames are counted in the job's PlayedFrames, from the run's first
// audible frame.
std::unique_ptr<PcmSink> CreateDeviceSink(DecodeJob& job, std::string* error = nullptr);

} // namespace audiocore
