#include "SdlWaveOut.h"

#include "Fade.h"
#include "SdlLibrary.h"

#include <algorithm>
#include <cstring>

namespace audiocore {

namespace {

// About 100 ms of audio per pull (4096 frames at 44.1 kHz): a sound server
// given 23 ms pulls drop out on a busy machine and spend far more processor
// time on the stream. A stop or a seek still cuts in at once, since the
// control resets the device rather than waiting for the queue.
Uint16 PullFrames(std::uint32_t rate) {
    std::uint32_t frames = 256;
    while (frames < rate / 10)
        frames *= 2;
    return static_cast<Uint16>(std::min<std::uint32_t>(frames, 8192));
}

// SDL passes each pull on to the sound server, which buffers about one more;
// after this many silent pulls the last audio has sounded.
constexpr int kDrainPulls = 2;

// SDL_InitSubSystem counts its callers, so every user brings its own pair.
// SDL must not take the process's SIGINT and SIGTERM: the hosts decide what
// those mean, and SDL's handlers would swallow them while a song plays.
bool InitAudio() {
    const SdlLibrary* sdl = Sdl();
    if (!sdl)
        return false;
    sdl->SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    return sdl->InitSubSystem(SDL_INIT_AUDIO) == 0;
}

} // namespace

std::vector<std::string> SdlWaveOut::DeviceNames() {
    std::vector<std::string> names;
    if (!InitAudio())
        return names;
    int count = Sdl()->GetNumAudioDevices(0);
    for (int i = 0; i < count; ++i) {
        const char* name = Sdl()->GetAudioDeviceName(i, 0);
        names.emplace_back(name ? name : "");
    }
    Sdl()->QuitSubSystem(SDL_INIT_AUDIO);
    return names;
}

SdlWaveOut::~SdlWaveOut() {
    if (device_id_ != 0)
        Reset();
    ShutDown();
}

bool SdlWaveOut::Fail(std::string why) {
    open_error_ = std::move(why);
    ShutDown();
    return false;
}

bool SdlWaveOut::Open(int device, const WaveFormat& format, Completion on_done) {
    open_error_.clear();
    if (!Sdl())
        return Fail("the SDL2 library (libSDL2-2.0.so.0) cannot be loaded");
    if (!InitAudio())
        return Fail(Sdl()->GetError());
    subsystem_ready_ = true;
    const char* name = nullptr;
    if (device != kPreferredDevice) {
        if (device < 0 || device >= Sdl()->GetNumAudioDevices(0))
            return Fail("there is no output device " + std::to_string(device + 1));
        name = Sdl()->GetAudioDeviceName(device, 0);
    }
    SDL_AudioSpec wanted{};
    wanted.freq = static_cast<int>(format.samples_per_sec);
    wanted.format = AUDIO_S16LSB;
    wanted.channels = static_cast<Uint8>(format.channels);
    wanted.samples = PullFrames(format.samples_per_sec);
    wanted.callback = &SdlWaveOut::Pull;
    wanted.userdata = this;
    SDL_AudioSpec obtained{};
    // No allowed changes: SDL converts to whatever the hardware wants, so the
    // buffers stay in the stream's own format.
    device_id_ = Sdl()->OpenAudioDevice(name, 0, &wanted, &obtained, 0);
    if (device_id_ == 0)
        return Fail(Sdl()->GetError());
    channels_ = format.channels;
    format_ = format;
    bytes_per_second_ = format.avg_bytes_per_sec;
    // A sound server that starts a stream on a busy machine may lose its
    // first milliseconds; one pull of silence in front loses nothing.
    lead_in_bytes_ = static_cast<std::uint32_t>(obtained.samples) * channels_ * 2u;
    latency_bytes_ = lead_in_bytes_ / 2;
    on_done_ = std::move(on_done);
    return true;
}

void SdlWaveOut::SetVolume(std::uint32_t volume) {
    volume_.store(volume);
}

void SdlWaveOut::Write(WaveHeader& header) {
    Sdl()->LockAudioDevice(device_id_);
    queue_.push_back(&header);
    silent_pulls_ = 0;
    Sdl()->UnlockAudioDevice(device_id_);
    if (!unpaused_) {
        // The device stays paused until there is something to play.
        Sdl()->PauseAudioDevice(device_id_, 0);
        unpaused_ = true;
    }
}

void SdlWaveOut::Reset() {
    Sdl()->LockAudioDevice(device_id_);
    // The audio about to sound fades out instead of stopping with a step.
    // A second Reset before it has sounded keeps it.
    if (!queue_.empty()) {
        tail_ = FadedTail(queue_, front_offset_, format_, volume_.load());
        tail_offset_ = 0;
    }
    const std::size_t returned = TakeBackQueue();
    consumed_ = 0;
    end_at_ = kNoEnd;
    pull_start_ = 0;
    pull_time_ = std::chrono::steady_clock::now();
    silent_pulls_ = kDrainPulls; // what was cut off will never be heard
    Sdl()->UnlockAudioDevice(device_id_);
    for (std::size_t i = 0; i < returned; ++i)
        on_done_();
}

std::uint64_t SdlWaveOut::PlayedBytes() const {
    Sdl()->LockAudioDevice(device_id_);
    const std::chrono::duration<double> since = std::chrono::steady_clock::now() - pull_time_;
    const auto heard =
        pull_start_ - latency_bytes_ + static_cast<std::int64_t>(since.count() * bytes_per_second_);
    const std::uint64_t played =
        std::min(static_cast<std::uint64_t>(std::max<std::int64_t>(heard, 0)), consumed_);
    Sdl()->UnlockAudioDevice(device_id_);
    return played;
}

void SdlWaveOut::EndAt(const EndChooser& choose) {
    Sdl()->LockAudioDevice(device_id_);
    end_at_ = std::max(choose(consumed_), consumed_);
    FadeOutQueued(queue_, front_offset_, end_at_ - consumed_ + front_offset_, format_);
    // Output already stands at the end: the rest goes back now, but what
    // SDL holds still drains before Close lets the device go.
    const std::size_t returned = end_at_ == consumed_ ? TakeBackQueue() : 0;
    Sdl()->UnlockAudioDevice(device_id_);
    for (std::size_t i = 0; i < returned; ++i)
        on_done_();
}

std::size_t SdlWaveOut::TakeBackQueue() {
    const std::size_t returned = queue_.size();
    queue_.clear();
    front_offset_ = 0;
    return returned;
}

CloseResult SdlWaveOut::Close() {
    Sdl()->LockAudioDevice(device_id_);
    bool busy = !queue_.empty() || !tail_.empty() || (unpaused_ && silent_pulls_ < kDrainPulls);
    Sdl()->UnlockAudioDevice(device_id_);
    if (busy) {
        // A device that was lost pulls no more; its buffers would never
        // return, so they are taken back rather than waited for forever.
        if (Sdl()->GetAudioDeviceStatus(device_id_) != SDL_AUDIO_PLAYING)
            Reset();
        else
            return CloseResult::StillPlaying;
    }
    ShutDown();
    return CloseResult::Closed;
}

void SdlWaveOut::ShutDown() {
    if (device_id_ != 0) {
        Sdl()->CloseAudioDevice(device_id_);
        device_id_ = 0;
    }
    if (subsystem_ready_) {
        Sdl()->QuitSubSystem(SDL_INIT_AUDIO);
        subsystem_ready_ = false;
    }
}

void SdlWaveOut::Pull(void* self, std::uint8_t* stream, int length) {
    static_cast<SdlWaveOut*>(self)->Fill(stream, length);
}

int SdlWaveOut::FillPreroll(std::uint8_t* stream, int length) {
    const auto tail = static_cast<int>(
        std::min<std::size_t>(tail_.size() - tail_offset_, static_cast<std::size_t>(length)));
    if (tail > 0) {
        std::memcpy(stream, tail_.data() + tail_offset_, static_cast<std::size_t>(tail));
        tail_offset_ += static_cast<std::size_t>(tail);
        if (tail_offset_ == tail_.size()) {
            tail_.clear();
            tail_offset_ = 0;
        }
    }
    const auto lead_in = static_cast<int>(
        std::min<std::uint32_t>(lead_in_bytes_, static_cast<std::uint32_t>(length - tail)));
    std::memset(stream + tail, 0, static_cast<std::size_t>(lead_in));
    lead_in_bytes_ -= static_cast<std::uint32_t>(lead_in);
    return tail + lead_in;
}

void SdlWaveOut::Fill(std::uint8_t* stream, int length) {
    const std::uint32_t volume = volume_.load();
    const int preroll = FillPreroll(stream, length);
    // A pull of pure silence moves no clock: the last audio plays on in
    // real time from the pull that took it.
    if (preroll > 0 || !queue_.empty()) {
        pull_start_ = static_cast<std::int64_t>(consumed_) - preroll;
        pull_time_ = std::chrono::steady_clock::now();
    }
    stream += preroll;
    length -= preroll;
    int done = 0;
    std::size_t finished = 0;
    while (done < length && !queue_.empty() && consumed_ < end_at_) {
        WaveHeader* front = queue_.front();
        auto take = std::min<std::uint64_t>({front->buffer_length - front_offset_,
                                             static_cast<std::uint64_t>(length - done),
                                             end_at_ - consumed_});
        std::memcpy(stream + done, front->data + front_offset_, take);
        // The volume and each song's gain, in one scaling as the bytes go out.
        ApplyVolumeToBuffer(stream + done, *front, front_offset_, static_cast<std::size_t>(take),
                            channels_, volume);
        done += static_cast<int>(take);
        front_offset_ += static_cast<std::uint32_t>(take);
        consumed_ += take;
        if (front_offset_ >= front->buffer_length) {
            queue_.pop_front();
            front_offset_ = 0;
            ++finished;
        }
    }
    if (consumed_ >= end_at_)
        finished += TakeBackQueue();
    silent_pulls_ = done + preroll == 0 ? std::min(silent_pulls_ + 1, kDrainPulls) : 0;
    if (done < length)
        std::memset(stream + done, 0, static_cast<std::size_t>(length - done));
    // Runs under SDL's device lock; the completion only releases a semaphore.
    for (std::size_t i = 0; i < finished; ++i)
        on_done_();
}

} // namespace audiocore
