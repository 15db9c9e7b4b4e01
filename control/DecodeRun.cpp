#include "DecodeRun.h"

#include "ConversionRuns.h"
#include "FrameCrc.h"
#include "Layer12Decoder.h"
#include "Layer3FrameDecoder.h"
#include "PolyphaseSynthesizer.h"
#include "WarmupGate.h"
#include "WavFileSink.h"
#include "WaveOutSink.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>

namespace audiocore {

namespace {

// The filter bank's output is scaled straight to 16-bit sample values.
constexpr float kPcmScale = 32768.0f;

// What one run owns. The Layer III decoder refers to the synthesizers and
// the gate, so it goes first when the run ends.
struct RunState {
    std::unique_ptr<PolyphaseSynthesizer> synth0;
    std::unique_ptr<PolyphaseSynthesizer> synth1;
    // Holds the second channel's subband samples of a Layer I or II frame
    // that a single-channel output takes as the mean of two.
    std::unique_ptr<PolyphaseSynthesizer> mix_scratch;
    std::unique_ptr<PcmSink> sink;
    std::unique_ptr<WarmupGate> gate;
    WavFileSink* wav_file = nullptr; // the sink, when the run writes a WAV file
    std::unique_ptr<Layer3FrameDecoder> layer3;
    // The frames a seek warms up on before this one only bring their main
    // data: nothing heard from the target depends on their samples.
    int full_from = 0;
    std::string* failure = nullptr;

