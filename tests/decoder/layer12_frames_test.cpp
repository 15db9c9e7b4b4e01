// Whole Layer I and II frames through DecodeLayer12Frame: the CRC check,
// channel routing, forbidden values and frames of arbitrary bits.

#include "Layer12Decoding.h"
#include "Layer12Frames.h"

#include <gtest/gtest.h>

#include <random>

using namespace testsupport;

namespace {

Layer12Run DecodeBytes(const std::vector<std::uint8_t>& bytes) {
    TempDir dir;
    WriteFile(dir.File("s.mp2"), bytes);
    return DecodeLayer12File(dir.File("s.mp2"));
}

bool AllZero(const std::vector<std::int16_t>& pcm, std::size_t from, std::size_t step) {
    for (std::size_t i = from; i < pcm.size(); i += step)
        if (pcm[i] != 0)
            return false;
    return true;
}

std::vector<std::int16_t> Tail(const std::vector<std::int16_t>& pcm, std::size_t n) {
    return std::vector<std::int16_t>(pcm.end() - static_cast<std::ptrdiff_t>(n), pcm.end());
}

} // namespace

TEST(Layer12Crc, DamagedProtectedFrameIsDroppedAndLaterFramesPlay) {
    struct Case {
        const char* what;
        const char* vector;
        int frame_size;
        int samples_per_frame;
        int offset; // of the damaged byte within the frame
        bool rejected;
    };
    // Both streams are stereo, protected and unpadded (32 kHz).
    const Case cases[] = {
        {"Layer II checksum", "l2-fl10", 864, 1152, 4, true},
        {"Layer II allocation", "l2-fl10", 864, 1152, 6, true},
        {"Layer II samples are not protected", "l2-fl10", 864, 1152, 700, false},
        {"Layer I checksum", "l1-fl1", 576, 384, 5, true},
        {"Layer I allocation", "l1-fl1", 576, 384, 7, true},
        {"Layer I samples are not protected", "l1-fl1", 576, 384, 500, false},
    };
    constexpr int kDamagedFrame = 5;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = SharedPath(std::string("vectors/") + c.vector + ".bit");
        Layer12Run intact = DecodeLayer12File(path);
        ASSERT_TRUE(intact.sink);
        ASSERT_EQ(intact.frames_rejected, 0);

        std::vector<std::uint8_t> bytes = ReadFile(path);
        bytes[static_cast<std::size_t>(kDamagedFrame * c.frame_size + c.offset)] ^= 0x10;
        Layer12Run damaged = DecodeBytes(bytes);
        ASSERT_TRUE(damaged.sink);
        EXPECT_EQ(damaged.frames_read, intact.frames_read);
        const int dropped = c.rejected ? 1 : 0;
        EXPECT_EQ(damaged.frames_rejected, dropped);
        EXPECT_EQ(damaged.sink->frames_ended, intact.frames_read - dropped);
        const std::size_t per_frame = static_cast<std::size_t>(c.samples_per_frame);
        EXPECT_EQ(damaged.sink->appended[0], per_frame * (intact.frames_read - dropped));
        EXPECT_EQ(damaged.sink->appended[1], damaged.sink->appended[0]);

        // Frames before the damage are untouched; once the synthesis history
        // has moved past the gap the output is the intact stream's again.
        const std::size_t before = 2 * per_frame * kDamagedFrame;
        ASSERT_GE(damaged.sink->pcm.size(), before);
        EXPECT_TRUE(std::equal(intact.sink->pcm.begin(), intact.sink->pcm.begin() + before,
                               damaged.sink->pcm.begin()));
        EXPECT_EQ(Tail(damaged.sink->pcm, 2 * per_frame), Tail(intact.sink->pcm, 2 * per_frame));
    }
}

TEST(Layer2Frame, StereoFrameGives1152SamplesPerChannelInterleaved) {
    // MPEG-1, 48 kHz, 384 kbit/s stereo: 1152-byte frames, 27 subbands with
    // 4 allocation bits up to subband 10, 3 up to 22, then 2. Only subband 0
    // carries a 3-step signal, in the channels each case names.
    const HeaderFields fields{.layer = 2, .bitrate_index = 14, .sample_frequency = 1};
    struct Case {
        unsigned left;
        unsigned right;
    };
    for (Case c : {Case{1, 0}, Case{0, 1}, Case{1, 1}}) {
        SCOPED_TRACE(testing::Message() << "left " << c.left << " right " << c.right);
        BitWriter body;
        for (int sb = 0; sb < 27; ++sb) {
            const int width = sb <= 10 ? 4 : sb <= 22 ? 3 : 2;
            PutFields(body, {{sb == 0 ? c.left : 0u, width}, {sb == 0 ? c.right : 0u, width}});
        }
        const int sending = static_cast<int>(c.left + c.right);
        PutRepeated(body, 2, 2, sending);  // scfsi: one scale factor for the frame
        PutRepeated(body, 10, 6, sending); // scale factor 2^(1 - 10/3)
        for (int group = 0; group < 12; ++group)
            PutRepeated(body, static_cast<std::uint32_t>(group * 7 % 27), 5, sending);
        std::vector<std::uint8_t> bytes;
        AppendBitFrame(bytes, fields, 1152, body);

        Layer12Run run = DecodeBytes(bytes);
        ASSERT_TRUE(run.sink);
        EXPECT_EQ(run.frames_decoded, 1);
        EXPECT_EQ(run.sink->frames_ended, 1);
        EXPECT_EQ(run.sink->appended[0], 1152u);
        EXPECT_EQ(run.sink->appended[1], 1152u);
        ASSERT_EQ(run.sink->pcm.size(), 2304u);
        EXPECT_EQ(AllZero(run.sink->pcm, 0, 2), c.left == 0);
        EXPECT_EQ(AllZero(run.sink->pcm, 1, 2), c.right == 0);
    }
}

