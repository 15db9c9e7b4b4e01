#include "FrameHeader.h"

#include "MpegFileStream.h"
#include "Notifier.h"

namespace audiocore {

namespace {

// Bits per second by version (0 LSF, 1 MPEG-1), layer - 1 and bitrate index;
// index 0 (free format) and 15 (forbidden) are 0, which makes the frame size 0
// and its body read fail.
constexpr int kBitrateKbps[2][3][16] = {
    {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0}},
    {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0}},
};

// The reserved index 3 holds 1 so that nothing divides by zero before the
// header is rejected.
constexpr int kSampleRateHz[2][4] = {{22050, 24000, 16000, 1}, {44100, 48000, 32000, 1}};

// Milliseconds per MPEG-1 frame by layer - 1 and sample_frequency.
constexpr float kMsPerFrame[3][3] = {
    {8.707483f, 8.0f, 12.0f}, {26.12245f, 24.0f, 36.0f}, {26.12245f, 24.0f, 36.0f}};

constexpr std::uint32_t kSyncPatternMask = 0xFFF80CC0u;

const char* const kLayerNames[] = {"I", "II", "III"};
const char* const kModeNames[] = {"Stereo", "Joint stereo", "Dual channel", "Single channel"};
const char* const kRateNames[2][3] = {{"22.05 kHz", "24 kHz", "16 kHz"},
                                      {"44.1 kHz", "48 kHz", "32 kHz"}};

bool ValidLayer(int layer) {
    return layer >= 1 && layer <= 3;
}
bool ValidRate(int sample_frequency) {
    return sample_frequency >= 0 && sample_frequency <= 2;
}

// Subbands that carry an allocation: the size of the Layer II allocation
// table that the per-channel bitrate and the sampling rate select.
int Layer2Subbands(int bitrate_index, int mode, int sample_frequency) {
    unsigned c = static_cast<unsigned>(bitrate_index);
    if (mode != kSingleChannel)
        c = bitrate_index == 4 ? 1u : static_cast<unsigned>(bitrate_index - 4);
    if (c == 1 || c == 2)
        return sample_frequency == 2 ? 12 : 8;
    if (sample_frequency == 1 || (c >= 3 && c <= 5))
        return 27;
    return 30;
}

} // namespace

bool FrameHeader::FindFrame(MpegFileStream& stream, std::uint32_t& header) {
    if (synced)
        return stream.FindHeader(header, true);
    if (!stream.FindHeader(header, false))
        return false;
    version = static_cast<int>((header >> 19) & 1u);
    sample_frequency = static_cast<int>((header >> 10) & 3u);
    if (sample_frequency == 3) {
        Notify("Stream not supported", "Unknown sample frequency in header");
        return false;
    }
    stream.SetSyncPattern(header & kSyncPatternMask);
    synced = true;
    return true;
}

void FrameHeader::Decode(std::uint32_t header) {
    protection_bit = static_cast<int>((header >> 16) & 1u);
    padding = static_cast<int>((header >> 9) & 1u);
    layer = static_cast<int>((4u - ((header >> 17) & 3u)) & 3u);
    bitrate_index = static_cast<int>((header >> 12) & 15u);
    mode = static_cast<int>((header >> 6) & 3u);
    mode_extension = static_cast<int>((header >> 4) & 3u);
    intensity_stereo_bound =
        mode == kJointStereo ? static_cast<std::uint32_t>(mode_extension * 4 + 4) : 0u;
    copy_flags[0] = ((header >> 3) & 1u) != 0;
    copy_flags[1] = ((header >> 2) & 1u) != 0;

    if (layer == 1)
        subbands = 32;
    else if (version == 0 && layer == 2)
        subbands = 30; // the single LSF allocation table
    else
        subbands = Layer2Subbands(bitrate_index, mode, sample_frequency);
    if (intensity_stereo_bound > static_cast<std::uint32_t>(subbands))
        intensity_stereo_bound = static_cast<std::uint32_t>(subbands);
}

bool FrameHeader::ReadNext(MpegFileStream& stream, FrameCrc*& frame_crc) {
    frame_crc = nullptr;
    std::uint32_t header = 0;
    if (!FindFrame(stream, header))
        return false;
    Decode(header);
    ComputeFrameSize();
    if (!stream.ReadFrameBody(body_size))
        return false;
    if (protection_bit == 0) {
        checksum = static_cast<std::uint16_t>(stream.GetBits(16));
        if (!crc)
            crc = std::make_unique<FrameCrc>();
        // Each frame's check starts afresh, so a Layer III frame with a CRC
        // cannot spoil the check of a Layer I or II frame after it.
        crc->Restart();
        crc->AddBits(header, 16);
        frame_crc = crc.get();
    }
    if (sample_frequency == 0)
        RecordPadding(stream);
    return true;
}

