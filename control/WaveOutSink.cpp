#include "WaveOutSink.h"

#include "DecodeJob.h"
#include "Fade.h"
#include "PlayedFrames.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

namespace audiocore {

namespace {

// A wait that times out is not an error: the sink goes on as if the buffer
// had come back, so a stalled device cannot hang the decoder for good.
constexpr auto kCompletionTimeout = std::chrono::milliseconds(10000);
constexpr auto kClosePollInterval = std::chrono::milliseconds(10);

} // namespace

WaveOutSink::WaveOutSink(int channels, int rate, int frame_samples, DeviceHandle& device,
                         int device_number, std::uint16_t volume, PlayedFrames* played,
                         std::uint32_t gain)
    : frame_(static_cast<std::uint32_t>(channels),
             static_cast<std::uint32_t>(frame_samples) *
                 PcmFrame::StepFor(static_cast<std::uint32_t>(channels))),
      format_(MakePcmFormat(static_cast<int>(frame_.Channels()), rate)), device_(device),
      buffer_bytes_(static_cast<std::uint32_t>(kFramesPerBuffer * frame_samples) * frame_.Step()),
      played_(played), gain_(gain), fade_frames_(FadeFrames(format_.samples_per_sec)) {
    auto on_done = [this] {
        ++completions_;
        done_semaphore_.release();
    };
    if (!device_.Open(device_number - 1, format_, on_done, &open_error_)) {
        std::fputs("\n", stderr);
        std::fflush(stderr);
        std::fputs("Could not open wave device.\n", stderr);
        std::fflush(stderr);
        return;
    }
    open_ = true;
    device_.SetVolume(DeviceVolume(volume));
    for (int slot = 0; slot < kSlots; ++slot) {
        data_[slot].assign(buffer_bytes_, 0);
        WaveHeader& h = storage_[slot];
        h.data = data_[slot].data();
        h.buffer_length = buffer_bytes_;
        headers_[slot] = &h;
    }
}

WaveOutSink::~WaveOutSink() {
    if (!open_)
        return;
    if (stopping_) {
        if (!device_.Ending())
            device_.Reset();
    } else {
        if (started_ == 1)
            HandOver(0);
        if (fill_ != 0) {
            // The last, partial buffer ends in silence.
            std::fill(headers_[2]->data + fill_, headers_[2]->data + buffer_bytes_, 0);
            HandOver(2);
            Rotate();
        }
        while (owed_ > 0)
            WaitForCompletion();
    }
    while (device_.Close() == CloseResult::StillPlaying)
        std::this_thread::sleep_for(kClosePollInterval);
    if (played_)
        played_->End();
}

bool WaveOutSink::Takes(int channels, int rate, int frame_samples) const {
    return open_ && static_cast<std::uint32_t>(channels == 1 ? 1 : 2) == frame_.Channels() &&
           static_cast<std::uint32_t>(rate) == format_.samples_per_sec &&
           static_cast<std::uint32_t>(frame_samples) * frame_.Step() * kFramesPerBuffer <=
               buffer_bytes_;
}

void WaveOutSink::SetGain(std::uint32_t gain) {
    gain_ = gain;
    if (!open_ || fill_ == 0)
        return; // the buffer takes it when its filling starts
    std::vector<GainMark>& marks = headers_[2]->gains;
    if (!marks.empty() && marks.back().offset == fill_)
        marks.back().gain = gain;
    else
        marks.push_back({fill_, gain});
}

void WaveOutSink::Append(std::uint32_t channel, std::int16_t sample) {
    AppendBlock(channel, &sample, 1);
}

void WaveOutSink::AppendBlock(std::uint32_t channel, const std::int16_t* samples,
                              std::size_t count) {
    if (open_)
        frame_.Store(channel, samples, count);
}

// The first buffer after a seek or a resume rises from silence.
void WaveOutSink::FadeIn(std::uint8_t* pcm, std::size_t bytes, std::uint64_t first_byte) const {
    const std::uint32_t step = frame_.Step();
    for (std::size_t at = 0; at + 1 < bytes; at += 2) {
        const auto frame = static_cast<std::int64_t>((first_byte + at) / step);
        const auto sample = static_cast<std::int16_t>(pcm[at] | (pcm[at + 1] << 8));
        const auto faded = static_cast<std::uint16_t>(RampSample(sample, frame, fade_frames_));
        pcm[at] = static_cast<std::uint8_t>(faded);
        pcm[at + 1] = static_cast<std::uint8_t>(faded >> 8);
    }
}

// Copies PCM into the fill buffer, handing each buffer over as it fills.
void WaveOutSink::Put(const std::uint8_t* bytes, std::size_t count) {
    while (count > 0) {
        // A buffer starts with the gain of the song it starts in; the device
        // has returned it before it is filled again.
        if (fill_ == 0)
            headers_[2]->gains.assign(1, GainMark{0, gain_});
        const std::size_t n = std::min<std::size_t>(count, buffer_bytes_ - fill_);
        std::uint8_t* at = headers_[2]->data + fill_;
        std::memcpy(at, bytes, n);
        if (fading_in_)
            FadeIn(at, n, QueuedBytes());
        fill_ += static_cast<std::uint32_t>(n);
        bytes += n;
        count -= n;
        if (fill_ == buffer_bytes_)
            BufferFull();
    }
}

void WaveOutSink::HandOver(int slot) {
    device_.Write(*headers_[slot]);
    headers_[slot]->user = 1;
    ++owed_;
}

void WaveOutSink::Rotate() {
    WaveHeader* old0 = headers_[0];
    headers_[0] = headers_[2];
    headers_[2] = headers_[1];
    headers_[1] = old0;
}

void WaveOutSink::WaitForCompletion() {
    // A timed-out wait counts as taken too: the sink goes on as if it came.
    if (done_semaphore_.try_acquire_for(kCompletionTimeout))
        ++waits_;
    --owed_;
}

void WaveOutSink::EndFrame() {
    if (!open_)
        return;
    Put(frame_.Bytes(), frame_.ByteCount());
    frame_.Next();
    if (played_)
        played_->FrameWritten(QueuedBytes());
}

void WaveOutSink::BufferFull() {
    fill_ = 0;
    ++filled_;
    fading_in_ = false; // a buffer is far longer than a fade
    if (started_ == 2) {
        HandOver(2);
        Rotate();
        // The buffer about to be refilled must have finished playing.
        if (headers_[2]->user)
            WaitForCompletion();
    } else if (started_ == 0) {
        started_ = 1; // the first full buffer is held back
        Rotate();
    } else {
        started_ = 2; // start the device with two buffers queued
        HandOver(0);
        Rotate();
        HandOver(0);
    }
}

void WaveOutSink::Clear() {
    if (!open_)
        return;
    device_.Reset();
    for (int slot = 0; slot < kSlots; ++slot) {
        WaveHeader* h = headers_[slot];
        // Slot 2's return was taken when it became the fill buffer.
        if (slot < 2 && h->user)
            WaitForCompletion();
        h->user = 0;
        std::fill(h->data, h->data + h->buffer_length, 0);
    }
    frame_.Next();
    fill_ = 0;
    filled_ = 0;
    started_ = 0;
    fading_in_ = true;
}

void WaveOutSink::Stop() {
    stopping_ = true;
}

std::unique_ptr<WaveOutSink> CreateDeviceSink(DecodeJob& job, std::string* error) {
    const MpegDecoder& decoder = job.decoder;
    auto sink = std::make_unique<WaveOutSink>(decoder.Channels(), decoder.SampleRateHz(),
                                              decoder.FrameSamples(), *job.device,
                                              job.device_number, job.volume, &job.played, job.gain);
    if (!sink->IsOpen()) {
        if (error)
            *error = sink->OpenError();
        return nullptr;
    }
    job.played.Begin(job.decoder.Position());
    return sink;
}

} // namespace audiocore
