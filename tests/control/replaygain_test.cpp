// Songs tagged by a ReplayGain scanner play evened out: the device scales
// each song by its gain together with the volume, the peak keeps the gain
// from clipping, a list changes the gain exactly where the next song
// begins, and conversions change only when asked.

#include "Audiocore.h"
#include "GainTagWriter.h"
#include "ReplayGain.h"
#include "RunProgram.h"
#include "TestSupport.h"
#include "WaveOutDevice.h"
#include "controlkit/ControlError.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

using namespace testsupport;
using audiocore::GainScale;
using audiocore::kUnityGain;
using audiocore::LoudnessFacts;
using audiocore::ReplayGainMode;

namespace {

std::vector<std::int16_t> Samples16(const std::vector<std::uint8_t>& raw) {
    std::vector<std::int16_t> samples(raw.size() / 2);
    std::memcpy(samples.data(), raw.data(), samples.size() * 2);
    return samples;
}

// The 16-bit samples of one of our own WAV files (data from byte 46).
std::vector<std::int16_t> WavSamples(const std::string& path) {
    std::vector<std::uint8_t> bytes = ReadFile(path);
    bytes.erase(bytes.begin(), bytes.begin() + std::min<std::size_t>(46, bytes.size()));
    return Samples16(bytes);
}

double Decibels(double factor) {
    return 20 * std::log10(factor);
}

// The largest distance of `heard` (its first samples) from `source` scaled
// by `factor`; a huge number when too little was heard.
double Deviation(const std::vector<std::int16_t>& heard, const std::vector<std::int16_t>& source,
                 double factor, std::size_t from = 0) {
    if (heard.size() < from + source.size())
        return 1e9;
    double most = 0;
    for (std::size_t i = 0; i < source.size(); ++i)
        most = std::max(most, std::abs(heard[from + i] - source[i] * factor));
    return most;
}

class ReplayGain : public ::testing::Test {
protected:
    // A square wave starts at its full height, so the first samples of a
    // song already show which gain they got. lame's own loudness fields
    // are left out: each test writes the facts it means.
    std::string Song(const std::string& name, double level, double seconds = 3,
                     const std::string& wave = "square") {
        const std::string wav = dir.File(name + ".wav");
        ProgramResult r = RunProgram("sox", {"-R", "-V1", "-n", "-r", "44100", "-c", "2", "-b",
                                             "16", wav, "synth", std::to_string(seconds), wave,
                                             "300", "vol", std::to_string(level)});
        EXPECT_EQ(r.exit_code, 0) << r.err;
        const std::string mp3 = dir.File(name + ".mp3");
        r = RunProgram("lame", {"--quiet", "--noreplaygain", "-b", "192", wav, mp3});
        EXPECT_EQ(r.exit_code, 0) << r.err;
        return mp3;
    }
    std::vector<std::int16_t> Convert(const std::string& mp3,
                                      const std::vector<std::string>& options = {}) {
        const std::string wav = mp3 + ".wav";
        std::vector<std::string> args{"convert", mp3, wav};
        args.insert(args.end(), options.begin(), options.end());
        ProgramResult r = RunProgram(BinPath("audiocore"), args);
        EXPECT_EQ(r.exit_code, 0) << r.err;
        return WavSamples(wav);
    }
    // What the fast null device heard of `audiocore play FILES OPTIONS`.
    std::vector<std::int16_t> Play(const std::vector<std::string>& files,
                                   const std::vector<std::string>& options) {
        const std::string record = dir.File("heard.raw");
        std::remove(record.c_str());
        std::vector<std::string> args{"AUDIOCORE_OUTPUT=null", "AUDIOCORE_NULL_SPEED=64",
                                      "AUDIOCORE_NULL_RECORD=" + record, BinPath("audiocore"),
                                      "play"};
        args.insert(args.end(), files.begin(), files.end());
        args.insert(args.end(), options.begin(), options.end());
        ProgramResult r = RunProgram("env", args);
        EXPECT_EQ(r.exit_code, 0) << r.out << r.err;
        return Samples16(ReadFile(record));
    }
    std::string InfoLine(const std::string& mp3) {
        const std::string out = RunProgram(BinPath("audiocore"), {"info", mp3}).out;
        const std::size_t at = out.find("replaygain: ");
        return at == std::string::npos ? "" : out.substr(at, out.find('\n', at) - at);
    }

