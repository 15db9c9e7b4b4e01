#include "Layer3Huffman.h"

#include "Layer3Constants.h"
#include "MainDataReservoir.h"
#include "tables/HuffmanTables.h"
#include "tables/Layer3Bands.h"

#include <algorithm>

namespace audiocore {

namespace {

// Two values per big-values pair: 288 pairs fill the granule.
constexpr std::uint32_t kMaxBigValues = kGranuleLines / 2;
constexpr int kCount1TableA = 32;

// Finds the code word at the reader's position, which a Refill covers. This
// is the table-driven form of the tree walk: starting at the root pair, take
// one bit b and go to the pair byte b points to, until a leaf (first byte 0)
// gives x * 16 + y. Each lookup level resolves up to `width` bits of that
// walk at once; a leaf entry says how many of the peeked bits its code used.
// No code is longer than 19 bits, so one Refill serves the whole walk.
inline std::uint32_t LookUpCode(BitReader& bits, const HuffmanTable& table) {
    int width = table.root_bits;
    std::uint32_t entry = table.lookup[bits.PeekRefilled(width)];
    while (entry & kHuffmanLink) {
        bits.Skip(width);
        width = static_cast<int>((entry >> 16) & 31u);
        entry = table.lookup[(entry & 0xFFFFu) + bits.PeekRefilled(width)];
    }
    if ((entry & kHuffmanInvalid) == 0)
        bits.Skip(static_cast<int>((entry >> 8) & 31u));
    return entry;
}

// Most code words of music take a few bits, signs included, so every table
// also has a lookup by the next kWholeBits bits that gives the signed values
// and the bits they take, code and signs together, in one step. It holds
// every code whose code and signs fit those bits and that needs no escape
// bits (all count1 quadruples do); an entry of 0 sends the rest to
// LookUpCode. Entries of pair tables are
// total_bits | (x + 16) << 4 | (y + 16) << 10, of quadruple tables
// total_bits | (v + 1) << 4 | (w + 1) << 6 | (x + 1) << 8 | (y + 1) << 10.
constexpr int kWholeBits = 10;

class WholeCodeLookups {
public:
    WholeCodeLookups() {
        int used = 0;
        for (int t = 1; t < kTables; ++t) {
            const HuffmanTable& table = kHuffmanTables[t];
            slot_[t] = -1;
            if (table.tree_pairs == 0)
                continue;
            // Tables with the same codes, escaped or not alike, share one
            // lookup: the number of escape bits does not matter to it.
            for (int u = 1; u < t && slot_[t] < 0; ++u) {
                const HuffmanTable& other = kHuffmanTables[u];
                if (slot_[u] >= 0 && other.lookup == table.lookup &&
                    (other.linbits > 0) == (table.linbits > 0))
                    slot_[t] = slot_[u];
            }
            if (slot_[t] < 0) {
                slot_[t] = static_cast<std::int8_t>(used);
                for (std::uint32_t bits = 0; bits < (1u << kWholeBits); ++bits)
                    entries_[used][bits] = t < kCount1TableA ? ResolvePair(table, bits)
                                                             : ResolveQuadruple(table, bits);
                ++used;
            }
        }
    }
    // The lookup of a table that codes something, by the next kWholeBits
    // bits.
    const std::uint16_t* For(int table) const { return entries_[slot_[table]]; }

private:
    static constexpr int kTables = 34;

    // Reads the kWholeBits bits of one index from the most significant.
    struct Window {
        std::uint32_t bits;
        int used = 0;
        std::uint32_t Take(int width) {
            used += width;
            return (bits >> (kWholeBits - used)) & ((1u << width) - 1u);
        }
        // A value's sign bit, when it has one (1 = negative).
        int Signed(int magnitude) {
            return magnitude != 0 && Take(1) != 0 ? -magnitude : magnitude;
        }
    };

    // LookUpCode's walk within the window: the leaf, with the window past
    // its code, or 0 when the code does not end within the window.
    static std::uint32_t Walk(const HuffmanTable& table, Window& window) {
        int width = table.root_bits;
        std::uint32_t entry = table.lookup[window.Take(width)];
        while (entry & kHuffmanLink) {
            width = static_cast<int>((entry >> 16) & 31u);
            if (window.used + width > kWholeBits)
                return 0;
            entry = table.lookup[(entry & 0xFFFFu) + window.Take(width)];
        }
        if (entry & kHuffmanInvalid)
            return 0;
        // The leaf's length counts from the start of its own level.
        window.used -= width - static_cast<int>((entry >> 8) & 31u);
        return entry;
    }

    static std::uint16_t ResolvePair(const HuffmanTable& table, std::uint32_t bits) {
        Window window{bits};
        const std::uint32_t leaf = Walk(table, window);
        if (leaf == 0)
            return 0;
        const int x = static_cast<int>((leaf >> 4) & 15u);
        const int y = static_cast<int>(leaf & 15u);
        if (table.linbits > 0 && (x == 15 || y == 15))
            return 0;
        if (window.used + (x != 0) + (y != 0) > kWholeBits)
            return 0;
        const int signed_x = window.Signed(x);
        const int signed_y = window.Signed(y);
        return static_cast<std::uint16_t>(window.used | (signed_x + 16) << 4 |
                                          (signed_y + 16) << 10);
    }

