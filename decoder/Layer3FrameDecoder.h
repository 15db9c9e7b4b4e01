#pragma once

#include "ChannelChoice.h"
#include "Layer3SideInfo.h"
#include "MainDataReservoir.h"

#include <cstdint>
#include <memory>

namespace audiocore {

class FrameHeader;
class MpegFileStream;
class PcmSink;
class PolyphaseSynthesizer;

// Decodes one Layer III frame at a time into PCM: side information, the
// main-data reservoir, scale factors, Huffman decoding, requantisation,
// stereo, reordering, alias reduction, the hybrid filter bank and the
// polyphase synthesis of every output channel. All working arrays are
// members, so decoding allocates nothing.
class Layer3FrameDecoder {
public:
    Layer3FrameDecoder(MpegFileStream& stream, FrameHeader& header, PolyphaseSynthesizer& synth0,
                       PolyphaseSynthesizer* synth1, PcmSink& sink, ChannelChoice choice);
    ~Layer3FrameDecoder();
    Layer3FrameDecoder(const Layer3FrameDecoder&) = delete;
    Layer3FrameDecoder& operator=(const Layer3FrameDecoder&) = delete;

    // After a seek the old main data and overlap memory belong elsewhere in
    // the stream, so both start empty.
    void ResetForSeek();
    // Decodes the frame whose header and body FrameHeader::ReadNext just
    // read. A frame that cannot be decoded produces no output.
    void DecodeFrame();

private:
    MpegFileStream& stream_;
    FrameHeader& header_;
    PolyphaseSynthesizer& synth0_;
    PolyphaseSynthesizer* synth1_;
    PcmSink& sink_;
    ChannelChoice choice_;

    std::unique_ptr<MainDataReservoir> reservoir_;
    SideInfo side_;
    ScaleFactors scalefactors_[2];
    int frame_start_ = 0;
};

} // namespace audiocore
