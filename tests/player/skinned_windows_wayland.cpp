// The main window and the tag editor as native clients of a real Wayland
// compositor (a private headless sway, started by run_in_sway.sh), at output
// scales 1 and 1.5: the desktop shows just outside the skin's outline and the
// skin just inside it; the pointer does not reach the window outside it; a
// drag on the surface moves the window by the pointer's distance (the
// compositor moves it); a press on a key is a click and moves nothing.
//
// With SONGWELL_SCREENSHOT_DIR set, the output is saved there as
// <window>-scale-<scale>.png once the window shows.

#include "Form1.h"
#include "FrmID3.h"
#include "SkinPolygonFile.h"
#include "SkinRegion.h"
#include "SwayDesktop.h"
#include "TestSupport.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QWindow>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>

namespace {

// The pointer's events as the window gets them from the compositor, in
// window coordinates, before Qt hands them to its widgets.
class SeenInput : public QObject {
public:
    explicit SeenInput(QWidget* window) : window_(window->windowHandle()) {
        window_->installEventFilter(this);
    }
    ~SeenInput() override {
        if (window_)
            window_->removeEventFilter(this);
    }

    bool Seen(QEvent::Type type, QPoint at) const { return events_.contains({type, at}); }
    bool SeenAt(QPoint at) const {
        for (const auto& event : events_)
            if (event.second == at)
                return true;
        return false;
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        const QEvent::Type type = event->type();
        // The pointer's arrival on the window is an Enter event at its place.
        if (type == QEvent::Enter || type == QEvent::MouseMove ||
            type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease) {
            // sway puts the pointer on the middle of a pixel: the pixel is
            // the one whose area holds the position.
            const QPointF at = static_cast<QSinglePointEvent*>(event)->position();
            events_.append({type, QPoint(int(std::floor(at.x())), int(std::floor(at.y())))});
        }
        return false;
    }

private:
    QPointer<QWindow> window_;
    QList<std::pair<QEvent::Type, QPoint>> events_;
};

struct Probe {
    QPoint at; // in the window
    bool inside;
    const char* where;
};

// What one window offers the test.
struct Subject {
    const char* name;
    QString title;
    QSize size;
    QList<Probe> probes;
    QPoint surface;                        // bare skin: a press there drags
    QPoint key;                            // a key of the skin
    std::function<bool(QWidget&)> clicked; // the key's command has run
};

// The main window's outline (Form11GiF1.txt, moved by (4, 23)) has rounded
// corners and a notch 6 pixels deep in its top edge between x 170 and 310.
Subject MainWindow() {
    return {"main",
            QStringLiteral("Songwell"),
            {409, 317},
            {{{2, 2}, false, "top left corner"},
             {{10, 10}, true, "inside the top left corner"},
             {{240, 2}, false, "the notch at the top"},
             {{240, 10}, true, "below the notch"},
             {{406, 1}, false, "top right corner"},
             {{400, 10}, true, "inside the top right corner"},
             {{407, 314}, false, "bottom right corner"},
             {{398, 306}, true, "inside the bottom right corner"},
             {{1, 315}, false, "bottom left corner"},
             {{8, 308}, true, "inside the bottom left corner"},
             {{200, 160}, true, "the middle"}},
            {290, 14},
            {0, 0}, // set from the Shuffle key's place below
            [](QWidget& window) {
                return window.findChild<QLabel*>("Label12")->text() == QStringLiteral("Shuffle");
            }};
}

// The tag editor names no skin file and keeps its rectangle.
Subject TagEditor() {
    return {"tag-editor",
            QStringLiteral("FrmID3"),
            {360, 294},
            {{{-3, 40}, false, "left of the left edge"},
             {{3, 40}, true, "inside the left edge"},
             {{180, -3}, false, "above the top edge"},
             {{180, 3}, true, "inside the top edge"},
             {{363, 290}, false, "right of the bottom right corner"},
             {{356, 290}, true, "inside the bottom right corner"}},
            {180, 268},
            {305, 269}, // Cancel
            [](QWidget& window) { return !window.isVisible(); }};
}

struct Case {
    const char* window;
    double scale;
};

std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
    return std::string(info.param.window == std::string("main") ? "MainWindow" : "TagEditor") +
           "AtScale" + std::to_string(int(std::lround(info.param.scale * 100)));
}

