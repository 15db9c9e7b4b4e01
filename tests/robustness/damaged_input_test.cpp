// Damaged, truncated and hostile files through the whole conversion path.
// Every one must end in a clear error or a safe decoding, in bounded time,
// writing nothing but its output file. Run under the sanitizers, these also
// prove that no byte pattern makes the decoder touch memory outside its
// buffers.

#include "ControlEngine.h"
#include "DecodeJob.h"
#include "RunProgram.h"
#include "SyntheticFrames.h"
#include "TestSupport.h"
#include "WriteWav.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstring>
#include <filesystem>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

using namespace audiocore;
using namespace testsupport;
namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

// Generous: a hang, not a slow machine, is what this catches.
constexpr auto kTimeBound = std::chrono::seconds(30);
// The command line answers well within a second on these small files; the
// bound leaves room for sanitizer builds on a busy machine.
constexpr auto kCommandBound = std::chrono::seconds(10);

Bytes Vector(const char* name) {
    return ReadFile(SharedPath(std::string("vectors/") + name));
}

struct Outcome {
    bool opened = false;
    int result = -1;
    // Why the file did not open.
    std::string reason;
    std::string failure;
    Bytes wav;
    bool wav_exists = false;
    // What `audiocore convert` printed on standard error, and whether it left
    // a WAV behind.
    std::string command_error;
    bool command_wav_exists = false;
};

std::uint32_t Le32(const Bytes& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t{b[at + 3]} << 24);
}

// A WAV that the conversion left behind must be whole: its sizes agree with
// its length.
void ExpectWholeWav(const Bytes& wav) {
    ASSERT_GE(wav.size(), 46u);
    EXPECT_EQ(std::memcmp(wav.data(), "RIFF", 4), 0);
    EXPECT_EQ(Le32(wav, 4), wav.size() - 8);
    EXPECT_EQ(std::memcmp(wav.data() + 38, "data", 4), 0);
    EXPECT_EQ(Le32(wav, 42), wav.size() - 46);
}

// The command line on the same file: it must end by itself, promptly, with
// an exit status rather than a signal, and print one line when it fails.
void ExpectCommandLineCopes(const std::string& input, const std::string& output,
                            Outcome* outcome = nullptr) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"info", input}, {"convert", input, output}}) {
        auto start = std::chrono::steady_clock::now();
        ProgramResult r = RunProgram(BinPath("audiocore"), args);
        EXPECT_LT(std::chrono::steady_clock::now() - start, kCommandBound) << args[0];
        EXPECT_TRUE(r.exit_code == 0 || r.exit_code == 1) << args[0] << " ended by a signal";
        if (r.exit_code != 0) {
            EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        }
        if (outcome && args[0] == "convert") {
            outcome->command_error = r.err;
            outcome->command_wav_exists = fs::exists(output);
        }
    }
    std::filesystem::remove(output);
}

// Converts `bytes`, stored as `name` in a fresh folder, as the player's
// converter would, and checks what every damaged file must respect. With
// `command_line`, the audiocore program must cope with the file too.
Outcome Convert(const Bytes& bytes, bool command_line = true,
                const std::string& name = "input.mp3") {
    TempDir dir;
    const std::string input = dir.File(name);
    const std::string output = dir.File("output.wav");
    WriteFile(input, bytes);
    Outcome outcome;
    auto start = std::chrono::steady_clock::now();
    DecodeJob job;
    outcome.opened = job.decoder.Open(input, &outcome.reason) == OpenResult::Opened;
    if (outcome.opened)
        outcome.result = WriteWav(job, output, {}, &outcome.failure);
    EXPECT_LT(std::chrono::steady_clock::now() - start, kTimeBound);

    outcome.wav_exists = fs::exists(output);
    if (outcome.wav_exists) {
        outcome.wav = ReadFile(output);
        ExpectWholeWav(outcome.wav);
    }
    if (outcome.opened && outcome.result != 0) {
        EXPECT_FALSE(outcome.failure.empty()) << "a failed conversion says why";
    }
    for (const auto& entry : fs::directory_iterator(dir.path()))
        EXPECT_TRUE(entry.path() == input || entry.path() == output)
            << "unexpected file " << entry.path();
    EXPECT_EQ(ReadFile(input), bytes) << "the source is never changed";
    if (command_line)
        ExpectCommandLineCopes(input, dir.File("cli.wav"), &outcome);
    return outcome;
}

Bytes Pcm(const Outcome& o) {
    return o.wav.size() > 46 ? Bytes(o.wav.begin() + 46, o.wav.end()) : Bytes{};
}

