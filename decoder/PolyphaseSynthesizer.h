#pragma once

#include "WindowSum.h"

#include <cstdint>

namespace audiocore {

class PcmSink;

// The synthesis filter bank: 32 subband samples of one channel in, 32 PCM
// samples out, clipped to 16 bits and appended to a sink. The filter history
// lives in two alternating 512-value arrays written at a rotating column, so
// nothing is ever shifted.
class PolyphaseSynthesizer {
public:
    PolyphaseSynthesizer(int channel, float scale);

    void Reset();
    // Filters `samples` into 32 PCM samples for the sink, advances the
    // history and clears `samples` for the next block.
    void Synthesize(PcmSink& sink);
    // The same for `count` consecutive blocks (a granule's 18), with the
    // matrixing of up to eight blocks side by side; `samples` is not used.
    void SynthesizeBlocks(const float (*blocks)[32], int count, PcmSink& sink);
    int Channel() const { return channel_; }

    // The input block, one value per subband; the frame decoders write it.
    alignas(16) float samples[32] = {};

private:
    using DctKernel = void (*)(const float (*blocks)[32], int count, float (*x)[32]);

    // Writes the matrixed block `x` (its DCT) into the history, then
    // windows, clips and hands its 32 samples to the sink.
    void Emit(const float* x, PcmSink& sink);

    // Each half holds 16 columns of 32 rows, column by column, with the
    // columns in reverse order: a block written at column p lands in
    // physical column (16 - p) mod 16, so tap k of every output is found in
    // one contiguous column, (k - p) mod 16.
    alignas(64) float half_a_[512];
    alignas(64) float half_b_[512];
    float* current_ = half_a_;
    int column_ = 15;
    int channel_;
    float scale_;
    // The windowing kernel for this processor, fixed when the synthesizer
    // is made.
    WindowSumKernel kernel_;
    // The DCT of several blocks at once, for this processor.
    DctKernel dct_;
};

// Clips a filter output to 16 bits, truncating toward zero in between. A NaN,
// which only a broken stream could produce, is silence rather than a
// conversion with no defined result. Selects rather than branches, so that
// a block of outputs converts side by side in vector lanes.
inline std::int16_t ClipToPcm(float s) {
    s = s == s ? s : 0.0f;
    s = s > 32767.0f ? 32767.0f : s;
    s = s < -32768.0f ? -32768.0f : s;
    return static_cast<std::int16_t>(static_cast<int>(s));
}

} // namespace audiocore
