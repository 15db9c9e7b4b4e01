// The confirmed sync search, the frame index and the encoder's header frame,
// on streams built byte by byte.

#include "EncoderHeader.h"
#include "FrameHeader.h"
#include "FrameIndex.h"
#include "MpegFileStream.h"
#include "SyntheticFrames.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

using namespace audiocore;
using namespace testsupport;

namespace {

using Bytes = std::vector<std::uint8_t>;

struct OpenStream {
    explicit OpenStream(const Bytes& bytes) {
        WriteFile(path, bytes);
        EXPECT_TRUE(stream.Open(path));
    }
    bool Next() { return header.ReadNext(stream, crc); }
    int Marker() { return static_cast<int>(stream.GetBits(8)); }
    std::unique_ptr<FrameIndex> Index() {
        auto index = std::make_unique<FrameIndex>();
        index->Prepare([this](MpegFileStream& reader) { return reader.Open(path); },
                       stream.FirstFrameOffset(), header.word);
        return index;
    }
    TempDir dir;
    std::string path = dir.File("s.mp3");
    MpegFileStream stream;
    FrameHeader header;
    FrameCrc* crc = nullptr;
};

// 44.1 kHz Layer III at 128 kbit/s: frames of 417 bytes and, irregularly,
// padded ones of 418, each body filled with its frame number.
Bytes PaddedStream(int frames, Bytes prefix = {}) {
    Bytes bytes = std::move(prefix);
    for (int f = 0; f < frames; ++f) {
        HeaderFields h;
        h.padding = (f % 3 == 1 || f % 7 == 0) ? 1 : 0;
        AppendFrame(bytes, h, 417 + h.padding, static_cast<std::uint8_t>(f));
    }
    return bytes;
}

// Bitrates changing from frame to frame, as in a VBR file: index 9 (128k,
// 417 bytes), 14 (320k, 1044) and 5 (64k, 208).
Bytes VbrStream(int frames) {
    const int indices[] = {9, 14, 5};
    const int sizes[] = {417, 1044, 208};
    Bytes bytes;
    for (int f = 0; f < frames; ++f)
        AppendFrame(bytes, {.bitrate_index = indices[f % 3]}, sizes[f % 3],
                    static_cast<std::uint8_t>(f));
    return bytes;
}

void ExpectSeeksLand(OpenStream& s, const FrameIndex& index, std::initializer_list<int> frames) {
    for (int f : frames) {
        SCOPED_TRACE(f);
        ASSERT_TRUE(s.stream.PositionAt(index.Offset(f), f));
        ASSERT_TRUE(s.Next());
        EXPECT_EQ(s.stream.CurrentFrame(), f);
        EXPECT_EQ(s.Marker(), f);
    }
}

} // namespace

TEST(FrameIndex, CountsAndLandsOnEveryFrameOfPaddedAndVariableStreams) {
    for (const Bytes& bytes : {PaddedStream(120), VbrStream(120)}) {
        OpenStream s(bytes);
        ASSERT_TRUE(s.Next());
        auto index = s.Index();
        EXPECT_EQ(index->Count(), 120);
        ExpectSeeksLand(s, *index, {100, 10, 0, 119, 57});
        EXPECT_EQ(index->Offset(index->Count() - 1) + index->Bytes(index->Count() - 1),
                  bytes.size());
    }
}

TEST(FrameIndex, CountsFromTheFirstFrameBehindATag) {
    Bytes tag = {'I', 'D', '3', 3, 0, 0, 0, 0, 0, 90};
    tag.resize(100, 0x00);
    OpenStream s(PaddedStream(20, tag));
    ASSERT_TRUE(s.Next());
    EXPECT_EQ(s.stream.FirstFrameOffset(), 100u);
    auto index = s.Index();
    EXPECT_EQ(index->Count(), 20);
    ExpectSeeksLand(s, *index, {7, 2, 19});
}

TEST(ConfirmedSync, AHeaderCountsOnlyWhenItsFrameEndsAtAnotherOrAtTheEnd) {
    // A false sync in front: a plausible header whose frame would end in
    // the middle of the real first frame.
    Bytes bytes;
    AppendFrame(bytes, {.bitrate_index = 5, .sample_frequency = 1}, 100, 0x11);
    const std::size_t real_start = bytes.size();
    Bytes rest = PaddedStream(5);
    bytes.insert(bytes.end(), rest.begin(), rest.end());
    OpenStream s(bytes);
    ASSERT_TRUE(s.Next());
    EXPECT_EQ(s.stream.FirstFrameOffset(), real_start);
    EXPECT_EQ(s.Marker(), 0);
    EXPECT_EQ(s.Index()->Count(), 5);

    // Tags after the last frame confirm it; junk does not.
    for (const char* tail : {"TAG", "APETAGEX"}) {
        Bytes tagged = PaddedStream(3);
        tagged.insert(tagged.end(), tail, tail + std::strlen(tail));
        tagged.resize(tagged.size() + 120, 0x20);
        OpenStream t(tagged);
        ASSERT_TRUE(t.Next());
        EXPECT_EQ(t.Index()->Count(), 3) << tail;
    }
    Bytes junk_after = PaddedStream(3);
    junk_after.resize(junk_after.size() + 50, 0x20);
    OpenStream j(junk_after);
    ASSERT_TRUE(j.Next());
    EXPECT_EQ(j.Index()->Count(), 2) << "the frame before junk is not confirmed";
}