// Byte offsets of the frames of a clean constant-size stream.
std::vector<std::size_t> FrameStarts(const Bytes& stream) {
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i + 1 < stream.size(); ++i)
        if (stream[i] == 0xFF && (stream[i + 1] & 0xF0) == 0xF0)
            starts.push_back(i);
    return starts;
}

// Bytes of every value, sync bytes included, as a damaged download might hold.
Bytes RandomBytes(unsigned seed, std::size_t size) {
    std::mt19937 random(seed);
    Bytes bytes(size);
    for (auto& b : bytes)
        b = static_cast<std::uint8_t>(random());
    return bytes;
}

// A real picture from the video tool; JPEG data is full of 0xFF markers.
Bytes Picture(const std::string& extension) {
    TempDir dir;
    const std::string path = dir.File("picture." + extension);
    ProgramResult r = RunProgram("ffmpeg", {"-v", "error", "-f", "lavfi", "-i",
                                            "testsrc=size=160x120", "-frames:v", "1", path});
    EXPECT_EQ(r.exit_code, 0) << r.err;
    return ReadFile(path);
}

class DamagedInput : public ::testing::Test {};

} // namespace

TEST_F(DamagedInput, FilesWithoutAStreamGiveAClearError) {
    std::mt19937 random(5);
    Bytes noise(20000);
    for (auto& b : noise)
        b = static_cast<std::uint8_t>(random() & 0x7F); // never a sync byte
    std::string text = "Not an MP3 at all: only a few lines of text.\n";
    std::string long_text;
    for (int i = 0; i < 200; ++i)
        long_text += "Line " + std::to_string(i) + ": notes on a playlist, nothing to play.\n";
    Bytes wav = {'R', 'I', 'F', 'F', 36, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' '};
    wav.resize(4000, 0x20);
    Bytes mpeg25; // headers of 522-byte frames, 144 bytes apart
    for (int i = 0; i < 20; ++i) {
        AppendHeader(mpeg25, 0xFFE39000u);
        mpeg25.resize(mpeg25.size() + 140, 0x11);
    }
    Bytes forbidden_bitrate;
    for (int i = 0; i < 10; ++i)
        AppendFrame(forbidden_bitrate, {.bitrate_index = 15}, 417, 3);
    const struct {
        const char* what;
        Bytes bytes;
    } cases[] = {
        {"empty", {}},
        {"zeros", Bytes(100000, 0)},
        {"noise", noise},
        {"random bytes, seed 1", RandomBytes(1, 64 * 1024)},
        {"random bytes, seed 2", RandomBytes(2, 64 * 1024)},
        {"random bytes, seed 3", RandomBytes(3, 64 * 1024)},
        {"text", Bytes(text.begin(), text.end())},
        {"a text file", Bytes(long_text.begin(), long_text.end())},
        {"a WAV file named .mp3", wav},
        {"a PNG picture", Picture("png")},
        {"a JPEG picture", Picture("jpg")},
        {"MPEG 2.5 headers that do not follow one another", mpeg25},
        {"bitrate index 15", forbidden_bitrate},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Outcome o = Convert(c.bytes);
        EXPECT_FALSE(o.opened);
        EXPECT_EQ(o.reason, "no MPEG audio frame found");
        EXPECT_FALSE(o.wav_exists);
        EXPECT_NE(o.command_error.find("no MPEG audio frame found"), std::string::npos)
            << o.command_error;
        EXPECT_FALSE(o.command_wav_exists);
    }
}

TEST_F(DamagedInput, FoldersPipesAndUnreadableFilesGiveAClearError) {
    TempDir dir;
    fs::create_directory(dir.File("x.mp3"));
    DecodeJob job;
    std::string reason;
    EXPECT_EQ(job.decoder.Open(dir.File("x.mp3"), &reason), OpenResult::CannotOpen);
    EXPECT_EQ(reason, "Is a directory");
    EXPECT_EQ(WriteWav(job, dir.File("out.wav")), -1);
    EXPECT_FALSE(fs::exists(dir.File("out.wav")));
    ExpectCommandLineCopes(dir.File("x.mp3"), dir.File("cli.wav"));

    // Opening a FIFO waits for a writer that never comes, unless the open
    // refuses what is not a regular file.
    ASSERT_EQ(mkfifo(dir.File("pipe.mp3").c_str(), 0600), 0);
    EXPECT_EQ(job.decoder.Open(dir.File("pipe.mp3"), &reason), OpenResult::CannotOpen);
    EXPECT_EQ(reason, "not a regular file");
    ExpectCommandLineCopes(dir.File("pipe.mp3"), dir.File("cli.wav"));

    if (geteuid() == 0)
        GTEST_SKIP() << "root reads files whatever their permissions";
    WriteFile(dir.File("locked.mp3"), Vector("l3-si.bit"));
    chmod(dir.File("locked.mp3").c_str(), 0);
    EXPECT_EQ(job.decoder.Open(dir.File("locked.mp3"), &reason), OpenResult::CannotOpen);
    EXPECT_EQ(reason, "Permission denied");
}

