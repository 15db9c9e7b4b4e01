#include "Commands.h"

#include "DecodeJob.h"
#include "ProgressBar.h"
#include "ReplayGainTags.h"
#include "WriteWav.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <iterator>
#include <optional>
#include <unistd.h>

using namespace audiocore;

namespace {

// The run being converted, for the signal handler: Ctrl-C, a kill or the
// terminal closing ask it to stop between frames, like the control's Stop,
// so that the output is dropped and the target stays as it was.
std::atomic<bool>* stop_on_signal = nullptr;
volatile std::sig_atomic_t stopping_signal = 0;

constexpr int kStopSignals[] = {SIGHUP, SIGINT, SIGTERM};

extern "C" void RequestStop(int signal) {
    stopping_signal = signal;
    if (stop_on_signal)
        stop_on_signal->store(true);
}

class SignalsStop {
public:
    explicit SignalsStop(DecodeJob& job) {
        stop_on_signal = &job.stop_requested;
        struct sigaction action {};
        action.sa_handler = RequestStop;
        sigemptyset(&action.sa_mask);
        // A signal the caller ignores stays ignored: under nohup the
        // conversion outlives the terminal, and a script's background job
        // is not stopped by a Ctrl-C meant for the script.
        for (std::size_t i = 0; i < std::size(kStopSignals); ++i) {
            sigaction(kStopSignals[i], nullptr, &old_[i]);
            if (old_[i].sa_handler != SIG_IGN)
                sigaction(kStopSignals[i], &action, nullptr);
        }
        // Past a file size limit a write then fails like one on a full disk,
        // and the temporary file is removed, instead of the signal killing
        // the process with it left behind.
        old_file_size_ = std::signal(SIGXFSZ, SIG_IGN);
    }
    ~SignalsStop() {
        for (std::size_t i = 0; i < std::size(kStopSignals); ++i)
            sigaction(kStopSignals[i], &old_[i], nullptr);
        std::signal(SIGXFSZ, old_file_size_);
        stop_on_signal = nullptr;
    }
    SignalsStop(const SignalsStop&) = delete;
    SignalsStop& operator=(const SignalsStop&) = delete;

    static bool Arrived() { return stopping_signal != 0; }
    // The shell's status for a command the signal ended: 128 + its number.
    static int ExitStatus() { return 128 + stopping_signal; }

private:
    struct sigaction old_[std::size(kStopSignals)]{};
    void (*old_file_size_)(int) = SIG_DFL;
};

} // namespace

int RunConvert(const std::vector<std::string>& args) {
    std::vector<std::string> files;
    int threads = 0;
    bool gapless = true;
    bool valid = true;
    GainOptions gain;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (TakeGainOption(args, i, gain, valid))
            continue;
        if (args[i] == "--threads" && i + 1 < args.size())
            valid = valid && ParseNumber(args[++i], 1, 4, threads);
        else if (args[i] == "--no-gapless")
            gapless = false;
        else
            files.push_back(args[i]);
    }
    if (!valid || files.size() != 2) {
        std::fprintf(stderr, "usage: audiocore convert IN OUT.wav [--threads N] [--no-gapless]\n"
                             "                         [--replaygain off|track|album|auto] "
                             "[--preamp DB]\n");
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
    // Asked for, the samples written carry the song's gain, with the same
    // clipping prevention as playing.
    if (gain.mode != ReplayGainMode::Off)
        job.gain =
            GainScale(ReadLoudnessFacts(in, job.decoder.Encoder()), gain.mode, gain.preamp_db);

    std::optional<ProgressBar> bar;
    if (isatty(STDERR_FILENO))
        bar.emplace(stderr);
    SignalsStop signals(job);
    // WriteWav clears the stop request as it starts; a signal that came
    // before is asked again after the first frame.
    const RunProgress progress = [&] {
        if (SignalsStop::Arrived())
            job.stop_requested.store(true);
        if (bar)
            bar->Show(job.decoder.ReadFraction());
    };
    if (WriteWav(job, out, progress, &reason) != 0) {
        if (bar)
            bar->Abandon();
        ReportFailure(out, reason);
        return 1;
    }
    if (SignalsStop::Arrived()) {
        // Stopped, the run dropped its output: the target is as it was.
        if (bar)
            bar->Abandon();
        ReportFailure(out, "interrupted");
        return SignalsStop::ExitStatus();
    }
    if (bar)
        bar->Finish();
    return 0;
}
