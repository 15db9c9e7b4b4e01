// Play list files as other players write them (M3U, M3U8, PLS, XSPF) read
// into the songs that are here, in order, with what cannot be played kept
// aside; and the M3U8 the player saves read back to the same songs.

#include "M3u8Writer.h"
#include "PlayListFile.h"
#include "TestSupport.h"
#include "controlkit/LocalPath.h"

#include <QString>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

// A library beside and above the list's folder "lists":
//   lists/a.mp3, lists/sub/b.mp3, other/c.mp3, lists/café.mp3 (UTF-8 name),
//   lists/dj<E9>.mp3 (a Latin-1 byte in the name), lists/one two.mp3
class Library {
public:
    Library() {
        for (const char* name : {"lists/a.mp3", "lists/sub/b.mp3", "other/c.mp3",
                                 "lists/caf\xc3\xa9.mp3", "lists/dj\xe9.mp3", "lists/one two.mp3"})
            Touch(name);
    }
    // The path the player keeps for the file of these bytes below the library:
    // every byte of the name kept.
    QString Kept(const std::string& relative) const {
        return controlkit::PathFromBytes(QByteArray::fromStdString(Root() + "/" + relative));
    }
    std::string Root() const { return dir_.path().string(); }
    QString Lists() const { return QString::fromStdString(Root() + "/lists"); }

    // Writes a list file under lists/ and reads it as the player does.
    PlayListFile::Contents ReadList(const std::string& name, const std::string& bytes) const {
        const std::string path = Root() + "/lists/" + name;
        std::ofstream(path, std::ios::binary) << bytes;
        return PlayListFile::Read(QString::fromStdString(path));
    }

private:
    void Touch(const std::string& relative) const {
        const std::filesystem::path path = dir_.path() / relative;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << "ID3";
    }

    testsupport::TempDir dir_;
};

struct ListCase {
    const char* what;
    const char* file;               // its name decides the format
    std::string text;               // "@" stands for the library's root
    std::vector<std::string> songs; // below the library's root
    std::vector<std::string> skipped;
};

std::string WithRoot(std::string text, const std::string& root) {
    for (std::size_t at; (at = text.find('@')) != std::string::npos;)
        text.replace(at, 1, root);
    return text;
}

const std::vector<ListCase>& ListCases() {
    static const std::vector<ListCase> cases = {
        {"extended M3U: absolute, relative, above, file URL, missing, URL",
         "album.m3u",
         "#EXTM3U\n#EXTINF:12,A - One\n@/lists/a.mp3\n#EXTINF:-1,B\nsub/b.mp3\n../other/c.mp3\n"
         "file://@/lists/one%20two.mp3\nmissing.mp3\nhttp://radio.example/stream.mp3\n",
         {"lists/a.mp3", "lists/sub/b.mp3", "other/c.mp3", "lists/one two.mp3"},
         {"missing.mp3", "http://radio.example/stream.mp3"}},
        {"CRLF line ends and blank lines",
         "crlf.m3u",
         "#EXTM3U\r\n\r\n#EXTINF:1,x\r\nsub/b.mp3\r\n  a.mp3  \r\n\r\n",
         {"lists/sub/b.mp3", "lists/a.mp3"},
         {}},
        {"plain M3U without #EXTM3U, lone CR line ends",
         "plain.m3u",
         "a.mp3\rsub/b.mp3\r",
         {"lists/a.mp3", "lists/sub/b.mp3"},
         {}},
        {"Latin-1 M3U naming a song stored under a UTF-8 name",
         "latin1.m3u",
         "#EXTM3U\ncaf\xe9.mp3\nnowhere\xe9.mp3\n",
         {"lists/caf\xc3\xa9.mp3"},
         {"nowhere\xc3\xa9.mp3"}},
        {"Latin-1 M3U naming a song stored under its Latin-1 bytes",
         "bytes.m3u",
         "dj\xe9.mp3\n",
         {"lists/dj\xe9.mp3"},
         {}},
        {"M3U8 with a byte order mark and UTF-8 names",
         "utf8.m3u8",
         "\xef\xbb\xbf#EXTM3U\n#EXTINF:3,Caf\xc3\xa9\ncaf\xc3\xa9.mp3\n@/other/c.mp3\n",
         {"lists/caf\xc3\xa9.mp3", "other/c.mp3"},
         {}},
        {"file URLs: localhost, UTF-8 escapes; another host is skipped",
         "urls.m3u8",
         "file://localhost@/lists/a.mp3\nfile://@/lists/caf%C3%A9.mp3\n"
         "file://@/lists/dj%E9.mp3\nfile://elsewhere/lists/a.mp3\n",
         {"lists/a.mp3", "lists/caf\xc3\xa9.mp3", "lists/dj\xe9.mp3"},
         {"file://elsewhere/lists/a.mp3"}},
        {"a list written on Windows: backslashes",
         "windows.m3u",
         "sub\\b.mp3\r\n",
         {"lists/sub/b.mp3"},
         {}},
        {"PLS: entries by their number, CRLF, relative, missing, URL",
         "radio.pls",
         "[playlist]\r\nNumberOfEntries=5\r\nFile2=sub/b.mp3\r\nTitle2=B\r\nFile1=@/lists/a.mp3\r\n"
         "File10=https://radio.example/live\r\nFile3=../other/c.mp3\r\nfile4=gone.mp3\r\n"
         "Version=2\r\n",
         {"lists/a.mp3", "lists/sub/b.mp3", "other/c.mp3"},
         {"gone.mp3", "https://radio.example/live"}},
        {"XSPF: file URLs, relative URIs with escapes, missing, URL",
         "mix.xspf",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<playlist version=\"1\" xmlns=\"http://xspf.org/ns/0/\"><trackList>\n"
         "<track><title>A</title><location>file://@/lists/a.mp3</location></track>\n"
         "<track><location>one%20two.mp3</location><location>a.mp3</location></track>\n"
         "<track><location>caf%C3%A9.mp3</location></track>\n"
         "<track><location>http://radio.example/x.mp3</location></track>\n"
         "<track><location>../other/lost.mp3</location></track>\n"
         "<track><location>../other/c.mp3</location></track>\n"
         "</trackList></playlist>\n",
         {"lists/a.mp3", "lists/one two.mp3", "lists/caf\xc3\xa9.mp3", "other/c.mp3"},
         {"http://radio.example/x.mp3", "../other/lost.mp3"}},
    };
    return cases;
}

