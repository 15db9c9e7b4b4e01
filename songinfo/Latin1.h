#pragma once

#include <string>
#include <string_view>

namespace songinfo {

// ID3v1 text is one byte per character in Latin-1; the program works in UTF-8.

// Every byte becomes the character of the same code; NUL bytes are kept.
std::string Latin1ToUtf8(std::string_view bytes);

// One byte per character. A character outside Latin-1, and any byte that is
// not part of a valid UTF-8 sequence, becomes "?".
std::string Utf8ToLatin1(std::string_view text);

} // namespace songinfo
