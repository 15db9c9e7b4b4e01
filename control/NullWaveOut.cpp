#include "NullWaveOut.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace audiocore {

namespace {

std::mutex log_mutex;
NullDeviceLog log_of_process;
bool log_kept = false;

// Runs `change` on the log under its lock, when a test keeps the log.
template <typename Change> void Log(Change change) {
    std::lock_guard lock(log_mutex);
    if (log_kept)
        change(log_of_process);
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

NullDeviceLog NullDeviceSnapshot() {
    std::lock_guard lock(log_mutex);
    return log_of_process;
}

void ClearNullDeviceLog() {
    std::lock_guard lock(log_mutex);
    log_of_process = NullDeviceLog{};
    log_kept = true;
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
    Log([&](NullDeviceLog& log) {
        ++log.opens;
        log.last_device = device;
        log.last_format = format;
    });
    player_ = std::thread([this] { PlayLoop(); });
    return true;
}

void NullWaveOut::SetVolume(std::uint32_t volume) {
    {
        std::lock_guard lock(mutex_);
        volume_ = volume;
    }
    Log([&](NullDeviceLog& log) { log.volumes.push_back(volume); });
}

void NullWaveOut::Write(WaveHeader& header) {
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(&header);
    }
    Log([&](NullDeviceLog& log) { log.write_lengths.push_back(header.buffer_length); });
    wake_.notify_all();
}

void NullWaveOut::Reset() {
    std::deque<WaveHeader*> returned;
    {
        std::lock_guard lock(mutex_);
        if (front_playing_ && !queue_.empty()) {
            // The part of the front buffer that has sounded so far was heard.
            auto elapsed = Clock::now() - front_started_;
            auto whole = PlayTime(queue_.front()->buffer_length);
            double fraction = std::min(1.0, static_cast<double>(elapsed.count()) /
                                                std::max<double>(1, whole.count()));
            auto bytes = static_cast<std::uint32_t>(fraction * queue_.front()->buffer_length);
            Record(*queue_.front(),
                   bytes - bytes % std::max<std::uint16_t>(1, format_.block_align));
        }
        front_playing_ = false;
        returned.swap(queue_);
        ++reset_count_;
    }
    wake_.notify_all();
    Log([](NullDeviceLog& log) { ++log.resets; });
    for (std::size_t i = 0; i < returned.size(); ++i)
        on_done_();
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
    Log([](NullDeviceLog& log) { ++log.closes; });
    return CloseResult::Closed;
}

NullWaveOut::Clock::duration NullWaveOut::PlayTime(std::uint32_t bytes) const {
    double seconds = static_cast<double>(bytes) / format_.avg_bytes_per_sec / speed_;
    return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
}

void NullWaveOut::Record(const WaveHeader& header, std::uint32_t bytes) {
    bytes = std::min(bytes, header.buffer_length);
    std::vector<std::uint8_t> heard(header.data, header.data + bytes);
    ApplyVolumeToPcm(heard.data(), heard.size(), format_.channels, volume_);
    if (record_file_) {
        std::fwrite(heard.data(), 1, heard.size(), record_file_);
        std::fflush(record_file_);
    }
    Log([&](NullDeviceLog& log) {
        log.played.insert(log.played.end(), heard.begin(), heard.end());
    });
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
        const auto deadline = front_started_ + PlayTime(playing->buffer_length);
        wake_.wait_until(lock, deadline, [&] { return quit_ || reset_count_ != resets_before; });
        if (quit_)
            return;
        if (reset_count_ != resets_before)
            continue; // Reset returned the buffer and recorded what was heard.
        Record(*playing, playing->buffer_length);
        queue_.pop_front();
        front_playing_ = false;
        lock.unlock();
        on_done_();
        lock.lock();
    }
}

} // namespace audiocore
