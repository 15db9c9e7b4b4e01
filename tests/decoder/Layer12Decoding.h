#pragma once

// Decodes a whole Layer I/II file the way the decode run does, frame by
// frame through FrameHeader::ReadNext and DecodeLayer12Frame, into a
// RecordingSink; and compares PCM with a reference.

#include "FrameHeader.h"
#include "Layer12Decoder.h"
#include "MpegFileStream.h"
#include "PolyphaseSynthesizer.h"
#include "TestSupport.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace testsupport {

struct Layer12Run {
    bool opened = false;
    int channels = 0;
    int frames_read = 0;
    int frames_decoded = 0;
    int frames_rejected = 0;
    // Joint stereo frames whose intensity bound lies inside their subbands.
    int intensity_frames = 0;
    // Only frames of Layer I and II count; anything else is a test failure.
    int other_layers = 0;
    std::unique_ptr<RecordingSink> sink;
};

inline Layer12Run DecodeLayer12File(const std::string& path) {
    using namespace audiocore;
    Layer12Run run;
    MpegFileStream stream;
    run.opened = stream.Open(path);
    if (!run.opened)
        return run;
    FrameHeader header;
    FrameCrc* crc = nullptr;
    std::unique_ptr<PolyphaseSynthesizer> synth0;
    std::unique_ptr<PolyphaseSynthesizer> synth1;
    ChannelChoice choice = ChannelChoice::Both;
    while (header.ReadNext(stream, crc)) {
        ++run.frames_read;
        if (!run.sink) {
            run.channels = header.Channels();
            choice = run.channels == 1 ? ChannelChoice::LeftOnly : ChannelChoice::Both;
            run.sink = std::make_unique<RecordingSink>(run.channels);
            synth0 = std::make_unique<PolyphaseSynthesizer>(0, 32768.0f);
            if (run.channels == 2)
                synth1 = std::make_unique<PolyphaseSynthesizer>(1, 32768.0f);
        }
        if (header.layer != 1 && header.layer != 2) {
            ++run.other_layers;
            continue;
        }
        if (header.mode == kJointStereo &&
            header.intensity_stereo_bound < static_cast<std::uint32_t>(header.subbands))
            ++run.intensity_frames;
        if (DecodeLayer12Frame(stream, header, crc, choice, *synth0, synth1.get(), *run.sink))
            ++run.frames_decoded;
        else
            ++run.frames_rejected;
    }
    return run;
}

struct PcmComparison {
    double psnr = 0.0;
    int max_diff = 0;
    std::size_t compared = 0;
};

// Sample by sample over the shorter of the two, without shifting: Layer I
// and II decoding has no delay to align.
inline PcmComparison ComparePcm(const std::vector<std::int16_t>& test,
                                const std::vector<std::int16_t>& reference) {
    PcmComparison result;
    result.compared = std::min(test.size(), reference.size());
    double sum = 0.0;
    for (std::size_t i = 0; i < result.compared; ++i) {
        int diff = std::abs(static_cast<int>(test[i]) - static_cast<int>(reference[i]));
        result.max_diff = std::max(result.max_diff, diff);
        sum += static_cast<double>(diff) * diff;
    }
    const double mse = result.compared == 0 ? 0.0 : sum / static_cast<double>(result.compared);
    result.psnr = mse == 0.0 ? std::numeric_limits<double>::infinity()
                             : 10.0 * std::log10(32767.0 * 32767.0 / mse);
    return result;
}

inline std::vector<std::int16_t> ReadPcm(const std::string& path) {
    std::vector<std::uint8_t> bytes = ReadFile(path);
    std::vector<std::int16_t> pcm(bytes.size() / 2);
    for (std::size_t i = 0; i < pcm.size(); ++i)
        pcm[i] = static_cast<std::int16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    return pcm;
}

} // namespace testsupport
