#pragma once

#include "FrameCrc.h"
#include "HeaderWord.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace audiocore {

class MpegFileStream;

enum Mode : std::int32_t { kStereo = 0, kJointStereo = 1, kDualChannel = 2, kSingleChannel = 3 };

// The header of the current frame of a stream, reused for every frame, with
// the stream's frame sizes, timing, seek support and display strings.
class FrameHeader {
public:
    // Reads the next frame: header, body and the start of its CRC. `crc` is
    // the frame's accumulator when the frame carries a CRC, else null.
    bool ReadNext(MpegFileStream& stream, FrameCrc*& crc);
    // `free_format_bytes` is the unpadded frame size of a free-format stream.
    void ComputeFrameSize(int free_format_bytes);
    // Milliseconds that `frames` frames of this stream last, rounded down.
    std::int64_t LengthMs(std::int64_t frames) const;

    // Display strings; null for values outside the lists.
    const char* LayerName() const;
    const char* SampleRateName() const;
    const char* ModeName() const;
    const char* VersionName() const;

    // 3 MPEG-1, 2 LSF, 0 MPEG 2.5, as the header codes them.
    int VersionCode() const;
    int BitrateBps() const;
    int SampleRateHz() const;
    int Channels() const { return mode == kSingleChannel ? 1 : 2; }
    int PaddingBytes() const { return audiocore::PaddingBytes(layer, padding); }
    // PCM samples per channel that one frame of this layer and version gives.
    int SamplesPerFrame() const;

    std::int32_t layer = 0;
    std::int32_t protection_bit = 1;
    std::int32_t bitrate_index = 0;
    std::int32_t padding = 0;
    std::int32_t mode_extension = 0;
    // 1 MPEG-1, 0 the lower sampling rates, which MPEG 2.5 halves again.
    std::int32_t version = 1;
    bool mpeg25 = false;
    // The header as read, first byte on top.
    std::uint32_t word = 0;
    std::int32_t mode = 0;
    std::int32_t sample_frequency = 0;
    std::int32_t subbands = 0;
    std::uint32_t intensity_stereo_bound = 0;
    bool copy_flags[2] = {false, false};
    bool synced = false;
    std::unique_ptr<FrameCrc> crc;
    std::uint16_t checksum = 0;
    std::int32_t body_size = 0;
    std::int32_t main_data_slots = 0;

private:
    bool FindFrame(MpegFileStream& stream, std::uint32_t& header);
    void Decode(std::uint32_t header);
};

} // namespace audiocore