class SkinnedWindowOnWayland : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override {
        ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("wayland"));
        ASSERT_TRUE(sway::SetScale(GetParam().scale));
        pointer = std::make_unique<sway::Pointer>(qEnvironmentVariable("SONGWELL_WAYLAND_POINTER"));
        ASSERT_TRUE(pointer->ok()) << "the virtual pointer did not start";
    }

    void TearDown() override { sway::SetScale(1); }

    // Shows the window and waits until sway shows it, painted at the scale's
    // buffer size; its place on the layout.
    QRect Show(QWidget& window, const Subject& subject) {
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        const auto rect = sway::WaitForRect(
            subject.title, [&](const QRect& r) { return r.size() == subject.size; });
        EXPECT_TRUE(rect.has_value()) << "sway does not show " << subject.name;
        // Qt renders at the whole scale above the output's; the compositor
        // scales that down.
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return window.devicePixelRatio() == std::ceil(GetParam().scale); },
            sway::kWaitMs));
        return rect.value_or(QRect());
    }

    // The probes as the output shows them, compared with the desktop and
    // with the window's own picture.
    void ExpectOutline(QWidget& window, const Subject& subject, QRect placed) {
        const QColor desktop = sway::DesktopColour();
        const QImage own = window.grab().toImage();
        const double ownScale = double(own.width()) / window.width();
        const double scale = GetParam().scale;
        // The pointer out of the picture, in the corner of the output.
        ASSERT_TRUE(pointer->MoveTo(QPoint(sway::LayoutSize().width() - 1, 0)));
        QImage screen;
        QStringList wrong;
        (void)QTest::qWaitFor(
            [&] {
                // sway's software renderer draws a window from the memory of
                // the buffer the window showed last, which it hands back at
                // once, so that Qt may already paint into it again; where
                // sway redraws a little (as where the pointer was) such a
                // half-painted buffer shows. The window is painted whole and
                // one turn of the event loop sends it before each look.
                window.repaint();
                QTest::qWait(50);
                screen = sway::Screenshot();
                wrong.clear();
                for (const Probe& probe : subject.probes) {
                    const QPoint onScreen = (placed.topLeft() + probe.at) * scale;
                    const QColor shown = screen.pixelColor(onScreen);
                    bool right = false;
                    if (!probe.inside) {
                        right = sway::Near(shown, desktop, 12);
                    } else {
                        const QColor skin = own.pixelColor(probe.at * ownScale);
                        right = skin.alpha() == 255 && sway::Near(shown, skin, 40) &&
                                !sway::Near(shown, desktop, 12);
                    }
                    if (!right)
                        wrong << QStringLiteral("%1 shows %2").arg(probe.where, shown.name());
                }
                return wrong.isEmpty();
            },
            sway::kWaitMs);
        EXPECT_TRUE(wrong.isEmpty()) << wrong.join("; ").toStdString();
        const QString folder = qEnvironmentVariable("SONGWELL_SCREENSHOT_DIR");
        if (!folder.isEmpty())
            screen.save(QStringLiteral("%1/%2-scale-%3.png").arg(folder, subject.name).arg(scale));
    }

    // Puts the pointer on a point of the window and waits until the window
    // has it; the window must not get the pointer outside its outline.
    bool Point(const SeenInput& seen, QRect placed, QPoint at) {
        // A move to where the pointer already is sends nothing: it comes
        // from next to the point.
        if (!pointer->MoveTo(placed.topLeft() + at + QPoint(1, 1)) ||
            !pointer->MoveTo(placed.topLeft() + at))
            return false;
        return QTest::qWaitFor(
            [&] { return seen.Seen(QEvent::Enter, at) || seen.Seen(QEvent::MouseMove, at); },
            sway::kWaitMs);
    }

    bool Press(const SeenInput& seen, QPoint at) {
        return pointer->Press() &&
               QTest::qWaitFor([&] { return seen.Seen(QEvent::MouseButtonPress, at); },
                               sway::kWaitMs);
    }

    void ExpectDragMoves(QWidget& window, const Subject& subject, QRect& placed) {
        SeenInput seen(&window);
        ASSERT_TRUE(Point(seen, placed, subject.surface));
        ASSERT_TRUE(Press(seen, subject.surface));
        // The window asks the compositor to move it while handling the
        // press; one turn of the event loop sends that, and a message to
        // sway afterwards makes sure sway has read it before the pointer
        // moves.
        QTest::qWait(20);
        sway::Message({"-t", "get_seats"});
        const QPoint by(150, 100);
        ASSERT_TRUE(pointer->Drag(by, 10));
        ASSERT_TRUE(pointer->Release());
        const QRect expected = placed.translated(by);
        const auto moved = sway::WaitForRect(subject.title, [&](const QRect& r) {
            return std::abs(r.x() - expected.x()) <= 2 && std::abs(r.y() - expected.y()) <= 2;
        });
        ASSERT_TRUE(moved.has_value());
        EXPECT_LE(std::abs(moved->x() - expected.x()), 2) << "x " << moved->x();
        EXPECT_LE(std::abs(moved->y() - expected.y()), 2) << "y " << moved->y();
        placed = *moved;
    }

    void ExpectKeyClicks(QWidget& window, const Subject& subject, QRect placed) {
        SeenInput seen(&window);
        ASSERT_TRUE(Point(seen, placed, subject.key));
        ASSERT_TRUE(Press(seen, subject.key));
        QTest::qWait(20); // as for a drag: anything the press asked of sway is out
        pointer->Drag({30, 20}, 3);
        const auto during = sway::WindowRect(subject.title);
        ASSERT_TRUE(during.has_value());
        EXPECT_EQ(during->topLeft(), placed.topLeft()) << "a press on a key moved the window";
        ASSERT_TRUE(pointer->Drag({-30, -20}, 3));
        ASSERT_TRUE(pointer->Release());
        EXPECT_TRUE(QTest::qWaitFor([&] { return subject.clicked(window); }, sway::kWaitMs))
            << "the key did not work as a click";
        if (const auto after = sway::WindowRect(subject.title)) {
            EXPECT_EQ(after->topLeft(), placed.topLeft());
        }
    }

    void ExpectPointerCut(QWidget& window, const Subject& subject, QRect placed) {
        SeenInput seen(&window);
        for (const Probe& probe : subject.probes) {
            if (!probe.inside)
                ASSERT_TRUE(pointer->MoveTo(placed.topLeft() + probe.at));
        }
        // Once the pointer's next stop inside has arrived, every stop before
        // it would have too.
        ASSERT_TRUE(Point(seen, placed, subject.surface));
        for (const Probe& probe : subject.probes) {
            if (!probe.inside)
                EXPECT_FALSE(seen.SeenAt(probe.at)) << "the pointer reached " << probe.where;
        }
    }

    void Run(QWidget& window, const Subject& subject) {
        QRect placed = Show(window, subject);
        ASSERT_FALSE(placed.isNull());
        ExpectOutline(window, subject, placed);
        ExpectPointerCut(window, subject, placed);
        ExpectDragMoves(window, subject, placed);
        ExpectOutline(window, subject, placed);
        ExpectKeyClicks(window, subject, placed);
    }

    std::unique_ptr<sway::Pointer> pointer;
};

