#pragma once

#include <initializer_list>
#include <span>

// The main window's named controls, each once, with the views it shows in.
// A name the design lacks would give a key or a line that silently does
// nothing; the tests check every name here against the design.
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

// The views a control shows in. Switching to the converter hides the
// player's controls and shows the converter's; switching back undoes it.
enum class View {
    Both,
    Player,
    Converter,
};

// What the skin paints for the player but the converter cannot use. The
// converter view lays one shade over each group's whole area, so that
// nothing looks alive that does nothing.
enum class Shade {
    None,
    TransportKeys,
    ModeKeys,
    VolumeGroove,
};

// Lamps that the player's own state lights too: the previous key's while
// that key works, and the playing pair while a song plays.
inline constexpr char kPreviousLamp[] = "Image30";
inline constexpr const char* kPlayingLamps[] = {"Image31", "Image32"};

// A click area: its name in the design, the command it gives, the hint it
// shows, the lamps lit while it is held, the underline it marks, its views
// and its shade in the converter. Areas without a command only show their
// hint; a hint of nullptr shows none (the logo's hint is made at run time).
struct ClickArea {
    const char* name;
    Command command;
    const char* hint;
    std::initializer_list<const char*> lamps;
    const char* underline;
    View views;
    Shade shade;
};

// The window's other named controls: lines of text, the play list, the
// panels, the lamps, the lines and the helpers without a surface. A control
// shown on demand shows only when its own code shows it (the pause mark, the
// progress line, a lit lamp); a switch of views only hides it.
struct NamedControl {
    const char* name;
    View views;
    bool onDemand;
};

std::span<const ClickArea> MainWindowAreas();
std::span<const NamedControl> MainWindowControls();
