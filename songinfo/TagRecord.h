#pragma once

#include "TagLayout.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace songinfo {

// The body of an ID3v1 tag as the editor builds it: the 125 bytes that follow
// the "TAG" marker. A new record is all zero bytes (NUL texts, genre 0); an
// assigned text field always holds exactly its width, Latin-1, padded on the
// right with spaces or cut to its first characters.
class TagRecord {
public:
    using Bytes = std::array<std::uint8_t, tag_layout::kBodySize>;

    // Texts are UTF-8; characters Latin-1 cannot hold are stored as "?".
    void SetTitle(std::string_view text) {
        Assign(tag_layout::kTitleOffset, tag_layout::kTitleWidth, text);
    }
    void SetArtist(std::string_view text) {
        Assign(tag_layout::kArtistOffset, tag_layout::kArtistWidth, text);
    }
    void SetAlbum(std::string_view text) {
        Assign(tag_layout::kAlbumOffset, tag_layout::kAlbumWidth, text);
    }
    void SetYear(std::string_view text) {
        Assign(tag_layout::kYearOffset, tag_layout::kYearWidth, text);
    }
    void SetComment(std::string_view text) {
        Assign(tag_layout::kCommentOffset, tag_layout::kCommentWidth, text);
    }
    void SetGenre(std::uint8_t genre) { bytes_[Index(tag_layout::kGenreOffset)] = genre; }

    std::uint8_t Genre() const { return bytes_[Index(tag_layout::kGenreOffset)]; }

    // The record as it goes on disk, right after the marker.
    const Bytes& OnDisk() const { return bytes_; }

private:
    // Block offsets include the marker; the record starts after it.
    static constexpr std::size_t Index(std::size_t block_offset) {
        return block_offset - tag_layout::kMarkerSize;
    }
    void Assign(std::size_t block_offset, std::size_t width, std::string_view text);

    Bytes bytes_{};
};

} // namespace songinfo
