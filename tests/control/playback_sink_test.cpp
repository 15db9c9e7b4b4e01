// The device sink's ring, start-up, pacing, seek and end, played on the null
// device at a multiple of real time.

#include "DeviceHandle.h"
#include "FrameHeader.h"
#include "NullDeviceLog.h"
#include "WaveOutSink.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

using namespace audiocore;
using testsupport::ClearNullDeviceLog;
using testsupport::NullDeviceLog;
using testsupport::NullDeviceSnapshot;

namespace {

constexpr int kSamplesPerFrame = 384; // Layer I keeps the buffers short
constexpr int kFrameBytes = kSamplesPerFrame * 2 * 2;
constexpr std::uint32_t kBufferBytes = 32 * kFrameBytes;

FrameHeader LayerOneStereo() {
    FrameHeader header;
    header.layer = 1;
    header.version = 1;
    header.sample_frequency = 0;
    header.mode = kStereo;
    return header;
}

// Frame n carries n + 1 in every left sample and -(n + 1) in every right one.
void FeedFrame(WaveOutSink& sink, int n) {
    std::vector<std::int16_t> left(kSamplesPerFrame, static_cast<std::int16_t>(n + 1));
    std::vector<std::int16_t> right(kSamplesPerFrame, static_cast<std::int16_t>(-(n + 1)));
    sink.AppendBlock(0, left.data(), left.size());
    sink.AppendBlock(1, right.data(), right.size());
    sink.EndFrame();
}

// The frame marks of the played bytes, one per frame; 0 for silence, -1 for a
// frame whose samples disagree (a torn or misplaced frame).
std::vector<int> PlayedFrames(const std::vector<std::uint8_t>& played) {
    std::vector<int> marks;
    for (std::size_t at = 0; at + kFrameBytes <= played.size(); at += kFrameBytes) {
        std::vector<std::int16_t> pcm(kFrameBytes / 2);
        std::memcpy(pcm.data(), played.data() + at, kFrameBytes);
        int mark = pcm[0];
        for (std::size_t i = 0; i < pcm.size(); i += 2)
            if (pcm[i] != mark || pcm[i + 1] != -mark)
                mark = -1;
        marks.push_back(mark);
    }
    return marks;
}

// The played samples as runs of one frame mark: {mark, sample frames}.
struct PcmRun {
    int mark;
    int samples;
    bool operator==(const PcmRun&) const = default;
};

std::vector<PcmRun> SampleRuns(const std::vector<std::uint8_t>& played) {
    std::vector<PcmRun> runs;
    for (std::size_t at = 0; at + 4 <= played.size(); at += 4) {
        std::int16_t pair[2];
        std::memcpy(pair, played.data() + at, 4);
        int mark = pair[0] == -pair[1] ? pair[0] : -1;
        if (runs.empty() || runs.back().mark != mark)
            runs.push_back({mark, 0});
        ++runs.back().samples;
    }
    return runs;
}

// After a cut the sound fades out over 5 ms, and the new position fades in
// over as long: 220 sample frames at 44.1 kHz.
constexpr int kFadeFrames = 220;

// The runs a frame marked `mark` starts with after a seek: it rises from
// silence one step per sample frame, then holds.
std::vector<PcmRun> FadingIn(int mark) {
    std::vector<PcmRun> runs;
    for (int k = 0; k < kFadeFrames; ++k)
        runs.push_back({mark * k / kFadeFrames, 1});
    runs.push_back({mark, kSamplesPerFrame - kFadeFrames});
    return runs;
}

std::vector<int> Range(int first, int count) {
    std::vector<int> marks;
    for (int i = 0; i < count; ++i)
        marks.push_back(first + i);
    return marks;
}

class PlaybackSink : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("AUDIOCORE_OUTPUT", "null", 1);
        setenv("AUDIOCORE_NULL_SPEED", "20", 1);
        ClearNullDeviceLog();
    }
    DeviceHandle device;
};

