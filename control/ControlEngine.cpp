#include "ControlEngine.h"

#include "ReplayGainTags.h"
#include "StreamInfo.h"
#include "WriteWav.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cmath>

namespace audiocore {

namespace {

// The device handle is the module's, so only one decode runs at a time in a
// process, whichever control asks for it.
std::atomic<bool> decode_active{false};

bool ClaimDecode() {
    return !decode_active.exchange(true);
}
void ReleaseDecode() {
    decode_active.store(false);
}

// Opens the song and reads its loudness and its first frame's facts, once,
// while nothing plays it: a run rewrites the header frame by frame.
OpenResult OpenSong(DecodeJob& job, const std::string& path, std::string* reason) {
    const OpenResult result = job.decoder.Open(path, reason);
    if (result == OpenResult::Opened) {
        job.loudness = ReadLoudnessFacts(path, job.decoder.Encoder());
        job.opened_info = StreamInfoLine(job.decoder.Header());
        job.opened_copyright = job.decoder.Header().copy_flags[0];
    }
    return result;
}

} // namespace

ControlEngine::ControlEngine(NoticePoster poster) : poster_(std::move(poster)) {}

ControlEngine::~ControlEngine() {
    StopAndRelease();
}

void ControlEngine::StopAndRelease() {
    if (worker_.Running())
        Stop();
    // The worker may outlive Stop's wait; it was told to stop and the device
    // was reset, so it ends within a frame, and the job must outlive it.
    worker_.Join();
}

OpenResult ControlEngine::OpenSourceFile(const std::string& path, std::string* reason) {
    StopAndRelease();
    following_.Clear();
    job_ = std::make_unique<DecodeJob>();
    const OpenResult result = OpenSong(*job_, path, reason);
    playable_ = result == OpenResult::Opened;
    if (playable_)
        RefreshFacts();
    else
        facts_ = Facts{};
    return result;
}

OpenResult ControlEngine::SetNextSourceFile(const std::string& path, std::string* reason) {
    std::unique_ptr<DecodeJob> next;
    OpenResult result = OpenResult::Opened;
    if (!path.empty()) {
        next = std::make_unique<DecodeJob>();
        result = OpenSong(*next, path, reason);
        if (result != OpenResult::Opened)
            next.reset();
    }
    following_.Queue(std::move(next));
    return result;
}

std::string ControlEngine::NextSourceFile() const {
    return following_.QueuedPath();
}

DecodeJob* ControlEngine::TakeNext(RunNumber run) {
    return following_.Take([this, run](DecodeJob& next) {
        SetPlaySettings(next);
        SetRunTargets(next, run);
    });
}

void ControlEngine::SetPlaySettings(DecodeJob& job) const {
    job.output_mode = OutputMode::Device;
    job.volume = static_cast<std::uint16_t>(volume_ & 0xFFFF);
    job.device_number = output_dev_id_;
    job.gain = GainScale(job.loudness, replay_gain_.load(), preamp_db_.load());
}

void ControlEngine::SetRunTargets(DecodeJob& job, RunNumber run) {
    job.notify_target = [poster = poster_, run](int how) {
        if (poster)
            poster(run, how);
    };
    job.next_song = [this, run] { return TakeNext(run); };
}

bool ControlEngine::PollAdvance() {
    const bool running = worker_.Running();
    // While the run plays, a song is reached when the device plays its
    // first byte; a run that ended in the song (played to its end, or
    // unable to play it) has reached it too, one stopped before it was
    // heard has not.
    auto reached = [running](const DecodeJob& song) {
        if (running)
            return song.played.Reached(song.device->PlayedBytes());
        return (song.stream_ended.load() && !song.stop_requested.load()) || song.run_failed.load();
    };
    bool advanced = false;
    // The song before is no longer touched by the run: it went on into
    // this one before the listener could reach it.
    while (std::unique_ptr<DecodeJob> heard = following_.TakeReached(reached)) {
        job_ = std::move(heard);
        ++advances_;
        advanced = true;
    }
    if (advanced) {
        playable_ = true;
        RefreshFacts();
    }
    return advanced;
}

void ControlEngine::SetVolume(std::int32_t volume) {
    volume_ = volume;
    if (worker_.Running() && job_)
        job_->device->SetVolume(DeviceVolume(static_cast<std::uint32_t>(volume)));
}

void ControlEngine::SetReplayGainPreamp(double db) {
    preamp_db_.store(std::isfinite(db) ? std::clamp(db, kMinPreampDb, kMaxPreampDb) : 0.0);
}

int ControlEngine::GetPosition() const {
    return job_ ? PositionFrame(*job_) : 0;
}

int ControlEngine::SetPosition(int frame) {
    if (!job_)
        return 0;
    // The run has gone on into the next song while this one still sounds:
    // it must come back to this one, from the frame asked.
    PollAdvance();
    if (worker_.Running() && following_.InFlight()) {
        Stop();
        EndRun();
        job_->seek_target.store(frame);
        job_->seek_requested.store(true);
        Play();
        return 0;
    }
    job_->seek_target.store(frame);
    // The old position stops sounding at once; the new one is heard once
    // the run has filled two buffers from it.
    if (worker_.Running())
        job_->device->Interrupt();
    job_->seek_requested.store(true);
    return 0;
}

int ControlEngine::Play() {
    if (!job_ || !playable_ || worker_.Running())
        return -1;
    if (!ClaimDecode())
        return -1;
    worker_.Join();
    DecodeJob& job = *job_;
    job.stop_requested.store(false);
    SetPlaySettings(job);
    const RunNumber run = ++last_run_;
    SetRunTargets(job, run);
    RefreshFacts();
    worker_.Start(job, ReleaseDecode);
    return 0;
}

int ControlEngine::Stop() {
    if (!job_)
        return 0;
    PollAdvance();
    const bool running = worker_.Running();
    // The device ends now, at the end of the frame it is playing, rather
    // than when the worker next looks, which may be a whole buffer later;
    // the next Play starts with the frame after it.
    if (running)
        EndAtHeardFrame(*job_);
    job_->stop_requested.store(true);
    following_.StopInFlight();
    if (running)
        worker_.WaitFor(kStopWait);
    return 0;
}

int ControlEngine::WriteWAV(const std::string& filename) {
    if (!job_ || !playable_ || worker_.Running())
        return -1;
    if (!ClaimDecode())
        return -1;
    // A conversion keeps the song's samples as they are.
    job_->gain = kUnityGain;
    // The whole name is used: cut to a fixed length it could name another
    // file, which the conversion would then overwrite.
    const int result = WriteWav(*job_, filename);
    ReleaseDecode();
    RefreshFacts();
    return result;
}

bool ControlEngine::CompleteRun(RunNumber run) {
    if (run != last_run_)
        return false;
    EndRun();
    RefreshFacts();
    return true;
}

void ControlEngine::EndRun() {
    worker_.Join();
    PollAdvance();
    following_.Requeue();
}

void ControlEngine::RefreshFacts() const {
    if (!playable_ || !job_->decoder.IsOpen())
        return;
    const MpegDecoder& decoder = job_->decoder;
    facts_.frame_count = decoder.FrameCount();
    facts_.length_ms = static_cast<int>(std::min<std::int64_t>(decoder.LengthMs(), INT_MAX));
    // A song the run went on into is read by its thread: what its first
    // frame said stands for it.
    if (worker_.Running()) {
        facts_.copyright = job_->opened_copyright;
        facts_.info = job_->opened_info;
        return;
    }
    const FrameHeader& header = decoder.Header();
    facts_.copyright = header.copy_flags[0];
    facts_.info = StreamInfoLine(header);
}

const ControlEngine::Facts& ControlEngine::CurrentFacts() const {
    // While a run plays, the worker rewrites the header frame by frame.
    if (!worker_.Running())
        RefreshFacts();
    return facts_;
}

int ControlEngine::GetFrameCount() const {
    return job_ ? CurrentFacts().frame_count : 0;
}
int ControlEngine::GetLength() const {
    return job_ ? CurrentFacts().length_ms : 0;
}
bool ControlEngine::Copyright() const {
    return job_ ? CurrentFacts().copyright : false;
}
std::string ControlEngine::GetInfo() const {
    return job_ ? CurrentFacts().info : std::string();
}

} // namespace audiocore
