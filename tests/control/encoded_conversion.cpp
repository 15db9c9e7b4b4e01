// Converts and plays files from real encoders with the audiocore program and
// holds the result against a float decoding of the same file by another
// decoder, truncated toward zero as this decoder's synthesis truncates.

#include "RunProgram.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>

using namespace testsupport;

namespace {

std::string EncodedPath(const std::string& name) {
    return std::string(SONGWELL_ENCODED_DIR) + "/" + name;
}

// The short files of the top folder; the long songs have their own folder.
std::vector<std::string> EncodedFiles() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(SONGWELL_ENCODED_DIR)) {
        std::string ext = entry.path().extension().string();
        if (ext == ".mp3" || ext == ".mp2")
            names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Gapless (the song the encoder was given) unless `whole` asks for every
// decoded sample.
ProgramResult Convert(const std::string& in, const std::string& out, bool whole = false) {
    std::vector<std::string> args{"convert", in, out};
    if (whole)
        args.push_back("--no-gapless");
    return RunProgram(BinPath("audiocore"), args);
}

// Interleaved samples with their layout, from a WAV file, in 16-bit units:
// 16-bit integers as they are, 32-bit floats scaled by 32768.
struct Decoded {
    int channels = 0;
    int rate = 0;
    std::vector<float> samples;

    std::size_t Frames(int samples_per_frame) const {
        return channels ? samples.size() / channels / samples_per_frame : 0;
    }
};

std::uint32_t Le(const std::vector<std::uint8_t>& b, std::size_t at, int bytes) {
    std::uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = value << 8 | b[at + i];
    return value;
}

Decoded ReadWav(const std::string& path) {
    std::vector<std::uint8_t> file = ReadFile(path);
    Decoded d;
    int format = 0;
    for (std::size_t at = 12; at + 8 <= file.size();) {
        const std::uint32_t size = Le(file, at + 4, 4);
        const std::size_t body = at + 8;
        const std::size_t end = std::min<std::size_t>(file.size(), body + size);
        if (std::memcmp(&file[at], "fmt ", 4) == 0 && size >= 16) {
            format = static_cast<int>(Le(file, body, 2));
            d.channels = static_cast<int>(Le(file, body + 2, 2));
            d.rate = static_cast<int>(Le(file, body + 4, 4));
        } else if (std::memcmp(&file[at], "data", 4) == 0) {
            for (std::size_t i = body; format == 1 && i + 2 <= end; i += 2)
                d.samples.push_back(static_cast<std::int16_t>(Le(file, i, 2)));
            for (std::size_t i = body; format == 3 && i + 4 <= end; i += 4) {
                std::uint32_t bits = Le(file, i, 4);
                float f;
                std::memcpy(&f, &bits, 4);
                d.samples.push_back(f * 32768.0f);
            }
        }
        at = body + size + (size & 1);
    }
    return d;
}

// Clipped to 16 bits, then truncated toward zero.
int Truncated(float s) {
    return s > 32767.0f ? 32767 : s < -32768.0f ? -32768 : static_cast<int>(s);
}

// The reference, in float: like this decoder it plays no sound for an
// encoder's info frame, and cuts the encoder's delay and padding unless
// `whole` asks for every decoded sample.
Decoded FloatReference(const std::string& mp3, const TempDir& dir, bool whole = false) {
    const std::string wav = dir.File("reference.wav");
    std::vector<std::string> args{"-q", "-e", "f32", "-w", wav, mp3};
    if (whole)
        args.insert(args.begin(), "--no-gapless");
    ProgramResult r = RunProgram("mpg123", args);
    Decoded d;
    if (r.exit_code == 0)
        d = ReadWav(wav);
    std::filesystem::remove(wav);
    return d;
}

void WritePcm(const std::string& path, const Decoded& d) {
    std::vector<std::uint8_t> pcm;
    pcm.reserve(d.samples.size() * 2);
    for (float s : d.samples) {
        const int v = Truncated(s);
        pcm.push_back(static_cast<std::uint8_t>(v & 0xFF));
        pcm.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
    }
    WriteFile(path, pcm);
}

// One channel's samples from sample frame `from` on, truncated; channel -1 is
// the mean of the two channels of a stereo decoding.
std::vector<int> Channel(const Decoded& d, int channel, std::size_t from = 0) {
    std::vector<int> out;
    const std::size_t step = static_cast<std::size_t>(d.channels);
    for (std::size_t i = from * step; i + step <= d.samples.size(); i += step)
        out.push_back(Truncated(channel >= 0 ? d.samples[i + channel]
                                             : (d.samples[i] + d.samples[i + 1]) / 2));
    return out;
}

struct Comparison {
    double psnr = 0;
    double maxdiff = 1e9;
    double shift = 1e9;
};

// Reads "psnr=.. maxdiff=.. rms=.. shift=.. coverage=.." from pcmcmp.py.
Comparison Compare(const std::string& test_wav, const std::string& reference) {
    ProgramResult r = RunProgram("python3", {SharedPath("tools/pcmcmp.py"), test_wav, reference});
    Comparison c;
    std::istringstream words(r.out);
    std::string word;
    while (words >> word) {
        auto eq = word.find('=');
        if (eq == std::string::npos)
            continue;
        std::string key = word.substr(0, eq);
        double value = std::strtod(word.c_str() + eq + 1, nullptr);
        if (key == "psnr")
            c.psnr = value;
        else if (key == "maxdiff")
            c.maxdiff = value;
        else if (key == "shift")
            c.shift = value;
    }
    return c;
}

// Layer II files are named .mp2; every Layer III file below 32 kHz is an
// MPEG-2 or MPEG 2.5 one, with half the samples per frame.
int SamplesPerFrame(const std::string& name, int rate) {
    const bool layer2 = name.size() > 4 && name.compare(name.size() - 4, 4, ".mp2") == 0;
    return layer2 || rate >= 32000 ? 1152 : 576;
}

struct Info {
    long long frames = -1;
    long long samples = -1;
    long long length_ms = -1;
    long long delay = -1; // the encoder's, when the file states it

    // Where frame `n` begins in the song: its delay (with the decoder's
    // own 529 samples) is not part of it.
    std::size_t SongOffset(long long n, int spf) const {
        const long long first = delay >= 0 ? delay + 529 : 0;
        return static_cast<std::size_t>(std::clamp(n * spf - first, 0LL, samples));
    }
};

// Reads "frames: N" and "length_ms: N" from `audiocore info`.
Info ReadInfo(const std::string& file) {
    ProgramResult r = RunProgram(BinPath("audiocore"), {"info", file});
    Info info;
    std::istringstream lines(r.out);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string key;
        long long value;
        if (!(words >> key >> value))
            continue;
        if (key == "frames:")
            info.frames = value;
        else if (key == "samples:")
            info.samples = value;
        else if (key == "length_ms:")
            info.length_ms = value;
        else if (key == "encoder_gap:")
            info.delay = value;
    }
    return info;
}

} // namespace

