#include "Id3Module.h"

#include "GenreNames.h"
#include "Latin1.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace songinfo {

namespace {

[[noreturn]] void ThrowErrno(int error, const std::string& what) {
    throw std::system_error(error, std::generic_category(), what);
}

// An open file descriptor, closed when it goes out of scope.
class OpenFile {
public:
    // O_NONBLOCK keeps a pipe put in the file's place from hanging the open;
    // it changes nothing for the regular files that pass the check below.
    OpenFile(const std::string& filename, int flags)
        : fd_(::open(filename.c_str(), flags | O_CLOEXEC | O_NONBLOCK)) {
        if (fd_ < 0)
            ThrowErrno(errno, "open " + filename);
        struct stat info {};
        if (::fstat(fd_, &info) != 0)
            ThrowErrno(errno, "stat " + filename);
        // Tags live in regular files only; a pipe or device would block or lie
        // about its length.
        if (!S_ISREG(info.st_mode))
            ThrowErrno(S_ISDIR(info.st_mode) ? EISDIR : EINVAL, filename);
        length_ = info.st_size;
    }
    ~OpenFile() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

    off_t Length() const { return length_; }

    // Reads exactly size bytes at offset; false on a short file, throws on an
    // error.
    bool ReadAt(off_t offset, std::uint8_t* data, std::size_t size) const {
        std::size_t done = 0;
        while (done < size) {
            ssize_t n = ::pread(fd_, data + done, size - done, offset + static_cast<off_t>(done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                ThrowErrno(errno, "read");
            if (n == 0)
                return false;
            done += static_cast<std::size_t>(n);
        }
        return true;
    }

    // Writes exactly size bytes at offset; returns 0 or the error number.
    int WriteAt(off_t offset, const std::uint8_t* data, std::size_t size) {
        std::size_t done = 0;
        while (done < size) {
            ssize_t n = ::pwrite(fd_, data + done, size - done, offset + static_cast<off_t>(done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return n < 0 ? errno : ENOSPC;
            done += static_cast<std::size_t>(n);
        }
        return 0;
    }

    // A full disk or a failing device often shows only when the data is
    // flushed, so the flush decides whether the write succeeded.
    int Flush() { return ::fsync(fd_) == 0 ? 0 : errno; }
    int Truncate(off_t length) { return ::ftruncate(fd_, length) == 0 ? 0 : errno; }

private:
    int fd_;
    off_t length_ = 0;
};

std::string FieldText(const TagBlock& block, std::size_t offset, std::size_t width) {
    return Latin1ToUtf8(
        std::string_view(reinterpret_cast<const char*>(block.data()) + offset, width));
}

// Overwrites the body of the file's existing tag; on failure puts the old
// body back so that the file keeps its tag.
void OverwriteBody(OpenFile& file, const std::string& filename, const TagRecord& record) {
    const off_t body_at = file.Length() - static_cast<off_t>(tag_layout::kBodySize);
    TagRecord::Bytes old_body{};
    if (!file.ReadAt(body_at, old_body.data(), old_body.size()))
        ThrowErrno(EIO, "read " + filename);
    int error = file.WriteAt(body_at, record.OnDisk().data(), record.OnDisk().size());
    if (error == 0)
        error = file.Flush();
    if (error != 0) {
        file.WriteAt(body_at, old_body.data(), old_body.size());
        ThrowErrno(error, "write " + filename);
    }
}

// Appends a complete tag block; on failure cuts the file back to its length.
void AppendBlock(OpenFile& file, const std::string& filename, const TagRecord& record) {
    TagBlock block{};
    std::copy_n(tag_layout::kMarker, tag_layout::kMarkerSize, block.begin());
    std::copy(record.OnDisk().begin(), record.OnDisk().end(),
              block.begin() + static_cast<std::ptrdiff_t>(tag_layout::kMarkerSize));
    const off_t end = file.Length();
    int error = file.WriteAt(end, block.data(), block.size());
    if (error == 0)
        error = file.Flush();
    if (error != 0) {
        file.Truncate(end);
        ThrowErrno(error, "write " + filename);
    }
}

} // namespace

std::optional<TagBlock> ReadLastBlock(const std::string& filename) {
    OpenFile file(filename, O_RDONLY);
    if (file.Length() < static_cast<off_t>(tag_layout::kBlockSize))
        return std::nullopt;
    TagBlock block{};
    // A file that shrinks under us simply has no tag.
    if (!file.ReadAt(file.Length() - static_cast<off_t>(block.size()), block.data(), block.size()))
        return std::nullopt;
    return block;
}

bool IsTag(const TagBlock& block) {
    return std::equal(block.begin(), block.begin() + tag_layout::kMarkerSize, tag_layout::kMarker);
}

TagFields DecodeTag(const TagBlock& block) {
    using namespace tag_layout;
    TagFields fields;
    fields.Title = FieldText(block, kTitleOffset, kTitleWidth);
    fields.Artist = FieldText(block, kArtistOffset, kArtistWidth);
    fields.Album = FieldText(block, kAlbumOffset, kAlbumWidth);
    fields.Year = FieldText(block, kYearOffset, kYearWidth);
    fields.Comment = FieldText(block, kCommentOffset, kCommentWidth);
    fields.Genre = GenreName(block[kGenreOffset]);
    return fields;
}

void WriteTag(const std::string& filename, const TagRecord& record) {
    OpenFile file(filename, O_RDWR);
    bool has_tag = false;
    if (file.Length() >= static_cast<off_t>(tag_layout::kBlockSize)) {
        std::uint8_t marker[tag_layout::kMarkerSize];
        if (!file.ReadAt(file.Length() - static_cast<off_t>(tag_layout::kBlockSize), marker,
                         sizeof marker))
            ThrowErrno(EIO, "read " + filename);
        has_tag = std::equal(marker, marker + sizeof marker, tag_layout::kMarker);
    }
    if (has_tag)
        OverwriteBody(file, filename, record);
    else
        AppendBlock(file, filename, record);
}

} // namespace songinfo
