#pragma once

#include <initializer_list>
#include <span>

// The main window's click areas, each once: its name in the design, the
// command it gives, the hint it shows, the lamps lit while it is held and the
// underline it marks. Areas without a command only show their hint; a hint of
// nullptr shows none (the logo's hint is made at run time).
enum class Command {
    None,
    Minimize,
    Close,
    LoadSong,
    LoadFolder,
    RemoveSong,
    ClearList,
    SongInfo,
    PlayOrPause,
    StopSong,
    NextSong,
    PreviousSong, // acts on the press, the others on the release
    Standard,
    Shuffle,
    Repeat,
    ShowConverter,
    ShowPlayer,
    LoadSource,
    Convert,
    ToggleHintLine,
    OpenHelpPage,
};

struct ClickArea {
    const char* name;
    Command command;
    const char* hint;
    std::initializer_list<const char*> lamps;
    const char* underline;
};

std::span<const ClickArea> MainWindowAreas();