    TempDir dir;
};

TEST(ReplayGainScale, TheModeChoosesTheGainAndThePeakKeepsItFromClipping) {
    LoudnessFacts both;
    both.track = {-6.0, 0.5};
    both.album = {-12.0, std::nullopt};
    LoudnessFacts track_only;
    track_only.track = {-6.0, std::nullopt};
    LoudnessFacts loud_peak;
    loud_peak.track = {12.0, 0.9};
    const LoudnessFacts none;
    struct Case {
        const char* name;
        const LoudnessFacts& facts;
        ReplayGainMode mode;
        double preamp_db;
        double expected_db;
    } cases[] = {
        {"off plays as it is", both, ReplayGainMode::Off, 0, 0},
        {"track", both, ReplayGainMode::Track, 0, -6},
        {"album", both, ReplayGainMode::Album, 0, -12},
        {"automatic is album here", both, ReplayGainMode::Automatic, 0, -12},
        {"album falls back to track", track_only, ReplayGainMode::Album, 0, -6},
        {"the preamp is for songs without gain", none, ReplayGainMode::Track, -3, -3},
        {"but not for tagged ones", both, ReplayGainMode::Track, -3, -6},
        {"the peak limits +12 dB", loud_peak, ReplayGainMode::Track, 0, Decibels(1 / 0.9)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const double scale = double(GainScale(c.facts, c.mode, c.preamp_db)) / kUnityGain;
        EXPECT_NEAR(Decibels(scale), c.expected_db, 0.001);
    }
    EXPECT_EQ(GainScale(none, ReplayGainMode::Album, 0), kUnityGain) << "exactly unity";
}

TEST(ReplayGainScale, ABufferScalesEachSongByItsOwnGainFromTheMarkOn) {
    // Two stereo frames of the first song, three of the next at half.
    std::vector<std::int16_t> samples(10, 1000);
    audiocore::WaveHeader header;
    header.data = reinterpret_cast<std::uint8_t*>(samples.data());
    header.buffer_length = 20;
    header.gains = {{0, kUnityGain}, {8, kUnityGain / 2}};
    std::vector<std::int16_t> out = samples;
    // From byte 4 on, as a device that has sent the first frame already.
    audiocore::ApplyVolumeToBuffer(reinterpret_cast<std::uint8_t*>(out.data()) + 4, header, 4, 16,
                                   2, 0xFFFFFFFF);
    EXPECT_EQ(out,
              (std::vector<std::int16_t>{1000, 1000, 1000, 1000, 500, 500, 500, 500, 500, 500}));
    // At unity the volume alone counts, exactly as without a gain.
    for (std::int16_t s : {-32768, -1001, 1, 32767})
        EXPECT_EQ(audiocore::ApplyVolume(s, 0x4000, kUnityGain),
                  static_cast<std::int16_t>(s * 0x4000 / 0xFFFF));
    // A gain above unity saturates instead of wrapping.
    EXPECT_EQ(audiocore::ApplyVolume(30000, 0xFFFF, kUnityGain * 2), 32767);
    EXPECT_EQ(audiocore::ApplyVolume(-30000, 0xFFFF, kUnityGain * 2), -32768);
}

TEST_F(ReplayGain, EachTagKindAtMinus6dBPlaysTheSongAtHalf) {
    struct Case {
        testsupport::GainTagKind kind;
        const char* name;
        // The encoder's field holds 0.1 dB steps: -6.02 is stored as -6.0.
        double stored_db;
        const char* info;
    } cases[] = {
        {GainTagKind::UserText, "txxx", -6.02, "replaygain: track -6.02 dB peak 0.200000"},
        {GainTagKind::RelativeVolume, "rva2", -6.02, "replaygain: track -6.02 dB peak 0.200012"},
        {GainTagKind::Ape, "ape", -6.02, "replaygain: track -6.02 dB peak 0.200000"},
        {GainTagKind::EncoderExtension, "lame", -6.0, "replaygain: track -6.00 dB peak 0.200000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string mp3 = Song(c.name, 0.12);
        const std::vector<std::int16_t> converted = Convert(mp3);
        WriteGainTags(mp3, c.kind, {"-6.02", "0.2"});
        EXPECT_EQ(InfoLine(mp3).substr(0, 30), std::string(c.info).substr(0, 30));
        const std::vector<std::int16_t> heard = Play({mp3}, {"--replaygain", "track"});
        EXPECT_LE(Deviation(heard, converted, std::pow(10, c.stored_db / 20)), 1.0);
        if (c.stored_db == -6.02) {
            EXPECT_LE(Deviation(heard, converted, 0.5), 1.0);
        }
        // A conversion asked for the gain writes what is heard; without,
        // it stays the song as it is.
        EXPECT_LE(Deviation(Convert(mp3, {"--replaygain", "track"}), converted,
                            std::pow(10, c.stored_db / 20)),
                  1.0);
        EXPECT_EQ(Convert(mp3), converted);
    }
}

TEST_F(ReplayGain, AlbumAndAutomaticTakeTheAlbumGainAndTrackTheTrackGain) {
    const std::string tagged = Song("both", 0.12);
    const std::vector<std::int16_t> converted = Convert(tagged);
    WriteGainTags(tagged, GainTagKind::UserText, {"-6.02", ""}, {"-12.04", ""});
    const std::string track_only = Song("track-only", 0.12);
    WriteGainTags(track_only, GainTagKind::Ape, {"-6.02", ""});
    struct Case {
        const char* mode;
        const std::string& file;
        double factor;
    } cases[] = {
        {"track", tagged, 0.5}, {"album", tagged, 0.25},    {"auto", tagged, 0.25},
        {"off", tagged, 1.0},   {"album", track_only, 0.5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.mode) + " " + c.file);
        EXPECT_LE(Deviation(Play({c.file}, {"--replaygain", c.mode}), converted, c.factor), 1.0);
    }
}

TEST_F(ReplayGain, APositiveGainStopsWhereThePeakReachesFullScale) {
    // A sine: a square wave's edges overshoot past its level once encoded.
    const std::string mp3 = Song("loud", 0.85, 3, "sine");
    const std::vector<std::int16_t> converted = Convert(mp3);
    const auto loudest = *std::max_element(converted.begin(), converted.end(),
                                           [](int a, int b) { return std::abs(a) < std::abs(b); });
    ASSERT_LE(std::abs(loudest), 0.9 * 32768) << "the peak tag must be true";
    WriteGainTags(mp3, GainTagKind::UserText, {"+12", "0.9"});
    const std::vector<std::int16_t> heard = Play({mp3}, {"--replaygain", "track"});
    EXPECT_LE(Deviation(heard, converted, 1 / 0.9), 1.0);
    EXPECT_TRUE(std::none_of(heard.begin(), heard.end(), [](std::int16_t s) {
        return s == 32767 || s == -32768;
    })) << "no sample clips";
}

TEST_F(ReplayGain, WithoutTagsPlayingEqualsTheConversionExactly) {
    const std::string mp3 = Song("plain", 0.5);
    const std::vector<std::int16_t> converted = Convert(mp3);
    EXPECT_EQ(InfoLine(mp3), "replaygain: none");
    for (const char* mode : {"off", "track", "album", "auto"}) {
        SCOPED_TRACE(mode);
        const std::vector<std::int16_t> heard = Play({mp3}, {"--replaygain", mode});
        ASSERT_GE(heard.size(), converted.size());
        EXPECT_TRUE(std::equal(converted.begin(), converted.end(), heard.begin()));
    }
    // The preamp is the gain of such a song.
    EXPECT_LE(
        Deviation(Play({mp3}, {"--replaygain", "track", "--preamp", "-6.0206"}), converted, 0.5),
        1.0);
}

TEST_F(ReplayGain, SongsOfAListEachPlayWithTheirOwnGainFromTheirFirstSample) {
    // Lengths that end the first song in the middle of a device buffer.
    const std::string first = Song("first", 0.12, 2.3);
    const std::string second = Song("second", 0.12, 1.7);
    const std::vector<std::int16_t> first_converted = Convert(first);
    const std::vector<std::int16_t> second_converted = Convert(second);
    WriteGainTags(first, GainTagKind::UserText, {"-6.02", ""});
    WriteGainTags(second, GainTagKind::RelativeVolume, {"-12.04", ""});
    const std::vector<std::int16_t> heard = Play({first, second}, {"--replaygain", "track"});
    EXPECT_LE(Deviation(heard, first_converted, 0.5), 1.0);
    EXPECT_LE(Deviation(heard, second_converted, 0.25, first_converted.size()), 1.0);
    // And back: the first song again after the quieter one.
    const std::vector<std::int16_t> again = Play({second, first}, {"--replaygain", "track"});
    EXPECT_LE(Deviation(again, second_converted, 0.25), 1.0);
    EXPECT_LE(Deviation(again, first_converted, 0.5, second_converted.size()), 1.0);
}

TEST_F(ReplayGain, AnEncoderExtensionThatFailsItsCheckGivesNoGain) {
    const std::string mp3 = Song("broken", 0.12);
    WriteGainTags(mp3, GainTagKind::EncoderExtension, {"-6.02", ""});
    EXPECT_EQ(InfoLine(mp3), "replaygain: track -6.00 dB");
    std::vector<std::uint8_t> bytes = ReadFile(mp3);
    const std::string text(bytes.begin(), bytes.end());
    bytes[text.find("LAME") + 16] ^= 0x01; // the gain changes, the check does not
    WriteFile(mp3, bytes);
    EXPECT_EQ(InfoLine(mp3), "replaygain: none");
}

TEST_F(ReplayGain, TheEncodersOwnPeakFieldIsReadInItsFixedPointForm) {
    // lame measures the peak itself and writes it with 1.0 at 2^23.
    const std::string wav = dir.File("measured.wav");
    ProgramResult r = RunProgram("sox", {"-R", "-V1", "-n", "-r", "44100", "-c", "2", "-b", "16",
                                         wav, "synth", "2", "sine", "440", "vol", "0.5"});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    const std::string mp3 = dir.File("measured.mp3");
    r = RunProgram("lame", {"--quiet", "--replaygain-accurate", "-b", "192", wav, mp3});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    const std::string line = InfoLine(mp3);
    const std::size_t peak = line.find("peak ");
    ASSERT_NE(peak, std::string::npos) << line;
    EXPECT_NEAR(std::stod(line.substr(peak + 5)), 0.5, 0.05) << line;
}

QApplication& App() {
    static int argc = 1;
    static char name[] = "control_replaygain_test";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

TEST_F(ReplayGain, TheControlPlaysWithTheModeItsHostSets) {
    App();
    const std::string mp3 = Song("hosted", 0.12);
    const std::vector<std::int16_t> converted = Convert(mp3);
    WriteGainTags(mp3, GainTagKind::UserText, {"-6.02", ""}, {"-12.04", ""});
    const std::string record = dir.File("hosted.raw");
    setenv("AUDIOCORE_OUTPUT", "null", 1);
    setenv("AUDIOCORE_NULL_SPEED", "64", 1);
    setenv("AUDIOCORE_NULL_RECORD", record.c_str(), 1);

    Audiocore control;
    EXPECT_EQ(control.property("ReplayGain").toInt(), 0) << "off until the host asks";
    for (int refused : {4, -1}) {
        control.setReplayGain(refused);
        EXPECT_EQ(control.TakeError(), QStringLiteral("Invalid property value")) << refused;
    }
    control.setProperty("ReplayGainPreamp", 100.0);
    EXPECT_EQ(control.property("ReplayGainPreamp").toDouble(), 24.0);
    control.setProperty("ReplayGainPreamp", 0.0);
    struct Case {
        int mode;
        double factor;
    } cases[] = {{1, 0.5}, {2, 0.25}, {3, 0.25}, {0, 1.0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        std::remove(record.c_str());
        ASSERT_TRUE(control.setProperty("ReplayGain", c.mode));
        control.setSourceFile(QString::fromStdString(mp3));
        QSignalSpy finished(&control, &Audiocore::Finished);
        ASSERT_EQ(control.Play(), 0);
        ASSERT_TRUE(finished.wait(30000));
        EXPECT_LE(Deviation(Samples16(ReadFile(record)), converted, c.factor), 1.0);
    }
    unsetenv("AUDIOCORE_NULL_RECORD");
}

} // namespace
