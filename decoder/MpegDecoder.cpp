#include "MpegDecoder.h"

#include "Layer12Decoder.h"
#include "Layer3FrameDecoder.h"
#include "PolyphaseSynthesizer.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

namespace audiocore {

namespace {

// The filter bank's output is scaled straight to 16-bit sample values.
constexpr float kPcmScale = 32768.0f;

// Samples a decoder's own filter bank delays the music by, which the
// encoder's stated delay does not include: the best decoders count it so,
// and files are made to be cut by that count.
constexpr std::int64_t kDecoderDelay = 529;

bool ValidFrame(const FrameHeader& header) {
    return header.layer >= 1 && header.layer <= 3 && header.sample_frequency >= 0 &&
           header.sample_frequency <= 2;
}

} // namespace

MpegDecoder::MpegDecoder() = default;
MpegDecoder::~MpegDecoder() = default;

OpenResult MpegDecoder::Open(const std::string& path, std::string* reason) {
    path_ = path;
    if (!stream_.Open(path)) {
        if (reason) {
            const int error = stream_.OpenError();
            *reason = error == ESPIPE ? "not a regular file" : std::strerror(error);
        }
        return OpenResult::CannotOpen;
    }
    return ReadFirstFrame([path](MpegFileStream& reader) { return reader.Open(path); }, reason);
}

OpenResult MpegDecoder::OpenMemory(const std::uint8_t* data, std::size_t size) {
    path_.clear();
    stream_.OpenMemory(data, size);
    return ReadFirstFrame(
        [data, size](MpegFileStream& reader) {
            reader.OpenMemory(data, size);
            return true;
        },
        nullptr);
}

OpenResult MpegDecoder::OpenLike(const MpegDecoder& other, std::string* reason) {
    gapless_ = other.gapless_;
    const OpenResult result = Open(other.path_, reason);
    if (result == OpenResult::Opened)
        index_ = other.index_;
    return result;
}

// Reads the first audio frame of the stream just opened, past an encoder's
// header frame, and prepares the index with a second reader from `open`.
OpenResult MpegDecoder::ReadFirstFrame(FrameIndex::Opener open, std::string* reason) {
    opened_ = false;
    cut_short_ = false;
    encoder_ = EncoderHeader{};
    bool found = header_.ReadNext(stream_, crc_);
    if (found && ReadEncoderHeader(stream_, header_, encoder_)) {
        const std::uint64_t header_frame = stream_.FirstFrameOffset();
        cut_short_ =
            encoder_.bytes > 0 &&
            stream_.FileBytes() < header_frame + static_cast<std::uint64_t>(encoder_.bytes);
        stream_.ForgetFramesRead();
        found = header_.ReadNext(stream_, crc_);
    }
    if (!found || !ValidFrame(header_)) {
        if (reason)
            *reason = "no MPEG audio frame found";
        return OpenResult::NoFrame;
    }
    index_.Prepare(std::move(open), stream_.FirstFrameOffset(), header_.word);
    // A decoding starts without the first frame's CRC test, as after a seek.
    crc_ = nullptr;
    Prepare();
    opened_ = true;
    return OpenResult::Opened;
}

// The output the first frame fixes, and the decoder state for it.
void MpegDecoder::Prepare() {
    layer3_.reset();
    layer_ = 0;
    channels_ = header_.Channels();
    rate_ = header_.SampleRateHz();
    frame_samples_ = header_.SamplesPerFrame();
    synth0_ = std::make_unique<PolyphaseSynthesizer>(0, kPcmScale);
    synth1_.reset();
    mix_scratch_.reset();
    if (channels_ == 2)
        synth1_ = std::make_unique<PolyphaseSynthesizer>(1, kPcmScale);
    else
        mix_scratch_ = std::make_unique<PolyphaseSynthesizer>(1, kPcmScale);
    gate_.SetChannels(channels_);
    ended_ = false;
    audible_from_.store(0);
    full_from_ = 0;
}

void MpegDecoder::SetGapless(bool gapless) {
    gapless_ = gapless;
}

int MpegDecoder::FrameCount() const {
    if (!opened_)
        return 0;
    if (encoder_.frames >= 0 && !cut_short_)
        return static_cast<int>(std::min<std::int64_t>(encoder_.frames, INT_MAX));
    return index_.Count();
}

std::int64_t MpegDecoder::SongSamples() const {
    const std::int64_t decoded = std::int64_t{FrameCount()} * frame_samples_;
    if (!gapless_ || !encoder_.KnowsGap())
        return decoded;
    const std::int64_t first = std::min<std::int64_t>(encoder_.delay + kDecoderDelay, decoded);
    return SongEnd(decoded, first) - first;
}

std::int64_t MpegDecoder::LengthMs() const {
    return rate_ > 0 ? SongSamples() * 1000 / rate_ : 0;
}

std::uint64_t MpegDecoder::FirstFrameOffset() const {
    return stream_.FirstFrameOffset();
}

double MpegDecoder::ReadFraction() const {
    const double start = static_cast<double>(stream_.FirstFrameOffset());
    const double size = static_cast<double>(stream_.FileBytes()) - start;
    if (size <= 0)
        return 1.0;
    return std::clamp((static_cast<double>(stream_.Position()) - start) / size, 0.0, 1.0);
}

int MpegDecoder::Position() const {
    return std::max(stream_.CurrentFrame(), audible_from_.load());
}

// Which samples of frame `frame` belong to the song: all of them, unless
// the encoder's delay and padding are known and cut.
void MpegDecoder::SetWindowFor(int frame) {
    const auto length = static_cast<std::uint32_t>(frame_samples_);
    if (frame < audible_from_.load()) {
        gate_.Close();
        return;
    }
    if (!gapless_ || !encoder_.KnowsGap()) {
        gate_.SetWindow(0, length);
        return;
    }
    const std::int64_t start = std::int64_t{frame} * frame_samples_;
    const std::int64_t decoded = std::int64_t{FrameCount()} * frame_samples_;
    const std::int64_t first = std::min<std::int64_t>(encoder_.delay + kDecoderDelay, decoded);
    const std::int64_t end = SongEnd(decoded, first);
    auto within = [&](std::int64_t at) {
        return static_cast<std::uint32_t>(std::clamp<std::int64_t>(at - start, 0, length));
    };
    gate_.SetWindow(within(first), within(end));
}

// Where the song ends among `decoded` samples: before the encoder's
// padding, unless the file was cut short and lost its end with the padding.
std::int64_t MpegDecoder::SongEnd(std::int64_t decoded, std::int64_t first) const {
    const std::int64_t end = cut_short_ ? decoded : decoded - encoder_.padding + kDecoderDelay;
    return std::clamp<std::int64_t>(end, first, decoded);
}

void MpegDecoder::UseLayer(int layer) {
    if (layer == layer_)
        return;
    if (layer == 3)
        layer3_ = std::make_unique<Layer3FrameDecoder>(
            stream_, header_, *synth0_, synth1_.get(), gate_,
            channels_ == 1 ? ChannelChoice::LeftOnly : ChannelChoice::Both, channels_);
    else
        layer3_.reset();
    layer_ = layer;
}

void MpegDecoder::DecodeCurrent(PcmSink& out, bool warming) {
    gate_.SetOutput(&out);
    UseLayer(header_.layer);
    SetWindowFor(stream_.CurrentFrame());
    if (warming) {
        // Only Layer III carries state (its main data) from this far back.
        if (layer_ == 3)
            layer3_->KeepMainData();
        return;
    }
    if (layer_ == 3) {
        layer3_->DecodeFrame();
        return;
    }
    const FrameMix mix = MixFor(channels_, header_.mode == kSingleChannel);
    DecodeLayer12Frame(
        stream_, header_, crc_, channels_ == 1 ? ChannelChoice::LeftOnly : ChannelChoice::Both,
        *synth0_, mix == FrameMix::MeanToMono ? mix_scratch_.get() : synth1_.get(), gate_, mix);
}

bool MpegDecoder::DecodeFrame(PcmSink& out) {
    if (!opened_ || ended_)
        return false;
    // The frames a seek warms up on go by here, unheard, so that every call
    // gives the caller a frame it asked for.
    for (;;) {
        const int frame = stream_.CurrentFrame();
        const bool heard = frame >= audible_from_.load();
        DecodeCurrent(out, frame < full_from_);
        if (!header_.ReadNext(stream_, crc_))
            ended_ = true;
        if (heard || ended_)
            return true;
    }
}

// The first frame a seek to `target` decodes in full. What is heard from
// the target depends on the synthesis history, 16 blocks, and on a Layer III
// granule's overlap from the granule before. A frame of 1152 samples (36
// blocks; two granules in Layer III, the second overlapping the first) holds
// all of it by itself; a Layer I frame (12 blocks) or a one-granule frame of
// the lower rates needs the frame before it too, as does a frame whose
// header cannot be read.
int MpegDecoder::FullDecodeFrom(int target) {
    if (target < 1)
        return 0;
    const bool fills_history = stream_.PositionAt(index_.Offset(target - 1), target - 1) &&
                               header_.ReadNext(stream_, crc_) && header_.SamplesPerFrame() == 1152;
    return std::max(target - (fills_history ? 1 : 2), 0);
}

// The frame to warm up from before `full_from`, the first frame decoded in
// full: enough frames before it to hold the largest back reference of main
// data (511 bytes). A frame's main data is its size less header, CRC and the
// largest side information: 38 bytes.
int MpegDecoder::WarmupStart(int full_from) const {
    constexpr int kReservoirReach = 511;
    constexpr int kFrameOverhead = 38;
    int start = full_from;
    for (int held = 0; start > 0 && held < kReservoirReach;) {
        --start;
        held += std::max(index_.Bytes(start) - kFrameOverhead, 0);
    }
    return start;
}

SeekOutcome MpegDecoder::Seek(int target) {
    if (!opened_ || target < 0)
        return SeekOutcome::Failed;
    if (target >= index_.Count())
        return SeekOutcome::PastTheEnd;
    full_from_ = FullDecodeFrom(target);
    const int start = WarmupStart(full_from_);
    // The position reads as the target from here on, never as a frame the
    // warm-up passes.
    audible_from_.store(target);
    if (!stream_.PositionAt(index_.Offset(start), start) || !header_.ReadNext(stream_, crc_)) {
        ended_ = true;
        return SeekOutcome::Failed;
    }
    // The first frame after a seek is taken without its CRC test: its
    // accumulator holds another frame's bits.
    crc_ = nullptr;
    ended_ = false;
    synth0_->Reset();
    if (synth1_)
        synth1_->Reset();
    if (layer3_)
        layer3_->ResetForSeek();
    return SeekOutcome::Landed;
}

} // namespace audiocore
