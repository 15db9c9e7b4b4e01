#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace audiocore {

class MpegFileStream;

// Where every audio frame of a file begins, found by walking the headers
// from the first audio frame: header reads only, no decoding. The walk
// happens once, when first asked, on a reader of its own, so opening stays
// quick and the decoding stream keeps its place. It finds the frames the
// decoding finds, by the same confirmed search, whatever their sizes: VBR,
// padded, free-format or changing layer.
class FrameIndex {
public:
    // Opens a reader of the same file for the walk.
    using Opener = std::function<bool(MpegFileStream&)>;

    // How to read the file, and where the walk will start: the first audio
    // frame and its header.
    void Prepare(Opener open, std::uint64_t first_offset, std::uint32_t first_header);

    int Count() const;
    // The offset of frame n, for 0 <= n < Count().
    std::uint64_t Offset(int n) const;
    // The bytes from frame n to the next frame (or to the end of the last).
    int Bytes(int n) const;

private:
    void Walk(std::vector<std::uint64_t>& offsets) const;

    // What one walk finds; Prepare starts a fresh one.
    struct Walked {
        std::once_flag once;
        // Every frame's offset, then the end of the last frame.
        std::vector<std::uint64_t> offsets;
    };
    const std::vector<std::uint64_t>& Offsets() const;

    Opener open_;
    std::uint64_t first_offset_ = 0;
    std::uint32_t first_header_ = 0;
    // Shared by copies, which then walk the file once between them.
    std::shared_ptr<Walked> walked_ = std::make_shared<Walked>();
};

} // namespace audiocore
