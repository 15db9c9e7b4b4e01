// The converter view drawn by a real X server: screenshots of the view with
// a source loaded and while it shows "Completed...", left in the build tree
// (converter_loaded.png, converter_completed.png).

#include "Form1.h"
#include "TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

QImage Grab(const QWidget& window) {
    const QRect area(window.pos(), window.size());
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
        .toImage();
}

TEST(ConverterXvfb, ShowsTheLoadedSourceAndTheCompletedConversion) {
    qputenv("AUDIOCORE_OUTPUT", "null");
    testsupport::TempDir temp;
    const QString source = QString(SONGWELL_TEST_SONGS) + "/short.mp3";
    const QString target = QString::fromStdString(temp.File("short.wav"));
    Form1::Hooks hooks;
    hooks.showMessage = [](const QString&, const QString& text) {
        ADD_FAILURE() << text.toStdString();
    };
    hooks.openSource = [&](const QString&) { return source; };
    hooks.saveWav = [&](const QString&) { return target; };
    hooks.beep = [] {};
    Form1 window(PlayerPaths{SONGWELL_PLUGIN_DIR, SONGWELL_SKIN_DIR}, std::move(hooks));
    window.move(40, 40);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    QTest::mouseClick(window.Control("Label5"), Qt::LeftButton);
    QTest::mouseClick(window.Control("Label17"), Qt::LeftButton);
    QTest::qWait(500);
    const QImage loaded = Grab(window);
    EXPECT_TRUE(loaded.save(QString(SONGWELL_BUILD_DIR) + "/converter_loaded.png"));

    // Convert returns once "Completed..." has gone again: the picture is
    // taken while it shows.
    QImage completed;
    QString shown;
    QTimer::singleShot(1800, [&] {
        shown = window.findChild<QLabel*>("Label20")->text();
        completed = Grab(window);
    });
    QTest::mouseClick(window.Control("Label18"), Qt::LeftButton);
    EXPECT_EQ(shown, "Completed...");
    EXPECT_TRUE(QFile::exists(target));
    EXPECT_TRUE(completed.save(QString(SONGWELL_BUILD_DIR) + "/converter_completed.png"));
    const QRect progress = window.Control("Label20")->geometry();
    EXPECT_NE(loaded.copy(progress), completed.copy(progress)) << "the message is not drawn";
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
