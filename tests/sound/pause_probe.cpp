// Plays a song through the engine as the player does, pausing twice on the
// way (Stop, then Play from where it stopped), and logs what a status
// display would show: every 40 ms the position the engine answers, beside
// how much of the sink's monitor the recorder has received by then.
//
// usage: pause_probe SONG RECORDING LOG
// LOG lines: "<ms since start> <GetPosition frame> <recording bytes>".

#include "ControlEngine.h"

#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

using namespace audiocore;
using Clock = std::chrono::steady_clock;

namespace {

long long FileBytes(const char* path) {
    struct stat info {};
    return stat(path, &info) == 0 ? static_cast<long long>(info.st_size) : 0;
}

struct Pause {
    int at_ms;
    int for_ms;
};
constexpr Pause kPauses[] = {{7000, 1500}, {15000, 1500}};

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: pause_probe SONG RECORDING LOG\n");
        return 2;
    }
    std::atomic<ControlEngine::RunNumber> ended_run{0};
    ControlEngine engine([&](ControlEngine::RunNumber run, int) { ended_run.store(run); });
    if (engine.OpenSourceFile(argv[1]) != OpenResult::Opened) {
        std::fprintf(stderr, "pause_probe: cannot open %s\n", argv[1]);
        return 1;
    }
    std::FILE* log = std::fopen(argv[3], "w");
    if (!log || engine.Play() != 0) {
        std::fprintf(stderr, "pause_probe: cannot start\n");
        return 1;
    }
    const Clock::time_point start = Clock::now();
    auto played_ms = [&] {
        return static_cast<int>(
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
    };
    std::size_t next_pause = 0;
    for (;;) {
        if (ControlEngine::RunNumber run = ended_run.exchange(0); run != 0) {
            if (engine.CompleteRun(run) && !engine.IsPlaying() && !engine.LastRunFailed())
                break;
            if (engine.LastRunFailed()) {
                std::fprintf(stderr, "pause_probe: %s\n", engine.LastRunFailure().c_str());
                return 1;
            }
            continue;
        }
        if (next_pause < std::size(kPauses) && played_ms() >= kPauses[next_pause].at_ms) {
            engine.Stop();
            std::fprintf(log, "# paused at %d\n", engine.GetPosition());
            std::this_thread::sleep_for(std::chrono::milliseconds(kPauses[next_pause].for_ms));
            ended_run.store(0);
            if (engine.Play() != 0) {
                std::fprintf(stderr, "pause_probe: cannot resume\n");
                return 1;
            }
            ++next_pause;
            continue;
        }
        std::fprintf(log, "%d %d %lld\n", played_ms(), engine.GetPosition(), FileBytes(argv[2]));
        std::this_thread::sleep_for(std::chrono::milliseconds(40));
    }
    std::fclose(log);
    return 0;
}