    void Fail(const std::string& why) {
        if (failure && failure->empty())
            *failure = why;
    }
};

std::string WavFailure(const char* what, int error) {
    return std::string(what) + (error != 0 ? std::string(": ") + std::strerror(error) : "");
}

// The sink for the job's output mode; false when there is none.
bool CreateSink(DecodeJob& job, int channels, RunState& run) {
    switch (job.output_mode) {
    case OutputMode::WavFile: {
        int error = 0;
        auto wav = WavFileSink::Create(channels, *job.header, job.wav_name, &error);
        if (!wav) {
            run.Fail(WavFailure("cannot create the WAV file", error));
            return false;
        }
        run.wav_file = wav.get();
        run.sink = std::move(wav);
        return true;
    }
    case OutputMode::Sink:
        if (job.sink)
            return true;
        run.Fail("no sink to decode into");
        return false;
    case OutputMode::Device:
    case OutputMode::DeviceAlso: {
        std::string why;
        run.sink = CreateDeviceSink(job, &why);
        if (run.sink)
            return true;
        run.Fail("could not open wave device" + (why.empty() ? std::string() : ": " + why));
        return false;
    }
    }
    run.Fail("no audio output for this output mode");
    return false;
}

bool CreateOutput(DecodeJob& job, int channels, RunState& run) {
    if (!CreateSink(job, channels, run))
        return false;
    run.gate = std::make_unique<WarmupGate>(run.sink ? *run.sink : *job.sink);
    return true;
}

void CreateLayer3Decoder(DecodeJob& job, ChannelChoice choice, RunState& run) {
    run.layer3 = std::make_unique<Layer3FrameDecoder>(*job.stream, *job.header, *run.synth0,
                                                      run.synth1.get(), *run.gate, choice,
                                                      job.output_channels);
}

// Ends the run: warns the sink of a stop, completes the output and releases
// everything. A WAV file that could not be written completely turns the run
// into a failure.
int Finish(RunState& run, bool stopped, int result) {
    if (stopped && run.gate)
        run.gate->Stop();
    run.layer3.reset();
    if (run.wav_file && !run.wav_file->Close()) {
        run.Fail(WavFailure("cannot write the WAV file", run.wav_file->Error()));
        result = 1;
    }
    run.wav_file = nullptr;
    run.gate.reset();
    run.sink.reset();
    run.synth1.reset();
    run.synth0.reset();
    return result;
}

bool ValidFrame(const FrameHeader& header) {
    return header.layer >= 1 && header.layer <= 3 && header.sample_frequency >= 0 &&
           header.sample_frequency <= 2;
}

// The first frame a seek to `target` decodes in full. What is heard from
// the target depends on the synthesis history, 16 blocks, and on a Layer III
// granule's overlap from the granule before. A frame of 1152 samples (36
// blocks; two granules in Layer III, the second overlapping the first) holds
// all of it by itself; a Layer I frame (12 blocks) or a one-granule frame of
// the lower rates needs the frame before it too, as does a frame whose
// header cannot be read.
int FullDecodeFrom(DecodeJob& job, int target) {
    if (target < 1)
        return 0;
    FrameCrc* crc = nullptr;
    const bool fills_history = job.stream->PositionAt(job.index.Offset(target - 1), target - 1) &&
                               job.header->ReadNext(*job.stream, crc) &&
                               job.header->SamplesPerFrame() == 1152;
    return std::max(target - (fills_history ? 1 : 2), 0);
}

// The frame to warm up from before `full_from`, the first frame decoded in
// full: enough frames before it to hold the largest back reference of main
// data (511 bytes). A frame's main data is its size less header, CRC and the
// largest side information: 38 bytes.
int WarmupStart(const FrameIndex& index, int full_from) {
    constexpr int kReservoirReach = 511;
    constexpr int kFrameOverhead = 38;
    int start = full_from;
    for (int held = 0; start > 0 && held < kReservoirReach;) {
        --start;
        held += std::max(index.Bytes(start) - kFrameOverhead, 0);
    }
    return start;
}

enum class SeekOutcome { Landed, PastTheEnd, Failed };

// Positions the run before `target` and restarts the decoders, so that the
// frames up to the target restore its state without being heard.
SeekOutcome SeekTo(DecodeJob& job, RunState& run, int target) {
    if (target < 0)
        return SeekOutcome::Failed;
    if (target >= job.index.Count())
        return SeekOutcome::PastTheEnd;
    run.full_from = FullDecodeFrom(job, target);
    const int start = WarmupStart(job.index, run.full_from);
    // Counted from the target before the device is reset, so that the
    // position never reads the old run's frames from the new count.
    job.played.Restart(target);
    if (run.gate)
        run.gate->Clear();
    FrameCrc* crc = nullptr;
    if (!job.stream->PositionAt(job.index.Offset(start), start) ||
        !job.header->ReadNext(*job.stream, crc))
        return SeekOutcome::Failed;
    run.synth0->Reset();
    if (run.synth1)
        run.synth1->Reset();
    if (run.layer3)
        run.layer3->ResetForSeek();
    job.audible_from.store(target);
    return SeekOutcome::Landed;
}

// The target of a pending seek request, taken with the request so that one
// made during a long seek is never lost.
std::optional<int> TakeSeekRequest(DecodeJob& job) {
    if (!job.seek_requested.exchange(false))
        return std::nullopt;
    return job.seek_target.load();
}

// Where a run starts when not at the stream's frame read last. `resumes`
// when it goes on where a stop left it rather than where a seek asked.
struct StartingPoint {
    int frame = 0;
    bool resumes = false;
};

// A run that starts where an earlier one stopped warms up like a seek: the
// fresh decoders hold none of the state the frame depends on. A stop may
// leave the stream read ahead of the frame to resume from, even frame 0.
std::optional<StartingPoint> StartingSeek(DecodeJob& job) {
    if (std::optional<int> target = TakeSeekRequest(job))
        return StartingPoint{*target, false};
    const int current = PositionFrame(job);
    if (current > 0 || job.stream->CurrentFrame() != current)
        return StartingPoint{current, true};
    return std::nullopt;
}

std::string SeekFailure(int target, SeekOutcome outcome) {
    if (outcome == SeekOutcome::PastTheEnd)
        return "frame " + std::to_string(target) + " is past the end of the stream";
    return "cannot seek to frame " + std::to_string(target);
}

} // namespace

int RunDecode(DecodeJob& job, const RunProgress& progress, std::string* failure) {
    RunState run;
    run.failure = failure;
    if (!job.stream || !job.header || !ValidFrame(*job.header)) {
        run.Fail("no MPEG audio frame to decode");
        return 1;
    }
    MpegFileStream& stream = *job.stream;
    FrameHeader& header = *job.header;

    const int channels = job.output_channels;
    const ChannelChoice choice = channels == 1 ? ChannelChoice::LeftOnly : job.channel_choice;
    run.synth0 = std::make_unique<PolyphaseSynthesizer>(0, kPcmScale);
    if (channels == 2 && choice == ChannelChoice::Both)
        run.synth1 = std::make_unique<PolyphaseSynthesizer>(1, kPcmScale);
    if (channels == 1)
        run.mix_scratch = std::make_unique<PolyphaseSynthesizer>(1, kPcmScale);

    // A pending seek is carried out before any output exists: one that
    // cannot land leaves no file behind. Past the end, a conversion has
    // nothing to write, and playing ends as at the end of the stream.
    job.stream_ended.store(false);
    const std::optional<StartingPoint> start = StartingSeek(job);
    if (start) {
        const SeekOutcome outcome = SeekTo(job, run, start->frame);
        if (outcome == SeekOutcome::PastTheEnd)
            job.stream_ended.store(true);
        if (outcome == SeekOutcome::Failed ||
            (outcome == SeekOutcome::PastTheEnd && job.output_mode == OutputMode::WavFile)) {
            run.Fail(SeekFailure(start->frame, outcome));
            return Finish(run, false, 1);
        }
        if (outcome == SeekOutcome::PastTheEnd)
            return Finish(run, false, 0);
    }
    if (!CreateOutput(job, channels, run))
        return Finish(run, false, 1);
    // A pause faded out; playing on fades in as after a seek. A conversion
    // (and a run asked to start at a frame) stays exact.
    if (start && start->resumes && run.sink && !run.wav_file)
        run.gate->Clear();
    // A long conversion splits over the cores, into the same bytes.
    const int first = start ? start->frame : stream.CurrentFrame();
    if (run.wav_file && ConvertsInRuns(job, first)) {
        const int result = ConvertInRuns(job, first, *run.wav_file, progress, failure);
        return Finish(run, job.stop_requested.load(), result);
    }

    int layer = 0;
    // The first frame of a run (and the first after a seek) is taken without
    // its CRC test: its accumulator is gone.
    FrameCrc* crc = nullptr;
    for (;;) {
        if (job.stop_requested.load())
            return Finish(run, true, 0);
        if (std::optional<int> target = TakeSeekRequest(job)) {
            const SeekOutcome outcome = SeekTo(job, run, *target);
            if (outcome == SeekOutcome::PastTheEnd) {
                job.stream_ended.store(true);
                return Finish(run, false, 0);
            }
            if (outcome == SeekOutcome::Failed) {
                run.Fail(SeekFailure(*target, outcome));
                return Finish(run, false, 1);
            }
            crc = nullptr;
        }
        if (header.layer != layer) {
            if (header.layer == 3)
                CreateLayer3Decoder(job, choice, run);
            else if (layer == 3)
                run.layer3.reset();
            layer = header.layer;
        }

        const int frame = stream.CurrentFrame();
        run.gate->SetOpen(frame >= job.audible_from.load());
        const FrameMix mix = MixFor(channels, header.mode == kSingleChannel);
        if (frame < run.full_from) {
            if (layer == 3)
                run.layer3->KeepMainData();
        } else if (layer == 3)
            run.layer3->DecodeFrame();
        else
            DecodeLayer12Frame(stream, header, crc, choice, *run.synth0,
                               mix == FrameMix::MeanToMono ? run.mix_scratch.get()
                                                           : run.synth1.get(),
                               *run.gate, mix);
        if (run.wav_file && run.wav_file->Failed())
            return Finish(run, false, 1);
        if (progress)
            progress();

        if (!header.ReadNext(stream, crc)) {
            job.stream_ended.store(true);
            return Finish(run, false, 0);
        }
    }
}

} // namespace audiocore
