#include "DecodeJob.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <optional>

namespace audiocore {

namespace {

// Reads the first audio frame of the stream just opened, past an encoder's
// header frame, and prepares the index with a second reader from `open`.
OpenResult ReadFirstFrame(DecodeJob& job, FrameIndex::Opener open, std::string* reason) {
    job.header = std::make_unique<FrameHeader>();
    FrameCrc* crc = nullptr;
    bool found = job.header->ReadNext(*job.stream, crc);
    if (found && ReadEncoderHeader(*job.stream, *job.header, job.encoder)) {
        job.stream->ForgetFramesRead();
        found = job.header->ReadNext(*job.stream, crc);
    }
    if (!found) {
        if (reason)
            *reason = "no MPEG audio frame found";
        return OpenResult::NoFrame;
    }
    job.output_channels = job.header->Channels();
    job.index.Prepare(std::move(open), job.stream->FirstFrameOffset(), job.header->word);
    return OpenResult::Opened;
}

} // namespace

OpenResult OpenSource(DecodeJob& job, const std::string& path, std::string* reason) {
    job.header.reset();
    job.encoder = EncoderHeader{};
    job.source_path = path;
    job.stream = std::make_unique<MpegFileStream>();
    if (!job.stream->Open(path)) {
        if (reason) {
            const int error = job.stream->OpenError();
            *reason = error == ESPIPE ? "not a regular file" : std::strerror(error);
        }
        job.stream.reset();
        return OpenResult::CannotOpen;
    }
    return ReadFirstFrame(
        job, [path](MpegFileStream& reader) { return reader.Open(path); }, reason);
}

OpenResult OpenSourceBytes(DecodeJob& job, const std::uint8_t* data, std::size_t size) {
    job.header.reset();
    job.encoder = EncoderHeader{};
    job.source_path.clear();
    job.stream = std::make_unique<MpegFileStream>();
    job.stream->OpenMemory(data, size);
    return ReadFirstFrame(
        job,
        [data, size](MpegFileStream& reader) {
            reader.OpenMemory(data, size);
            return true;
        },
        nullptr);
}

int PositionFrame(const DecodeJob& job) {
    if (!job.stream)
        return 0;
    // A requested seek is where the run goes next (or the next Play starts),
    // even before the run has taken it.
    if (job.seek_requested.load())
        return job.seek_target.load();
    if (std::optional<int> heard = job.played.HeardFrame(job.device->PlayedBytes()))
        return *heard;
    return std::max(job.stream->CurrentFrame(), static_cast<int>(job.audible_from.load()));
}

void EndAtHeardFrame(DecodeJob& job) {
    const bool ending = job.device->EndAt([&job](std::uint64_t consumed) {
        const std::optional<PlayedFrames::Cut> cut = job.played.CutAfter(consumed);
        return cut ? cut->bytes : consumed;
    });
    if (!ending)
        job.device->Interrupt();
}

int AudioFrameCount(const DecodeJob& job) {
    if (!job.header)
        return 0;
    if (job.encoder.frames >= 0)
        return static_cast<int>(std::min<std::int64_t>(job.encoder.frames, INT_MAX));
    return job.index.Count();
}

} // namespace audiocore
