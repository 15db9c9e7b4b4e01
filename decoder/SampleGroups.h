#pragma once

#include "tables/Layer2AllocationTables.h"

#include <array>
#include <cstdint>

namespace audiocore {

class MpegFileStream;

// The subband samples one group of a Layer I or II frame gives: a block of
// 32 subbands per output channel for each of the group's sample slots (one
// in Layer I, three in Layer II).
struct GroupBlocks {
    static constexpr int kMaxSlots = 3;
    alignas(16) float value[2][kMaxSlots][32] = {};
};

// One code that every group of the frame sends for one channel of a
// subband, how it is requantised and where its samples go. A code that
// goes nowhere (the second channel of a run that decodes only the first)
// is still read, so that the codes after it stay in place.
struct GroupCode {
    int subband = 0;
    // Layer I: a code of `bits` bits maps to code * factor + offset.
    int bits = 0;
    float factor = 0.0f;
    float offset = 0.0f;
    // Layer II: the quantisation class, which gives the code widths itself.
    const QuantisationClass* quant = nullptr;
    // The scale factor of each output channel for each third of the frame
    // (groups 0-3, 4-7 and 8-11); Layer I has one for all three.
    float scale[2][3] = {};
    bool to_first = false;
    bool to_second = false;
};

// A frame's sample groups: the codes each group sends, in the order the
// bitstream interleaves them, read and requantised for all subbands and
// channels in one loop. The bands describe their codes once per frame, so
// nothing is dispatched per sample.
class SampleGroups {
public:
    // Groups in every Layer I and II frame.
    static constexpr int kGroupsPerFrame = 12;

    explicit SampleGroups(int layer) : layer_(layer) {}

    void Add(const GroupCode& code);
    // Sample slots per group: 1 in Layer I, 3 in Layer II.
    int SlotsPerGroup() const { return layer_ == 1 ? 1 : 3; }
    // Reads group `group` (0..11) into `blocks`. Only the places of the
    // codes that go somewhere are written: the rest keep what they hold,
    // zero when `blocks` starts zeroed, as for every group of the frame.
    void Read(MpegFileStream& stream, int group, GroupBlocks& blocks) const;

private:
    static constexpr int kMaxCodes = 64; // 32 subbands, two channels each

    int layer_;
    std::array<GroupCode, kMaxCodes> codes_{};
    int count_ = 0;
};

} // namespace audiocore
