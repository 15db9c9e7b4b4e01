// Which frame the listener hears, as the position reads it, across a stop,
// a resume and a seek.

#include "PlayedFrames.h"

#include <gtest/gtest.h>

using audiocore::PlayedFrames;

namespace {

constexpr std::uint64_t kFrameBytes = 4608;

// A device run from `first` with `frames` frames handed to the device.
void PlayFrames(PlayedFrames& played, int first, int frames) {
    played.Begin(first);
    for (int i = 1; i <= frames; ++i)
        played.FrameWritten(static_cast<std::uint64_t>(i) * kFrameBytes);
}

TEST(PlayedFrames, AResumeReadsTheStopFrameUntilItsDeviceRunBegins) {
    PlayedFrames played;
    PlayFrames(played, 0, 60);
    // Stopped in the middle of frame 40: it is played to its end, and the
    // next run starts with frame 41.
    const auto cut = played.CutAfter(40 * kFrameBytes + 100);
    ASSERT_TRUE(cut.has_value());
    EXPECT_EQ(cut->bytes, 41 * kFrameBytes);
    EXPECT_EQ(cut->resume_frame, 41);
    played.End();
    EXPECT_EQ(played.HeardFrame(0), 41);

    // The resume seeks there before its device opens; meanwhile the decoder
    // may still stand where the stopped run had read to, far ahead, and the
    // position must not read that.
    played.Restart(41);
    EXPECT_EQ(played.HeardFrame(0), 41);
    played.Begin(41);
    EXPECT_EQ(played.HeardFrame(0), 41);
    played.FrameWritten(kFrameBytes);
    played.FrameWritten(2 * kFrameBytes);
    EXPECT_EQ(played.HeardFrame(kFrameBytes), 42);
}

TEST(PlayedFrames, AConversionsSeekLeavesNoFrameToResume) {
    PlayedFrames played;
    PlayFrames(played, 0, 60);
    played.CutAfter(20 * kFrameBytes);
    played.End();
    played.Restart(50, false);
    EXPECT_EQ(played.HeardFrame(0), std::nullopt)
        << "after a conversion the stream stands where the conversion left it";
}

TEST(PlayedFrames, ASeekWhilePlayingCountsFromItsTarget) {
    PlayedFrames played;
    PlayFrames(played, 0, 30);
    EXPECT_EQ(played.HeardFrame(10 * kFrameBytes), 10);
    played.Restart(200);
    EXPECT_EQ(played.HeardFrame(0), 200) << "nothing of the old run counts";
    played.FrameWritten(kFrameBytes);
    EXPECT_EQ(played.HeardFrame(kFrameBytes), 201);
    // Played to its end, the run leaves nothing to resume: the stream
    // stands at its end, not at the seek's target.
    played.End();
    EXPECT_EQ(played.HeardFrame(0), std::nullopt);
}

} // namespace
