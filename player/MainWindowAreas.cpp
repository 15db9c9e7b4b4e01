#include "MainWindowAreas.h"

namespace {

// Lamps lit by a held key: the mode keys and the logo, stop, play, next and
// previous.
constexpr char kNextLamp[] = "Image29";
constexpr std::initializer_list<const char*> kModeLamps = {kNextLamp, kPreviousLamp};
constexpr std::initializer_list<const char*> kStopLamps = {kPlayingLamps[0], kPlayingLamps[1]};
constexpr std::initializer_list<const char*> kPlayLamps = {kNextLamp, kPreviousLamp,
                                                           kPlayingLamps[0], kPlayingLamps[1]};
constexpr std::initializer_list<const char*> kNextLamps = {kNextLamp};
constexpr std::initializer_list<const char*> kPreviousLamps = {kPreviousLamp};

constexpr View kBoth = View::Both;
constexpr View kPlayer = View::Player;
constexpr View kConverter = View::Converter;
constexpr Shade kUnshaded = Shade::None;
constexpr Shade kTransport = Shade::TransportKeys;
constexpr Shade kModes = Shade::ModeKeys;
constexpr Shade kGroove = Shade::VolumeGroove;

constexpr char kPlay[] = "Play or paused";
constexpr char kNext[] = "Next song";
constexpr char kPrevious[] = "Previous song";
constexpr char kStop[] = "Stop";
constexpr char kLoad[] = "Load song";
constexpr char kInfo[] = "Select song for info.";

const ClickArea kAreas[] = {
    {"CustomListBox1", Command::None, "DblClick play song", {}, nullptr, kPlayer, kUnshaded},
    {"PBarY1", Command::None, "Volume", {}, nullptr, kPlayer, kGroove},
    {"PBarY2", Command::None, "Seek", {}, nullptr, kPlayer, kUnshaded},
    {"Image1", Command::Minimize, nullptr, {}, nullptr, kBoth, kUnshaded},
    {"Image2", Command::Close, nullptr, {}, nullptr, kBoth, kUnshaded},
    {"Image3", Command::OpenHelpPage, nullptr, kModeLamps, nullptr, kBoth, kUnshaded},
    {"Label10", Command::OpenHelpPage, nullptr, {}, nullptr, kBoth, kUnshaded},
    {"Image33", Command::ToggleHintLine, "Help off/on", {}, "Line11", kBoth, kUnshaded},
    {"Image34", Command::LoadSong, kLoad, {}, "Line5", kPlayer, kUnshaded},
    {"Label6", Command::LoadSong, kLoad, {}, "Line5", kPlayer, kUnshaded},
    {"Image35", Command::LoadFolder, "Load all songs in folder", {}, "Line10", kPlayer, kUnshaded},
    {"Label4", Command::RemoveSong, " Remove one song", {}, "Line7", kPlayer, kUnshaded},
    {"Label3", Command::ClearList, "Clear play list", {}, "Line8", kPlayer, kUnshaded},
    {"Label19", Command::SongInfo, kInfo, {}, nullptr, kPlayer, kUnshaded},
    {"Image36", Command::SongInfo, nullptr, {}, nullptr, kPlayer, kUnshaded},
    {"Image9", Command::PlayOrPause, kPlay, kPlayLamps, nullptr, kPlayer, kTransport},
    {"Image10", Command::PlayOrPause, kPlay, kPlayLamps, nullptr, kPlayer, kTransport},
    {"Image11", Command::PlayOrPause, kPlay, kPlayLamps, nullptr, kPlayer, kTransport},
    {"Image12", Command::PlayOrPause, kPlay, kPlayLamps, nullptr, kPlayer, kTransport},
    {"Image13", Command::PlayOrPause, kPlay, kPlayLamps, nullptr, kPlayer, kTransport},
    {"Image4", Command::StopSong, kStop, kStopLamps, nullptr, kPlayer, kTransport},
    {"Image5", Command::StopSong, kStop, kStopLamps, nullptr, kPlayer, kTransport},
    {"Image6", Command::StopSong, kStop, kStopLamps, nullptr, kPlayer, kTransport},
    {"Image7", Command::StopSong, kStop, kStopLamps, nullptr, kPlayer, kTransport},
    {"Image8", Command::StopSong, nullptr, kStopLamps, nullptr, kPlayer, kTransport},
    {"Image25", Command::StopSong, kStop, kStopLamps, nullptr, kPlayer, kTransport},
    {"Image14", Command::NextSong, kNext, kNextLamps, nullptr, kPlayer, kTransport},
    {"Image15", Command::NextSong, kNext, kNextLamps, nullptr, kPlayer, kTransport},
    {"Image16", Command::NextSong, kNext, kNextLamps, nullptr, kPlayer, kTransport},
    {"Image17", Command::NextSong, kNext, kNextLamps, nullptr, kPlayer, kTransport},
    {"Image18", Command::NextSong, kNext, kNextLamps, nullptr, kPlayer, kTransport},
    {"Image19", Command::PreviousSong, kPrevious, kPreviousLamps, nullptr, kPlayer, kTransport},
    {"Image20", Command::PreviousSong, kPrevious, kPreviousLamps, nullptr, kPlayer, kTransport},
    {"Image21", Command::PreviousSong, kPrevious, kPreviousLamps, nullptr, kPlayer, kTransport},
    {"Image22", Command::PreviousSong, kPrevious, kPreviousLamps, nullptr, kPlayer, kTransport},
    {"Image23", Command::PreviousSong, kPrevious, kPreviousLamps, nullptr, kPlayer, kTransport},
    {"Image24", Command::PreviousSong, kPrevious, kPreviousLamps, nullptr, kPlayer, kTransport},
    {"Image26", Command::Standard, "'Standard' play all and stop", kModeLamps, nullptr, kPlayer,
     kModes},
    {"Image27", Command::Shuffle, "Shuffle", kModeLamps, nullptr, kPlayer, kModes},
    {"Image28", Command::Repeat, "Repeat all", kModeLamps, nullptr, kPlayer, kModes},
    {"Label5", Command::ShowConverter, "Convert mp3 to WAV", {}, "Line6", kBoth, kUnshaded},
    {"Label13", Command::ShowPlayer, "Back", {}, "Line8", kConverter, kUnshaded},
    {"Label17", Command::LoadSource, nullptr, {}, "Line5", kConverter, kUnshaded},
    {"Label18", Command::Convert, nullptr, {}, "Line7", kConverter, kUnshaded},
};

// Shown on demand: only when their own code shows them.
constexpr bool kOnDemand = true;

const NamedControl kControls[] = {
    // The display panel, which the converter widens, and the hint line.
    {"Label1", kBoth, false},
    {"Label9", kBoth, false},
    // The lamps, lit by a held key or by the player's state.
    {kNextLamp, kBoth, kOnDemand},
    {kPreviousLamp, kBoth, kOnDemand},
    {kPlayingLamps[0], kBoth, kOnDemand},
    {kPlayingLamps[1], kBoth, kOnDemand},
    // The status lines, the pause mark, the play list and the frame lines.
    {"Label7", kPlayer, false},
    {"Label8", kPlayer, false},
    {"Label11", kPlayer, kOnDemand},
    {"Label12", kPlayer, false},
    {"lstPlayList1", kPlayer, false},
    {"Line2", kPlayer, false},
    {"Line3", kPlayer, false},
    {"Line4", kPlayer, false},
    // The converter's panel, its lines of source facts, its help text, the
    // progress line and its frame line.
    {"Label15", kConverter, false},
    {"Text2", kConverter, false},
    {"Text3", kConverter, false},
    {"Label16", kConverter, false},
    {"Label14", kConverter, false},
    {"Label20", kConverter, kOnDemand},
    {"Line9", kConverter, false},
    // Helpers without a surface of their own: the skin and the audio control.
    {"AdvWin1", kBoth, false},
    {"Audiocore1", kBoth, false},
};

} // namespace

std::span<const ClickArea> MainWindowAreas() {
    return kAreas;
}

std::span<const NamedControl> MainWindowControls() {
    return kControls;
}
