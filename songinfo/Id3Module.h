#pragma once

#include "TagFields.h"
#include "TagLayout.h"
#include "TagRecord.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace songinfo {

using TagBlock = std::array<std::uint8_t, tag_layout::kBlockSize>;

// The last 128 bytes of the file; nothing when the file is shorter. Throws
// std::system_error when the file cannot be opened or read.
std::optional<TagBlock> ReadLastBlock(const std::string& filename);

// A block is a tag when it begins with "TAG" (case matters).
bool IsTag(const TagBlock& block);

// The five texts of a tag block, Latin-1 turned into UTF-8 with their padding
// (spaces or NULs) kept, and the genre byte looked up in the genre table.
TagFields DecodeTag(const TagBlock& block);

// Stores the record as the file's tag: over the old tag's body when the file
// has a tag (length unchanged), else appended after "TAG" (128 bytes longer).
// Throws std::system_error when the file cannot be opened, read, written or
// flushed; the file is then left as it was.
void WriteTag(const std::string& filename, const TagRecord& record);

} // namespace songinfo
