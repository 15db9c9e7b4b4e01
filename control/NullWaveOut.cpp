#include "NullWaveOut.h"

#include "Fade.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace audiocore {

namespace {

std::mutex listener_mutex;
NullDeviceListener* listener = nullptr;

// Tells the listener, when there is one, under the lock that keeps it
// from going while it is told.
template <typename Message> void Tell(Message tell) {
    std::lock_guard lock(listener_mutex);
    if (listener)
        tell(*listener);
}

bool Listened() {
    std::lock_guard lock(listener_mutex);
    return listener != nullptr;
}

double SpeedFromEnvironment() {
    const char* text = std::getenv("AUDIOCORE_NULL_SPEED");
    if (!text || !*text)
        return 1.0;
    char* end = nullptr;
    double speed = std::strtod(text, &end);
    return (end && *end == '\0' && speed > 0.0) ? speed : 1.0;
}

} // namespace

void ListenToNullDevices(NullDeviceListener* new_listener) {
    std::lock_guard lock(listener_mutex);
    listener = new_listener;
}

NullWaveOut::NullWaveOut() : speed_(SpeedFromEnvironment()) {}

NullWaveOut::~NullWaveOut() {
    if (player_.joinable()) {
        Reset();
        {
            std::lock_guard lock(mutex_);
            quit_ = true;
        }
        wake_.notify_all();
        player_.join();
    }
    if (record_file_)
        std::fclose(record_file_);
}

bool NullWaveOut::Open(int device, const WaveFormat& format, Completion on_done) {
    if (device >= kDeviceCount || device < kPreferredDevice) {
        open_error_ = "there is no output device " + std::to_string(device + 1);
        return false;
    }
    if (format.avg_bytes_per_sec == 0) {
        open_error_ = "the stream has no sampling rate";
        return false;
    }
    format_ = format;
    on_done_ = std::move(on_done);
    if (const char* path = std::getenv("AUDIOCORE_NULL_RECORD"); path && *path)
        record_file_ = std::fopen(path, "ab");
    Tell([&](NullDeviceListener& l) { l.Opened(device, format); });
    player_ = std::thread([this] { PlayLoop(); });
    return true;
}

void NullWaveOut::SetVolume(std::uint32_t volume) {
    {
        std::lock_guard lock(mutex_);
        volume_ = volume;
    }
    Tell([&](NullDeviceListener& l) { l.VolumeSet(volume); });
}

void NullWaveOut::Write(WaveHeader& header) {
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(&header);
    }
    Tell([&](NullDeviceListener& l) { l.Written(header.buffer_length); });
    wake_.notify_all();
}

void NullWaveOut::Reset() {
    std::unique_lock lock(mutex_);
    played_ = 0;
    end_at_ = kNoEnd;
    TakeBackQueue(lock, true);
    Tell([](NullDeviceListener& l) { l.WasReset(); });
}

void NullWaveOut::TakeBackQueue(std::unique_lock<std::mutex>& lock, bool fade_out) {
    // The part of the front buffer that has sounded so far was heard, and
    // after a cut, what sounds on while it fades out, as on a real device.
    const std::uint32_t heard = FrontPlayedBytes();
    if (front_playing_ && !queue_.empty())
        Record(*queue_.front(), heard);
    if (fade_out) {
        const std::vector<std::uint8_t> tail = FadedTail(queue_, heard, format_, volume_);
        RecordHeard(tail.data(), tail.size());
    }
    front_playing_ = false;
    std::deque<WaveHeader*> returned;
    returned.swap(queue_);
    ++reset_count_;
    lock.unlock();
    wake_.notify_all();
    for (std::size_t i = 0; i < returned.size(); ++i)
        on_done_();
    lock.lock();
}

