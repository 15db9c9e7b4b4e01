// The songwell program in a real X server: its window, shaped and titled,
// plays the song given on the command line, survives a file that does not
// exist, and ends about 1.25 s after its close key is clicked. A screenshot
// of the playing window is left in the build tree.
//
// Runs under xvfb-run (no window manager): the program's top-level windows
// are direct children of the root window.

#include "TestSupport.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#include <optional>

namespace {

constexpr QSize kWindowSize(409, 317);
constexpr QSize kBannerSize(540, 75);
const QPoint kCloseKey(386, 17);

// A connection of the test's own to the server the program shows on.
xcb_connection_t* Connection() {
    static xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    return connection;
}

QString WindowName(xcb_connection_t* c, xcb_window_t window) {
    auto cookie =
        xcb_get_property(c, 0, window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, 256);
    std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
        xcb_get_property_reply(c, cookie, nullptr), &std::free);
    if (!reply)
        return QString();
    return QString::fromUtf8(static_cast<const char*>(xcb_get_property_value(reply.get())),
                             xcb_get_property_value_length(reply.get()));
}

struct Found {
    xcb_window_t window;
    QRect geometry;
};

// The viewable top-level window titled "Songwell" of the given size.
std::optional<Found> FindWindow(QSize size) {
    xcb_connection_t* c = Connection();
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    std::unique_ptr<xcb_query_tree_reply_t, decltype(&std::free)> tree(
        xcb_query_tree_reply(c, xcb_query_tree(c, root), nullptr), &std::free);
    if (!tree)
        return std::nullopt;
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
        std::unique_ptr<xcb_get_window_attributes_reply_t, decltype(&std::free)> attributes(
            xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, children[i]), nullptr),
            &std::free);
        std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)> geometry(
            xcb_get_geometry_reply(c, xcb_get_geometry(c, children[i]), nullptr), &std::free);
        if (!attributes || !geometry || attributes->map_state != XCB_MAP_STATE_VIEWABLE)
            continue;
        const QRect rect(geometry->x, geometry->y, geometry->width, geometry->height);
        if (rect.size() == size && WindowName(c, children[i]) == "Songwell")
            return Found{children[i], rect};
    }
    return std::nullopt;
}

std::optional<Found> WaitForPlayer(int milliseconds) {
    for (int waited = 0; waited < milliseconds; waited += 50) {
        if (auto found = FindWindow(kWindowSize))
            return found;
        QTest::qWait(50);
    }
    return std::nullopt;
}

// A left click as the X server would deliver it.
void ClickAt(const Found& player, QPoint at) {
    xcb_connection_t* c = Connection();
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    for (uint8_t type : {uint8_t(XCB_BUTTON_PRESS), uint8_t(XCB_BUTTON_RELEASE)}) {
        xcb_button_press_event_t event{};
        event.response_type = type;
        event.detail = 1;
        event.time = XCB_CURRENT_TIME;
        event.root = root;
        event.event = player.window;
        event.root_x = int16_t(player.geometry.x() + at.x());
        event.root_y = int16_t(player.geometry.y() + at.y());
        event.event_x = int16_t(at.x());
        event.event_y = int16_t(at.y());
        event.state = type == XCB_BUTTON_RELEASE ? XCB_BUTTON_MASK_1 : 0;
        event.same_screen = 1;
        xcb_send_event(c, 0, player.window,
                       type == XCB_BUTTON_PRESS ? XCB_EVENT_MASK_BUTTON_PRESS
                                                : XCB_EVENT_MASK_BUTTON_RELEASE,
                       reinterpret_cast<const char*>(&event));
    }
    xcb_flush(c);
}

QImage Grab(const QRect& area) {
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
        .toImage();
}

class SongwellXvfb : public ::testing::Test {
protected:
    void Start(const QStringList& arguments) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("AUDIOCORE_OUTPUT", "null");
        program_.setProcessEnvironment(environment);
        program_.setProcessChannelMode(QProcess::ForwardedChannels);
        program_.start(QString(SONGWELL_BIN_DIR) + "/songwell", arguments);
        ASSERT_TRUE(program_.waitForStarted());
    }

    void TearDown() override {
        if (program_.state() != QProcess::NotRunning) {
            program_.kill();
            program_.waitForFinished();
        }
    }

    static QString Song() { return QString(SONGWELL_TEST_SONGS) + "/a_one.mp3"; }

    QProcess program_;
};

TEST_F(SongwellXvfb, PlaysInAShapedWindowAndEndsAfterTheBanner) {
    Start({Song()});
    const auto player = WaitForPlayer(10000);
    ASSERT_TRUE(player) << "no window titled Songwell";

    // The first tick starts the song; the time line then counts up.
    QTest::qWait(2500);
    const QImage first = Grab(player->geometry);
    QTest::qWait(1500);
    const QImage playing = Grab(player->geometry);
    const QString shot = QString(SONGWELL_BUILD_DIR) + "/songwell_playing.png";
    EXPECT_TRUE(playing.save(shot));
    const QRect timeLine(20, 60, 138, 18);
    EXPECT_NE(first.copy(timeLine), playing.copy(timeLine)) << "the time line does not move";

    // Cut to its outline: the very corner shows the (black) root window,
    // the middle shows the skin.
    EXPECT_EQ(playing.pixelColor(0, playing.height() - 1), QColor(Qt::black));
    EXPECT_NE(playing.pixelColor(200, 150), QColor(Qt::black));

    QElapsedTimer clock;
    clock.start();
    ClickAt(*player, kCloseKey);
    QTest::qWait(400);
    const auto banner = FindWindow(kBannerSize);
    ASSERT_TRUE(banner) << "no farewell banner";
    EXPECT_FALSE(FindWindow(kWindowSize)) << "the main window is gone";
    EXPECT_TRUE(Grab(banner->geometry).save(QString(SONGWELL_BUILD_DIR) + "/songwell_banner.png"));
    ASSERT_TRUE(program_.waitForFinished(5000));
    EXPECT_EQ(program_.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program_.exitCode(), 0);
    EXPECT_GE(clock.elapsed(), 1100);
    EXPECT_LE(clock.elapsed(), 2500);
}

TEST_F(SongwellXvfb, SurvivesAFileThatDoesNotExist) {
    Start({QString(SONGWELL_TEST_SONGS) + "/no such song.mp3", Song()});
    const auto player = WaitForPlayer(10000);
    ASSERT_TRUE(player);
    QTest::qWait(3500);
    EXPECT_EQ(program_.state(), QProcess::Running);
    const QImage before = Grab(player->geometry);
    QTest::qWait(1500);
    // The message box may cover the time line; the seek bar moves on.
    const QRect seekBar(158, 242, 241, 10);
    EXPECT_NE(before.copy(seekBar), Grab(player->geometry).copy(seekBar))
        << "the next song does not play";
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
