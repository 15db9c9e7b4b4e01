#include "Layer3FrameDecoder.h"

#include "FrameHeader.h"
#include "MpegFileStream.h"
#include "PcmSink.h"
#include "PolyphaseSynthesizer.h"

namespace audiocore {

Layer3FrameDecoder::Layer3FrameDecoder(MpegFileStream& stream, FrameHeader& header,
                                       PolyphaseSynthesizer& synth0, PolyphaseSynthesizer* synth1,
                                       PcmSink& sink, ChannelChoice choice)
    : stream_(stream), header_(header), synth0_(synth0), synth1_(synth1), sink_(sink),
      choice_(choice), reservoir_(std::make_unique<MainDataReservoir>()) {}

Layer3FrameDecoder::~Layer3FrameDecoder() = default;

void Layer3FrameDecoder::ResetForSeek() {
    frame_start_ = 0;
    reservoir_ = std::make_unique<MainDataReservoir>();
}

// Not yet decoding: the granule pipeline lands in the next commits.
void Layer3FrameDecoder::DecodeFrame() {}

} // namespace audiocore
