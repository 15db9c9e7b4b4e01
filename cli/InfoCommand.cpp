#include "Commands.h"

#include "MpegDecoder.h"
#include "ReplayGainTags.h"
#include "StreamInfo.h"

#include <cstdio>

using namespace audiocore;

namespace {

// "track -6.02 dB peak 0.988, album -7.10 dB", or "none".
std::string LoudnessLine(const LoudnessFacts& facts) {
    std::string line;
    auto add = [&line](const char* name, const LoudnessFacts::Pair& pair) {
        if (!pair.gain_db)
            return;
        char text[96];
        std::snprintf(text, sizeof text, "%s%s %+.2f dB", line.empty() ? "" : ", ", name,
                      *pair.gain_db);
        line += text;
        if (pair.peak) {
            std::snprintf(text, sizeof text, " peak %.6f", *pair.peak);
            line += text;
        }
    };
    add("track", facts.track);
    add("album", facts.album);
    return line.empty() ? "none" : line;
}

} // namespace

int RunInfo(const std::vector<std::string>& args) {
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: audiocore info FILE\n");
        return 2;
    }
    const std::string& path = args[0];
    MpegDecoder decoder;
    std::string reason;
    if (decoder.Open(path, &reason) != OpenResult::Opened) {
        ReportFailure(path, reason);
        return 1;
    }
    const FrameHeader& header = decoder.Header();
    std::printf("format: %s\n", StreamInfoLine(header).c_str());
    std::printf("frames: %d\n", decoder.FrameCount());
    std::printf("samples: %lld\n", static_cast<long long>(decoder.SongSamples()));
    std::printf("length_ms: %lld\n", static_cast<long long>(decoder.LengthMs()));
    const EncoderHeader& encoder = decoder.Encoder();
    if (encoder.KnowsGap())
        std::printf("encoder_gap: %d delay, %d padding\n", encoder.delay, encoder.padding);
    if (decoder.CutShort())
        std::printf("cut_short: yes, the encoder wrote %lld frames\n",
                    static_cast<long long>(encoder.frames));
    std::printf("replaygain: %s\n", LoudnessLine(ReadLoudnessFacts(path, encoder)).c_str());
    std::printf("copyright: %s\n", header.copy_flags[0] ? "yes" : "no");
    std::printf("first_frame_offset: %llu\n",
                static_cast<unsigned long long>(decoder.FirstFrameOffset()));
    return 0;
}
