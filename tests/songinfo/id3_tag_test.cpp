#include "GenreNames.h"
#include "Id3Module.h"
#include "Latin1.h"
#include "TagRecord.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <system_error>

using namespace songinfo;
using namespace testsupport;

namespace {

using ByteVector = std::vector<std::uint8_t>;

// A real MPEG audio stream to put tags on.
ByteVector SongBytes() {
    return ReadFile(SharedPath("vectors/l3-compl.bit"));
}

ByteVector Bytes(const std::string& text) {
    return ByteVector(text.begin(), text.end());
}

std::string Text(const ByteVector& bytes, std::size_t from, std::size_t count) {
    return std::string(bytes.begin() + static_cast<std::ptrdiff_t>(from),
                       bytes.begin() + static_cast<std::ptrdiff_t>(from + count));
}

ByteVector TagBlockBytes(const std::string& title, std::uint8_t genre) {
    ByteVector block(128, 0);
    std::copy_n("TAG", 3, block.begin());
    std::copy(title.begin(), title.end(), block.begin() + 3);
    block[127] = genre;
    return block;
}

TagRecord SampleRecord() {
    TagRecord record;
    record.SetTitle("Yesterday");
    record.SetArtist("Beatles");
    record.SetAlbum("Help");
    record.SetYear("1965");
    record.SetComment("Remastered");
    record.SetGenre(17);
    return record;
}

ByteVector Concat(ByteVector a, const ByteVector& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

} // namespace

TEST(GenreNames, TableHoldsTheNamesAsSpelledAndLooksUpByByte) {
    const auto& names = GenreNames();
    ASSERT_EQ(names.size(), 148u);
    const std::pair<int, const char*> expected[] = {
        {0, "Blues"},         {12, "Other"},
        {67, "Phychedelic"},  {79, "Hard Rock"},
        {90, "Avantegarde"},  {117, "power Ballad"},
        {131, "indie"},       {140, "Comteporary Christian"},
        {144, "Trash Metal"}, {147, "Synth Pop"}};
    for (auto [index, name] : expected)
        EXPECT_EQ(GenreName(static_cast<std::uint8_t>(index)), name) << index;
    EXPECT_EQ(GenreName(148), "");
    EXPECT_EQ(GenreName(255), "");
}

TEST(Latin1, ConvertsBothWaysAndReplacesWhatLatin1CannotHold) {
    EXPECT_EQ(Latin1ToUtf8(std::string("Caf\xE9\0!", 6)), std::string("Caf\u00E9\0!", 7));
    EXPECT_EQ(Utf8ToLatin1("Caf\u00E9 \u00FF"), "Caf\xE9 \xFF");
    EXPECT_EQ(Utf8ToLatin1("\u20AC5 \u4E2D\U0001F600."), "?5 ??.");
    // Broken UTF-8: each stray byte becomes one "?", the text around it stays.
    EXPECT_EQ(Utf8ToLatin1("a\xC3"), "a?");
    EXPECT_EQ(Utf8ToLatin1("a\x80z"), "a?z");
    EXPECT_EQ(Utf8ToLatin1("\xC0\xAF"), "??");      // overlong "/"
    EXPECT_EQ(Utf8ToLatin1("\xED\xA0\x80"), "???"); // surrogate
    for (int b = 0; b < 256; ++b) {
        std::string one(1, static_cast<char>(b));
        EXPECT_EQ(Utf8ToLatin1(Latin1ToUtf8(one)), one) << b;
    }
}

TEST(TagRecord, FixedWidthFieldsArePaddedWithSpacesOrCut) {
    TagRecord record;
    EXPECT_EQ(record.OnDisk(), TagRecord::Bytes{}); // a new record is all zero

    record.SetTitle(std::string(31, 'x') + "y");
    record.SetArtist("");
    record.SetAlbum("Help");
    record.SetYear("19655");
    record.SetComment("\u00C9t\u00E9 \u263A");
    record.SetGenre(147);
    ByteVector disk(record.OnDisk().begin(), record.OnDisk().end());
    EXPECT_EQ(Text(disk, 0, 30), std::string(30, 'x'));
    EXPECT_EQ(Text(disk, 30, 30), std::string(30, ' '));
    EXPECT_EQ(Text(disk, 60, 30), "Help" + std::string(26, ' '));
    EXPECT_EQ(Text(disk, 90, 4), "1965");
    EXPECT_EQ(Text(disk, 94, 30), "\xC9t\xE9 ?" + std::string(25, ' '));
    EXPECT_EQ(disk[124], 147);
}

TEST(DecodeTag, KeepsPaddingAndLooksUpTheGenre) {
    TagBlock block{};
    ByteVector bytes = TagBlockBytes("Help", 79);
    std::copy(bytes.begin(), bytes.end(), block.begin());
    std::copy_n("Me  ", 4, block.begin() + 33);
    std::copy_n("\xE9t\xE9", 3, block.begin() + 97);
    TagFields fields = DecodeTag(block);
    EXPECT_EQ(fields.Title, "Help" + std::string(26, '\0'));
    EXPECT_EQ(fields.Artist, "Me  " + std::string(26, '\0'));
    EXPECT_EQ(fields.Comment, "\u00E9t\u00E9" + std::string(27, '\0'));
    EXPECT_EQ(fields.Year, std::string(4, '\0'));
    EXPECT_EQ(fields.Genre, "Hard Rock");
}

TEST(WriteTag, OverwritesAnExistingTagInPlace) {
    TempDir dir;
    ByteVector audio = SongBytes();
    ByteVector original = Concat(audio, TagBlockBytes("Old title", 200));
    WriteFile(dir.File("song.mp3"), original);

    WriteTag(dir.File("song.mp3"), SampleRecord());

    ByteVector after = ReadFile(dir.File("song.mp3"));
    ASSERT_EQ(after.size(), original.size());
    EXPECT_TRUE(std::equal(audio.begin(), audio.end(), after.begin()));
    std::size_t tag = audio.size();
    EXPECT_EQ(Text(after, tag, 3), "TAG");
    EXPECT_EQ(Text(after, tag + 3, 30), "Yesterday" + std::string(21, ' '));
    EXPECT_EQ(Text(after, tag + 93, 4), "1965");
    EXPECT_EQ(after[tag + 127], 17);
}

TEST(WriteTag, AppendsOneBlockToAnUntaggedFileAndReusesItNextTime) {
    TempDir dir;
    ByteVector audio = SongBytes();
    WriteFile(dir.File("song.mp3"), audio);

    WriteTag(dir.File("song.mp3"), SampleRecord());
    TagRecord second = SampleRecord();
    second.SetTitle("Help");
    WriteTag(dir.File("song.mp3"), second);

    ByteVector after = ReadFile(dir.File("song.mp3"));
    ASSERT_EQ(after.size(), audio.size() + 128);
    EXPECT_TRUE(std::equal(audio.begin(), audio.end(), after.begin()));
    auto block = ReadLastBlock(dir.File("song.mp3"));
    ASSERT_TRUE(block);
    ASSERT_TRUE(IsTag(*block));
    TagFields fields = DecodeTag(*block);
    EXPECT_EQ(fields.Title, "Help" + std::string(26, ' '));
    EXPECT_EQ(fields.Artist, "Beatles" + std::string(23, ' '));
    EXPECT_EQ(fields.Genre, "Rock");
}

TEST(WriteTag, ShortAndTagSizedFiles) {
    struct Case {
        const char* name;
        ByteVector before;
        std::size_t length_after;
    };
    ByteVector tag_only = TagBlockBytes("Only a tag", 0);
    ByteVector tag_sized_no_marker(128, 'x');
    const Case cases[] = {
        {"empty", {}, 128},
        {"127 bytes", ByteVector(127, 'x'), 255},
        {"128 bytes that are a tag", tag_only, 128},
        {"128 bytes without marker", tag_sized_no_marker, 256},
        {"lower-case marker", Concat(Bytes("tag"), ByteVector(125, 0)), 256},
    };
    for (const Case& c : cases) {
        TempDir dir;
        WriteFile(dir.File("f.mp3"), c.before);
        WriteTag(dir.File("f.mp3"), SampleRecord());
        ByteVector after = ReadFile(dir.File("f.mp3"));
        ASSERT_EQ(after.size(), c.length_after) << c.name;
        EXPECT_EQ(Text(after, after.size() - 128, 33), "TAGYesterday" + std::string(21, ' '))
            << c.name;
        if (c.length_after > c.before.size()) {
            EXPECT_TRUE(std::equal(c.before.begin(), c.before.end(), after.begin())) << c.name;
        }
    }
}

TEST(WriteTag, GenreBytesRoundTrip) {
    for (int genre : {0, 147, 148, 255}) {
        TempDir dir;
        WriteFile(dir.File("song.mp3"), SongBytes());
        TagRecord record = SampleRecord();
        record.SetGenre(static_cast<std::uint8_t>(genre));
        WriteTag(dir.File("song.mp3"), record);
        auto block = ReadLastBlock(dir.File("song.mp3"));
        ASSERT_TRUE(block);
        EXPECT_EQ((*block)[127], genre);
        EXPECT_EQ(DecodeTag(*block).Genre, genre <= 147 ? GenreNames()[genre] : "") << genre;
    }
}

TEST(WriteTag, FailureIsReportedAndCreatesNothing) {
    TempDir dir;
    EXPECT_THROW(WriteTag(dir.File("missing.mp3"), SampleRecord()), std::system_error);
    EXPECT_FALSE(std::filesystem::exists(dir.File("missing.mp3")));

    std::filesystem::create_directory(dir.File("folder.mp3"));
    try {
        WriteTag(dir.File("folder.mp3"), SampleRecord());
        FAIL() << "writing into a folder succeeded";
    } catch (const std::system_error& e) {
        EXPECT_EQ(e.code(), std::errc::is_a_directory);
    }

    // A pipe is no song file: refused at once instead of waiting for a writer.
    ASSERT_EQ(mkfifo(dir.File("pipe.mp3").c_str(), 0600), 0);
    EXPECT_THROW(WriteTag(dir.File("pipe.mp3"), SampleRecord()), std::system_error);
    EXPECT_THROW(ReadLastBlock(dir.File("pipe.mp3")), std::system_error);
}
