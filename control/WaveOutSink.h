#pragma once

#include "DeviceHandle.h"
#include "PcmFrame.h"
#include "PcmSink.h"
#include "WaveOutDevice.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <semaphore>
#include <vector>

namespace audiocore {

class MpegDecoder;
class PlayedFrames;
struct DecodeJob;

// Plays decoded PCM on the output device through a ring of three buffers of
// 32 frames each. Frames are copied in as they end and may be of any
// length (a song's first and last frames are cut to the song), so a buffer
// is handed over when its bytes are full, and the songs of a play list
// follow one another in it without a gap. Slot 2 is always the buffer being filled; slot 0 holds
// the buffer handed over last and slot 1 the one before. The device starts when two buffers are
// full and from then on always has two queued while the third fills. Every buffer the device
// returns releases one count of a semaphore, and the decoder waits on it before refilling a buffer
// still at the device, so the decoder runs at most one buffer ahead and never spins.
class WaveOutSink : public PcmSink {
public:
    static constexpr int kFramesPerBuffer = 32;
    static constexpr int kSlots = 3;

    // Opens the device (`device_number` as OutputDevID: 0 the preferred one,
    // n the n-th). On failure IsOpen() is false and the sink plays nothing.
    // `channels`, `rate` and `frame_samples` (samples per channel of the
    // longest frame) are the stream's, which its first frame fixes.
    // `played`, when given, learns where each frame ends in what the device
    // plays.
    // `gain` is the song's ReplayGain scale (16.16 fixed point).
    WaveOutSink(int channels, int rate, int frame_samples, DeviceHandle& device, int device_number,
                std::uint16_t volume, PlayedFrames* played = nullptr,
                std::uint32_t gain = kUnityGain);
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

    // Whether a song of this format can follow on the open device.
    bool Takes(int channels, int rate, int frame_samples) const;
    // The bytes handed in since the device started or was last cleared:
    // where the next frame will begin in what the device plays.
    std::uint64_t QueuedBytes() const { return filled_ * buffer_bytes_ + fill_; }
    // From now on frame ends are told to `played`: the next song's.
    void SetPlayed(PlayedFrames* played) { played_ = played; }
    // The next song's gain: its first sample, the next one handed in, and
    // every one after it play with `gain`. The mark travels with the buffer,
    // so the device changes the gain at that very byte.
    void SetGain(std::uint32_t gain);

    void Append(std::uint32_t channel, std::int16_t sample) override;
    void AppendBlock(std::uint32_t channel, const std::int16_t* samples,
                     std::size_t count) override;
    void EndFrame() override;
    void Clear() override;
    void Stop() override;

    // Device returns not yet taken by a wait; what the semaphore counts.
    int UntakenCompletions() const { return completions_ - waits_; }

private:
    void Put(const std::uint8_t* bytes, std::size_t count);
    void FadeIn(std::uint8_t* pcm, std::size_t bytes, std::uint64_t first_byte) const;
    void BufferFull();
    void HandOver(int slot);
    void Rotate();
    void WaitForCompletion();

    PcmFrame frame_;
    WaveFormat format_;
    std::array<WaveHeader, kSlots> storage_;
    std::array<std::vector<std::uint8_t>, kSlots> data_;
    std::array<WaveHeader*, kSlots> headers_{};
    DeviceHandle& device_;
    // Bytes of the fill buffer (slot 2) filled so far.
    std::uint32_t fill_ = 0;
    // Buffers filled since the device started or was last cleared.
    std::uint64_t filled_ = 0;
    int started_ = 0;
    std::uint32_t buffer_bytes_;
    PlayedFrames* played_ = nullptr;
    // The gain of the song being handed in.
    std::uint32_t gain_;
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
std::unique_ptr<WaveOutSink> CreateDeviceSink(DecodeJob& job, std::string* error = nullptr);

} // namespace audiocore
