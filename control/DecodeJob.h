#pragma once

#include "DeviceHandle.h"
#include "MpegDecoder.h"
#include "PcmSink.h"
#include "PlayedFrames.h"
#include "ReplayGain.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace audiocore {

// Sink: the samples go to the caller's `DecodeJob::sink`.
enum class OutputMode : std::int32_t { Device = 0, DeviceAlso = 1, WavFile = 2, Sink = 3 };

// How a conversion into a WAV file splits over threads: runs of
// `run_frames` frames, decoded side by side and written in order.
struct ConversionSplit {
    // 0: one per core, up to 4. 1 keeps the conversion on the calling thread.
    int threads = 0;
    int run_frames = 32;
    // A stream with fewer frames left than this converts on one thread:
    // starting the threads would cost more than they save.
    int min_frames = 1024;
};

// What the control shares with a decode run: the requests from the control's
// thread and the open stream with its header.
struct DecodeJob {
    // Set by the control's thread, read by the decode between frames. The
    // seek target is stored before the seek flag is raised.
    std::atomic<bool> stop_requested{false};
    std::atomic<std::int32_t> seek_target{0};
    std::atomic<bool> seek_requested{false};
    // Which frame a device run's listener hears, and after a stop the frame
    // to resume from.
    PlayedFrames played;

    // The open song: its stream, facts, seeks and decoding.
    MpegDecoder decoder;
    // What the stream's first frame said, read when the song was opened:
    // what a host is shown of a song that a run decodes.
    std::string opened_info;
    bool opened_copyright = false;
    // A Play run's output device, and where its end is reported: called on the
    // worker thread with How (1 stopped, 0 ended by itself).
    DeviceHandle* device = &ModuleDeviceHandle();
    std::function<void(int how)> notify_target;
    // Asked by a device run at the end of the stream for the song that
    // follows on the same device; null, or a null answer, ends the run.
    std::function<DecodeJob*()> next_song;
    // Set by a run that reached the end of the stream (or a seek past it),
    // and by the worker when a run failed (no device, a failed seek).
    std::atomic<bool> stream_ended{false};
    std::atomic<bool> run_failed{false};
    // Why the last run failed; written by the worker before it reports the
    // end, read by the host after.
    std::string run_failure;
    std::uint16_t volume = 65535;
    // The song's loudness facts, read when it was opened, and the scale
    // (16.16 fixed point) a run's output applies: the device with the
    // volume, a WAV file only when a conversion asks for it.
    LoudnessFacts loudness;
    std::uint32_t gain = kUnityGain;
    std::int32_t device_number = 0;
    OutputMode output_mode = OutputMode::Device;
    std::string wav_name;
    ConversionSplit split;
    PcmSink* sink = nullptr;
};

// The frame the stream stands at, as far as a listener is concerned: a
// requested seek's target; while a run plays on the device, the frame being
// heard; after a stop, the first frame that was not heard; otherwise the
// frame read last, or while a seek warms up on the frames before its
// target, the target.
int PositionFrame(const DecodeJob& job);

// A stop of a device run: the device plays to the end of the frame it is
// playing and no further, and the position stays on the frame after it.
// Without an open device, queued audio is simply discarded.
void EndAtHeardFrame(DecodeJob& job);

} // namespace audiocore
