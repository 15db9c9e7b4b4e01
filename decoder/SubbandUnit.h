#pragma once

#include "ChannelChoice.h"
#include "PolyphaseSynthesizer.h"

namespace audiocore {

class FrameCrc;
class FrameHeader;
class MpegFileStream;

// One subband of a Layer I or II frame: reads its part of the frame body in
// the order the bitstream interleaves the subbands, requantises its samples
// and writes them into the synthesizers' input slot of its subband. One
// object lives for one frame.
class SubbandUnit {
public:
    // Sample groups in every Layer I and II frame.
    static constexpr int kGroupsPerFrame = 12;

    explicit SubbandUnit(int subband) : subband_(subband) {}
    virtual ~SubbandUnit() = default;

    // The allocation of each channel the band carries, fed to `crc` when
    // the frame is protected.
    virtual void ReadBitAllocation(MpegFileStream& stream, const FrameHeader& header,
                                   FrameCrc* crc) = 0;
    // The scale factors of each channel that has an allocation.
    virtual void ReadScaleIndices(MpegFileStream& stream) = 0;
    // Reads the next sample group; true when it was the frame's last.
    virtual bool ReadSampleGroup(MpegFileStream& stream) = 0;
    // Writes the next sample of the current group into the synthesizers'
    // input; true when the group has no further sample.
    virtual bool EmitSample(ChannelChoice choice, PolyphaseSynthesizer& synth0,
                            PolyphaseSynthesizer* synth1) = 0;
    // Layer II sends, between allocations and scale factors, which of the
    // three scale factors of a channel are shared; Layer I sends none.
    virtual void ReadScaleSelection(MpegFileStream& /*stream*/, FrameCrc* /*crc*/) {}

    int Subband() const { return subband_; }

protected:
    // Counts a group read: true for the frame's twelfth. Wraps around rather
    // than run past the frame, whoever calls.
    bool CountGroup() {
        group_ = (group_ + 1) % kGroupsPerFrame;
        return group_ == kGroupsPerFrame - 1;
    }

    void WriteFirst(PolyphaseSynthesizer& synth0, float value) const {
        synth0.samples[subband_] = value;
    }
    // The second channel is decoded only when the run asked for both.
    void WriteSecond(ChannelChoice choice, PolyphaseSynthesizer* synth1, float value) const {
        if (choice == ChannelChoice::Both && synth1 != nullptr)
            synth1->samples[subband_] = value;
    }

    const int subband_;
    // The group last read, 0..11; -1 before the first.
    int group_ = -1;
};

// 2^(1 - index / 3) for a 6-bit scale factor index; the forbidden index 63
// gives 0, so its subband stays silent.
float ScaleFactor(unsigned index);

} // namespace audiocore
