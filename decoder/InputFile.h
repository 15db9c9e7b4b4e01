#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace audiocore {

// Read-only file over POSIX calls: the decoder's only platform dependency.
//
// Reads go through a window buffer so that the sync search, which reads four
// bytes and steps back three per try, costs no system call per byte.
class InputFile {
public:
    InputFile() = default;
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // Opens a regular file for reading. On failure, Error() holds the errno
    // (EISDIR for a folder) and the file stays closed.
    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }
    int Error() const { return error_; }

    // Reads up to n bytes at the current position; returns the count read,
    // or -1 on a read error.
    long Read(void* destination, std::size_t n);
    // Moves to the next occurrence of `byte` at or after the position;
    // false at the end of the file. Scanning the window with memchr keeps a
    // search through megabytes of junk (or a sparse file's holes) quick.
    bool SkipUntil(std::uint8_t byte);
    bool SeekTo(std::uint64_t offset);
    bool SeekBy(std::int64_t delta);
    std::uint64_t Position() const { return position_; }
    std::uint64_t Size() const;

private:
    bool Refill();
    bool SkipHole();

    int fd_ = -1;
    int error_ = 0;
    std::uint64_t position_ = 0;
    std::vector<std::uint8_t> window_;
    std::uint64_t window_start_ = 0;
    std::size_t window_length_ = 0;
};

} // namespace audiocore
