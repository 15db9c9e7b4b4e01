#include "WavFileSink.h"

#include "WaveOutDevice.h"

#include <algorithm>
#include <cstdio>

namespace audiocore {

namespace {

constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kBitsPerSample = 16;
constexpr std::uint32_t kFormatRecordBytes = 18;

void Put16(std::uint8_t* at, std::uint16_t value) {
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}

void Put32(std::uint8_t* at, std::uint32_t value) {
    Put16(at, static_cast<std::uint16_t>(value));
    Put16(at + 2, static_cast<std::uint16_t>(value >> 16));
}

} // namespace

std::unique_ptr<WavFileSink> WavFileSink::Create(int channels, int rate, int frame_samples,
                                                 const std::string& path, int* error,
                                                 std::uint32_t gain) {
    std::unique_ptr<WavFileSink> sink(new WavFileSink(channels, frame_samples, path, gain));
    if (!sink->riff_.Open(path)) {
        // Nothing was created, and an existing file we may not write stays as it is.
        sink->Report("could not open file : " + path);
        sink->closed_ = true;
        if (error)
            *error = sink->riff_.Error();
        return nullptr;
    }
    if (!sink->WriteHeader(rate)) {
        sink->Report("could not write file : " + path);
        if (error)
            *error = sink->riff_.Error();
        sink->Close();
        return nullptr;
    }
    return sink;
}

WavFileSink::WavFileSink(int channels, int frame_samples, std::string path, std::uint32_t gain)
    : frame_bytes_(static_cast<std::uint32_t>(frame_samples) *
                   PcmFrame::StepFor(static_cast<std::uint32_t>(channels))),
      frame_(static_cast<std::uint32_t>(channels), frame_bytes_), path_(std::move(path)),
      gain_(gain) {}

WavFileSink::~WavFileSink() {
    if (!closed_)
        Close();
}

bool WavFileSink::WriteHeader(int sample_rate) {
    const auto rate = static_cast<std::uint32_t>(sample_rate);
    const auto block_align = static_cast<std::uint16_t>(frame_.Step());
    std::uint8_t format[kFormatRecordBytes];
    Put16(format + 0, kFormatPcm);
    Put16(format + 2, static_cast<std::uint16_t>(frame_.Channels()));
    Put32(format + 4, rate);
    Put32(format + 8, rate * block_align);
    Put16(format + 12, block_align);
    Put16(format + 14, kBitsPerSample);
    Put16(format + 16, 0); // no extra format bytes

    if (!riff_.CreateRiff("WAVE", riff_chunk_))
        return false;
    if (!riff_.CreateChunk("fmt ", subchunk_) || !riff_.Write(format, sizeof format) ||
        !riff_.Ascend(subchunk_))
        return false;
    return riff_.CreateChunk("data", subchunk_);
}

// A frame longer than the first one (a stream that changes layer) must not
// write past the buffer; its excess samples are dropped.
void WavFileSink::Append(std::uint32_t channel, std::int16_t sample) {
    AppendBlock(channel, &sample, 1);
}

void WavFileSink::AppendBlock(std::uint32_t channel, const std::int16_t* samples,
                              std::size_t count) {
    frame_.Store(channel, samples, count);
}

void WavFileSink::EndFrame() {
    StoreFrames(frame_.Bytes(), frame_.ByteCount());
    frame_.Next();
}

void WavFileSink::StoreFrames(const std::uint8_t* data, std::size_t bytes) {
    if (gain_ != kUnityGain) {
        // The same scaling the device applies, at full volume.
        scaled_.assign(data, data + bytes);
        ApplyVolumeToPcm(scaled_.data(), bytes, static_cast<int>(frame_.Channels()), 0xFFFFFFFF,
                         gain_);
        data = scaled_.data();
    }
    if (!failed_ && !riff_.Write(data, bytes))
        Report("mmioAdvance() failed!");
}

bool WavFileSink::Close() {
    if (closed_)
        return !failed_;
    closed_ = true;
    if (!failed_ && !stopped_ && (!riff_.Ascend(subchunk_) || !riff_.Ascend(riff_chunk_)))
        Report("mmioAscend() failed!");
    if (failed_ || stopped_)
        riff_.Abandon();
    else if (!riff_.Close())
        Report("mmioClose() failed!");
    frame_.Release();
    return !failed_;
}

void WavFileSink::Report(const std::string& line) {
    failed_ = true;
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
}

} // namespace audiocore
