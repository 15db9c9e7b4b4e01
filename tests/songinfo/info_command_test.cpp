#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/wait.h>

using namespace testsupport;

namespace {

struct ProgramRun {
    std::string out;
    int status = -1;
};

// Runs songwell with the arguments (already quoted for the shell).
ProgramRun Songwell(const std::string& arguments) {
    ProgramRun run;
    std::FILE* pipe = popen((BinPath("songwell") + " " + arguments + " 2>/dev/null").c_str(), "r");
    if (pipe == nullptr)
        return run;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.out.append(buffer, n);
    int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string Quoted(const std::string& path) {
    return "'" + path + "'";
}

} // namespace

TEST(SongwellInfo, PrintsTheSixFactsOfATaggedFile) {
    TempDir dir;
    std::vector<std::uint8_t> bytes = ReadFile(SharedPath("vectors/l3-compl.bit"));
    std::string tag = std::string("TAG") + "Yesterday" + std::string(21, ' ') + "The Beatles" +
                      std::string(19, ' ') + "Help" + std::string(26, ' ') + "1965" + "Caf\xE9" +
                      std::string(26, ' ') + "\x11";
    bytes.insert(bytes.end(), tag.begin(), tag.end());
    WriteFile(dir.File("song.mp3"), bytes);

    ProgramRun run = Songwell("--info " + Quoted(dir.File("song.mp3")));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "Title: Yesterday\nArtist: The Beatles\nAlbum: Help\nYear: 1965\n"
                       "Comment: Caf\u00E9\nGenre: Rock\n");
}

TEST(SongwellInfo, NamesAnUntaggedFileFromItsName) {
    TempDir dir;
    WriteFile(dir.File("Beatles - 05 - Yesterday.mp3"),
              ReadFile(SharedPath("vectors/l3-compl.bit")));
    ProgramRun run = Songwell("--info " + Quoted(dir.File("Beatles - 05 - Yesterday.mp3")));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "Title: Yesterday\nArtist: Beatles\nAlbum: \nYear: \nComment: \nGenre: \n");
}

TEST(SongwellInfo, WhatIsNoMP3FilePrintsSixEmptyFacts) {
    TempDir dir;
    WriteFile(dir.File("notes.txt"), {'h', 'i'});
    for (const std::string& path : {dir.File("notes.txt"), dir.File("missing.mp3")}) {
        ProgramRun run = Songwell("--info " + Quoted(path));
        EXPECT_EQ(run.status, 0) << path;
        EXPECT_EQ(run.out, "Title: \nArtist: \nAlbum: \nYear: \nComment: \nGenre: \n") << path;
    }
}

TEST(SongwellInfo, WrongUseGivesUsageAndStatusTwo) {
    EXPECT_EQ(Songwell("--info").status, 2);
    EXPECT_EQ(Songwell("--bogus").status, 2);
    ProgramRun help = Songwell("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--info FILE"), std::string::npos);
}
