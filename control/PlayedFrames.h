#pragma once

#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>

namespace audiocore {

// Which frame of the stream the listener hears. The device sink tells where
// in the device's byte stream each frame it hands over ends; the device
// tells how many of those bytes have sounded. A run's start and every seek
// restart the count, since they reset the device. The sink writes on the
// worker thread and the control reads on its own, so a lock guards it.
class PlayedFrames {
public:
    // Where a stop lets the device end: the end of the frame it is playing,
    // and the first frame that then was not heard.
    struct Cut {
        std::uint64_t bytes = 0;
        int resume_frame = 0;
    };

    // A device run starts: the device's byte `base` belongs to frame
    // `first`. A song that follows another on the same device begins where
    // the other's bytes end.
    void Begin(int first, std::uint64_t base = 0);
    // A seek reset the device; its next byte belongs to frame `first`. A
    // seek made before a device run begins (a start or a resume) that is to
    // be `heard` makes `first` the frame heard until then, not wherever the
    // decoder had read to; one for a conversion leaves no frame to resume.
    void Restart(int first, bool heard = true);
    // The sink handed over a frame ending `end` bytes after the start.
    void FrameWritten(std::uint64_t end);
    // The device run is over; a stop's resume frame stays.
    void End();

    // The frame being heard once `played` bytes have sounded, while a device
    // run is on; after a stop, the frame it left to resume from.
    std::optional<int> HeardFrame(std::uint64_t played) const;
    // The cut for a stop when `consumed` bytes have gone to the device: at
    // once on a frame boundary, else at the end of the frame under way. It
    // keeps the resume frame until the next Begin or Restart. None while no
    // device run is on.
    std::optional<Cut> CutAfter(std::uint64_t consumed);
    // Whether a device run is on.
    bool Active() const;
    // Whether the listener has reached this run's first byte.
    bool Reached(std::uint64_t played) const;

private:
    // Frames handed over before this many are certainly heard: the ring and
    // the device hold far fewer, so older ends are dropped.
    static constexpr std::size_t kKeptEnds = 512;

    // How many kept ends lie at or before `bytes`.
    std::size_t EndsUpTo(std::uint64_t bytes) const;

    mutable std::mutex mutex_;
    bool active_ = false;
    int first_ = 0;
    std::uint64_t base_ = 0;
    std::deque<std::uint64_t> ends_;
    std::optional<int> resume_;
};

} // namespace audiocore