TEST_F(PlaybackSink, PlaysWholeFilesWithTheLastBufferPaddedWithSilence) {
    struct Case {
        int frames;
        std::size_t writes_before_end; // hand-overs while decoding
        std::size_t writes_total;
    };
    const Case cases[] = {
        {10, 0, 1},  // never starts: one padded buffer at the end
        {32, 0, 1},  // one full buffer held back, written at the end
        {64, 2, 2},  // starts with two buffers, nothing more at the end
        {65, 2, 3},  // one frame spills into a third, padded buffer
        {150, 4, 5}, // steady state, then a padded tail
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.frames);
        ClearNullDeviceLog();
        {
            FrameHeader header = LayerOneStereo();
            WaveOutSink sink(header.Channels(), header.SampleRateHz(), header.SamplesPerFrame(),
                             device, 0, 0xFFFF);
            ASSERT_TRUE(sink.IsOpen());
            EXPECT_EQ(sink.BufferBytes(), kBufferBytes);
            for (int n = 0; n < c.frames; ++n)
                FeedFrame(sink, n);
            EXPECT_EQ(NullDeviceSnapshot().write_lengths.size(), c.writes_before_end);
        }
        NullDeviceLog log = NullDeviceSnapshot();
        EXPECT_EQ(log.write_lengths, std::vector<std::uint32_t>(c.writes_total, kBufferBytes));
        // The sink returns only once every buffer has played out.
        ASSERT_EQ(log.played.size(), c.writes_total * kBufferBytes);
        std::vector<int> expected = Range(1, c.frames);
        expected.resize(c.writes_total * 32, 0);
        EXPECT_EQ(PlayedFrames(log.played), expected);
        EXPECT_EQ(log.closes, 1);
        EXPECT_EQ(log.resets, 0);
    }
}

TEST_F(PlaybackSink, EveryReturnedBufferIsTakenExactlyOnceAndTheDecoderStaysOneBufferAhead) {
    FrameHeader header = LayerOneStereo();
    auto sink = std::make_unique<WaveOutSink>(header.Channels(), header.SampleRateHz(),
                                              header.SamplesPerFrame(), device, 0, 0xFFFF);
    for (int n = 0; n < 32 * 8; ++n) {
        FeedFrame(*sink, n);
        NullDeviceLog log = NullDeviceSnapshot();
        const std::size_t at_device = log.write_lengths.size() - log.played.size() / kBufferBytes;
        // Two queued at most while the third fills.
        EXPECT_LE(at_device, 2u) << "frame " << n;
        EXPECT_GE(sink->UntakenCompletions(), 0);
        // At most the two queued buffers have come back untaken.
        EXPECT_LE(sink->UntakenCompletions(), 2);
    }
    sink.reset();
    EXPECT_EQ(NullDeviceSnapshot().played.size(), 8 * kBufferBytes);
}

TEST_F(PlaybackSink, StopDiscardsQueuedAudioAtOnceWhileANaturalEndPlaysItOut) {
    FrameHeader header = LayerOneStereo();
    {
        WaveOutSink sink(header.Channels(), header.SampleRateHz(), header.SamplesPerFrame(), device,
                         0, 0xFFFF);
        for (int n = 0; n < 96; ++n)
            FeedFrame(sink, n);
        sink.Stop();
    }
    NullDeviceLog log = NullDeviceSnapshot();
    EXPECT_EQ(log.resets, 1);
    EXPECT_EQ(log.closes, 1);
    // Three buffers were handed over; at 20 times real time the device had
    // barely begun, and after the stop only a fade's length of what was
    // queued sounded on, fading out.
    EXPECT_LT(log.played.size(), 2 * kBufferBytes);
    constexpr std::size_t kFadeBytes = kFadeFrames * 4;
    ASSERT_GE(log.played.size(), kFadeBytes);
    std::vector<int> heard = PlayedFrames(std::vector<std::uint8_t>(
        log.played.begin(), log.played.end() - static_cast<long>(kFadeBytes)));
    EXPECT_EQ(heard, Range(1, static_cast<int>(heard.size())));
}

