// Huffman decoding of the quantised spectrum: the table-driven decoder
// against the published trees, escapes and signs, and the granule's region
// and count1 bookkeeping.

#include "BitWriter.h"
#include "Layer3Huffman.h"
#include "MainDataReservoir.h"
#include "tables/HuffmanTables.h"
#include "tables/Layer3Bands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using namespace audiocore;
using testsupport::BitWriter;

// A long-block granule of `pairs` big-value pairs, all regions coded with
// one table.
GranuleInfo OneTableGranule(int pairs, int table) {
    GranuleInfo g;
    g.big_values = static_cast<std::uint32_t>(pairs);
    g.table_select[0] = g.table_select[1] = g.table_select[2] = static_cast<std::uint32_t>(table);
    g.region0_count = 15;
    g.region1_count = 7;
    return g;
}

struct Code {
    std::string bits;
    int x;
    int y;
};

// The plain meaning of a table: every code word with its leaf, found by
// walking the tree one bit at a time from the root pair.
void Walk(const std::uint8_t* tree, int pos, const std::string& prefix, std::vector<Code>& out) {
    if (tree[2 * pos] == 0) {
        out.push_back({prefix, tree[2 * pos + 1] >> 4, tree[2 * pos + 1] & 15});
        return;
    }
    for (int b = 0; b < 2; ++b) {
        int p = pos;
        while (tree[2 * p + b] >= 250)
            p += tree[2 * p + b];
        Walk(tree, p + tree[2 * p + b], prefix + char('0' + b), out);
    }
}

std::vector<Code> CodesOf(int table) {
    std::vector<Code> codes;
    if (kHuffmanTables[table].tree_pairs > 0)
        Walk(kHuffmanTables[table].tree, 0, "", codes);
    return codes;
}

// Decodes one code word from `bits` (with zeros after them).
HuffmanValues DecodeBits(const BitWriter& bits, int table, int* used = nullptr,
                         bool* valid = nullptr) {
    MainDataReservoir reservoir;
    bits.FillReservoir(reservoir);
    GranuleBits granule;
    granule.Load(reservoir, bits.BitCount() + 32);
    BitReader reader = granule.Reader();
    HuffmanValues values;
    const bool ok = DecodePair(reader, table, values);
    if (used)
        *used = reader.Position();
    if (valid)
        *valid = ok;
    return values;
}

TEST(Layer3Huffman, EveryCodeOfEveryTableDecodesAsTheTreeSays) {
    for (int table = 1; table < 34; ++table) {
        const HuffmanTable& t = kHuffmanTables[table];
        const bool quad = table >= 32;
        for (const Code& code : CodesOf(table)) {
            // The code, then escape and sign bits: a linbits escape of all
            // ones (largest) and negative signs everywhere.
            BitWriter bits;
            bits.Put(code.bits);
            int expect_x = code.x;
            int expect_y = code.y;
            int expect_v = 0;
            int expect_w = 0;
            if (quad) {
                expect_v = -((code.y >> 3) & 1);
                expect_w = -((code.y >> 2) & 1);
                expect_x = -((code.y >> 1) & 1);
                expect_y = -(code.y & 1);
                for (int v : {expect_v, expect_w, expect_x, expect_y})
                    if (v != 0)
                        bits.PutBit(1);
            } else {
                auto put_value = [&](int& value) {
                    if (t.linbits > 0 && value == 15) {
                        bits.Put((1u << t.linbits) - 1, t.linbits);
                        value += (1 << t.linbits) - 1;
                    }
                    if (value != 0) {
                        bits.PutBit(1);
                        value = -value;
                    }
                };
                put_value(expect_x);
                put_value(expect_y);
            }
            int used = 0;
            bool valid = false;
            const HuffmanValues got = DecodeBits(bits, table, &used, &valid);
            SCOPED_TRACE("table " + std::to_string(table) + " code " + code.bits);
            ASSERT_TRUE(valid);
            EXPECT_EQ(used, bits.BitCount());
            EXPECT_EQ(got.x, expect_x);
            EXPECT_EQ(got.y, expect_y);
            if (quad) {
                EXPECT_EQ(got.v, expect_v);
                EXPECT_EQ(got.w, expect_w);
            }
        }
    }
}

struct PairCase {
    int table;
    const char* bits;
    int x, y, v, w;
    int used;
};

