// Layer II files as common encoders write them, decoded frame by frame and
// compared with another decoder's float output truncated toward zero, as
// this decoder converts to 16 bits.

#include "Layer12Decoding.h"
#include "RunProgram.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>

using namespace testsupport;

namespace {

void PutLe(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// One second of two tones per channel over noise, different in each channel
// so that joint stereo has something to share and something to keep apart.
void WriteTestWav(const std::string& path, int rate, int channels) {
    const int frames = rate;
    std::vector<std::uint8_t> out;
    out.insert(out.end(), {'R', 'I', 'F', 'F'});
    PutLe(out, static_cast<std::uint32_t>(36 + frames * channels * 2), 4);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    PutLe(out, 16, 4);
    PutLe(out, 1, 2);
    PutLe(out, static_cast<std::uint32_t>(channels), 2);
    PutLe(out, static_cast<std::uint32_t>(rate), 4);
    PutLe(out, static_cast<std::uint32_t>(rate * channels * 2), 4);
    PutLe(out, static_cast<std::uint32_t>(channels * 2), 2);
    PutLe(out, 16, 2);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    PutLe(out, static_cast<std::uint32_t>(frames * channels * 2), 4);
    std::uint32_t noise = 12345;
    for (int i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / rate;
        noise = noise * 1664525u + 1013904223u;
        const double shared = (static_cast<double>(noise >> 8) / (1 << 24) - 0.5) * 0.3;
        for (int ch = 0; ch < channels; ++ch) {
            const double tone = 0.3 * std::sin(2 * std::numbers::pi * (440.0 + 220.0 * ch) * t) +
                                0.1 * std::sin(2 * std::numbers::pi * (3000.0 - 700.0 * ch) * t);
            PutLe(out, static_cast<std::uint16_t>(std::lround((tone + shared) * 32767.0)), 2);
        }
    }
    WriteFile(path, out);
}

// Float PCM in [-1, 1) to 16 bits the way this decoder converts.
std::vector<std::int16_t> TruncatedFloatPcm(const std::string& path) {
    std::vector<std::uint8_t> bytes = ReadFile(path);
    std::vector<std::int16_t> pcm(bytes.size() / 4);
    for (std::size_t i = 0; i < pcm.size(); ++i) {
        float f;
        std::memcpy(&f, &bytes[4 * i], 4);
        const float s = f * 32768.0f;
        pcm[i] = s > 32767.0f    ? 32767
                 : s < -32768.0f ? -32768
                                 : static_cast<std::int16_t>(static_cast<int>(s));
    }
    return pcm;
}

struct EncoderCase {
    const char* name;
    int rate;
    int channels;
    // twolame options, or ffmpeg's when `ffmpeg` is set.
    std::vector<std::string> options;
    bool ffmpeg = false;
    bool intensity = false;
};

void PrintTo(const EncoderCase& c, std::ostream* os) {
    *os << c.name;
}

class Layer2Encoders : public ::testing::TestWithParam<EncoderCase> {};

} // namespace

TEST_P(Layer2Encoders, DecodesLikeAFloatDecoderTruncated) {
    const EncoderCase& c = GetParam();
    TempDir dir;
    const std::string wav = dir.File("in.wav");
    const std::string mp2 = dir.File("out.mp2");
    const std::string f32 = dir.File("out.f32");
    WriteTestWav(wav, c.rate, c.channels);

    std::vector<std::string> args;
    if (c.ffmpeg) {
        args = {"-nostdin", "-loglevel", "error", "-i", wav, "-c:a", "mp2"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.push_back(mp2);
    } else {
        args = {"--quiet"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.insert(args.end(), {wav, mp2});
    }
    ProgramResult encoded = RunProgram(c.ffmpeg ? "ffmpeg" : "twolame", args);
    ASSERT_EQ(encoded.exit_code, 0) << encoded.err;
    ProgramResult reference = RunProgram("mpg123", {"-q", "-e", "f32", "-O", f32, mp2});
    ASSERT_EQ(reference.exit_code, 0) << reference.err;

    Layer12Run run = DecodeLayer12File(mp2);
    ASSERT_TRUE(run.sink);
    EXPECT_EQ(run.channels, c.channels);
    EXPECT_EQ(run.other_layers, 0);
    EXPECT_EQ(run.frames_rejected, 0);
    EXPECT_EQ(run.sink->frames_ended, run.frames_read);
    if (c.intensity) {
        EXPECT_GT(run.intensity_frames, 0);
    }

    const std::vector<std::int16_t> expected = TruncatedFloatPcm(f32);
    EXPECT_EQ(run.sink->pcm.size(), expected.size());
    PcmComparison cmp = ComparePcm(run.sink->pcm, expected);
    EXPECT_GT(cmp.compared, static_cast<std::size_t>(c.rate * c.channels / 2));
    EXPECT_GE(cmp.psnr, 92.5);
    EXPECT_LE(cmp.max_diff, 2);
    RecordProperty("psnr", std::to_string(cmp.psnr));
}

// Each MPEG-1 allocation table (27, 30, 8 and 12 subbands), every mode,
// intensity bounds inside the band range, CRC, and the LSF table.
INSTANTIATE_TEST_SUITE_P(
    Files, Layer2Encoders,
    ::testing::Values(EncoderCase{"stereo_44k_192", 44100, 2, {"-m", "s", "-b", "192"}},
                      EncoderCase{"joint_44k_192", 44100, 2, {"-m", "j", "-b", "192"}, false, true},
                      EncoderCase{"joint_44k_64", 44100, 2, {"-m", "j", "-b", "64"}, false, true},
                      EncoderCase{"stereo_32k_96", 32000, 2, {"-m", "s", "-b", "96"}},
                      EncoderCase{"dual_48k_192_crc", 48000, 2, {"-m", "d", "-b", "192", "-p"}},
                      EncoderCase{"single_32k_48", 32000, 1, {"-m", "m", "-b", "48"}},
                      EncoderCase{"single_48k_96_crc", 48000, 1, {"-m", "m", "-b", "96", "-p"}},
                      EncoderCase{"lsf_stereo_24k_64_crc", 24000, 2, {"-m", "s", "-b", "64", "-p"}},
                      EncoderCase{
                          "lsf_joint_22k_48", 22050, 2, {"-m", "j", "-b", "48"}, false, true},
                      EncoderCase{"lsf_single_16k_32", 16000, 1, {"-m", "m", "-b", "32"}},
                      EncoderCase{"ffmpeg_stereo_44k_192", 44100, 2, {"-b:a", "192k"}, true},
                      EncoderCase{"ffmpeg_single_24k_64", 24000, 1, {"-b:a", "64k"}, true}),
    [](const ::testing::TestParamInfo<EncoderCase>& info) { return info.param.name; });
