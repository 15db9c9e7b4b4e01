#pragma once

// Builds Layer I and II frames bit by bit for tests, and opens a stream on
// them positioned at the first frame's body.

#include "FrameHeader.h"
#include "MpegFileStream.h"
#include "SyntheticFrames.h"
#include "TestSupport.h"

#include <cstdint>
#include <vector>

namespace testsupport {

// Most significant bit first, as the frame body is read.
class BitWriter {
public:
    BitWriter& Put(std::uint32_t value, int bits) {
        for (int bit = bits - 1; bit >= 0; --bit) {
            if (used_ % 8 == 0)
                bytes_.push_back(0);
            if ((value >> bit) & 1u)
                bytes_.back() |= static_cast<std::uint8_t>(0x80u >> (used_ % 8));
            ++used_;
        }
        return *this;
    }
    BitWriter& Repeat(std::uint32_t value, int bits, int times) {
        for (int i = 0; i < times; ++i)
            Put(value, bits);
        return *this;
    }
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
    int used_ = 0;
};

// A frame of `size` bytes: the header, the body's bits, zeros after them.
inline void AppendBitFrame(std::vector<std::uint8_t>& out, const HeaderFields& fields, int size,
                           const BitWriter& body) {
    AppendHeader(out, MakeHeader(fields));
    std::vector<std::uint8_t> bytes = body.Bytes();
    bytes.resize(static_cast<std::size_t>(size - 4), 0);
    out.insert(out.end(), bytes.begin(), bytes.end());
}

// A stream opened on frames written to a scratch file, with the first frame
// read and its body ready for the band objects.
struct FrameFile {
    explicit FrameFile(const std::vector<std::uint8_t>& bytes) {
        WriteFile(dir.File("frames.mp2"), bytes);
        opened = stream.Open(dir.File("frames.mp2")) && header.ReadNext(stream, crc);
    }
    TempDir dir;
    audiocore::MpegFileStream stream;
    audiocore::FrameHeader header;
    audiocore::FrameCrc* crc = nullptr;
    bool opened = false;
};

} // namespace testsupport
