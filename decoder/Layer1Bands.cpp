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

void L1Channel::ReadCode(MpegFileStream& stream) {
    if (Sends())
        code = stream.GetBits(bits);
}

void L1Band::ReadBitAllocation(MpegFileStream& stream, const FrameHeader&, FrameCrc* crc) {
    channel_.ReadAllocation(stream, crc);
}

void L1Band::ReadScaleIndices(MpegFileStream& stream) {
    channel_.ReadScale(stream);
}

bool L1Band::ReadSampleGroup(MpegFileStream& stream) {
    channel_.ReadCode(stream);
    return CountGroup();
}

bool L1Band::EmitSample(ChannelChoice, PolyphaseSynthesizer& synth0, PolyphaseSynthesizer*) {
    if (channel_.Sends())
        WriteFirst(synth0, channel_.Fraction() * channel_.scale);
    return true;
}

void L1StereoBand::ReadBitAllocation(MpegFileStream& stream, const FrameHeader&, FrameCrc* crc) {
    for (L1Channel& channel : channels_)
        channel.ReadAllocation(stream, crc);
}

void L1StereoBand::ReadScaleIndices(MpegFileStream& stream) {
    for (L1Channel& channel : channels_)
        channel.ReadScale(stream);
}

bool L1StereoBand::ReadSampleGroup(MpegFileStream& stream) {
    for (L1Channel& channel : channels_)
        channel.ReadCode(stream);
    return CountGroup();
}

bool L1StereoBand::EmitSample(ChannelChoice choice, PolyphaseSynthesizer& synth0,
                              PolyphaseSynthesizer* synth1) {
    if (channels_[0].Sends())
        WriteFirst(synth0, channels_[0].Fraction() * channels_[0].scale);
    if (channels_[1].Sends())
        WriteSecond(choice, synth1, channels_[1].Fraction() * channels_[1].scale);
    return true;
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

bool L1IntensityBand::ReadSampleGroup(MpegFileStream& stream) {
    channel_.ReadCode(stream);
    return CountGroup();
}

bool L1IntensityBand::EmitSample(ChannelChoice choice, PolyphaseSynthesizer& synth0,
                                 PolyphaseSynthesizer* synth1) {
    if (channel_.Sends()) {
        const float value = channel_.Fraction();
        WriteFirst(synth0, value * channel_.scale);
        WriteSecond(choice, synth1, value * right_scale_);
    }
    return true;
}

} // namespace audiocore
