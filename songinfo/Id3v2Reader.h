#pragma once

#include "TagFields.h"

#include <optional>
#include <string>

namespace songinfo {

// The six facts of the file's ID3v2 tag (versions 2.2, 2.3 and 2.4: every
// text encoding, unsynchronisation, extended header, footer), as UTF-8.
// Nothing when the file has no such tag, or one without a single fact, or
// one that cannot be read: the caller then guesses from the name.
std::optional<TagFields> ReadId3v2(const std::string& filename);

} // namespace songinfo
