// Converts files from real encoders with the audiocore program and holds the
// result against a float decoding of the same file by another decoder,
// truncated toward zero as this decoder's synthesis truncates.

#include "RunProgram.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <sstream>

using namespace testsupport;

namespace {

std::string EncodedPath(const std::string& name) {
    return std::string(SONGWELL_ENCODED_DIR) + "/" + name;
}

std::vector<std::string> EncodedFiles() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(SONGWELL_ENCODED_DIR)) {
        std::string ext = entry.path().extension().string();
        if (ext == ".mp3" || ext == ".mp2")
            names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

ProgramResult Convert(const std::string& in, const std::string& out) {
    return RunProgram(BinPath("audiocore"), {"convert", in, out});
}

// The reference: 32-bit float PCM, scaled to 16 bits, clipped, then
// truncated toward zero. Without gapless trimming it keeps the encoder's
// delay and padding, as this decoder does, so the two differ at most by the
// encoder's info frame: a whole frame, which the comparison's alignment
// (in steps of 32 samples first) finds exactly even in noise.
bool WriteFloatReference(const std::string& mp3, const std::string& pcm_path) {
    ProgramResult r = RunProgram("mpg123", {"--no-gapless", "-q", "-e", "f32", "-s", mp3});
    if (r.exit_code != 0 || r.out.size() % 4 != 0)
        return false;
    std::vector<std::uint8_t> pcm;
    pcm.reserve(r.out.size() / 2);
    for (std::size_t i = 0; i < r.out.size(); i += 4) {
        float f;
        std::memcpy(&f, r.out.data() + i, 4);
        float s = f * 32768.0f;
        int v = s > 32767.0f ? 32767 : s < -32768.0f ? -32768 : static_cast<int>(s);
        pcm.push_back(static_cast<std::uint8_t>(v & 0xFF));
        pcm.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
    }
    WriteFile(pcm_path, pcm);
    return !pcm.empty();
}

struct Comparison {
    double psnr = 0;
    double maxdiff = 1e9;
    double coverage = 0;
};

// Reads "psnr=.. maxdiff=.. rms=.. shift=.. coverage=.." from pcmcmp.py.
Comparison Compare(const std::string& test_wav, const std::string& reference) {
    ProgramResult r = RunProgram("python3", {SharedPath("tools/pcmcmp.py"), test_wav, reference});
    Comparison c;
    std::istringstream words(r.out);
    std::string word;
    while (words >> word) {
        auto eq = word.find('=');
        if (eq == std::string::npos)
            continue;
        std::string key = word.substr(0, eq);
        double value = std::strtod(word.c_str() + eq + 1, nullptr);
        if (key == "psnr")
            c.psnr = value;
        else if (key == "maxdiff")
            c.maxdiff = value;
        else if (key == "coverage")
            c.coverage = value;
    }
    return c;
}

std::vector<std::uint8_t> WavData(const std::string& path) {
    std::vector<std::uint8_t> file = ReadFile(path);
    if (file.size() < 46)
        return {};
    return std::vector<std::uint8_t>(file.begin() + 46, file.end());
}

} // namespace

TEST(EncodedConversion, EveryEncoderFileMatchesAFloatDecodingTruncatedTowardZero) {
    std::vector<std::string> files = EncodedFiles();
    // 15 Layer III and 9 Layer II files; fewer means the maker script broke.
    ASSERT_GE(files.size(), 24u);
    TempDir dir;
    for (const std::string& name : files) {
        SCOPED_TRACE(name);
        const std::string wav = dir.File(name + ".wav");
        const std::string ref = dir.File(name + ".pcm");
        ProgramResult converted = Convert(EncodedPath(name), wav);
        ASSERT_EQ(converted.exit_code, 0) << converted.err;
        EXPECT_EQ(converted.err, "");
        ASSERT_TRUE(WriteFloatReference(EncodedPath(name), ref));
        Comparison c = Compare(wav, ref);
        EXPECT_GE(c.psnr, 92.5);
        EXPECT_LE(c.maxdiff, 2);
        EXPECT_GE(c.coverage, 0.95);
    }
}

TEST(EncodedConversion, AStreamThatChangesLayerDecodesEveryPart) {
    TempDir dir;
    struct Part {
        const char* name;
        std::vector<std::uint8_t> data;
    };
    Part parts[] = {{"part-l2.bin", {}}, {"part-l3.bin", {}}, {"mixed-layers.bin", {}}};
    for (Part& p : parts) {
        SCOPED_TRACE(p.name);
        const std::string wav = dir.File(std::string(p.name) + ".wav");
        ProgramResult r = Convert(EncodedPath(p.name), wav);
        ASSERT_EQ(r.exit_code, 0) << r.err;
        p.data = WavData(wav);
    }
    const auto& l2 = parts[0].data;
    const auto& l3 = parts[1].data;
    const auto& mixed = parts[2].data;
    ASSERT_FALSE(l2.empty());
    ASSERT_FALSE(l3.empty());
    // Layer II, then Layer III, then Layer II again: every frame of each part
    // is decoded, and the opening part exactly as on its own.
    EXPECT_EQ(mixed.size(), 2 * l2.size() + l3.size());
    ASSERT_GE(mixed.size(), l2.size());
    EXPECT_TRUE(std::equal(l2.begin(), l2.end(), mixed.begin()));
}
