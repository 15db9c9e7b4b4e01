#include "TestSupport.h"
#include "clsMP3Info.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

using namespace songinfo;
using namespace testsupport;

namespace {

using ByteVector = std::vector<std::uint8_t>;

// A 128-byte tag block with each field given in full (padding included).
ByteVector TagBlock(const std::string& title, const std::string& artist, const std::string& album,
                    const std::string& year, const std::string& comment, std::uint8_t genre) {
    ByteVector block(128, 0);
    std::copy_n("TAG", 3, block.begin());
    std::copy(title.begin(), title.end(), block.begin() + 3);
    std::copy(artist.begin(), artist.end(), block.begin() + 33);
    std::copy(album.begin(), album.end(), block.begin() + 63);
    std::copy(year.begin(), year.end(), block.begin() + 93);
    std::copy(comment.begin(), comment.end(), block.begin() + 97);
    block[127] = genre;
    return block;
}

ByteVector Song() {
    return ReadFile(SharedPath("vectors/l3-compl.bit"));
}

ByteVector TaggedSong(const ByteVector& tag) {
    ByteVector bytes = Song();
    bytes.insert(bytes.end(), tag.begin(), tag.end());
    return bytes;
}

std::vector<std::string> Facts(const clsMP3Info& info) {
    return {info.Title(), info.Artist(), info.Album(), info.Year(), info.Comment(), info.Genre()};
}

const std::vector<std::string> kNoFacts(6);

} // namespace

TEST(clsMP3Info, ATaggedFileGivesItsTagTrimmedOfSpacesOnly) {
    TempDir dir;
    WriteFile(dir.File("x.mp3"),
              TaggedSong(TagBlock("  Yesterday" + std::string(19, ' '), std::string(30, ' '),
                                  "Help\tLive", "1965", std::string("Re\0mix", 6), 79)));
    clsMP3Info info;
    info.SetFilename(dir.File("x.mp3"));
    EXPECT_EQ(info.Filename(), dir.File("x.mp3"));
    EXPECT_EQ(info.Title(), "Yesterday");
    EXPECT_EQ(info.Artist(), ""); // all spaces; no fall-back to the name
    EXPECT_EQ(info.Album(), "Help\tLive" + std::string(21, '\0'));
    EXPECT_EQ(info.Year(), "1965");
    EXPECT_EQ(info.Comment(), std::string("Re\0mix", 6) + std::string(24, '\0'));
    EXPECT_EQ(info.Genre(), "Hard Rock");
}

TEST(clsMP3Info, AnEmptyTagTitleDoesNotFallBackToTheName) {
    TempDir dir;
    WriteFile(dir.File("Beatles - 05 - Yesterday.mp3"),
              TaggedSong(TagBlock("", "", "", "", "", 255)));
    clsMP3Info info;
    info.SetFilename(dir.File("Beatles - 05 - Yesterday.mp3"));
    EXPECT_EQ(info.Title(), std::string(30, '\0'));
    EXPECT_EQ(info.Genre(), "");
}

TEST(clsMP3Info, UntaggedFilesAreNamedFromTheirNames) {
    ByteVector short_tag = TagBlock("T", "A", "", "", "", 0);
    short_tag.resize(127); // 127 bytes cannot hold a tag even when they start with "TAG"
    ByteVector lower_marker = TaggedSong(TagBlock("T", "A", "", "", "", 0));
    std::copy_n("tag", 3, lower_marker.end() - 128);
    struct Case {
        const char* name;
        ByteVector bytes;
        std::vector<std::string> facts;
    };
    const Case cases[] = {
        {"Beatles - 05 - Yesterday.mp3", Song(), {"Yesterday", "Beatles", "", "", "", ""}},
        {"Nospace.MP3", Song(), {"Nospace", "", "", "", "", ""}},
        {"old.mp3.bak", Song(), {"old.mp3", "", "", "", "", ""}},
        {".hidden.mp2", Song(), {".hidden", "", "", "", "", ""}},
        {"Short_Song.mp1", short_tag, {"Short Song", "", "", "", "", ""}},
        {"lower - 01 - case.mp3", lower_marker, {"case", "lower", "", "", "", ""}},
    };
    for (const Case& c : cases) {
        TempDir dir;
        WriteFile(dir.File(c.name), c.bytes);
        clsMP3Info info;
        info.SetFilename(dir.File(c.name));
        EXPECT_EQ(Facts(info), c.facts) << c.name;
    }
}

TEST(clsMP3Info, WhatIsNoMP3FileGivesSixEmptyFacts) {
    TempDir dir;
    WriteFile(dir.File("tagged.mp3"), TaggedSong(TagBlock("Song", "Band", "", "", "", 3)));
    WriteFile(dir.File("song.wav"), TaggedSong(TagBlock("Song", "Band", "", "", "", 3)));
    std::filesystem::create_directory(dir.File("folder.mp3"));
    const std::string not_mp3[] = {dir.File("song.wav"), dir.File("missing.mp3"),
                                   dir.File("folder.mp3"), "", std::string("x.mp3\0y", 7)};
    for (const std::string& path : not_mp3) {
        clsMP3Info info;
        info.SetFilename(dir.File("tagged.mp3"));
        ASSERT_EQ(info.Genre(), "Dance");
        info.SetFilename(path); // replaces everything the tagged file gave
        EXPECT_EQ(info.Filename(), path);
        EXPECT_EQ(Facts(info), kNoFacts) << path;
    }
}

TEST(IsMP3File, NeedsAnExistingFileAndAnMpegExtensionAnywhere) {
    TempDir dir;
    for (const char* name : {"a.mp3", "b.MP2", "c.Mp1", "d.mp3.bak", "e.wav", "f.mp4", "mp3"})
        WriteFile(dir.File(name), {1, 2, 3});
    for (const char* yes : {"a.mp3", "b.MP2", "c.Mp1", "d.mp3.bak"})
        EXPECT_TRUE(IsMP3File(dir.File(yes))) << yes;
    for (const char* no : {"e.wav", "f.mp4", "mp3", "missing.mp3"})
        EXPECT_FALSE(IsMP3File(dir.File(no))) << no;
}
