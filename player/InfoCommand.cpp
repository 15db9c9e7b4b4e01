#include "Commands.h"

#include "clsMP3Info.h"

#include <cstdio>
#include <system_error>

namespace {

// The value is written byte for byte: a tag's NUL padding is part of what the
// player reads, so it is not cut at the first NUL.
void PrintFact(const char* name, const std::string& value) {
    std::fputs(name, stdout);
    std::fwrite(value.data(), 1, value.size(), stdout);
    std::fputc('\n', stdout);
}

} // namespace

int RunInfo(const std::string& file) {
    songinfo::clsMP3Info info;
    try {
        info.SetFilename(file);
    } catch (const std::system_error& e) {
        std::fprintf(stderr, "songwell: %s: %s\n", file.c_str(), e.code().message().c_str());
        return 1;
    }
    PrintFact("Title: ", info.Title());
    PrintFact("Artist: ", info.Artist());
    PrintFact("Album: ", info.Album());
    PrintFact("Year: ", info.Year());
    PrintFact("Comment: ", info.Comment());
    PrintFact("Genre: ", info.Genre());
    return std::fflush(stdout) == 0 ? 0 : 1;
}