std::uint32_t NullWaveOut::FrontPlayedBytes() const {
    if (!front_playing_ || queue_.empty())
        return 0;
    const auto elapsed = Clock::now() - front_started_;
    const std::uint32_t length = PlayableBytes(*queue_.front());
    const auto whole = PlayTime(length);
    const double fraction =
        std::min(1.0, static_cast<double>(elapsed.count()) / std::max<double>(1, whole.count()));
    const auto bytes = static_cast<std::uint32_t>(fraction * length);
    return bytes - bytes % std::max<std::uint16_t>(1, format_.block_align);
}

std::uint32_t NullWaveOut::PlayableBytes(const WaveHeader& header) const {
    if (played_ >= end_at_)
        return 0;
    return static_cast<std::uint32_t>(
        std::min<std::uint64_t>(header.buffer_length, end_at_ - played_));
}

std::uint64_t NullWaveOut::PlayedBytes() const {
    std::lock_guard lock(mutex_);
    return played_ + FrontPlayedBytes();
}

void NullWaveOut::EndAt(const EndChooser& choose) {
    std::unique_lock lock(mutex_);
    const std::uint64_t consumed = played_ + FrontPlayedBytes();
    end_at_ = std::max(choose(consumed), consumed);
    FadeOutQueued(queue_, consumed - played_, end_at_ - played_, format_);
    if (end_at_ == consumed)
        TakeBackQueue(lock);
    else
        wake_.notify_all(); // the front buffer's deadline moves
}

CloseResult NullWaveOut::Close() {
    {
        std::lock_guard lock(mutex_);
        if (!queue_.empty())
            return CloseResult::StillPlaying;
        quit_ = true;
    }
    wake_.notify_all();
    if (player_.joinable())
        player_.join();
    if (record_file_) {
        std::fclose(record_file_);
        record_file_ = nullptr;
    }
    Tell([](NullDeviceListener& l) { l.Closed(); });
    return CloseResult::Closed;
}

NullWaveOut::Clock::duration NullWaveOut::PlayTime(std::uint32_t bytes) const {
    double seconds = static_cast<double>(bytes) / format_.avg_bytes_per_sec / speed_;
    return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
}

void NullWaveOut::Record(const WaveHeader& header, std::uint32_t bytes) {
    bytes = std::min(bytes, header.buffer_length);
    if (bytes == 0 || (!record_file_ && !Listened()))
        return;
    std::vector<std::uint8_t> heard(header.data, header.data + bytes);
    ApplyVolumeToBuffer(heard.data(), header, 0, bytes, format_.channels, volume_);
    RecordHeard(heard.data(), heard.size());
}

void NullWaveOut::RecordHeard(const std::uint8_t* pcm, std::size_t bytes) {
    if (bytes == 0 || (!record_file_ && !Listened()))
        return;
    if (record_file_) {
        std::fwrite(pcm, 1, bytes, record_file_);
        std::fflush(record_file_);
    }
    Tell([&](NullDeviceListener& l) { l.Played(pcm, bytes); });
}

void NullWaveOut::PlayLoop() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return quit_ || !queue_.empty(); });
        if (quit_)
            return;
        WaveHeader* playing = queue_.front();
        front_playing_ = true;
        front_started_ = Clock::now();
        const std::uint64_t resets_before = reset_count_;
        std::uint64_t end_before;
        std::uint32_t length;
        // A stop that sets an end while the buffer plays moves its deadline.
        do {
            end_before = end_at_;
            length = PlayableBytes(*playing);
            const auto deadline = front_started_ + PlayTime(length);
            wake_.wait_until(lock, deadline, [&] {
                return quit_ || reset_count_ != resets_before || end_at_ != end_before;
            });
        } while (!quit_ && reset_count_ == resets_before && end_at_ != end_before);
        if (quit_)
            return;
        if (reset_count_ != resets_before)
            continue; // the queue was taken back and what was heard recorded
        Record(*playing, length);
        played_ += length;
        queue_.pop_front();
        front_playing_ = false;
        lock.unlock();
        on_done_();
        lock.lock();
        // A stop's end reached: what is left goes back unplayed.
        if (played_ >= end_at_)
            TakeBackQueue(lock);
    }
}

} // namespace audiocore
