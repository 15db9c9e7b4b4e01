#include "DecodeJob.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace audiocore {

OpenResult OpenSource(DecodeJob& job, const std::string& path, std::string* reason) {
    job.header.reset();
    job.source_path = path;
    job.stream = std::make_unique<MpegFileStream>();
    if (!job.stream->Open(path)) {
        if (reason)
            *reason = std::strerror(job.stream->OpenError());
        job.stream.reset();
        return OpenResult::CannotOpen;
    }
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
    job.index.Prepare(path, job.stream->FirstFrameOffset(), job.header->word);
    return OpenResult::Opened;
}

int AudioFrameCount(const DecodeJob& job) {
    if (!job.header)
        return 0;
    if (job.encoder.frames >= 0)
        return static_cast<int>(std::min<std::int64_t>(job.encoder.frames, INT_MAX));
    return job.index.Count();
}

} // namespace audiocore
