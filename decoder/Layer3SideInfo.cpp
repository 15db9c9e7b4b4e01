#include "Layer3SideInfo.h"

#include "FrameHeader.h"
#include "MainDataReservoir.h"
#include "MpegFileStream.h"
#include "tables/Layer3Bands.h"

namespace audiocore {

namespace {

// Long bands before the short part of a mixed block: the long part is lines
// 0..35, eight bands at the MPEG-1 rates and six at the LSF rates.
constexpr int kMpeg1MixedLongBands = 8;
constexpr int kLsfMixedLongBands = 6;

// The fields of one granule and channel from window_switching_flag on, up to
// the fields MPEG-1 and LSF lay out differently. False for the forbidden
// window switching with block type 0.
bool ReadBlockFields(MpegFileStream& stream, GranuleInfo& g) {
    g.window_switching_flag = stream.GetBits(1);
    if (g.window_switching_flag == 1) {
        g.block_type = stream.GetBits(2);
        g.mixed_block_flag = stream.GetBits(1);
        g.table_select[0] = stream.GetBits(5);
        g.table_select[1] = stream.GetBits(5);
        g.table_select[2] = 0;
        for (std::uint32_t& gain : g.subblock_gain)
            gain = stream.GetBits(3);
        // Short blocks do not use the region counts; the others split at the
        // standard's fixed boundaries.
        g.region0_count = (g.block_type == 2 && g.mixed_block_flag == 0) ? 8 : 7;
        g.region1_count = 20 - g.region0_count;
        return g.block_type != 0;
    }
    g.block_type = 0;
    g.mixed_block_flag = 0;
    for (std::uint32_t& table : g.table_select)
        table = stream.GetBits(5);
    for (std::uint32_t& gain : g.subblock_gain)
        gain = 0;
    g.region0_count = stream.GetBits(4);
    g.region1_count = stream.GetBits(3);
    return true;
}

// Reads `count` scale factors of `bits` each (0 bits: zeros, nothing read).
void ReadValues(MainDataReservoir& reservoir, int bits, std::int32_t* values, int count) {
    for (int i = 0; i < count; ++i)
        values[i] = static_cast<std::int32_t>(reservoir.GetBits(bits));
}

struct LsfLengths {
    int slen[4];
    int table;
    std::uint32_t preflag;
};

LsfLengths SplitLsfCompress(std::uint32_t c, bool intensity_channel) {
    const int v = static_cast<int>(c);
    if (!intensity_channel) {
        if (v < 400)
            return {{(v >> 4) / 5, (v >> 4) % 5, (v & 15) >> 2, v & 3}, 0, 0};
        if (v < 500) {
            const int d = v - 400;
            return {{(d >> 2) / 5, (d >> 2) % 5, d & 3, 0}, 1, 0};
        }
        const int d = v - 500;
        return {{d / 3, d % 3, 0, 0}, 2, 1};
    }
    const int h = v >> 1;
    if (h < 180)
        return {{h / 36, (h % 36) / 6, (h % 36) % 6, 0}, 3, 0};
    if (h < 244) {
        const int d = h - 180;
        return {{(d & 63) >> 4, (d & 15) >> 2, d & 3, 0}, 4, 0};
    }
    if (h < 255) {
        const int d = h - 244;
        return {{d / 3, d % 3, 0, 0}, 5, 0};
    }
    // scalefac_compress 510 and 511 fall outside every range: no scale
    // factors are coded, so none are read.
    return {{0, 0, 0, 0}, 0, 0};
}

} // namespace

bool ReadSideInfo(MpegFileStream& stream, const FrameHeader& header, SideInfo& side) {
    const int channels = header.mode == kSingleChannel ? 1 : 2;
    // The whole side information is read even past a forbidden field, so
    // that the stream stands at the main data either way.
    bool valid = true;
    if (header.version == 1) {
        side.main_data_begin = stream.GetBits(9);
        side.private_bits = stream.GetBits(channels == 1 ? 5 : 3);
        for (int ch = 0; ch < channels; ++ch)
            for (std::uint32_t& flag : side.scfsi[ch])
                flag = stream.GetBits(1);
        for (int gr = 0; gr < 2; ++gr) {
            for (int ch = 0; ch < channels; ++ch) {
                GranuleInfo& g = side.granule[gr][ch];
                g.part2_3_length = stream.GetBits(12);
                g.big_values = stream.GetBits(9);
                g.global_gain = stream.GetBits(8);
                g.scalefac_compress = stream.GetBits(4);
                valid = ReadBlockFields(stream, g) && valid;
                g.preflag = stream.GetBits(1);
                g.scalefac_scale = stream.GetBits(1);
                g.count1table_select = stream.GetBits(1);
            }
        }
        return valid;
    }
    side.main_data_begin = stream.GetBits(8);
    side.private_bits = stream.GetBits(channels == 1 ? 1 : 2);
    for (int ch = 0; ch < channels; ++ch) {
        GranuleInfo& g = side.granule[0][ch];
        g.part2_3_length = stream.GetBits(12);
        g.big_values = stream.GetBits(9);
        g.global_gain = stream.GetBits(8);
        g.scalefac_compress = stream.GetBits(9);
        valid = ReadBlockFields(stream, g) && valid;
        g.preflag = 0; // derived from scalefac_compress with the scale factors
        g.scalefac_scale = stream.GetBits(1);
        g.count1table_select = stream.GetBits(1);
    }
    return valid;
}

void ReadScaleFactors(MainDataReservoir& reservoir, const SideInfo& side, int channel, int granule,
                      ScaleFactors& sf) {
    const GranuleInfo& g = side.granule[granule][channel];
    const int len1 = kSlen1[g.scalefac_compress & 15];
    const int len2 = kSlen2[g.scalefac_compress & 15];

    if (g.ShortBlocks()) {
        int band = 0;
        if (g.mixed_block_flag == 1) {
            ReadValues(reservoir, len1, sf.l, kMpeg1MixedLongBands);
            band = 3;
        }
        // Band by band, the three windows of a band together.
        for (; band < kShortBands - 1; ++band)
            for (auto& window : sf.s)
                window[band] = static_cast<std::int32_t>(reservoir.GetBits(band < 6 ? len1 : len2));
        for (auto& window : sf.s)
            window[kShortBands - 1] = 0;
        return;
    }

    // Four groups of long bands; in granule 1 a group flagged in scfsi keeps
    // granule 0's values.
    static constexpr int kGroupStart[5] = {0, 6, 11, 16, kLongBands - 1};
    for (int group = 0; group < 4; ++group) {
        if (granule == 0 || side.scfsi[channel][group] == 0) {
            const int first = kGroupStart[group];
            ReadValues(reservoir, group < 2 ? len1 : len2, sf.l + first,
                       kGroupStart[group + 1] - first);
        }
    }
    sf.l[kLongBands - 1] = sf.l[kLongBands] = 0;
}

void ReadLsfScaleFactors(MainDataReservoir& reservoir, GranuleInfo& g, bool intensity_channel,
                         ScaleFactors& sf) {
    const int kind = g.block_type == 2 ? (g.mixed_block_flag == 1 ? 2 : 1) : 0;
    const LsfLengths lengths = SplitLsfCompress(g.scalefac_compress, intensity_channel);

    std::int32_t values[45] = {};
    int count = 0;
    for (int part = 0; part < 4; ++part) {
        const int n = kLsfBandCounts[lengths.table][kind][part];
        ReadValues(reservoir, lengths.slen[part], values + count, n);
        count += n;
    }

    if (!g.ShortBlocks()) {
        for (int band = 0; band < kLongBands - 1; ++band)
            sf.l[band] = values[band];
        sf.l[kLongBands - 1] = sf.l[kLongBands] = 0;
    } else {
        int next = 0;
        int band = 0;
        if (g.mixed_block_flag == 1) {
            for (; next < kLsfMixedLongBands; ++next)
                sf.l[next] = values[next];
            band = 3;
        }
        for (; band < kShortBands - 1; ++band)
            for (auto& window : sf.s)
                window[band] = values[next++];
        for (auto& window : sf.s)
            window[kShortBands - 1] = 0;
    }
    g.preflag = lengths.preflag;
}

} // namespace audiocore
