#pragma once

#include "HeaderWord.h"
#include "InputFile.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace audiocore {

// The opened MPEG audio file: sync search, one frame body at a time, and a
// most-significant-bit-first reader over that body.
class MpegFileStream {
public:
    // The largest body accepted: a padded Layer II frame at 384 kbit/s and
    // 32 kHz is 1729 bytes, 4 of them header; free-format frames may be
    // larger, up to what 640 kbit/s gives at 32 kHz.
    static constexpr int kBodyWords = 721;
    static constexpr int kBodyBytes = kBodyWords * 4;

    // Opens the file read-only. A leading ID3v2 tag is stepped over, since its
    // bytes (pictures above all) are full of false frame syncs.
    bool Open(const std::string& path);
    // The same over bytes in memory, which the caller keeps alive.
    void OpenMemory(const std::uint8_t* data, std::size_t size);
    void Close();
    bool IsOpen() const { return file_.IsOpen(); }
    int OpenError() const { return file_.Error(); }

    // Slides over the file one byte per try until four bytes form an
    // acceptable header that is confirmed: the frame it describes ends where
    // another header of the same stream, the end of the file or a trailing
    // tag begins. The first file byte is the top byte of `header`. Strict,
    // the header must also belong to the stream that SetSyncPattern fixed.
    bool FindHeader(std::uint32_t& header, bool strict);
    // `header` is the first frame's: every later frame must repeat its
    // version and rate.
    void SetSyncPattern(std::uint32_t header);
    bool ReadFrameBody(int n);
    // Steps over the body of the frame whose header was found last.
    bool SkipFrameBody(int n) { return file_.SeekBy(n); }
    // The unpadded frame size of a free-format stream, found from the
    // distance between its first two headers; 0 until then.
    int FreeFormatBytes() const { return free_format_bytes_; }

    // Where the body's reader stands. A loop of many reads takes a copy, which
    // the compiler keeps in registers, and puts it back with Resume.
    struct BodyCursor {
        const std::uint32_t* body;
        int word;
        int bit;

        // The next n bits of the body (1 <= n <= 16), most significant
        // first. Past the end of the buffer this gives zeros and never reads
        // outside it.
        std::uint32_t GetBits(int n) {
            if (word >= kBodyWords)
                return 0;
            const int s = bit + n;
            const std::uint32_t mask = (1u << n) - 1u;
            if (s <= 32) {
                const std::uint32_t value = (body[word] >> (32 - s)) & mask;
                if (s == 32) {
                    bit = 0;
                    ++word;
                } else {
                    bit = s;
                }
                return value;
            }
            const std::uint32_t joined = (body[word] << 16) | (body[word + 1] >> 16);
            ++word;
            bit = s - 32;
            return (joined >> (48 - s)) & mask;
        }

        // Three codes of n bits in a row (1 <= n <= 16), as three GetBits(n)
        // give them: from one 64-bit window when the three words it needs
        // lie inside the buffer.
        void GetThree(int n, std::uint32_t (&codes)[3]) {
            if (word + 2 > kBodyWords) {
                for (std::uint32_t& code : codes)
                    code = GetBits(n);
                return;
            }
            const std::uint64_t pair = std::uint64_t{body[word]} << 32 | body[word + 1];
            const std::uint64_t window = pair << bit | (std::uint64_t{body[word + 2]} << bit) >> 32;
            codes[0] = static_cast<std::uint32_t>(window >> (64 - n));
            codes[1] = static_cast<std::uint32_t>((window << n) >> (64 - n));
            codes[2] = static_cast<std::uint32_t>((window << 2 * n) >> (64 - n));
            const int end = bit + 3 * n;
            word += end >> 5;
            bit = end & 31;
        }
    };
    BodyCursor Cursor() const { return {body_.data(), word_cursor_, bit_index_}; }
    void Resume(const BodyCursor& cursor) {
        word_cursor_ = cursor.word;
        bit_index_ = cursor.bit;
    }

    // The next n bits of the body, as BodyCursor::GetBits.
    std::uint32_t GetBits(int n) {
        BodyCursor cursor = Cursor();
        const std::uint32_t value = cursor.GetBits(n);
        Resume(cursor);
        return value;
    }

    // The next `n` bytes of the body into `out`, as n GetBits(8) give them,
    // when the reader stands on a byte and they lie inside the buffer; false
    // (nothing taken) otherwise.
    bool TakeBytes(std::uint8_t* out, int n);

    // Byte `i` of the body read last; 0 outside it.
    std::uint8_t BodyByte(int i) const {
        if (i < 0 || i >= body_size_)
            return 0;
        return static_cast<std::uint8_t>(body_[i / 4] >> (24 - 8 * (i % 4)));
    }

    std::uint32_t FileSize() const;
    std::uint64_t FileBytes() const { return file_size_; }
    // Positions the stream on the header at `offset`, which the next read
    // will count as frame number `frame`.
    bool PositionAt(std::uint64_t offset, int frame);
    // The frame read last was stream information, not audio: the next frame
    // found is frame 0, and the audio starts there.
    void ForgetFramesRead();

    int BodySize() const { return body_size_; }
    // Bits of the body not yet read (negative once a reader ran past it).
    int BitsLeft() const { return body_size_ * 8 - (word_cursor_ * 32 + bit_index_); }
    int CurrentFrame() const { return current_frame_.load(std::memory_order_relaxed); }
    // Byte offset of the first frame's header, where frame 0 starts for seeks.
    std::uint64_t FirstFrameOffset() const { return first_frame_offset_; }
    std::uint64_t Position() const { return file_.Position(); }
    // The four bytes at `offset` as one word, first byte on top, leaving the
    // stream there; false when the file has fewer. For walks that read only
    // headers, without the search's byte-by-byte slide.
    bool WordAt(std::uint64_t offset, std::uint32_t& word) {
        std::uint8_t b[4];
        if (!file_.SeekTo(offset) || file_.Read(b, 4) != 4)
            return false;
        word = HeaderWord::FromBytes(b).Bits();
        return true;
    }

private:
    bool Confirmed(HeaderWord word);
    bool EndsAtStreamOrEnd(HeaderWord word, std::uint64_t end);
    int MeasureFreeFormat(HeaderWord word, std::uint64_t start);
    void Begin();
    void SkipId3v2Tag();

    InputFile file_;
    // One spare word past the body keeps the two-word read of GetBits inside.
    std::array<std::uint32_t, kBodyWords + 1> body_{};
    int body_size_ = 0;
    int word_cursor_ = 0;
    int bit_index_ = 0;
    HeaderWord sync_pattern_;
    int free_format_bytes_ = 0;
    std::uint64_t file_size_ = 0;
    // Written by the decoding thread, read by the control's thread.
    std::atomic<int> current_frame_{-1};
    bool first_frame_known_ = false;
    std::uint64_t first_frame_offset_ = 0;
};

} // namespace audiocore