namespace {

// Converts `name` as asked and holds it against the reference decoding:
// every sample, no more, each within one unit.
void ExpectConversionMatches(const std::string& name, bool whole, const TempDir& dir,
                             Decoded& reference) {
    SCOPED_TRACE(whole ? "every decoded sample" : "gapless");
    const std::string wav = dir.File(name + ".wav");
    const std::string ref_path = dir.File(name + ".pcm");
    ProgramResult converted = Convert(EncodedPath(name), wav, whole);
    ASSERT_EQ(converted.exit_code, 0) << converted.err;
    EXPECT_EQ(converted.err, "");
    reference = FloatReference(EncodedPath(name), dir, whole);
    ASSERT_FALSE(reference.samples.empty());
    WritePcm(ref_path, reference);
    Decoded ours = ReadWav(wav);
    EXPECT_EQ(ours.channels, reference.channels);
    EXPECT_EQ(ours.rate, reference.rate);
    EXPECT_EQ(ours.samples.size(), reference.samples.size()) << "every sample, no more";
    Comparison c = Compare(wav, ref_path);
    EXPECT_GE(c.psnr, 92.5);
    EXPECT_LE(c.maxdiff, 1);
    EXPECT_EQ(c.shift, 0);
}

} // namespace

TEST(EncodedConversion, EveryEncoderFileMatchesAFloatDecodingTruncatedTowardZero) {
    std::vector<std::string> files = EncodedFiles();
    // 33 Layer III and 9 Layer II files; fewer means the maker script broke.
    ASSERT_GE(files.size(), 42u);
    TempDir dir;
    for (const std::string& name : files) {
        SCOPED_TRACE(name);
        Decoded whole;
        Decoded song;
        ExpectConversionMatches(name, true, dir, whole);
        ExpectConversionMatches(name, false, dir, song);

        // The player's time display and seek bar rest on these: frames
        // count every decoded frame, the length is the song's.
        const int spf = SamplesPerFrame(name, whole.rate);
        const long long frames = static_cast<long long>(whole.Frames(spf));
        Info info = ReadInfo(EncodedPath(name));
        EXPECT_EQ(info.frames, frames);
        const long long samples = static_cast<long long>(song.samples.size()) / song.channels;
        EXPECT_EQ(info.samples, samples);
        EXPECT_EQ(info.length_ms, samples * 1000 / song.rate);
    }
}

