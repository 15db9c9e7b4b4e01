#pragma once

#include "DecodeJob.h"

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace audiocore {

// The songs that follow the open one on the device: the one queued, and the
// ones a run has already gone on into that the listener has not reached
// yet (the device holds a second or two of the song before). The run takes
// songs on its own thread; the host queues them and makes a reached one
// the open song on its thread.
class FollowingSongs {
public:
    // Replaces the queued song; null queues none.
    void Queue(std::unique_ptr<DecodeJob> song);
    std::string QueuedPath() const;
    // For the run, at the end of a song: the queued song, which is in
    // flight from now on and prepared by `prepare` first; null when none.
    DecodeJob* Take(const std::function<void(DecodeJob&)>& prepare);
    bool InFlight() const;
    // The earliest song in flight when `reached` says the listener has
    // reached it, else null.
    std::unique_ptr<DecodeJob> TakeReached(const std::function<bool(const DecodeJob&)>& reached);
    // Every song in flight is asked to stop with the run.
    void StopInFlight();
    // After a run: a song it went on into but nobody heard comes next
    // again, in place of what was queued after it.
    void Requeue();
    void Clear();

private:
    mutable std::mutex mutex_;
    std::unique_ptr<DecodeJob> queued_;
    std::deque<std::unique_ptr<DecodeJob>> in_flight_;
};

} // namespace audiocore
