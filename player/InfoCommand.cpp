#include "Commands.h"

#include "ShownText.h"
#include "clsMP3Info.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace {

// Shown as text a reader can trust: what a tag holds after its padding,
// with no byte that a terminal would act on.
void PrintFact(const char* name, const std::string& value) {
    std::fputs(name, stdout);
    std::fputs(songinfo::VisibleText(songinfo::FieldText(value)).c_str(), stdout);
    std::fputc('\n', stdout);
}

int Fail(const std::string& file, const std::string& reason) {
    std::fprintf(stderr, "songwell: %s: %s\n", songinfo::VisibleText(file).c_str(), reason.c_str());
    return 1;
}

// Why `file` holds no song to describe; empty when it does. Opened once
// here, so that a file the user may not read says so instead of showing
// facts guessed from its name.
std::string NoSongReason(const std::string& file) {
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0)
        return std::strerror(errno);
    if (S_ISDIR(info.st_mode))
        return std::strerror(EISDIR);
    if (!S_ISREG(info.st_mode))
        return "not a regular file";
    if (!songinfo::IsMP3File(file))
        return "not an MP3 file (.mp3, .mp2 or .mp1)";
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::strerror(errno);
    ::close(fd);
    return {};
}

} // namespace

int RunInfo(const std::string& file) {
    if (const std::string reason = NoSongReason(file); !reason.empty())
        return Fail(file, reason);
    songinfo::clsMP3Info info;
    try {
        info.SetFilename(file);
    } catch (const std::system_error& e) {
        return Fail(file, e.code().message());
    }
    PrintFact("Title: ", info.Title());
    PrintFact("Artist: ", info.Artist());
    PrintFact("Album: ", info.Album());
    PrintFact("Year: ", info.Year());
    PrintFact("Comment: ", info.Comment());
    PrintFact("Genre: ", info.Genre());
    return std::fflush(stdout) == 0 ? 0 : 1;
}
