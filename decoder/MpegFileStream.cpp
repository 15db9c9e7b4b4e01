#include "MpegFileStream.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace audiocore {

bool MpegFileStream::Open(const std::string& path) {
    if (!file_.Open(path))
        return false;
    Begin();
    return true;
}

void MpegFileStream::OpenMemory(const std::uint8_t* data, std::size_t size) {
    file_.OpenMemory(data, size);
    Begin();
}

void MpegFileStream::Begin() {
    body_size_ = 0;
    bit_index_ = 0;
    word_cursor_ = 0;
    current_frame_ = -1;
    first_frame_known_ = false;
    first_frame_offset_ = 0;
    free_format_bytes_ = 0;
    file_size_ = file_.Size();
    SkipId3v2Tag();
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

namespace {

// The largest frame a free-format stream may have, header included.
constexpr int kMaxFrameBytes = MpegFileStream::kBodyBytes + 4;

bool IsTrailingTag(const std::uint8_t* bytes, long count) {
    return (count >= 3 && std::memcmp(bytes, "TAG", 3) == 0) ||
           (count >= 8 && std::memcmp(bytes, "APETAGEX", 8) == 0);
}

} // namespace

bool MpegFileStream::FindHeader(std::uint32_t& header, bool strict) {
    HeaderWord word;
    for (;;) {
        std::uint8_t b[4];
        // Every header starts with a byte of eight sync bits.
        if (!file_.SkipUntil(0xFF) || file_.Read(b, 4) != 4)
            return false;
        word = HeaderWord::FromBytes(b);
        const bool acceptable = strict ? sync_pattern_.SameStream(word) : word.Plausible();
        if (acceptable && Confirmed(word))
            break;
        file_.SeekBy(-3);
    }
    header = word.Bits();
    int frame = current_frame_.load(std::memory_order_relaxed) + 1;
    if (!first_frame_known_) {
        first_frame_offset_ = file_.Position() - 4;
        first_frame_known_ = true;
    }
    current_frame_.store(frame, std::memory_order_relaxed);
    return true;
}

// The stream stands just after the four bytes of `word`, and is left there.
bool MpegFileStream::Confirmed(HeaderWord word) {
    const std::uint64_t start = file_.Position() - 4;
    int free_bytes = free_format_bytes_;
    if (word.FreeFormat() && free_bytes == 0)
        free_bytes = MeasureFreeFormat(word, start);
    const int size = word.FrameBytes(free_bytes);
    bool confirmed = size > 4 && size <= kMaxFrameBytes && EndsAtStreamOrEnd(word, start + size);
    file_.SeekTo(start + 4);
    if (confirmed && word.FreeFormat())
        free_format_bytes_ = free_bytes;
    return confirmed;
}

bool MpegFileStream::EndsAtStreamOrEnd(HeaderWord word, std::uint64_t end) {
    if (end == file_size_)
        return true;
    if (end > file_size_ || !file_.SeekTo(end))
        return false;
    std::uint8_t next[8];
    const long got = file_.Read(next, sizeof next);
    return IsTrailingTag(next, got) || (got >= 4 && word.SameStream(HeaderWord::FromBytes(next)));
}

// A free-format frame ends where the next header of its stream begins. That
// header must itself end at one, so a sync pattern inside the audio data
// cannot pass for it. Returns the unpadded size, or 0.
int MpegFileStream::MeasureFreeFormat(HeaderWord word, std::uint64_t start) {
    for (int distance = 8; distance <= kMaxFrameBytes; ++distance) {
        std::uint8_t b[4];
        if (!file_.SeekTo(start + distance) || file_.Read(b, 4) != 4)
            return 0;
        const HeaderWord next = HeaderWord::FromBytes(b);
        if (!word.SameStream(next))
            continue;
        const int unpadded = distance - word.PaddingBytes();
        if (EndsAtStreamOrEnd(next, start + distance + next.FrameBytes(unpadded)))
            return unpadded;
    }
    return 0;
}

void MpegFileStream::SetSyncPattern(std::uint32_t header) {
    sync_pattern_ = HeaderWord(header);
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

bool MpegFileStream::TakeBytes(std::uint8_t* out, int n) {
    const int at = word_cursor_ * 4 + bit_index_ / 8;
    if (bit_index_ % 8 != 0 || n < 0 || at + n > kBodyBytes)
        return false;
    // Byte by byte up to a word and after the last whole one, as GetBits
    // reads them: from the buffer, whatever the body's size.
    const auto byte = [&](int k) {
        return static_cast<std::uint8_t>(body_[k / 4] >> (24 - 8 * (k % 4)));
    };
    int i = 0;
    for (; i < n && (at + i) % 4 != 0; ++i)
        out[i] = byte(at + i);
    // Whole words back in file order.
    for (; i + 4 <= n; i += 4) {
        std::uint32_t word = body_[(at + i) / 4];
        if constexpr (std::endian::native == std::endian::little)
            word = __builtin_bswap32(word);
        std::memcpy(out + i, &word, 4);
    }
    for (; i < n; ++i)
        out[i] = byte(at + i);
    word_cursor_ = (at + n) / 4;
    bit_index_ = (at + n) % 4 * 8;
    return true;
}

std::uint32_t MpegFileStream::FileSize() const {
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(file_size_, 0xFFFFFFFFu));
}

bool MpegFileStream::PositionAt(std::uint64_t offset, int frame) {
    if (frame < 0 || !file_.SeekTo(offset))
        return false;
    current_frame_.store(frame - 1, std::memory_order_relaxed);
    return true;
}

void MpegFileStream::ForgetFramesRead() {
    current_frame_.store(-1, std::memory_order_relaxed);
    first_frame_known_ = false;
}

} // namespace audiocore
