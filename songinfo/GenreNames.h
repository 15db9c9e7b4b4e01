#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace songinfo {

// The 148 genre names an ID3v1 genre byte indexes, spelled as the player has
// always shown them.
const std::vector<std::string>& GenreNames();

// The name for a tag's genre byte; the empty text for a byte past the table
// (255 is the usual "no genre").
std::string GenreName(std::uint8_t genre);

} // namespace songinfo
