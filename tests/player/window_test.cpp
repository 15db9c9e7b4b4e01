// The window itself and its display: start-up values, dragging, the time
// line, the seek and volume bars, and closing with the banner.

#include "PlayerTestSupport.h"

#include <QRegularExpression>

#include <ctime>

namespace playertest {
namespace {

class WindowTest : public PlayerTest {
protected:
    void Mouse(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
        QWidget* surface = Control("Skin")->parentWidget();
        QMouseEvent event(type, at, surface->mapToGlobal(at), button, held, Qt::NoModifier);
        QApplication::sendEvent(surface, &event);
    }

    // Seconds of a "m:ss" text.
    static int Seconds(const QString& text) {
        const QStringList parts = text.split(':');
        return parts.value(0).toInt() * 60 + parts.value(1).toInt();
    }
};

TEST_F(WindowTest, StartsFramelessWithTheVolumeAtAThird) {
    EXPECT_EQ(window->windowTitle(), "Songwell");
    EXPECT_TRUE(window->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(window->size(), QSize(409, 317));
    EXPECT_EQ(Control("PBarY1")->property("Value").toInt(), 4369);
    EXPECT_EQ(Control("Audiocore1")->property("Volume").toInt(), 21845);
    EXPECT_EQ(Control("AdvWin1")->property("Target_Caption").toString(), "Songwell");
    EXPECT_TRUE(
        Control("AdvWin1")->property("Skin_Txt_File").toString().endsWith("/Form11GiF1.txt"));
    EXPECT_EQ(Label("Label12")->text(), "Standard");
    EXPECT_TRUE(window->bUserStopped);

    Control("PBarY1")->setProperty("Value", 13107);
    EXPECT_EQ(Control("Audiocore1")->property("Volume").toInt(), 65535);
}

TEST_F(WindowTest, ADragMovesTheWindowOnEveryFifthMove) {
    const QPoint start = window->pos();
    Mouse(QEvent::MouseButtonPress, {200, 30}, Qt::LeftButton, Qt::LeftButton);
    for (int move = 1; move <= 4; ++move)
        Mouse(QEvent::MouseMove, {200 + 10 * move, 30}, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(window->pos(), start);
    Mouse(QEvent::MouseMove, {250, 30}, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(window->pos(), start + QPoint(50, 0));
    Mouse(QEvent::MouseButtonRelease, {250, 30}, Qt::LeftButton, Qt::NoButton);

    const QPoint dropped = window->pos();
    Label("Label9")->setText("Stop");
    Mouse(QEvent::MouseButtonPress, {200, 30}, Qt::RightButton, Qt::RightButton);
    for (int move = 1; move <= 10; ++move)
        Mouse(QEvent::MouseMove, {200 + 10 * move, 30}, Qt::NoButton, Qt::RightButton);
    Mouse(QEvent::MouseButtonRelease, {300, 30}, Qt::RightButton, Qt::NoButton);
    EXPECT_EQ(window->pos(), dropped) << "only the left button drags";
    EXPECT_EQ(Label("Label9")->text(), " ") << "the bare background clears the hint";
}

TEST_F(WindowTest, TheTimeLineUsesTheStreamsOwnFrameDuration) {
    LoadAndStart({Song("a_one.mp3")});
    ASSERT_TRUE(WaitFor([&] { return Position() > 300; }));
    window->StatusTick();
    const int position = Position();
    const QRegularExpression line("^Play  (\\d+:\\d\\d) \\| (\\d+:\\d\\d)$");
    const auto match = line.match(Label("Label7")->text());
    ASSERT_TRUE(match.hasMatch()) << Label("Label7")->text().toStdString();
    EXPECT_EQ(Seconds(match.captured(2)), 24);
    // 1152 samples at 44.1 kHz: 26.1 ms a frame.
    EXPECT_NEAR(Seconds(match.captured(1)), position * 1152 / 44100.0, 1.0);
    EXPECT_TRUE(Label("Label8")->text().contains("44.1 kHz"))
        << Label("Label8")->text().toStdString();
    const int bar = Control("PBarY2")->property("Value").toInt();
    EXPECT_NEAR(bar, 13107.0 * position / FrameCount(), 13107 * 0.05);
}

TEST_F(WindowTest, ASeekLandsWhereThePointerIsReleased) {
    LoadAndStart({Song("a_one.mp3")});
    QWidget* bar = Control("PBarY2");
    const int frames = FrameCount();
    ASSERT_GT(frames, 0);
    for (double share : {0.5, 0.25, 1.0}) {
        SCOPED_TRACE(share);
        const QPoint at(int(bar->width() * share), bar->height() / 2);
        QTest::mousePress(bar, Qt::LeftButton, {}, at);
        QTest::mouseRelease(bar, Qt::LeftButton, {}, at);
        const int target = std::min(int(frames * share), frames - 1);
        // The run applies the seek between frames and then reads ahead.
        const auto landed = [&] {
            const int position = Position();
            return position >= target - 2 && position < target + frames / 8;
        };
        EXPECT_TRUE(WaitFor([&] { return landed() || !Playing(); }, 1000)) << Position();
        EXPECT_TRUE(landed() || share == 1.0) << "only the right edge ends the song";
    }
}

TEST_F(WindowTest, ClosingStopsPlaybackAndTheBannerEndsTheProgram) {
    LoadAndStart({Song("a_one.mp3")});
    QElapsedTimer clock;
    clock.start();
    Click("Image2");
    EXPECT_FALSE(Playing());
    EXPECT_FALSE(window->isVisible());
    ASSERT_TRUE(WaitFor([&] { return quits > 0; }, 3000));
    EXPECT_GE(clock.elapsed(), 1200);
    EXPECT_LE(clock.elapsed(), 2000);
    EXPECT_EQ(quits, 1);
}

TEST_F(WindowTest, WaitLetsEventsRunWithoutSpinning) {
    int ticks = 0;
    QTimer::singleShot(100, [&] { ++ticks; });
    QElapsedTimer clock;
    clock.start();
    const std::clock_t cpu = std::clock();
    window->Wait(0.5);
    const double cpuSeconds = double(std::clock() - cpu) / CLOCKS_PER_SEC;
    EXPECT_GE(clock.elapsed(), 450); // a coarse timer may end 5 % early
    EXPECT_EQ(ticks, 1) << "events go on during the wait";
    EXPECT_LT(cpuSeconds, 0.1) << "the wait sleeps on the event queue";
}

TEST_F(WindowTest, FormatTimeShowsMinutesAndTwoDigitSeconds) {
    const std::pair<double, const char*> cases[] = {
        {0, "0:00"}, {65.9, "1:05"}, {3600, "60:00"}, {-5, "0:05"}, {9.99, "0:09"},
    };
    for (const auto& [seconds, text] : cases)
        EXPECT_EQ(Form1::FormatTime(seconds), text) << seconds;
}

TEST(WindowWithoutPlugins, RefusesToStartAndNamesTheMissingControl) {
    App();
    QTemporaryDir empty;
    try {
        Form1 window(PlayerPaths{empty.path(), SONGWELL_SKIN_DIR});
        FAIL() << "a window without its controls was made";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("Audiocore1"), std::string::npos) << error.what();
    }
}

} // namespace
} // namespace playertest
