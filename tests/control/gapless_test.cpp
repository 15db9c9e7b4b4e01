// Songs that real encoders made give back exactly the samples the encoder
// was given, and songs played one after another follow each other sample
// after sample, as an album whose songs run into each other needs.

#include "ControlEngine.h"
#include "RunProgram.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <sstream>

using namespace testsupport;

namespace {

std::vector<std::int16_t> Samples16(const std::vector<std::uint8_t>& raw) {
    std::vector<std::int16_t> samples(raw.size() / 2);
    std::memcpy(samples.data(), raw.data(), samples.size() * 2);
    return samples;
}

// The samples of a 16-bit or float WAV file in 16-bit units, floats scaled
// by 32768 and truncated toward zero, as this decoder's synthesis does.
std::vector<int> WavSamples(const std::string& path) {
    const std::vector<std::uint8_t> b = ReadFile(path);
    std::vector<int> out;
    int bits = 16;
    for (std::size_t at = 12; at + 8 <= b.size();) {
        std::uint32_t size = 0;
        std::memcpy(&size, &b[at + 4], 4);
        const std::size_t body = at + 8;
        if (std::memcmp(&b[at], "fmt ", 4) == 0)
            bits = b[body + 14];
        if (std::memcmp(&b[at], "data", 4) == 0) {
            const std::size_t end = std::min<std::size_t>(body + size, b.size());
            for (std::size_t i = body; i + bits / 8 <= end; i += bits / 8) {
                if (bits == 16) {
                    std::int16_t s;
                    std::memcpy(&s, &b[i], 2);
                    out.push_back(s);
                } else {
                    float f;
                    std::memcpy(&f, &b[i], 4);
                    const float v = f * 32768.0f;
                    out.push_back(v > 32767.0f    ? 32767
                                  : v < -32768.0f ? -32768
                                                  : static_cast<int>(v));
                }
            }
            break;
        }
        at = body + size + (size & 1);
    }
    return out;
}

class Gapless : public ::testing::Test {
protected:
    // A steady tone, so that any gap or repeat shows: `seconds` long at
    // `rate`, one or two channels.
    std::string Tone(const std::string& name, int rate, int channels, double seconds) {
        const std::string wav = dir.File(name + ".wav");
        ProgramResult r = RunProgram("sox", {"-R", "-V1", "-n", "-r", std::to_string(rate), "-c",
                                             std::to_string(channels), "-b", "16", wav, "synth",
                                             std::to_string(seconds), "sine", "441", "vol", "0.5"});
        EXPECT_EQ(r.exit_code, 0) << r.err;
        return wav;
    }
    std::string Lame(const std::string& wav, const std::string& name,
                     const std::vector<std::string>& options) {
        const std::string mp3 = dir.File(name + ".mp3");
        std::vector<std::string> args{"--quiet"};
        args.insert(args.end(), options.begin(), options.end());
        args.push_back(wav);
        args.push_back(mp3);
        ProgramResult r = RunProgram("lame", args);
        EXPECT_EQ(r.exit_code, 0) << r.err;
        return mp3;
    }
    std::string Ffmpeg(const std::string& wav, const std::string& name) {
        const std::string mp3 = dir.File(name + ".mp3");
        ProgramResult r = RunProgram(
            "ffmpeg", {"-v", "error", "-y", "-i", wav, "-c:a", "libmp3lame", "-b:a", "160k", mp3});
        EXPECT_EQ(r.exit_code, 0) << r.err;
        return mp3;
    }
    std::vector<int> Convert(const std::string& mp3, const std::string& extra = "") {
        const std::string wav = mp3 + ".wav";
        std::vector<std::string> args{"convert", mp3, wav};
        if (!extra.empty())
            args.push_back(extra);
        ProgramResult r = RunProgram(BinPath("audiocore"), args);
        EXPECT_EQ(r.exit_code, 0) << r.err;
        return WavSamples(wav);
    }
    std::vector<int> Reference(const std::string& mp3) {
        const std::string wav = mp3 + ".ref.wav";
        ProgramResult r = RunProgram("mpg123", {"-q", "-e", "f32", "-w", wav, mp3});
        EXPECT_EQ(r.exit_code, 0) << r.err;
        return WavSamples(wav);
    }
    std::string Info(const std::string& mp3) {
        return RunProgram(BinPath("audiocore"), {"info", mp3}).out;
    }
    // Plays `files` in turn with `audiocore play` on the fast null device,
    // which records what it played.
    std::vector<std::int16_t> Play(const std::vector<std::string>& files,
                                   const std::string& extra = "") {
        const std::string record = dir.File("heard.raw");
        std::remove(record.c_str());
        std::vector<std::string> args{"AUDIOCORE_OUTPUT=null", "AUDIOCORE_NULL_SPEED=64",
                                      "AUDIOCORE_NULL_RECORD=" + record, BinPath("audiocore"),
                                      "play"};
        args.insert(args.end(), files.begin(), files.end());
        if (!extra.empty()) {
            std::istringstream words(extra);
            for (std::string w; words >> w;)
                args.push_back(w);
        }
        ProgramResult r = RunProgram("env", args);
        EXPECT_EQ(r.exit_code, 0) << r.out << r.err;
        played_output = r.out + r.err;
        return Samples16(ReadFile(record));
    }

