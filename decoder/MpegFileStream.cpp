#include "MpegFileStream.h"

#include "FrameHeader.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace audiocore {

bool MpegFileStream::Open(const std::string& path) {
    body_size_ = 0;
    bit_index_ = 0;
    word_cursor_ = 0;
    current_frame_ = -1;
    highest_frame_ = -1;
    first_frame_offset_ = 0;
    if (!file_.Open(path))
        return false;
    SkipId3v2Tag();
    return true;
}

void MpegFileStream::Close() {
    file_.Close();
}

// "ID3", two version bytes (never 0xFF), flags, a four-byte syncsafe size and,
// when flag bit 4 is set, a ten-byte footer after the tag body.
void MpegFileStream::SkipId3v2Tag() {
    std::uint8_t tag[10];
    if (file_.Read(tag, sizeof tag) == static_cast<long>(sizeof tag) &&
        std::memcmp(tag, "ID3", 3) == 0 && tag[3] != 0xFF && tag[4] != 0xFF &&
        (tag[6] | tag[7] | tag[8] | tag[9]) < 0x80) {
        std::uint64_t size =
            (std::uint64_t{tag[6]} << 21) | (tag[7] << 14) | (tag[8] << 7) | tag[9];
        std::uint64_t footer = (tag[5] & 0x10) ? 10 : 0;
        file_.SeekTo(10 + size + footer);
        return;
    }
    file_.SeekTo(0);
}

bool MpegFileStream::MatchesPattern(const std::uint8_t b[4], bool strict) const {
    if (b[0] != 0xFF)
        return false;
    // The reserved layer code 0 is no frame: treat it like any false sync.
    if ((b[1] & 0x06) == 0)
        return false;
    if (!strict)
        return (b[1] & 0xF0) == 0xF0;
    bool single = (b[3] & 0xC0) == 0xC0;
    return (b[1] & 0xF8) == (sync_pattern_[1] & 0xF8) &&
           (b[2] & 0x0C) == (sync_pattern_[2] & 0x0C) && single == single_channel_;
}

bool MpegFileStream::FindHeader(std::uint32_t& header, bool strict) {
    std::uint8_t b[4];
    for (;;) {
        if (file_.Read(b, 4) != 4)
            return false;
        if (MatchesPattern(b, strict))
            break;
        file_.SeekBy(-3);
    }
    header = (std::uint32_t{b[0]} << 24) | (std::uint32_t{b[1]} << 16) |
             (std::uint32_t{b[2]} << 8) | b[3];
    int frame = current_frame_.load(std::memory_order_relaxed) + 1;
    if (frame == 0 && highest_frame_ < 0)
        first_frame_offset_ = file_.Position() - 4;
    current_frame_.store(frame, std::memory_order_relaxed);
    highest_frame_ = std::max(highest_frame_, frame);
    return true;
}

void MpegFileStream::SetSyncPattern(std::uint32_t header) {
    sync_pattern_[0] = static_cast<std::uint8_t>(header >> 24);
    sync_pattern_[1] = static_cast<std::uint8_t>(header >> 16);
    sync_pattern_[2] = static_cast<std::uint8_t>(header >> 8);
    sync_pattern_[3] = static_cast<std::uint8_t>(header);
    single_channel_ = (header & 0xC0) == 0xC0;
}

bool MpegFileStream::ReadFrameBody(int n) {
    word_cursor_ = 0;
    bit_index_ = 0;
    if (n <= 0 || n > kBodyBytes) {
        // A free-format or damaged header: nothing sensible to read.
        body_size_ = std::max(n, 0);
        return false;
    }
    body_size_ = n;
    long got = file_.Read(body_.data(), static_cast<std::size_t>(n));
    // Big-endian words, so that every bit read is a load, a shift and a mask.
    if constexpr (std::endian::native == std::endian::little) {
        for (int i = 0, words = (n + 3) / 4; i < words; ++i)
            body_[i] = __builtin_bswap32(body_[i]);
    }
    return got == n;
}

std::uint32_t MpegFileStream::FileSize() const {
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(file_.Size(), 0xFFFFFFFFu));
}

bool MpegFileStream::PositionAtFrame(std::uint64_t offset, int frame) {
    if (!file_.SeekTo(first_frame_offset_ + offset))
        return false;
    current_frame_.store(frame - 1, std::memory_order_relaxed);
    return true;
}

bool MpegFileStream::SeekFrameFixed(int frame, int body_size) {
    if (frame < 0 || body_size < 0)
        return false;
    return PositionAtFrame(static_cast<std::uint64_t>(frame) * (body_size + 4), frame);
}

bool MpegFileStream::SeekFrameTracked(int frame, int body_size, FrameHeader& header,
                                      const std::vector<std::int32_t>& padding_table) {
    if (frame < 0 || body_size < 0)
        return false;
    const std::uint64_t frame_bytes = static_cast<std::uint64_t>(body_size) + 4;
    auto padding_before = [&](int f) -> std::uint64_t {
        // Padding bytes in frames 0..f-1.
        if (f < 1 || padding_table.empty())
            return 0;
        std::size_t i =
            std::min<std::size_t>(static_cast<std::size_t>(f - 1), padding_table.size() - 1);
        return static_cast<std::uint64_t>(padding_table[i]);
    };
    FrameCrc* crc = nullptr;
    int h = highest_frame_;
    if (h < frame) {
        // Not reached yet: read forward from the highest frame met, recording
        // the padding of every frame passed, so the seek lands exactly.
        if (!PositionAtFrame(padding_before(h + 1) + frame_bytes * (h + 1), h + 1))
            return false;
        while (highest_frame_ < frame) {
            if (!header.ReadNext(*this, crc))
                return false;
        }
        return true;
    }
    if (!PositionAtFrame(padding_before(frame) + frame_bytes * frame, frame))
        return false;
    return header.ReadNext(*this, crc);
}

} // namespace audiocore
