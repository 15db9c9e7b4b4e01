// The engine as a careless host drives it: opening files, playing, seeking,
// stopping, converting and asking for the position in a rapid random mix, on
// the null device at many times real time. Whatever the order, nothing may
// crash, hang or race (the ThreadSanitizer build runs this too), and every
// Stop returns within its one-second promise.

#include "ControlEngine.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

using audiocore::ControlEngine;
using testsupport::SharedPath;
using testsupport::TempDir;

namespace {

using Clock = std::chrono::steady_clock;

// Stands in for the host's event queue: the worker posts the end of a run,
// the host's loop delivers it to CompleteRun on its own thread.
class NoticeQueue {
public:
    void Post(ControlEngine::RunNumber run) {
        std::lock_guard lock(mutex_);
        runs_.push_back(run);
    }
    void Deliver(ControlEngine& engine) {
        std::deque<ControlEngine::RunNumber> runs;
        {
            std::lock_guard lock(mutex_);
            runs.swap(runs_);
        }
        for (const auto run : runs)
            engine.CompleteRun(run);
    }

private:
    std::mutex mutex_;
    std::deque<ControlEngine::RunNumber> runs_;
};

// Aborts the process when the host loop stops making progress, so that a
// deadlock names itself instead of waiting for the test runner's time-out.
class Watchdog {
public:
    explicit Watchdog(std::chrono::seconds limit) : limit_(limit), thread_([this] { Watch(); }) {}
    ~Watchdog() {
        done_.store(true);
        thread_.join();
    }
    void Beat() { last_beat_.store(Clock::now().time_since_epoch().count()); }

private:
    void Watch() {
        Beat();
        while (!done_.load()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            const Clock::time_point beat{Clock::duration(last_beat_.load())};
            if (Clock::now() - beat > limit_) {
                std::fprintf(stderr, "control_stress: no progress for %lld s: deadlock\n",
                             static_cast<long long>(limit_.count()));
                std::abort();
            }
        }
    }

    std::chrono::seconds limit_;
    std::atomic<bool> done_{false};
    std::atomic<Clock::rep> last_beat_{0};
    std::thread thread_;
};

enum class Action { Open, Play, Seek, Stop, Position, Facts, Convert, Volume, kCount };

struct Figures {
    int operations = 0;
    int plays_started = 0;
    int conversions = 0;
    Clock::duration longest_stop{};
};

} // namespace

TEST(ControlStress, AnyMixOfMembersNeitherRacesNorHangsAndStopAlwaysReturnsInTime) {
    // Fast enough that runs end by themselves too, so that completion
    // notices race with the host's own requests.
    setenv("AUDIOCORE_OUTPUT", "null", 1);
    setenv("AUDIOCORE_NULL_SPEED", "50", 1);

    TempDir dir;
    const std::string damaged = dir.File("damaged.mp3");
    {
        auto bytes = testsupport::ReadFile(SharedPath("vectors/l3-si.bit"));
        for (std::size_t i = 400; i < bytes.size(); i += 97)
            bytes[i] ^= 0x5A;
        testsupport::WriteFile(damaged, bytes);
    }
    const std::vector<std::string> sources = {
        SharedPath("vectors/l3-si.bit"),
        SharedPath("vectors/l2-fl10.bit"),
        SharedPath("vectors/l1-fl2.bit"),
        SharedPath("vectors/l3-he_mode.bit"),
        damaged,
        dir.File("missing.mp3"),
    };

    NoticeQueue notices;
    ControlEngine engine([&notices](ControlEngine::RunNumber run, int) { notices.Post(run); });
    std::mt19937 random(20261207);
    auto pick = [&random](int count) {
        return std::uniform_int_distribution<int>(0, count - 1)(random);
    };

    Figures figures;
    Watchdog watchdog(std::chrono::seconds(20));
    const char* seconds_text = std::getenv("SONGWELL_STRESS_SECONDS");
    const auto length = std::chrono::seconds(seconds_text ? std::atoi(seconds_text) : 20);
    const auto end = Clock::now() + length;
    while (Clock::now() < end) {
        watchdog.Beat();
        notices.Deliver(engine);
        switch (static_cast<Action>(pick(static_cast<int>(Action::kCount)))) {
        case Action::Open:
            engine.OpenSourceFile(sources[static_cast<std::size_t>(pick(int(sources.size())))]);
            break;
        case Action::Play:
            figures.plays_started += engine.Play() == 0;
            break;
        case Action::Seek:
            engine.SetPosition(pick(engine.GetFrameCount() + 20));
            break;
        case Action::Stop: {
            const auto start = Clock::now();
            engine.Stop();
            figures.longest_stop = std::max(figures.longest_stop, Clock::now() - start);
            break;
        }
        case Action::Position:
            EXPECT_GE(engine.GetPosition(), 0);
            break;
        case Action::Facts:
            EXPECT_GE(engine.GetLength(), 0);
            engine.GetInfo();
            engine.IsPlaying();
            break;
        case Action::Convert:
            figures.conversions += engine.WriteWAV(dir.File("out.wav")) == 0;
            break;
        case Action::Volume:
            engine.SetVolume(pick(65536));
            break;
        case Action::kCount:
            break;
        }
        ++figures.operations;
        // Mostly back to back, now and then long enough for audio to flow.
        if (pick(8) == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(pick(30)));
    }
    const auto stop_start = Clock::now();
    engine.Stop();
    figures.longest_stop = std::max(figures.longest_stop, Clock::now() - stop_start);

    const auto longest_ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(figures.longest_stop).count();
    std::printf("stress: %d operations, %d plays started, %d conversions, longest Stop %lld ms\n",
                figures.operations, figures.plays_started, figures.conversions,
                static_cast<long long>(longest_ms));
    EXPECT_LT(longest_ms, 1000);
    EXPECT_GT(figures.plays_started, 0);
    EXPECT_GT(figures.conversions, 0);
}
