#pragma once

#include "PcmSink.h"

namespace audiocore {

// Passes a run's samples on to its real sink, except while the frames before
// a seek target are decoded only to restore what the target depends on (the
// main data of earlier frames, the overlap and the synthesis history).
class WarmupGate final : public PcmSink {
public:
    explicit WarmupGate(PcmSink& out) : out_(out) {}

    void SetOpen(bool open) { open_ = open; }

    void Append(std::uint32_t channel, std::int16_t sample) override {
        if (open_)
            out_.Append(channel, sample);
    }
    void AppendBlock(std::uint32_t channel, const std::int16_t* samples,
                     std::size_t count) override {
        if (open_)
            out_.AppendBlock(channel, samples, count);
    }
    void EndFrame() override {
        if (open_)
            out_.EndFrame();
    }
    void Clear() override { out_.Clear(); }
    void Stop() override { out_.Stop(); }

private:
    PcmSink& out_;
    bool open_ = true;
};

} // namespace audiocore
