// ID3v2 tags, which most files today carry alone: every version and text
// encoding, unsynchronisation, the extended header and the footer, the order
// against ID3v1 and the name guess, and tags that lie about themselves.

#include "Id3Module.h"
#include "RunProgram.h"
#include "TestSupport.h"
#include "clsMP3Info.h"

#include <gtest/gtest.h>

#include <string>

using namespace songinfo;
using namespace testsupport;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes SyncSafe(std::uint32_t n) {
    return {static_cast<std::uint8_t>((n >> 21) & 0x7F),
            static_cast<std::uint8_t>((n >> 14) & 0x7F), static_cast<std::uint8_t>((n >> 7) & 0x7F),
            static_cast<std::uint8_t>(n & 0x7F)};
}

Bytes BigEndian(std::uint32_t n, int bytes) {
    Bytes out;
    for (int i = bytes - 1; i >= 0; --i)
        out.push_back(static_cast<std::uint8_t>(n >> (8 * i)));
    return out;
}

// One text frame: its id, the encoding byte and the encoded text.
struct TextFrame {
    std::string id;
    std::uint8_t encoding;
    Bytes text;
};

Bytes Latin1(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

// UTF-16 with a byte-order mark, little-endian, for ASCII and Latin-1 text.
Bytes Utf16Bom(const std::string& latin1) {
    Bytes out = {0xFF, 0xFE};
    for (unsigned char c : latin1) {
        out.push_back(c);
        out.push_back(0);
    }
    return out;
}

Bytes Utf16Be(const std::string& latin1) {
    Bytes out;
    for (unsigned char c : latin1) {
        out.push_back(0);
        out.push_back(c);
    }
    return out;
}

// A whole tag of `version` (2, 3 or 4). Version 2.2 has three-letter ids and
// three-byte sizes; 2.4 frame sizes are syncsafe.
Bytes Tag(int version, const std::vector<TextFrame>& frames, std::uint8_t flags = 0,
          const Bytes& extended = {}) {
    Bytes body = extended;
    for (const TextFrame& f : frames) {
        const std::uint32_t size = static_cast<std::uint32_t>(f.text.size() + 1);
        body.insert(body.end(), f.id.begin(), f.id.end());
        Bytes size_bytes = version == 2   ? BigEndian(size, 3)
                           : version == 4 ? SyncSafe(size)
                                          : BigEndian(size, 4);
        body.insert(body.end(), size_bytes.begin(), size_bytes.end());
        if (version != 2)
            body.insert(body.end(), {0, 0});
        body.push_back(f.encoding);
        body.insert(body.end(), f.text.begin(), f.text.end());
    }
    Bytes tag = {'I', 'D', '3', static_cast<std::uint8_t>(version), 0, flags};
    Bytes size = SyncSafe(static_cast<std::uint32_t>(body.size()));
    tag.insert(tag.end(), size.begin(), size.end());
    tag.insert(tag.end(), body.begin(), body.end());
    if (flags & 0x10) { // the footer repeats the header as "3DI"
        tag.insert(tag.end(), {'3', 'D', 'I', static_cast<std::uint8_t>(version), 0, flags});
        tag.insert(tag.end(), size.begin(), size.end());
    }
    return tag;
}

Bytes Song() {
    return ReadFile(SharedPath("vectors/l3-compl.bit"));
}

std::vector<std::string> Facts(const std::string& path) {
    clsMP3Info info;
    info.SetFilename(path);
    return {info.Title(), info.Artist(), info.Album(), info.Year(), info.Comment(), info.Genre()};
}

std::string WriteSong(const TempDir& dir, const std::string& name, const Bytes& tag,
                      const Bytes& after = {}) {
    Bytes bytes = tag;
    const Bytes song = Song();
    bytes.insert(bytes.end(), song.begin(), song.end());
    bytes.insert(bytes.end(), after.begin(), after.end());
    const std::string path = dir.File(name);
    WriteFile(path, bytes);
    return path;
}

} // namespace

