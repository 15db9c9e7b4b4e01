#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace testsupport;

namespace {

struct ProgramRun {
    std::string out;
    int status = -1;
};

// Runs songwell with the arguments (already quoted for the shell); `out`
// holds its standard error too when `errors` is set.
ProgramRun Songwell(const std::string& arguments, bool errors = false) {
    ProgramRun run;
    const std::string command =
        BinPath("songwell") + " " + arguments + (errors ? " 2>&1" : " 2>/dev/null");
    std::FILE* pipe = popen(command.c_str(), "r");
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

namespace {

// A short file of silence tagged by lame with an ID3v1 tag only,
// which pads every field with NULs.
bool MakeLameTaggedFile(const TempDir& dir, const std::string& mp3) {
    const std::string wav = dir.File("silence.wav");
    const std::string command = "sox -n -r 44100 -c 2 " + Quoted(wav) +
                                " trim 0 0.3 && lame --silent --id3v1-only --tt Hello --ta Band"
                                " --tl Disc --ty 2001 --tc Note " +
                                Quoted(wav) + " " + Quoted(mp3);
    return std::system(command.c_str()) == 0;
}

// A vector file with an ID3v1 tag whose fields are given whole (30 bytes).
void WriteTaggedFile(const std::string& path, const std::string& title, const std::string& artist) {
    std::vector<std::uint8_t> bytes = ReadFile(SharedPath("vectors/l3-compl.bit"));
    std::string tag =
        "TAG" + title + artist + std::string(30, ' ') + "2001" + std::string(30, ' ') + "\x11";
    bytes.insert(bytes.end(), tag.begin(), tag.end());
    WriteFile(path, bytes);
}

} // namespace

TEST(SongwellInfo, FactsFromLamesNulPaddedTagArePlainText) {
    TempDir dir;
    const std::string mp3 = dir.File("lame.mp3");
    ASSERT_TRUE(MakeLameTaggedFile(dir, mp3));
    ProgramRun run = Songwell("--info " + Quoted(mp3));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.find('\0'), std::string::npos);
    EXPECT_EQ(run.out, "Title: Hello\nArtist: Band\nAlbum: Disc\nYear: 2001\nComment: Note\n"
                       "Genre: \n");
    // As a user checks it: grep finds no NUL byte in any line.
    ProgramRun grep = Songwell("--info " + Quoted(mp3) + " | grep -a -c -P '\\x00'");
    EXPECT_EQ(grep.out, "0\n");
}

TEST(SongwellInfo, ControlCharactersOfATagAreShownAsEscapes) {
    TempDir dir;
    struct Case {
        const char* name;
        std::string title;
        std::string shown;
    };
    const Case cases[] = {
        {"clear screen", "\x1b[2Jgone", "\\x1B[2Jgone"},
        {"window title", "\x1b]0;owned\x07", "\\x1B]0;owned\\x07"},
        {"forged line", "Song\r\nGenre: Fake", "Song\\x0D\\x0AGenre: Fake"},
        {"C1 control",
         "a\x9b"
         "31mred",
         "a\\u009B31mred"},
        {"tab and delete", "a\tb\x7f", "a\\x09b\\x7F"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string title = c.title;
        title.resize(30, ' ');
        const std::string path = dir.File("song.mp3");
        WriteTaggedFile(path, title, "Band" + std::string(26, '\0'));
        ProgramRun run = Songwell("--info " + Quoted(path));
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out.find('\x1b'), std::string::npos);
        EXPECT_EQ(run.out.find('\r'), std::string::npos);
        EXPECT_EQ(run.out, "Title: " + c.shown +
                               "\nArtist: Band\nAlbum: \nYear: 2001\n"
                               "Comment: \nGenre: Rock\n");
    }
}

TEST(SongwellInfo, WhatHoldsNoReadableMP3FileFailsWithAMessage) {
    TempDir dir;
    WriteFile(dir.File("notes.txt"), {'h', 'i'});
    std::filesystem::create_directory(dir.File("folder.mp3"));
    ASSERT_EQ(mkfifo(dir.File("pipe.mp3").c_str(), 0600), 0);
    WriteFile(dir.File("locked.mp3"), ReadFile(SharedPath("vectors/l3-compl.bit")));
    std::filesystem::permissions(dir.File("locked.mp3"), std::filesystem::perms::none);
    struct Case {
        std::string file;
        std::string reason;
    };
    std::vector<Case> cases = {
        {dir.File("missing.mp3"), "No such file or directory"},
        {dir.File("folder.mp3"), "Is a directory"},
        {dir.File("pipe.mp3"), "not a regular file"},
        {dir.File("notes.txt"), "not an MP3 file (.mp3, .mp2 or .mp1)"},
    };
    // Root reads every file.
    if (geteuid() != 0)
        cases.push_back({dir.File("locked.mp3"), "Permission denied"});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        ProgramRun run = Songwell("--info " + Quoted(c.file), true);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, "songwell: " + c.file + ": " + c.reason + "\n");
    }
}

TEST(SongwellInfo, WrongUseGivesUsageAndStatusTwo) {
    EXPECT_EQ(Songwell("--info").status, 2);
    EXPECT_EQ(Songwell("--bogus").status, 2);
    ProgramRun help = Songwell("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--info FILE"), std::string::npos);
}