TEST(EncodedConversion, AStreamThatChangesLayerDecodesEveryPart) {
    TempDir dir;
    struct Part {
        const char* name;
        std::vector<float> data;
    };
    Part parts[] = {{"part-l2.bin", {}}, {"part-l3.bin", {}}, {"mixed-layers.bin", {}}};
    for (Part& p : parts) {
        SCOPED_TRACE(p.name);
        const std::string wav = dir.File(std::string(p.name) + ".wav");
        ProgramResult r = Convert(EncodedPath(p.name), wav);
        ASSERT_EQ(r.exit_code, 0) << r.err;
        p.data = ReadWav(wav).samples;
    }
    const auto& l2 = parts[0].data;
    const auto& l3 = parts[1].data;
    const auto& mixed = parts[2].data;
    ASSERT_FALSE(l2.empty());
    ASSERT_FALSE(l3.empty());
    // Layer II, then Layer III, then Layer II again: every frame of each part
    // is decoded, and the opening part exactly as on its own.
    EXPECT_EQ(mixed.size(), 2 * l2.size() + l3.size());
    ASSERT_GE(mixed.size(), l2.size());
    EXPECT_TRUE(std::equal(l2.begin(), l2.end(), mixed.begin()));
}

TEST(EncodedConversion, AStreamThatChangesChannelModeKeepsTheFirstFramesChannels) {
    TempDir dir;
    constexpr int kSpf = 1152;
    const Decoded stereo = FloatReference(EncodedPath("part-stereo.bin"), dir);
    const Decoded mono = FloatReference(EncodedPath("part-mono.bin"), dir);
    ASSERT_EQ(stereo.channels, 2);
    ASSERT_EQ(mono.channels, 1);
    const std::size_t stereo_frames = stereo.Frames(kSpf);
    const std::size_t mono_frames = mono.Frames(kSpf);
    ASSERT_GT(stereo_frames, 2u);
    ASSERT_GT(mono_frames, 2u);
    const std::size_t all_frames = stereo_frames + mono_frames;

    // The frame after the change may still carry the other part's synthesis
    // history; from the next one on each part sounds as on its own.
    {
        SCOPED_TRACE("stereo, then single channel");
        const std::string name = "mode-change-stereo-first.bin";
        ProgramResult r = Convert(EncodedPath(name), dir.File("a.wav"));
        ASSERT_EQ(r.exit_code, 0) << r.err;
        Decoded out = ReadWav(dir.File("a.wav"));
        ASSERT_EQ(out.channels, 2);
        EXPECT_EQ(out.samples.size(), all_frames * kSpf * 2);
        EXPECT_EQ(ReadInfo(EncodedPath(name)).frames, static_cast<long long>(all_frames));
        Decoded opening = out;
        opening.samples.resize(std::min(out.samples.size(), stereo.samples.size()));
        for (int c = 0; c < 2; ++c)
            EXPECT_LE(MaxDifference(Channel(opening, c), Channel(stereo, c)), 1) << c;
        const std::size_t from = (stereo_frames + 1) * kSpf;
        const std::vector<int> left = Channel(out, 0, from);
        EXPECT_EQ(left, Channel(out, 1, from)) << "a single channel sounds on both sides";
        EXPECT_LE(MaxDifference(left, Channel(mono, 0, kSpf)), 1);
    }
    {
        SCOPED_TRACE("single channel, then stereo");
        const std::string name = "mode-change-mono-first.bin";
        ProgramResult r = Convert(EncodedPath(name), dir.File("b.wav"));
        ASSERT_EQ(r.exit_code, 0) << r.err;
        Decoded out = ReadWav(dir.File("b.wav"));
        ASSERT_EQ(out.channels, 1);
        EXPECT_EQ(out.samples.size(), all_frames * kSpf);
        EXPECT_EQ(ReadInfo(EncodedPath(name)).frames, static_cast<long long>(all_frames));
        Decoded opening = out;
        opening.samples.resize(std::min(out.samples.size(), mono.samples.size()));
        EXPECT_LE(MaxDifference(Channel(opening, 0), Channel(mono, 0)), 1);
        // Stereo on a single-channel output is the mean of its two channels.
        EXPECT_LE(
            MaxDifference(Channel(out, 0, (mono_frames + 1) * kSpf), Channel(stereo, -1, kSpf)), 1);
    }
}

