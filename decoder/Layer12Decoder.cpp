#include "Layer12Decoder.h"

#include "FrameCrc.h"
#include "FrameHeader.h"
#include "Layer1Bands.h"
#include "Layer2Bands.h"
#include "MpegFileStream.h"
#include "PcmSink.h"
#include "PolyphaseSynthesizer.h"

#include <algorithm>
#include <array>
#include <variant>

namespace audiocore {

namespace {

constexpr int kMaxSubbands = 32;

// The band objects of one frame, kept in place rather than on the heap: a
// frame needs at most 32 of them and decoding stays free of allocation.
class FrameBands {
public:
    explicit FrameBands(const FrameHeader& header) {
        if (header.layer == 1) {
            Create<L1Band, L1StereoBand, L1IntensityBand>(header, header.subbands);
        } else {
            // A header cannot ask for more subbands than its table describes.
            const int limit = Layer2AllocationFor(header).subbands;
            Create<L2Band, L2StereoBand, L2IntensityBand>(header, std::min(header.subbands, limit));
        }
    }
    FrameBands(const FrameBands&) = delete;
    FrameBands& operator=(const FrameBands&) = delete;

    SubbandUnit* const* begin() const { return units_.data(); }
    SubbandUnit* const* end() const { return units_.data() + count_; }
    int Count() const { return count_; }

private:
    template <class Single, class Stereo, class Intensity>
    void Create(const FrameHeader& header, int count) {
        count_ = std::clamp(count, 0, kMaxSubbands);
        for (int sb = 0; sb < count_; ++sb) {
            if (header.mode == kSingleChannel)
                units_[sb] = &slots_[sb].emplace<Single>(sb);
            else if (header.mode == kJointStereo &&
                     static_cast<std::uint32_t>(sb) >= header.intensity_stereo_bound)
                units_[sb] = &slots_[sb].emplace<Intensity>(sb);
            else
                units_[sb] = &slots_[sb].emplace<Stereo>(sb);
        }
    }

    using Slot = std::variant<std::monostate, L1Band, L1StereoBand, L1IntensityBand, L2Band,
                              L2StereoBand, L2IntensityBand>;
    std::array<Slot, kMaxSubbands> slots_;
    std::array<SubbandUnit*, kMaxSubbands> units_{};
    int count_ = 0;
};

// Allocations and, for Layer II, scale factor selections are what the CRC
// protects; the check decides before any sample is read.
bool ReadSideInfo(const FrameBands& bands, MpegFileStream& stream, const FrameHeader& header,
                  FrameCrc* crc) {
    for (SubbandUnit* band : bands)
        band->ReadBitAllocation(stream, header, crc);
    if (header.layer == 2)
        for (SubbandUnit* band : bands)
            band->ReadScaleSelection(stream, crc);
    if (crc == nullptr)
        return true;
    const bool intact = crc->Value() == header.checksum;
    crc->Restart();
    return intact;
}

// A frame's subband samples per output channel, block by block: 12 in
// Layer I, 36 in Layer II.
struct FrameBlocks {
    static constexpr int kMaxBlocks = SampleGroups::kGroupsPerFrame * GroupBlocks::kMaxSlots;
    alignas(32) float value[2][kMaxBlocks][32];
};

// Moves one group's slots into the frame's blocks, mapped onto the output
// channels as the frame's mix says.
void CollectGroup(const GroupBlocks& group, int slots, int first_block, bool second, FrameMix mix,
                  FrameBlocks& frame) {
    for (int slot = 0; slot < slots; ++slot) {
        const float* left = group.value[0][slot];
        const float* right = group.value[1][slot];
        float* out0 = frame.value[0][first_block + slot];
        float* out1 = frame.value[1][first_block + slot];
        if (second && mix == FrameMix::MeanToMono) {
            for (int sb = 0; sb < 32; ++sb)
                out0[sb] = 0.5f * (left[sb] + right[sb]);
            continue;
        }
        std::copy(left, left + 32, out0);
        const float* source1 = mix == FrameMix::MonoToBoth ? left : right;
        if (second)
            std::copy(source1, source1 + 32, out1);
    }
}

// Reads the twelve groups, then synthesises the frame's blocks channel by
// channel: one block of 32 subband samples per group slot (one slot per
// group in Layer I, three in Layer II).
void DecodeSamples(const FrameBands& bands, MpegFileStream& stream, const FrameHeader& header,
                   PolyphaseSynthesizer& synth0, PolyphaseSynthesizer* synth1, PcmSink& sink,
                   FrameMix mix) {
    SampleGroups groups(header.layer);
    const bool second = synth1 != nullptr;
    // A single-channel frame's bands only ever write the first channel.
    for (SubbandUnit* band : bands)
        band->AddCodes(groups, second);
    // Every group writes the same places, so the silent ones stay zero.
    GroupBlocks group;
    FrameBlocks frame;
    const int slots = groups.SlotsPerGroup();
    for (int g = 0; g < SampleGroups::kGroupsPerFrame; ++g) {
        groups.Read(stream, g, group);
        CollectGroup(group, slots, g * slots, second, mix, frame);
    }
    const int blocks = SampleGroups::kGroupsPerFrame * slots;
    synth0.SynthesizeBlocks(frame.value[0], blocks, sink);
    // The mean of two channels went through the first synthesizer alone.
    if (second && mix != FrameMix::MeanToMono)
        synth1->SynthesizeBlocks(frame.value[1], blocks, sink);
}

} // namespace

bool DecodeLayer12Frame(MpegFileStream& stream, FrameHeader& header, FrameCrc* crc,
                        ChannelChoice choice, PolyphaseSynthesizer& synth0,
                        PolyphaseSynthesizer* synth1, PcmSink& sink, FrameMix mix) {
    if (header.layer != 1 && header.layer != 2)
        return false;
    FrameBands bands(header);
    // The group loops end on what the bands report, so there must be one.
    if (bands.Count() == 0)
        return false;
    if (!ReadSideInfo(bands, stream, header, crc))
        return false;
    for (SubbandUnit* band : bands)
        band->ReadScaleIndices(stream);
    // A single-channel frame fills the second synthesizer only to copy
    // itself into a two-channel output.
    if (mix == FrameMix::MeanToMono)
        choice = ChannelChoice::Both;
    const bool two_channels = mix == FrameMix::MonoToBoth ||
                              (choice == ChannelChoice::Both && header.mode != kSingleChannel);
    DecodeSamples(bands, stream, header, synth0, two_channels ? synth1 : nullptr, sink, mix);
    sink.EndFrame();
    return true;
}

} // namespace audiocore