TEST_P(SkinnedWindowOnWayland, ShowsTheOutlineAndMovesWhenDragged) {
    if (GetParam().window == std::string("main")) {
        Form1::Hooks hooks;
        hooks.showMessage = [](const QString&, const QString& text) {
            ADD_FAILURE() << text.toStdString();
        };
        Form1 window(PlayerPaths{SONGWELL_PLUGIN_DIR, SONGWELL_SKIN_DIR}, std::move(hooks));
        Subject subject = MainWindow();
        // The probes lie where the skin's own outline says.
        const QRegion outline = skinform::SkinRegion(
            skinform::ReadPolygonSeries(SONGWELL_SKIN_DIR "/Form11GiF1.txt", 4, 23));
        for (const Probe& probe : subject.probes)
            ASSERT_EQ(outline.contains(probe.at), probe.inside) << probe.where;
        QWidget* shuffle = window.Control("Image27");
        ASSERT_NE(shuffle, nullptr);
        subject.key = shuffle->mapTo(&window, shuffle->rect().center());
        Run(window, subject);
        return;
    }
    testsupport::TempDir temp;
    const std::string song = temp.File("Some Artist - Some Song.mp3");
    testsupport::WriteFile(song, std::vector<std::uint8_t>(4096, 0));
    songinfo::FrmID3 editor(nullptr, SONGWELL_PLUGIN_DIR);
    editor.SetFilename(QString::fromStdString(song));
    Run(editor, TagEditor());
}

INSTANTIATE_TEST_SUITE_P(Scales, SkinnedWindowOnWayland,
                         ::testing::Values(Case{"main", 1}, Case{"main", 1.5},
                                           Case{"tag-editor", 1}, Case{"tag-editor", 1.5}),
                         CaseName);

} // namespace

int main(int argc, char** argv) {
    qputenv("AUDIOCORE_OUTPUT", "null");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
