#pragma once

// Drives Songwell's main window as a user would: clicks on its areas, double
// clicks in its list, the status tick, with the null audio device at eight
// times real pace. Dialogs, message boxes, the tag editor and the program's
// end are replaced by recorders.

#include "Form1.h"
#include "TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <QUrl>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace playertest {

constexpr int kNullSpeed = 8;

inline QApplication& App() {
    static int argc = 1;
    static char name[] = "player_test";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        qputenv("AUDIOCORE_OUTPUT", "null");
        qputenv("AUDIOCORE_NULL_SPEED", QByteArray::number(kNullSpeed));
        return new QApplication(argc, argv);
    }();
    return *app;
}

// Songs made at build time with the project's demo-song script: three of
// 24 s, long enough to be paused and resumed at eight times real pace, and
// one of 2 s.
class Songs {
public:
    static const Songs& Get() {
        static Songs songs;
        return songs;
    }
    QString Path(const QString& name) const { return QDir(SONGWELL_TEST_SONGS).filePath(name); }
};

class PlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        App();
        songs_ = &Songs::Get();
        Form1::Hooks hooks;
        hooks.showMessage = [this](const QString&, const QString& text) { messages.append(text); };
        hooks.openFile = [this](const QString& title) {
            dialogTitles.append(title);
            return chosenFiles.isEmpty() ? QString() : chosenFiles.takeFirst();
        };
        hooks.openFolder = [this](const QString& title) {
            dialogTitles.append(title);
            return chosenFolder;
        };
        hooks.saveList = [this](const QString& title) {
            dialogTitles.append(title);
            return chosenFiles.isEmpty() ? QString() : chosenFiles.takeFirst();
        };
        hooks.showTagEditor = [this](const QString& path, bool playing) {
            editorPath = path;
            editorPlayingNotice = playing;
        };
        hooks.quit = [this] { ++quits; };
        hooks.openSource = [this](const QString& title) {
            dialogTitles.append(title);
            return chosenFiles.isEmpty() ? QString() : chosenFiles.takeFirst();
        };
        hooks.saveWav = [this](const QString& title) {
            dialogTitles.append(title);
            return chosenFiles.isEmpty() ? QString() : chosenFiles.takeFirst();
        };
        hooks.openUrl = [this](const QUrl& url) { openedUrls.append(url); };
        hooks.beep = [this] { ++beeps; };
        window = std::make_unique<Form1>(PlayerPaths{SONGWELL_PLUGIN_DIR, SONGWELL_SKIN_DIR},
                                         std::move(hooks));
        window->show();
        // The test ticks the clock itself, except where it waits for the timer.
        window->Timer1.stop();
    }

    void TearDown() override { window.reset(); }

    QString Song(const QString& name) const { return songs_->Path(name); }

    QWidget* Control(const char* name) const { return window->Control(name); }
    QLabel* Label(const char* name) const { return window->findChild<QLabel*>(name); }

    void Click(const char* area) { QTest::mouseClick(Control(area), Qt::LeftButton); }
    void Press(const char* area) { QTest::mousePress(Control(area), Qt::LeftButton); }

    // Load song through the dialog, one file per click.
    void LoadSongs(const QStringList& paths) {
        for (const QString& path : paths) {
            chosenFiles.append(path);
            Click("Image34");
        }
    }

    // The first tick of a fresh player starts song 1.
    void LoadAndStart(const QStringList& paths) {
        LoadSongs(paths);
        window->StatusTick();
        ASSERT_TRUE(Playing());
    }

    bool Playing() const { return Ask<bool>("IsPlaying"); }
    int Position() const { return Ask<int>("GetPosition"); }
    int FrameCount() const { return Ask<int>("GetFrameCount"); }
    QString Loaded() const { return Control("Audiocore1")->property("SourceFile").toString(); }

    template <typename T> T Ask(const char* method) const {
        T result{};
        QMetaObject::invokeMethod(Control("Audiocore1"), method, Qt::DirectConnection,
                                  QReturnArgument<T>(QMetaType::fromType<T>().name(), result));
        return result;
    }

    int ListCount() const {
        int count = 0;
        QMetaObject::invokeMethod(Control("CustomListBox1"), "LCount", Qt::DirectConnection,
                                  Q_RETURN_ARG(int, count));
        return count;
    }
    int ListIndex() const {
        int index = 0;
        QMetaObject::invokeMethod(Control("CustomListBox1"), "Listindex", Qt::DirectConnection,
                                  Q_RETURN_ARG(int, index));
        return index;
    }
    QString Entry(int index) const {
        QString text;
        QMetaObject::invokeMethod(Control("CustomListBox1"), "List", Qt::DirectConnection,
                                  Q_RETURN_ARG(QString, text), Q_ARG(int, index));
        return text;
    }

    QWidget* ListSurface() const {
        return Control("CustomListBox1")->findChild<QWidget*>("TheList");
    }

    // Clicks down the list until the row is the selected one; answers its y.
    int SelectRow(int row) {
        for (int y = 1; y < ListSurface()->height(); y += 2) {
            QTest::mouseClick(ListSurface(), Qt::LeftButton, {}, QPoint(10, y));
            if (ListIndex() == row)
                return y;
        }
        ADD_FAILURE() << "row " << row << " cannot be selected";
        return 1;
    }

    void DoubleClickRow(int row) {
        const int y = SelectRow(row);
        QTest::mouseDClick(ListSurface(), Qt::LeftButton, {}, QPoint(10, y));
    }

    static bool WaitFor(const std::function<bool()>& condition, int milliseconds = 5000) {
        QElapsedTimer clock;
        clock.start();
        while (!condition()) {
            if (clock.elapsed() > milliseconds)
                return false;
            QTest::qWait(10);
        }
        return true;
    }

    std::unique_ptr<Form1> window;
    QStringList messages;
    QStringList dialogTitles;
    QStringList chosenFiles;
    QString chosenFolder;
    QString editorPath;
    bool editorPlayingNotice = false;
    int quits = 0;
    int beeps = 0;
    QList<QUrl> openedUrls;

private:
    const Songs* songs_ = nullptr;
};

} // namespace playertest
