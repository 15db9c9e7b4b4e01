#pragma once

#include "PcmFrame.h"
#include "PcmSink.h"
#include "ReplayGain.h"
#include "RiffWriter.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace audiocore {

// Writes the decoded PCM of a whole stream into a 16-bit PCM .wav file: the
// samples of one frame are interleaved in a frame buffer, which goes to the
// file after every frame. The header has an 18-byte format chunk (with its
// extra-size field), so the samples start at byte 46.
//
// The file replaces its target only when it is complete: a write that fails
// (reported as one line on standard error) or a run asked to stop leaves the
// target as it was, and no partial file behind.
class WavFileSink : public PcmSink {
public:
    // Creates `path` and writes everything up to the samples. Null when that
    // fails; `error` (when given) receives the errno.
    // `frame_samples` is the longest frame's samples per channel. `gain`
    // (16.16 fixed point) scales every sample written, for a conversion
    // asked to apply ReplayGain.
    static std::unique_ptr<WavFileSink> Create(int channels, int rate, int frame_samples,
                                               const std::string& path, int* error = nullptr,
                                               std::uint32_t gain = kUnityGain);
    ~WavFileSink() override;

    void Append(std::uint32_t channel, std::int16_t sample) override;
    void AppendBlock(std::uint32_t channel, const std::int16_t* samples,
                     std::size_t count) override;
    void EndFrame() override;
    void Clear() override {}
    // The run was asked to stop: what was written is no whole file.
    void Stop() override { stopped_ = true; }

    // True once a write has failed; the run should end.
    bool Failed() const { return failed_; }
    int Error() const { return riff_.Error(); }
    // Completes the chunks, closes the file and puts it in place of the
    // target. False when any part of it could not be written; the target is
    // then as it was, as it is after a stop.
    bool Close();

    std::uint32_t FrameBytes() const { return frame_bytes_; }
    // Whole frames of PCM made elsewhere in this sink's layout, stored
    // after what was written so far.
    void StoreFrames(const std::uint8_t* data, std::size_t bytes);
    // Ends the file as failed for a reason outside the sink: Close then
    // drops it.
    void Discard() { failed_ = true; }

private:
    WavFileSink(int channels, int frame_samples, std::string path, std::uint32_t gain);
    bool WriteHeader(int rate);
    void Report(const std::string& line);

    std::uint32_t frame_bytes_;
    PcmFrame frame_;
    RiffWriter riff_;
    RiffWriter::Chunk riff_chunk_;
    RiffWriter::Chunk subchunk_;
    std::string path_;
    std::uint32_t gain_;
    // The scaled copy of what StoreFrames is given, when there is a gain.
    std::vector<std::uint8_t> scaled_;
    bool failed_ = false;
    bool stopped_ = false;
    bool closed_ = false;
};

} // namespace audiocore
