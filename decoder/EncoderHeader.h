#pragma once

#include <cstdint>
#include <optional>

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
    // The stream's bytes, from the header frame on; -1 when left out.
    std::int64_t bytes = -1;
    // The encoder's own extension of the block states how many samples it
    // put before the music (its delay) and after it (padding to a whole
    // frame), so that a decoder can give back exactly the source's samples.
    // -1 when the file does not say, or its tag fails its check.
    int delay = -1;
    int padding = -1;
    // The same extension's loudness fields, under the same check: the
    // peak as a fraction of full scale and the track ("radio") and album
    // ("audiophile") gains in dB, in steps of 0.1 dB; empty when not set.
    std::optional<float> peak;
    std::optional<float> track_gain_db;
    std::optional<float> album_gain_db;

    bool KnowsGap() const { return delay >= 0 && padding >= 0; }
};

// True when the frame read last holds an encoder header; `out` then says
// what it tells.
bool ReadEncoderHeader(const MpegFileStream& stream, const FrameHeader& header, EncoderHeader& out);

// The 16-bit check of the encoder's extension over the frame's first bytes
// (reflected polynomial 0xA001, starting at 0).
std::uint16_t EncoderTagCrc(const std::uint8_t* bytes, int count);

} // namespace audiocore