TEST_F(PlaybackSink, ASeekDropsQueuedAudioAndTheNewPositionStartsAfterTwoBuffers) {
    FrameHeader header = LayerOneStereo();
    constexpr int kNewFirst = 1000;
    std::size_t writes_after_clear_at_64 = 0;
    {
        WaveOutSink sink(header.Channels(), header.SampleRateHz(), header.SamplesPerFrame(), device,
                         0, 0xFFFF);
        for (int n = 0; n < 96; ++n)
            FeedFrame(sink, n);
        sink.Clear();
        const std::size_t writes_at_clear = NullDeviceSnapshot().write_lengths.size();
        for (int n = 0; n < 64; ++n) {
            FeedFrame(sink, kNewFirst + n);
            if (n == 62) {
                EXPECT_EQ(NullDeviceSnapshot().write_lengths.size(), writes_at_clear);
            }
        }
        writes_after_clear_at_64 = NullDeviceSnapshot().write_lengths.size() - writes_at_clear;
        for (int n = 64; n < 80; ++n)
            FeedFrame(sink, kNewFirst + n);
    }
    EXPECT_EQ(writes_after_clear_at_64, 2u);
    NullDeviceLog log = NullDeviceSnapshot();
    EXPECT_EQ(log.resets, 1);
    // The reset cut the old audio at some sample and let it fade out; what
    // follows must be the new position, fading in, frame by frame, and then
    // the silence of the last buffer.
    std::vector<PcmRun> heard = SampleRuns(log.played);
    // Its first, silent step runs into the end of the fade-out.
    std::vector<PcmRun> expected = FadingIn(kNewFirst + 1);
    expected.erase(expected.begin());
    for (int n = 1; n < 80; ++n)
        expected.push_back({kNewFirst + n + 1, kSamplesPerFrame});
    expected.push_back({0, 16 * kSamplesPerFrame});
    ASSERT_GT(heard.size(), expected.size());
    const auto first_new = heard.end() - static_cast<long>(expected.size());
    EXPECT_EQ(std::vector<PcmRun>(first_new, heard.end()), expected);
    auto old = heard.begin();
    while (old != first_new && old->mark == static_cast<int>(old - heard.begin()) + 1 &&
           old->samples == kSamplesPerFrame)
        ++old;
    ASSERT_NE(old, first_new);
    // The frame under way when the cut came, and a fade's length of sound
    // after the cut, falling from the level of the frames just before.
    const int last_mark = static_cast<int>(old - heard.begin()) + 1;
    int faded = 0;
    for (auto it = old; it != first_new; ++it) {
        EXPECT_LE(std::abs(it->mark), last_mark + 1);
        faded += it->samples;
    }
    EXPECT_LE(faded, kSamplesPerFrame + kFadeFrames + 1);
    EXPECT_GE(faded, kFadeFrames);
}

TEST_F(PlaybackSink, AfterAnInterruptNothingOldSoundsUntilTheRunClears) {
    FrameHeader header = LayerOneStereo();
    constexpr int kNewFirst = 1000;
    std::size_t heard_at_interrupt = 0;
    {
        WaveOutSink sink(header.Channels(), header.SampleRateHz(), header.SamplesPerFrame(), device,
                         0, 0xFFFF);
        for (int n = 0; n < 96; ++n)
            FeedFrame(sink, n);
        // The control's seek lands while the run still decodes old frames.
        device.Interrupt();
        heard_at_interrupt = NullDeviceSnapshot().played.size();
        for (int n = 96; n < 160; ++n)
            FeedFrame(sink, n);
        sink.Clear();
        for (int n = 0; n < 64; ++n)
            FeedFrame(sink, kNewFirst + n);
    }
    std::vector<std::uint8_t> played = NullDeviceSnapshot().played;
    ASSERT_GE(played.size(), heard_at_interrupt);
    std::vector<PcmRun> after = SampleRuns(std::vector<std::uint8_t>(
        played.begin() + static_cast<long>(heard_at_interrupt), played.end()));
    std::vector<PcmRun> expected = FadingIn(kNewFirst + 1);
    for (int n = 1; n < 64; ++n)
        expected.push_back({kNewFirst + n + 1, kSamplesPerFrame});
    EXPECT_EQ(after, expected);
}

