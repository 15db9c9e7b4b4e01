#include "SampleGroups.h"

#include "MpegFileStream.h"

namespace audiocore {

namespace {

void Store(const GroupCode& code, int part, int slot, float sample, GroupBlocks& blocks) {
    if (code.to_first)
        blocks.value[0][slot][code.subband] = sample * code.scale[0][part];
    if (code.to_second)
        blocks.value[1][slot][code.subband] = sample * code.scale[1][part];
}

void ReadLayer1(const GroupCode& code, MpegFileStream::BodyCursor& stream, GroupBlocks& blocks) {
    const float fraction =
        static_cast<float>(stream.GetBits(code.bits)) * code.factor + code.offset;
    Store(code, 0, 0, fraction, blocks);
}

// Three samples, the first fastest: one grouped code for the classes of 3, 5
// and 9 steps, one code each for the others.
void ReadLayer2(const GroupCode& code, int part, MpegFileStream::BodyCursor& stream,
                GroupBlocks& blocks) {
    const QuantisationClass& quant = *code.quant;
    if (quant.grouping != nullptr) {
        // The table covers every code of the class's width, so any bits
        // index inside it.
        const float* samples = quant.grouping[stream.GetBits(quant.bits)];
        for (int slot = 0; slot < 3; ++slot)
            Store(code, part, slot, samples[slot], blocks);
        return;
    }
    std::uint32_t codes[3];
    stream.GetThree(quant.bits, codes);
    for (int slot = 0; slot < 3; ++slot) {
        const float fraction = static_cast<float>(codes[slot]) * quant.factor - 1.0f;
        Store(code, part, slot, quant.c * (fraction + quant.d), blocks);
    }
}

} // namespace

void SampleGroups::Add(const GroupCode& code) {
    const bool requantisable = layer_ == 1 || code.quant != nullptr;
    if (requantisable && count_ < kMaxCodes && code.subband >= 0 && code.subband < 32)
        codes_[count_++] = code;
}

void SampleGroups::Read(MpegFileStream& stream, int group, GroupBlocks& blocks) const {
    MpegFileStream::BodyCursor cursor = stream.Cursor();
    if (layer_ == 1) {
        for (int i = 0; i < count_; ++i)
            ReadLayer1(codes_[i], cursor, blocks);
    } else {
        // Each third of the frame has its own scale factors.
        const int part = group < 0 ? 0 : (group / 4) % 3;
        for (int i = 0; i < count_; ++i)
            ReadLayer2(codes_[i], part, cursor, blocks);
    }
    stream.Resume(cursor);
}

} // namespace audiocore
