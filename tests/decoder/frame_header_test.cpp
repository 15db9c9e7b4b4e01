#include "FrameHeader.h"
#include "MpegFileStream.h"
#include "SyntheticFrames.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace audiocore;
using namespace testsupport;

namespace {

// A stream and header opened on bytes written to a scratch file.
struct OpenStream {
    explicit OpenStream(const std::vector<std::uint8_t>& bytes) {
        WriteFile(dir.File("s.mp3"), bytes);
        EXPECT_TRUE(stream.Open(dir.File("s.mp3")));
    }
    bool Next() { return header.ReadNext(stream, crc); }
    // The marker byte that AppendFrame filled the current body with.
    int Marker() {
        std::uint32_t b = stream.GetBits(8);
        return static_cast<int>(b);
    }
    TempDir dir;
    MpegFileStream stream;
    FrameHeader header;
    FrameCrc* crc = nullptr;
};

struct SizeCase {
    const char* what;
    HeaderFields fields;
    int size;
    int main_data_slots;
};

} // namespace

TEST(FrameHeader, FrameSizesAndMainDataSlots) {
    HeaderFields l3_128k; // MPEG-1 Layer III, 128 kbit/s, 44.1 kHz, stereo
    HeaderFields padded_crc = l3_128k;
    padded_crc.padding = 1;
    padded_crc.protection_bit = 0;
    HeaderFields lsf_mono{.version = 0, .layer = 3, .bitrate_index = 8, .mode = 3};
    HeaderFields lsf_stereo_crc{
        .version = 0, .layer = 3, .protection_bit = 0, .bitrate_index = 8, .sample_frequency = 1};
    HeaderFields l3_mono_48{.layer = 3, .bitrate_index = 5, .sample_frequency = 1, .mode = 3};
    HeaderFields l1_384k{.layer = 1, .bitrate_index = 12, .sample_frequency = 1};
    HeaderFields l1_padded{.layer = 1, .bitrate_index = 1, .padding = 1};
    HeaderFields l2_384k_32{.layer = 2, .bitrate_index = 14, .sample_frequency = 2, .padding = 1};
    HeaderFields lsf_l2{.version = 0, .layer = 2, .bitrate_index = 14, .sample_frequency = 1};
    const SizeCase cases[] = {
        {"MPEG-1 L3 128k 44.1", l3_128k, 417, 381},
        {"padded, with CRC", padded_crc, 418, 380},
        {"LSF L3 64k 22.05 mono", lsf_mono, 208, 195},
        {"LSF L3 64k 24 stereo CRC", lsf_stereo_crc, 192, 192 - 17 - 2 - 4},
        {"MPEG-1 L3 64k 48 mono", l3_mono_48, 192, 192 - 17 - 4},
        {"MPEG-1 L1 384k 48", l1_384k, 384, 0},
        {"L1 padding is one 4-byte slot", l1_padded, 4 * (12 * 32000 / 44100 + 1), 0},
        {"largest frame: L2 384k 32 padded", l2_384k_32, 1729, 0},
        // An LSF Layer II frame still holds 1152 samples: 144 * 160000 / 24000.
        {"LSF L2 160k 24", lsf_l2, 960, 0},
    };
    for (const SizeCase& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::uint8_t> bytes;
        AppendFrame(bytes, c.fields, c.size, 5);
        OpenStream s(bytes);
        ASSERT_TRUE(s.Next());
        EXPECT_EQ(s.header.body_size + 4, c.size);
        EXPECT_EQ(s.header.main_data_slots, c.main_data_slots);
        EXPECT_EQ(s.crc != nullptr, c.fields.protection_bit == 0);
    }
}

TEST(FrameHeader, SubbandsAndIntensityBounds) {
    struct Case {
        HeaderFields fields;
        int subbands;
        unsigned bound;
    };
    const Case cases[] = {
        // Joint stereo 192 kbit/s at 44.1 kHz: 96 per channel, 30 subbands.
        {{.layer = 2, .bitrate_index = 10, .mode = 1, .mode_extension = 3}, 30, 16},
        {{.layer = 2, .bitrate_index = 10, .mode = 1, .mode_extension = 0}, 30, 4},
        {{.layer = 2, .bitrate_index = 2, .sample_frequency = 2, .mode = 3}, 12, 0},
        {{.layer = 2, .bitrate_index = 2, .sample_frequency = 0, .mode = 3}, 8, 0},
        // Two channels at 64 kbit/s: 32 per channel.
        {{.layer = 2, .bitrate_index = 4, .sample_frequency = 1, .mode = 0}, 8, 0},
        {{.layer = 2, .bitrate_index = 10, .sample_frequency = 1, .mode = 0}, 27, 0},
        {{.layer = 2, .bitrate_index = 8, .sample_frequency = 0, .mode = 0}, 27, 0},
        {{.layer = 2, .bitrate_index = 6, .sample_frequency = 0, .mode = 0}, 8, 0},
        // A bound past the coded subbands is lowered to them.
        {{.layer = 2, .bitrate_index = 4, .sample_frequency = 1, .mode = 1, .mode_extension = 3},
         8,
         8},
        {{.layer = 1, .bitrate_index = 6, .mode = 1, .mode_extension = 2}, 32, 12},
        {{.version = 0, .layer = 2, .bitrate_index = 4, .mode = 1, .mode_extension = 3}, 30, 16},
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> bytes;
        AppendFrame(bytes, c.fields, HeaderWord(MakeHeader(c.fields)).FrameBytes(0), 1);
        OpenStream s(bytes);
        FrameCrc* crc = nullptr;
        ASSERT_TRUE(s.header.ReadNext(s.stream, crc));
        EXPECT_EQ(s.header.subbands, c.subbands)
            << "layer " << c.fields.layer << " index " << c.fields.bitrate_index;
        EXPECT_EQ(s.header.intensity_stereo_bound, c.bound);
    }
}

