#pragma once

// Builds MPEG audio streams byte by byte for tests: headers from their fields,
// bodies of a chosen size filled with a marker that never forms a sync word.

#include <cstdint>
#include <vector>

namespace testsupport {

struct HeaderFields {
    int version = 1; // 1 MPEG-1, 0 LSF
    int layer = 3;   // 1..3, 0 for the reserved code
    int protection_bit = 1;
    int bitrate_index = 9;
    int sample_frequency = 0;
    int padding = 0;
    int mode = 0;
    int mode_extension = 0;
    int copyright = 0;
};

inline std::uint32_t MakeHeader(const HeaderFields& f) {
    std::uint32_t layer_code = static_cast<std::uint32_t>((4 - f.layer) & 3);
    return 0xFFF00000u | (static_cast<std::uint32_t>(f.version) << 19) | (layer_code << 17) |
           (static_cast<std::uint32_t>(f.protection_bit) << 16) |
           (static_cast<std::uint32_t>(f.bitrate_index) << 12) |
           (static_cast<std::uint32_t>(f.sample_frequency) << 10) |
           (static_cast<std::uint32_t>(f.padding) << 9) |
           (static_cast<std::uint32_t>(f.mode) << 6) |
           (static_cast<std::uint32_t>(f.mode_extension) << 4) |
           (static_cast<std::uint32_t>(f.copyright) << 3);
}

inline void AppendHeader(std::vector<std::uint8_t>& out, std::uint32_t header) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(header >> shift));
}

// A frame of `size` bytes in all: the header, then `size - 4` bytes of
// `marker` (kept below 0x80 so no false sync appears in the body).
inline void AppendFrame(std::vector<std::uint8_t>& out, const HeaderFields& f, int size,
                        std::uint8_t marker) {
    AppendHeader(out, MakeHeader(f));
    out.insert(out.end(), static_cast<std::size_t>(size - 4),
               static_cast<std::uint8_t>(marker & 0x7F));
}

} // namespace testsupport
