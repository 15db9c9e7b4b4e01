// The pointer moved by a real X server over the main window: the hint line
// names the command under it and clears over the bare background, where the
// events arrive at the design's pictures rather than at the window itself.

#include "Form1.h"

#include <QApplication>
#include <QCursor>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Moves the pointer there and lets the server's motion events arrive.
void PointAt(const QWidget& window, QPoint inWindow) {
    QCursor::setPos(window.mapToGlobal(inWindow));
    QTest::qWait(150);
}

TEST(PointerXvfb, TheHintLineClearsOverTheBareBackground) {
    qputenv("AUDIOCORE_OUTPUT", "null");
    Form1 window(PlayerPaths{SONGWELL_PLUGIN_DIR, SONGWELL_SKIN_DIR});
    window.move(40, 40);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    auto* hintLine = window.findChild<QLabel*>("Label9");
    QWidget* stop = window.Control("Image25");
    const QPoint overStop = stop->mapTo(&window, stop->rect().center());

    for (int round = 0; round < 2; ++round) {
        PointAt(window, overStop);
        EXPECT_EQ(hintLine->text().toStdString(), "Stop");
        // Right of the minimise key: nothing there but the skin's picture.
        PointAt(window, QPoint(300, 10));
        EXPECT_EQ(hintLine->text().toStdString(), " ") << "round " << round;
    }
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
