#pragma once

#include "SampleGroups.h"

namespace audiocore {

class FrameCrc;
class FrameHeader;
class MpegFileStream;

// One subband of a Layer I or II frame: reads its side information in the
// order the bitstream interleaves the subbands, and tells the frame's sample
// groups how to requantise and route the codes it sends. One object lives
// for one frame.
class SubbandUnit {
public:
    explicit SubbandUnit(int subband) : subband_(subband) {}
    virtual ~SubbandUnit() = default;

    // The allocation of each channel the band carries, fed to `crc` when
    // the frame is protected.
    virtual void ReadBitAllocation(MpegFileStream& stream, const FrameHeader& header,
                                   FrameCrc* crc) = 0;
    // The scale factors of each channel that has an allocation.
    virtual void ReadScaleIndices(MpegFileStream& stream) = 0;
    // Describes to `groups` the codes the band sends in every group, once
    // its allocations and scale factors are read; the second channel's
    // samples are kept only when `second` is set.
    virtual void AddCodes(SampleGroups& groups, bool second) const = 0;
    // Layer II sends, between allocations and scale factors, which of the
    // three scale factors of a channel are shared; Layer I sends none.
    virtual void ReadScaleSelection(MpegFileStream& /*stream*/, FrameCrc* /*crc*/) {}

    int Subband() const { return subband_; }

protected:
    const int subband_;
};

// The codes of a band whose two channels each have their own allocation:
// the first channel's to the first output, the second's to the second
// output when it is kept, else read and dropped.
template <class Channel>
void AddChannelPair(const Channel (&channels)[2], int subband, bool second, SampleGroups& groups) {
    if (channels[0].Sends())
        groups.Add(channels[0].Code(subband, nullptr));
    if (!channels[1].Sends())
        return;
    GroupCode code = channels[1].Code(subband, nullptr);
    for (int part = 0; part < 3; ++part)
        code.scale[1][part] = code.scale[0][part];
    code.to_first = false;
    code.to_second = second;
    groups.Add(code);
}

// 2^(1 - index / 3) for a 6-bit scale factor index; the forbidden index 63
// gives 0, so its subband stays silent.
float ScaleFactor(unsigned index);

} // namespace audiocore