namespace {

// Plays `file` from frame `start` on the null device, which appends what it
// played to `record`.
ProgramResult PlayFrom(const std::string& file, long long start, const std::string& record) {
    std::filesystem::remove(record);
    return RunProgram("env", {"AUDIOCORE_OUTPUT=null", "AUDIOCORE_NULL_SPEED=64",
                              "AUDIOCORE_NULL_RECORD=" + record, BinPath("audiocore"), "play", file,
                              "--start", std::to_string(start)});
}

std::vector<std::int16_t> Samples16(const std::vector<std::uint8_t>& raw) {
    std::vector<std::int16_t> samples(raw.size() / 2);
    std::memcpy(samples.data(), raw.data(), samples.size() * 2);
    return samples;
}

} // namespace

TEST(EncodedConversion, PlayingFromAFrameSoundsAsTheConversionFromThatFrameOn) {
    // The device plays whole buffers of 32 frames: the last one ends in
    // silence.
    constexpr std::size_t kFramesPerBuffer = 32;
    TempDir dir;
    const std::string record = dir.File("heard.raw");
    for (const char* name : {"long/cbr128-44k.mp3", "long/vbr2-44k.mp3", "long/cbr192-48k.mp3",
                             "long/l2-192-44k.mp2"}) {
        SCOPED_TRACE(name);
        const std::string file = EncodedPath(name);
        ProgramResult r = Convert(file, dir.File("whole.wav"));
        ASSERT_EQ(r.exit_code, 0) << r.err;
        const Decoded whole = ReadWav(dir.File("whole.wav"));
        const Decoded reference = FloatReference(file, dir);
        ASSERT_EQ(whole.channels, reference.channels);
        for (int c = 0; c < whole.channels; ++c)
            ASSERT_LE(MaxDifference(Channel(whole, c), Channel(reference, c)), 1) << c;
        const int spf = SamplesPerFrame(name, reference.rate);
        const Info info = ReadInfo(file);
        ASSERT_EQ(static_cast<std::size_t>(info.samples) * whole.channels, whole.samples.size());
        const long long frames = info.frames;
        ASSERT_GT(frames, 1000);

        for (long long start : {0LL, 1LL, 100LL, 1000LL, frames - 1}) {
            SCOPED_TRACE(start);
            r = PlayFrom(file, start, record);
            ASSERT_EQ(r.exit_code, 0) << r.out << r.err;
            const std::vector<std::int16_t> heard = Samples16(ReadFile(record));
            const std::size_t from = info.SongOffset(start, spf) * whole.channels;
            const std::size_t expected = whole.samples.size() - from;
            ASSERT_GE(heard.size(), expected);
            EXPECT_TRUE(
                std::equal(heard.begin(), heard.begin() + expected, whole.samples.begin() + from));
            EXPECT_LT(heard.size() - expected, kFramesPerBuffer * spf * whole.channels);
            EXPECT_TRUE(std::all_of(heard.begin() + expected, heard.end(),
                                    [](std::int16_t s) { return s == 0; }));
        }
        r = PlayFrom(file, frames, record);
        EXPECT_NE((r.out + r.err).find("past the end"), std::string::npos) << r.out << r.err;
        EXPECT_TRUE(ReadFile(record).empty()) << "nothing is played";
    }
}

TEST(EncodedConversion, PlayingFromTheSecondPartOfAModeChangeKeepsTheStreamsChannels) {
    // Stereo, then single channel: a run that starts in the single-channel
    // part still plays two channels, the one channel on both sides.
    TempDir dir;
    const std::string file = EncodedPath("mode-change-stereo-first.bin");
    ProgramResult r = Convert(file, dir.File("whole.wav"));
    ASSERT_EQ(r.exit_code, 0) << r.err;
    const Decoded whole = ReadWav(dir.File("whole.wav"));
    ASSERT_EQ(whole.channels, 2);
    constexpr std::size_t kStart = 100; // past the 78 stereo frames
    const std::string record = dir.File("heard.raw");
    r = PlayFrom(file, kStart, record);
    ASSERT_EQ(r.exit_code, 0) << r.out << r.err;
    const std::vector<std::int16_t> heard = Samples16(ReadFile(record));
    const std::size_t from = kStart * 1152 * 2;
    ASSERT_GE(heard.size(), whole.samples.size() - from);
    EXPECT_TRUE(std::equal(whole.samples.begin() + from, whole.samples.end(), heard.begin()));
}
