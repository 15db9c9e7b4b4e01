#include "ControlEngine.h"

#include "StreamInfo.h"
#include "WriteWav.h"

#include <algorithm>
#include <atomic>
#include <climits>

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

OpenResult ControlEngine::OpenSourceFile(const std::string& path) {
    StopAndRelease();
    job_ = std::make_unique<DecodeJob>();
    const OpenResult result = OpenSource(*job_, path);
    playable_ = result == OpenResult::Opened;
    if (playable_)
        RefreshFacts();
    else
        facts_ = Facts{};
    return result;
}

void ControlEngine::SetVolume(std::int32_t volume) {
    volume_ = volume;
    if (worker_.Running() && job_)
        job_->device->SetVolume(DeviceVolume(static_cast<std::uint32_t>(volume)));
}

int ControlEngine::GetPosition() const {
    return job_ ? PositionFrame(*job_) : 0;
}

int ControlEngine::SetPosition(int frame) {
    if (!job_)
        return 0;
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
    job.output_mode = OutputMode::Device;
    job.volume = static_cast<std::uint16_t>(volume_ & 0xFFFF);
    job.device_number = output_dev_id_;
    const RunNumber run = ++last_run_;
    job.notify_target = [poster = poster_, run](int how) {
        if (poster)
            poster(run, how);
    };
    RefreshFacts();
    worker_.Start(job, ReleaseDecode);
    return 0;
}

int ControlEngine::Stop() {
    if (!job_)
        return 0;
    const bool running = worker_.Running();
    // The device ends now, at the end of the frame it is playing, rather
    // than when the worker next looks, which may be a whole buffer later;
    // the next Play starts with the frame after it.
    if (running)
        EndAtHeardFrame(*job_);
    job_->stop_requested.store(true);
    if (running)
        worker_.WaitFor(kStopWait);
    return 0;
}

int ControlEngine::WriteWAV(const std::string& filename) {
    if (!job_ || !playable_ || worker_.Running())
        return -1;
    if (!ClaimDecode())
        return -1;
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
    worker_.Join();
    RefreshFacts();
    return true;
}

void ControlEngine::RefreshFacts() const {
    if (!playable_ || !job_->header || !job_->stream)
        return;
    const FrameHeader& header = *job_->header;
    facts_.frame_count = AudioFrameCount(*job_);
    facts_.length_ms =
        static_cast<int>(std::min<std::int64_t>(header.LengthMs(facts_.frame_count), INT_MAX));
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
