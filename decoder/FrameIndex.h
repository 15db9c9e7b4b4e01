#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace audiocore {

// Where every audio frame of a file begins, found by walking the headers
// from the first audio frame: header reads only, no decoding. The walk
// happens once, when first asked, on a reader of its own, so opening stays
// quick and the decoding stream keeps its place. It finds the frames the
// decoding finds, by the same confirmed search, whatever their sizes: VBR,
// padded, free-format or changing layer.
class FrameIndex {
public:
    // Where the walk will start: the first audio frame and its header.
    void Prepare(const std::string& path, std::uint64_t first_offset, std::uint32_t first_header);

    int Count() const;
    // The offset of frame n, for 0 <= n < Count().
    std::uint64_t Offset(int n) const;
    // The bytes from frame n to the next frame (or to the end of the last).
    int Bytes(int n) const;

private:
    void Walk() const;

    std::string path_;
    std::uint64_t first_offset_ = 0;
    std::uint32_t first_header_ = 0;
    mutable std::once_flag walked_;
    // Every frame's offset, then the end of the last frame.
    mutable std::vector<std::uint64_t> offsets_;
};

} // namespace audiocore
