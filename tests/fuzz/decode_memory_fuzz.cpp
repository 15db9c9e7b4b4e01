// Decodes arbitrary bytes straight from memory, with no file and no system
// call per input, so that a campaign reaches millions of inputs: the sync
// search and its confirmation, the encoder's header frame, the frame index,
// both seeks (before the run and during it) with their warm-up, and every
// layer's decoding.
//
// Input: two control bytes, then the stream. Bit 7 of the first asks for a
// seek before the run, bit 7 of the second for one after the run's third
// frame; bits 0..6 of each are the target frame.

#include "MpegDecoder.h"
#include "PcmSink.h"

#include <cstdint>
#include <cstdlib>

namespace {

// Takes the samples and checks that every frame closes what it opened.
class CountingSink final : public audiocore::PcmSink {
public:
    void Append(std::uint32_t channel, std::int16_t) override { Count(channel, 1); }
    void AppendBlock(std::uint32_t channel, const std::int16_t*, std::size_t count) override {
        Count(channel, count);
    }
    void EndFrame() override {}
    void Clear() override {}
    void Stop() override {}

private:
    void Count(std::uint32_t channel, std::size_t count) {
        if (channel > 1)
            std::abort(); // a channel the output does not have
        samples_[channel] += count;
    }
    std::size_t samples_[2] = {0, 0};
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    const std::uint8_t before = data[0];
    const std::uint8_t during = data[1];

    audiocore::MpegDecoder decoder;
    if (decoder.OpenMemory(data + 2, size - 2) != audiocore::OpenResult::Opened)
        return 0;
    (void)decoder.FrameCount();
    (void)decoder.SongSamples();
    if (before & 0x80)
        decoder.Seek(before & 0x7F);
    CountingSink sink;
    for (int frames = 1; decoder.DecodeFrame(sink); ++frames)
        if (frames == 3 && (during & 0x80))
            decoder.Seek(during & 0x7F);
    return 0;
}
