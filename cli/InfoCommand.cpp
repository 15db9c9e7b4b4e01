#include "Commands.h"

#include "DecodeJob.h"
#include "StreamInfo.h"

#include <cstdio>

using namespace audiocore;

int RunInfo(const std::vector<std::string>& args) {
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: audiocore info FILE\n");
        return 2;
    }
    const std::string& path = args[0];
    DecodeJob job;
    std::string reason;
    if (OpenSource(job, path, &reason) != OpenResult::Opened) {
        ReportFailure(path, reason);
        return 1;
    }
    const FrameHeader& header = *job.header;
    const MpegFileStream& stream = *job.stream;
    std::printf("format: %s\n", StreamInfoLine(header).c_str());
    const int frames = AudioFrameCount(job);
    std::printf("frames: %d\n", frames);
    std::printf("length_ms: %lld\n", static_cast<long long>(header.LengthMs(frames)));
    std::printf("copyright: %s\n", header.copy_flags[0] ? "yes" : "no");
    std::printf("first_frame_offset: %llu\n",
                static_cast<unsigned long long>(stream.FirstFrameOffset()));
    return 0;
}
