#pragma once

#include "ChannelChoice.h"

namespace audiocore {

class FrameCrc;
class FrameHeader;
class MpegFileStream;
class PcmSink;
class PolyphaseSynthesizer;

// Decodes the Layer I or II frame that ReadNext just read. False when the frame is rejected
// (CRC mismatch): it then produces nothing and no EndFrame.
bool DecodeLayer12Frame(MpegFileStream& stream, FrameHeader& header, FrameCrc* crc,
                        ChannelChoice choice, PolyphaseSynthesizer& synth0,
                        PolyphaseSynthesizer* synth1, PcmSink& sink);

} // namespace audiocore
