#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace songinfo {

// ID3v1 text is one byte per character in Latin-1; the program works in UTF-8.

// Every byte becomes the character of the same code; NUL bytes are kept.
std::string Latin1ToUtf8(std::string_view bytes);

// One byte per character. A character outside Latin-1, and any byte that is
// not part of a valid UTF-8 sequence, becomes "?".
std::string Utf8ToLatin1(std::string_view text);

// Decodes the UTF-8 sequence starting at text[at]. Returns the code point and
// advances `at`; an invalid, overlong or cut-off sequence yields -1 and skips
// one byte only, so that the next character is not lost.
std::int32_t NextCodePoint(std::string_view text, std::size_t& at);

} // namespace songinfo
