#pragma once

#include "DecodeJob.h"
#include "FollowingSongs.h"
#include "Worker.h"

#include <atomic>
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
    static constexpr double kMinPreampDb = -60.0;
    static constexpr double kMaxPreampDb = 24.0;

    explicit ControlEngine(NoticePoster poster);
    // Stops a running worker and waits for it before the job goes.
    ~ControlEngine();
    ControlEngine(const ControlEngine&) = delete;
    ControlEngine& operator=(const ControlEngine&) = delete;

    // Replaces the job with one on `path`, stopping a running worker first.
    // Anything but Opened leaves a job that Play and WriteWAV refuse. The
    // song queued to follow is dropped. `reason` (when given) says why the
    // file did not open.
    OpenResult OpenSourceFile(const std::string& path, std::string* reason = nullptr);

    // The song to play when the open one ends, on the same device without
    // a gap: opened now, so that a file that cannot be opened is known at
    // once (nothing is then queued). An empty path queues nothing. Once the
    // run has gone on into it, the song queued next follows that one.
    OpenResult SetNextSourceFile(const std::string& path, std::string* reason = nullptr);
    std::string NextSourceFile() const;
    // The file of the song being heard.
    std::string SourceFile() const { return job_ ? job_->decoder.Path() : std::string(); }
    // True once when the listener has reached the queued song: from then on
    // it is the open song (SourceFile, the position and the facts describe
    // it) and nothing is queued.
    bool PollAdvance();
    // How many times the open song has become the one queued.
    std::uint64_t Advances() const { return advances_; }

    std::int32_t Volume() const { return volume_; }
    void SetVolume(std::int32_t volume);
    // The gain songs play with from the next Play, and from the next song
    // that follows on; Off until a host asks. Automatic counts as Album (the engine plays songs
    // in the order it is given them; a host that shuffles asks for Track).
    // The song that sounds keeps its gain, so loudness never jumps within it.
    ReplayGainMode ReplayGain() const { return replay_gain_.load(); }
    void SetReplayGain(ReplayGainMode mode) { replay_gain_.store(mode); }
    // The gain in dB of songs that carry none.
    double ReplayGainPreamp() const { return preamp_db_.load(); }
    // Held within -60 ... +24 dB; a value that is no number counts as 0.
    void SetReplayGainPreamp(double db);
    // The open song's loudness facts.
    LoudnessFacts Loudness() const { return job_ ? job_->loudness : LoudnessFacts{}; }
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
    // Releases an ended run's thread; a song it went on into becomes the
    // open one if it was heard, else it is queued again.
    void EndRun();
    // The worker's question at the end of a song of run `run`.
    DecodeJob* TakeNext(RunNumber run);
    void SetRunTargets(DecodeJob& job, RunNumber run);
    // The device run settings a song plays with: volume, device, gain.
    void SetPlaySettings(DecodeJob& job) const;

    NoticePoster poster_;
    std::unique_ptr<DecodeJob> job_;
    bool playable_ = false;
    FollowingSongs following_;
    std::uint64_t advances_ = 0;
    WorkerThread worker_;
    RunNumber last_run_ = 0;
    // Read by the worker too, when it takes the next song.
    std::atomic<std::int32_t> volume_{kDefaultVolume};
    std::atomic<std::int32_t> output_dev_id_{0};
    std::atomic<ReplayGainMode> replay_gain_{ReplayGainMode::Off};
    std::atomic<double> preamp_db_{0.0};
    mutable Facts facts_;
};

} // namespace audiocore
