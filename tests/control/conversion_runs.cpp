// Conversions held to the plain one byte for byte: split into runs over
// several threads (from the start, from a seek target, stopped half-way,
// when a thread cannot read the file), and on each vector path.

#include "TestSupport.h"
#include "WindowSum.h"
#include "WriteWav.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

using namespace audiocore;
using namespace testsupport;

namespace {

// Every stream to hold the split to: the conformance streams and the files
// of real encoders (VBR, header frames, tags, low rates, free format, mode
// and layer changes).
std::vector<std::string> Streams() {
    std::vector<std::string> paths;
    const std::filesystem::path folders[] = {SharedPath("vectors"), SONGWELL_ENCODED_DIR};
    for (const auto& folder : folders)
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            const std::string ext = entry.path().extension().string();
            if (ext == ".bit" || ext == ".mp3" || ext == ".mp2" || ext == ".bin")
                paths.push_back(entry.path().string());
        }
    std::sort(paths.begin(), paths.end());
    return paths;
}

struct Conversion {
    int status = -1;
    std::vector<std::uint8_t> bytes;
    int frame_after = -1;
    bool ended = false;
};

// Converts `source` from `start` (or from its first frame) on `threads`
// threads in runs of `run_frames`.
Conversion Convert(const std::string& source, const std::string& wav, int threads, int run_frames,
                   int start = -1, const RunProgress& progress = {}, DecodeJob* reuse = nullptr) {
    DecodeJob own;
    DecodeJob& job = reuse ? *reuse : own;
    Conversion result;
    if (job.decoder.Open(source) != OpenResult::Opened)
        return result;
    job.split = ConversionSplit{threads, run_frames, 0};
    if (start >= 0) {
        job.seek_target.store(start);
        job.seek_requested.store(true);
    }
    std::filesystem::remove(wav);
    result.status = WriteWav(job, wav, progress);
    result.bytes = ReadFile(wav);
    result.frame_after = job.decoder.Position();
    result.ended = job.stream_ended.load();
    return result;
}

} // namespace

TEST(ConversionRuns, EveryStreamConvertsToTheSameBytesOnSeveralThreads) {
    TempDir dir;
    const std::vector<std::string> streams = Streams();
    ASSERT_GT(streams.size(), 40u);
    for (const std::string& source : streams) {
        SCOPED_TRACE(source);
        const Conversion one = Convert(source, dir.File("one.wav"), 1, 128);
        if (one.status != 0)
            continue; // a stream without audio has nothing to split
        ASSERT_GT(one.bytes.size(), 46u);
        for (const auto& [threads, run_frames] : {std::pair{2, 7}, std::pair{3, 1}}) {
            SCOPED_TRACE(testing::Message() << threads << " threads, runs of " << run_frames);
            const Conversion split = Convert(source, dir.File("split.wav"), threads, run_frames);
            ASSERT_EQ(split.status, 0);
            EXPECT_TRUE(split.bytes == one.bytes);
            // The job stands where the conversion on one thread leaves it.
            EXPECT_EQ(split.ended, one.ended);
            EXPECT_EQ(split.frame_after, one.frame_after);
        }
    }
}

TEST(ConversionRuns, AConversionFromASeekTargetKeepsItsBytesAndAStoppedOneWritesNothing) {
    TempDir dir;
    const std::string source = std::string(SONGWELL_ENCODED_DIR) + "/l3-vbr2-joint-44k.mp3";
    ASSERT_TRUE(std::filesystem::exists(source)) << source;
    const Conversion whole = Convert(source, dir.File("whole.wav"), 1, 128);
    ASSERT_EQ(whole.status, 0);

    for (int start : {1, 37, 70}) {
        SCOPED_TRACE(testing::Message() << "from frame " << start);
        const Conversion one = Convert(source, dir.File("one.wav"), 1, 128, start);
        const Conversion split = Convert(source, dir.File("split.wav"), 2, 9, start);
        ASSERT_EQ(one.status, 0);
        ASSERT_EQ(split.status, 0);
        EXPECT_TRUE(split.bytes == one.bytes);
        ASSERT_LT(one.bytes.size(), whole.bytes.size());
        // The same samples as the whole conversion from that frame on.
        const std::size_t tail = one.bytes.size() - 46;
        EXPECT_TRUE(std::equal(one.bytes.begin() + 46, one.bytes.end(),
                               whole.bytes.end() - static_cast<std::ptrdiff_t>(tail)));
    }

    // Asked to stop after the first run: no whole file, so none is written,
    // and the stream stands after the run's frames.
    DecodeJob job;
    const Conversion stopped = Convert(
        source, dir.File("stopped.wav"), 2, 9, -1, [&] { job.stop_requested.store(true); }, &job);
    ASSERT_EQ(stopped.status, 0);
    EXPECT_FALSE(std::filesystem::exists(dir.File("stopped.wav")));
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        EXPECT_NE(entry.path().extension(), ".part") << entry.path();
    EXPECT_EQ(stopped.frame_after, 9);
    EXPECT_FALSE(stopped.ended);
}

TEST(ConversionRuns, AThreadThatCannotReadTheFileFailsTheConversionAndLeavesNoFile) {
    TempDir dir;
    const std::string source = dir.File("song.mp3");
    std::filesystem::copy_file(std::string(SONGWELL_ENCODED_DIR) + "/l3-vbr2-joint-44k.mp3",
                               source);
    DecodeJob job;
    ASSERT_EQ(job.decoder.Open(source), OpenResult::Opened);
    ASSERT_GT(job.decoder.WalkedFrames(), 10);
    // The threads open the file again: gone, it cannot be read.
    std::filesystem::remove(source);
    job.split = ConversionSplit{2, 5, 0};
    std::string failure;
    EXPECT_EQ(WriteWav(job, dir.File("out.wav"), {}, &failure), -1);
    EXPECT_FALSE(failure.empty());
    EXPECT_FALSE(std::filesystem::exists(dir.File("out.wav")));
}

TEST(ConversionRuns, EveryStreamConvertsToTheSameBytesOnEveryVectorPath) {
    const VectorPath saved = CurrentVectorPath();
    SelectVectorPath(VectorPath::Avx2);
    if (CurrentVectorPath() != VectorPath::Avx2)
        GTEST_SKIP() << "this processor has no AVX2";
    TempDir dir;
    for (const std::string& source : Streams()) {
        SCOPED_TRACE(source);
        SelectVectorPath(VectorPath::Avx2);
        const Conversion vector = Convert(source, dir.File("vector.wav"), 1, 128);
        SelectVectorPath(VectorPath::Baseline);
        const Conversion baseline = Convert(source, dir.File("baseline.wav"), 1, 128);
        EXPECT_EQ(vector.status, baseline.status);
        EXPECT_TRUE(vector.bytes == baseline.bytes);
    }
    SelectVectorPath(saved);
}
