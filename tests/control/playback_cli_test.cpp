// `audiocore play` and `audiocore devices` as a user runs them, on the null
// device, which appends what it played to a file.

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>

using testsupport::BinPath;
using testsupport::ReadFile;
using testsupport::SharedPath;
using testsupport::TempDir;

namespace {

constexpr std::size_t kLayerTwoBufferBytes = 32 * 1152 * 4;

struct Outcome {
    int status;
    std::string output;
};

Outcome RunAudiocore(const std::string& environment, const std::string& arguments,
                     const std::string& wrapper = "") {
    TempDir scratch;
    const std::string out = scratch.File("out.txt");
    const std::string command = environment + " " + wrapper + " " + BinPath("audiocore") + " " +
                                arguments + " > '" + out + "' 2>&1";
    const int raw = std::system(command.c_str());
    std::vector<std::uint8_t> text = ReadFile(out);
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, std::string(text.begin(), text.end())};
}

class PlayCommand : public ::testing::Test {
protected:
    std::string NullDevice(double speed) const {
        return "AUDIOCORE_OUTPUT=null AUDIOCORE_NULL_SPEED=" + std::to_string(speed) +
               " AUDIOCORE_NULL_RECORD='" + record + "'";
    }
    // 392 Layer II frames at 32 kHz: 14 s of audio.
    std::string LongFile() const {
        std::vector<std::uint8_t> one = ReadFile(SharedPath("vectors/l2-fl10.bit"));
        std::vector<std::uint8_t> all;
        for (int i = 0; i < 8; ++i)
            all.insert(all.end(), one.begin(), one.end());
        testsupport::WriteFile(dir.File("long.mp2"), all);
        return dir.File("long.mp2");
    }

    TempDir dir;
    std::string record = dir.File("heard.raw");
};

TEST_F(PlayCommand, PlaysTheWholeFileFromTheChosenFrame) {
    const std::string file = LongFile();
    struct Case {
        std::string options;
        std::size_t buffers;
    };
    const Case cases[] = {
        {"", 13},           // 392 frames
        {"--start 300", 3}, // 92 frames and one decoded before the seek lands
        {"--volume 0", 13},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options);
        std::remove(record.c_str());
        Outcome outcome = RunAudiocore(NullDevice(50), "play '" + file + "' " + c.options);
        EXPECT_EQ(outcome.status, 0) << outcome.output;
        std::vector<std::uint8_t> heard = ReadFile(record);
        EXPECT_EQ(heard.size(), c.buffers * kLayerTwoBufferBytes);
        const bool silent =
            std::all_of(heard.begin(), heard.end(), [](std::uint8_t b) { return b == 0; });
        EXPECT_EQ(silent, c.options == "--volume 0");
    }
}

TEST_F(PlayCommand, InterruptStopsThePlayAndExitsWhenTheRunHasEnded) {
    Outcome outcome = RunAudiocore(NullDevice(1), "play '" + LongFile() + "'",
                                   "timeout --preserve-status -s INT 1");
    EXPECT_EQ(outcome.status, 130) << outcome.output;
    // About a second of the fourteen was heard.
    EXPECT_LT(ReadFile(record).size(), 3 * kLayerTwoBufferBytes);
}

TEST_F(PlayCommand, RefusesWhatItCannotPlay) {
    EXPECT_EQ(RunAudiocore(NullDevice(1), "play").status, 2);
    EXPECT_EQ(RunAudiocore(NullDevice(1), "play x.mp3 --volume 70000").status, 2);
    EXPECT_EQ(RunAudiocore(NullDevice(1), "play x.mp3 --device").status, 2);
    Outcome missing = RunAudiocore(NullDevice(1), "play '" + dir.File("missing.mp3") + "'");
    EXPECT_EQ(missing.status, 1);
    // The reason, as info and convert give it.
    EXPECT_NE(missing.output.find("missing.mp3: No such file or directory"), std::string::npos)
        << missing.output;
    Outcome no_device = RunAudiocore(NullDevice(50), "play '" + LongFile() + "' --device 5");
    EXPECT_EQ(no_device.status, 1);
    EXPECT_NE(no_device.output.find("Could not open wave device."), std::string::npos);
    EXPECT_NE(no_device.output.find(": could not open wave device: there is no output device 5\n"),
              std::string::npos)
        << no_device.output;
    // The real back end says why in its own words.
    Outcome no_driver = RunAudiocore("AUDIOCORE_OUTPUT=sdl SDL_AUDIODRIVER=no-such-driver",
                                     "play '" + LongFile() + "'");
    EXPECT_EQ(no_driver.status, 1);
    EXPECT_NE(no_driver.output.find(": could not open wave device: Audio target 'no-such-driver'"),
              std::string::npos)
        << no_driver.output;
}

TEST_F(PlayCommand, DevicesListsEachDeviceWithTheOutputDevIdThatSelectsIt) {
    Outcome outcome = RunAudiocore("AUDIOCORE_OUTPUT=null", "devices");
    EXPECT_EQ(outcome.status, 0);
    EXPECT_NE(outcome.output.find("0            (preferred device)"), std::string::npos);
    EXPECT_NE(outcome.output.find("1            Null output"), std::string::npos);
}

} // namespace
