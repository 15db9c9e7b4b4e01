#pragma once

#include "DecodeJob.h"
#include "Worker.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace audiocore {

// What the Audiocore control does, without Qt: it owns the decode job of the
// open file and the worker of a Play run, and answers the control's members.
// The Qt control and the command line are two hosts of it.
//
// All members run on the host's thread. The end of a Play run arrives on the
// worker thread through the poster, which must carry it to the host's thread
// and there call CompleteRun with the same run number.
class ControlEngine {
public:
    using RunNumber = std::uint64_t;
    using NoticePoster = std::function<void(RunNumber run, int how)>;

    static constexpr std::int32_t kDefaultVolume = 65535;
    static constexpr auto kStopWait = std::chrono::milliseconds(1000);

    explicit ControlEngine(NoticePoster poster);
    // Stops a running worker and waits for it before the job goes.
    ~ControlEngine();
    ControlEngine(const ControlEngine&) = delete;
    ControlEngine& operator=(const ControlEngine&) = delete;

    // Replaces the job with one on `path`, stopping a running worker first.
    // Anything but Opened leaves a job that Play and WriteWAV refuse.
    OpenResult OpenSourceFile(const std::string& path);

    std::int32_t Volume() const { return volume_; }
    void SetVolume(std::int32_t volume);
    std::int32_t OutputDevID() const { return output_dev_id_; }
    void SetOutputDevID(std::int32_t id) { output_dev_id_ = id; }

    bool IsPlaying() const { return worker_.Running(); }
    int GetPosition() const;
    int SetPosition(int frame);
    int GetFrameCount() const;
    int Play();
    int Stop();
    int GetLength() const;
    bool Copyright() const;
    std::string GetInfo() const;
    int WriteWAV(const std::string& filename);

    // Whether the last Play run could not play (no device, a failed seek).
    // Read after its CompleteRun.
    bool LastRunFailed() const { return job_ && job_->run_failed.load(); }
    // Why, in a line: "could not open wave device: ..."; empty after a run
    // that played.
    std::string LastRunFailure() const {
        return LastRunFailed() ? job_->run_failure : std::string();
    }

    // True when `run` is the latest Play run: its thread is released and the
    // host raises Finished. A notice of an older run is dropped.
    bool CompleteRun(RunNumber run);

private:
    // The stream facts, read from the header while no run can change it and
    // kept for the time a run plays.
    struct Facts {
        int frame_count = 0;
        int length_ms = 0;
        bool copyright = false;
        std::string info;
    };
    void RefreshFacts() const;
    const Facts& CurrentFacts() const;
    void StopAndRelease();

    NoticePoster poster_;
    std::unique_ptr<DecodeJob> job_;
    bool playable_ = false;
    WorkerThread worker_;
    RunNumber last_run_ = 0;
    std::int32_t volume_ = kDefaultVolume;
    std::int32_t output_dev_id_ = 0;
    mutable Facts facts_;
};

} // namespace audiocore
