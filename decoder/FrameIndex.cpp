#include "FrameIndex.h"

#include "HeaderWord.h"
#include "MpegFileStream.h"

#include <algorithm>

namespace audiocore {

void FrameIndex::Prepare(const std::string& path, std::uint64_t first_offset,
                         std::uint32_t first_header) {
    path_ = path;
    first_offset_ = first_offset;
    first_header_ = first_header;
}

void FrameIndex::Walk() const {
    MpegFileStream walker;
    if (path_.empty() || !walker.Open(path_) || !walker.PositionAt(first_offset_, 0))
        return;
    walker.SetSyncPattern(first_header_);
    std::uint64_t end = first_offset_;
    std::uint32_t header = 0;
    while (walker.FindHeader(header, true)) {
        const std::uint64_t offset = walker.Position() - 4;
        offsets_.push_back(offset);
        const int bytes = HeaderWord(header).FrameBytes(walker.FreeFormatBytes());
        end = std::min(offset + static_cast<std::uint64_t>(bytes), walker.FileBytes());
        if (!walker.SkipFrameBody(bytes - 4))
            break;
    }
    offsets_.push_back(end);
}

int FrameIndex::Count() const {
    std::call_once(walked_, [this] { Walk(); });
    return offsets_.empty() ? 0 : static_cast<int>(offsets_.size() - 1);
}

std::uint64_t FrameIndex::Offset(int n) const {
    const int count = Count();
    return n >= 0 && n <= count && !offsets_.empty() ? offsets_[static_cast<std::size_t>(n)] : 0;
}

int FrameIndex::Bytes(int n) const {
    const int count = Count();
    if (n < 0 || n >= count)
        return 0;
    return static_cast<int>(offsets_[static_cast<std::size_t>(n) + 1] -
                            offsets_[static_cast<std::size_t>(n)]);
}

} // namespace audiocore
