// Side information and scale factors: field layout, the forbidden block
// type, MPEG-1 scale factor reuse and the LSF length codes.

#include "BitWriter.h"
#include "FrameHeader.h"
#include "Layer3Frames.h"
#include "Layer3SideInfo.h"
#include "MainDataReservoir.h"
#include "MpegFileStream.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

using namespace audiocore;
using namespace testsupport;

// Reads the side information of a one-frame file and reports how many
// bits it took.
struct SideInfoRead {
    bool valid = false;
    int bits = 0;
    SideInfo side;
};

SideInfoRead ReadFrameSideInfo(const Layer3Format& format, const BitWriter& body) {
    TempDir dir;
    std::vector<std::uint8_t> file;
    AppendFrame(file, format, body);
    WriteFile(dir.File("frame.mp3"), file);
    MpegFileStream stream;
    EXPECT_TRUE(stream.Open(dir.File("frame.mp3")));
    FrameHeader header;
    FrameCrc* crc = nullptr;
    EXPECT_TRUE(header.ReadNext(stream, crc));
    SideInfoRead result;
    const int before = stream.BitsLeft();
    result.valid = ReadSideInfo(stream, header, result.side);
    result.bits = before - stream.BitsLeft();
    return result;
}

TEST(Layer3SideInfo, SizesOfEveryLayout) {
    struct Case {
        bool mpeg1;
        bool single;
        int bits;
    };
    for (const Case& c : {Case{true, false, 256}, Case{true, true, 136}, Case{false, false, 136},
                          Case{false, true, 72}}) {
        Layer3Format format;
        format.mpeg1 = c.mpeg1;
        format.single_channel = c.single;
        const SideInfoRead read = ReadFrameSideInfo(format, BitWriter{});
        EXPECT_TRUE(read.valid);
        EXPECT_EQ(read.bits, c.bits) << "mpeg1 " << c.mpeg1 << " single " << c.single;
    }
}

TEST(Layer3SideInfo, WindowSwitchingWithBlockTypeZeroIsInvalidButFullyRead) {
    Layer3Format format;
    BitWriter bits;
    bits.Put(0, 9 + 3 + 8);
    bits.Put(0, 12 + 9 + 8 + 4);
    bits.Put(1, 1); // window switching ...
    bits.Put(0, 2); // ... with block type 0
    const SideInfoRead read = ReadFrameSideInfo(format, bits);
    EXPECT_FALSE(read.valid);
    // The stream still stands at the main data.
    EXPECT_EQ(read.bits, 256);
}

SideInfo LongBlockSide(std::uint32_t scalefac_compress) {
    SideInfo side;
    side.granule[0][0].scalefac_compress = scalefac_compress;
    side.granule[1][0].scalefac_compress = scalefac_compress;
    return side;
}

TEST(Layer3ScaleFactors, Mpeg1LongBlockLengthsAndGranuleReuse) {
    SideInfo side = LongBlockSide(15); // 4 bits for bands 0..10, 3 for 11..20
    side.scfsi[0][0] = 1;
    side.scfsi[0][2] = 1;
    BitWriter bits;
    for (int band = 0; band < 21; ++band)
        bits.Put(static_cast<std::uint32_t>(band % 8), band < 11 ? 4 : 3);
    // Granule 1 reads only the groups scfsi leaves: bands 6..10 and 16..20.
    for (int band = 6; band < 11; ++band)
        bits.Put(15, 4);
    for (int band = 16; band < 21; ++band)
        bits.Put(7, 3);
    MainDataReservoir reservoir;
    bits.FillReservoir(reservoir);

    ScaleFactors sf;
    ReadScaleFactors(reservoir, side, 0, 0, sf);
    EXPECT_EQ(reservoir.BitsRead(), 74);
    for (int band = 0; band < 21; ++band)
        EXPECT_EQ(sf.l[band], band % 8) << band;

    ReadScaleFactors(reservoir, side, 0, 1, sf);
    EXPECT_EQ(reservoir.BitsRead(), 74 + 20 + 15);
    for (int band = 0; band < 21; ++band) {
        const bool reread = (band >= 6 && band < 11) || band >= 16;
        EXPECT_EQ(sf.l[band], reread ? (band < 11 ? 15 : 7) : band % 8) << band;
    }
    EXPECT_EQ(sf.l[21], 0);
}

