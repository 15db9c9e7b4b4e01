#include "SdlWaveOut.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>

namespace audiocore {

namespace {

// About 23 ms at 44.1 kHz: short enough that a reset is heard at once and that
// a buffer's return is close to the moment it finished sounding.
constexpr Uint16 kPullFrames = 1024;

// SDL_InitSubSystem counts its callers, so every user brings its own pair.
bool InitAudio() {
    return SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
}

} // namespace

std::vector<std::string> SdlWaveOut::DeviceNames() {
    std::vector<std::string> names;
    if (!InitAudio())
        return names;
    int count = SDL_GetNumAudioDevices(0);
    for (int i = 0; i < count; ++i) {
        const char* name = SDL_GetAudioDeviceName(i, 0);
        names.emplace_back(name ? name : "");
    }
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return names;
}

SdlWaveOut::~SdlWaveOut() {
    if (device_id_ != 0)
        Reset();
    ShutDown();
}

bool SdlWaveOut::Open(int device, const WaveFormat& format, Completion on_done) {
    if (!InitAudio())
        return false;
    subsystem_ready_ = true;
    const char* name = nullptr;
    if (device != kPreferredDevice) {
        if (device < 0 || device >= SDL_GetNumAudioDevices(0)) {
            ShutDown();
            return false;
        }
        name = SDL_GetAudioDeviceName(device, 0);
    }
    SDL_AudioSpec wanted{};
    wanted.freq = static_cast<int>(format.samples_per_sec);
    wanted.format = AUDIO_S16LSB;
    wanted.channels = static_cast<Uint8>(format.channels);
    wanted.samples = kPullFrames;
    wanted.callback = &SdlWaveOut::Pull;
    wanted.userdata = this;
    SDL_AudioSpec obtained{};
    // No allowed changes: SDL converts to whatever the hardware wants, so the
    // buffers stay in the stream's own format.
    device_id_ = SDL_OpenAudioDevice(name, 0, &wanted, &obtained, 0);
    if (device_id_ == 0) {
        ShutDown();
        return false;
    }
    channels_ = format.channels;
    on_done_ = std::move(on_done);
    return true;
}

void SdlWaveOut::SetVolume(std::uint32_t volume) {
    volume_.store(volume);
}

void SdlWaveOut::Write(WaveHeader& header) {
    SDL_LockAudioDevice(device_id_);
    queue_.push_back(&header);
    SDL_UnlockAudioDevice(device_id_);
    if (!unpaused_) {
        // The device stays paused until there is something to play.
        SDL_PauseAudioDevice(device_id_, 0);
        unpaused_ = true;
    }
}

void SdlWaveOut::Reset() {
    SDL_LockAudioDevice(device_id_);
    std::size_t returned = queue_.size();
    queue_.clear();
    front_offset_ = 0;
    SDL_UnlockAudioDevice(device_id_);
    for (std::size_t i = 0; i < returned; ++i)
        on_done_();
}

CloseResult SdlWaveOut::Close() {
    SDL_LockAudioDevice(device_id_);
    bool busy = !queue_.empty();
    SDL_UnlockAudioDevice(device_id_);
    if (busy) {
        // A device that was lost pulls no more; its buffers would never
        // return, so they are taken back rather than waited for forever.
        if (SDL_GetAudioDeviceStatus(device_id_) != SDL_AUDIO_PLAYING)
            Reset();
        else
            return CloseResult::StillPlaying;
    }
    ShutDown();
    return CloseResult::Closed;
}

void SdlWaveOut::ShutDown() {
    if (device_id_ != 0) {
        SDL_CloseAudioDevice(device_id_);
        device_id_ = 0;
    }
    if (subsystem_ready_) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        subsystem_ready_ = false;
    }
}

void SdlWaveOut::Pull(void* self, std::uint8_t* stream, int length) {
    static_cast<SdlWaveOut*>(self)->Fill(stream, length);
}

void SdlWaveOut::Fill(std::uint8_t* stream, int length) {
    const std::uint32_t volume = volume_.load();
    int done = 0;
    int finished = 0;
    while (done < length && !queue_.empty()) {
        WaveHeader* front = queue_.front();
        auto take = std::min<std::uint32_t>(front->buffer_length - front_offset_,
                                            static_cast<std::uint32_t>(length - done));
        std::memcpy(stream + done, front->data + front_offset_, take);
        done += static_cast<int>(take);
        front_offset_ += take;
        if (front_offset_ >= front->buffer_length) {
            queue_.pop_front();
            front_offset_ = 0;
            ++finished;
        }
    }
    if (done < length)
        std::memset(stream + done, 0, static_cast<std::size_t>(length - done));
    if (volume != 0xFFFFFFFF) {
        auto* samples = reinterpret_cast<std::int16_t*>(stream);
        const int count = done / 2;
        for (int i = 0; i < count; ++i) {
            bool right = channels_ == 2 && i % 2 == 1;
            samples[i] = ApplyVolume(samples[i], right ? volume >> 16 : volume & 0xFFFF);
        }
    }
    // Runs under SDL's device lock; the completion only releases a semaphore.
    for (int i = 0; i < finished; ++i)
        on_done_();
}

} // namespace audiocore