TEST(Layer3Huffman, KnownCodesWithEscapesAndSigns) {
    const PairCase cases[] = {
        // Table 1: x sign comes before y sign.
        {1, "1", 0, 0, 0, 0, 1},
        {1, "011", -1, 0, 0, 0, 3},
        {1, "0010", 0, 1, 0, 0, 4},
        {1, "00010", -1, 1, 0, 0, 5},
        // Quadruple table B: 1111 is all zeros, 0000 all ones with four signs.
        {33, "1111", 0, 0, 0, 0, 4},
        {33, "00000101", 1, -1, 1, -1, 8},
        // Empty tables read nothing.
        {0, "1111", 0, 0, 0, 0, 0},
        {4, "1111", 0, 0, 0, 0, 0},
        {14, "1111", 0, 0, 0, 0, 0},
    };
    for (const PairCase& c : cases) {
        BitWriter bits;
        bits.Put(c.bits);
        int used = 0;
        const HuffmanValues got = DecodeBits(bits, c.table, &used);
        SCOPED_TRACE(std::string("table ") + std::to_string(c.table) + " bits " + c.bits);
        EXPECT_EQ(got.x, c.x);
        EXPECT_EQ(got.y, c.y);
        if (c.table >= 32) {
            EXPECT_EQ(got.v, c.v);
            EXPECT_EQ(got.w, c.w);
        }
        EXPECT_EQ(used, c.used);
    }
}

// A granule whose main data is `bits`, decoded from the reservoir's start.
struct GranuleResult {
    std::vector<std::int32_t> spectrum;
    int nonzero;
    int bits_read;
};

GranuleResult DecodeGranule(const BitWriter& bits, const GranuleInfo& g) {
    MainDataReservoir reservoir;
    bits.FillReservoir(reservoir, 600);
    GranuleBits granule_bits;
    GranuleResult result;
    result.spectrum.assign(580, 99);
    result.nonzero =
        DecodeHuffman(reservoir, granule_bits, g, 0, kScaleFactorBands[3], result.spectrum.data());
    result.bits_read = reservoir.BitsRead();
    return result;
}

TEST(Layer3Huffman, Count1QuadrupleEndingPastTheGranuleIsDropped) {
    // big_values 0, quadruple table B: code 0000 is four ones, each with a
    // sign bit, so each quadruple here takes 8 bits.
    GranuleInfo g;
    g.count1table_select = 1;
    BitWriter bits;
    bits.Put("0000"
             "0000"); // +1 +1 +1 +1
    bits.Put("0000"
             "1111"); // -1 -1 -1 -1

    // Ending exactly at the granule's end: used.
    g.part2_3_length = 16;
    GranuleResult r = DecodeGranule(bits, g);
    EXPECT_EQ(r.nonzero, 8);
    EXPECT_EQ(r.spectrum[0], 1);
    EXPECT_EQ(r.spectrum[7], -1);
    EXPECT_EQ(r.bits_read, 16);

    // Ending one bit late: dropped, and the reservoir goes back to the end.
    g.part2_3_length = 15;
    r = DecodeGranule(bits, g);
    EXPECT_EQ(r.nonzero, 4);
    EXPECT_EQ(r.bits_read, 15);
    for (int i = 4; i < 576; ++i)
        ASSERT_EQ(r.spectrum[i], 0) << i;
}

TEST(Layer3Huffman, OddBigValuesLetTheLastQuadrupleFillTheGranule) {
    // 287 pairs of table 1 code "1" (zeros), then quadruples from 574.
    GranuleInfo g = OneTableGranule(287, 1);
    BitWriter bits;
    for (int i = 0; i < 287; ++i)
        bits.Put("1");
    bits.Put("0000"); // table B: four ones, signs +
    bits.Put("0000");
    g.count1table_select = 1;
    g.part2_3_length = static_cast<std::uint32_t>(bits.BitCount());
    const GranuleResult r = DecodeGranule(bits, g);
    EXPECT_EQ(r.nonzero, 576);
    EXPECT_EQ(r.spectrum[574], 1);
    EXPECT_EQ(r.spectrum[575], 1);
    EXPECT_EQ(r.bits_read, bits.BitCount());
}

