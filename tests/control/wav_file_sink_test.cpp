#include "FrameHeader.h"
#include "TestSupport.h"
#include "WavFileSink.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace audiocore;
using namespace testsupport;

namespace {

std::uint32_t Le32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t{b[at + 3]} << 24);
}

std::uint16_t Le16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

FrameHeader MakeHeader(int version, int layer, int sample_frequency, int mode) {
    FrameHeader h;
    h.version = version;
    h.layer = layer;
    h.sample_frequency = sample_frequency;
    h.mode = mode;
    return h;
}

// A recognisable sample for every frame, channel and position, negative ones
// included, so that byte order and interleaving both show.
std::int16_t SampleAt(int frame, int channel, int i) {
    return static_cast<std::int16_t>((frame * 7919 + channel * 4001 + i * 37) % 65536 - 32768);
}

std::vector<std::uint8_t> ExpectedHeader(std::uint16_t channels, std::uint32_t rate,
                                         std::uint32_t data_bytes) {
    std::vector<std::uint8_t> h;
    auto put = [&](std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            h.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    auto tag = [&](const char* t) {
        for (int i = 0; i < 4; ++i)
            h.push_back(static_cast<std::uint8_t>(t[i]));
    };
    tag("RIFF");
    put(data_bytes + 38, 4);
    tag("WAVE");
    tag("fmt ");
    put(18, 4);
    put(1, 2);
    put(channels, 2);
    put(rate, 4);
    put(rate * channels * 2, 4);
    put(channels * 2u, 2);
    put(16, 2);
    put(0, 2);
    tag("data");
    put(data_bytes, 4);
    return h;
}

struct Format {
    const char* name;
    int version, layer, sample_frequency, mode;
    std::uint16_t channels;
    std::uint32_t rate;
    std::uint32_t frame_bytes;
};

const Format kFormats[] = {
    {"MPEG-1 III joint stereo 44.1", 1, 3, 0, kJointStereo, 2, 44100, 4608},
    {"MPEG-1 III mono 48", 1, 3, 1, kSingleChannel, 1, 48000, 2304},
    {"MPEG-1 III stereo 32", 1, 3, 2, kStereo, 2, 32000, 4608},
    {"LSF III stereo 22.05", 0, 3, 0, kStereo, 2, 22050, 2304},
    {"LSF III mono 16", 0, 3, 2, kSingleChannel, 1, 16000, 1152},
    {"MPEG-1 I stereo 32", 1, 1, 2, kStereo, 2, 32000, 1536},
    {"MPEG-1 II dual channel 48", 1, 2, 1, kDualChannel, 2, 48000, 4608},
    {"LSF II mono 24", 0, 2, 1, kSingleChannel, 1, 24000, 2304},
};

// Far more than the writer's buffer, so sizes are patched in the file itself.
constexpr int kFrames = 40;

} // namespace

TEST(WavFileSink, WritesTheHeaderAndInterleavedSamplesOfEveryFormat) {
    TempDir dir;
    for (const Format& f : kFormats) {
        SCOPED_TRACE(f.name);
        FrameHeader header = MakeHeader(f.version, f.layer, f.sample_frequency, f.mode);
        const std::string path = dir.File(std::string(f.name) + ".wav");
        auto sink = WavFileSink::Create(header.Channels(), header.SampleRateHz(),
                                        header.SamplesPerFrame(), path);
        ASSERT_NE(sink, nullptr);
        EXPECT_EQ(sink->FrameBytes(), f.frame_bytes);

        const int per_channel = header.SamplesPerFrame();
        std::vector<std::uint8_t> expected_data;
        expected_data.resize(static_cast<std::size_t>(kFrames) * f.frame_bytes);
        for (int frame = 0; frame < kFrames; ++frame) {
            // Channel 0 one sample at a time, channel 1 in blocks of 32, as
            // the synthesizers may hand them over.
            for (int i = 0; i < per_channel; ++i)
                sink->Append(0, SampleAt(frame, 0, i));
            if (f.channels == 2) {
                for (int i = 0; i < per_channel; i += 32) {
                    std::int16_t block[32];
                    for (int k = 0; k < 32; ++k)
                        block[k] = SampleAt(frame, 1, i + k);
                    sink->AppendBlock(1, block, 32);
                }
            }
            sink->EndFrame();
            for (int i = 0; i < per_channel; ++i) {
                for (int c = 0; c < f.channels; ++c) {
                    std::size_t at = frame * f.frame_bytes + (i * f.channels + c) * 2u;
                    auto s = static_cast<std::uint16_t>(SampleAt(frame, c, i));
                    expected_data[at] = static_cast<std::uint8_t>(s);
                    expected_data[at + 1] = static_cast<std::uint8_t>(s >> 8);
                }
            }
        }
        EXPECT_TRUE(sink->Close());
        EXPECT_FALSE(sink->Failed());

        std::vector<std::uint8_t> file = ReadFile(path);
        ASSERT_EQ(file.size(), 46 + expected_data.size());
        std::vector<std::uint8_t> head(file.begin(), file.begin() + 46);
        EXPECT_EQ(head, ExpectedHeader(f.channels, f.rate,
                                       static_cast<std::uint32_t>(expected_data.size())));
        EXPECT_EQ(Le32(file, 4), file.size() - 8);
        EXPECT_EQ(Le32(file, 42), file.size() - 46);
        EXPECT_EQ(Le32(file, 42) % f.frame_bytes, 0u);
        EXPECT_TRUE(std::equal(expected_data.begin(), expected_data.end(), file.begin() + 46));
    }
}

