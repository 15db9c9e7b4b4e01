#pragma once

#include <SDL.h>

namespace audiocore {

// The SDL2 audio functions the device layer calls, bound when audio is first
// needed rather than linked: SDL brings some fifty libraries of its own (the
// sound servers', X11's, Wayland's), and a program that only reads a file's
// facts or converts it should not load them all at every start.
struct SdlLibrary {
    decltype(&SDL_SetHint) SetHint = nullptr;
    decltype(&SDL_InitSubSystem) InitSubSystem = nullptr;
    decltype(&SDL_QuitSubSystem) QuitSubSystem = nullptr;
    decltype(&SDL_GetNumAudioDevices) GetNumAudioDevices = nullptr;
    decltype(&SDL_GetAudioDeviceName) GetAudioDeviceName = nullptr;
    decltype(&SDL_OpenAudioDevice) OpenAudioDevice = nullptr;
    decltype(&SDL_CloseAudioDevice) CloseAudioDevice = nullptr;
    decltype(&SDL_PauseAudioDevice) PauseAudioDevice = nullptr;
    decltype(&SDL_LockAudioDevice) LockAudioDevice = nullptr;
    decltype(&SDL_UnlockAudioDevice) UnlockAudioDevice = nullptr;
    decltype(&SDL_GetAudioDeviceStatus) GetAudioDeviceStatus = nullptr;
    decltype(&SDL_GetError) GetError = nullptr;
};

// The loaded library, or null when SDL2 is not installed (no device opens
// then). Loaded once, on first call, from any thread.
const SdlLibrary* Sdl();

} // namespace audiocore
