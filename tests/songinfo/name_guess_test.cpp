#include "NameGuess.h"

#include <gtest/gtest.h>

#include <string>

using namespace songinfo;

namespace {

struct GuessCase {
    const char* path;
    const char* title;
    const char* artist;
    const char* album;
};

void PrintTo(const GuessCase& c, std::ostream* out) {
    *out << c.path;
}

class GuessFromNameTable : public testing::TestWithParam<GuessCase> {};

} // namespace

// Fields compared trimmed, as the player shows them.
TEST_P(GuessFromNameTable, GivesTitleArtistAndAlbum) {
    const GuessCase& c = GetParam();
    TagFields r = GuessFromName(c.path);
    EXPECT_EQ(TrimSpaces(r.Title), c.title);
    EXPECT_EQ(TrimSpaces(r.Artist), c.artist);
    EXPECT_EQ(TrimSpaces(r.Album), c.album);
    EXPECT_EQ(r.Year, "");
    EXPECT_EQ(r.Comment, "");
    EXPECT_EQ(r.Genre, "");
}

INSTANTIATE_TEST_SUITE_P(
    NamesAndFolders, GuessFromNameTable,
    testing::Values(
        // The usual shapes of song file names.
        GuessCase{"/music/Yesterday.mp3", "Yesterday", "", ""},
        GuessCase{"/music/My_Song.mp3", "My Song", "", ""},
        GuessCase{"/music/Beatles - 05 - Yesterday.mp3", "Yesterday", "Beatles", ""},
        GuessCase{"/music/Beatles - Help - 07 - Yesterday.mp3", "Yesterday", "Beatles", "Help"},
        GuessCase{"/music/(Beatles) Yesterday - Help.mp3", "Yesterday", "Beatles", "Help"},
        // No title in the name: the folder above is joined to it.
        GuessCase{"/Beatles/05 - Yesterday.mp3", "Yesterday", "Beatles", ""},
        GuessCase{"/Beatles/Yesterday - Live.mp3", "", "Beatles", "Yesterday"},
        GuessCase{"/home/me/Beatles/Help/07 - Yesterday.mp3", "Yesterday", "Help", ""},
        // The space test runs before underscores become spaces.
        GuessCase{"/music/Artist_-_Title.mp3", "Artist - Title", "", ""},
        GuessCase{"/music/Nospace.MP3", "Nospace", "", ""},
        GuessCase{"/  Spaced Out  .mp3", "", "Spaced Out", ""},
        // Only the part after the last "." goes; a name without "." stays whole.
        GuessCase{"/music/Beatles - 05 - Mr. Jones.mp3", "Mr. Jones", "Beatles", ""},
        GuessCase{"/music/Beatles - 05 - Mr. Jones", "Mr", "Beatles", ""},
        GuessCase{"/music/No_extension", "No extension", "", ""},
        GuessCase{"/music/v1.2/Track.mp3", "Track", "", ""},
        // Bracket form variants.
        GuessCase{"/music/(Beatles) - Yesterday.mp3", "Yesterday", "Beatles", ""},
        GuessCase{"/music/(Beatles) Yesterday.mp3", "Yesterday", "Beatles", ""},
        GuessCase{"/music/(Beatles Yesterday.mp3", "Beatles Yesterday", "", ""},
        GuessCase{"/(The Beatles).mp3", "", "The Beatles", ""},
        GuessCase{"/music/(The Beatles).mp3", "", "music", "(The Beatles)"},
        // Three dashes turn a bracket name into the dash form; brackets go.
        GuessCase{"/music/(Beatles) - Help - 07 - Yesterday.mp3", "Yesterday", "Beatles", "Help"},
        GuessCase{"/music/(Beatles) - Help-Live - 07 - Yesterday.mp3", "Yesterday", "Beatles",
                  "Help-Live"},
        // A number piece is skipped; the album is filled once.
        GuessCase{"/music/Beatles - Help - Live - 07 - Yesterday.mp3", "Yesterday", "Beatles",
                  "Help"},
        GuessCase{"/music/Beatles - +1.5 - Yesterday.mp3", "Yesterday", "Beatles", ""},
        GuessCase{"/Beatles - 1,000 - Yesterday.mp3", "", "Beatles", "1,000"},
        GuessCase{"/Beatles - 1e3 - Yesterday.mp3", "", "Beatles", "1e3"},
        // One "/" only: the folder is never consulted.
        GuessCase{"/Song - Name.mp3", "", "Song", "Name"},
        GuessCase{"Song - Name.mp3", "", "Song", "Name"},
        // Degenerate names give empty fields and no crash.
        GuessCase{"", "", "", ""}, GuessCase{"/", "", "", ""}, GuessCase{"//", "", "", ""},
        GuessCase{"/a/ .mp3", "", "", ""}, GuessCase{"/a/( .mp3", "(", "", ""},
        GuessCase{"/- - -.mp3", "", "-", ""}, GuessCase{"/a/- - -.mp3", "", "a", "-"}));

TEST(GuessFromName, OnlyTheInnermostLevelCounts) {
    // The file name alone gives artist "Live" and album "Show" but no title;
    // the next level's result replaces all of it.
    TagFields r = GuessFromName("/x/Beatles - 03 - Help/Live - Show.mp3");
    EXPECT_EQ(TrimSpaces(r.Title), "Help");
    EXPECT_EQ(TrimSpaces(r.Artist), "Beatles");
    EXPECT_EQ(TrimSpaces(r.Album), "Live");
}

TEST(GuessFromName, AnyBytesGiveOnlyNameFields) {
    std::string bytes;
    for (int i = 0; i < 256; ++i)
        bytes += static_cast<char>(i);
    for (const std::string& path :
         {bytes, bytes + "/" + bytes + " - 1 - " + bytes + ".mp3", "/(" + bytes + ")/" + bytes}) {
        TagFields r = GuessFromName(path);
        EXPECT_EQ(r.Year + r.Comment + r.Genre, "");
        EXPECT_EQ(r.Artist.find_first_of("()"), std::string::npos);
    }
}

TEST(CountOf, CountsWithoutOverlap) {
    EXPECT_EQ(CountOf("", "-"), 0);
    EXPECT_EQ(CountOf("abc", ""), 0);
    EXPECT_EQ(CountOf("a-b-c", "-"), 2);
    EXPECT_EQ(CountOf("----", "--"), 2);
    EXPECT_EQ(CountOf("---", "--"), 1);
    EXPECT_EQ(CountOf("- - -", "- "), 2);
}

TEST(ReadsAsNumber, AcceptsPlainDecimalNumbersOnly) {
    for (const char* yes : {"05 ", "12", " 7 ", "+3", "-3", "1.5", ".5", "5.", "-0.25"})
        EXPECT_TRUE(ReadsAsNumber(yes)) << yes;
    for (const char* no : {"", " ", "+", "-", ".", "1.2.3", "1,000", "1e3", "$5", "0x10", "5a",
                           "\t5", "- 5", "five"})
        EXPECT_FALSE(ReadsAsNumber(no)) << no;
}