TEST(WavFileSink, WritesEachFrameAsLongAsItsLongerChannelAndNoLongerThanAFrame) {
    TempDir dir;
    FrameHeader header = MakeHeader(1, 3, 0, kStereo);
    const std::string path = dir.File("odd.wav");
    auto sink = WavFileSink::Create(2, header.SampleRateHz(), header.SamplesPerFrame(), path);
    ASSERT_NE(sink, nullptr);
    // A short frame (the first or last of a song, cut to the song), whose
    // other channel came out shorter still, then one with too many samples
    // and channels the file does not have, which must not write outside it.
    for (int i = 0; i < 100; ++i)
        sink->Append(0, 1);
    sink->EndFrame();
    std::vector<std::int16_t> many(5000, -2);
    sink->AppendBlock(0, many.data(), many.size());
    for (int i = 0; i < 5000; ++i)
        sink->Append(1, 3);
    sink->Append(2, 9);
    sink->AppendBlock(7, many.data(), many.size());
    sink->EndFrame();
    ASSERT_TRUE(sink->Close());

    std::vector<std::uint8_t> file = ReadFile(path);
    ASSERT_EQ(file.size(), 46u + 100 * 4 + 4608);
    // The first frame's right channel is made up with silence.
    EXPECT_EQ(Le16(file, 46), 1);
    EXPECT_EQ(Le16(file, 48), 0);
    // The second frame's last slot: left -2, right 3.
    std::size_t last = file.size() - 4;
    EXPECT_EQ(static_cast<std::int16_t>(Le16(file, last)), -2);
    EXPECT_EQ(static_cast<std::int16_t>(Le16(file, last + 2)), 3);
}

TEST(WavFileSink, AFileThatCannotBeCreatedIsReportedAndLeavesNothing) {
    TempDir dir;
    std::filesystem::create_directory(dir.File("folder"));
    struct Case {
        const char* name;
        std::string path;
    };
    const Case cases[] = {
        {"missing folder", dir.File("missing/out.wav")},
        {"path is a folder", dir.File("folder")},
        {"parent is a file", dir.File("plain/out.wav")},
    };
    WriteFile(dir.File("plain"), {1, 2, 3});
    FrameHeader header = MakeHeader(1, 3, 0, kStereo);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int error = 0;
        testing::internal::CaptureStderr();
        auto sink =
            WavFileSink::Create(2, header.SampleRateHz(), header.SamplesPerFrame(), c.path, &error);
        std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(sink, nullptr);
        EXPECT_NE(error, 0);
        EXPECT_EQ(err, "could not open file : " + c.path + "\n");
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("missing")));
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("folder")));
    EXPECT_EQ(ReadFile(dir.File("plain")), (std::vector<std::uint8_t>{1, 2, 3}));
}

