#pragma once

// Layer III frames made up in tests: a header and a body whose side
// information and main data the test writes bit by bit.

#include "BitWriter.h"

#include <cstdint>
#include <vector>

namespace testsupport {

struct Layer3Format {
    bool mpeg1 = true; // else LSF
    bool single_channel = false;
    int mode_extension = 0; // joint stereo when not single channel and > 0

    int Channels() const { return single_channel ? 1 : 2; }
    // MPEG-1 128 kbit/s at 44.1 kHz, or LSF 64 kbit/s at 22.05 kHz; no
    // padding, no CRC.
    int FrameBytes() const { return mpeg1 ? 417 : 208; }
    int SideInfoBytes() const {
        return mpeg1 ? (single_channel ? 17 : 32) : (single_channel ? 9 : 17);
    }
    int MainDataBytes() const { return FrameBytes() - 4 - SideInfoBytes(); }

    std::vector<std::uint8_t> Header() const {
        const std::uint8_t mode = single_channel ? 3 : (mode_extension > 0 ? 1 : 0);
        return {0xFF, static_cast<std::uint8_t>(mpeg1 ? 0xFB : 0xF3),
                static_cast<std::uint8_t>(mpeg1 ? 0x90 : 0x80),
                static_cast<std::uint8_t>(mode << 6 | (mode_extension & 3) << 4)};
    }
};

// One frame: the header, then `body` (side information and main data)
// cut or padded with zeros to the frame's size.
inline void AppendFrame(std::vector<std::uint8_t>& file, const Layer3Format& format,
                        const BitWriter& body) {
    const std::vector<std::uint8_t> header = format.Header();
    file.insert(file.end(), header.begin(), header.end());
    std::vector<std::uint8_t> bytes = body.Bytes();
    bytes.resize(static_cast<std::size_t>(format.FrameBytes() - 4), 0);
    file.insert(file.end(), bytes.begin(), bytes.end());
}

// Side information of a frame whose granules all code silence with
// part2_3_length 0, with the given main_data_begin.
inline BitWriter SilentSideInfo(const Layer3Format& format, int main_data_begin) {
    BitWriter bits;
    bits.Put(static_cast<std::uint32_t>(main_data_begin), format.mpeg1 ? 9 : 8);
    const int side_bits = format.SideInfoBytes() * 8;
    while (bits.BitCount() < side_bits)
        bits.PutBit(0);
    return bits;
}

} // namespace testsupport
