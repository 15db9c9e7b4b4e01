#pragma once

#include "ReplacingFile.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace audiocore {

// A RIFF file written front to back through one buffer. Chunks are created
// with a size of 0 and get their true size when they are closed (ascended),
// as RIFF writers traditionally do, so the writer never needs to know a
// chunk's length in advance.
//
// The file replaces its target only when it is closed complete (see
// ReplacingFile). Every operation answers false once anything has failed;
// Error() keeps the errno of the first failure. A file is never allowed to grow past what the
// 32-bit RIFF size field can describe.
class RiffWriter {
public:
    // Where a chunk's header sits in the file.
    struct Chunk {
        std::uint64_t header_offset = 0;
    };

    RiffWriter() = default;
    ~RiffWriter() = default;
    RiffWriter(const RiffWriter&) = delete;
    RiffWriter& operator=(const RiffWriter&) = delete;

    // Starts the file that is to replace `path`.
    bool Open(const std::string& path);
    bool IsOpen() const { return file_.Descriptor() >= 0; }

    // Writes "RIFF", a zero size and the form type ("WAVE").
    bool CreateRiff(const char (&form)[5], Chunk& chunk);
    // Writes a sub-chunk header: its id and a zero size.
    bool CreateChunk(const char (&id)[5], Chunk& chunk);
    bool Write(const void* data, std::size_t size);
    // Ends the chunk at the current position: pads it to an even length and
    // writes its true size into its header.
    bool Ascend(const Chunk& chunk);
    // Writes out what is buffered, closes the file and puts it in place.
    // False when any of it failed; the target is then as it was.
    bool Close();
    // Closes the file without putting it in place.
    void Abandon();

    std::uint64_t Position() const { return flushed_ + used_; }
    int Error() const { return error_; }

private:
    bool Flush();
    bool Fail(int error);
    bool PatchSize(std::uint64_t offset, std::uint32_t size);
    void ReleaseBuffer();

    ReplacingFile file_;
    std::vector<std::uint8_t> buffer_;
    std::size_t used_ = 0;
    std::uint64_t flushed_ = 0; // bytes handed to the file so far
    int error_ = 0;
};

} // namespace audiocore