TEST(WavFileSink, AFileThatCannotBeWrittenIsReportedOnceAndLeavesNothing) {
    TempDir dir;
    const std::string path = dir.File("limited.wav");
    FrameHeader header = MakeHeader(1, 3, 0, kStereo);

    // A file size limit makes the writes fail part way, as a full disk would.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 200 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);

    testing::internal::CaptureStderr();
    auto sink = WavFileSink::Create(2, header.SampleRateHz(), header.SamplesPerFrame(), path);
    bool created = sink != nullptr;
    int frames = 0;
    const std::vector<std::int16_t> frame(1152, 5);
    auto store_frame = [&] {
        sink->AppendBlock(0, frame.data(), frame.size());
        sink->AppendBlock(1, frame.data(), frame.size());
        sink->EndFrame();
    };
    while (created && !sink->Failed() && frames < 1000) {
        store_frame();
        ++frames;
    }
    for (int i = 0; i < 3 && created; ++i)
        store_frame(); // a failed sink stays quiet
    bool closed = created && sink->Close();
    std::string err = testing::internal::GetCapturedStderr();

    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, old_handler);

    ASSERT_TRUE(created);
    EXPECT_LT(frames, 1000);
    EXPECT_TRUE(sink->Failed());
    EXPECT_EQ(sink->Error(), EFBIG);
    EXPECT_FALSE(closed);
    EXPECT_EQ(err, "mmioAdvance() failed!\n");
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(WavFileSink, AFailedDeviceOutputIsNeverRemoved) {
    const std::string full = "/dev/full";
    struct stat info {};
    if (stat(full.c_str(), &info) != 0 || !S_ISCHR(info.st_mode))
        GTEST_SKIP() << "no /dev/full here";
    FrameHeader header = MakeHeader(1, 3, 0, kStereo);
    testing::internal::CaptureStderr();
    auto sink = WavFileSink::Create(2, header.SampleRateHz(), header.SamplesPerFrame(), full);
    ASSERT_NE(sink, nullptr);
    for (int i = 0; i < 40 && !sink->Failed(); ++i)
        sink->EndFrame();
    EXPECT_FALSE(sink->Close());
    testing::internal::GetCapturedStderr();
    ASSERT_EQ(stat(full.c_str(), &info), 0);
    EXPECT_TRUE(S_ISCHR(info.st_mode));
}

// What the folder holds besides the names given: a temporary file left
// behind shows here.
std::vector<std::string> OtherFiles(const TempDir& dir, const std::vector<std::string>& known) {
    std::vector<std::string> others;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        const std::string name = entry.path().filename().string();
        if (std::find(known.begin(), known.end(), name) == known.end())
            others.push_back(name);
    }
    return others;
}

TEST(WavFileSink, TheTargetIsReplacedOnlyByAWholeFileAndALinkStays) {
    FrameHeader header = MakeHeader(1, 3, 0, kStereo);
    const std::vector<std::uint8_t> old_bytes = {'o', 'l', 'd'};
    enum class End { Complete, Stopped, Discarded };
    struct Case {
        const char* name;
        bool through_link;
        End end;
    };
    const Case cases[] = {
        {"complete", false, End::Complete},
        {"stopped", false, End::Stopped},
        {"failed", false, End::Discarded},
        {"complete through a link", true, End::Complete},
        {"stopped through a link", true, End::Stopped},
        {"failed through a link", true, End::Discarded},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        WriteFile(dir.File("song.wav"), old_bytes);
        chmod(dir.File("song.wav").c_str(), 0640);
        std::filesystem::create_symlink("song.wav", dir.File("link.wav"));
        const std::string target = dir.File(c.through_link ? "link.wav" : "song.wav");

        auto sink = WavFileSink::Create(2, header.SampleRateHz(), header.SamplesPerFrame(), target);
        ASSERT_NE(sink, nullptr);
        const std::vector<std::int16_t> frame(1152, 7);
        for (int i = 0; i < kFrames; ++i) {
            sink->AppendBlock(0, frame.data(), frame.size());
            sink->AppendBlock(1, frame.data(), frame.size());
            sink->EndFrame();
        }
        // Until it is closed the old file is what readers see.
        EXPECT_EQ(ReadFile(dir.File("song.wav")), old_bytes);
        if (c.end == End::Stopped)
            sink->Stop();
        if (c.end == End::Discarded)
            sink->Discard();
        EXPECT_EQ(sink->Close(), c.end != End::Discarded);

        const std::vector<std::uint8_t> now = ReadFile(dir.File("song.wav"));
        if (c.end == End::Complete) {
            ASSERT_EQ(now.size(), 46u + kFrames * 4608u);
            EXPECT_EQ(Le32(now, 4), now.size() - 8);
            struct stat info {};
            ASSERT_EQ(stat(dir.File("song.wav").c_str(), &info), 0);
            EXPECT_EQ(info.st_mode & 0777, 0640u); // the old file's permissions
        } else {
            EXPECT_EQ(now, old_bytes);
        }
        EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link.wav")));
        EXPECT_EQ(OtherFiles(dir, {"song.wav", "link.wav"}), std::vector<std::string>{});
    }
}

TEST(WavFileSink, AFileTheUserMayNotWriteIsNotReplaced) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root may write every file";
    TempDir dir;
    WriteFile(dir.File("locked.wav"), {'o', 'l', 'd'});
    chmod(dir.File("locked.wav").c_str(), 0444);
    testing::internal::CaptureStderr();
    auto sink = WavFileSink::Create(2, 44100, 1152, dir.File("locked.wav"));
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(sink, nullptr);
    EXPECT_EQ(ReadFile(dir.File("locked.wav")), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
}
