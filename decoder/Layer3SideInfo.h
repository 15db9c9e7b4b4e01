#pragma once

#include "Layer3Constants.h"

#include <cstdint>

namespace audiocore {

class FrameHeader;
class MainDataReservoir;
class MpegFileStream;

// Side information of one granule of one channel.
struct GranuleInfo {
    std::uint32_t part2_3_length = 0;
    std::uint32_t big_values = 0;
    std::uint32_t global_gain = 0;
    std::uint32_t scalefac_compress = 0;
    std::uint32_t window_switching_flag = 0;
    std::uint32_t block_type = 0;
    std::uint32_t mixed_block_flag = 0;
    std::uint32_t table_select[3] = {0, 0, 0};
    std::uint32_t subblock_gain[kShortWindows] = {0, 0, 0};
    std::uint32_t region0_count = 0;
    std::uint32_t region1_count = 0;
    std::uint32_t preflag = 0;
    std::uint32_t scalefac_scale = 0;
    std::uint32_t count1table_select = 0;

    // Short windows, pure or above the long subbands of a mixed block.
    bool ShortBlocks() const { return window_switching_flag == 1 && block_type == 2; }
    bool MixedBlocks() const { return ShortBlocks() && mixed_block_flag == 1; }
};

// Side information of one frame; LSF frames use granule 0 only.
struct SideInfo {
    std::uint32_t main_data_begin = 0;
    std::uint32_t private_bits = 0;
    std::uint32_t scfsi[2][4] = {};
    GranuleInfo granule[2][2]; // [granule][channel]
};

// Scale factors of one channel, kept from granule to granule: MPEG-1 granule
// 1 may reuse granule 0's through scfsi.
struct ScaleFactors {
    std::int32_t l[kLongBands + 1] = {};
    std::int32_t s[kShortWindows][kShortBands] = {};
};

// Reads the side information that follows the header (and CRC) of the
// current frame. False when a granule switches windows with block type 0,
// which the standard forbids; the frame then cannot be decoded.
bool ReadSideInfo(MpegFileStream& stream, const FrameHeader& header, SideInfo& side);

// MPEG-1 scale factors of one granule and channel from the main data.
void ReadScaleFactors(MainDataReservoir& reservoir, const SideInfo& side, int channel, int granule,
                      ScaleFactors& scalefactors);

// LSF scale factors of one channel. `intensity_channel` is true for the
// second channel of an intensity-stereo frame, whose lengths are coded
// differently. Sets the granule's preflag, which LSF derives.
void ReadLsfScaleFactors(MainDataReservoir& reservoir, GranuleInfo& granule, bool intensity_channel,
                         ScaleFactors& scalefactors);

} // namespace audiocore
