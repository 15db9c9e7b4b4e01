#include "Commands.h"

#include "DecodeJob.h"
#include "ProgressBar.h"
#include "WriteWav.h"

#include <cstdio>
#include <optional>
#include <unistd.h>

using namespace audiocore;

namespace {

// How far the stream has been read, by bytes, which stays true for files
// whose frames vary in size.
double ReadFraction(const MpegFileStream& stream) {
    const double start = static_cast<double>(stream.FirstFrameOffset());
    const double size = static_cast<double>(stream.FileSize()) - start;
    if (size <= 0)
        return 1.0;
    return (static_cast<double>(stream.Position()) - start) / size;
}

} // namespace

int RunConvert(const std::vector<std::string>& args) {
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: audiocore convert IN OUT.wav\n");
        return 2;
    }
    const std::string& in = args[0];
    const std::string& out = args[1];
    DecodeJob job;
    std::string reason;
    if (OpenSource(job, in, &reason) != OpenResult::Opened) {
        ReportFailure(in, reason);
        return 1;
    }

    std::optional<ProgressBar> bar;
    if (isatty(STDERR_FILENO))
        bar.emplace(stderr);
    RunProgress progress;
    if (bar)
        progress = [&] { bar->Show(ReadFraction(*job.stream)); };

    if (WriteWav(job, out, progress, &reason) != 0) {
        if (bar)
            bar->Abandon();
        ReportFailure(out, reason);
        return 1;
    }
    if (bar)
        bar->Finish();
    return 0;
}
