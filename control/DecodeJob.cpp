#include "DecodeJob.h"

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
    if (!job.header->ReadNext(*job.stream, crc)) {
        if (reason)
            *reason = "no MPEG audio frame found";
        return OpenResult::NoFrame;
    }
    return OpenResult::Opened;
}

} // namespace audiocore
