#include "Layer2Bands.h"

#include "FrameCrc.h"
#include "FrameHeader.h"
#include "MpegFileStream.h"

namespace audiocore {

namespace {

enum TableIndex { k27Subbands = 0, k30Subbands = 1, k8Subbands = 2, k12Subbands = 3, kLsf = 4 };

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

GroupCode L2Channel::Code(int subband, const L2Scales* second) const {
    GroupCode code;
    code.subband = subband;
    code.quant = quant;
    code.to_first = true;
    code.to_second = second != nullptr;
    for (int part = 0; part < 3; ++part) {
        code.scale[0][part] = scales.scale[part];
        code.scale[1][part] = second != nullptr ? second->scale[part] : 0.0f;
    }
    return code;
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

void L2Band::AddCodes(SampleGroups& groups, bool) const {
    if (channel_.Sends())
        groups.Add(channel_.Code(subband_, nullptr));
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

void L2StereoBand::AddCodes(SampleGroups& groups, bool second) const {
    AddChannelPair(channels_, subband_, second, groups);
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

void L2IntensityBand::AddCodes(SampleGroups& groups, bool second) const {
    if (channel_.Sends())
        groups.Add(channel_.Code(subband_, second ? &right_scales_ : nullptr));
}

} // namespace audiocore