TEST_F(DamagedInput, StreamsCutAnywhereDecodeWhatIsThere) {
    for (const char* name : {"l3-hecommon.bit", "l2-fl11.bit", "l1-fl6.bit", "l3-compl.bit"}) {
        SCOPED_TRACE(name);
        Bytes stream = Vector(name);
        std::vector<std::size_t> starts = FrameStarts(stream);
        ASSERT_GT(starts.size(), 6u);
        // Every byte of the first frame and the second's header, every few
        // bytes of the second frame, then around later boundaries.
        std::vector<std::size_t> cuts;
        for (std::size_t n = 0; n <= starts[1] + 8; ++n)
            cuts.push_back(n);
        for (std::size_t n = starts[1] + 9; n <= starts[2] + 1; n += 13)
            cuts.push_back(n);
        for (std::size_t i = 3; i < starts.size(); i += std::max<std::size_t>(3, starts.size() / 8))
            for (std::size_t n : {starts[i] - 1, starts[i], starts[i] + 1, starts[i] + 5})
                cuts.push_back(n);
        for (std::size_t n : cuts) {
            SCOPED_TRACE(n);
            Outcome o = Convert(Bytes(stream.begin(), stream.begin() + std::min(n, stream.size())),
                                n % 37 == 0);
            if (o.opened) {
                EXPECT_EQ(o.result, 0) << o.failure;
            }
            if (::testing::Test::HasFailure())
                return;
        }
    }
}

TEST_F(DamagedInput, TagsAroundTheAudioDoNotChangeIt) {
    Bytes stream = Vector("l3-hecommon.bit");
    Bytes clean = Pcm(Convert(stream));
    ASSERT_FALSE(clean.empty());

    // An ID3v2 tag whose body is nothing but plausible frame headers.
    Bytes id3v2 = {'I', 'D', '3', 3, 0, 0, 0, 0, 0x10, 0};
    for (int i = 0; i < 512; ++i)
        AppendHeader(id3v2, 0xFFFB9064u);
    ASSERT_EQ(id3v2.size(), 10u + 2048u);
    id3v2.insert(id3v2.end(), stream.begin(), stream.end());
    EXPECT_EQ(Pcm(Convert(id3v2)), clean) << "ID3v2 tag in front";

    Bytes id3v1 = stream;
    Bytes tag = {'T', 'A', 'G'};
    tag.resize(128, 'a');
    id3v1.insert(id3v1.end(), tag.begin(), tag.end());
    Outcome with_id3v1 = Convert(id3v1);
    EXPECT_EQ(with_id3v1.result, 0);
    EXPECT_EQ(Pcm(with_id3v1), clean) << "ID3v1 tag at the end";

    Bytes ape = stream;
    std::string footer = "APETAGEX";
    Bytes ape_tag(footer.begin(), footer.end());
    ape_tag.resize(32 + 200, 0xFF); // an APE tag whose items are all 0xFF
    ape.insert(ape.end(), ape_tag.begin(), ape_tag.end());
    ape.insert(ape.end(), tag.begin(), tag.end());
    Outcome with_ape = Convert(ape);
    EXPECT_EQ(with_ape.result, 0);
    EXPECT_GE(Pcm(with_ape).size(), clean.size()) << "all the audio is still there";
}

TEST_F(DamagedInput, JunkAndFormatChangesInMidStreamAreSafe) {
    Bytes stereo = Vector("l3-hecommon.bit");
    std::vector<std::size_t> starts = FrameStarts(stereo);
    std::mt19937 random(9);
    Bytes junk_between;
    for (std::size_t i = 0; i < starts.size(); ++i) {
        std::size_t end = i + 1 < starts.size() ? starts[i + 1] : stereo.size();
        junk_between.insert(junk_between.end(), stereo.begin() + starts[i], stereo.begin() + end);
        for (int j = 0; j < static_cast<int>(random() % 40); ++j)
            junk_between.push_back(static_cast<std::uint8_t>(random()));
    }
    Outcome junk = Convert(junk_between);
    EXPECT_EQ(junk.result, 0) << junk.failure;
    EXPECT_FALSE(Pcm(junk).empty());

    Bytes rate_change = stereo;
    Bytes other_rate = Vector("l3-compl.bit"); // 48 kHz after 44.1 kHz
    rate_change.insert(rate_change.end(), other_rate.begin(), other_rate.end());
    Bytes mode_change = stereo;
    Bytes mono = Vector("l3-si.bit"); // single channel after stereo
    mode_change.insert(mode_change.end(), mono.begin(), mono.end());
    Bytes layer_mix = Vector("l2-fl11.bit");
    layer_mix.insert(layer_mix.end(), stereo.begin(), stereo.end());
    for (const Bytes* mixed : {&rate_change, &mode_change, &layer_mix}) {
        Outcome o = Convert(*mixed);
        EXPECT_EQ(o.result, 0) << o.failure;
        EXPECT_FALSE(Pcm(o).empty());
    }
}