struct LsfCase {
    const char* name;
    std::uint32_t scalefac_compress;
    bool intensity_channel;
    int bits_read;
    std::uint32_t preflag;
};

TEST(Layer3ScaleFactors, LsfLengthCodesOfLongBlocks) {
    // All-ones main data shows how many bits each code takes; every value
    // read is then 2^slen - 1.
    const LsfCase cases[] = {
        {"table 0, slen 4 3 2 1", 23 * 16 + 9, false, 6 * 4 + 5 * 3 + 5 * 2 + 5 * 1, 0},
        {"table 1", 400 + ((2 * 5 + 1) << 2) + 3, false, 6 * 2 + 5 * 1 + 7 * 3, 0},
        {"table 2 with preflag, no bits", 500, false, 0, 1},
        {"intensity table 4, slen 1 1 0 0", 400, true, 6 + 6, 0},
        {"intensity 510 codes nothing", 510, true, 0, 0},
        {"intensity 511 codes nothing", 511, true, 0, 0},
    };
    for (const LsfCase& c : cases) {
        BitWriter ones;
        ones.Put(0xFFFFFFFFu, 32);
        ones.Put(0xFFFFFFFFu, 32);
        ones.Put(0xFFFFFFFFu, 32);
        MainDataReservoir reservoir;
        ones.FillReservoir(reservoir);
        GranuleInfo g;
        g.scalefac_compress = c.scalefac_compress;
        ScaleFactors sf;
        for (int& v : sf.l)
            v = 99;
        ReadLsfScaleFactors(reservoir, g, c.intensity_channel, sf);
        EXPECT_EQ(reservoir.BitsRead(), c.bits_read) << c.name;
        EXPECT_EQ(g.preflag, c.preflag) << c.name;
        if (c.bits_read == 0) {
            for (int band = 0; band < 23; ++band)
                EXPECT_EQ(sf.l[band], 0) << c.name << " band " << band;
        }
    }
}

TEST(Layer3ScaleFactors, LsfMixedBlocksHaveSixLongBands) {
    // Table 0 mixed: 6 long values (4 bits), then short bands 3..11 by
    // window in groups of 9, 9 and 9 (3, 2 and 1 bits).
    GranuleInfo g;
    g.scalefac_compress = 23 * 16 + 9; // slen 4 3 2 1
    g.window_switching_flag = 1;
    g.block_type = 2;
    g.mixed_block_flag = 1;
    BitWriter bits;
    for (int i = 0; i < 6; ++i)
        bits.Put(static_cast<std::uint32_t>(10 + i), 4);
    const int widths[3] = {3, 2, 1};
    std::vector<int> short_values;
    for (int part = 0; part < 3; ++part)
        for (int i = 0; i < 9; ++i) {
            const int v = (i + part) % (1 << widths[part]);
            bits.Put(static_cast<std::uint32_t>(v), widths[part]);
            short_values.push_back(v);
        }
    MainDataReservoir reservoir;
    bits.FillReservoir(reservoir);
    ScaleFactors sf;
    ReadLsfScaleFactors(reservoir, g, false, sf);
    EXPECT_EQ(reservoir.BitsRead(), 24 + 27 + 18 + 9);
    for (int band = 0; band < 6; ++band)
        EXPECT_EQ(sf.l[band], 10 + band);
    for (int band = 3; band < 12; ++band)
        for (int window = 0; window < 3; ++window)
            EXPECT_EQ(sf.s[window][band], short_values[3 * (band - 3) + window])
                << "band " << band << " window " << window;
}

} // namespace
