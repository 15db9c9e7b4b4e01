#include "FrameIndex.h"

#include "HeaderWord.h"
#include "MpegFileStream.h"

#include <algorithm>
#include <climits>

namespace audiocore {

void FrameIndex::Prepare(Opener open, std::uint64_t first_offset, std::uint32_t first_header) {
    open_ = std::move(open);
    walked_ = std::make_unique<Walked>();
    first_offset_ = first_offset;
    first_header_ = first_header;
}

void FrameIndex::Walk(std::vector<std::uint64_t>& offsets) const {
    MpegFileStream walker;
    if (!open_ || !open_(walker) || !walker.PositionAt(first_offset_, 0))
        return;
    walker.SetSyncPattern(first_header_);
    std::uint64_t end = first_offset_;
    std::uint32_t header = 0;
    while (walker.FindHeader(header, true)) {
        const std::uint64_t offset = walker.Position() - 4;
        offsets.push_back(offset);
        const int bytes = HeaderWord(header).FrameBytes(walker.FreeFormatBytes());
        end = std::min(offset + static_cast<std::uint64_t>(bytes), walker.FileBytes());
        if (!walker.SkipFrameBody(bytes - 4))
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
