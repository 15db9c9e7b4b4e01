#pragma once

#include <cstddef>

namespace songinfo {

// The ID3v1 tag: the last 128 bytes of a file, "TAG" then fixed-width fields.
// Offsets count from the first byte of the block.
namespace tag_layout {

constexpr std::size_t kBlockSize = 128;
constexpr std::size_t kMarkerSize = 3;
constexpr std::size_t kBodySize = kBlockSize - kMarkerSize; // what a TagRecord holds
constexpr char kMarker[] = "TAG";

constexpr std::size_t kTitleOffset = 3;
constexpr std::size_t kArtistOffset = 33;
constexpr std::size_t kAlbumOffset = 63;
constexpr std::size_t kYearOffset = 93;
constexpr std::size_t kCommentOffset = 97;
constexpr std::size_t kGenreOffset = 127;

constexpr std::size_t kTitleWidth = 30;
constexpr std::size_t kArtistWidth = 30;
constexpr std::size_t kAlbumWidth = 30;
constexpr std::size_t kYearWidth = 4;
constexpr std::size_t kCommentWidth = 30;

} // namespace tag_layout

} // namespace songinfo
