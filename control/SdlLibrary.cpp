#include "SdlLibrary.h"

#include <dlfcn.h>

namespace audiocore {

namespace {

template <class Function> bool Bind(void* library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(dlsym(library, name));
    return function != nullptr;
}

const SdlLibrary* Load() {
    void* library = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return nullptr;
    static SdlLibrary sdl;
    const bool bound = Bind(library, "SDL_SetHint", sdl.SetHint) &&
                       Bind(library, "SDL_InitSubSystem", sdl.InitSubSystem) &&
                       Bind(library, "SDL_QuitSubSystem", sdl.QuitSubSystem) &&
                       Bind(library, "SDL_GetNumAudioDevices", sdl.GetNumAudioDevices) &&
                       Bind(library, "SDL_GetAudioDeviceName", sdl.GetAudioDeviceName) &&
                       Bind(library, "SDL_OpenAudioDevice", sdl.OpenAudioDevice) &&
                       Bind(library, "SDL_CloseAudioDevice", sdl.CloseAudioDevice) &&
                       Bind(library, "SDL_PauseAudioDevice", sdl.PauseAudioDevice) &&
                       Bind(library, "SDL_LockAudioDevice", sdl.LockAudioDevice) &&
                       Bind(library, "SDL_UnlockAudioDevice", sdl.UnlockAudioDevice) &&
                       Bind(library, "SDL_GetAudioDeviceStatus", sdl.GetAudioDeviceStatus) &&
                       Bind(library, "SDL_GetError", sdl.GetError);
    // The library stays loaded for the process's life: SDL's own threads
    // may run its code until exit.
    return bound ? &sdl : nullptr;
}

} // namespace

const SdlLibrary* Sdl() {
    static const SdlLibrary* const loaded = Load();
    return loaded;
}

} // namespace audiocore
