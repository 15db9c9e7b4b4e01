#include "WaveOutSink.h"

#include "DecodeJob.h"
#include "Fade.h"
#include "FrameHeader.h"
#include "PlayedFrames.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

namespace audiocore {

namespace {

// A wait that times out is not an error: the sink goes on as if the buffer
// had come back, so a stalled device cannot hang the decoder for good.
constexpr auto kCompletionTimeout = std::chrono::milliseconds(10000);
constexpr auto kClosePollInterval = std::chrono::milliseconds(10);

} // namespace

WaveOutSink::WaveOutSink(const FrameHeader& header, int channels, DeviceHandle& device,
                         int device_number, std::uint16_t volume, PlayedFrames* played)
    : interleaver_(static_cast<std::uint32_t>(channels)),
      format_(MakePcmFormat(static_cast<int>(interleaver_.Channels()), header.SampleRateHz())),
      device_(device),
      buffer_bytes_(static_cast<std::uint32_t>(kFramesPerBuffer * header.SamplesPerFrame()) *
                    interleaver_.Step()),
      played_(played), fade_frames_(FadeFrames(format_.samples_per_sec)) {
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
        device_.Prepare(h);
    }
    interleaver_.Rewind();
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
        if (frame_count_ != 0) {
            // The last, partial buffer ends in silence.
            auto& fill = data_[static_cast<std::size_t>(headers_[2] - storage_.data())];
            std::fill(fill.begin() + std::min<std::size_t>(interleaver_.Cursor(0), fill.size()),
                      fill.end(), 0);
            HandOver(2);
            Rotate();
        }
        while (owed_ > 0)
            WaitForCompletion();
    }
    for (WaveHeader* h : headers_)
        device_.Unprepare(*h);
    while (device_.Close() == CloseResult::StillPlaying)
        std::this_thread::sleep_for(kClosePollInterval);
    if (played_)
        played_->End();
}

void WaveOutSink::Append(std::uint32_t channel, std::int16_t sample) {
    AppendBlock(channel, &sample, 1);
}

// The first buffer after a seek or a resume rises from silence.
void WaveOutSink::FadeIn(std::uint32_t channel, std::int16_t* samples, std::size_t count) const {
    const std::uint64_t first =
        (filled_ * buffer_bytes_ + interleaver_.Cursor(channel)) / interleaver_.Step();
    for (std::size_t i = 0; i < count; ++i)
        samples[i] = RampSample(samples[i], static_cast<std::int64_t>(first + i), fade_frames_);
}

// A frame longer than the buffer expects (a layer change mid-stream) loses
// its excess instead of writing past the buffer.
void WaveOutSink::AppendBlock(std::uint32_t channel, const std::int16_t* samples,
                              std::size_t count) {
    if (!open_)
        return;
    if (!fading_in_) {
        interleaver_.Store(channel, samples, count, headers_[2]->data, buffer_bytes_);
        return;
    }
    constexpr std::size_t kChunk = 64;
    for (std::size_t done = 0; done < count; done += kChunk) {
        std::int16_t faded[kChunk];
        const std::size_t n = std::min(kChunk, count - done);
        std::copy(samples + done, samples + done + n, faded);
        FadeIn(channel, faded, n);
        interleaver_.Store(channel, faded, n, headers_[2]->data, buffer_bytes_);
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
    if (played_)
        played_->FrameWritten(filled_ * buffer_bytes_ +
                              std::min(interleaver_.Cursor(0), buffer_bytes_));
    if (++frame_count_ % kFramesPerBuffer != 0)
        return;
    frame_count_ = 0;
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
    interleaver_.Rewind();
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
    interleaver_.Rewind();
    frame_count_ = 0;
    filled_ = 0;
    started_ = 0;
    fading_in_ = true;
}

void WaveOutSink::Stop() {
    stopping_ = true;
}

std::unique_ptr<PcmSink> CreateDeviceSink(DecodeJob& job, std::string* error) {
    auto sink = std::make_unique<WaveOutSink>(*job.header, job.output_channels, *job.device,
                                              job.device_number, job.volume, &job.played);
    if (!sink->IsOpen()) {
        if (error)
            *error = sink->OpenError();
        return nullptr;
    }
    job.played.Begin(job.audible_from.load());
    return sink;
}

} // namespace audiocore
