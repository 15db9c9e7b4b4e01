#include "RunProgram.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace testsupport;

namespace {

ProgramResult Info(const std::string& path) {
    return RunProgram(BinPath("audiocore"), {"info", path});
}

struct StreamFacts {
    const char* name;
    const char* format;
    int frames;
    int length_ms;
    int first_frame_offset;
};

// Frames are those a walk over the headers finds, whatever their sizes: the
// "he" streams change bitrate from frame to frame.
const StreamFacts kVectors[] = {
    {"M2L3_compl24", "MPEG-2 LSF layer III, Single channel, 24 kHz", 212, 5088, 0},
    {"l1-fl1", "MPEG-1 layer I, Stereo, 32 kHz", 49, 588, 0},
    {"l1-fl2", "MPEG-1 layer I, Joint stereo, 44.1 kHz", 49, 426, 0},
    {"l1-fl3", "MPEG-1 layer I, Joint stereo, 48 kHz", 49, 392, 0},
    {"l1-fl4", "MPEG-1 layer I, Single channel, 32 kHz", 49, 588, 0},
    {"l1-fl5", "MPEG-1 layer I, Dual channel, 48 kHz", 49, 392, 0},
    {"l1-fl6", "MPEG-1 layer I, Stereo, 44.1 kHz", 49, 426, 0},
    {"l2-fl10", "MPEG-1 layer II, Stereo, 32 kHz", 49, 1764, 0},
    {"l2-fl11", "MPEG-1 layer II, Stereo, 44.1 kHz", 49, 1280, 0},
    {"l2-fl12", "MPEG-1 layer II, Stereo, 48 kHz", 49, 1176, 0},
    {"l2-fl13", "MPEG-1 layer II, Single channel, 32 kHz", 49, 1764, 0},
    {"l2-fl14", "MPEG-1 layer II, Dual channel, 48 kHz", 16, 384, 0},
    {"l3-compl", "MPEG-1 layer III, Single channel, 48 kHz", 216, 5184, 0},
    {"l3-he_32khz", "MPEG-1 layer III, Single channel, 32 kHz", 150, 5400, 0},
    {"l3-he_48khz", "MPEG-1 layer III, Single channel, 48 kHz", 150, 3600, 0},
    {"l3-hecommon", "MPEG-1 layer III, Stereo, 44.1 kHz", 30, 783, 0},
    {"l3-nonstandard-id3v2", "MPEG-1 layer III, Single channel, 48 kHz", 1, 24, 1856},
    {"l3-si", "MPEG-1 layer III, Single channel, 44.1 kHz", 118, 3082, 0},
    {"l3-si_block", "MPEG-1 layer III, Single channel, 44.1 kHz", 64, 1671, 0},
    {"l3-si_huff", "MPEG-1 layer III, Single channel, 44.1 kHz", 75, 1959, 0},
    {"l3-sin1k0db", "MPEG-1 layer III, Joint stereo, 44.1 kHz", 317, 8280, 215},
};

// Samples per channel of one frame, by the stream's format line.
int FrameSamples(const std::string& format) {
    if (format.find("layer I,") != std::string::npos)
        return 384;
    return format.find("MPEG-2") != std::string::npos ? 576 : 1152;
}

} // namespace

TEST(AudiocoreInfo, DescribesEveryConformanceStream) {
    for (const StreamFacts& v : kVectors) {
        ProgramResult r = Info(SharedPath(std::string("vectors/") + v.name + ".bit"));
        // No encoder states a delay in these: the song is every frame.
        const long long samples = static_cast<long long>(v.frames) * FrameSamples(v.format);
        std::string expected = std::string("format: ") + v.format + "\n" +
                               "frames: " + std::to_string(v.frames) + "\n" +
                               "samples: " + std::to_string(samples) + "\n" +
                               "length_ms: " + std::to_string(v.length_ms) + "\n" +
                               "replaygain: none\n" + "copyright: no\n" +
                               "first_frame_offset: " + std::to_string(v.first_frame_offset) + "\n";
        EXPECT_EQ(r.exit_code, 0) << v.name;
        EXPECT_EQ(r.out, expected) << v.name;
        EXPECT_EQ(r.err, "") << v.name;
    }
}

TEST(AudiocoreInfo, FailsCleanlyOnFilesThatHoldNoStream) {
    TempDir dir;
    WriteFile(dir.File("empty.mp3"), {});
    std::string text = "This is not an MP3 file, just a few lines of text.\n";
    WriteFile(dir.File("text.mp3"), std::vector<std::uint8_t>(text.begin(), text.end()));
    mkdir(dir.File("folder.mp3").c_str(), 0755);
    struct Case {
        std::string path;
        const char* reason;
    };
    const Case cases[] = {
        {dir.File("empty.mp3"), "no MPEG audio frame found"},
        {dir.File("text.mp3"), "no MPEG audio frame found"},
        {dir.File("missing.mp3"), "No such file or directory"},
        {dir.File("folder.mp3"), "Is a directory"},
    };
    for (const Case& c : cases) {
        ProgramResult r = Info(c.path);
        EXPECT_NE(r.exit_code, 0) << c.path;
        EXPECT_EQ(r.out, "") << c.path;
        EXPECT_EQ(r.err, "audiocore: " + c.path + ": " + c.reason + "\n");
    }
}

TEST(AudiocoreInfo, AnswersHelpVersionAndBadUsage) {
    ProgramResult help = RunProgram(BinPath("audiocore"), {"--help"});
    EXPECT_EQ(help.exit_code, 0);
    EXPECT_NE(help.out.find("info FILE"), std::string::npos);
    ProgramResult version = RunProgram(BinPath("audiocore"), {"--version"});
    EXPECT_EQ(version.exit_code, 0);
    EXPECT_EQ(version.out.rfind("audiocore ", 0), 0u);
    EXPECT_NE(RunProgram(BinPath("audiocore"), {"frobnicate"}).exit_code, 0);
    EXPECT_NE(RunProgram(BinPath("audiocore"), {"info"}).exit_code, 0);
}
