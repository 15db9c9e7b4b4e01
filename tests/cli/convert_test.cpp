#include "RunProgram.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace testsupport;

namespace {

ProgramResult Convert(const std::vector<std::string>& args) {
    std::vector<std::string> all = {"convert"};
    all.insert(all.end(), args.begin(), args.end());
    return RunProgram(BinPath("audiocore"), all);
}

std::string Vector(const std::string& name) {
    return SharedPath("vectors/" + name + ".bit");
}

// Runs audiocore with its standard error on a terminal; returns what the
// terminal showed.
std::string ConvertOnTerminal(const std::string& in, const std::string& out, int& exit_code) {
    int master = -1;
    pid_t pid = forkpty(&master, nullptr, nullptr, nullptr);
    if (pid == 0) {
        int null_fd = ::open("/dev/null", O_WRONLY);
        dup2(null_fd, STDOUT_FILENO);
        std::string program = BinPath("audiocore");
        execl(program.c_str(), program.c_str(), "convert", in.c_str(), out.c_str(), nullptr);
        _exit(127);
    }
    std::string shown;
    char buffer[4096];
    for (;;) {
        ssize_t n = ::read(master, buffer, sizeof buffer);
        if (n <= 0)
            break; // EIO once the child has gone
        shown.append(buffer, static_cast<std::size_t>(n));
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ::close(master);
    exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return shown;
}

} // namespace

TEST(AudiocoreConvert, WritesTheWavFileQuietlyWhenNotOnATerminal) {
    TempDir dir;
    const std::string wav = dir.File("out.wav");
    ProgramResult r = Convert({Vector("l2-fl11"), wav});
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
    std::vector<std::uint8_t> file = ReadFile(wav);
    ASSERT_GE(file.size(), 46u);
    EXPECT_EQ(std::string(file.begin(), file.begin() + 4), "RIFF");
}

TEST(AudiocoreConvert, ShowsProgressOnATerminal) {
    TempDir dir;
    int exit_code = -1;
    std::string shown = ConvertOnTerminal(Vector("l3-he_48khz"), dir.File("out.wav"), exit_code);
    EXPECT_EQ(exit_code, 0);
    EXPECT_NE(shown.find("\r["), std::string::npos) << shown;
    EXPECT_NE(shown.find("100%"), std::string::npos) << shown;
    EXPECT_TRUE(std::filesystem::exists(dir.File("out.wav")));
}

TEST(AudiocoreConvert, AFailureIsOneClearLineAndANonZeroStatus) {
    TempDir dir;
    WriteFile(dir.File("noise.mp3"), std::vector<std::uint8_t>(3000, 0x41));
    std::filesystem::copy_file(Vector("l2-fl10"), dir.File("song.mp3"));
    const std::vector<std::uint8_t> song = ReadFile(dir.File("song.mp3"));
    struct Case {
        const char* name;
        std::vector<std::string> args;
        int exit_code;
        std::string err;
    };
    const std::string missing_out = dir.File("none/out.wav");
    const std::string kUsage = "usage: audiocore convert IN OUT.wav [--threads N] [--no-gapless]\n"
                               "                         [--replaygain off|track|album|auto] "
                               "[--preamp DB]\n";
    const Case cases[] = {
        {"missing input",
         {dir.File("absent.mp3"), dir.File("1.wav")},
         1,
         "audiocore: " + dir.File("absent.mp3") + ": No such file or directory\n"},
        {"input without frames",
         {dir.File("noise.mp3"), dir.File("2.wav")},
         1,
         "audiocore: " + dir.File("noise.mp3") + ": no MPEG audio frame found\n"},
        {"output is the input",
         {dir.File("song.mp3"), dir.File("song.mp3")},
         1,
         "audiocore: " + dir.File("song.mp3") + ": is the source file itself\n"},
        // The writer's own report comes first, then the command's.
        {"output folder missing",
         {dir.File("song.mp3"), missing_out},
         1,
         "could not open file : " + missing_out + "\naudiocore: " + missing_out +
             ": cannot create the WAV file: No such file or directory\n"},
        {"no output named", {dir.File("song.mp3")}, 2, kUsage},
        {"threads out of range",
         {dir.File("song.mp3"), dir.File("3.wav"), "--threads", "9"},
         2,
         kUsage},
        {"no such ReplayGain mode",
         {dir.File("song.mp3"), dir.File("3.wav"), "--replaygain", "loud"},
         2,
         kUsage},
        {"preamp that is no gain",
         {dir.File("song.mp3"), dir.File("3.wav"), "--preamp", "6dB"},
         2,
         kUsage},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProgramResult r = Convert(c.args);
        EXPECT_EQ(r.exit_code, c.exit_code);
        EXPECT_EQ(r.err, c.err);
        EXPECT_EQ(r.out, "");
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("1.wav")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("2.wav")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("none")));
    EXPECT_EQ(ReadFile(dir.File("song.mp3")), song);
}
