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

// A thread's own decoding of the source file: its own stream, the shared
// frame index, and the source's output layout.
bool OpenCopy(const DecodeJob& source, DecodeJob& copy, RunPcm& pcm, std::string& failure) {
    if (OpenSource(copy, source.source_path, &failure) != OpenResult::Opened)
        return false;
    copy.index = source.index;
    copy.output_channels = source.output_channels;
    copy.channel_choice = source.channel_choice;
    copy.output_mode = OutputMode::Sink;
    copy.sink = &pcm;
    return true;
}

// Decodes frames [start, end) of the copy, starting with a seek so that the
// frames before `start` restore what it depends on.
bool DecodeOneRun(DecodeJob& copy, int start, int end, std::string& failure) {
    copy.stop_requested.store(false);
    copy.seek_target.store(start);
    copy.seek_requested.store(true);
    const RunProgress stop_at_end = [&] {
        if (copy.stream->CurrentFrame() >= end - 1)
            copy.stop_requested.store(true);
    };
    return RunDecode(copy, stop_at_end, &failure) == 0;
}

void DecodeRuns(const DecodeJob& source, const RunPlan& plan, std::uint32_t frame_bytes,
                RunBoard& board) {
    DecodeJob copy;
    RunPcm pcm(static_cast<std::uint32_t>(source.output_channels), frame_bytes);
    std::string failure;
    const bool opened = OpenCopy(source, copy, pcm, failure);
    std::vector<std::uint8_t> buffer;
    for (int k = board.Take(buffer); k >= 0; k = board.Take(buffer)) {
        pcm.Fill(std::move(buffer));
        const bool ok = opened && DecodeOneRun(copy, plan.Start(k), plan.End(k), failure);
        board.Finish(k, pcm.Take(), ok, failure);
    }
}

// Puts the job's stream where a conversion on one thread would leave it:
// at `frame`, its header read, or past the last frame.
void PositionAfter(DecodeJob& job, int frame, int end) {
    const int at = std::min(frame, end - 1);
    FrameCrc* crc = nullptr;
    if (!job.stream->PositionAt(job.index.Offset(at), at) ||
        !job.header->ReadNext(*job.stream, crc))
        return;
    if (frame >= end && !job.header->ReadNext(*job.stream, crc))
        job.stream_ended.store(true);
}

} // namespace

bool ConvertsInRuns(const DecodeJob& job, int first) {
    if (job.output_mode != OutputMode::WavFile || job.source_path.empty() ||
        ThreadsFor(job.split) < 2 || job.split.run_frames < 1)
        return false;
    const int left = job.index.Count() - first;
    return left >= std::max(job.split.min_frames, 2);
}

int ConvertInRuns(DecodeJob& job, int first, WavFileSink& out, const RunProgress& progress,
                  std::string* failure) {
    const RunPlan plan{first, job.index.Count(), job.split.run_frames};
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
