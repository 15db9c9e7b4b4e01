#pragma once

#include "ChannelChoice.h"
#include "EncoderHeader.h"
#include "FrameHeader.h"
#include "FrameIndex.h"
#include "MpegFileStream.h"
#include "SongGate.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

namespace audiocore {

class Layer3FrameDecoder;
class PcmSink;
class PolyphaseSynthesizer;

enum class OpenResult { Opened, CannotOpen, NoFrame };
enum class SeekOutcome { Landed, PastTheEnd, Failed };

// The decoder as its users see it: open a file, read the stream's facts,
// seek to a frame, and decode the next frame of PCM into a sink. Everything
// else (the sync search, the frame index, the layer decoders, the
// synthesis, the warm-up of a seek, the cut of the encoder's delay and
// padding) stays behind it.
//
// Positions are frame numbers from 0, the first audio frame; frame n's PCM
// is what a decoding from the start gives for that frame, less what lies
// outside the song.
class MpegDecoder {
public:
    MpegDecoder();
    ~MpegDecoder();
    MpegDecoder(const MpegDecoder&) = delete;
    MpegDecoder& operator=(const MpegDecoder&) = delete;

    // Opens `path` and reads its first audio frame. On failure `reason`
    // (when given) says why.
    OpenResult Open(const std::string& path, std::string* reason = nullptr);
    // The same over bytes in memory, which the caller keeps alive: no file
    // and no system call, for fuzzing and tests.
    OpenResult OpenMemory(const std::uint8_t* data, std::size_t size);
    // Opens the file another decoder has open, sharing its frame index and
    // taking its settings: a second reader for a threaded conversion.
    OpenResult OpenLike(const MpegDecoder& other, std::string* reason = nullptr);
    bool IsOpen() const { return opened_; }
    const std::string& Path() const { return path_; }

    // Whether the encoder's delay and padding are cut off (the default),
    // so that the song is exactly the samples the encoder was given.
    void SetGapless(bool gapless);
    bool Gapless() const { return gapless_; }

    // The stream's facts. The header is the frame read last: while a
    // decoding goes on it changes frame by frame.
    const FrameHeader& Header() const { return header_; }
    const EncoderHeader& Encoder() const { return encoder_; }
    int Channels() const { return channels_; }
    int SampleRateHz() const { return rate_; }
    // Samples per channel of the stream's frames, which its first frame fixes.
    int FrameSamples() const { return frame_samples_; }
    // Audio frames: the encoder header's count when it gives one, else the
    // frames a walk of the headers finds.
    int FrameCount() const;
    // Whether the file holds fewer bytes than its encoder header says (a
    // download that stopped): its length then comes from the frames that
    // are there, and nothing is cut off its end.
    bool CutShort() const { return cut_short_; }
    // The frames a walk of the file finds.
    int WalkedFrames() const { return index_.Count(); }
    // The song's samples per channel, and its length in milliseconds
    // (rounded down): without the encoder's delay and padding when they are
    // cut.
    std::int64_t SongSamples() const;
    std::int64_t LengthMs() const;
    std::uint64_t FirstFrameOffset() const;
    // How far the file has been read, 0 to 1, by bytes.
    double ReadFraction() const;

    // The frame the next DecodeFrame gives; while a seek warms up, its
    // target. Safe to read from another thread.
    int Position() const;
    // Positions the decoder so that the next DecodeFrame gives frame
    // `frame`, with the decoder state a decoding from the start would have.
    SeekOutcome Seek(int frame);
    // Decodes the next frame into `out`: its samples of the song, closed by
    // EndFrame (a frame wholly outside the song gives nothing). False at
    // the end of the stream.
    bool DecodeFrame(PcmSink& out);
    bool AtEnd() const { return ended_; }

private:
    OpenResult ReadFirstFrame(FrameIndex::Opener open, std::string* reason);
    void Prepare();
    void DecodeCurrent(PcmSink& out, bool warming);
    void SetWindowFor(int frame);
    std::int64_t SongEnd(std::int64_t decoded, std::int64_t first) const;
    void UseLayer(int layer);
    int FullDecodeFrom(int target);
    int WarmupStart(int full_from) const;

    std::string path_;
    MpegFileStream stream_;
    FrameHeader header_;
    EncoderHeader encoder_;
    FrameIndex index_;
    SongGate gate_;
    std::unique_ptr<PolyphaseSynthesizer> synth0_;
    std::unique_ptr<PolyphaseSynthesizer> synth1_;
    // Holds the second channel's subband samples of a Layer I or II frame
    // that a single-channel output takes as the mean of two.
    std::unique_ptr<PolyphaseSynthesizer> mix_scratch_;
    std::unique_ptr<Layer3FrameDecoder> layer3_;
    FrameCrc* crc_ = nullptr;
    int layer_ = 0;
    int channels_ = 2;
    int rate_ = 0;
    int frame_samples_ = 0;
    bool opened_ = false;
    bool cut_short_ = false;
    bool gapless_ = true;
    bool ended_ = false;
    // The first frame to be heard after a seek; the frames before it only
    // restore what it depends on, and those before `full_from_` bring no
    // more than their main data.
    std::atomic<int> audible_from_{0};
    int full_from_ = 0;
};

} // namespace audiocore
