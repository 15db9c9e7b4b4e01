#include "Layer2Bands.h"

#include "FrameCrc.h"
#include "FrameHeader.h"
#include "MpegFileStream.h"

namespace audiocore {

namespace {

enum TableIndex { k27Subbands = 0, k30Subbands = 1, k8Subbands = 2, k12Subbands = 3, kLsf = 4 };

// Each group's scale factor: groups 0..3 use the first, 4..7 the second,
// 8..11 the third.
int ScalePart(int group) {
    return group < 0 ? 0 : group / 4;
}

// Steps to the group's next sample; true once its three are out.
bool NextSample(int& sample) {
    sample = (sample + 1) % 3;
    return sample == 0;
}

} // namespace

const Layer2AllocationTable& Layer2AllocationFor(const FrameHeader& header) {
    if (header.version == 0)
        return kLayer2AllocationTables[kLsf];
    // The header has already chosen the subband count by bitrate and rate,
    // and each MPEG-1 table has a count of its own.
    switch (header.subbands) {
    case 8:
        return kLayer2AllocationTables[k8Subbands];
    case 12:
        return kLayer2AllocationTables[k12Subbands];
    case 27:
        return kLayer2AllocationTables[k27Subbands];
    default:
        return kLayer2AllocationTables[k30Subbands];
    }
}

void L2Scales::ReadSelection(MpegFileStream& stream, FrameCrc* crc) {
    scfsi = stream.GetBits(2);
    if (crc != nullptr)
        crc->AddBits(scfsi, 2);
}

void L2Scales::ReadIndices(MpegFileStream& stream) {
    const float first = ScaleFactor(stream.GetBits(6));
    switch (scfsi) {
    case 0:
        scale[0] = first;
        scale[1] = ScaleFactor(stream.GetBits(6));
        scale[2] = ScaleFactor(stream.GetBits(6));
        break;
    case 1:
        scale[0] = scale[1] = first;
        scale[2] = ScaleFactor(stream.GetBits(6));
        break;
    case 2:
        scale[0] = scale[1] = scale[2] = first;
        break;
    default:
        scale[0] = first;
        scale[1] = scale[2] = ScaleFactor(stream.GetBits(6));
        break;
    }
}

void L2Channel::ReadAllocation(MpegFileStream& stream, const Layer2SubbandAllocation& row,
                               FrameCrc* crc) {
    const unsigned allocation = stream.GetBits(row.allocation_bits);
    if (crc != nullptr)
        crc->AddBits(allocation, row.allocation_bits);
    const int index = row.quant[allocation & 15u];
    quant = index < 0 ? nullptr : &kQuantisationClasses[index];
}

void L2Channel::ReadSamples(MpegFileStream& stream) {
    if (quant->grouping != nullptr) {
        // The table covers every code of the class's width, so any bits
        // index inside it.
        const float* group = quant->grouping[stream.GetBits(quant->bits)];
        samples[0] = group[0];
        samples[1] = group[1];
        samples[2] = group[2];
        return;
    }
    for (float& sample : samples) {
        const float fraction =
            static_cast<float>(stream.GetBits(quant->bits)) * quant->factor - 1.0f;
        sample = quant->c * (fraction + quant->d);
    }
}

void L2Band::ReadBitAllocation(MpegFileStream& stream, const FrameHeader& header, FrameCrc* crc) {
    channel_.ReadAllocation(stream, Layer2AllocationFor(header).rows[subband_], crc);
}

void L2Band::ReadScaleSelection(MpegFileStream& stream, FrameCrc* crc) {
    if (channel_.Sends())
        channel_.scales.ReadSelection(stream, crc);
}

void L2Band::ReadScaleIndices(MpegFileStream& stream) {
    if (channel_.Sends())
        channel_.scales.ReadIndices(stream);
}

bool L2Band::ReadSampleGroup(MpegFileStream& stream) {
    if (channel_.Sends())
        channel_.ReadSamples(stream);
    sample_ = 0;
    return CountGroup();
}

bool L2Band::EmitSample(ChannelChoice, PolyphaseSynthesizer& synth0, PolyphaseSynthesizer*) {
    if (channel_.Sends())
        WriteFirst(synth0, channel_.samples[sample_] * channel_.scales.ForPart(ScalePart(group_)));
    return NextSample(sample_);
}

void L2StereoBand::ReadBitAllocation(MpegFileStream& stream, const FrameHeader& header,
                                     FrameCrc* crc) {
    const Layer2SubbandAllocation& row = Layer2AllocationFor(header).rows[subband_];
    for (L2Channel& channel : channels_)
        channel.ReadAllocation(stream, row, crc);
}

void L2StereoBand::ReadScaleSelection(MpegFileStream& stream, FrameCrc* crc) {
    for (L2Channel& channel : channels_)
        if (channel.Sends())
            channel.scales.ReadSelection(stream, crc);
}

void L2StereoBand::ReadScaleIndices(MpegFileStream& stream) {
    for (L2Channel& channel : channels_)
        if (channel.Sends())
            channel.scales.ReadIndices(stream);
}

bool L2StereoBand::ReadSampleGroup(MpegFileStream& stream) {
    for (L2Channel& channel : channels_)
        if (channel.Sends())
            channel.ReadSamples(stream);
    sample_ = 0;
    return CountGroup();
}

bool L2StereoBand::EmitSample(ChannelChoice choice, PolyphaseSynthesizer& synth0,
                              PolyphaseSynthesizer* synth1) {
    const int part = ScalePart(group_);
    const L2Channel& left = channels_[0];
    const L2Channel& right = channels_[1];
    if (left.Sends())
        WriteFirst(synth0, left.samples[sample_] * left.scales.ForPart(part));
    if (right.Sends())
        WriteSecond(choice, synth1, right.samples[sample_] * right.scales.ForPart(part));
    return NextSample(sample_);
}

void L2IntensityBand::ReadBitAllocation(MpegFileStream& stream, const FrameHeader& header,
                                        FrameCrc* crc) {
    channel_.ReadAllocation(stream, Layer2AllocationFor(header).rows[subband_], crc);
}

void L2IntensityBand::ReadScaleSelection(MpegFileStream& stream, FrameCrc* crc) {
    if (!channel_.Sends())
        return;
    channel_.scales.ReadSelection(stream, crc);
    right_scales_.ReadSelection(stream, crc);
}

void L2IntensityBand::ReadScaleIndices(MpegFileStream& stream) {
    if (!channel_.Sends())
        return;
    channel_.scales.ReadIndices(stream);
    right_scales_.ReadIndices(stream);
}

bool L2IntensityBand::ReadSampleGroup(MpegFileStream& stream) {
    if (channel_.Sends())
        channel_.ReadSamples(stream);
    sample_ = 0;
    return CountGroup();
}

bool L2IntensityBand::EmitSample(ChannelChoice choice, PolyphaseSynthesizer& synth0,
                                 PolyphaseSynthesizer* synth1) {
    if (channel_.Sends()) {
        const int part = ScalePart(group_);
        const float value = channel_.samples[sample_];
        WriteFirst(synth0, value * channel_.scales.ForPart(part));
        WriteSecond(choice, synth1, value * right_scales_.ForPart(part));
    }
    return NextSample(sample_);
}

} // namespace audiocore
