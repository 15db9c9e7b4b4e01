#include "Worker.h"

#include "DecodeRun.h"

namespace audiocore {

int WorkerMain(DecodeJob& job) {
    if (!job.decoder.IsOpen())
        return 1;
    // A stream left at its end holds no frame to decode: the last ReadNext
    // failed, and decoding its leftovers would play noise.
    const bool nothing_left = job.stream_ended.load() && !job.seek_requested.load();
    job.run_failed.store(false);
    job.run_failure.clear();
    // The run may go on into the songs that follow; from then on only the
    // song it reached is touched, since the host may free those before it.
    DecodeJob* last = &job;
    if (!nothing_left) {
        std::string failure;
        const bool failed = RunDecode(job, {}, &failure, &last) != 0;
        last->run_failure = failure;
        last->run_failed.store(failed);
    }
    if (last->notify_target)
        last->notify_target(last->stop_requested.load() ? 1 : 0);
    return 1;
}

void WorkerThread::Start(DecodeJob& job, std::function<void()> on_exit) {
    Join();
    {
        std::lock_guard lock(mutex_);
        running_ = true;
    }
    thread_ = std::thread([this, &job, on_exit = std::move(on_exit)] {
        WorkerMain(job);
        if (on_exit)
            on_exit();
        std::lock_guard lock(mutex_);
        running_ = false;
        ended_.notify_all();
    });
}

bool WorkerThread::Running() const {
    std::lock_guard lock(mutex_);
    return running_;
}

bool WorkerThread::WaitFor(std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex_);
    return ended_.wait_for(lock, limit, [this] { return !running_; });
}

void WorkerThread::Join() {
    if (thread_.joinable())
        thread_.join();
}

} // namespace audiocore
