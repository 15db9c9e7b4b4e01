#include "InputFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace audiocore {

namespace {
constexpr std::size_t kWindowSize = 64 * 1024;
}

InputFile::~InputFile() {
    Close();
}

bool InputFile::Open(const std::string& path) {
    Close();
    error_ = 0;
    // Without O_NONBLOCK, opening a FIFO named .mp3 would wait for a writer
    // for ever; on a regular file the flag changes nothing.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        error_ = errno;
        return false;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        // A folder, or a pipe, socket or device, which cannot be seeked.
        error_ = S_ISDIR(info.st_mode) ? EISDIR : S_ISREG(info.st_mode) ? errno : ESPIPE;
        ::close(fd);
        return false;
    }
    fd_ = fd;
    position_ = 0;
    window_.resize(kWindowSize);
    window_start_ = 0;
    window_length_ = 0;
    return true;
}

void InputFile::OpenMemory(const std::uint8_t* data, std::size_t size) {
    Close();
    error_ = 0;
    static const std::uint8_t kNothing = 0;
    memory_ = data ? data : &kNothing;
    memory_size_ = data ? size : 0;
    position_ = 0;
    window_start_ = 0;
}

void InputFile::Close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    memory_ = nullptr;
    memory_size_ = 0;
    window_length_ = 0;
}

bool InputFile::Refill() {
    window_start_ = position_;
    window_length_ = 0;
    if (memory_) {
        if (position_ < memory_size_) {
            view_ = memory_ + position_;
            window_length_ = static_cast<std::size_t>(memory_size_ - position_);
        }
        return true;
    }
    view_ = window_.data();
    ssize_t got;
    do {
        got = ::pread(fd_, window_.data(), window_.size(), static_cast<off_t>(position_));
    } while (got < 0 && errno == EINTR);
    if (got < 0) {
        error_ = errno;
        return false;
    }
    window_length_ = static_cast<std::size_t>(got);
    return true;
}

long InputFile::Read(void* destination, std::size_t n) {
    if (!IsOpen())
        return -1;
    auto* out = static_cast<std::uint8_t*>(destination);
    std::size_t done = 0;
    while (done < n) {
        bool inside = position_ >= window_start_ && position_ < window_start_ + window_length_;
        if (!inside) {
            if (!Refill())
                return -1;
            if (window_length_ == 0)
                break; // end of file
        }
        std::size_t offset = static_cast<std::size_t>(position_ - window_start_);
        std::size_t take = std::min(n - done, window_length_ - offset);
        std::memcpy(out + done, view_ + offset, take);
        done += take;
        position_ += take;
    }
    return static_cast<long>(done);
}

bool InputFile::SkipUntil(std::uint8_t byte) {
    if (!IsOpen())
        return false;
    for (;;) {
        bool inside = position_ >= window_start_ && position_ < window_start_ + window_length_;
        if (!inside && (!Refill() || window_length_ == 0))
            return false;
        const std::size_t offset = static_cast<std::size_t>(position_ - window_start_);
        const void* found = std::memchr(view_ + offset, byte, window_length_ - offset);
        if (found) {
            position_ = window_start_ +
                        static_cast<std::size_t>(static_cast<const std::uint8_t*>(found) - view_);
            return true;
        }
        position_ = window_start_ + window_length_;
        if (!SkipHole())
            return false;
    }
}

// A sparse file's holes read as zeros, which hold no byte searched for:
// step to where the data goes on, or stop at the end when none does.
bool InputFile::SkipHole() {
    if (memory_)
        return position_ < memory_size_;
    const off_t data = ::lseek(fd_, static_cast<off_t>(position_), SEEK_DATA);
    if (data < 0)
        return errno != ENXIO; // ENXIO: only a hole is left
    position_ = std::max<std::uint64_t>(position_, static_cast<std::uint64_t>(data));
    return true;
}

bool InputFile::SeekTo(std::uint64_t offset) {
    if (!IsOpen())
        return false;
    position_ = offset;
    return true;
}

bool InputFile::SeekBy(std::int64_t delta) {
    if (!IsOpen())
        return false;
    if (delta < 0 && static_cast<std::uint64_t>(-delta) > position_)
        return false;
    position_ = static_cast<std::uint64_t>(static_cast<std::int64_t>(position_) + delta);
    return true;
}

std::uint64_t InputFile::Size() const {
    if (memory_)
        return memory_size_;
    struct stat info {};
    if (fd_ < 0 || ::fstat(fd_, &info) != 0)
        return 0;
    return static_cast<std::uint64_t>(info.st_size);
}

} // namespace audiocore
