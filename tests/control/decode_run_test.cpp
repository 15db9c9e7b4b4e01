#include "DecodeRun.h"
#include "TestSupport.h"
#include "WriteWav.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace audiocore;
using namespace testsupport;

namespace {

std::uint32_t Le32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t{b[at + 3]} << 24);
}

std::string Vector(const std::string& name) {
    return SharedPath("vectors/" + name + ".bit");
}

void Open(DecodeJob& job, const std::string& path) {
    ASSERT_EQ(job.decoder.Open(path), OpenResult::Opened) << path;
}

// Frames a run went through, counted by the progress notices.
struct FrameLog {
    std::vector<int> frames;
    RunProgress For(const DecodeJob& job) {
        return [this, &job] { frames.push_back(job.decoder.Position()); };
    }
};

} // namespace

TEST(WriteWav, ConvertsWholeFramesFromTheFirstFrameToTheEnd) {
    struct Case {
        const char* vector;
        std::uint16_t channels;
        std::uint32_t rate;
        std::uint32_t frame_bytes;
    };
    const Case cases[] = {
        {"l1-fl1", 2, 32000, 1536},      {"l1-fl4", 1, 32000, 768},
        {"l2-fl11", 2, 44100, 4608},     {"l2-fl13", 1, 32000, 2304},
        {"l2-fl14", 2, 48000, 4608},     {"l3-hecommon", 2, 44100, 4608},
        {"l3-compl", 1, 48000, 2304},    {"M2L3_compl24", 1, 24000, 1152},
        {"l3-sin1k0db", 2, 44100, 4608}, {"l3-nonstandard-id3v2", 1, 48000, 2304},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.vector);
        DecodeJob job;
        Open(job, Vector(c.vector));
        FrameLog log;
        const std::string wav = dir.File(std::string(c.vector) + ".wav");
        std::string failure;
        ASSERT_EQ(WriteWav(job, wav, log.For(job), &failure), 0) << failure;

        // One notice per frame, each with the position one frame further
        // on, up to the last frame.
        ASSERT_FALSE(log.frames.empty());
        const int last = static_cast<int>(log.frames.size()) - 1;
        for (int i = 0; i < last; ++i)
            ASSERT_EQ(log.frames[static_cast<std::size_t>(i)], i + 1);
        EXPECT_EQ(log.frames.back(), last);

        std::vector<std::uint8_t> file = ReadFile(wav);
        ASSERT_GE(file.size(), 46u);
        EXPECT_EQ(file[22] | (file[23] << 8), c.channels);
        EXPECT_EQ(Le32(file, 24), c.rate);
        EXPECT_EQ(Le32(file, 4), file.size() - 8);
        const std::uint32_t data = Le32(file, 42);
        EXPECT_EQ(data, file.size() - 46);
        EXPECT_EQ(data % c.frame_bytes, 0u);
        // Every frame gives a frame of samples, except Layer III frames at the
        // start whose main data began in frames before the stream's first.
        const std::size_t frames = log.frames.size();
        EXPECT_LE(data / c.frame_bytes, frames);
        EXPECT_GE(data / c.frame_bytes + 3, frames);
    }
}

TEST(WriteWav, RefusesWhatCannotBeConvertedAndLeavesNoFile) {
    TempDir dir;
    WriteFile(dir.File("noise.mp3"), std::vector<std::uint8_t>(5000, 0x55));
    std::filesystem::copy_file(Vector("l2-fl10"), dir.File("song.mp3"));
    const std::vector<std::uint8_t> song = ReadFile(dir.File("song.mp3"));

    struct Case {
        const char* name;
        const char* source; // null: no file opened
        std::string output;
        const char* failure;
    };
    const Case cases[] = {
        {"no source", nullptr, dir.File("a.wav"), "no source file is open"},
        // A file that did not open leaves nothing open to convert.
        {"source without frames", "noise.mp3", dir.File("b.wav"), "no source file is open"},
        {"output is the source", "song.mp3", dir.File("song.mp3"), "is the source file itself"},
        {"output folder missing", "song.mp3", dir.File("none/c.wav"),
         "cannot create the WAV file: No such file or directory"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DecodeJob job;
        if (c.source)
            job.decoder.Open(dir.File(c.source));
        std::string failure;
        testing::internal::CaptureStderr();
        EXPECT_EQ(WriteWav(job, c.output, {}, &failure), -1);
        testing::internal::GetCapturedStderr();
        EXPECT_EQ(failure, c.failure);
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("a.wav")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("b.wav")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("none")));
    EXPECT_EQ(ReadFile(dir.File("song.mp3")), song);
}

