#pragma once

// Decodes a Layer III file the way a decode run does: frame by frame through
// FrameHeader::ReadNext and one Layer3FrameDecoder, into a RecordingSink.

#include "FrameHeader.h"
#include "Layer3FrameDecoder.h"
#include "MpegFileStream.h"
#include "PolyphaseSynthesizer.h"
#include "TestSupport.h"

#include <memory>
#include <string>

namespace testsupport {

struct Layer3Decoding {
    int channels = 0; // channels of the stream
    int frames = 0;   // Layer III frames handed to the decoder
    std::unique_ptr<RecordingSink> sink;
};

inline Layer3Decoding
DecodeLayer3File(const std::string& path,
                 audiocore::ChannelChoice choice = audiocore::ChannelChoice::Both) {
    using namespace audiocore;
    Layer3Decoding result;
    MpegFileStream stream;
    if (!stream.Open(path))
        return result;
    FrameHeader header;
    FrameCrc* crc = nullptr;
    if (!header.ReadNext(stream, crc))
        return result;
    result.channels = header.Channels();
    const bool both = result.channels == 2 && choice == ChannelChoice::Both;
    result.sink = std::make_unique<RecordingSink>(both ? 2 : 1);
    PolyphaseSynthesizer synth0(0, 32768.0f);
    PolyphaseSynthesizer synth1(1, 32768.0f);
    Layer3FrameDecoder decoder(stream, header, synth0, both ? &synth1 : nullptr, *result.sink,
                               choice, result.channels);
    do {
        if (header.layer == 3) {
            decoder.DecodeFrame();
            ++result.frames;
        }
    } while (header.ReadNext(stream, crc));
    return result;
}

} // namespace testsupport