namespace {

// The loudest sample of 16-bit PCM.
int Peak(const Bytes& pcm) {
    int peak = 0;
    for (std::size_t i = 0; i + 1 < pcm.size(); i += 2)
        peak = std::max(peak, std::abs(static_cast<std::int16_t>(pcm[i] | (pcm[i + 1] << 8))));
    return peak;
}

} // namespace

TEST_F(DamagedInput, LowRatesFreeFormatAndChannelChangesDecodeWithoutNoise) {
    // The encoder files' source peaks at 0.4 of full scale and their coding
    // noise takes it to about 0.5: frames decoded as something else would
    // sound much louder, or not at all.
    for (const char* name : {"l3-mpeg25-16-joint-8k.mp3", "l3-mpeg25-vbr5-mono-11k.mp3",
                             "l3-mpeg25-32-stereo-12k.mp3", "l3-free400-stereo-44k.mp3",
                             "mode-change-stereo-first.bin", "mode-change-mono-first.bin"}) {
        SCOPED_TRACE(name);
        Bytes stream = ReadFile(std::string(SONGWELL_ENCODED_DIR) + "/" + name);
        ASSERT_FALSE(stream.empty());
        Outcome o = Convert(stream);
        EXPECT_TRUE(o.opened) << o.reason;
        EXPECT_EQ(o.result, 0) << o.failure;
        EXPECT_GT(Peak(Pcm(o)), 32768 / 10);
        EXPECT_LT(Peak(Pcm(o)), 32768 * 6 / 10);
    }

    // Free-format frames whose bodies are junk: a stream, decoded safely.
    Bytes free_format;
    for (int i = 0; i < 10; ++i)
        AppendFrame(free_format, {.bitrate_index = 0}, 417, 3);
    Outcome o = Convert(free_format);
    EXPECT_TRUE(o.opened) << o.reason;
    EXPECT_EQ(o.result, 0) << o.failure;
}

namespace {

// Overwrites `width` bits at bit `at` of `bytes`, most significant first.
void PutBits(Bytes& bytes, std::size_t at, int width, std::uint32_t value) {
    for (int i = 0; i < width; ++i, ++at) {
        std::uint8_t mask = static_cast<std::uint8_t>(0x80 >> (at % 8));
        if ((value >> (width - 1 - i)) & 1)
            bytes[at / 8] |= mask;
        else
            bytes[at / 8] &= static_cast<std::uint8_t>(~mask);
    }
}

} // namespace

TEST_F(DamagedInput, ExtremeSideInformationStaysInsideTheDecoder) {
    // l3-compl: MPEG-1 single channel without CRC. Its side information
    // starts right after the header: main_data_begin 9 bits, private 5,
    // scfsi 4, then per granule part2_3_length 12 and big_values 9.
    Bytes stream = Vector("l3-compl.bit");
    std::vector<std::size_t> starts = FrameStarts(stream);
    struct Extreme {
        std::uint32_t part2_3_length, big_values, main_data_begin;
    };
    for (Extreme e : {Extreme{4095, 511, 511}, Extreme{4095, 288, 0}, Extreme{0, 511, 0},
                      Extreme{4095, 0, 511}}) {
        Bytes damaged = stream;
        for (std::size_t i = 0; i < starts.size(); i += 2) {
            std::size_t side = (starts[i] + 4) * 8;
            PutBits(damaged, side, 9, e.main_data_begin);
            for (int granule = 0; granule < 2; ++granule) {
                std::size_t g = side + 18 + granule * 59;
                PutBits(damaged, g, 12, e.part2_3_length);
                PutBits(damaged, g + 12, 9, e.big_values);
            }
        }
        Outcome o = Convert(damaged);
        EXPECT_TRUE(o.opened);
        EXPECT_EQ(o.result, 0) << o.failure;
    }
}

