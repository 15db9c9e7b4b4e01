#include "PlayedFrames.h"

#include <algorithm>

namespace audiocore {

void PlayedFrames::Begin(int first, std::uint64_t base) {
    std::lock_guard lock(mutex_);
    active_ = true;
    first_ = first;
    base_ = base;
    ends_.clear();
    resume_.reset();
}

void PlayedFrames::Restart(int first, bool heard) {
    std::lock_guard lock(mutex_);
    first_ = first;
    base_ = 0;
    ends_.clear();
    resume_.reset();
    if (!active_ && heard)
        resume_ = first;
}

void PlayedFrames::FrameWritten(std::uint64_t end) {
    std::lock_guard lock(mutex_);
    if (!active_)
        return;
    ends_.push_back(end);
    if (ends_.size() > kKeptEnds) {
        ends_.pop_front();
        ++first_;
    }
}

void PlayedFrames::End() {
    std::lock_guard lock(mutex_);
    active_ = false;
    ends_.clear();
}

std::size_t PlayedFrames::EndsUpTo(std::uint64_t bytes) const {
    return static_cast<std::size_t>(std::upper_bound(ends_.begin(), ends_.end(), bytes) -
                                    ends_.begin());
}

std::optional<int> PlayedFrames::HeardFrame(std::uint64_t played) const {
    std::lock_guard lock(mutex_);
    if (!active_)
        return resume_;
    return first_ + static_cast<int>(EndsUpTo(played));
}

std::optional<PlayedFrames::Cut> PlayedFrames::CutAfter(std::uint64_t consumed) {
    std::lock_guard lock(mutex_);
    if (!active_)
        return std::nullopt;
    const std::size_t done = EndsUpTo(consumed);
    const std::uint64_t last_end = done == 0 ? 0 : ends_[done - 1];
    Cut cut{consumed, first_ + static_cast<int>(done)};
    // Past the last frame handed over there is only the silence that pads
    // the last buffer: nothing more to wait for.
    if (last_end != consumed && done < ends_.size()) {
        cut.bytes = ends_[done];
        cut.resume_frame = first_ + static_cast<int>(done) + 1;
    }
    active_ = false;
    resume_ = cut.resume_frame;
    return cut;
}

bool PlayedFrames::Reached(std::uint64_t played) const {
    std::lock_guard lock(mutex_);
    return active_ && played >= base_;
}

bool PlayedFrames::Active() const {
    std::lock_guard lock(mutex_);
    return active_;
}

} // namespace audiocore