TEST_F(PlaybackSink, OpensTheChosenDeviceAtTheRunsVolume) {
    struct Case {
        int output_dev_id;
        std::uint16_t volume;
        int device;
        std::uint32_t device_volume;
    };
    const Case cases[] = {
        {0, 0xFFFF, kPreferredDevice, 0xFFFFFFFF},
        {1, 0x8000, 0, 0x80008000},
        {0, 0, kPreferredDevice, 0},
    };
    for (const Case& c : cases) {
        ClearNullDeviceLog();
        FrameHeader header = LayerOneStereo();
        WaveOutSink sink(header.Channels(), header.SampleRateHz(), header.SamplesPerFrame(), device,
                         c.output_dev_id, c.volume);
        ASSERT_TRUE(sink.IsOpen());
        NullDeviceLog log = NullDeviceSnapshot();
        EXPECT_EQ(log.last_device, c.device);
        EXPECT_EQ(log.volumes, std::vector<std::uint32_t>{c.device_volume});
        EXPECT_EQ(log.last_format.samples_per_sec, 44100u);
        EXPECT_EQ(log.last_format.channels, 2u);
        EXPECT_EQ(log.last_format.block_align, 4u);
        EXPECT_EQ(log.last_format.avg_bytes_per_sec, 44100u * 4);
    }
    EXPECT_EQ(DeviceVolume(32768), 0x80008000u);
    EXPECT_EQ(DeviceVolume(0x18000), 0x80008000u);
    EXPECT_EQ(DeviceVolume(65536), 0u);
}

TEST_F(PlaybackSink, HalfVolumeHalvesWhatIsHeardOnEachSide) {
    FrameHeader header = LayerOneStereo();
    {
        WaveOutSink sink(header.Channels(), header.SampleRateHz(), header.SamplesPerFrame(), device,
                         0, 0xFFFF);
        device.SetVolume(0x4000FFFF); // left full, right a quarter
        for (int n = 0; n < 10; ++n)
            FeedFrame(sink, 1000 + n * 1000);
    }
    NullDeviceLog log = NullDeviceSnapshot();
    ASSERT_GE(log.played.size(), static_cast<std::size_t>(kFrameBytes));
    std::int16_t first[2];
    std::memcpy(first, log.played.data(), sizeof first);
    EXPECT_EQ(first[0], 1001);
    EXPECT_EQ(first[1], ApplyVolume(-1001, 0x4000));
    EXPECT_NEAR(first[1], -1001 / 4, 1);
}

TEST_F(PlaybackSink, ADeviceThatCannotOpenSaysSoAndTakesNoAudio) {
    FrameHeader header = LayerOneStereo();
    testing::internal::CaptureStderr();
    WaveOutSink sink(header.Channels(), header.SampleRateHz(), header.SamplesPerFrame(), device, 7,
                     0xFFFF);
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(sink.IsOpen());
    EXPECT_EQ(said, "\nCould not open wave device.\n");
    FeedFrame(sink, 0); // ignored, and safe
    EXPECT_EQ(NullDeviceSnapshot().opens, 0);
}

TEST_F(PlaybackSink, SingleChannelStreamsFillSmallerBuffers) {
    FrameHeader header = LayerOneStereo();
    header.mode = kSingleChannel;
    header.layer = 3;
    header.version = 0; // LSF Layer III: 576 samples a frame
    header.sample_frequency = 1;
    WaveOutSink sink(header.Channels(), header.SampleRateHz(), header.SamplesPerFrame(), device, 0,
                     0xFFFF);
    EXPECT_EQ(sink.BufferBytes(), 32u * 576 * 2);
    EXPECT_EQ(NullDeviceSnapshot().last_format.samples_per_sec, 24000u);
    // A frame longer than the buffer expects cannot write past it.
    std::vector<std::int16_t> too_long(200000, 7);
    sink.AppendBlock(0, too_long.data(), too_long.size());
    sink.AppendBlock(1, too_long.data(), too_long.size());
    sink.EndFrame();
}

} // namespace
