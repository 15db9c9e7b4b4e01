#include "Commands.h"

#include "DecodeJob.h"
#include "ProgressBar.h"
#include "WriteWav.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <unistd.h>

using namespace audiocore;

namespace {

// The run being converted, for the interrupt handler: Ctrl-C asks it to stop
// between frames, like the control's Stop, instead of killing the process
// with a half-written file.
std::atomic<bool>* stop_on_interrupt = nullptr;

extern "C" void RequestStop(int) {
    if (stop_on_interrupt)
        stop_on_interrupt->store(true);
}

class InterruptStops {
public:
    explicit InterruptStops(DecodeJob& job) {
        stop_on_interrupt = &job.stop_requested;
        old_int_ = std::signal(SIGINT, RequestStop);
        old_term_ = std::signal(SIGTERM, RequestStop);
    }
    ~InterruptStops() {
        std::signal(SIGINT, old_int_);
        std::signal(SIGTERM, old_term_);
        stop_on_interrupt = nullptr;
    }
    InterruptStops(const InterruptStops&) = delete;
    InterruptStops& operator=(const InterruptStops&) = delete;

private:
    void (*old_int_)(int);
    void (*old_term_)(int);
};

} // namespace

int RunConvert(const std::vector<std::string>& args) {
    std::vector<std::string> files;
    int threads = 0;
    bool gapless = true;
    bool valid = true;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--threads" && i + 1 < args.size())
            valid = valid && ParseNumber(args[++i], 1, 4, threads);
        else if (args[i] == "--no-gapless")
            gapless = false;
        else
            files.push_back(args[i]);
    }
    if (!valid || files.size() != 2) {
        std::fprintf(stderr, "usage: audiocore convert IN OUT.wav [--threads N] [--no-gapless]\n");
        return 2;
    }
    const std::string& in = files[0];
    const std::string& out = files[1];
    DecodeJob job;
    job.split.threads = threads;
    std::string reason;
    job.decoder.SetGapless(gapless);
    if (job.decoder.Open(in, &reason) != OpenResult::Opened) {
        ReportFailure(in, reason);
        return 1;
    }

    std::optional<ProgressBar> bar;
    if (isatty(STDERR_FILENO))
        bar.emplace(stderr);
    RunProgress progress;
    if (bar)
        progress = [&] { bar->Show(job.decoder.ReadFraction()); };

    InterruptStops interrupt(job);
    if (WriteWav(job, out, progress, &reason) != 0) {
        if (bar)
            bar->Abandon();
        ReportFailure(out, reason);
        return 1;
    }
    if (job.stop_requested.load()) {
        // An interrupted conversion is no conversion: drop what was written.
        if (bar)
            bar->Abandon();
        std::error_code ignored;
        if (std::filesystem::is_regular_file(std::filesystem::symlink_status(out, ignored)))
            std::filesystem::remove(out, ignored);
        ReportFailure(out, "interrupted");
        return 130;
    }
    if (bar)
        bar->Finish();
    return 0;
}
