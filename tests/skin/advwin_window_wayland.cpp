// AdvWin acting on a native Wayland window of a real compositor (a private
// headless sway): on top, which Wayland cannot grant, leaves the window as it
// was, never hidden or recreated; a minimised window comes back when the
// compositor raises it again.

#include "AdvWin.h"
#include "SkinTestSupport.h"
#include "SwayDesktop.h"

#include <QEvent>
#include <QWindow>

#include <gtest/gtest.h>

#include <memory>

namespace {

const QString kCaption = QStringLiteral("Songwell Wayland skin test");
const QSize kSize(200, 150);

// Counts the times the window was hidden or its native window replaced.
class HideCounter : public QObject {
public:
    int hides = 0;
    int surfaceChanges = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Hide)
            ++hides;
        if (event->type() == QEvent::PlatformSurface)
            ++surfaceChanges;
        return false;
    }
};

class AdvWinWaylandTest : public ::testing::Test {
protected:
    void SetUp() override {
        skintest::App();
        ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("wayland"));
        window = std::make_unique<QWidget>(nullptr, Qt::Window | Qt::FramelessWindowHint);
        window->setWindowTitle(kCaption);
        window->setFixedSize(kSize);
        QPalette palette = window->palette();
        palette.setColor(QPalette::Window, Qt::red);
        window->setPalette(palette);
        window->setAutoFillBackground(true);
        control = new AdvWin(window.get());
        control->setTarget_Caption(kCaption);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        const auto rect =
            sway::WaitForRect(kCaption, [](const QRect& r) { return r.size() == kSize; });
        ASSERT_TRUE(rect.has_value());
        placed = *rect;
    }

    bool ShowsRed() {
        const QImage screen = sway::Screenshot();
        return sway::Near(screen.pixelColor(placed.center()), Qt::red, 12);
    }

    std::unique_ptr<QWidget> window;
    AdvWin* control = nullptr;
    QRect placed;
};

TEST_F(AdvWinWaylandTest, OnTopLeavesTheWindowAsItWas) {
    HideCounter counter;
    window->installEventFilter(&counter);
    window->windowHandle()->installEventFilter(&counter);
    QWindow* const handle = window->windowHandle();
    const WId id = window->winId();

    for (int call = 0; call < 2; ++call) {
        control->on_top(); // a recreation would hide the window within this call
        EXPECT_TRUE(window->isVisible()) << "call " << call;
        EXPECT_EQ(window->windowHandle(), handle) << "call " << call;
        EXPECT_EQ(window->winId(), id) << "call " << call;
        EXPECT_EQ(counter.hides, 0) << "call " << call;
        EXPECT_EQ(counter.surfaceChanges, 0) << "call " << call;
        const auto rect = sway::WindowRect(kCaption);
        ASSERT_TRUE(rect.has_value()) << "call " << call;
        EXPECT_EQ(*rect, placed) << "call " << call;
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return ShowsRed(); }, sway::kWaitMs));
}

TEST_F(AdvWinWaylandTest, AMinimisedWindowComesBack) {
    control->Win_Minimize();
    // sway has no minimised state and leaves the window shown; a desktop
    // with a task bar hides it. Either way the compositor brings it back as
    // its user asks, here by focusing it.
    ASSERT_TRUE(sway::Command(QStringLiteral("[title=\"%1\"] focus").arg(kCaption)));
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->isActiveWindow(); }, sway::kWaitMs));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window->isMinimized(); }, sway::kWaitMs));
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(sway::WindowRect(kCaption).has_value());
    // It still paints: a repaint reaches the screen.
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, Qt::green);
    window->setPalette(palette);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return sway::Near(sway::Screenshot().pixelColor(placed.center()), Qt::green, 12); },
        sway::kWaitMs));
}

} // namespace
