#include "FrameHeader.h"

#include "MpegFileStream.h"

namespace audiocore {

namespace {

const char* const kLayerNames[] = {"I", "II", "III"};
const char* const kModeNames[] = {"Stereo", "Joint stereo", "Dual channel", "Single channel"};
// By version code (0 MPEG 2.5, 2 LSF, 3 MPEG-1) and rate index.
const char* const kRateNames[4][3] = {{"11.025 kHz", "12 kHz", "8 kHz"},
                                      {nullptr, nullptr, nullptr},
                                      {"22.05 kHz", "24 kHz", "16 kHz"},
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
    // Only plausible headers are found: the version and rate are known.
    if (!stream.FindHeader(header, false))
        return false;
    const HeaderWord word(header);
    version = word.VersionCode() == HeaderWord::kVersion1 ? 1 : 0;
    mpeg25 = word.VersionCode() == HeaderWord::kVersion25;
    sample_frequency = word.RateIndex();
    stream.SetSyncPattern(header);
    synced = true;
    return true;
}

void FrameHeader::Decode(std::uint32_t header) {
    word = header;
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
    ComputeFrameSize(stream.FreeFormatBytes());
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
    return true;
}

int FrameHeader::VersionCode() const {
    if (version == 1)
        return HeaderWord::kVersion1;
    return mpeg25 ? HeaderWord::kVersion25 : HeaderWord::kVersionLsf;
}

int FrameHeader::BitrateBps() const {
    return audiocore::BitrateBps(version == 1, layer, bitrate_index);
}

int FrameHeader::SampleRateHz() const {
    return audiocore::SampleRateHz(VersionCode(), sample_frequency);
}

int FrameHeader::SamplesPerFrame() const {
    return audiocore::SamplesPerFrame(layer, version == 1);
}

void FrameHeader::ComputeFrameSize(int free_format_bytes) {
    const int size = HeaderWord(word).FrameBytes(free_format_bytes);
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

std::int64_t FrameHeader::LengthMs(std::int64_t frames) const {
    const int rate = SampleRateHz();
    if (rate == 0 || frames <= 0)
        return 0;
    return frames * SamplesPerFrame() * 1000 / rate;
}

const char* FrameHeader::LayerName() const {
    return ValidLayer(layer) ? kLayerNames[layer - 1] : nullptr;
}

const char* FrameHeader::SampleRateName() const {
    if (!ValidRate(sample_frequency) || (version != 0 && version != 1))
        return nullptr;
    return kRateNames[VersionCode()][sample_frequency];
}

const char* FrameHeader::ModeName() const {
    return mode >= 0 && mode <= 3 ? kModeNames[mode] : nullptr;
}

const char* FrameHeader::VersionName() const {
    if (version == 1)
        return "MPEG-1";
    if (version == 0)
        return mpeg25 ? "MPEG-2.5" : "MPEG-2 LSF";
    return nullptr;
}

} // namespace audiocore
