#include "ReplayGain.h"

#include <algorithm>
#include <cmath>

namespace audiocore {

namespace {

struct ModeName {
    const char* word;
    ReplayGainMode mode;
};

constexpr ModeName kModeNames[] = {{"off", ReplayGainMode::Off},
                                   {"track", ReplayGainMode::Track},
                                   {"album", ReplayGainMode::Album},
                                   {"auto", ReplayGainMode::Automatic}};

double Linear(double db) {
    return std::pow(10.0, db / 20.0);
}

} // namespace

bool ParseReplayGainMode(const std::string& word, ReplayGainMode& mode) {
    for (const ModeName& name : kModeNames) {
        if (word == name.word) {
            mode = name.mode;
            return true;
        }
    }
    return false;
}

const char* ReplayGainModeName(ReplayGainMode mode) {
    for (const ModeName& name : kModeNames)
        if (name.mode == mode)
            return name.word;
    return "off";
}

std::uint32_t ScaleOf(double factor) {
    if (!(factor > 0.0))
        return 0;
    return static_cast<std::uint32_t>(std::min<double>(std::lround(factor * kUnityGain), kMaxGain));
}

std::uint32_t GainScale(const LoudnessFacts& facts, ReplayGainMode mode, double preamp_db) {
    if (mode == ReplayGainMode::Off)
        return kUnityGain;
    const bool album = mode != ReplayGainMode::Track && facts.album.gain_db;
    const LoudnessFacts::Pair& pair = album ? facts.album : facts.track;
    if (!pair.gain_db)
        return ScaleOf(Linear(preamp_db));
    double factor = Linear(*pair.gain_db);
    // Clipping prevention: the peak times the scale stays at full scale.
    if (pair.peak && *pair.peak > 0.0)
        factor = std::min(factor, 1.0 / *pair.peak);
    return ScaleOf(factor);
}

} // namespace audiocore
