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
    // (EISDIR for a folder, ESPIPE for a pipe, socket or device) and the file
    // stays closed.
    bool Open(const std::string& path);
    // Reads `size` bytes the caller keeps alive instead of a file: the same
    // reads, searches and seeks with no system call, for fuzzing and tests.
    void OpenMemory(const std::uint8_t* data, std::size_t size);
    void Close();
    bool IsOpen() const { return fd_ >= 0 || memory_ != nullptr; }
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
    const std::uint8_t* memory_ = nullptr;
    std::size_t memory_size_ = 0;
    int error_ = 0;
    std::uint64_t position_ = 0;
    std::vector<std::uint8_t> window_;
    // The window's bytes: window_ for a file, the caller's for memory.
    const std::uint8_t* view_ = nullptr;
    std::uint64_t window_start_ = 0;
    std::size_t window_length_ = 0;
};

} // namespace audiocore
