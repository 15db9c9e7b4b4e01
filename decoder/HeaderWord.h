#pragma once

#include <cstdint>

namespace audiocore {

// The four header bytes of a frame as one word, first byte on top, and what
// they say on their own: before a stream is locked, these are all there is
// to tell a frame from a false sync inside audio data or a picture.
class HeaderWord {
public:
    static constexpr int kVersion25 = 0; // MPEG 2.5: half the LSF rates
    static constexpr int kVersionLsf = 2;
    static constexpr int kVersion1 = 3;
    // The bits every frame of one stream repeats: sync, version and rate.
    static constexpr std::uint32_t kStreamBits = 0xFFF80C00u;

    HeaderWord() = default;
    explicit HeaderWord(std::uint32_t bits) : bits_(bits) {}
    static HeaderWord FromBytes(const std::uint8_t bytes[4]);

    std::uint32_t Bits() const { return bits_; }
    // Eleven sync bits and no reserved version, layer, bitrate or rate.
    bool Plausible() const;
    // Another frame of the same stream: the version, the rate and the kind
    // of bitrate (free or listed) stay; layer and channel mode may change.
    bool SameStream(HeaderWord other) const;

    int VersionCode() const { return static_cast<int>((bits_ >> 19) & 3u); }
    int Layer() const { return static_cast<int>((4u - ((bits_ >> 17) & 3u)) & 3u); }
    int BitrateIndex() const { return static_cast<int>((bits_ >> 12) & 15u); }
    int RateIndex() const { return static_cast<int>((bits_ >> 10) & 3u); }
    int Padding() const { return static_cast<int>((bits_ >> 9) & 1u); }
    bool FreeFormat() const { return BitrateIndex() == 0; }

    int BitrateBps() const;
    int SampleRateHz() const;
    int SamplesPerFrame() const;
    int PaddingBytes() const;
    // The whole frame, header included. A free-format frame has no size of
    // its own: `free_bytes` is its stream's unpadded frame size.
    int FrameBytes(int free_bytes) const;

private:
    std::uint32_t bits_ = 0;
};

// PCM samples per channel in one frame of `layer`: 384 in Layer I, 576 in
// Layer III below MPEG-1's rates, 1152 otherwise.
int SamplesPerFrame(int layer, bool mpeg1);
// Bytes the padding bit adds: one 4-byte slot in Layer I, one byte otherwise.
int PaddingBytes(int layer, int padding);
// Bits per second by MPEG-1 (1) or not (0), layer - 1 and bitrate index.
int BitrateBps(int mpeg1, int layer, int bitrate_index);
// Hertz by version code (0 MPEG 2.5, 2 LSF, 3 MPEG-1) and rate index;
// 0 for the reserved codes.
int SampleRateHz(int version_code, int rate_index);

} // namespace audiocore
