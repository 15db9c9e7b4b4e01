// Play, pause, stop, next and previous in each play mode, and a song's
// natural end.

#include "MprisService.h"
#include "PlayerTestSupport.h"

#include <QElapsedTimer>

namespace playertest {
namespace {

class TransportTest : public PlayerTest {
protected:
    QStringList ThreeSongs() const {
        return {Song("a_one.mp3"), Song("b_two.mp3"), Song("c_three.mp3")};
    }
};

TEST_F(TransportTest, PauseKeepsThePositionAndPlayResumesThere) {
    LoadAndStart({Song("a_one.mp3")});
    ASSERT_TRUE(WaitFor([&] { return Position() > 40; }));

    Click("Image11"); // pause: the indicator blinks once and stays
    EXPECT_FALSE(Playing());
    EXPECT_TRUE(window->bUserStopped);
    EXPECT_FALSE(Label("Label11")->isVisible()) << "off first, while the pause is answered";
    EXPECT_TRUE(WaitFor([&] { return Label("Label11")->isVisible(); }));
    EXPECT_EQ(Label("Label11")->text(), "  Paused  ");
    const int paused = Position();
    QTest::qWait(300);
    EXPECT_EQ(Position(), paused);
    window->StatusTick(); // a paused song is not followed by the next one
    EXPECT_EQ(window->iCurrentSong, 1);
    EXPECT_FALSE(Playing());

    QElapsedTimer clock;
    clock.start();
    Click("Image12"); // play again
    EXPECT_TRUE(Playing());
    EXPECT_FALSE(Label("Label11")->isVisible());
    const int resumed = Position();
    // What the device can have played since the click, on a slow build too,
    // besides a second of lead.
    const int played = int(clock.elapsed() * kNullSpeed * 39 / 1000);
    EXPECT_GE(resumed, paused);
    EXPECT_LT(resumed, paused + 40 + played) << "resumed where it paused, not further on";
}

TEST_F(TransportTest, APauseBeforeAnythingIsHeardIsAPauseAndAStopEndsIt) {
    LoadAndStart({Song("a_one.mp3")});
    Click("Image6");
    MprisService service(*window);
    EXPECT_EQ(service.PlaybackStatus().toStdString(), "Stopped");
    Click("Image12");
    Click("Image11"); // paused at once, most likely still at the start
    EXPECT_FALSE(Playing());
    EXPECT_TRUE(window->Paused());
    EXPECT_EQ(service.PlaybackStatus().toStdString(), "Paused");

    Click("Image12");
    EXPECT_FALSE(window->Paused());
    EXPECT_EQ(service.PlaybackStatus().toStdString(), "Playing");
    Click("Image11");
    Click("Image6"); // stop
    EXPECT_FALSE(window->Paused());
    EXPECT_EQ(service.PlaybackStatus().toStdString(), "Stopped");
}

TEST_F(TransportTest, StopReturnsToTheStartAndTheTickShowsReady) {
    LoadAndStart({Song("a_one.mp3")});
    // Far beyond what the decoder reads ahead of the sound.
    ASSERT_TRUE(WaitFor([&] { return Position() > 400; }));
    window->StatusTick();
    EXPECT_TRUE(Label("Label7")->text().startsWith("Play  "));
    EXPECT_FALSE(Label("Label8")->text().isEmpty());
    EXPECT_TRUE(Control("Image31")->isVisible());

    const int stoppedAt = Position();
    Click("Image6");
    window->StatusTick();
    EXPECT_FALSE(Playing());
    EXPECT_EQ(Label("Label7")->text(), "Ready  0:00 | 0:00");
    EXPECT_EQ(Label("Label8")->text(), "History");
    EXPECT_FALSE(Control("Image31")->isVisible());
    EXPECT_EQ(window->iCurrentSong, 1) << "a stop is not followed by another song";

    Click("Image11");
    ASSERT_TRUE(Playing());
    EXPECT_TRUE(WaitFor([&] { return Position() < stoppedAt / 2; }, 1000))
        << "played again from the start";
}

struct StepCase {
    const char* name;
    const char* modeArea;
    int from;     // the song playing when the button is pressed
    bool next;    // Next, else Previous
    int to;       // the selected song afterwards
    bool playing; // whether it plays
    QString modeName;
};

TEST_F(TransportTest, NextAndPreviousFollowThePlayMode) {
    const StepCase cases[] = {
        {"standard next", "Image26", 2, true, 3, true, "Standart"},
        {"standard next at the end stops at song 1", "Image26", 3, true, 1, false, "Standart"},
        {"repeat next at the end wraps", "Image28", 3, true, 1, true, "Repeat"},
        {"repeat next", "Image28", 1, true, 2, true, "Repeat"},
        {"previous on song 1 plays it again", "Image26", 1, false, 1, true, "Standart"},
        {"previous on the last song", "Image28", 3, false, 2, true, "Repeat"},
    };
    LoadSongs(ThreeSongs());
    for (const StepCase& c : cases) {
        SCOPED_TRACE(c.name);
        Click(c.modeArea);
        EXPECT_EQ(Label("Label12")->text(), c.modeName);
        DoubleClickRow(c.from - 1);
        ASSERT_TRUE(Playing());
        ASSERT_EQ(window->iCurrentSong, c.from);

        if (c.next) {
            Click("Image16");
            EXPECT_FALSE(Playing()) << "Next only stops; the tick moves on";
            window->StatusTick();
        } else {
            Press("Image21"); // Previous acts on the press and waits 1.5 s
        }
        EXPECT_EQ(window->iCurrentSong, c.to);
        EXPECT_EQ(Playing(), c.playing);
        EXPECT_EQ(window->bUserStopped, !c.playing);
        EXPECT_EQ(Loaded(), ThreeSongs().at(c.to - 1));
        EXPECT_TRUE(Control("Image21")->isVisible()) << "Previous takes presses again";
        Click("Image6");
    }
}

TEST_F(TransportTest, ShuffleOnAOneSongListKeepsPlayingThatSong) {
    LoadAndStart({Song("a_one.mp3")});
    Click("Image27");
    EXPECT_EQ(window->cbShuffle, 1);
    EXPECT_EQ(window->cbRepeat, 0);
    for (int i = 0; i < 20; ++i) {
        Click("Image15");
        window->StatusTick();
        ASSERT_TRUE(Playing());
        EXPECT_EQ(window->iCurrentSong, 1);
    }
}

TEST_F(TransportTest, ANaturalEndGoesOnIntoTheNextSong) {
    LoadAndStart({Song("short.mp3"), Song("a_one.mp3")});
    // The second song follows the first on the same run, without a stop.
    ASSERT_TRUE(WaitFor([&] { return window->iCurrentSong == 2; }));
    EXPECT_TRUE(Playing());
    EXPECT_EQ(Loaded(), Song("a_one.mp3"));
    EXPECT_EQ(window->Text4, "Now:a_one");
}

TEST_F(TransportTest, PlayWithNothingLoadedDoesNothing) {
    Click("Image11");
    EXPECT_FALSE(Playing());
    EXPECT_TRUE(messages.isEmpty());
}

} // namespace
} // namespace playertest
