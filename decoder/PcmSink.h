#pragma once

#include <cstddef>
#include <cstdint>

namespace audiocore {

// Where decoded audio leaves the decoder: 16-bit samples per channel, closed
// frame by frame. Implementations interleave with one cursor per channel, so
// blocks of the two channels may arrive in turns of any size.
class PcmSink {
public:
    virtual ~PcmSink() = default;
    virtual void Append(std::uint32_t channel, std::int16_t sample) = 0;
    // All samples of one frame have been appended.
    virtual void EndFrame() = 0;
    // A seek: drop what is buffered and not yet played or written.
    virtual void Clear() = 0;
    // The user stopped; the sink is about to be deleted.
    virtual void Stop() = 0;

    // A block of consecutive samples of one channel. The synthesizer hands
    // over 32 at a time; sinks may override this to skip the per-sample call.
    virtual void AppendBlock(std::uint32_t channel, const std::int16_t* samples,
                             std::size_t count) {
        for (std::size_t i = 0; i < count; ++i)
            Append(channel, samples[i]);
    }
};

} // namespace audiocore
