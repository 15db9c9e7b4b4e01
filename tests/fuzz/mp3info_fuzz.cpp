// Song facts from arbitrary file names and arbitrary file contents (tags,
// truncated tags, no tag).
//
// Input: one byte n, then n bytes of a path given to the name reader, then
// the contents of a file that clsMP3Info reads as a song.

#include "NameGuess.h"
#include "clsMP3Info.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <unistd.h>

namespace {

const std::string& SongPath() {
    static const std::string path = [] {
        auto dir = std::filesystem::temp_directory_path() /
                   ("songwell-fuzz-" + std::to_string(getpid())) / "Some Artist - Some Album";
        std::filesystem::create_directories(dir);
        return (dir / "07 - Song.mp3").string();
    }();
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::size_t name_length = size > 0 ? std::min<std::size_t>(data[0], size - 1) : 0;
    std::string_view name(reinterpret_cast<const char*>(data) + (size > 0 ? 1 : 0), name_length);
    songinfo::GuessFromName(name);
    songinfo::FolderAndName(name);
    songinfo::ReadsAsNumber(name);
    songinfo::CountOf(name, " - ");

    std::size_t body_offset = size > 0 ? 1 + name_length : 0;
    if (std::FILE* f = std::fopen(SongPath().c_str(), "wb")) {
        if (size > body_offset)
            std::fwrite(data + body_offset, 1, size - body_offset, f);
        std::fclose(f);
    }
    songinfo::clsMP3Info info;
    try {
        info.SetFilename(SongPath());
    } catch (const std::system_error&) {
        // An unreadable file is reported to the caller; nothing more to check.
    }
    std::string facts =
        info.Title() + info.Artist() + info.Album() + info.Year() + info.Comment() + info.Genre();
    return facts.size() > (1u << 20) ? -1 : 0;
}
