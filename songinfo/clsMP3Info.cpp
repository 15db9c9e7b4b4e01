#include "clsMP3Info.h"

#include "Id3Module.h"
#include "Id3v2Reader.h"
#include "NameGuess.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace songinfo {

bool IsMP3File(const std::string& path) {
    // A NUL would cut the name short at the system call and name another file.
    if (path.empty() || path.find('\0') != std::string::npos)
        return false;
    std::string lower(path);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    bool named_as_mpeg = lower.find(".mp3") != std::string::npos ||
                         lower.find(".mp2") != std::string::npos ||
                         lower.find(".mp1") != std::string::npos;
    std::error_code ignored;
    // Only regular files: a folder or a pipe named "x.mp3" holds no song.
    return named_as_mpeg && std::filesystem::is_regular_file(path, ignored);
}

void clsMP3Info::SetFilename(const std::string& sPassFilename) {
    filename_ = sPassFilename;
    fields_ = TagFields();
    if (!IsMP3File(filename_))
        return;
    std::optional<TagBlock> block = ReadLastBlock(filename_);
    if (block && IsTag(*block)) {
        fields_ = DecodeTag(*block);
        return;
    }
    // Most files today carry only an ID3v2 tag.
    std::optional<TagFields> id3v2 = ReadId3v2(filename_);
    fields_ = id3v2 ? *id3v2 : GuessFromName(filename_);
}

std::string clsMP3Info::Title() const {
    return TrimSpaces(fields_.Title);
}
std::string clsMP3Info::Artist() const {
    return TrimSpaces(fields_.Artist);
}
std::string clsMP3Info::Album() const {
    return TrimSpaces(fields_.Album);
}
std::string clsMP3Info::Year() const {
    return TrimSpaces(fields_.Year);
}
std::string clsMP3Info::Comment() const {
    return TrimSpaces(fields_.Comment);
}
std::string clsMP3Info::Genre() const {
    return TrimSpaces(fields_.Genre);
}

} // namespace songinfo