TEST(ConfirmedSync, ChannelModeChangesKeepTheStream) {
    Bytes bytes;
    for (int f = 0; f < 6; ++f)
        AppendFrame(bytes, {.mode = f < 3 ? 3 : 0}, 417, static_cast<std::uint8_t>(f));
    OpenStream s(bytes);
    int frames = 0;
    while (s.Next()) {
        EXPECT_EQ(s.Marker(), frames);
        EXPECT_EQ(s.header.mode, frames < 3 ? kSingleChannel : kStereo);
        ++frames;
    }
    EXPECT_EQ(frames, 6);
}

TEST(ConfirmedSync, FreeFormatFramesAreSizedByTheDistanceToTheNextHeader) {
    // 44.1 kHz Layer III at a bitrate of no table entry: 600 bytes a frame,
    // with a padded one of 601.
    Bytes bytes;
    for (int f = 0; f < 8; ++f) {
        const int padding = f == 3 ? 1 : 0;
        AppendFrame(bytes, {.bitrate_index = 0, .padding = padding}, 600 + padding,
                    static_cast<std::uint8_t>(f));
    }
    OpenStream s(bytes);
    ASSERT_TRUE(s.Next());
    EXPECT_EQ(s.stream.FreeFormatBytes(), 600);
    EXPECT_EQ(s.header.body_size, 596);
    auto index = s.Index();
    EXPECT_EQ(index->Count(), 8);
    ExpectSeeksLand(s, *index, {3, 4, 7, 1});
}

TEST(ConfirmedSync, Mpeg25StreamsAreFramesOfTheirOwnRates) {
    // The eleven-bit sync with version code 0: 8 kHz Layer III at 16 kbit/s
    // is 144 bytes a frame.
    Bytes bytes;
    for (int f = 0; f < 4; ++f) {
        AppendHeader(
            bytes,
            MakeHeader({.version = 0, .bitrate_index = 2, .sample_frequency = 2, .mode = 3}) &
                ~(1u << 20));
        bytes.insert(bytes.end(), 140, static_cast<std::uint8_t>(f));
    }
    OpenStream s(bytes);
    ASSERT_TRUE(s.Next());
    EXPECT_TRUE(s.header.mpeg25);
    EXPECT_EQ(s.header.SampleRateHz(), 8000);
    EXPECT_EQ(s.header.body_size, 140);
    EXPECT_EQ(s.Index()->Count(), 4);
}

namespace {

// A Layer III frame carrying an encoder header block at `at` in its body.
Bytes HeaderFrame(const char* tag, int at, std::uint32_t frames, HeaderFields fields = {}) {
    Bytes bytes;
    AppendFrame(bytes, fields, 417, 0);
    std::uint8_t* body = bytes.data() + 4;
    std::memcpy(body + at, tag, 4);
    const bool vbri = std::strcmp(tag, "VBRI") == 0;
    const int count_at = vbri ? at + 14 : at + 8;
    if (!vbri)
        body[at + 7] = 1; // the frame count is present
    for (int i = 0; i < 4; ++i)
        body[count_at + i] = static_cast<std::uint8_t>(frames >> (24 - 8 * i));
    return bytes;
}

} // namespace

TEST(EncoderHeader, XingInfoAndVbriBlocksGiveTheAudioFrameCount) {
    struct Case {
        const char* tag;
        int at;
        HeaderFields fields;
    };
    const Case cases[] = {
        {"Xing", 32, {}},
        {"Info", 32, {}},
        {"Info", 32, {.protection_bit = 0}}, // after the side information alone
        {"Info", 17, {.mode = 3}},
        {"VBRI", 32, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.tag) + " at " + std::to_string(c.at));
        Bytes bytes = HeaderFrame(c.tag, c.at, 77, c.fields);
        Bytes audio = PaddedStream(2);
        bytes.insert(bytes.end(), audio.begin(), audio.end());
        OpenStream s(bytes);
        ASSERT_TRUE(s.Next());
        EncoderHeader info;
        ASSERT_TRUE(ReadEncoderHeader(s.stream, s.header, info));
        EXPECT_EQ(info.frames, 77);
    }
    // Audio that merely resembles a block elsewhere in the body is audio.
    Bytes bytes = HeaderFrame("Xing", 100, 77);
    OpenStream s(bytes);
    ASSERT_TRUE(s.Next());
    EncoderHeader info;
    EXPECT_FALSE(ReadEncoderHeader(s.stream, s.header, info));
}
