// One whole file through the real SDL path, into SDL's disk audio driver: what
// reached the device must be exactly what the converter writes, and playing
// must take the file's duration.

#include "ControlEngine.h"
#include "DeviceHandle.h"
#include "FrameHeader.h"
#include "TestSupport.h"
#include "WaveOutSink.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>

using namespace audiocore;
using testsupport::ReadFile;
using testsupport::SharedPath;

namespace {

// SDL's disk driver paces itself by sleeping after every chunk it writes, so
// on a busy machine (a sanitizer build, other tests beside it) the time lost
// on each chunk adds up: playing never takes less than the file's duration,
// and seldom much more. A run at decoding speed, or one played twice, would
// be far outside.
constexpr double kSlowerAtMost = 0.25;

std::vector<std::uint8_t> WavPcm(const std::string& path) {
    std::vector<std::uint8_t> bytes = ReadFile(path);
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        std::uint32_t size;
        std::memcpy(&size, bytes.data() + at + 4, 4);
        if (std::memcmp(bytes.data() + at, "data", 4) == 0)
            return std::vector<std::uint8_t>(bytes.begin() + static_cast<long>(at) + 8,
                                             bytes.begin() + static_cast<long>(at + 8 + size));
        at += 8 + size + (size & 1);
    }
    return {};
}

// Offset of the first sample frame (4 bytes) that is not silence.
std::size_t FirstSound(const std::vector<std::uint8_t>& pcm) {
    for (std::size_t at = 0; at + 4 <= pcm.size(); at += 4)
        if (pcm[at] | pcm[at + 1] | pcm[at + 2] | pcm[at + 3])
            return at;
    return pcm.size();
}

TEST(PlaybackThroughSdl, TheDiskDriverReceivesTheConvertedSamplesInTheFilesDuration) {
    testsupport::TempDir dir;
    // Two copies of a full-scale sine, 16.6 s: long enough that opening the
    // device and the silence that ends the last buffer count for little.
    const std::vector<std::uint8_t> once = ReadFile(SharedPath("vectors/l3-sin1k0db.bit"));
    std::vector<std::uint8_t> twice = once;
    twice.insert(twice.end(), once.begin(), once.end());
    const std::string source = dir.File("sine.mp3");
    testsupport::WriteFile(source, twice);
    const std::string disk = dir.File("device.raw");
    setenv("AUDIOCORE_OUTPUT", "sdl", 1);
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", disk.c_str(), 1);

    const std::string reference_wav = dir.File("reference.wav");
    const std::string command =
        testsupport::BinPath("audiocore") + " convert '" + source + "' '" + reference_wav + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::vector<std::uint8_t> reference = WavPcm(reference_wav);
    ASSERT_FALSE(reference.empty());

    std::mutex mutex;
    std::condition_variable ended;
    ControlEngine::RunNumber ended_run = 0;
    int ended_how = -1;
    ControlEngine engine([&](ControlEngine::RunNumber run, int how) {
        std::lock_guard lock(mutex);
        ended_run = run;
        ended_how = how;
        ended.notify_all();
    });
    ASSERT_EQ(engine.OpenSourceFile(source), OpenResult::Opened);
    // The duration of the audio the file holds, as the converter decoded it.
    const double length_ms = static_cast<double>(reference.size()) / 4 / 44.1;

    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(engine.Play(), 0);
    {
        std::unique_lock lock(mutex);
        ASSERT_TRUE(ended.wait_for(lock, std::chrono::seconds(60), [&] { return ended_run != 0; }));
    }
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
                          std::chrono::steady_clock::now() - started)
                          .count();
    EXPECT_TRUE(engine.CompleteRun(ended_run));
    EXPECT_EQ(ended_how, 0);
    EXPECT_FALSE(engine.IsPlaying());
    // The run ends once the device has played out its last pulls of about
    // 100 ms, which the disk driver paces like real time.
    constexpr double kDrainMs = 500;
    EXPECT_GE(static_cast<double>(took), length_ms - kDrainMs);
    EXPECT_LE(static_cast<double>(took), length_ms * (1 + kSlowerAtMost) + kDrainMs);

    // The device ran silent before the first buffer and after the last one.
    const std::vector<std::uint8_t> heard = ReadFile(disk);
    const std::size_t lead = FirstSound(heard);
    const std::size_t reference_lead = FirstSound(reference);
    ASSERT_GE(lead, reference_lead);
    const std::size_t offset = lead - reference_lead;
    ASSERT_GE(heard.size(), offset + reference.size());
    EXPECT_TRUE(
        std::equal(reference.begin(), reference.end(), heard.begin() + static_cast<long>(offset)));
    EXPECT_TRUE(std::all_of(heard.begin() + static_cast<long>(offset + reference.size()),
                            heard.end(), [](std::uint8_t b) { return b == 0; }));
}

