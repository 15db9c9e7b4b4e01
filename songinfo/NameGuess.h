#pragma once

#include "TagFields.h"

#include <string>
#include <string_view>

namespace songinfo {

// Title, artist and album suggested by the name of an untagged file and, when
// the name holds no title, by the names of the folders above it. Understands
// "(Artist) Title - Album" and "Artist - Album - 05 - Title". Year, Comment and
// Genre stay empty; the fields are untrimmed. Works on any bytes.
TagFields GuessFromName(std::string_view path);

// How often delimiter occurs in text without overlap; 0 for an empty text or
// an empty delimiter.
int CountOf(std::string_view text, std::string_view delimiter);

// The path with its last folder joined to the file name by " - ", both sides
// trimmed of spaces: "/Music/Beatles/05 - Yesterday.mp3" gives
// "/Music/Beatles - 05 - Yesterday.mp3". A path without "/" is returned whole.
std::string FolderAndName(std::string_view path);

// A plain decimal number once surrounding spaces are ignored: an optional sign,
// digits with at most one decimal point, at least one digit ("05 ", "-1.5").
bool ReadsAsNumber(std::string_view text);

// The text without leading and trailing space characters (tabs and NULs stay).
std::string TrimSpaces(std::string_view text);

} // namespace songinfo