    TempDir dir;
    std::string played_output;
};

TEST_F(Gapless, AConversionGivesBackExactlyTheSamplesTheEncoderWasGiven) {
    struct Case {
        std::string name;
        int rate;
        int channels;
        std::vector<std::string> lame; // empty: made by ffmpeg
    };
    std::vector<Case> cases = {
        {"cbr192", 44100, 2, {"-b", "192"}},         {"abr128", 44100, 2, {"--abr", "128"}},
        {"cbr-32k", 32000, 2, {"-b", "128"}},        {"cbr-48k", 48000, 2, {"-b", "192"}},
        {"lsf-22k", 22050, 2, {"-b", "64"}},         {"lsf-16k", 16000, 2, {"-b", "48"}},
        {"mono", 44100, 1, {"-b", "96", "-m", "m"}}, {"ffmpeg", 44100, 2, {}},
        {"ffmpeg-48k-mono", 48000, 1, {}},
    };
    // Every quality; the low ones would otherwise lower the rate.
    for (int q = 0; q <= 9; ++q)
        cases.push_back(
            {"vbr" + std::to_string(q), 44100, 2, {"-V", std::to_string(q), "--resample", "44.1"}});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // An odd length, so that the padding is not a round number.
        const std::string wav = Tone(c.name, c.rate, c.channels, 2.3456);
        const std::size_t source = WavSamples(wav).size();
        const std::string mp3 = c.lame.empty() ? Ffmpeg(wav, c.name) : Lame(wav, c.name, c.lame);
        const std::vector<int> song = Convert(mp3);
        EXPECT_EQ(song.size(), source) << "every sample of the source, no more";
        EXPECT_LE(MaxDifference(song, Reference(mp3)), 1);
        const std::string info = Info(mp3);
        EXPECT_NE(info.find("samples: " + std::to_string(source / c.channels) + "\n"),
                  std::string::npos)
            << info;

        // Every decoded sample on request, the encoder's delay and padding
        // included: whole frames.
        const std::vector<int> whole = Convert(mp3, "--no-gapless");
        EXPECT_GT(whole.size(), source);
        const std::size_t frame = (c.rate >= 32000 ? 1152u : 576u) * c.channels;
        EXPECT_EQ(whole.size() % frame, 0u);
    }
}

TEST_F(Gapless, AnEncoderTagThatFailsItsCheckIsNotTrusted) {
    const std::string wav = Tone("tone", 44100, 2, 1.5);
    const std::string mp3 = Lame(wav, "tone", {"-b", "128"});
    std::vector<std::uint8_t> bytes = ReadFile(mp3);
    const std::string intact = Info(mp3);
    ASSERT_NE(intact.find("encoder_gap: 576 delay"), std::string::npos) << intact;
    // One bit of the tag's stated delay, flipped: the check no longer holds.
    const auto tag =
        std::search(bytes.begin(), bytes.end(), std::begin("LAME") + 0, std::begin("LAME") + 4);
    ASSERT_NE(tag, bytes.end());
    *(tag + 21) ^= 0x10;
    const std::string damaged = dir.File("damaged.mp3");
    WriteFile(damaged, bytes);
    const std::string info = Info(damaged);
    EXPECT_EQ(info.find("encoder_gap"), std::string::npos) << info;
    // Nothing is cut then: the song is every decoded frame.
    EXPECT_EQ(Convert(damaged).size(), Convert(mp3, "--no-gapless").size());
}

