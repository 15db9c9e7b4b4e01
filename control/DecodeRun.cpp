#include "DecodeRun.h"

#include "ConversionRuns.h"
#include "WavFileSink.h"
#include "WaveOutSink.h"

#include <cstring>
#include <memory>
#include <optional>

namespace audiocore {

namespace {

// What one run owns: its output, which is one of the WAV file, the device
// or the caller's sink.
struct RunState {
    std::unique_ptr<WavFileSink> wav_file;
    std::unique_ptr<WaveOutSink> device;
    PcmSink* out = nullptr;
    std::string* failure = nullptr;

    void Fail(const std::string& why) {
        if (failure && failure->empty())
            *failure = why;
    }
};

std::string WavFailure(const char* what, int error) {
    return std::string(what) + (error != 0 ? std::string(": ") + std::strerror(error) : "");
}

bool OpenDevice(DecodeJob& job, RunState& run) {
    std::string why;
    run.device = CreateDeviceSink(job, &why);
    run.out = run.device.get();
    if (!run.device)
        run.Fail("could not open wave device" + (why.empty() ? std::string() : ": " + why));
    return run.out != nullptr;
}

// The output for the job's output mode; false when there is none.
bool CreateOutput(DecodeJob& job, RunState& run) {
    const MpegDecoder& decoder = job.decoder;
    switch (job.output_mode) {
    case OutputMode::WavFile: {
        int error = 0;
        run.wav_file = WavFileSink::Create(decoder.Channels(), decoder.SampleRateHz(),
                                           decoder.FrameSamples(), job.wav_name, &error, job.gain);
        if (!run.wav_file)
            run.Fail(WavFailure("cannot create the WAV file", error));
        run.out = run.wav_file.get();
        return run.out != nullptr;
    }
    case OutputMode::Sink:
        run.out = job.sink;
        if (!run.out)
            run.Fail("no sink to decode into");
        return run.out != nullptr;
    case OutputMode::Device:
    case OutputMode::DeviceAlso:
        return OpenDevice(job, run);
    }
    run.Fail("no audio output for this output mode");
    return false;
}

// Ends the run: warns the output of a stop, completes it and releases it.
// A WAV file that could not be written completely turns the run into a
// failure. The device plays out what it holds before it closes.
int Finish(RunState& run, bool stopped, int result) {
    if (stopped && run.out)
        run.out->Stop();
    if (run.wav_file && !run.wav_file->Close()) {
        run.Fail(WavFailure("cannot write the WAV file", run.wav_file->Error()));
        result = 1;
    }
    run.wav_file.reset();
    run.device.reset();
    run.out = nullptr;
    return result;
}

// Positions the job's decoder at `target`; what the output holds from
// before is dropped first.
SeekOutcome SeekTo(DecodeJob& job, RunState& run, int target) {
    // Counted from the target before the device is reset, so that the
    // position never reads the old run's frames from the new count.
    const bool heard =
        job.output_mode == OutputMode::Device || job.output_mode == OutputMode::DeviceAlso;
    job.played.Restart(target, heard);
    if (run.out)
        run.out->Clear();
    return job.decoder.Seek(target);
}

// The target of a pending seek request, taken with the request so that one
// made during a long seek is never lost.
std::optional<int> TakeSeekRequest(DecodeJob& job) {
    if (!job.seek_requested.exchange(false))
        return std::nullopt;
    return job.seek_target.load();
}

// Where a run starts when not at the frame the decoder stands on.
// `resumes` when it goes on where a stop left it rather than where a seek
// asked.
struct StartingPoint {
    int frame = 0;
    bool resumes = false;
};

// A run that starts where an earlier one stopped warms up like a seek: the
// decoder has moved past the frame to resume from. A stop may leave the
// decoder read ahead of the frame to resume from, even frame 0.
std::optional<StartingPoint> StartingSeek(DecodeJob& job) {
    if (std::optional<int> target = TakeSeekRequest(job))
        return StartingPoint{*target, false};
    const int current = PositionFrame(job);
    if (current > 0 || job.decoder.Position() != current)
        return StartingPoint{current, true};
    return std::nullopt;
}

std::string SeekFailure(int target, SeekOutcome outcome) {
    if (outcome == SeekOutcome::PastTheEnd)
        return "frame " + std::to_string(target) + " is past the end of the stream";
    return "cannot seek to frame " + std::to_string(target);
}

// The song that follows `ended` on the device, from its first frame: in
// the same device stream when its format fits, sample after sample, else
// after the device has played out and opened again for it. Null when no
// song follows or the device cannot play it.
DecodeJob* FollowOn(DecodeJob& ended, RunState& run) {
    if (!run.device || !ended.next_song)
        return nullptr;
    DecodeJob* next = ended.next_song();
    if (!next)
        return nullptr;
    MpegDecoder& decoder = next->decoder;
    // A song that was decoded before (a run that went on into it was
    // stopped) starts over.
    if (decoder.Position() != 0 && decoder.Seek(0) != SeekOutcome::Landed)
        return nullptr;
    next->stop_requested.store(false);
    next->stream_ended.store(false);
    next->run_failed.store(false);
    if (run.device->Takes(decoder.Channels(), decoder.SampleRateHz(), decoder.FrameSamples())) {
        next->played.Begin(0, run.device->QueuedBytes());
        run.device->SetPlayed(&next->played);
        run.device->SetGain(next->gain);
        return next;
    }
    run.device.reset();
    return OpenDevice(*next, run) ? next : nullptr;
}

// Decodes the job's frames into the output until the end of the stream, a
// stop or a failure. Between frames it honours the job's stop and seek
// requests. nullopt while the stream went to its end.
std::optional<int> DecodeFrames(DecodeJob& job, RunState& run, const RunProgress& progress) {
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
        }
        job.decoder.DecodeFrame(*run.out);
        if (run.wav_file && run.wav_file->Failed())
            return Finish(run, false, 1);
        if (progress)
            progress();
        if (job.decoder.AtEnd()) {
            job.stream_ended.store(true);
            return std::nullopt;
        }
    }
}

} // namespace

int RunDecode(DecodeJob& job, const RunProgress& progress, std::string* failure,
              DecodeJob** reached) {
    RunState run;
    run.failure = failure;
    if (reached)
        *reached = &job;
    if (!job.decoder.IsOpen()) {
        run.Fail("no MPEG audio frame to decode");
        return 1;
    }

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
    if (!CreateOutput(job, run))
        return Finish(run, false, 1);
    // A pause faded out; playing on fades in as after a seek. A conversion
    // (and a run asked to start at a frame) stays exact.
    if (start && start->resumes && run.device)
        run.device->Clear();
    // A long conversion splits over the cores, into the same bytes.
    const int first = start ? start->frame : job.decoder.Position();
    if (run.wav_file && ConvertsInRuns(job, first)) {
        const int result = ConvertInRuns(job, first, *run.wav_file, progress, failure);
        return Finish(run, job.stop_requested.load(), result);
    }

    for (DecodeJob* song = &job; song; song = FollowOn(*song, run)) {
        if (reached)
            *reached = song;
        if (std::optional<int> result = DecodeFrames(*song, run, progress))
            return *result;
    }
    return Finish(run, false, 0);
}

} // namespace audiocore
