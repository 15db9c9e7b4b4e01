#include "RiffWriter.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace audiocore {

namespace {

constexpr std::size_t kBufferBytes = 64 * 1024;
// The RIFF size field counts everything after the first 8 bytes.
constexpr std::uint64_t kLargestFile = 0xFFFFFFFFull + 8;

void PutLittle32(std::uint8_t* at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

} // namespace

bool RiffWriter::Open(const std::string& path) {
    if (!file_.Open(path))
        return Fail(file_.Error());
    buffer_.resize(kBufferBytes);
    return true;
}

bool RiffWriter::Fail(int error) {
    if (error_ == 0)
        error_ = error != 0 ? error : EIO;
    return false;
}

bool RiffWriter::CreateRiff(const char (&form)[5], Chunk& chunk) {
    chunk.header_offset = Position();
    std::uint8_t header[12] = {'R', 'I', 'F', 'F', 0, 0, 0, 0};
    std::memcpy(header + 8, form, 4);
    return Write(header, sizeof header);
}

bool RiffWriter::CreateChunk(const char (&id)[5], Chunk& chunk) {
    chunk.header_offset = Position();
    std::uint8_t header[8] = {};
    std::memcpy(header, id, 4);
    return Write(header, sizeof header);
}

bool RiffWriter::Write(const void* data, std::size_t size) {
    if (error_ != 0 || !IsOpen())
        return Fail(EBADF);
    if (Position() + size > kLargestFile)
        return Fail(EFBIG);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    while (size > 0) {
        if (used_ == buffer_.size() && !Flush())
            return false;
        std::size_t n = std::min(size, buffer_.size() - used_);
        std::memcpy(buffer_.data() + used_, bytes, n);
        used_ += n;
        bytes += n;
        size -= n;
    }
    return true;
}

bool RiffWriter::Ascend(const Chunk& chunk) {
    if (error_ != 0 || !IsOpen())
        return Fail(EBADF);
    const std::uint64_t data_start = chunk.header_offset + 8;
    if (Position() < data_start)
        return Fail(EINVAL);
    if ((Position() - data_start) % 2 != 0) {
        const std::uint8_t pad = 0;
        if (!Write(&pad, 1))
            return false;
    }
    return PatchSize(chunk.header_offset + 4, static_cast<std::uint32_t>(Position() - data_start));
}

bool RiffWriter::PatchSize(std::uint64_t offset, std::uint32_t size) {
    std::uint8_t field[4];
    PutLittle32(field, size);
    if (offset >= flushed_) {
        // Still in the buffer: patch it there.
        std::memcpy(buffer_.data() + (offset - flushed_), field, 4);
        return true;
    }
    if (offset + 4 > flushed_ && !Flush())
        return false; // the field straddles the buffer's start
    ssize_t n = ::pwrite(file_.Descriptor(), field, 4, static_cast<off_t>(offset));
    if (n != 4)
        return Fail(n < 0 ? errno : EIO);
    return true;
}

bool RiffWriter::Flush() {
    std::size_t done = 0;
    while (done < used_) {
        ssize_t n = ::write(file_.Descriptor(), buffer_.data() + done, used_ - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return Fail(n < 0 ? errno : ENOSPC);
        done += static_cast<std::size_t>(n);
    }
    flushed_ += used_;
    used_ = 0;
    return true;
}

bool RiffWriter::Close() {
    if (!IsOpen())
        return Fail(EBADF);
    if (error_ != 0 || !Flush()) {
        Abandon();
        return false;
    }
    const bool placed = file_.Commit() || Fail(file_.Error());
    ReleaseBuffer();
    return placed;
}

void RiffWriter::Abandon() {
    file_.Abandon();
    ReleaseBuffer();
}

void RiffWriter::ReleaseBuffer() {
    buffer_.clear();
    buffer_.shrink_to_fit();
}

} // namespace audiocore
