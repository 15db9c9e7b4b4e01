#pragma once

#include "InputFile.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace audiocore {

class FrameHeader;
class FrameCrc;

// The opened MPEG audio file: sync search, one frame body at a time, and a
// most-significant-bit-first reader over that body.
class MpegFileStream {
public:
    // The largest body the accepted formats have: a padded Layer II frame at
    // 384 kbit/s and 32 kHz is 1729 bytes, 4 of them header.
    static constexpr int kBodyWords = 433;
    static constexpr int kBodyBytes = kBodyWords * 4;

    // Opens the file read-only. A leading ID3v2 tag is stepped over, since its
    // bytes (pictures above all) are full of false frame syncs.
    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return file_.IsOpen(); }
    int OpenError() const { return file_.Error(); }

    // Slides over the file one byte per try until four bytes form an
    // acceptable header; the first file byte is the top byte of `header`.
    bool FindHeader(std::uint32_t& header, bool strict);
    // `header` is the first frame's header masked to the bits every later
    // frame must repeat.
    void SetSyncPattern(std::uint32_t header);
    bool ReadFrameBody(int n);

    // The next n bits of the body (1 <= n <= 16), most significant first.
    // Past the end of the buffer this gives zeros and never reads outside it.
    std::uint32_t GetBits(int n) {
        if (word_cursor_ >= kBodyWords)
            return 0;
        int s = bit_index_ + n;
        std::uint32_t mask = (1u << n) - 1u;
        if (s <= 32) {
            std::uint32_t value = (body_[word_cursor_] >> (32 - s)) & mask;
            if (s == 32) {
                bit_index_ = 0;
                ++word_cursor_;
            } else {
                bit_index_ = s;
            }
            return value;
        }
        std::uint32_t joined = (body_[word_cursor_] << 16) | (body_[word_cursor_ + 1] >> 16);
        ++word_cursor_;
        bit_index_ = s - 32;
        return (joined >> (48 - s)) & mask;
    }

    std::uint32_t FileSize() const;
    bool SeekFrameFixed(int frame, int body_size);
    bool SeekFrameTracked(int frame, int body_size, FrameHeader& header,
                          const std::vector<std::int32_t>& padding_table);

    int BodySize() const { return body_size_; }
    // Bits of the body not yet read (negative once a reader ran past it).
    int BitsLeft() const { return body_size_ * 8 - (word_cursor_ * 32 + bit_index_); }
    bool SingleChannel() const { return single_channel_; }
    int CurrentFrame() const { return current_frame_.load(std::memory_order_relaxed); }
    int HighestFrame() const { return highest_frame_; }
    // Byte offset of the first frame's header, where frame 0 starts for seeks.
    std::uint64_t FirstFrameOffset() const { return first_frame_offset_; }
    std::uint64_t Position() const { return file_.Position(); }

private:
    bool MatchesPattern(const std::uint8_t bytes[4], bool strict) const;
    bool PositionAtFrame(std::uint64_t offset, int frame);
    void SkipId3v2Tag();

    InputFile file_;
    // One spare word past the body keeps the two-word read of GetBits inside.
    std::array<std::uint32_t, kBodyWords + 1> body_{};
    int body_size_ = 0;
    int word_cursor_ = 0;
    int bit_index_ = 0;
    std::uint8_t sync_pattern_[4] = {};
    bool single_channel_ = false;
    // Written by the decoding thread, read by the control's thread.
    std::atomic<int> current_frame_{-1};
    int highest_frame_ = -1;
    std::uint64_t first_frame_offset_ = 0;
};

} // namespace audiocore
