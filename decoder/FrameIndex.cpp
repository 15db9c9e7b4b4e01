#include "FrameIndex.h"

#include "HeaderWord.h"
#include "MpegFileStream.h"

#include <algorithm>
#include <array>
#include <climits>

namespace audiocore {

namespace {

// The size of every frame of one stream, by the header bits that may change
// from frame to frame (layer, bitrate, padding); 0 for a header that does
// not belong to the stream, or that has no size of its own (free format).
class StreamFrameSizes {
public:
    explicit StreamFrameSizes(HeaderWord stream)
        : stream_bits_(stream.Bits() & HeaderWord::kStreamBits) {
        for (std::uint32_t key = 0; key < bytes_.size(); ++key) {
            const std::uint32_t varying =
                (key >> 5 & 3u) << 17 | (key >> 1 & 15u) << 12 | (key & 1u) << 9;
            const HeaderWord word(stream_bits_ | varying);
            const int bytes = word.FrameBytes(0);
            const bool usable =
                stream.SameStream(word) && bytes > 4 && bytes <= MpegFileStream::kBodyBytes + 4;
            bytes_[Key(word.Bits())] = usable ? bytes : 0;
        }
    }
    int Of(std::uint32_t word) const {
        return (word & HeaderWord::kStreamBits) == stream_bits_ ? bytes_[Key(word)] : 0;
    }

private:
    // The layer, bitrate and padding bits, packed.
    static std::size_t Key(std::uint32_t word) {
        return ((word >> 17) & 3u) << 5 | ((word >> 12) & 15u) << 1 | ((word >> 9) & 1u);
    }
    std::uint32_t stream_bits_;
    std::array<int, 128> bytes_{};
};

// The walk's common case: frames that begin where the one before ends, each
// confirmed by a header of the stream at its own end or by the end of the
// file, read four bytes per frame. Appends those from `start` on and returns
// where the last one ends (`start` when there is none); whatever breaks the
// chain (a tag, junk, lost sync, free format) is left to the search, which
// accepts exactly the frames the chain does where both apply.
std::uint64_t FollowChain(MpegFileStream& stream, const StreamFrameSizes& sizes,
                          std::uint64_t start, std::uint64_t file_bytes,
                          std::vector<std::uint64_t>& offsets) {
    std::uint64_t at = start;
    std::uint32_t word = 0;
    int bytes = stream.WordAt(at, word) ? sizes.Of(word) : 0;
    while (bytes != 0) {
        const std::uint64_t next = at + static_cast<std::uint64_t>(bytes);
        int next_bytes = 0;
        if (next != file_bytes &&
            !(stream.WordAt(next, word) && (next_bytes = sizes.Of(word)) != 0))
            break;
        offsets.push_back(at);
        at = next;
        bytes = next_bytes;
    }
    return at;
}

} // namespace

void FrameIndex::Prepare(Opener open, std::uint64_t first_offset, std::uint32_t first_header) {
    open_ = std::move(open);
    walked_ = std::make_shared<Walked>();
    first_offset_ = first_offset;
    first_header_ = first_header;
}

void FrameIndex::Walk(std::vector<std::uint64_t>& offsets) const {
    MpegFileStream walker;
    if (!open_ || !open_(walker) || !walker.PositionAt(first_offset_, 0))
        return;
    walker.SetSyncPattern(first_header_);
    const StreamFrameSizes sizes{HeaderWord(first_header_)};
    const std::uint64_t file_bytes = walker.FileBytes();
    // Room for as many frames as the first one's size gives, untouched
    // until used, so the long lists of hour-long files are never copied.
    const int first_bytes = sizes.Of(first_header_);
    if (first_bytes > 0 && file_bytes > first_offset_)
        offsets.reserve(static_cast<std::size_t>((file_bytes - first_offset_) / first_bytes + 2));
    std::uint64_t end = first_offset_;
    std::uint32_t header = 0;
    while (walker.FindHeader(header, true)) {
        const std::uint64_t offset = walker.Position() - 4;
        offsets.push_back(offset);
        const int bytes = HeaderWord(header).FrameBytes(walker.FreeFormatBytes());
        end = std::min(offset + static_cast<std::uint64_t>(bytes), file_bytes);
        // The chain reads where it likes; the search goes on where it ended.
        const std::uint64_t next = offset + static_cast<std::uint64_t>(bytes);
        const std::uint64_t chain_end = FollowChain(walker, sizes, next, file_bytes, offsets);
        if (chain_end != next)
            end = chain_end;
        if (!walker.PositionAt(chain_end, 0))
            break;
    }
    offsets.push_back(end);
}

const std::vector<std::uint64_t>& FrameIndex::Offsets() const {
    Walked& walked = *walked_;
    std::call_once(walked.once, [&] { Walk(walked.offsets); });
    return walked.offsets;
}

int FrameIndex::Count() const {
    const auto& offsets = Offsets();
    return offsets.empty() ? 0
                           : static_cast<int>(std::min<std::size_t>(offsets.size() - 1, INT_MAX));
}

std::uint64_t FrameIndex::Offset(int n) const {
    const auto& offsets = Offsets();
    return n >= 0 && static_cast<std::size_t>(n) < offsets.size()
               ? offsets[static_cast<std::size_t>(n)]
               : 0;
}

int FrameIndex::Bytes(int n) const {
    const auto& offsets = Offsets();
    if (n < 0 || static_cast<std::size_t>(n) + 1 >= offsets.size())
        return 0;
    const std::size_t i = static_cast<std::size_t>(n);
    return static_cast<int>(offsets[i + 1] - offsets[i]);
}

} // namespace audiocore