TEST(RunDecode, AStopRequestedBeforeTheRunEndsItAtOnceAndKeepsTheTarget) {
    TempDir dir;
    DecodeJob job;
    Open(job, Vector("l3-hecommon"));
    job.output_mode = OutputMode::WavFile;
    job.wav_name = dir.File("stopped.wav");
    WriteFile(job.wav_name, {'o', 'l', 'd'});
    job.stop_requested = true;
    FrameLog log;
    EXPECT_EQ(RunDecode(job, log.For(job)), 0);
    EXPECT_TRUE(log.frames.empty());
    // A stopped conversion is no whole file: the target stays as it was.
    EXPECT_EQ(ReadFile(job.wav_name), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
    // The stream stays at the frame where the stop took effect.
    EXPECT_EQ(job.decoder.Position(), 0);
}

TEST(RunDecode, AConversionThatCannotSeekWritesNoFile) {
    TempDir dir;
    DecodeJob job;
    Open(job, Vector("l2-fl11"));
    job.output_mode = OutputMode::WavFile;
    job.wav_name = dir.File("seek.wav");
    for (int target : {100000, 49, -1}) {
        job.seek_target = target;
        job.seek_requested = true;
        std::string failure;
        EXPECT_EQ(RunDecode(job, {}, &failure), 1);
        EXPECT_EQ(failure, target < 0 ? "cannot seek to frame -1"
                                      : "frame " + std::to_string(target) +
                                            " is past the end of the stream");
        EXPECT_FALSE(std::filesystem::exists(job.wav_name)) << target;
    }
}

TEST(RunDecode, ASeekRequestedBeforeTheRunSkipsTheFramesBeforeIt) {
    TempDir dir;
    DecodeJob job;
    Open(job, Vector("l2-fl10"));
    job.output_mode = OutputMode::WavFile;
    job.wav_name = dir.File("seek.wav");
    job.seek_target = 40;
    job.seek_requested = true;
    FrameLog log;
    EXPECT_EQ(RunDecode(job, log.For(job)), 0);
    EXPECT_FALSE(job.seek_requested);
    ASSERT_FALSE(log.frames.empty());
    EXPECT_EQ(log.frames.back(), 48);
    // Frames 40 to 48 are written; the two before only warm the decoder up.
    EXPECT_EQ(ReadFile(job.wav_name).size(), 46u + 9 * 1152 * 4);
}

namespace {

std::vector<std::uint8_t> Converted(DecodeJob& job, const std::string& wav) {
    std::string failure;
    EXPECT_EQ(WriteWav(job, wav, {}, &failure), 0) << failure;
    std::vector<std::uint8_t> bytes = ReadFile(wav);
    return bytes.size() >= 46 ? std::vector<std::uint8_t>(bytes.begin() + 46, bytes.end())
                              : std::vector<std::uint8_t>{};
}

} // namespace

TEST(WriteWav, AConversionFromASeekTargetEqualsTheWholeConversionFromThatFrame) {
    struct Case {
        const char* vector;
        std::size_t frame_bytes;
    };
    // Layer III with a reservoir reaching back over several frames, LSF
    // Layer III, and Layers I and II.
    for (Case c : {Case{"l3-compl", 2304}, Case{"M2L3_compl24", 1152}, Case{"l3-sin1k0db", 4608},
                   Case{"l2-fl11", 4608}, Case{"l1-fl1", 1536}}) {
        SCOPED_TRACE(c.vector);
        TempDir dir;
        DecodeJob whole;
        Open(whole, Vector(c.vector));
        const std::vector<std::uint8_t> all = Converted(whole, dir.File("all.wav"));
        for (int target : {1, 2, 5, 30}) {
            DecodeJob job;
            Open(job, Vector(c.vector));
            job.seek_target = target;
            job.seek_requested = true;
            const std::vector<std::uint8_t> tail = Converted(job, dir.File("tail.wav"));
            ASSERT_LE(tail.size(), all.size());
            // Streams whose first frames cannot be decoded (their main data
            // lies before the file) give fewer frames from the start.
            const std::size_t skipped = (all.size() - tail.size()) / c.frame_bytes;
            EXPECT_LE(skipped, static_cast<std::size_t>(target)) << target;
            EXPECT_TRUE(std::equal(tail.begin(), tail.end(), all.end() - tail.size()))
                << "from frame " << target;
        }
    }
}

TEST(WriteWav, ASecondConversionAtTheEndOfTheStreamLeavesTheFirstFileAlone) {
    TempDir dir;
    DecodeJob job;
    Open(job, Vector("l2-fl11"));
    const std::string wav = dir.File("out.wav");
    const std::vector<std::uint8_t> first = Converted(job, wav);
    ASSERT_EQ(first.size(), 49u * 4608);
    std::string failure;
    EXPECT_EQ(WriteWav(job, wav, {}, &failure), -1);
    EXPECT_EQ(failure, "the stream is at its end: nothing left to convert");
    EXPECT_EQ(ReadFile(wav).size(), 46 + first.size());
    // A seek makes the stream convertible again, from its target.
    job.seek_target = 40;
    job.seek_requested = true;
    EXPECT_EQ(Converted(job, wav).size(), 9u * 4608);
}
