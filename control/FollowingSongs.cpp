#include "FollowingSongs.h"

namespace audiocore {

void FollowingSongs::Queue(std::unique_ptr<DecodeJob> song) {
    std::lock_guard lock(mutex_);
    queued_ = std::move(song);
}

std::string FollowingSongs::QueuedPath() const {
    std::lock_guard lock(mutex_);
    return queued_ ? queued_->decoder.Path() : std::string();
}

DecodeJob* FollowingSongs::Take(const std::function<void(DecodeJob&)>& prepare) {
    std::lock_guard lock(mutex_);
    if (!queued_)
        return nullptr;
    prepare(*queued_);
    in_flight_.push_back(std::move(queued_));
    return in_flight_.back().get();
}

bool FollowingSongs::InFlight() const {
    std::lock_guard lock(mutex_);
    return !in_flight_.empty();
}

std::unique_ptr<DecodeJob>
FollowingSongs::TakeReached(const std::function<bool(const DecodeJob&)>& reached) {
    std::lock_guard lock(mutex_);
    if (in_flight_.empty() || !reached(*in_flight_.front()))
        return nullptr;
    std::unique_ptr<DecodeJob> song = std::move(in_flight_.front());
    in_flight_.pop_front();
    return song;
}

void FollowingSongs::StopInFlight() {
    std::lock_guard lock(mutex_);
    for (const std::unique_ptr<DecodeJob>& song : in_flight_)
        song->stop_requested.store(true);
}

void FollowingSongs::Requeue() {
    std::lock_guard lock(mutex_);
    if (in_flight_.empty())
        return;
    queued_ = std::move(in_flight_.front());
    in_flight_.clear();
}

void FollowingSongs::Clear() {
    std::lock_guard lock(mutex_);
    queued_.reset();
    in_flight_.clear();
}

} // namespace audiocore