TEST(Layer1Frame, ForbiddenAllocationAndScaleFactorSilenceOnlyTheirSubband) {
    // MPEG-1 Layer I, 32 kHz, 448 kbit/s, single channel: 672-byte frames.
    // Subband 1 always carries a 4-bit signal; subband 0 varies per case and
    // must not change the output unless it is allowed to sound.
    const HeaderFields fields{.layer = 1, .bitrate_index = 14, .sample_frequency = 2, .mode = 3};
    auto frame = [&](unsigned allocation, unsigned scale_index, std::uint32_t code) {
        BitWriter body;
        PutFields(body, {{allocation, 4}, {3, 4}});
        PutRepeated(body, 0, 4, 30);
        if (allocation != 0)
            body.Put(scale_index, 6);
        body.Put(10, 6);
        for (int group = 0; group < 12; ++group) {
            if (allocation != 0)
                body.Put(code, static_cast<int>(allocation) + 1);
            body.Put(static_cast<std::uint32_t>(group * 5 % 15), 4);
        }
        std::vector<std::uint8_t> bytes;
        AppendBitFrame(bytes, fields, 672, body);
        return DecodeBytes(bytes);
    };
    Layer12Run reference = frame(0, 0, 0);
    ASSERT_TRUE(reference.sink);
    ASSERT_EQ(reference.sink->pcm.size(), 384u);
    ASSERT_FALSE(AllZero(reference.sink->pcm, 0, 1));

    struct Case {
        const char* what;
        unsigned allocation;
        unsigned scale_index;
        std::uint32_t code;
        bool silent;
    };
    const Case cases[] = {
        {"allocation 15, 16-bit codes", 15, 0, 0xFFFF, true},
        {"scale factor index 63", 5, 63, 0x3F, true},
        {"an allowed subband 0 sounds", 5, 0, 0x3F, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Layer12Run run = frame(c.allocation, c.scale_index, c.code);
        ASSERT_TRUE(run.sink);
        EXPECT_EQ(run.sink->frames_ended, 1);
        EXPECT_EQ(run.sink->pcm == reference.sink->pcm, c.silent);
    }
}

TEST(Layer12Frame, ArbitraryBodiesDecodeWholeFramesOrNone) {
    // Every allocation table, both versions, every mode and intensity bound,
    // with and without CRC; the bodies are random. Run under the address
    // sanitizer this shows that no bit pattern reads outside a table.
    struct Config {
        const char* what;
        HeaderFields fields;
        int size;
    };
    const Config configs[] = {
        {"L1 32 kHz 448k", {.layer = 1, .bitrate_index = 14, .sample_frequency = 2}, 672},
        {"L1 48 kHz 384k", {.layer = 1, .bitrate_index = 12, .sample_frequency = 1}, 384},
        {"L1 LSF 24 kHz 256k",
         {.version = 0, .layer = 1, .bitrate_index = 14, .sample_frequency = 1},
         512},
        {"L2 12-subband table", {.layer = 2, .bitrate_index = 2, .sample_frequency = 2}, 216},
        {"L2 8-subband table", {.layer = 2, .bitrate_index = 6, .sample_frequency = 1}, 288},
        {"L2 27-subband table", {.layer = 2, .bitrate_index = 10, .sample_frequency = 1}, 576},
        {"L2 30-subband table", {.layer = 2, .bitrate_index = 10, .sample_frequency = 2}, 864},
        {"L2 LSF 24 kHz 64k",
         {.version = 0, .layer = 2, .bitrate_index = 8, .sample_frequency = 1},
         384},
        {"L2 LSF 16 kHz 160k",
         {.version = 0, .layer = 2, .bitrate_index = 14, .sample_frequency = 2},
         1440},
    };
    struct ModeCase {
        int mode;
        int extension;
    };
    const ModeCase modes[] = {{0, 0}, {1, 0}, {1, 1}, {1, 2}, {1, 3}, {2, 0}, {3, 0}};
    constexpr int kFrames = 6;
    std::mt19937 random(1234);
    std::uniform_int_distribution<int> byte(0, 255);
    for (const Config& config : configs) {
        for (ModeCase m : modes) {
            for (int protection : {0, 1}) {
                SCOPED_TRACE(testing::Message() << config.what << " mode " << m.mode << "/"
                                                << m.extension << " protection " << protection);
                HeaderFields fields = config.fields;
                fields.mode = m.mode;
                fields.mode_extension = m.extension;
                fields.protection_bit = protection;
                std::vector<std::uint8_t> bytes;
                for (int f = 0; f < kFrames; ++f) {
                    AppendHeader(bytes, MakeHeader(fields));
                    for (int i = 4; i < config.size; ++i)
                        bytes.push_back(static_cast<std::uint8_t>(byte(random)));
                }
                Layer12Run run = DecodeBytes(bytes);
                ASSERT_TRUE(run.sink);
                EXPECT_EQ(run.frames_read, kFrames);
                EXPECT_EQ(run.frames_decoded + run.frames_rejected, kFrames);
                if (protection == 1) {
                    EXPECT_EQ(run.frames_rejected, 0);
                }
                EXPECT_EQ(run.sink->frames_ended, run.frames_decoded);
                const std::size_t per_frame = config.fields.layer == 1 ? 384 : 1152;
                EXPECT_EQ(run.sink->appended[0], per_frame * run.frames_decoded);
                EXPECT_EQ(run.sink->appended[1], m.mode == 3 ? 0 : run.sink->appended[0]);
            }
        }
    }
}
