// The frame decoder's bookkeeping: main data it does not hold, invalid
// side information, channel routing, seeking and damaged streams.

#include "FrameHeader.h"
#include "Layer3Decode.h"
#include "Layer3FrameDecoder.h"
#include "Layer3Frames.h"
#include "MpegFileStream.h"
#include "PolyphaseSynthesizer.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using namespace audiocore;
using namespace testsupport;

Layer3Decoding DecodeBytes(const std::vector<std::uint8_t>& file,
                           ChannelChoice choice = ChannelChoice::Both) {
    TempDir dir;
    WriteFile(dir.File("stream.mp3"), file);
    return DecodeLayer3File(dir.File("stream.mp3"), choice);
}

// Every frame that ends holds one full frame of samples per channel.
void ExpectWholeFrames(const Layer3Decoding& d, int samples_per_frame) {
    const std::size_t per_channel = d.sink->appended[0];
    EXPECT_EQ(per_channel, static_cast<std::size_t>(d.sink->frames_ended) * samples_per_frame);
    const std::size_t right = d.channels == 2 ? per_channel : 0;
    EXPECT_EQ(d.sink->appended[1], right);
}

TEST(Layer3FrameDecoder, FramesPointingBeforeTheReservoirAreSkipped) {
    for (bool mpeg1 : {true, false}) {
        Layer3Format format;
        format.mpeg1 = mpeg1;
        format.single_channel = true;
        std::vector<std::uint8_t> file;
        // Frame 0 points 10 bytes back into nothing; frame 1 points back
        // into frame 0's main data, which the reservoir now holds.
        AppendFrame(file, format, SilentSideInfo(format, 10));
        AppendFrame(file, format, SilentSideInfo(format, 10));
        AppendFrame(file, format, SilentSideInfo(format, 0));
        const Layer3Decoding d = DecodeBytes(file);
        const int samples = mpeg1 ? 1152 : 576;
        EXPECT_EQ(d.frames, 3);
        EXPECT_EQ(d.sink->frames_ended, 2) << "mpeg1 " << mpeg1;
        EXPECT_EQ(d.sink->appended[0], 2u * samples);
        EXPECT_EQ(d.sink->appended[1], 0u);
    }
}

TEST(Layer3FrameDecoder, InvalidSideInformationSkipsTheFrameButKeepsItsMainData) {
    Layer3Format format;
    format.single_channel = true;
    BitWriter invalid;
    invalid.Put(0, 9 + 5 + 4);
    invalid.Put(0, 12 + 9 + 8 + 4);
    invalid.Put(1, 1); // window switching with block type 0
    invalid.Put(0, 2);
    // One invalid frame, then a run longer than the reservoir holds; each
    // time the next frame's main data begins inside the skipped bytes.
    for (int skipped : {1, 20}) {
        std::vector<std::uint8_t> file;
        AppendFrame(file, format, SilentSideInfo(format, 0));
        for (int i = 0; i < skipped; ++i)
            AppendFrame(file, format, invalid);
        AppendFrame(file, format, SilentSideInfo(format, 100));
        AppendFrame(file, format, SilentSideInfo(format, 0));
        const Layer3Decoding d = DecodeBytes(file);
        EXPECT_EQ(d.frames, skipped + 3);
        EXPECT_EQ(d.sink->frames_ended, 3) << skipped;
        ExpectWholeFrames(d, 1152);
    }
}

TEST(Layer3FrameDecoder, SingleChannelStreamsFeedOnlyTheFirstSynthesizer) {
    const Layer3Decoding d = DecodeLayer3File(SharedPath("vectors/l3-compl.bit"));
    ASSERT_TRUE(d.sink);
    EXPECT_EQ(d.channels, 1);
    EXPECT_GT(d.sink->appended[0], 0u);
    EXPECT_EQ(d.sink->appended[1], 0u);
    ExpectWholeFrames(d, 1152);
}

TEST(Layer3FrameDecoder, LeftOnlyGivesTheLeftChannelOfAStereoStream) {
    const std::string path = SharedPath("vectors/l3-hecommon.bit");
    const Layer3Decoding both = DecodeLayer3File(path);
    const Layer3Decoding left = DecodeLayer3File(path, ChannelChoice::LeftOnly);
    ASSERT_TRUE(both.sink && left.sink);
    ASSERT_EQ(both.channels, 2);
    EXPECT_EQ(left.sink->appended[1], 0u);
    ASSERT_EQ(left.sink->pcm.size() * 2, both.sink->pcm.size());
    for (std::size_t i = 0; i < left.sink->pcm.size(); ++i)
        ASSERT_EQ(left.sink->pcm[i], both.sink->pcm[2 * i]) << i;
}

