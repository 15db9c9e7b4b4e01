#include "ConversionRuns.h"

#include "PcmFrame.h"
#include "WavFileSink.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace audiocore {

namespace {

constexpr int kMaxThreads = 4;
constexpr int kSpareBuffers = 1;

int ThreadsFor(const ConversionSplit& split) {
    if (split.threads > 0)
        return std::min(split.threads, kMaxThreads);
    const auto cores = static_cast<int>(std::thread::hardware_concurrency());
    return std::clamp(cores, 1, kMaxThreads);
}

// One run's PCM, frame by frame in the WAV file's layout, in a buffer of the
// board's.
class RunPcm final : public PcmSink {
public:
    RunPcm(std::uint32_t channels, std::uint32_t frame_bytes) : frame_(channels, frame_bytes) {}

    void Append(std::uint32_t channel, std::int16_t sample) override {
        AppendBlock(channel, &sample, 1);
    }
    void AppendBlock(std::uint32_t channel, const std::int16_t* samples,
                     std::size_t count) override {
        frame_.Store(channel, samples, count);
    }
    void EndFrame() override {
        frame_.AppendTo(bytes_);
        frame_.Next();
    }
    void Clear() override {
        bytes_.clear();
        frame_.Next();
    }
    void Stop() override {}

    // Fills `buffer` (emptied) with the next run.
    void Fill(std::vector<std::uint8_t> buffer) {
        buffer.clear();
        bytes_ = std::move(buffer);
    }
    std::vector<std::uint8_t> Take() { return std::move(bytes_); }

private:
    PcmFrame frame_;
    std::vector<std::uint8_t> bytes_;
};

struct Run {
    std::vector<std::uint8_t> pcm;
    bool done = false;
    bool ok = false;
    std::string failure;
};

// What the threads share: the runs, which thread takes which, and the
// buffers. There is a fixed set of them, each the size of a run, made once:
// a thread takes a run only with a free buffer, and the writer frees one
// once it has written its run. So memory stays the same whatever the file's
// length, and no run allocates.
struct RunBoard {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<Run> runs;
    int next = 0;
    bool abandoned = false;
    std::vector<std::vector<std::uint8_t>> free_buffers;

    RunBoard(int run_count, int buffers, std::size_t run_bytes)
        : runs(static_cast<std::size_t>(run_count)),
          free_buffers(static_cast<std::size_t>(buffers)) {
        for (std::vector<std::uint8_t>& buffer : free_buffers)
            buffer.reserve(run_bytes);
    }

    // The next run to decode with the buffer to decode it into, or -1 when
    // there is none left or the conversion was abandoned.
    int Take(std::vector<std::uint8_t>& buffer) {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] {
            return abandoned || next >= static_cast<int>(runs.size()) || !free_buffers.empty();
        });
        if (abandoned || next >= static_cast<int>(runs.size()))
            return -1;
        buffer = std::move(free_buffers.back());
        free_buffers.pop_back();
        return next++;
    }
    void Finish(int k, std::vector<std::uint8_t> pcm, bool ok, std::string failure) {
        {
            std::lock_guard lock(mutex);
            Run& run = runs[static_cast<std::size_t>(k)];
            run.pcm = std::move(pcm);
            run.ok = ok;
            run.failure = std::move(failure);
            run.done = true;
        }
        changed.notify_all();
    }
    void Free(std::vector<std::uint8_t> buffer) {
        {
            std::lock_guard lock(mutex);
            free_buffers.push_back(std::move(buffer));
        }
        changed.notify_all();
    }
    void Abandon() {
        {
            std::lock_guard lock(mutex);
            abandoned = true;
        }
        changed.notify_all();
    }
};

// Where the runs of one conversion lie.
struct RunPlan {
    int first = 0;
    int end = 0;
    int length = 0;

    int Count() const { return (end - first + length - 1) / length; }
    int Start(int k) const { return first + k * length; }
    int End(int k) const { return std::min(Start(k) + length, end); }
};

// Decodes frames [start, end) of `decoder` into `pcm`, starting with a seek
// so that the frames before `start` restore what it depends on.
bool DecodeOneRun(MpegDecoder& decoder, RunPcm& pcm, int start, int end, std::string& failure) {
    if (decoder.Seek(start) != SeekOutcome::Landed) {
        failure = "cannot seek to frame " + std::to_string(start);
        return false;
    }
    for (int frame = start; frame < end && decoder.DecodeFrame(pcm); ++frame) {
    }
    return true;
}

void DecodeRuns(const DecodeJob& source, const RunPlan& plan, std::uint32_t frame_bytes,
                RunBoard& board) {
    // Each thread reads the file with a decoder of its own, sharing the
    // source's frame index.
    MpegDecoder copy;
    std::string failure;
    const bool opened = copy.OpenLike(source.decoder, &failure) == OpenResult::Opened;
    RunPcm pcm(static_cast<std::uint32_t>(source.decoder.Channels()), frame_bytes);
    std::vector<std::uint8_t> buffer;
    for (int k = board.Take(buffer); k >= 0; k = board.Take(buffer)) {
        pcm.Fill(std::move(buffer));
        const bool ok = opened && DecodeOneRun(copy, pcm, plan.Start(k), plan.End(k), failure);
        board.Finish(k, pcm.Take(), ok, failure);
    }
}

// Puts the job's decoder where a conversion on one thread would leave it:
// at `frame`, or at the end of the stream.
void PositionAfter(DecodeJob& job, int frame, int end) {
    if (frame >= end)
        job.stream_ended.store(true);
    job.decoder.Seek(std::min(frame, end - 1));
}

} // namespace

bool ConvertsInRuns(const DecodeJob& job, int first) {
    if (job.output_mode != OutputMode::WavFile || job.decoder.Path().empty() ||
        ThreadsFor(job.split) < 2 || job.split.run_frames < 1)
        return false;
    const int left = job.decoder.WalkedFrames() - first;
    return left >= std::max(job.split.min_frames, 2);
}

int ConvertInRuns(DecodeJob& job, int first, WavFileSink& out, const RunProgress& progress,
                  std::string* failure) {
    const RunPlan plan{first, job.decoder.WalkedFrames(), job.split.run_frames};
    const int threads = ThreadsFor(job.split);
    // A buffer for each thread and one more, so that a thread done with a
    // run goes on to the next while the writer stores an earlier one.
    RunBoard board(plan.Count(), threads + kSpareBuffers,
                   static_cast<std::size_t>(out.FrameBytes()) *
                       static_cast<std::size_t>(plan.length));

    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t)
        workers.emplace_back(DecodeRuns, std::cref(job), std::cref(plan), out.FrameBytes(),
                             std::ref(board));

    int result = 0;
    int written = first;
    for (int k = 0; k < plan.Count(); ++k) {
        std::unique_lock lock(board.mutex);
        Run& run = board.runs[static_cast<std::size_t>(k)];
        board.changed.wait(lock, [&] { return run.done; });
        std::vector<std::uint8_t> pcm = std::move(run.pcm);
        const bool ok = run.ok;
        if (!ok && failure && failure->empty())
            *failure = run.failure;
        lock.unlock();
        if (!ok) {
            out.Discard();
            result = 1;
            break;
        }
        out.StoreFrames(pcm.data(), pcm.size());
        written = plan.End(k);
        board.Free(std::move(pcm));
        PositionAfter(job, written, plan.end);
        if (progress)
            progress();
        if (out.Failed()) {
            result = 1;
            break;
        }
        if (job.stop_requested.load())
            break;
    }
    board.Abandon();
    for (std::thread& worker : workers)
        worker.join();
    return result;
}

} // namespace audiocore
