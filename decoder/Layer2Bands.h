#pragma once

#include "SubbandUnit.h"
#include "tables/Layer2AllocationTables.h"

namespace audiocore {

// The allocation table a Layer II frame uses: by bitrate and sampling rate
// for MPEG-1, the one table of the lower sampling frequencies for LSF.
const Layer2AllocationTable& Layer2AllocationFor(const FrameHeader& header);

// One channel's three scale factors of a Layer II frame (one per four
// groups) and the selection of which of them the frame sends.
struct L2Scales {
    void ReadSelection(MpegFileStream& stream, FrameCrc* crc);
    void ReadIndices(MpegFileStream& stream);
    unsigned scfsi = 0;
    float scale[3] = {0.0f, 0.0f, 0.0f};
};

// What one channel of a Layer II subband sends: the allocation selects a
// quantisation class; each group brings three samples.
struct L2Channel {
    void ReadAllocation(MpegFileStream& stream, const Layer2SubbandAllocation& row, FrameCrc* crc);
    bool Sends() const { return quant != nullptr; }
    // The channel's codes requantised to c * (s + d), scaled by its own
    // scale factors for the first output channel and, when `second` is
    // given, by those for the second.
    GroupCode Code(int subband, const L2Scales* second) const;

    // Null when nothing is sent: allocation 0, or a value the table lacks.
    const QuantisationClass* quant = nullptr;
    L2Scales scales;
};

// Layer II, single-channel frames.
class L2Band : public SubbandUnit {
public:
    using SubbandUnit::SubbandUnit;
    void ReadBitAllocation(MpegFileStream& stream, const FrameHeader& header,
                           FrameCrc* crc) override;
    void ReadScaleSelection(MpegFileStream& stream, FrameCrc* crc) override;
    void ReadScaleIndices(MpegFileStream& stream) override;
    void AddCodes(SampleGroups& groups, bool second) const override;

private:
    L2Channel channel_;
};

// Layer II, two channels each with its own allocation: every subband of
// stereo and dual channel frames, joint stereo below the intensity bound.
class L2StereoBand : public SubbandUnit {
public:
    using SubbandUnit::SubbandUnit;
    void ReadBitAllocation(MpegFileStream& stream, const FrameHeader& header,
                           FrameCrc* crc) override;
    void ReadScaleSelection(MpegFileStream& stream, FrameCrc* crc) override;
    void ReadScaleIndices(MpegFileStream& stream) override;
    void AddCodes(SampleGroups& groups, bool second) const override;

private:
    L2Channel channels_[2];
};

// Layer II joint stereo from the intensity bound on: one allocation and one
// sample set shared by both channels, each channel with its own scale
// factor selection and scale factors.
class L2IntensityBand : public SubbandUnit {
public:
    using SubbandUnit::SubbandUnit;
    void ReadBitAllocation(MpegFileStream& stream, const FrameHeader& header,
                           FrameCrc* crc) override;
    void ReadScaleSelection(MpegFileStream& stream, FrameCrc* crc) override;
    void ReadScaleIndices(MpegFileStream& stream) override;
    void AddCodes(SampleGroups& groups, bool second) const override;

private:
    L2Channel channel_;
    L2Scales right_scales_;
};

} // namespace audiocore