TEST(FrameHeader, ProtectedFrameStartsItsCrcWithTheHeader) {
    HeaderFields f{.layer = 2, .protection_bit = 0, .bitrate_index = 10};
    std::vector<std::uint8_t> bytes;
    AppendFrame(bytes, f, 626, 0);
    bytes[4] = 0x12; // the checksum word
    bytes[5] = 0x34;
    OpenStream s(bytes);
    ASSERT_TRUE(s.Next());
    ASSERT_NE(s.crc, nullptr);
    EXPECT_EQ(s.header.checksum, 0x1234);
    FrameCrc expected;
    expected.AddBits(MakeHeader(f), 16);
    EXPECT_EQ(s.crc->Value(), expected.Value());
}

TEST(FrameHeader, UnreadableFramesAreNoFrames) {
    // A reserved rate, a lone free-format frame (nothing to measure its size
    // against) and the forbidden bitrate index.
    for (HeaderFields f : {HeaderFields{.sample_frequency = 3}, HeaderFields{.bitrate_index = 0},
                           HeaderFields{.bitrate_index = 15}}) {
        std::vector<std::uint8_t> bytes;
        AppendFrame(bytes, f, 417, 0);
        OpenStream s(bytes);
        EXPECT_FALSE(s.Next()) << "rate " << f.sample_frequency << ", bitrate " << f.bitrate_index;
    }
}

TEST(FrameHeader, ReservedLayerCodeIsNoFrame) {
    std::vector<std::uint8_t> bytes;
    AppendFrame(bytes, {.layer = 0}, 40, 0);
    AppendFrame(bytes, {}, 417, 9);
    OpenStream s(bytes);
    ASSERT_TRUE(s.Next());
    EXPECT_EQ(s.header.layer, 3);
    EXPECT_EQ(s.stream.FirstFrameOffset(), 40u);
    EXPECT_EQ(s.Marker(), 9);
}

TEST(FrameHeader, LengthAndDisplayStrings) {
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < 50; ++i)
        AppendFrame(bytes, {.sample_frequency = 1, .mode = 1, .copyright = 1}, 384, 0);
    OpenStream s(bytes);
    ASSERT_TRUE(s.Next());
    EXPECT_EQ(s.header.LengthMs(50), 1200);
    EXPECT_STREQ(s.header.VersionName(), "MPEG-1");
    EXPECT_STREQ(s.header.LayerName(), "III");
    EXPECT_STREQ(s.header.ModeName(), "Joint stereo");
    EXPECT_STREQ(s.header.SampleRateName(), "48 kHz");
    EXPECT_TRUE(s.header.copy_flags[0]);

    FrameHeader lsf;
    lsf.version = 0;
    lsf.layer = 2;
    lsf.sample_frequency = 0;
    EXPECT_STREQ(lsf.VersionName(), "MPEG-2 LSF");
    EXPECT_STREQ(lsf.SampleRateName(), "22.05 kHz");
    EXPECT_EQ(lsf.LengthMs(1000), 52244) << "1152 samples at 22.05 kHz";
    lsf.layer = 3;
    EXPECT_EQ(lsf.LengthMs(1000), 26122) << "576 samples at 22.05 kHz";
    lsf.mpeg25 = true;
    EXPECT_STREQ(lsf.VersionName(), "MPEG-2.5");
    EXPECT_STREQ(lsf.SampleRateName(), "11.025 kHz");
    EXPECT_EQ(lsf.LengthMs(1000), 52244) << "576 samples at 11.025 kHz";
    lsf.sample_frequency = 1;
    EXPECT_STREQ(lsf.SampleRateName(), "12 kHz");
    lsf.sample_frequency = 2;
    EXPECT_STREQ(lsf.SampleRateName(), "8 kHz");
    EXPECT_EQ(lsf.LengthMs(1000), 72000);
    lsf.layer = 0;
    lsf.mode = 4;
    EXPECT_EQ(lsf.LayerName(), nullptr);
    EXPECT_EQ(lsf.ModeName(), nullptr);
}
