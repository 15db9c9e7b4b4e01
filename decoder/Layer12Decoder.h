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
//
// With FrameMix::MeanToMono, `synth1` is only a place for the second channel's
// subband samples: their mean with the first channel's is synthesised by
// `synth0` alone. With MonoToBoth the one channel goes through both.
bool DecodeLayer12Frame(MpegFileStream& stream, FrameHeader& header, FrameCrc* crc,
                        ChannelChoice choice, PolyphaseSynthesizer& synth0,
                        PolyphaseSynthesizer* synth1, PcmSink& sink,
                        FrameMix mix = FrameMix::AsCoded);

} // namespace audiocore