TEST(PlayListFileTest, EachFormatGivesTheSongsHereInOrderAndKeepsAsideWhatIsNot) {
    Library library;
    for (const ListCase& c : ListCases()) {
        SCOPED_TRACE(c.what);
        const PlayListFile::Contents list =
            library.ReadList(c.file, WithRoot(c.text, library.Root()));
        EXPECT_TRUE(list.readable);
        QStringList songs;
        for (const std::string& song : c.songs)
            songs.append(library.Kept(song));
        EXPECT_EQ(list.songs, songs);
        QStringList skipped;
        for (const std::string& entry : c.skipped)
            skipped.append(QString::fromStdString(WithRoot(entry, library.Root())));
        EXPECT_EQ(list.skipped.size(), skipped.size()) << list.skipped.join('|').toStdString();
        for (const QString& entry : skipped)
            EXPECT_TRUE(list.skipped.contains(entry)) << entry.toStdString();
    }
}

TEST(PlayListFileTest, WhatIsNoListReadsAsNothing) {
    Library library;
    struct Broken {
        const char* file;
        std::string text;
        bool readable;
    };
    for (const Broken& b : std::vector<Broken>{
             {"empty.m3u", "", true},
             {"comments.m3u", "#EXTM3U\n#EXTINF:1,x\n", true},
             {"binary.pls", std::string("\0\xff\xfe[playlist", 12), true},
             {"broken.xspf", "<playlist><trackList><track><location>", false},
             {"not.xspf", "this is no XML", false},
         }) {
        SCOPED_TRACE(b.file);
        const auto list = library.ReadList(b.file, b.text);
        EXPECT_TRUE(list.songs.isEmpty());
        EXPECT_EQ(list.readable, b.readable);
    }
    EXPECT_FALSE(PlayListFile::Read(library.Lists() + "/absent.m3u").readable);
    EXPECT_FALSE(PlayListFile::Read(library.Lists()).readable);
}

TEST(PlayListFileTest, FormatsAreKnownByTheNameEndingInAnyCase) {
    using F = PlayListFile::Format;
    const std::vector<std::pair<const char*, F>> names = {
        {"/a/b.m3u", F::M3u},   {"/a/b.M3U8", F::M3u}, {"/a/b.pls", F::Pls},
        {"/a/b.XSPF", F::Xspf}, {"/a/b.mp3", F::None}, {"/a.m3u/b", F::None},
    };
    for (const auto& [name, format] : names)
        EXPECT_EQ(PlayListFile::FormatOf(QString::fromUtf8(name)), format) << name;
}

TEST(M3u8WriterTest, TheSavedListReadsBackToTheSameSongs) {
    Library library;
    // Beside, below and above the list, a name of Latin-1 bytes, a name that
    // would read as a comment, a name with a line break.
    for (const char* name : {"lists/#1.mp3", "lists/line\nbreak.mp3"}) {
        std::filesystem::create_directories(
            std::filesystem::path(library.Root() + "/" + name).parent_path());
        std::ofstream(library.Root() + "/" + name) << "ID3";
    }
    const std::vector<std::string> names = {
        "lists/a.mp3",      "lists/sub/b.mp3", "other/c.mp3",           "lists/caf\xc3\xa9.mp3",
        "lists/dj\xe9.mp3", "lists/#1.mp3",    "lists/line\nbreak.mp3", "lists/a.mp3"};
    QList<M3u8Writer::Song> songs;
    QStringList paths;
    for (const std::string& name : names) {
        paths.append(library.Kept(name));
        songs.append({paths.last(), QStringLiteral("title")});
    }
    const QString listPath = library.Lists() + "/saved.m3u8";
    ASSERT_EQ(M3u8Writer::Write(songs, listPath), QString());
    const PlayListFile::Contents list = PlayListFile::Read(listPath);
    EXPECT_EQ(list.songs, paths);
    EXPECT_TRUE(list.skipped.isEmpty()) << list.skipped.join('|').toStdString();

    const QByteArray text = M3u8Writer::Text(songs, listPath);
    EXPECT_TRUE(QByteArrayView(text).isValidUtf8());
    const QList<QByteArray> lines = text.split('\n');
    ASSERT_GE(lines.size(), 7);
    EXPECT_EQ(lines[0], "#EXTM3U");
    EXPECT_EQ(lines[1], "#EXTINF:-1,title");
    EXPECT_EQ(lines[2], "a.mp3");     // beside the list: relative
    EXPECT_EQ(lines[4], "sub/b.mp3"); // below it: relative
    EXPECT_EQ(lines[6], QByteArray::fromStdString(library.Root() + "/other/c.mp3"));
}

TEST(M3u8WriterTest, AListThatCannotBeWrittenSaysWhy) {
    EXPECT_NE(M3u8Writer::Write({}, QStringLiteral("/nonexistent-folder/x.m3u8")), QString());
}

} // namespace