TEST_F(Gapless, AFileCutShortTakesItsLengthFromTheFramesThatAreThere) {
    const std::string wav = Tone("long", 44100, 2, 20);
    const std::string mp3 = Lame(wav, "long", {"-b", "128"});
    std::vector<std::uint8_t> bytes = ReadFile(mp3);
    bytes.resize(bytes.size() * 3 / 20); // a download that stopped after 3 s
    const std::string cut = dir.File("cut.mp3");
    WriteFile(cut, bytes);
    const std::string info = Info(cut);
    EXPECT_NE(info.find("cut_short: yes"), std::string::npos) << info;
    EXPECT_EQ(Info(mp3).find("cut_short"), std::string::npos);
    long long frames = 0;
    long long length_ms = 0;
    std::istringstream lines(info);
    for (std::string key; lines >> key;) {
        if (key == "frames:")
            lines >> frames;
        else if (key == "length_ms:")
            lines >> length_ms;
    }
    // About 3 of the 20 seconds, as the frames there say, not the encoder.
    EXPECT_NEAR(length_ms, 3000, 100);
    const std::vector<int> song = Convert(cut);
    EXPECT_EQ(static_cast<long long>(song.size()) / 2, frames * 1152 - (576 + 529))
        << "only the delay is cut: the padding was lost";
}

TEST_F(Gapless, SongsPlayedInTurnFollowEachOtherSampleAfterSample) {
    // A 12 s tone cut into three songs, each made by another encoder.
    const std::string all = Tone("all", 44100, 2, 12);
    std::vector<std::string> parts;
    for (int i = 0; i < 3; ++i) {
        parts.push_back(dir.File("part" + std::to_string(i) + ".wav"));
        ProgramResult r =
            RunProgram("sox", {all, parts.back(), "trim", std::to_string(4 * i), "4"});
        ASSERT_EQ(r.exit_code, 0) << r.err;
    }
    const std::vector<std::string> songs = {Lame(parts[0], "a", {"-b", "192"}),
                                            Lame(parts[1], "b", {"-V", "2"}),
                                            Ffmpeg(parts[2], "c")};
    std::vector<std::int16_t> expected;
    for (const std::string& song : songs)
        for (int s : Convert(song))
            expected.push_back(static_cast<std::int16_t>(s));
    ASSERT_EQ(expected.size(), 12u * 44100 * 2);

    const std::vector<std::int16_t> heard = Play(songs);
    ASSERT_GE(heard.size(), expected.size()) << played_output;
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), heard.begin()))
        << "the three songs, one after another, with nothing between them";
    // After the last song only the silence that ends the device's last buffer.
    EXPECT_TRUE(std::all_of(heard.begin() + static_cast<std::ptrdiff_t>(expected.size()),
                            heard.end(), [](std::int16_t s) { return s == 0; }));
}

TEST_F(Gapless, ASongOfAnotherFormatOrOneThatCannotOpenDoesNotStopTheList) {
    const std::string a = Lame(Tone("a", 44100, 2, 1), "a", {"-b", "128"});
    const std::string b = Lame(Tone("b", 48000, 1, 1), "b", {"-b", "64", "-m", "m"});
    const std::string missing = dir.File("missing.mp3");
    const std::vector<int> first = Convert(a);
    const std::vector<int> second = Convert(b);

    const std::vector<std::int16_t> heard = Play({a, missing, b});
    // The device opens again for the second format: both songs are heard in
    // full, the missing one is named.
    ASSERT_GE(heard.size(), first.size() + second.size());
    EXPECT_TRUE(std::equal(first.begin(), first.end(), heard.begin()));
    const auto after_first = std::find_if(heard.begin() + static_cast<std::ptrdiff_t>(first.size()),
                                          heard.end(), [](std::int16_t s) { return s != 0; });
    ASSERT_GE(heard.end() - after_first, static_cast<std::ptrdiff_t>(second.size()));
    EXPECT_TRUE(std::equal(second.begin(), second.end(), after_first));
    EXPECT_NE(played_output.find("missing.mp3: No such file or directory"), std::string::npos)
        << played_output;
}

TEST(GaplessEngine, TheQueuedSongBecomesTheOpenSongOnceItIsReached) {
    TempDir dir;
    const std::string one = SharedPath("vectors/l2-fl10.bit");
    audiocore::ControlEngine engine([](audiocore::ControlEngine::RunNumber, int) {});
    ASSERT_EQ(engine.OpenSourceFile(one), audiocore::OpenResult::Opened);
    std::string reason;
    EXPECT_EQ(engine.SetNextSourceFile(dir.File("none.mp3"), &reason),
              audiocore::OpenResult::CannotOpen);
    EXPECT_EQ(reason, "No such file or directory");
    EXPECT_EQ(engine.NextSourceFile(), "") << "nothing is queued";
    ASSERT_EQ(engine.SetNextSourceFile(one), audiocore::OpenResult::Opened);
    EXPECT_EQ(engine.NextSourceFile(), one);
    EXPECT_FALSE(engine.PollAdvance()) << "nothing plays yet";
    // A new source drops what was queued after the old one.
    ASSERT_EQ(engine.OpenSourceFile(one), audiocore::OpenResult::Opened);
    EXPECT_EQ(engine.NextSourceFile(), "");
}

} // namespace
