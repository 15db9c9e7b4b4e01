#include "Layer1Bands.h"

#include "FrameCrc.h"
#include "MpegFileStream.h"

namespace audiocore {

namespace {

// By allocation a: bits per code nb = a + 1, and x * factor + offset maps a
// code x onto 2 (x + 1 - 2^(nb-1)) / (2^nb - 1), the standard's requantisation
// of a code with its top bit inverted. The forbidden allocation 15 keeps the
// 16-bit layout, so the subbands after it still line up, but is silent.
struct Layer1Quantisers {
    int bits[16];
    float factor[16];
    float offset[16];
    Layer1Quantisers() {
        bits[0] = 0;
        factor[0] = offset[0] = 0.0f;
        for (int a = 1; a < 15; ++a) {
            const double steps = static_cast<double>((1 << (a + 1)) - 1);
            bits[a] = a + 1;
            factor[a] = static_cast<float>(2.0 / steps);
            offset[a] = static_cast<float>(-(steps - 1.0) / steps);
        }
        bits[15] = 16;
        factor[15] = offset[15] = 0.0f;
    }
};
const Layer1Quantisers kQuantisers;

} // namespace

void L1Channel::ReadAllocation(MpegFileStream& stream, FrameCrc* crc) {
    allocation = stream.GetBits(4);
    if (crc != nullptr)
        crc->AddBits(allocation, 4);
    bits = kQuantisers.bits[allocation];
    factor = kQuantisers.factor[allocation];
    offset = kQuantisers.offset[allocation];
}

void L1Channel::ReadScale(MpegFileStream& stream) {
    if (Sends())
        scale = ScaleFactor(stream.GetBits(6));
}

GroupCode L1Channel::Code(int subband, const float* second_scale) const {
    GroupCode code;
    code.subband = subband;
    code.bits = bits;
    code.factor = factor;
    code.offset = offset;
    code.to_first = true;
    code.to_second = second_scale != nullptr;
    for (int part = 0; part < 3; ++part) {
        code.scale[0][part] = scale;
        code.scale[1][part] = second_scale != nullptr ? *second_scale : 0.0f;
    }
    return code;
}

void L1Band::ReadBitAllocation(MpegFileStream& stream, const FrameHeader&, FrameCrc* crc) {
    channel_.ReadAllocation(stream, crc);
}

void L1Band::ReadScaleIndices(MpegFileStream& stream) {
    channel_.ReadScale(stream);
}

void L1Band::AddCodes(SampleGroups& groups, bool) const {
    if (channel_.Sends())
        groups.Add(channel_.Code(subband_, nullptr));
}

void L1StereoBand::ReadBitAllocation(MpegFileStream& stream, const FrameHeader&, FrameCrc* crc) {
    for (L1Channel& channel : channels_)
        channel.ReadAllocation(stream, crc);
}

void L1StereoBand::ReadScaleIndices(MpegFileStream& stream) {
    for (L1Channel& channel : channels_)
        channel.ReadScale(stream);
}

void L1StereoBand::AddCodes(SampleGroups& groups, bool second) const {
    AddChannelPair(channels_, subband_, second, groups);
}

void L1IntensityBand::ReadBitAllocation(MpegFileStream& stream, const FrameHeader&, FrameCrc* crc) {
    channel_.ReadAllocation(stream, crc);
}

void L1IntensityBand::ReadScaleIndices(MpegFileStream& stream) {
    if (!channel_.Sends())
        return;
    channel_.ReadScale(stream);
    right_scale_ = ScaleFactor(stream.GetBits(6));
}

void L1IntensityBand::AddCodes(SampleGroups& groups, bool second) const {
    if (channel_.Sends())
        groups.Add(channel_.Code(subband_, second ? &right_scale_ : nullptr));
}

} // namespace audiocore
