#pragma once

#include "DecodeJob.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace audiocore {

// The worker thread's entry for a Play run: decodes the job into the device
// and then reports the end with How through the job's notify target. A job
// with no header (the source did not open) returns at once and reports
// nothing. A stream already played to its end, with no seek since, decodes
// nothing and reports How 0 at once. Returns 1, the thread's exit code.
int WorkerMain(DecodeJob& job);

// The thread of one Play run. "Running" is a flag the thread clears as its
// very last step, so a timed wait on it is a timed wait on the thread.
class WorkerThread {
public:
    WorkerThread() = default;
    ~WorkerThread() { Join(); }
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Runs WorkerMain(job) on a new thread; `on_exit` runs on that thread
    // just before the flag clears. A previous thread must have been joined.
    void Start(DecodeJob& job, std::function<void()> on_exit);
    bool Running() const;
    bool Held() const { return thread_.joinable(); }
    // False when the thread still runs after `limit`.
    bool WaitFor(std::chrono::milliseconds limit);
    void Join();

private:
    mutable std::mutex mutex_;
    std::condition_variable ended_;
    bool running_ = false;
    std::thread thread_;
};

} // namespace audiocore
