// AdvWin acting on a real top-level window under an X server: the window it
// finds by title gets the skin's mask (as the screen shows it), follows the
// pointer while dragged, toggles on top and minimises.

#include "AdvWin.h"
#include "SkinTestSupport.h"

#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace {

const QString kCaption = QStringLiteral("Songwell skin test");
const QPoint kStart(100, 100);

// A plain red window with the caption, shown and exposed.
std::unique_ptr<QWidget> ShowWindow(const QString& caption, QPoint at) {
    auto window = std::make_unique<QWidget>();
    window->setWindowTitle(caption);
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, Qt::red);
    window->setPalette(palette);
    window->setAutoFillBackground(true);
    window->setGeometry(QRect(at, QSize(200, 150)));
    window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    return window;
}

bool WaitForPosition(const QWidget& window, QPoint expected) {
    return QTest::qWaitFor([&] { return window.frameGeometry().topLeft() == expected; }, 3000);
}

class AdvWinWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        skintest::App();
        window = ShowWindow(kCaption, kStart);
        control = new AdvWin(window.get());
        control->setTarget_Caption(kCaption);
    }

    void Report(int x, int y) {
        control->setMouse_X_Pos(x);
        control->setMouse_Y_Pos(y);
    }

    std::unique_ptr<QWidget> window;
    AdvWin* control = nullptr;
};

bool IsRed(const QImage& screen, QPoint at) {
    const QColor colour = screen.pixelColor(at);
    return colour.red() > 200 && colour.green() < 50 && colour.blue() < 50;
}

TEST_F(AdvWinWindowTest, TheWindowFoundByItsTitleShowsOnlyTheSkin) {
    QTemporaryDir dir;
    const QString folder = dir.filePath(".config/songwell");
    skintest::WriteText(folder + "/Form11GiF1.txt", "10,10\n190,10\n190,140\n10,140\n");
    skintest::WriteText(folder + "/Form11GiF11.txt", "60,50, 120,50, 120,100, 60,100");
    control->setSkin_Txt_File(folder + "/Form11GiF1.txt");
    control->Cut_Window();
    const QRegion expected = QRegion(10, 10, 180, 130) - QRegion(60, 50, 60, 50);
    EXPECT_EQ(window->mask(), expected);

    const QPoint outside = kStart + QPoint(5, 5);
    const QPoint skin = kStart + QPoint(30, 30);
    const QPoint hole = kStart + QPoint(90, 75);
    QImage screen;
    const bool shaped = QTest::qWaitFor(
        [&] {
            screen = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
            return IsRed(screen, skin) && !IsRed(screen, hole) && !IsRed(screen, outside);
        },
        3000);
    EXPECT_TRUE(shaped);
    if (const char* out = qgetenv("SKIN_SCREENSHOT_DIR").constData(); *out)
        screen.save(QString::fromLocal8Bit(out) + "/advwin-mask.png");

    // A missing first file gives the window its rectangle back.
    control->setSkin_Txt_File(folder + "/missing.txt");
    control->Cut_Window();
    EXPECT_TRUE(window->mask().isEmpty());
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            screen = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
            return IsRed(screen, hole) && IsRed(screen, outside);
        },
        3000));
}

TEST_F(AdvWinWindowTest, MovesByThePointerDeltasOnlyBetweenDownAndUp) {
    enum class Call { Down, Move, Up };
    struct Step {
        Call call;
        QPoint reported;
        QPoint expected;
    };
    const Step steps[] = {
        {Call::Move, {15, 12}, kStart}, // no mouse-down yet
        {Call::Down, {10, 10}, kStart},
        {Call::Move, {15, 12}, kStart + QPoint(5, 2)},
        {Call::Move, {10, 10}, kStart + QPoint(5, 2)}, // the grab point on the moved window
        {Call::Move, {15, 12}, kStart + QPoint(10, 4)},
        {Call::Move, {-5, 20}, kStart + QPoint(-5, 14)},
        {Call::Up, {-5, 20}, kStart + QPoint(-5, 14)},
        {Call::Move, {40, 40}, kStart + QPoint(-5, 14)}, // after mouse-up
    };
    int index = 0;
    for (const Step& step : steps) {
        Report(step.reported.x(), step.reported.y());
        if (step.call == Call::Down)
            control->On_Mouse_Down();
        else if (step.call == Call::Move)
            control->On_Mouse_Move();
        else
            control->On_Mouse_Up();
        QTest::qWait(50);
        EXPECT_TRUE(WaitForPosition(*window, step.expected))
            << "step " << index << " at " << window->x() << "," << window->y();
        ++index;
    }
}

TEST_F(AdvWinWindowTest, KeepsDraggingTheWindowFoundAtMouseDown) {
    const auto other = ShowWindow("Another window", QPoint(400, 300));
    Report(10, 10);
    control->On_Mouse_Down();
    control->setTarget_Caption("Another window");
    Report(30, 20);
    control->On_Mouse_Move();
    EXPECT_TRUE(WaitForPosition(*window, kStart + QPoint(20, 10)));
    EXPECT_EQ(other->frameGeometry().topLeft(), QPoint(400, 300));
    // The next mouse-down looks the caption up again.
    control->On_Mouse_Down();
    Report(40, 20);
    control->On_Mouse_Move();
    EXPECT_TRUE(WaitForPosition(*other, QPoint(410, 300)));
}

TEST_F(AdvWinWindowTest, OnTopTogglesAndSurvivesADrag) {
    QTemporaryDir dir;
    skintest::WriteText(dir.filePath("skin.txt"), "0,0,150,0,150,100,0,100");
    control->setSkin_Txt_File(dir.filePath("skin.txt"));
    control->Cut_Window();

    control->on_top();
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(WaitForPosition(*window, kStart));
    EXPECT_EQ(window->mask(), QRegion(0, 0, 150, 100));

    Report(0, 0);
    control->On_Mouse_Down();
    Report(7, 3);
    control->On_Mouse_Move();
    control->On_Mouse_Up();
    EXPECT_TRUE(WaitForPosition(*window, kStart + QPoint(7, 3)));
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));

    control->on_top();
    EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(WaitForPosition(*window, kStart + QPoint(7, 3)));
}

TEST_F(AdvWinWindowTest, MinimisesTheWindow) {
    EXPECT_FALSE(window->isMinimized());
    control->Win_Minimize();
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->isMinimized(); }, 3000));
}

TEST_F(AdvWinWindowTest, WithoutAWindowOfThatTitleNothingHappens) {
    control->setTarget_Caption("No such window");
    control->on_top();
    control->Win_Minimize();
    Report(0, 0);
    control->On_Mouse_Down();
    Report(50, 50);
    control->On_Mouse_Move();
    QTest::qWait(100);
    EXPECT_FALSE(window->isMinimized());
    EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(window->frameGeometry().topLeft(), kStart);
}

} // namespace
