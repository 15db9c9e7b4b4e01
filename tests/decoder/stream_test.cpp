#include "MpegFileStream.h"
#include "SyntheticFrames.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <random>

using namespace audiocore;
using namespace testsupport;

namespace {

// Opens a stream on `bytes` written to a scratch file.
struct StreamOnBytes {
    explicit StreamOnBytes(const std::vector<std::uint8_t>& bytes) {
        WriteFile(dir.File("stream.mp3"), bytes);
        EXPECT_TRUE(stream.Open(dir.File("stream.mp3")));
    }
    TempDir dir;
    MpegFileStream stream;
};

// A 128 kbit/s, 44.1 kHz Layer III frame (417 bytes, the only one in the
// file, so the end of the file confirms it) whose body starts with `body`.
constexpr int kBody = 413;
std::vector<std::uint8_t> HeaderThenBody(const std::vector<std::uint8_t>& body) {
    std::vector<std::uint8_t> bytes = {0xFF, 0xFB, 0x90, 0x00};
    bytes.insert(bytes.end(), body.begin(), body.end());
    bytes.resize(4 + kBody, 0x00);
    return bytes;
}

// 413 random bytes, for a body whose every bit counts.
std::vector<std::uint8_t> RandomBody(unsigned seed) {
    std::mt19937 random(seed);
    std::vector<std::uint8_t> body(kBody);
    for (auto& b : body)
        b = static_cast<std::uint8_t>(random());
    return body;
}

// Finds the frame and reads its body, as the decoder does before any bits.
::testing::AssertionResult ReadsTheFrame(MpegFileStream& stream,
                                         const std::vector<std::uint8_t>& body) {
    std::uint32_t header = 0;
    if (!stream.FindHeader(header, false))
        return ::testing::AssertionFailure() << "no frame found";
    if (!stream.ReadFrameBody(static_cast<int>(body.size())))
        return ::testing::AssertionFailure() << "the body was not read";
    return ::testing::AssertionSuccess();
}

} // namespace

TEST(MpegFileStream, BitsComeOutMostSignificantFirstInAnyWidths) {
    std::mt19937 random(7);
    const std::vector<std::uint8_t> body = RandomBody(7);
    StreamOnBytes s(HeaderThenBody(body));
    ASSERT_TRUE(ReadsTheFrame(s.stream, body));

    std::size_t bit = 0;
    while (bit + 16 <= body.size() * 8) {
        int n = 1 + static_cast<int>(random() % 16);
        std::uint32_t expected = 0;
        for (int i = 0; i < n; ++i, ++bit)
            expected = (expected << 1) | ((body[bit / 8] >> (7 - bit % 8)) & 1u);
        ASSERT_EQ(s.stream.GetBits(n), expected) << "at bit " << bit << " width " << n;
    }
}

// The main data goes into the reservoir bytes at a time: from any byte,
// across word boundaries, the bytes must be those the bit reader gives, and
// the reader must go on after them.
TEST(MpegFileStream, BytesTakenWholeAreTheBitReadersBytes) {
    const std::vector<std::uint8_t> body = RandomBody(11);
    for (int start = 0; start < 8; ++start) {
        for (int n : {0, 1, 3, 4, 5, 9, 400}) {
            StreamOnBytes s(HeaderThenBody(body));
            ASSERT_TRUE(ReadsTheFrame(s.stream, body));
            for (int i = 0; i < start; ++i)
                s.stream.GetBits(8);
            std::vector<std::uint8_t> taken(static_cast<std::size_t>(n));
            ASSERT_TRUE(s.stream.TakeBytes(taken.data(), n));
            const auto from = body.begin() + start;
            EXPECT_TRUE(std::equal(taken.begin(), taken.end(), from)) << start << " " << n;
            const int next = start + n;
            EXPECT_EQ(s.stream.GetBits(8), next < kBody ? body[static_cast<std::size_t>(next)] : 0u)
                << start << " " << n;
        }
    }
    // Off a byte boundary, or past the buffer, nothing is taken.
    StreamOnBytes s(HeaderThenBody(body));
    ASSERT_TRUE(ReadsTheFrame(s.stream, body));
    std::vector<std::uint8_t> taken(MpegFileStream::kBodyBytes + 1);
    EXPECT_FALSE(s.stream.TakeBytes(taken.data(), MpegFileStream::kBodyBytes + 1));
    s.stream.GetBits(3);
    EXPECT_FALSE(s.stream.TakeBytes(taken.data(), 1));
    EXPECT_EQ(s.stream.GetBits(5), body[0] & 0x1Fu);
}

