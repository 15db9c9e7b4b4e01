#include "Layer3FrameDecoder.h"

#include "FrameHeader.h"
#include "Layer3Imdct.h"
#include "Layer3Reorder.h"
#include "Layer3Requantiser.h"
#include "MpegFileStream.h"
#include "PcmSink.h"
#include "PolyphaseSynthesizer.h"
#include "tables/Layer3Bands.h"

#include <algorithm>

namespace audiocore {

Layer3FrameDecoder::Layer3FrameDecoder(MpegFileStream& stream, FrameHeader& header,
                                       PolyphaseSynthesizer& synth0, PolyphaseSynthesizer* synth1,
                                       PcmSink& sink, ChannelChoice choice, int output_channels)
    : stream_(stream), header_(header), synth0_(synth0), synth1_(synth1), sink_(sink),
      reservoir_(std::make_unique<MainDataReservoir>()) {
    const bool mpeg1 = header.version == 1;
    output_channels_ = output_channels == 1 ? 1 : 2;
    granules_ = mpeg1 ? 2 : 1;
    // Without a second synthesizer there is nowhere for the right channel
    // to go, whatever the choice.
    const bool left_only = output_channels_ == 1 || choice == ChannelChoice::LeftOnly || !synth1;
    last_channel_ = left_only ? 0 : 1;
    const int family = mpeg1 ? 3 : header.mpeg25 ? 6 : 0;
    bands_ = &kScaleFactorBands[(header.sample_frequency & 3) % 3 + family];
}

Layer3FrameDecoder::~Layer3FrameDecoder() = default;

void Layer3FrameDecoder::ResetForSeek() {
    frame_start_ = 0;
    coded_channels_ = 0;
    std::fill(&prev_[0][0][0], &prev_[0][0][0] + 2 * kSubbandLines * kSubbands, 0.0f);
    reservoir_ = std::make_unique<MainDataReservoir>();
}

void Layer3FrameDecoder::DecodeFrame() {
    const bool side_info_valid = ReadSideInfo(stream_, header_, side_);
    if (!GatherMainData(side_info_valid))
        return;
    for (int gr = 0; gr < granules_; ++gr)
        DecodeGranule(gr);
    sink_.EndFrame();
}

void Layer3FrameDecoder::KeepMainData() {
    GatherMainData(ReadSideInfo(stream_, header_, side_));
}

bool Layer3FrameDecoder::GatherMainData(bool side_info_valid) {
    // The slots come from the header's frame size; a damaged header cannot
    // make the copy read outside the body, which gives zeros past its end.
    const int slots = std::clamp(header_.main_data_slots, 0, MpegFileStream::kBodyBytes);
    std::uint8_t bytes[MpegFileStream::kBodyBytes];
    if (stream_.TakeBytes(bytes, slots)) {
        reservoir_->PutBytes(bytes, slots);
    } else {
        int copied = 0;
        for (; copied + 2 <= slots; copied += 2) {
            const std::uint32_t pair = stream_.GetBits(16);
            reservoir_->PutByte(pair >> 8);
            reservoir_->PutByte(pair & 0xFFu);
        }
        if (copied < slots)
            reservoir_->PutByte(stream_.GetBits(8));
    }

    // Ancillary bits after the previous frame's last granule are dropped by
    // going on to the next whole byte.
    MainDataReservoir& reservoir = *reservoir_;
    int main_data_end = reservoir.BitsRead() / 8;
    if (reservoir.BitsRead() % 8 != 0) {
        reservoir.GetBits(8 - reservoir.BitsRead() % 8);
        ++main_data_end;
    }
    int discard = frame_start_ - main_data_end - static_cast<int>(side_.main_data_begin);
    frame_start_ += slots;

    // Bytes more than the ring's size behind the newest are overwritten and
    // no frame can point back to them. A reader left that far behind (by a
    // long run of frames that could not be decoded) moves up to the oldest
    // byte still held, so that neither counter grows without bound.
    const int lag = frame_start_ - main_data_end - MainDataReservoir::kSize;
    if (lag > 0) {
        reservoir.RewindBytes(-lag); // a step forward
        main_data_end += lag;
        discard -= lag;
    }
    if (main_data_end > MainDataReservoir::kSize) {
        // Keep both counters small; the ring is indexed modulo its size.
        frame_start_ -= MainDataReservoir::kSize;
        reservoir.RewindBytes(MainDataReservoir::kSize);
    }

    // A frame whose main data begins before what the reservoir holds (the
    // first frames after a start or seek) is skipped; so is one whose side
    // information is invalid. Its bytes stay for the frames after it.
    if (discard < 0 || !side_info_valid)
        return false;
    for (int i = 0; i < discard; ++i)
        reservoir.GetBits(8);
    return true;
}

StereoMode Layer3FrameDecoder::CurrentStereoMode() const {
    const bool joint = header_.mode == kJointStereo;
    StereoMode mode;
    mode.mid_side = joint && (header_.mode_extension & 2) != 0;
    mode.intensity = joint && (header_.mode_extension & 1) != 0;
    mode.lsf = header_.version == 0;
    return mode;
}

void Layer3FrameDecoder::DecodeGranule(int gr) {
    const int coded = header_.mode == kSingleChannel ? 1 : 2;
    CarryOverlap(coded);
    // Both channels of a two-channel frame are decoded even when only the
    // left is output: stereo processing needs both.
    for (int ch = 0; ch < coded; ++ch)
        DecodeChannel(gr, ch);
    if (coded == 2)
        stereo_.Process(CurrentStereoMode(), side_.granule[gr], scalefactors_[1], *bands_, ro_,
                        lr_);
    else
        std::copy(ro_[0], ro_[0] + kGranuleLines, lr_[0]);
    OutputGranule(gr);
}

void Layer3FrameDecoder::CarryOverlap(int coded) {
    const int previous = coded_channels_;
    coded_channels_ = coded;
    if (previous == 0 || previous == coded)
        return;
    float* first = &prev_[0][0][0];
    float* second = &prev_[1][0][0];
    constexpr int kValues = kSubbandLines * kSubbands;
    if (coded == 2) {
        std::copy(first, first + kValues, second);
    } else if (last_channel_ == 1 || output_channels_ == 1) {
        // Both channels' memories are live: the one channel goes on from
        // their mean.
        for (int i = 0; i < kValues; ++i)
            first[i] = 0.5f * (first[i] + second[i]);
    }
}

void Layer3FrameDecoder::OutputGranule(int gr) {
    switch (MixFor(output_channels_, header_.mode == kSingleChannel)) {
    case FrameMix::MeanToMono:
        HybridChannel(gr, 0, pcm_blocks_);
        HybridChannel(gr, 1, pcm_second_);
        for (int t = 0; t < kSubbandLines; ++t)
            for (int sb = 0; sb < kSubbands; ++sb)
                pcm_blocks_[t][sb] = 0.5f * (pcm_blocks_[t][sb] + pcm_second_[t][sb]);
        Synthesize(synth0_, pcm_blocks_);
        return;
    case FrameMix::MonoToBoth:
        HybridChannel(gr, 0, pcm_blocks_);
        Synthesize(synth0_, pcm_blocks_);
        if (last_channel_ == 1)
            Synthesize(*synth1_, pcm_blocks_);
        return;
    case FrameMix::AsCoded:
        for (int ch = 0; ch <= last_channel_; ++ch) {
            HybridChannel(gr, ch, pcm_blocks_);
            Synthesize(ch == 0 ? synth0_ : *synth1_, pcm_blocks_);
        }
        return;
    }
}

void Layer3FrameDecoder::DecodeChannel(int gr, int ch) {
    GranuleInfo& g = side_.granule[gr][ch];
    const int part2_start = reservoir_->BitsRead();
    if (header_.version == 1) {
        ReadScaleFactors(*reservoir_, side_, ch, gr, scalefactors_[ch]);
    } else {
        const bool intensity_channel = ch == 1 && CurrentStereoMode().intensity;
        ReadLsfScaleFactors(*reservoir_, g, intensity_channel, scalefactors_[ch]);
    }
    nonzero_[ch] = DecodeHuffman(*reservoir_, granule_bits_, g, part2_start, *bands_, spectrum_);
    Requantise(spectrum_, nonzero_[ch], g, scalefactors_[ch], *bands_, ro_[ch]);
}

void Layer3FrameDecoder::HybridChannel(int gr, int ch, float (&blocks)[kSubbandLines][kSubbands]) {
    const GranuleInfo& g = side_.granule[gr][ch];
    Reorder(g, *bands_, lr_[ch], out_);
    // Stereo processing mixes the channels, so either channel's values may
    // reach as far as the longer of the two.
    const bool two = header_.mode != kSingleChannel;
    const int nonzero = two ? std::max(nonzero_[0], nonzero_[1]) : nonzero_[0];
    ReduceAliases(g, out_, nonzero);
    HybridSynthesis(g, out_, prev_[ch], blocks);
}

void Layer3FrameDecoder::Synthesize(PolyphaseSynthesizer& synth,
                                    const float (&blocks)[kSubbandLines][kSubbands]) {
    synth.SynthesizeBlocks(blocks, kSubbandLines, sink_);
}

} // namespace audiocore
