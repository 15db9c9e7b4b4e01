// The keyboard and the wheel run the handlers of the clicks they stand for.

#include "PlayerTestSupport.h"

#include <QWheelEvent>

namespace playertest {
namespace {

class KeysAndWheelTest : public PlayerTest {
protected:
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(window.get(), static_cast<Qt::Key>(key), modifiers);
    }
    void Wheel(const char* bar, int steps) {
        QWidget* target = Control(bar);
        const QPointF at(target->width() / 2.0, target->height() / 2.0);
        QWheelEvent wheel(at, target->mapToGlobal(at), QPoint(),
                          QPoint(0, steps * QWheelEvent::DefaultDeltasPerStep), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &wheel);
    }
    int Volume() const { return Control("Audiocore1")->property("Volume").toInt(); }
    int VolumeBar() const { return Control("PBarY1")->property("Value").toInt(); }
    // Frames in `ms` of the loaded song.
    int Frames(int ms) const {
        return int(std::lround(double(ms) * FrameCount() / Ask<int>("GetLength")));
    }
};

TEST_F(KeysAndWheelTest, SpacePausesAndPlaysAndStopsTheSequenceLikeTheKey) {
    LoadAndStart({Song("a_one.mp3"), Song("b_two.mp3")});
    Key(Qt::Key_Space);
    EXPECT_FALSE(Playing());
    EXPECT_TRUE(window->bUserStopped) << "a pause, not the end of the song";
    window->StatusTick();
    EXPECT_EQ(window->iCurrentSong, 1);
    Key(Qt::Key_Space);
    EXPECT_TRUE(Playing());
}

TEST_F(KeysAndWheelTest, ArrowsAndTheSeekBarWheelSeekFiveSeconds) {
    LoadAndStart({Song("a_one.mp3")});
    Key(Qt::Key_Space); // paused: the position moves only by the seeks
    const int step = Frames(5000);
    ASSERT_GT(step, 100);
    const int start = Position();
    Key(Qt::Key_Right);
    EXPECT_EQ(Position(), start + step);
    Key(Qt::Key_Right);
    Key(Qt::Key_Left);
    EXPECT_EQ(Position(), start + step);
    Wheel("PBarY2", 2); // up is forward, two steps at once
    EXPECT_EQ(Position(), start + step + Frames(10000));
    Wheel("PBarY2", -1);
    EXPECT_EQ(Position(), start + Frames(10000));
    // Seeks stop at the song's ends.
    for (int i = 0; i < 30; ++i)
        Key(Qt::Key_Left);
    EXPECT_EQ(Position(), 0);
    for (int i = 0; i < 30; ++i)
        Key(Qt::Key_Right);
    EXPECT_EQ(Position(), FrameCount() - 1);

    // Play resumes from the last seek.
    Wheel("PBarY2", -2);
    const int target = FrameCount() - 1 - Frames(10000);
    EXPECT_EQ(Position(), target);
    Key(Qt::Key_Space);
    EXPECT_TRUE(Playing());
    EXPECT_TRUE(WaitFor([&] { return Position() > target; }));
    EXPECT_GE(Position(), target);
}

TEST_F(KeysAndWheelTest, UpDownAndTheVolumeBarWheelStepTheVolume) {
    LoadAndStart({Song("a_one.mp3")});
    const int bar = VolumeBar();
    Key(Qt::Key_Down);
    EXPECT_LT(VolumeBar(), bar);
    EXPECT_EQ(Volume(), VolumeBar() * 5) << "as the bar's own handler sets it";
    Key(Qt::Key_Up);
    EXPECT_EQ(VolumeBar(), bar);
    Wheel("PBarY1", -3);
    EXPECT_LT(VolumeBar(), bar);
    for (int i = 0; i < 40; ++i)
        Wheel("PBarY1", 1);
    EXPECT_EQ(VolumeBar(), Control("PBarY1")->property("Max").toInt()) << "no further than full";
    EXPECT_EQ(Volume(), VolumeBar() * 5);
}

TEST_F(KeysAndWheelTest, ReturnDeleteAndControlOWorkTheList) {
    LoadSongs({Song("a_one.mp3"), Song("b_two.mp3"), Song("c_three.mp3")});
    SelectRow(1);
    Key(Qt::Key_Return);
    EXPECT_TRUE(Playing());
    EXPECT_EQ(Loaded(), Song("b_two.mp3"));

    SelectRow(2);
    Key(Qt::Key_Delete);
    EXPECT_EQ(ListCount(), 2);
    EXPECT_FALSE(window->lstFilenames.contains(Song("c_three.mp3")));

    const int dialogs = dialogTitles.size();
    chosenFiles.append(Song("c_three.mp3"));
    Key(Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(dialogTitles.size(), dialogs + 1);
    EXPECT_EQ(ListCount(), 3);
    Key(Qt::Key_O); // without Ctrl: nothing
    EXPECT_EQ(dialogTitles.size(), dialogs + 1);
}

TEST_F(KeysAndWheelTest, EscapeAndControlQCloseTheWindowWithItsBanner) {
    for (int key : {int(Qt::Key_Escape), int(Qt::Key_Q)}) {
        SCOPED_TRACE(key);
        TearDown();
        SetUp();
        Key(key, key == Qt::Key_Q ? Qt::ControlModifier : Qt::NoModifier);
        EXPECT_TRUE(WaitFor([&] { return quits > 0; }, 10000)) << "closed as by the close key";
    }
}

} // namespace
} // namespace playertest