    static std::uint16_t ResolveQuadruple(const HuffmanTable& table, std::uint32_t bits) {
        Window window{bits};
        const std::uint32_t leaf = Walk(table, window);
        if (leaf == 0)
            return 0;
        int magnitudes[4];
        int signs = 0;
        for (int k = 0; k < 4; ++k) {
            magnitudes[k] = static_cast<int>((leaf >> (3 - k)) & 1u);
            signs += magnitudes[k];
        }
        if (window.used + signs > kWholeBits)
            return 0;
        std::uint32_t entry = 0;
        for (int k = 0; k < 4; ++k)
            entry |= static_cast<std::uint32_t>(window.Signed(magnitudes[k]) + 1) << (4 + 2 * k);
        return static_cast<std::uint16_t>(entry | static_cast<std::uint32_t>(window.used));
    }

    // Sixteen distinct trees; the room for one per table costs only address
    // space.
    std::uint16_t entries_[kTables][1 << kWholeBits];
    std::int8_t slot_[kTables] = {};
};
const WholeCodeLookups kWholeCodes;

// A value followed by its sign bit when it is not 0 (1 = negative), within
// a Refill. Signs are random, so this takes the bit without a branch.
inline int Signed(BitReader& bits, int magnitude) {
    const int present = magnitude != 0;
    const int negative = static_cast<int>(bits.PeekRefilled(1)) & present;
    bits.Skip(present);
    return (magnitude ^ -negative) + negative;
}

// A value with its escape bits (a Refill first: they may be 13) and sign.
inline int Escaped(BitReader& bits, int magnitude, int linbits) {
    if (magnitude == 15 && linbits > 0)
        magnitude += static_cast<int>(bits.Read(linbits));
    bits.Refill();
    return Signed(bits, magnitude);
}

// One big-values pair of a table that codes something (tables 1..31 but
// 4 and 14): code word, x escape, x sign, y escape, y sign. False for bits
// that start no code; the values are then left as they were.
inline bool DecodeXY(BitReader& bits, const HuffmanTable& table, HuffmanValues& values) {
    bits.Refill();
    const std::uint32_t entry = LookUpCode(bits, table);
    if (entry & kHuffmanInvalid)
        return false;
    const int x = static_cast<int>((entry >> 4) & 15u);
    const int y = static_cast<int>(entry & 15u);
    if (table.linbits == 0) {
        // Code and both signs: at most 21 bits, within the Refill.
        values.x = Signed(bits, x);
        values.y = Signed(bits, y);
    } else {
        values.x = Escaped(bits, x, table.linbits);
        values.y = Escaped(bits, y, table.linbits);
    }
    return true;
}

// One count1 quadruple: v, w, x, y are the leaf's low four bits, each
// followed by a sign bit when it is not 0; 10 bits at most.
inline bool DecodeQuadruple(BitReader& bits, const HuffmanTable& table, HuffmanValues& values) {
    bits.Refill();
    const std::uint32_t entry = LookUpCode(bits, table);
    if (entry & kHuffmanInvalid)
        return false;
    values.v = Signed(bits, (entry >> 3) & 1);
    values.w = Signed(bits, (entry >> 2) & 1);
    values.x = Signed(bits, (entry >> 1) & 1);
    values.y = Signed(bits, entry & 1);
    return true;
}

// Big-values pairs from line `index` up to `limit` into the spectrum, with no
// look at the granule's end: past its bits the reader gives zeros, so a
// damaged region costs nothing but values that the caller drops. Returns
// the line after the last pair.
inline int DecodeRegion(BitReader& bits, int table_number, HuffmanValues& values, int index,
                        int limit, std::int32_t* spectrum) {
    const HuffmanTable& table = kHuffmanTables[table_number];
    const std::uint16_t* pairs = kWholeCodes.For(table_number);
    for (; index < limit; index += 2) {
        bits.Refill();
        const std::uint32_t entry = pairs[bits.PeekRefilled(kWholeBits)];
        if (entry != 0) {
            bits.Skip(static_cast<int>(entry & 15u));
            values.x = static_cast<int>((entry >> 4) & 63u) - 16;
            values.y = static_cast<int>(entry >> 10) - 16;
        } else {
            DecodeXY(bits, table, values);
        }
        spectrum[index] = values.x;
        spectrum[index + 1] = values.y;
    }
    return index;
}

// The same pairs again, only to find the first whose bits end past the
// granule's: the line where its values would have gone.
int FindOverrun(BitReader& bits, const HuffmanTable& table, HuffmanValues& values, int index,
                int limit) {
    for (; index < limit; index += 2) {
        DecodeXY(bits, table, values);
        if (bits.Position() > bits.Size())
            break;
    }
    return index;
}

} // namespace

void GranuleBits::Load(MainDataReservoir& reservoir, int count) {
    count = std::clamp(count, 0, kWords * 32);
    const int whole = count / 32;
    const int rest = count % 32;
    for (int i = 0; i < whole; ++i)
        words_[i] = reservoir.GetBits(32);
    loaded_words_ = whole;
    if (rest > 0)
        words_[loaded_words_++] = reservoir.GetBits(rest) << (32 - rest);
    size_ = count;
}

bool DecodePair(BitReader& bits, int table_number, HuffmanValues& values) {
    const HuffmanTable& table = kHuffmanTables[table_number];
    if (table.tree_pairs == 0) {
        values.x = values.y = 0;
        return true;
    }
    if (table_number >= kCount1TableA)
        return DecodeQuadruple(bits, table, values);
    return DecodeXY(bits, table, values);
}

int DecodeHuffman(MainDataReservoir& reservoir, GranuleBits& storage, const GranuleInfo& g,
                  int part2_start, const ScaleFactorBands& bands, std::int32_t* spectrum) {
    // The granule's Huffman bits are what its part2_3_length leaves after the
    // scale factors. When the scale factors already ran past the end, there
    // are none, and the reservoir goes back to the end for the next granule.
    const int end = part2_start + static_cast<int>(g.part2_3_length);
    const int available = end - reservoir.BitsRead();
    if (available >= 0) {
        storage.Load(reservoir, available);
    } else {
        storage.Load(reservoir, 0);
        reservoir.RewindBits(-available);
    }
    BitReader bits = storage.Reader();

    // Big values, clamped to the granule, in up to three regions with their
    // own tables; region boundaries beyond the band table end the granule.
    const int big_end = static_cast<int>(2 * std::min(g.big_values, kMaxBigValues));
    int region_end[3];
    if (g.ShortBlocks()) {
        // The first region spans three short bands of every window: 36
        // lines at all rates but 8 kHz, whose short bands are twice as wide.
        region_end[0] = kShortWindows * bands.s[3];
        region_end[1] = kGranuleLines;
    } else {
        const auto boundary = [&](std::uint32_t index) {
            return static_cast<int>(bands.l[std::min<std::uint32_t>(index, kLongBands)]);
        };
        region_end[0] = boundary(g.region0_count + 1);
        region_end[1] = boundary(g.region0_count + g.region1_count + 2);
    }
    region_end[2] = kGranuleLines;

    // Values of a code that cannot be decoded repeat the previous pair's;
    // before the granule's first pair they are zeros.
    HuffmanValues values;
    int index = 0;
    bool overran = false;
    for (int region = 0; region < 3 && !overran; ++region) {
        const HuffmanTable& table = kHuffmanTables[g.table_select[region] & 31u];
        const int limit = std::min(big_end, region_end[region]);
        if (table.tree_pairs == 0) {
            // Tables 0, 4 and 14 code only zeros and take no bits.
            for (; index < limit; ++index)
                spectrum[index] = 0;
            values = HuffmanValues{};
            continue;
        }
        const BitReader region_bits = bits;
        const HuffmanValues region_values = values;
        const int region_index = index;
        index = DecodeRegion(bits, static_cast<int>(g.table_select[region] & 31u), values, index,
                             limit, spectrum);
        if (bits.Position() > bits.Size()) {
            // The codes ran past the granule's bits: the stream is damaged
            // here, and the values from the pair that crossed the end on are
            // dropped. Only then is the region decoded again pair by pair,
            // to find that pair.
            bits = region_bits;
            values = region_values;
            index = FindOverrun(bits, table, values, region_index, limit);
            overran = true;
        }
    }

    // Count1 quadruples until the granule's bits are used up. A quadruple
    // whose bits end past the granule belongs to no value and is dropped.
    if (!overran) {
        const HuffmanTable& table =
            kHuffmanTables[kCount1TableA + static_cast<int>(g.count1table_select & 1u)];
        const std::uint16_t* quadruples =
            kWholeCodes.For(kCount1TableA + static_cast<int>(g.count1table_select & 1u));
        while (index < kGranuleLines && bits.Position() < bits.Size()) {
            bits.Refill();
            const std::uint32_t entry = quadruples[bits.PeekRefilled(kWholeBits)];
            if (entry != 0) {
                bits.Skip(static_cast<int>(entry & 15u));
                values.v = static_cast<int>((entry >> 4) & 3u) - 1;
                values.w = static_cast<int>((entry >> 6) & 3u) - 1;
                values.x = static_cast<int>((entry >> 8) & 3u) - 1;
                values.y = static_cast<int>((entry >> 10) & 3u) - 1;
            } else {
                DecodeQuadruple(bits, table, values);
            }
            spectrum[index] = values.v;
            spectrum[index + 1] = values.w;
            spectrum[index + 2] = values.x;
            spectrum[index + 3] = values.y;
            index += 4;
        }
        if (bits.Position() > bits.Size())
            index -= 4;
    }

    const int nonzero = std::min(index, kGranuleLines);
    std::fill(spectrum + nonzero, spectrum + kGranuleLines, 0);
    return nonzero;
}

} // namespace audiocore
