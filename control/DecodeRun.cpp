#include "DecodeRun.h"

#include "FrameCrc.h"
#include "Layer12Decoder.h"
#include "Layer3FrameDecoder.h"
#include "PolyphaseSynthesizer.h"
#include "WavFileSink.h"
#include "WaveOutSink.h"

#include <cstring>
#include <memory>

namespace audiocore {

namespace {

// The filter bank's output is scaled straight to 16-bit sample values.
constexpr float kPcmScale = 32768.0f;

// What one run owns. The Layer III decoder refers to the synthesizers and
// the sink, so it goes first when the run ends.
struct RunState {
    std::unique_ptr<PolyphaseSynthesizer> synth0;
    std::unique_ptr<PolyphaseSynthesizer> synth1;
    std::unique_ptr<PcmSink> sink;
    WavFileSink* wav_file = nullptr; // the sink, when the run writes a WAV file
    std::unique_ptr<Layer3FrameDecoder> layer3;
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
    case OutputMode::Device:
    case OutputMode::DeviceAlso:
        run.sink = CreateDeviceSink(job);
        if (run.sink)
            return true;
        run.Fail("could not open wave device");
        return false;
    }
    run.Fail("no audio output for this output mode");
    return false;
}

void CreateLayer3Decoder(DecodeJob& job, ChannelChoice choice, RunState& run) {
    run.layer3 = std::make_unique<Layer3FrameDecoder>(*job.stream, *job.header, *run.synth0,
                                                      run.synth1.get(), *run.sink, choice);
}

// Ends the run: warns the sink of a stop, completes the output and releases
// everything. A WAV file that could not be written completely turns the run
// into a failure.
int Finish(RunState& run, bool stopped, int result) {
    if (stopped && run.sink)
        run.sink->Stop();
    run.layer3.reset();
    if (run.wav_file && !run.wav_file->Close()) {
        run.Fail(WavFailure("cannot write the WAV file", run.wav_file->Error()));
        result = 1;
    }
    run.wav_file = nullptr;
    run.sink.reset();
    run.synth1.reset();
    run.synth0.reset();
    return result;
}

bool ValidFrame(const FrameHeader& header) {
    return header.layer >= 1 && header.layer <= 3 && header.sample_frequency >= 0 &&
           header.sample_frequency <= 2;
}

// Carries out a pending seek request. False when the target frame cannot be
// reached.
bool Seek(DecodeJob& job, RunState& run) {
    run.sink->Clear();
    if (!job.header->SeekToFrame(*job.stream, job.seek_target.load()))
        return false;
    job.seek_requested.store(false);
    run.synth0->Reset();
    if (run.synth1)
        run.synth1->Reset();
    if (run.layer3)
        run.layer3->ResetForSeek();
    return true;
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

    const bool single_channel = header.mode == kSingleChannel;
    const ChannelChoice choice = single_channel ? ChannelChoice::LeftOnly : job.channel_choice;
    run.synth0 = std::make_unique<PolyphaseSynthesizer>(0, kPcmScale);
    if (!single_channel && choice == ChannelChoice::Both)
        run.synth1 = std::make_unique<PolyphaseSynthesizer>(1, kPcmScale);
    if (!CreateSink(job, single_channel ? 1 : 2, run))
        return Finish(run, false, 1);

    int layer = header.layer;
    if (layer == 3)
        CreateLayer3Decoder(job, choice, run);
    // The first frame of a run (and the first after a seek) is taken without
    // its CRC test: its accumulator is gone.
    FrameCrc* crc = nullptr;
    for (;;) {
        if (job.stop_requested.load())
            return Finish(run, true, 0);
        if (job.seek_requested.load()) {
            if (!Seek(job, run)) {
                run.Fail("cannot seek to frame " + std::to_string(job.seek_target.load()));
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

        if (layer == 3)
            run.layer3->DecodeFrame();
        else
            DecodeLayer12Frame(stream, header, crc, choice, *run.synth0, run.synth1.get(),
                               *run.sink);
        if (run.wav_file && run.wav_file->Failed())
            return Finish(run, false, 1);
        if (progress)
            progress();

        if (!header.ReadNext(stream, crc))
            return Finish(run, false, 0);
    }
}

} // namespace audiocore
