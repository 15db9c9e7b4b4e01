#include "HeaderWord.h"

namespace audiocore {

namespace {

// Index 0 (free format) and 15 (forbidden) hold 0.
constexpr int kBitrateKbps[2][3][16] = {
    {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0}},
    {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0}},
};

constexpr int kSampleRateHz[4][3] = {
    {11025, 12000, 8000}, {0, 0, 0}, {22050, 24000, 16000}, {44100, 48000, 32000}};

} // namespace

int BitrateBps(int mpeg1, int layer, int bitrate_index) {
    if (layer < 1 || layer > 3 || bitrate_index < 0 || bitrate_index > 15)
        return 0;
    return kBitrateKbps[mpeg1 != 0 ? 1 : 0][layer - 1][bitrate_index] * 1000;
}

int SampleRateHz(int version_code, int rate_index) {
    if (version_code < 0 || version_code > 3 || rate_index < 0 || rate_index > 2)
        return 0;
    return kSampleRateHz[version_code][rate_index];
}

HeaderWord HeaderWord::FromBytes(const std::uint8_t b[4]) {
    return HeaderWord((std::uint32_t{b[0]} << 24) | (std::uint32_t{b[1]} << 16) |
                      (std::uint32_t{b[2]} << 8) | b[3]);
}

bool HeaderWord::Plausible() const {
    return (bits_ & 0xFFE00000u) == 0xFFE00000u && VersionCode() != 1 && Layer() != 0 &&
           BitrateIndex() != 15 && RateIndex() != 3;
}

bool HeaderWord::SameStream(HeaderWord other) const {
    return other.Plausible() && (other.bits_ & kStreamBits) == (bits_ & kStreamBits) &&
           other.FreeFormat() == FreeFormat();
}

int HeaderWord::BitrateBps() const {
    return audiocore::BitrateBps(VersionCode() == kVersion1, Layer(), BitrateIndex());
}

int HeaderWord::SampleRateHz() const {
    return audiocore::SampleRateHz(VersionCode(), RateIndex());
}

int SamplesPerFrame(int layer, bool mpeg1) {
    if (layer == 1)
        return 384;
    if (layer == 3 && !mpeg1)
        return 576;
    return 1152;
}

int PaddingBytes(int layer, int padding) {
    return layer == 1 ? 4 * padding : padding;
}

int HeaderWord::SamplesPerFrame() const {
    return audiocore::SamplesPerFrame(Layer(), VersionCode() == kVersion1);
}

int HeaderWord::PaddingBytes() const {
    return audiocore::PaddingBytes(Layer(), Padding());
}

int HeaderWord::FrameBytes(int free_bytes) const {
    const int rate = SampleRateHz();
    if (!Plausible() || rate == 0)
        return 0;
    if (FreeFormat())
        return free_bytes > 0 ? free_bytes + PaddingBytes() : 0;
    const int bitrate = BitrateBps();
    if (Layer() == 1)
        return (12 * bitrate / rate + Padding()) * 4;
    // Samples per frame / 8 bits: 144 for 1152 samples, 72 for 576.
    const int factor = SamplesPerFrame() / 8;
    return factor * bitrate / rate + Padding();
}

} // namespace audiocore
