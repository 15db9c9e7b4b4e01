#pragma once

// Builds Layer I and II frames bit by bit for tests, and opens a stream on
// them positioned at the first frame's body.

#include "BitWriter.h"
#include "FrameHeader.h"
#include "MpegFileStream.h"
#include "SyntheticFrames.h"
#include "TestSupport.h"

#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

namespace testsupport {

// Fields in the order given, each as {value, width}.
inline void PutFields(BitWriter& out, std::initializer_list<std::pair<std::uint32_t, int>> fields) {
    for (const auto& [value, bits] : fields)
        out.Put(value, bits);
}

inline void PutRepeated(BitWriter& out, std::uint32_t value, int bits, int times) {
    for (int i = 0; i < times; ++i)
        out.Put(value, bits);
}

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