TEST(PlaybackThroughSdl, NumberedDevicesAndTheVolumeOfEachSide) {
    testsupport::TempDir dir;
    setenv("AUDIOCORE_OUTPUT", "sdl", 1);
    setenv("SDL_AUDIODRIVER", "disk", 1);
    FrameHeader header;
    header.layer = 1;
    header.mode = kStereo;
    const int devices = static_cast<int>(ListOutputDevices().size());
    ASSERT_GE(devices, 1);
    struct Case {
        int output_dev_id;
        std::uint32_t volume; // as the control sets it while playing
        bool opens;
    };
    const Case cases[] = {
        {0, 0xFFFFFFFF, true},
        {devices, 0x4000FFFF, true}, // the last listed device; right at a quarter
        {devices + 1, 0xFFFFFFFF, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.output_dev_id);
        const std::string disk = dir.File("device" + std::to_string(c.output_dev_id) + ".raw");
        setenv("SDL_DISKAUDIOFILE", disk.c_str(), 1);
        DeviceHandle device;
        testing::internal::CaptureStderr();
        {
            WaveOutSink sink(header.Channels(), header.SampleRateHz(), header.SamplesPerFrame(),
                             device, c.output_dev_id, 0xFFFF);
            std::string said = testing::internal::GetCapturedStderr();
            ASSERT_EQ(sink.IsOpen(), c.opens);
            if (!c.opens) {
                EXPECT_EQ(said, "\nCould not open wave device.\n");
                continue;
            }
            device.SetVolume(c.volume);
            std::vector<std::int16_t> left(384, 8000), right(384, -8000);
            for (int n = 0; n < 10; ++n) {
                sink.AppendBlock(0, left.data(), left.size());
                sink.AppendBlock(1, right.data(), right.size());
                sink.EndFrame();
            }
        }
        const std::vector<std::uint8_t> heard = ReadFile(disk);
        const std::size_t first = FirstSound(heard);
        ASSERT_LT(first + 4, heard.size());
        std::int16_t pair[2];
        std::memcpy(pair, heard.data() + first, 4);
        EXPECT_EQ(pair[0], ApplyVolume(8000, c.volume & 0xFFFF));
        EXPECT_EQ(pair[1], ApplyVolume(-8000, c.volume >> 16));
    }
}

TEST(PlaybackThroughSdl, EachSongOfABufferPlaysWithItsOwnGainAndTheVolume) {
    // Two songs of ten frames in one device buffer: the first at half, the
    // next at a quarter, both at a volume of one half, scaled once.
    testsupport::TempDir dir;
    setenv("AUDIOCORE_OUTPUT", "sdl", 1);
    setenv("SDL_AUDIODRIVER", "disk", 1);
    const std::string disk = dir.File("device.raw");
    setenv("SDL_DISKAUDIOFILE", disk.c_str(), 1);
    FrameHeader header;
    header.layer = 1;
    header.mode = kStereo;
    constexpr int kFrames = 10;
    const std::uint32_t half = kUnityGain / 2;
    {
        DeviceHandle device;
        WaveOutSink sink(header.Channels(), header.SampleRateHz(), header.SamplesPerFrame(), device,
                         0, 0x8000, nullptr, half);
        ASSERT_TRUE(sink.IsOpen());
        const std::vector<std::int16_t> samples(384, 8000);
        for (int n = 0; n < 2 * kFrames; ++n) {
            if (n == kFrames)
                sink.SetGain(half / 2);
            sink.AppendBlock(0, samples.data(), samples.size());
            sink.AppendBlock(1, samples.data(), samples.size());
            sink.EndFrame();
        }
    }
    const std::vector<std::uint8_t> bytes = ReadFile(disk);
    const std::size_t first = FirstSound(bytes);
    std::vector<std::int16_t> heard((bytes.size() - first) / 2);
    std::memcpy(heard.data(), bytes.data() + first, heard.size() * 2);
    const std::size_t song = kFrames * 384 * 2;
    ASSERT_GE(heard.size(), 2 * song);
    const std::int16_t first_song = ApplyVolume(8000, 0x8000, half);
    const std::int16_t next_song = ApplyVolume(8000, 0x8000, half / 2);
    EXPECT_EQ(first_song, 2000);
    EXPECT_EQ(next_song, 1000);
    EXPECT_TRUE(std::all_of(heard.begin(), heard.begin() + song,
                            [&](std::int16_t s) { return s == first_song; }));
    EXPECT_TRUE(std::all_of(heard.begin() + song, heard.begin() + 2 * song,
                            [&](std::int16_t s) { return s == next_song; }));
}

} // namespace
