#include "Id3v2Reader.h"

#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>

namespace songinfo {

namespace {

std::string Utf8(const TagLib::String& text) {
    return text.to8Bit(true);
}

} // namespace

std::optional<TagFields> ReadId3v2(const std::string& filename) {
    // Without the audio properties TagLib reads the tags only, not the stream.
    TagLib::MPEG::File file(filename.c_str(), false);
    if (!file.isValid() || !file.hasID3v2Tag())
        return std::nullopt;
    const TagLib::ID3v2::Tag* tag = file.ID3v2Tag();
    if (!tag)
        return std::nullopt;
    TagFields fields;
    fields.Title = Utf8(tag->title());
    fields.Artist = Utf8(tag->artist());
    fields.Album = Utf8(tag->album());
    fields.Comment = Utf8(tag->comment());
    fields.Year = tag->year() != 0 ? std::to_string(tag->year()) : std::string();
    fields.Genre = Utf8(tag->genre());
    const bool some_fact =
        !(fields.Title + fields.Artist + fields.Album + fields.Comment + fields.Year + fields.Genre)
             .empty();
    return some_fact ? std::optional<TagFields>(fields) : std::nullopt;
}

} // namespace songinfo