TEST(Layer3FrameDecoder, ResetForSeekStartsAfresh) {
    const std::string path = SharedPath("vectors/l3-compl.bit");
    const Layer3Decoding fresh = DecodeLayer3File(path);
    ASSERT_TRUE(fresh.sink);

    MpegFileStream stream;
    ASSERT_TRUE(stream.Open(path));
    FrameHeader header;
    FrameCrc* crc = nullptr;
    ASSERT_TRUE(header.ReadNext(stream, crc));
    RecordingSink sink(1);
    PolyphaseSynthesizer synth(0, 32768.0f);
    Layer3FrameDecoder decoder(stream, header, synth, nullptr, sink, ChannelChoice::Both,
                               header.Channels());
    for (int i = 0; i < 40 && header.ReadNext(stream, crc); ++i)
        decoder.DecodeFrame();

    // Back to the first frame with a reset, as after a seek: the output is
    // then exactly a fresh decoding's.
    ASSERT_TRUE(stream.PositionAt(stream.FirstFrameOffset(), 0));
    decoder.ResetForSeek();
    synth.Reset();
    const std::size_t start = sink.appended[0];
    while (header.ReadNext(stream, crc))
        decoder.DecodeFrame();
    const std::size_t decoded = sink.appended[0] - start;
    ASSERT_EQ(decoded, fresh.sink->pcm.size());
    for (std::size_t i = 0; i < decoded; ++i)
        ASSERT_EQ(sink.pcm[start + i], fresh.sink->pcm[i]) << i;
}

// Damaged streams: whatever the bytes say, decoding ends, reads and writes
// only inside its buffers (the sanitizer build checks that) and closes
// every frame it outputs with a full frame of samples.
TEST(Layer3FrameDecoder, DamagedStreamsDecodeSafely) {
    for (const char* name : {"l3-si_huff", "l3-si_block", "M2L3_compl24", "l3-hecommon"}) {
        const std::vector<std::uint8_t> original =
            ReadFile(SharedPath(std::string("vectors/") + name + ".bit"));
        ASSERT_FALSE(original.empty());
        std::mt19937 random(11);
        for (int trial = 0; trial < 6; ++trial) {
            std::vector<std::uint8_t> damaged = original;
            // Damage one byte in 50, sparing the first header so that the
            // stream is still recognised.
            std::uniform_int_distribution<std::size_t> where(4, damaged.size() - 1);
            std::uniform_int_distribution<int> byte(0, 255);
            for (std::size_t n = 0; n < damaged.size() / 50; ++n)
                damaged[where(random)] = static_cast<std::uint8_t>(byte(random));
            const Layer3Decoding d = DecodeBytes(damaged);
            ASSERT_TRUE(d.sink) << name;
            ExpectWholeFrames(d, std::string(name) == "M2L3_compl24" ? 576 : 1152);
        }
    }
}

TEST(Layer3FrameDecoder, ExtremeSideInformationDecodesSafely) {
    // Bodies of all ones: big_values 511, part2_3_length 4095, every table
    // and region count at its largest, joint stereo with intensity.
    for (bool mpeg1 : {true, false})
        for (int fill : {0xFF, 0xAA}) {
            Layer3Format format;
            format.mpeg1 = mpeg1;
            format.mode_extension = 3;
            std::vector<std::uint8_t> file;
            for (int frame = 0; frame < 8; ++frame) {
                BitWriter body;
                for (int i = 0; i < format.FrameBytes() - 4; ++i)
                    body.Put(static_cast<std::uint32_t>(fill), 8);
                AppendFrame(file, format, body);
            }
            const Layer3Decoding d = DecodeBytes(file);
            ASSERT_TRUE(d.sink);
            EXPECT_EQ(d.frames, 8);
            EXPECT_GT(d.sink->frames_ended, 0) << "mpeg1 " << mpeg1 << " fill " << fill;
            ExpectWholeFrames(d, mpeg1 ? 1152 : 576);
        }
}

} // namespace