// Layer II reads a band's three codes at once: at every bit position and
// width, and up to and past the end of the buffer, they must be the three
// codes one at a time give, leaving the reader at the same place.
TEST(MpegFileStream, ThreeCodesAtOnceAreThreeCodesOneAtATime) {
    const std::vector<std::uint8_t> body = RandomBody(5);
    StreamOnBytes s(HeaderThenBody(body));
    ASSERT_TRUE(ReadsTheFrame(s.stream, body));
    const int last_word_bits = 32 * MpegFileStream::kBodyWords;
    for (int start : {0, 1, 7, 31, 32, 33, 600, last_word_bits - 130, last_word_bits - 70,
                      last_word_bits - 40, last_word_bits - 5}) {
        for (int n = 1; n <= 16; ++n) {
            MpegFileStream::BodyCursor one = s.stream.Cursor();
            one.word = start / 32;
            one.bit = start % 32;
            MpegFileStream::BodyCursor three = one;
            std::uint32_t expected[3];
            for (std::uint32_t& code : expected)
                code = one.GetBits(n);
            std::uint32_t codes[3];
            three.GetThree(n, codes);
            for (int i = 0; i < 3; ++i)
                EXPECT_EQ(codes[i], expected[i]) << start << " " << n << " " << i;
            EXPECT_EQ(three.word, one.word) << start << " " << n;
            EXPECT_EQ(three.bit, one.bit) << start << " " << n;
        }
    }
}

TEST(MpegFileStream, SixteenBitsAcrossAWordBoundaryJoinBothWords) {
    StreamOnBytes s(HeaderThenBody({0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0}));
    std::uint32_t header = 0;
    ASSERT_TRUE(s.stream.FindHeader(header, false));
    ASSERT_TRUE(s.stream.ReadFrameBody(8));
    EXPECT_EQ(s.stream.GetBits(16), 0x1234u);
    EXPECT_EQ(s.stream.GetBits(4), 0x5u);
    // From bit 20: the last 12 bits of word 0, then the first 4 of word 1.
    EXPECT_EQ(s.stream.GetBits(16), 0x6789u);
    EXPECT_EQ(s.stream.BitsLeft(), 64 - 36);
    EXPECT_EQ(s.stream.GetBits(4), 0xAu);
}

TEST(MpegFileStream, ReadingFarPastTheBodyStaysInsideTheBuffer) {
    StreamOnBytes s(HeaderThenBody({0xAA, 0xBB, 0xCC, 0xDD, 0xEE}));
    std::uint32_t header = 0;
    ASSERT_TRUE(s.stream.FindHeader(header, false));
    ASSERT_TRUE(s.stream.ReadFrameBody(5));
    EXPECT_EQ(s.stream.GetBits(8), 0xAAu);
    for (int i = 0; i < 4000; ++i)
        s.stream.GetBits(16);
    EXPECT_EQ(s.stream.GetBits(16), 0u) << "beyond the buffer the reader gives zeros";
}

TEST(MpegFileStream, BodyReadsRefuseImpossibleSizesAndShortFiles) {
    StreamOnBytes s(HeaderThenBody(std::vector<std::uint8_t>(10, 0x11)));
    std::uint32_t header = 0;
    ASSERT_TRUE(s.stream.FindHeader(header, false));
    EXPECT_FALSE(s.stream.ReadFrameBody(0));
    EXPECT_FALSE(s.stream.ReadFrameBody(-4));
    EXPECT_FALSE(s.stream.ReadFrameBody(MpegFileStream::kBodyBytes + 1));
    EXPECT_FALSE(s.stream.ReadFrameBody(kBody + 1)) << "only the body is left in the file";
}

