#include "EncoderHeader.h"

#include "FrameHeader.h"
#include "MpegFileStream.h"

namespace audiocore {

namespace {

constexpr int kVbriOffset = 32;
constexpr std::uint32_t kXingFramesFlag = 1;

std::uint32_t Be32(const MpegFileStream& stream, int at) {
    return (std::uint32_t{stream.BodyByte(at)} << 24) |
           (std::uint32_t{stream.BodyByte(at + 1)} << 16) |
           (std::uint32_t{stream.BodyByte(at + 2)} << 8) | stream.BodyByte(at + 3);
}

bool TagAt(const MpegFileStream& stream, int at, const char* tag) {
    for (int i = 0; i < 4; ++i)
        if (stream.BodyByte(at + i) != static_cast<std::uint8_t>(tag[i]))
            return false;
    return true;
}

// A count no file of this size could hold is no count.
std::int64_t Plausible(std::uint32_t frames, const MpegFileStream& stream) {
    return frames > 0 && frames <= stream.FileBytes() ? static_cast<std::int64_t>(frames) : -1;
}

} // namespace

bool ReadEncoderHeader(const MpegFileStream& stream, const FrameHeader& header,
                       EncoderHeader& out) {
    out = EncoderHeader{};
    if (header.layer != 3)
        return false;
    // The block follows the side information. Encoders differ on whether
    // a CRC before it moves it: both places are looked at.
    const int after_side = header.body_size - header.main_data_slots;
    for (int xing : {after_side, after_side - (header.protection_bit == 0 ? 2 : 0)}) {
        if (TagAt(stream, xing, "Xing") || TagAt(stream, xing, "Info")) {
            if (Be32(stream, xing + 4) & kXingFramesFlag)
                out.frames = Plausible(Be32(stream, xing + 8), stream);
            return true;
        }
    }
    if (TagAt(stream, kVbriOffset, "VBRI")) {
        // Tag, version, delay and quality, the stream's bytes, then frames.
        out.frames = Plausible(Be32(stream, kVbriOffset + 14), stream);
        return true;
    }
    return false;
}

} // namespace audiocore