TEST(Id3v2, EveryVersionAndTextEncodingGivesTheTitle) {
    TempDir dir;
    struct Case {
        const char* what;
        Bytes tag;
    };
    const std::string title = "Rivi\xE8re"; // "Rivière" in Latin-1
    const Bytes utf8 = {'R', 'i', 'v', 'i', 0xC3, 0xA8, 'r', 'e'};
    const Case cases[] = {
        {"2.2 Latin-1", Tag(2, {{"TT2", 0, Latin1(title)}})},
        {"2.3 Latin-1", Tag(3, {{"TIT2", 0, Latin1(title)}})},
        {"2.3 UTF-16 with BOM", Tag(3, {{"TIT2", 1, Utf16Bom(title)}})},
        {"2.4 UTF-16BE", Tag(4, {{"TIT2", 2, Utf16Be(title)}})},
        {"2.4 UTF-8", Tag(4, {{"TIT2", 3, utf8}})},
        {"2.4 with a footer", Tag(4, {{"TIT2", 3, utf8}}, 0x10)},
        {"2.4 with an extended header",
         Tag(4, {{"TIT2", 0, Latin1(title)}}, 0x40, {0, 0, 0, 6, 1, 0})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = WriteSong(dir, "song.mp3", c.tag);
        EXPECT_EQ(Facts(path)[0], "Rivi\xC3\xA8re");
    }
}

TEST(Id3v2, UnsynchronisedTagsAreRestored) {
    // Unsynchronisation puts a 0x00 after every 0xFF of the tag: here inside
    // a UTF-16 text whose byte-order mark starts with 0xFF.
    TempDir dir;
    Bytes tag = Tag(3, {{"TIT2", 1, Utf16Bom("Song")}}, 0x80);
    Bytes unsynced(tag.begin(), tag.begin() + 10);
    for (std::size_t i = 10; i < tag.size(); ++i) {
        unsynced.push_back(tag[i]);
        if (tag[i] == 0xFF)
            unsynced.push_back(0x00);
    }
    Bytes size = SyncSafe(static_cast<std::uint32_t>(unsynced.size() - 10));
    std::copy(size.begin(), size.end(), unsynced.begin() + 6);
    EXPECT_EQ(Facts(WriteSong(dir, "song.mp3", unsynced))[0], "Song");
}

TEST(Id3v2, AllSixFactsComeFromAnEncodersTagAndID3v1ComesFirst) {
    TempDir dir;
    const std::string wav = dir.File("tone.wav");
    ASSERT_EQ(RunProgram("sox", {"-n", "-r", "44100", "-c", "2", wav, "synth", "1", "sine", "440"})
                  .exit_code,
              0);
    const std::string tagged = dir.File("lib/01 - River Song.mp3");
    std::filesystem::create_directories(dir.File("lib"));
    ASSERT_EQ(RunProgram("lame", {"--quiet", "--id3v2-only", "--tt", "River Song", "--ta",
                                  "The Band", "--tl", "Far Away", "--ty", "2001", "--tc",
                                  "Recorded live", "--tg", "Rock", wav, tagged})
                  .exit_code,
              0);
    const std::vector<std::string> expected = {"River Song", "The Band",      "Far Away",
                                               "2001",       "Recorded live", "Rock"};
    EXPECT_EQ(Facts(tagged), expected) << "not the guess \"lib\" from the folder";

    // With both tags the ID3v1 tag counts, as designed; saving one leaves
    // the ID3v2 tag as it was.
    const Bytes before = ReadFile(tagged);
    TagRecord record;
    record.SetTitle("Other Title");
    WriteTag(tagged, record);
    const Bytes after = ReadFile(tagged);
    ASSERT_EQ(after.size(), before.size() + 128);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), after.begin()));
    EXPECT_EQ(Facts(tagged)[0], "Other Title");
}

TEST(Id3v2, LyingOrEmptyTagsGiveTheNameGuess) {
    TempDir dir;
    std::filesystem::create_directories(dir.File("The Band"));
    struct Case {
        const char* what;
        Bytes tag;
    };
    Bytes past_end = {'I', 'D', '3', 3,    0,    0,    0x7F, 0x7F, 0x7F, 0x7F, 'T',
                      'I', 'T', '2', 0xFF, 0xFF, 0xFF, 0xFF, 0,    0,    0};
    const Case cases[] = {
        {"sizes past the file", past_end},
        {"a zero-length frame", Tag(3, {{"TIT2", 0, {}}})},
        {"a bad encoding byte", Tag(3, {{"TIT2", 9, Latin1("x")}})},
        {"a tag with no frames", Tag(4, {})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = WriteSong(dir, "The Band/05 - Song Title.mp3", c.tag);
        const std::vector<std::string> facts = Facts(path);
        EXPECT_EQ(facts[0], "Song Title");
        EXPECT_EQ(facts[1], "The Band");
    }
}