void FrameHeader::RecordPadding(const MpegFileStream& stream) {
    int f = stream.CurrentFrame();
    if (f < 0 || f != stream.HighestFrame())
        return; // a frame read again after a seek back changes nothing
    if (padding_table.size() <= static_cast<std::size_t>(f))
        padding_table.resize(static_cast<std::size_t>(f) + 1, 0);
    padding_table[f] = (f == 0 ? 0 : padding_table[f - 1]) + PaddingBytes();
}

int FrameHeader::BitrateBps() const {
    if (!ValidLayer(layer) || bitrate_index < 0 || bitrate_index > 15)
        return 0;
    return kBitrateKbps[version & 1][layer - 1][bitrate_index] * 1000;
}

int FrameHeader::SampleRateHz() const {
    return kSampleRateHz[version & 1][sample_frequency & 3];
}

int FrameHeader::SamplesPerFrame() const {
    if (layer == 1)
        return 384;
    if (layer == 3 && version == 0)
        return 576;
    return 1152;
}

void FrameHeader::ComputeFrameSize() {
    const int bitrate = BitrateBps();
    const int frequency = SampleRateHz();
    int size;
    if (layer == 1) {
        size = (12 * bitrate / frequency + padding) * 4;
    } else {
        size = 144 * bitrate / frequency;
        // An LSF Layer III frame holds 576 samples, half of MPEG-1's; an LSF
        // Layer II frame still holds 1152 and keeps the full size.
        if (version == 0 && layer == 3)
            size >>= 1;
        size += padding;
    }
    body_size = size - 4;
    main_data_slots = 0;
    if (layer == 3) {
        int side =
            version == 1 ? (mode == kSingleChannel ? 17 : 32) : (mode == kSingleChannel ? 9 : 17);
        int crc_bytes = protection_bit == 0 ? 2 : 0;
        main_data_slots = size - side - crc_bytes - 4;
        if (main_data_slots < 0)
            main_data_slots = 0;
    }
}

std::uint32_t FrameHeader::MaxFrames(const MpegFileStream& stream) const {
    const int frame_bytes = body_size - PaddingBytes() + 4;
    if (frame_bytes <= 0)
        return 0;
    // A leading tag is no audio: count from the first frame.
    std::uint64_t size = stream.FileSize();
    std::uint64_t start = stream.FirstFrameOffset();
    std::uint64_t audio = size > start ? size - start : 0;
    return static_cast<std::uint32_t>(audio / static_cast<std::uint64_t>(frame_bytes));
}

float FrameHeader::MsPerFrame() const {
    if (!ValidLayer(layer) || !ValidRate(sample_frequency))
        return 0.0f;
    float ms = kMsPerFrame[layer - 1][sample_frequency];
    // LSF Layer I and II frames keep their sample count at half the rate.
    if (version == 0 && layer != 3)
        ms *= 2.0f;
    return ms;
}

float FrameHeader::TotalMs(const MpegFileStream& stream) const {
    return MsPerFrame() * static_cast<float>(MaxFrames(stream));
}

bool FrameHeader::SeekToFrame(MpegFileStream& stream, int frame) {
    if (sample_frequency != 0) {
        // Read the target frame at once, as the tracked seek does: the decode
        // goes on with the current frame, which must be the target, not the
        // frame read before the seek.
        FrameCrc* frame_crc = nullptr;
        return stream.SeekFrameFixed(frame, body_size) && ReadNext(stream, frame_crc);
    }
    return stream.SeekFrameTracked(frame, body_size - PaddingBytes(), *this, padding_table);
}

const char* FrameHeader::LayerName() const {
    return ValidLayer(layer) ? kLayerNames[layer - 1] : nullptr;
}

const char* FrameHeader::SampleRateName() const {
    if (!ValidRate(sample_frequency) || (version != 0 && version != 1))
        return nullptr;
    return kRateNames[version][sample_frequency];
}

const char* FrameHeader::ModeName() const {
    return mode >= 0 && mode <= 3 ? kModeNames[mode] : nullptr;
}

const char* FrameHeader::VersionName() const {
    if (version == 1)
        return "MPEG-1";
    if (version == 0)
        return "MPEG-2 LSF";
    return nullptr;
}

} // namespace audiocore