TEST(Layer3Huffman, EveryPairCodeWithEverySignDecodesInAGranuleAsTheTreeSays) {
    // Every code of every pair table in a granule's big values, with its
    // escape and signs, at every alignment the codes before it give: the
    // granule decoder's own shortcuts must agree with the tree.
    for (int table = 1; table < 32; ++table) {
        const HuffmanTable& t = kHuffmanTables[table];
        const std::vector<Code> codes = CodesOf(table);
        // Four passes give every code every pair of signs.
        for (int pass = 0; pass < 4; ++pass) {
            for (std::size_t first = 0; first < codes.size(); first += 64) {
                const std::size_t count = std::min<std::size_t>(64, codes.size() - first);
                BitWriter bits;
                std::vector<int> expected;
                for (std::size_t i = first; i < first + count; ++i) {
                    const int pattern = static_cast<int>(i) + pass;
                    int values[2] = {codes[i].x, codes[i].y};
                    bits.Put(codes[i].bits);
                    for (int k = 0; k < 2; ++k) {
                        int& value = values[k];
                        if (t.linbits > 0 && value == 15) {
                            const int escape = (7 * pattern + k) % (1 << t.linbits);
                            bits.Put(static_cast<std::uint32_t>(escape), t.linbits);
                            value += escape;
                        }
                        if (value != 0) {
                            const bool negative = ((pattern >> k) & 1) != 0;
                            bits.PutBit(negative ? 1 : 0);
                            value = negative ? -value : value;
                        }
                        expected.push_back(value);
                    }
                }
                GranuleInfo g = OneTableGranule(count, table);
                g.part2_3_length = static_cast<std::uint32_t>(bits.BitCount());
                const GranuleResult r = DecodeGranule(bits, g);
                SCOPED_TRACE("table " + std::to_string(table) + " pass " + std::to_string(pass) +
                             " codes from " + std::to_string(first));
                ASSERT_EQ(r.nonzero, static_cast<int>(expected.size()));
                EXPECT_EQ(r.bits_read, bits.BitCount());
                for (std::size_t i = 0; i < expected.size(); ++i)
                    ASSERT_EQ(r.spectrum[i], expected[i]) << "line " << i;
            }
        }
    }
}

TEST(Layer3Huffman, EveryQuadrupleCodeWithEverySignDecodesInAGranuleAsTheTreeSays) {
    // The count1 codes of both tables one after another, each with a
    // different pattern of signs in each of sixteen passes.
    for (int table = 32; table < 34; ++table) {
        const std::vector<Code> codes = CodesOf(table);
        for (int pass = 0; pass < 16; ++pass) {
            BitWriter bits;
            std::vector<int> expected;
            for (std::size_t i = 0; i < codes.size(); ++i) {
                const int pattern = static_cast<int>(i) + pass;
                bits.Put(codes[i].bits);
                for (int k = 0; k < 4; ++k) {
                    int value = (codes[i].y >> (3 - k)) & 1;
                    if (value != 0) {
                        const bool negative = ((pattern >> k) & 1) != 0;
                        bits.PutBit(negative ? 1 : 0);
                        value = negative ? -1 : 1;
                    }
                    expected.push_back(value);
                }
            }
            GranuleInfo g;
            g.count1table_select = static_cast<std::uint32_t>(table - 32);
            g.part2_3_length = static_cast<std::uint32_t>(bits.BitCount());
            const GranuleResult r = DecodeGranule(bits, g);
            SCOPED_TRACE("table " + std::to_string(table) + " pass " + std::to_string(pass));
            ASSERT_EQ(r.nonzero, static_cast<int>(expected.size()));
            EXPECT_EQ(r.bits_read, bits.BitCount());
            for (std::size_t i = 0; i < expected.size(); ++i)
                ASSERT_EQ(r.spectrum[i], expected[i]) << "line " << i;
        }
    }
}

TEST(Layer3Huffman, PairEndingPastTheGranuleIsDroppedWithAllAfterIt) {
    // Table 1, code 011 with its sign: x = -1, y = 0, three bits a pair.
    // The granule ends one bit before the fifth pair does.
    GranuleInfo g = OneTableGranule(8, 1);
    BitWriter bits;
    for (int i = 0; i < 8; ++i)
        bits.Put("011");
    g.part2_3_length = 14;
    const GranuleResult r = DecodeGranule(bits, g);
    EXPECT_EQ(r.nonzero, 8);
    for (int i = 0; i < 8; i += 2) {
        EXPECT_EQ(r.spectrum[i], -1) << i;
        EXPECT_EQ(r.spectrum[i + 1], 0) << i + 1;
    }
    for (int i = 8; i < 576; ++i)
        ASSERT_EQ(r.spectrum[i], 0) << i;
    EXPECT_EQ(r.bits_read, 14);
}

TEST(Layer3Huffman, OutOfRangeSideInformationStaysInsideTheGranule) {
    // big_values 511 and region counts beyond the band table, with a
    // part2_3_length that ends long before: nothing is read past the
    // granule, values past its end are 0 and the reservoir ends at its end.
    GranuleInfo g;
    g.big_values = 511;
    g.region0_count = 15;
    g.region1_count = 7;
    g.table_select[0] = 1;
    g.table_select[1] = 24;
    g.table_select[2] = 31;
    BitWriter bits;
    for (int i = 0; i < 40; ++i)
        bits.Put("00011"); // table 1: (-1, -1)
    g.part2_3_length = 100;
    const GranuleResult r = DecodeGranule(bits, g);
    EXPECT_EQ(r.nonzero, 40);
    EXPECT_EQ(r.spectrum[0], -1);
    EXPECT_EQ(r.spectrum[39], -1);
    EXPECT_EQ(r.spectrum[40], 0);
    EXPECT_EQ(r.bits_read, 100);
}

} // namespace
