#include "Commands.h"

#include "ControlEngine.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <mutex>
#include <optional>
#include <poll.h>
#include <unistd.h>

using namespace audiocore;

namespace {

struct PlayOptions {
    std::vector<std::string> files;
    int device = 0;
    int volume = ControlEngine::kDefaultVolume;
    std::optional<int> start;
    GainOptions gain;
};

bool ParseOptions(const std::vector<std::string>& args, PlayOptions& options) {
    bool valid = true;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool has_value = i + 1 < args.size();
        if (TakeGainOption(args, i, options.gain, valid)) {
            if (!valid)
                return false;
        } else if (arg == "--device" && has_value) {
            if (!ParseNumber(args[++i], 0, 1 << 30, options.device))
                return false;
        } else if (arg == "--volume" && has_value) {
            if (!ParseNumber(args[++i], 0, 65535, options.volume))
                return false;
        } else if (arg == "--start" && has_value) {
            int frame = 0;
            if (!ParseNumber(args[++i], 0, 1 << 30, frame))
                return false;
            options.start = frame;
        } else if (!arg.empty() && arg[0] != '-') {
            options.files.push_back(arg);
        } else {
            return false;
        }
    }
    return !options.files.empty();
}

// The main thread sleeps in poll() on this pipe: the end of a run and Ctrl-C
// both wake it by writing a byte, so nothing polls while the music plays.
int wake_pipe[2] = {-1, -1};
std::atomic<bool> interrupted{false};

void Wake() {
    const char byte = 0;
    [[maybe_unused]] ssize_t ignored = write(wake_pipe[1], &byte, 1);
}

extern "C" void OnInterrupt(int) {
    interrupted.store(true);
    Wake();
}

std::string Clock(int ms) {
    const int seconds = ms / 1000;
    char text[32];
    std::snprintf(text, sizeof text, "%d:%02d", seconds / 60, seconds % 60);
    return text;
}

// Elapsed and total time, redrawn in place; elapsed follows the frame read
// last, as the player's own time display does.
void ShowTime(const ControlEngine& engine) {
    const int frames = engine.GetFrameCount();
    const int total = engine.GetLength();
    const int elapsed =
        frames > 0 ? static_cast<int>(static_cast<long long>(engine.GetPosition()) * total / frames)
                   : 0;
    std::printf("\r%s / %s ", Clock(elapsed).c_str(), Clock(total).c_str());
    std::fflush(stdout);
}

// The songs after the one that plays, each queued in turn to follow it
// without a gap. A song that cannot be opened is named and skipped.
class SongQueue {
public:
    SongQueue(ControlEngine& engine, const std::vector<std::string>& files, std::size_t next)
        : engine_(engine), files_(files), next_(next) {}

    bool Empty() const { return next_ >= files_.size() && engine_.NextSourceFile().empty(); }
    // Queues the next song that opens, if none is queued.
    void Fill() {
        while (engine_.NextSourceFile().empty() && next_ < files_.size()) {
            std::string reason;
            const std::string& file = files_[next_++];
            if (engine_.SetNextSourceFile(file, &reason) != OpenResult::Opened)
                ReportFailure(file, reason);
        }
    }

private:
    ControlEngine& engine_;
    const std::vector<std::string>& files_;
    std::size_t next_;
};

// Opens the first song of `files` that opens; the index
// after it, or files.size() when none opened.
std::size_t OpenFirst(ControlEngine& engine, const std::vector<std::string>& files) {
    for (std::size_t i = 0; i < files.size(); ++i) {
        std::string reason;
        if (engine.OpenSourceFile(files[i], &reason) == OpenResult::Opened)
            return i + 1;
        ReportFailure(files[i], reason);
    }
    return files.size() + 1;
}

} // namespace

int RunPlay(const std::vector<std::string>& args) {
    PlayOptions options;
    if (!ParseOptions(args, options)) {
        std::fprintf(stderr,
                     "usage: audiocore play FILE... [--device N] [--volume V] [--start FRAME]\n"
                     "                      [--replaygain off|track|album|auto] [--preamp DB]\n");
        return 2;
    }
    if (pipe2(wake_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        ReportFailure(options.files[0], "cannot create a pipe");
        return 1;
    }
    std::mutex mutex;
    std::optional<std::pair<ControlEngine::RunNumber, int>> notice;
    ControlEngine engine([&](ControlEngine::RunNumber run, int how) {
        {
            std::lock_guard lock(mutex);
            notice = {run, how};
        }
        Wake();
    });
    engine.SetOutputDevID(options.device);
    engine.SetVolume(options.volume);
    engine.SetReplayGain(options.gain.mode);
    engine.SetReplayGainPreamp(options.gain.preamp_db);
    const std::size_t after_first = OpenFirst(engine, options.files);
    if (after_first > options.files.size())
        return 1;
    if (options.start) {
        engine.SetPosition(*options.start);
        // The run ends at once, as at the end of the stream; say why.
        if (const int frames = engine.GetFrameCount(); *options.start >= frames)
            std::printf("%s: frame %d is past the end of the stream (%d frames)\n",
                        engine.SourceFile().c_str(), *options.start, frames);
    }
    SongQueue queue(engine, options.files, after_first);
    queue.Fill();

    auto old_int = std::signal(SIGINT, OnInterrupt);
    auto old_term = std::signal(SIGTERM, OnInterrupt);
    const bool terminal = isatty(STDOUT_FILENO) != 0;
    engine.Play();
    int how = 0;
    for (;;) {
        pollfd wake{wake_pipe[0], POLLIN, 0};
        if (terminal)
            ShowTime(engine);
        // On a terminal the time display wants a redraw twice a second;
        // with songs to follow, the next one is queued as soon as the run
        // has gone on into the one queued before.
        const int timeout = !queue.Empty() ? 20 : terminal ? 500 : -1;
        if (poll(&wake, 1, timeout) < 0 && errno != EINTR)
            break;
        engine.PollAdvance();
        queue.Fill();
        char drained[64];
        while (read(wake_pipe[0], drained, sizeof drained) > 0) {
        }
        if (interrupted.exchange(false))
            engine.Stop();
        std::optional<std::pair<ControlEngine::RunNumber, int>> arrived;
        {
            std::lock_guard lock(mutex);
            arrived.swap(notice);
        }
        if (arrived && engine.CompleteRun(arrived->first)) {
            how = arrived->second;
            break;
        }
    }
    if (terminal) {
        ShowTime(engine);
        std::printf("\n");
    }
    std::signal(SIGINT, old_int);
    std::signal(SIGTERM, old_term);
    close(wake_pipe[0]);
    close(wake_pipe[1]);
    if (engine.LastRunFailed()) {
        ReportFailure(engine.SourceFile(), engine.LastRunFailure());
        return 1;
    }
    return how == 1 ? 130 : 0;
}
