#pragma once

#include "ChannelChoice.h"
#include "Layer3Constants.h"
#include "Layer3Huffman.h"
#include "Layer3SideInfo.h"
#include "Layer3Stereo.h"
#include "MainDataReservoir.h"

#include <cstdint>
#include <memory>

namespace audiocore {

class FrameHeader;
class MpegFileStream;
class PcmSink;
class PolyphaseSynthesizer;
struct ScaleFactorBands;

// Decodes one Layer III frame at a time into PCM: side information, the
// main-data reservoir, scale factors, Huffman decoding, requantisation,
// stereo, reordering, alias reduction, the hybrid filter bank and the
// polyphase synthesis of every output channel. All working arrays are
// members, so decoding allocates nothing.
class Layer3FrameDecoder {
public:
    // `output_channels` is the stream's, fixed by its first frame; frames of
    // the other channel mode are mapped onto it.
    Layer3FrameDecoder(MpegFileStream& stream, FrameHeader& header, PolyphaseSynthesizer& synth0,
                       PolyphaseSynthesizer* synth1, PcmSink& sink, ChannelChoice choice,
                       int output_channels);
    ~Layer3FrameDecoder();
    Layer3FrameDecoder(const Layer3FrameDecoder&) = delete;
    Layer3FrameDecoder& operator=(const Layer3FrameDecoder&) = delete;

    // After a seek the old main data and overlap memory belong elsewhere in
    // the stream, so both start empty.
    void ResetForSeek();
    // Decodes the frame whose header and body FrameHeader::ReadNext just
    // read. A frame that cannot be decoded produces no output.
    void DecodeFrame();
    // Only keeps the frame's main data for the frames after it: for the
    // frames a seek warms up on that neither the overlap nor the synthesis
    // history of its target depends on.
    void KeepMainData();

private:
    // Moves the frame's main data into the reservoir and positions the
    // reservoir at the frame's first granule. False when the frame points
    // back to main data the reservoir does not hold.
    bool GatherMainData(bool side_info_valid);
    void DecodeGranule(int gr);
    void DecodeChannel(int gr, int ch);
    // Reorder, alias reduction and the hybrid filter bank of one channel.
    void HybridChannel(int gr, int ch, float (&blocks)[kSubbandLines][kSubbands]);
    void Synthesize(PolyphaseSynthesizer& synth, const float (&blocks)[kSubbandLines][kSubbands]);
    void OutputGranule(int gr);
    // At a change of channel mode the overlap memory of the channel that
    // starts or stops sounding carries on from what was heard.
    void CarryOverlap(int coded_channels);
    StereoMode CurrentStereoMode() const;

    MpegFileStream& stream_;
    FrameHeader& header_;
    PolyphaseSynthesizer& synth0_;
    PolyphaseSynthesizer* synth1_;
    PcmSink& sink_;

    std::unique_ptr<MainDataReservoir> reservoir_;
    SideInfo side_;
    ScaleFactors scalefactors_[2];
    GranuleBits granule_bits_;
    Layer3Stereo stereo_;

    // The stream's layout, fixed by its first frame.
    int output_channels_;
    int granules_;
    int last_channel_;
    // Channels coded in the current frame, and in the one before (0 after
    // a reset).
    int coded_channels_ = 0;
    const ScaleFactorBands* bands_;

    // Reservoir byte count at which the next frame's main data begins.
    int frame_start_ = 0;

    // Huffman output of the channel being decoded; a quadruple starting at
    // line 574 writes up to 577.
    std::int32_t spectrum_[kGranuleLines + 4] = {};
    int nonzero_[2] = {kGranuleLines, kGranuleLines};
    float ro_[2][kGranuleLines] = {};
    float lr_[2][kGranuleLines] = {};
    // One channel after reordering and alias reduction, by subband.
    float out_[kGranuleLines] = {};
    // The hybrid filter bank's output and overlap memory, by time sample
    // and subband.
    alignas(16) float pcm_blocks_[kSubbandLines][kSubbands] = {};
    // The second channel, while a two-channel frame is mixed down.
    alignas(16) float pcm_second_[kSubbandLines][kSubbands] = {};
    alignas(16) float prev_[2][kSubbandLines][kSubbands] = {};
};

} // namespace audiocore
