#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace audiocore {

// A song's loudness facts, as a ReplayGain scanner wrote them: for the song
// itself and for its album, the gain in dB that brings it to the reference
// loudness and the largest sample as a fraction of full scale.
struct LoudnessFacts {
    struct Pair {
        std::optional<double> gain_db;
        std::optional<double> peak;
    };
    Pair track;
    Pair album;

    bool Any() const { return track.gain_db || album.gain_db; }
};

// Which gain a song plays with. Automatic is a host's choice (album gain
// while a list plays in order, track gain when shuffled); the engine is
// told the resolved one.
enum class ReplayGainMode : std::int32_t { Off = 0, Track = 1, Album = 2, Automatic = 3 };

// "off", "track", "album", "auto": false for any other word.
bool ParseReplayGainMode(const std::string& word, ReplayGainMode& mode);
const char* ReplayGainModeName(ReplayGainMode mode);

// A linear scale in 16.16 fixed point, as the device and the WAV file apply it.
constexpr std::uint32_t kUnityGain = 1u << 16;
// No gain goes beyond +24 dB: a peak tag of nearly nothing must not turn
// the scale into a bomb.
constexpr std::uint32_t kMaxGain = kUnityGain * 16;

// The scale a song plays with in `mode` (Automatic counts as Album): the
// album gain falls back to the track gain; a song with neither takes
// `preamp_db`. The peak, when known, caps the scale so that the loudest
// sample stays within full scale.
std::uint32_t GainScale(const LoudnessFacts& facts, ReplayGainMode mode, double preamp_db);

// The scale of a linear factor, rounded and held within [0, kMaxGain].
std::uint32_t ScaleOf(double factor);

} // namespace audiocore
