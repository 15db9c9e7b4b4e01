#pragma once

#include <cstdint>

namespace audiocore {

class FrameHeader;
class MpegFileStream;

// What an encoder writes into the first frame of a file in place of audio:
// a "Xing" or "Info" block after the side information, or a "VBRI" block
// 32 bytes into the body. Decoded as audio, that frame would be a frame of
// noise or silence that the encoder never meant to be heard.
struct EncoderHeader {
    // Audio frames after the header frame; -1 when the header leaves it out.
    std::int64_t frames = -1;
};

// True when the frame read last holds an encoder header; `out` then says
// what it tells.
bool ReadEncoderHeader(const MpegFileStream& stream, const FrameHeader& header, EncoderHeader& out);

} // namespace audiocore
