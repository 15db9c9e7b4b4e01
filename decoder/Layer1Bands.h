#pragma once

#include "SubbandUnit.h"

namespace audiocore {

// What one channel of a Layer I subband sends: a 4-bit allocation, then a
// scale factor and one code of allocation + 1 bits per group.
struct L1Channel {
    void ReadAllocation(MpegFileStream& stream, FrameCrc* crc);
    void ReadScale(MpegFileStream& stream);
    bool Sends() const { return bits != 0; }
    // The code's requantisation, with the scale factor of the first output
    // channel and, when `second_scale` is given, of the second.
    GroupCode Code(int subband, const float* second_scale) const;

    unsigned allocation = 0;
    int bits = 0;
    float factor = 0.0f;
    float offset = 0.0f;
    float scale = 0.0f;
};

// Layer I, single-channel frames.
class L1Band : public SubbandUnit {
public:
    using SubbandUnit::SubbandUnit;
    void ReadBitAllocation(MpegFileStream& stream, const FrameHeader& header,
                           FrameCrc* crc) override;
    void ReadScaleIndices(MpegFileStream& stream) override;
    void AddCodes(SampleGroups& groups, bool second) const override;

private:
    L1Channel channel_;
};

// Layer I, two channels each with its own allocation: stereo and dual
// channel frames, and joint stereo below the intensity bound.
class L1StereoBand : public SubbandUnit {
public:
    using SubbandUnit::SubbandUnit;
    void ReadBitAllocation(MpegFileStream& stream, const FrameHeader& header,
                           FrameCrc* crc) override;
    void ReadScaleIndices(MpegFileStream& stream) override;
    void AddCodes(SampleGroups& groups, bool second) const override;

private:
    L1Channel channels_[2];
};

// Layer I joint stereo from the intensity bound on: one allocation and one
// code shared by both channels, each channel with its own scale factor.
class L1IntensityBand : public SubbandUnit {
public:
    using SubbandUnit::SubbandUnit;
    void ReadBitAllocation(MpegFileStream& stream, const FrameHeader& header,
                           FrameCrc* crc) override;
    void ReadScaleIndices(MpegFileStream& stream) override;
    void AddCodes(SampleGroups& groups, bool second) const override;

private:
    L1Channel channel_;
    float right_scale_ = 0.0f;
};

} // namespace audiocore