TEST_F(DamagedInput, ForbiddenLayer2AllocationsAreSafe) {
    // All-ones allocation fields select classes beyond every table.
    Bytes stream = Vector("l2-fl11.bit");
    for (std::size_t start : FrameStarts(stream))
        for (std::size_t i = start + 4; i < start + 4 + 20 && i < stream.size(); ++i)
            stream[i] = 0xFF;
    Outcome o = Convert(stream);
    EXPECT_TRUE(o.opened);
    EXPECT_EQ(o.result, 0) << o.failure;
}

TEST_F(DamagedInput, RandomBitFlipsNeverBreakTheDecoder) {
    std::mt19937 random(21);
    for (const char* name : {"l3-hecommon.bit", "M2L3_compl24.bit", "l2-fl14.bit", "l1-fl5.bit"}) {
        Bytes clean = Vector(name);
        for (int round = 0; round < 8; ++round) {
            Bytes damaged = clean;
            for (int flip = 0; flip < 200; ++flip)
                damaged[random() % damaged.size()] ^=
                    static_cast<std::uint8_t>(1u << (random() % 8));
            Outcome o = Convert(damaged, round == 0);
            if (o.opened) {
                EXPECT_EQ(o.result, 0) << name << ": " << o.failure;
            }
        }
    }
}

namespace {

// A file of `size` bytes that holds `bytes` and then a hole: sparse, so a
// 3 GiB file costs no disk.
void WriteSparse(const std::string& path, const Bytes& bytes, std::uint64_t size) {
    WriteFile(path, bytes);
    ASSERT_EQ(truncate(path.c_str(), static_cast<off_t>(size)), 0);
}

// 8 kHz MPEG 2.5 Layer III at 8 kbit/s, single channel: 72-byte frames of
// 576 samples, the longest time a byte can claim.
constexpr std::uint8_t kLowRateHeader[4] = {0xFF, 0xE3, 0x18, 0xC0};

Bytes LowRateFrames(int count, std::uint32_t claimed_frames) {
    Bytes bytes;
    for (int f = 0; f < count; ++f) {
        bytes.insert(bytes.end(), kLowRateHeader, kLowRateHeader + 4);
        bytes.resize(bytes.size() + 68, 0);
    }
    if (claimed_frames > 0) {
        // A Xing block after the 9 bytes of side information of frame 0.
        std::uint8_t* xing = bytes.data() + 4 + 9;
        std::memcpy(xing, "Xing\0\0\0\1", 8);
        for (int i = 0; i < 4; ++i)
            xing[8 + i] = static_cast<std::uint8_t>(claimed_frames >> (24 - 8 * i));
    }
    return bytes;
}

} // namespace

TEST_F(DamagedInput, FilesBeyondTwoGibibytesSaturateTheirTimesAndSeekSafely) {
    constexpr std::uint64_t kSize = 3ull << 30;
    TempDir dir;
    const std::string huge = dir.File("huge.mp3");
    // 40 million frames claimed: 2,880,000,000 ms, past what an int holds.
    WriteSparse(huge, LowRateFrames(11, 40'000'000), kSize);
    auto start = std::chrono::steady_clock::now();

    ControlEngine engine({});
    ASSERT_EQ(engine.OpenSourceFile(huge), OpenResult::Opened);
    EXPECT_EQ(engine.GetFrameCount(), 40'000'000);
    EXPECT_EQ(engine.GetLength(), INT_MAX) << "saturated, not wrapped";
    ProgramResult info = RunProgram(BinPath("audiocore"), {"info", huge});
    EXPECT_EQ(info.exit_code, 0);
    EXPECT_NE(info.out.find("length_ms: 2880000000\n"), std::string::npos) << info.out;

    // The frames the header claims are not there: a seek into the hole is a
    // seek past the end, found by a walk through 3 GiB of zeros.
    engine.SetPosition(1'000'000);
    EXPECT_EQ(engine.WriteWAV(dir.File("hole.wav")), -1);
    EXPECT_FALSE(fs::exists(dir.File("hole.wav")));

    // Without the claim, the count is what is there: the ten audio frames,
    // the last of which the hole leaves unconfirmed.
    const std::string plain = dir.File("plain.mp3");
    WriteSparse(plain, LowRateFrames(10, 0), kSize);
    ASSERT_EQ(engine.OpenSourceFile(plain), OpenResult::Opened);
    EXPECT_EQ(engine.GetFrameCount(), 9);
    EXPECT_EQ(engine.WriteWAV(dir.File("plain.wav")), 0);
    EXPECT_EQ(ReadFile(dir.File("plain.wav")).size(), 46u + 9 * 576 * 2);
    EXPECT_LT(std::chrono::steady_clock::now() - start, kTimeBound);
}