TEST(MpegFileStream, LooseSearchSkipsHeadersWithReservedCodes) {
    // 0xFF 0xEF has the reserved version code; 0xFF 0xFF 0xF3 the forbidden
    // bitrate index.
    std::vector<std::uint8_t> bytes = {0x00, 0xFF, 0xEF, 0xFF, 0xFF, 0xF3, 0x12};
    AppendFrame(bytes, HeaderFields{}, 417, 1);
    StreamOnBytes s(bytes);
    std::uint32_t header = 0;
    ASSERT_TRUE(s.stream.FindHeader(header, false));
    EXPECT_EQ(header, MakeHeader(HeaderFields{}));
    EXPECT_EQ(s.stream.FirstFrameOffset(), 7u);
    EXPECT_EQ(s.stream.CurrentFrame(), 0);
}

TEST(MpegFileStream, StrictSearchSkipsFramesOfAnotherRateButNotOfAnotherMode) {
    HeaderFields stereo;
    HeaderFields mono = stereo;
    mono.mode = 3;
    HeaderFields other_rate = stereo;
    other_rate.sample_frequency = 1;
    HeaderFields joint = stereo;
    joint.mode = 1;
    joint.bitrate_index = 3; // 40 kbit/s: 130 bytes
    std::vector<std::uint8_t> bytes;
    AppendFrame(bytes, stereo, 417, 0);
    AppendFrame(bytes, mono, 417, 1);
    AppendFrame(bytes, joint, 130, 2);
    AppendFrame(bytes, other_rate, 384, 3); // ends the joint frame unconfirmed
    AppendFrame(bytes, stereo, 417, 4);
    StreamOnBytes s(bytes);

    std::uint32_t header = 0;
    ASSERT_TRUE(s.stream.FindHeader(header, false));
    s.stream.SetSyncPattern(header);
    for (std::uint32_t expected : {MakeHeader(mono), MakeHeader(stereo)}) {
        ASSERT_TRUE(s.stream.FindHeader(header, true));
        EXPECT_EQ(header, expected);
        s.stream.SkipFrameBody(header == MakeHeader(mono) ? 413 : 0);
    }
    EXPECT_EQ(s.stream.Position(), bytes.size() - 413);
    EXPECT_FALSE(s.stream.FindHeader(header, true));
}

TEST(MpegFileStream, LeadingId3v2TagIsSteppedOverWithItsFalseSyncs) {
    struct Case {
        std::uint8_t flags;
        std::size_t after_tag;
    };
    for (Case c : {Case{0x00, 10 + 300}, Case{0x10, 10 + 300 + 10}}) {
        // Size 300 as a syncsafe integer: 2 * 128 + 44.
        std::vector<std::uint8_t> bytes = {'I', 'D', '3', 4, 0, c.flags, 0, 0, 2, 44};
        bytes.resize(c.after_tag, 0xFF); // a tag body made only of sync bytes
        AppendFrame(bytes, HeaderFields{}, 417, 1);
        StreamOnBytes s(bytes);
        std::uint32_t header = 0;
        ASSERT_TRUE(s.stream.FindHeader(header, false));
        EXPECT_EQ(header, MakeHeader(HeaderFields{}));
        EXPECT_EQ(s.stream.FirstFrameOffset(), c.after_tag);
    }
}

TEST(MpegFileStream, OpenFailsOnMissingFilesAndFolders) {
    TempDir dir;
    MpegFileStream stream;
    EXPECT_FALSE(stream.Open(dir.File("missing.mp3")));
    EXPECT_EQ(stream.OpenError(), ENOENT);
    EXPECT_FALSE(stream.Open(dir.path().string()));
    EXPECT_EQ(stream.OpenError(), EISDIR);
    EXPECT_FALSE(stream.IsOpen());
}
