#pragma once

#include "FrameCrc.h"

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
    void ComputeFrameSize();
    // Frames the file would hold at the current frame's unpadded size.
    std::uint32_t MaxFrames(const MpegFileStream& stream) const;
    float MsPerFrame() const;
    float TotalMs(const MpegFileStream& stream) const;
    // Positions the stream on `frame` and reads it, so that after a successful
    // seek the header and body are those of the target frame.
    bool SeekToFrame(MpegFileStream& stream, int frame);

    // Display strings; null for values outside the lists.
    const char* LayerName() const;
    const char* SampleRateName() const;
    const char* ModeName() const;
    const char* VersionName() const;

    int BitrateBps() const;
    int SampleRateHz() const;
    int Channels() const { return mode == kSingleChannel ? 1 : 2; }
    // Bytes the padding bit adds: one 4-byte slot in Layer I, one byte otherwise.
    int PaddingBytes() const { return layer == 1 ? 4 * padding : padding; }
    // PCM samples per channel that one frame of this layer and version gives.
    int SamplesPerFrame() const;

    std::int32_t layer = 0;
    std::int32_t protection_bit = 1;
    std::int32_t bitrate_index = 0;
    std::int32_t padding = 0;
    std::int32_t mode_extension = 0;
    std::int32_t version = 1;
    std::int32_t mode = 0;
    std::int32_t sample_frequency = 0;
    std::int32_t subbands = 0;
    std::uint32_t intensity_stereo_bound = 0;
    bool copy_flags[2] = {false, false};
    bool synced = false;
    std::unique_ptr<FrameCrc> crc;
    // Padding bytes in frames 0..f, for exact seeks at 44.1 and 22.05 kHz,
    // where padded and unpadded frames alternate.
    std::vector<std::int32_t> padding_table;
    std::uint16_t checksum = 0;
    std::int32_t body_size = 0;
    std::int32_t main_data_slots = 0;

private:
    bool FindFrame(MpegFileStream& stream, std::uint32_t& header);
    void Decode(std::uint32_t header);
    void RecordPadding(const MpegFileStream& stream);
};

} // namespace audiocore
