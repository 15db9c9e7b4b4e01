#include "MainWindowAreas.h"

namespace {

// Lamps lit by a held key: the mode keys and the logo, stop, play, next and
// previous.
constexpr std::initializer_list<const char*> kModeLamps = {"Image29", "Image30"};
constexpr std::initializer_list<const char*> kStopLamps = {"Image31", "Image32"};
constexpr std::initializer_list<const char*> kPlayLamps = {"Image29", "Image30", "Image31",
                                                           "Image32"};
constexpr std::initializer_list<const char*> kNextLamps = {"Image29"};
constexpr std::initializer_list<const char*> kPreviousLamps = {"Image30"};

constexpr char kPlay[] = "Play or paused";
constexpr char kNext[] = "Next song";
constexpr char kPrevious[] = "Previous song";
constexpr char kStop[] = "Stop";
constexpr char kLoad[] = "Load song";
constexpr char kInfo[] = "Select song for info.";

const ClickArea kAreas[] = {
    {"CustomListBox1", Command::None, "DblClick play song", {}, nullptr},
    {"PBarY1", Command::None, "Volume", {}, nullptr},
    {"PBarY2", Command::None, "Seek", {}, nullptr},
    {"Image1", Command::Minimize, nullptr, {}, nullptr},
    {"Image2", Command::Close, nullptr, {}, nullptr},
    {"Image3", Command::OpenHelpPage, nullptr, kModeLamps, nullptr},
    {"Label10", Command::OpenHelpPage, nullptr, {}, nullptr},
    {"Image33", Command::ToggleHintLine, "Help off/on", {}, "Line11"},
    {"Image34", Command::LoadSong, kLoad, {}, "Line5"},
    {"Label6", Command::LoadSong, kLoad, {}, "Line5"},
    {"Image35", Command::LoadFolder, "Load all songs in folder", {}, "Line10"},
    {"Label4", Command::RemoveSong, " Remove one song", {}, "Line7"},
    {"Label3", Command::ClearList, "Clear play list", {}, "Line8"},
    {"Label19", Command::SongInfo, kInfo, {}, nullptr},
    {"Image36", Command::SongInfo, nullptr, {}, nullptr},
    {"Image9", Command::PlayOrPause, kPlay, kPlayLamps, nullptr},
    {"Image10", Command::PlayOrPause, kPlay, kPlayLamps, nullptr},
    {"Image11", Command::PlayOrPause, kPlay, kPlayLamps, nullptr},
    {"Image12", Command::PlayOrPause, kPlay, kPlayLamps, nullptr},
    {"Image13", Command::PlayOrPause, kPlay, kPlayLamps, nullptr},
    {"Image4", Command::StopSong, kStop, kStopLamps, nullptr},
    {"Image5", Command::StopSong, kStop, kStopLamps, nullptr},
    {"Image6", Command::StopSong, kStop, kStopLamps, nullptr},
    {"Image7", Command::StopSong, kStop, kStopLamps, nullptr},
    {"Image8", Command::StopSong, nullptr, kStopLamps, nullptr},
    {"Image25", Command::StopSong, kStop, kStopLamps, nullptr},
    {"Image14", Command::NextSong, kNext, kNextLamps, nullptr},
    {"Image15", Command::NextSong, kNext, kNextLamps, nullptr},
    {"Image16", Command::NextSong, kNext, kNextLamps, nullptr},
    {"Image17", Command::NextSong, kNext, kNextLamps, nullptr},
    {"Image18", Command::NextSong, kNext, kNextLamps, nullptr},
    {"Image19", Command::PreviousSong, kPrevious, kPreviousLamps, nullptr},
    {"Image20", Command::PreviousSong, kPrevious, kPreviousLamps, nullptr},
    {"Image21", Command::PreviousSong, kPrevious, kPreviousLamps, nullptr},
    {"Image22", Command::PreviousSong, kPrevious, kPreviousLamps, nullptr},
    {"Image23", Command::PreviousSong, kPrevious, kPreviousLamps, nullptr},
    {"Image24", Command::PreviousSong, kPrevious, kPreviousLamps, nullptr},
    {"Image26", Command::Standard, "'Standard' play all and stop", kModeLamps, nullptr},
    {"Image27", Command::Shuffle, "Shuffle", kModeLamps, nullptr},
    {"Image28", Command::Repeat, "Repeat all", kModeLamps, nullptr},
    {"Label5", Command::ShowConverter, "Convert mp3 to WAV", {}, "Line6"},
    {"Label13", Command::ShowPlayer, "Back", {}, "Line8"},
    {"Label17", Command::LoadSource, nullptr, {}, "Line5"},
    {"Label18", Command::Convert, nullptr, {}, "Line7"},
};

} // namespace

std::span<const ClickArea> MainWindowAreas() {
    return kAreas;
}
