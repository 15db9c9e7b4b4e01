// Play list files opened from the command line, the Open dialog and a drop;
// the list saved as M3U8 and opened again; a library of thousands of songs
// added with its subfolders while the window keeps answering.

#include "PlayerTestSupport.h"
#include "controlkit/LocalPath.h"

#include <QAction>
#include <QMenu>
#include <QMimeData>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace playertest {
namespace {

namespace fs = std::filesystem;

// Five songs around the list's folder "lists": one beside it named by its
// full path, one below it, one above it named by a file URL, one stored
// under a UTF-8 name and one under a name with a Latin-1 byte.
class PlayListFilesTest : public PlayerTest {
protected:
    void SetUp() override {
        PlayerTest::SetUp();
        for (const std::string& name : kSongNames) {
            fs::create_directories(fs::path(Root() + "/" + name).parent_path());
            fs::copy_file(fs::path(SONGWELL_TEST_SONGS) / "short.mp3", Root() + "/" + name);
        }
        for (const std::string& name : kSongNames)
            expected.append(Kept(name));
    }

    std::string Root() const { return dir.path().string(); }
    QString Kept(const std::string& relative) const {
        return controlkit::PathFromBytes(QByteArray::fromStdString(Root() + "/" + relative));
    }

    // Writes a list file in lists/; "@" in the text stands for the root.
    QString WriteList(const std::string& name, std::string text) const {
        for (std::size_t at; (at = text.find('@')) != std::string::npos;)
            text.replace(at, 1, Root());
        const std::string path = Root() + "/lists/" + name;
        std::ofstream(path, std::ios::binary) << text;
        return Kept("lists/" + name);
    }

    // The same five songs, a missing one and a URL, in each format.
    QStringList AllFormats() const {
        return {
            WriteList("latin1.m3u", "#EXTM3U\r\n#EXTINF:2,One\r\n@/lists/one.mp3\r\n"
                                    "sub/two.mp3\r\nfile://@/other/three%203.mp3\r\n"
                                    "missing.mp3\r\nhttp://radio.example/live\r\n"
                                    "caf\xe9.mp3\r\nfile://@/lists/dj%E9.mp3\r\n"),
            WriteList("utf8.m3u8", "#EXTM3U\n@/lists/one.mp3\nsub/two.mp3\n"
                                   "file://@/other/three%203.mp3\nmissing.mp3\n"
                                   "http://radio.example/live\ncaf\xc3\xa9.mp3\ndj\xe9.mp3\n"),
            WriteList("list.pls", "[playlist]\r\nFile1=@/lists/one.mp3\r\nFile2=sub/two.mp3\r\n"
                                  "File3=file://@/other/three%203.mp3\r\nFile4=missing.mp3\r\n"
                                  "File5=http://radio.example/live\r\nFile6=caf\xc3\xa9.mp3\r\n"
                                  "File7=file://@/lists/dj%E9.mp3\r\nNumberOfEntries=7\r\n"),
            WriteList("list.xspf",
                      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                      "<playlist version=\"1\" xmlns=\"http://xspf.org/ns/0/\"><trackList>\r\n"
                      "<track><location>file://@/lists/one.mp3</location></track>\r\n"
                      "<track><location>sub/two.mp3</location></track>\r\n"
                      "<track><location>../other/three%203.mp3</location></track>\r\n"
                      "<track><location>missing.mp3</location></track>\r\n"
                      "<track><location>http://radio.example/live</location></track>\r\n"
                      "<track><location>caf%C3%A9.mp3</location></track>\r\n"
                      "<track><location>dj%E9.mp3</location></track>\r\n"
                      "</trackList></playlist>\r\n"),
        };
    }

    void ExpectTheSongsAndOneMessage(const QString& list) {
        SCOPED_TRACE(list.toStdString());
        EXPECT_EQ(window->lstFilenames, expected);
        EXPECT_EQ(ListCount(), expected.size());
        EXPECT_EQ(Entry(3), QString::fromUtf8(" caf\xc3\xa9"));
        ASSERT_EQ(messages.size(), 1) << messages.join("\n---\n").toStdString();
        EXPECT_TRUE(messages[0].startsWith("2 entries")) << messages[0].toStdString();
        EXPECT_TRUE(messages[0].contains("missing.mp3"));
        EXPECT_TRUE(messages[0].contains("http://radio.example/live"));
        messages.clear();
        window->ClearList();
    }

    void Drop(const QStringList& paths) {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& path : paths)
            urls.append(QUrl::fromLocalFile(path));
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(200, 150), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(window.get(), &enter);
        QDropEvent drop(QPointF(200, 150), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &drop);
    }

    QAction* MenuEntry(QMenu& menu, const QString& text) {
        for (QAction* action : menu.actions())
            if (action->text() == text)
                return action;
        ADD_FAILURE() << "no menu entry " << text.toStdString();
        return nullptr;
    }

    static inline const std::vector<std::string> kSongNames = {
        "lists/one.mp3", "lists/sub/two.mp3", "other/three 3.mp3", "lists/caf\xc3\xa9.mp3",
        "lists/dj\xe9.mp3"};
    testsupport::TempDir dir;
    QStringList expected;
};

TEST_F(PlayListFilesTest, EachFormatOnTheCommandLineGivesItsSongsInOrderAndOneMessage) {
    for (const QString& list : AllFormats()) {
        window->AppendPaths({list});
        ExpectTheSongsAndOneMessage(list);
    }
}

TEST_F(PlayListFilesTest, EachFormatFromOpenAndFromADropGivesItsSongsInOrder) {
    for (const QString& list : AllFormats()) {
        chosenFiles = {list};
        Click("Image34");
        ExpectTheSongsAndOneMessage(list);
        Drop({list});
        ExpectTheSongsAndOneMessage(list);
    }
}

TEST_F(PlayListFilesTest, ListsAndSongsGivenTogetherJoinInOrderWithOneMessageForAll) {
    const QStringList lists = AllFormats();
    const QString song = Kept("lists/one.mp3");
    window->AppendPaths({lists[0], song, lists[3], Kept("lists/none.m3u")});
    EXPECT_EQ(window->lstFilenames, expected + QStringList{song} + expected);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains("none.m3u cannot be read")) << messages[0].toStdString();
    EXPECT_TRUE(messages[0].contains("4 entries")) << messages[0].toStdString();
}

TEST_F(PlayListFilesTest, TheListSavedAsM3u8OpensToTheSameList) {
    window->AppendPaths({AllFormats()[3]});
    messages.clear();
    chosenFiles = {Kept("lists/saved.m3u8")};
    QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(dialogTitles.last(), "Save play list");
    // The copy through the context menu lies above the songs.
    std::unique_ptr<QMenu> menu = window->ContextMenu();
    chosenFiles = {QString::fromStdString(Root() + "/top.m3u8")};
    MenuEntry(*menu, QString::fromUtf8("Save play list\xe2\x80\xa6"))->trigger();
    EXPECT_TRUE(messages.isEmpty()) << messages.join('\n').toStdString();

    std::ifstream saved(Root() + "/lists/saved.m3u8");
    std::string first, second, third;
    std::getline(saved, first);
    std::getline(saved, second);
    std::getline(saved, third);
    EXPECT_EQ(first, "#EXTM3U");
    EXPECT_EQ(second, "#EXTINF:-1,one");
    EXPECT_EQ(third, "one.mp3"); // beside the list: relative

    for (const QString& list : {Kept("lists/saved.m3u8"), Kept("top.m3u8")}) {
        window->ClearList();
        window->AppendPaths({list});
        EXPECT_EQ(window->lstFilenames, expected) << list.toStdString();
        EXPECT_TRUE(messages.isEmpty()) << messages.join('\n').toStdString();
    }
}

TEST_F(PlayListFilesTest, ASaveThatFailsSaysSo) {
    window->AppendPaths({Kept("lists/one.mp3")});
    chosenFiles = {QString::fromStdString(Root() + "/no/such/folder/x.m3u8")};
    QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith("The play list cannot be saved"))
        << messages[0].toStdString();
}

TEST_F(PlayListFilesTest, TheContextMenuAndShiftOnTheFolderKeyAddSubfoldersInNameOrder) {
    // The folder's own songs by name, then each subfolder by name.
    const QStringList tree = {Kept("lists/caf\xc3\xa9.mp3"), Kept("lists/dj\xe9.mp3"),
                              Kept("lists/one.mp3"), Kept("lists/sub/two.mp3")};
    chosenFolder = Kept("lists");
    std::unique_ptr<QMenu> menu = window->ContextMenu();
    MenuEntry(*menu, QString::fromUtf8("Add folder with subfolders\xe2\x80\xa6"))->trigger();
    ASSERT_TRUE(WaitFor([&] { return ListCount() == tree.size(); }));
    EXPECT_EQ(window->lstFilenames, tree);

    QTest::mouseClick(Control("Image35"), Qt::LeftButton, Qt::ShiftModifier);
    ASSERT_TRUE(WaitFor([&] { return ListCount() == 2 * tree.size(); }));
    EXPECT_EQ(window->lstFilenames, tree + tree);
    // Without Shift, the folder's own songs only.
    Click("Image35");
    EXPECT_EQ(window->lstFilenames, tree + tree + tree.mid(0, 3));
}

TEST_F(PlayListFilesTest, ClearDropsTheSongsOfAFolderStillBeingAdded) {
    chosenFolder = Kept("lists");
    QTest::mouseClick(Control("Image35"), Qt::LeftButton, Qt::ShiftModifier);
    window->AppendPaths({Kept("other/three 3.mp3")});
    window->ClearList();
    QTest::qWait(200);
    EXPECT_EQ(ListCount(), 0);
    EXPECT_TRUE(window->lstFilenames.isEmpty());
}

TEST_F(PlayListFilesTest, ALibraryOfTenThousandSongsJoinsWhileTheWindowKeepsAnswering) {
    // 10 artists of 10 albums of 100 songs: links to one small song.
    const fs::path song = Root() + "/song.mp3";
    fs::copy_file(fs::path(SONGWELL_TEST_SONGS) / "short.mp3", song);
    QStringList library;
    for (int artist = 0; artist < 10; ++artist)
        for (int album = 0; album < 10; ++album) {
            const std::string folder = Root() + "/library/artist " + std::to_string(artist) +
                                       "/album " + std::to_string(album);
            fs::create_directories(folder);
            for (int track = 0; track < 100; ++track) {
                char name[16];
                std::snprintf(name, sizeof name, "/%03d.mp3", track);
                fs::create_hard_link(song, folder + name);
                library.append(QString::fromStdString(folder + name));
            }
        }
    window->Timer1.start(); // the player starts the first song meanwhile, as for a user

    // A timer of the window's thread: how long the window was away at most.
    QTimer beat;
    QElapsedTimer sinceBeat;
    qint64 longestAway = 0;
    int beats = 0;
    QObject::connect(&beat, &QTimer::timeout, [&] {
        longestAway = std::max(longestAway, sinceBeat.restart());
        ++beats;
    });
    chosenFolder = QString::fromStdString(Root() + "/library");
    QElapsedTimer clock;
    clock.start();
    sinceBeat.start();
    beat.start(10);
    QTest::mouseClick(Control("Image35"), Qt::LeftButton, Qt::ShiftModifier);
    ASSERT_TRUE(WaitFor([&] { return ListCount() == library.size(); }, 60000))
        << ListCount() << " songs";
    const qint64 took = clock.elapsed();
    beat.stop();
    longestAway = std::max(longestAway, sinceBeat.elapsed());
    std::printf("10000 songs with their subfolders: complete in %lld ms; the window's timer "
                "fired %d times, at most %lld ms apart\n",
                static_cast<long long>(took), beats, static_cast<long long>(longestAway));
    EXPECT_EQ(window->lstFilenames, library);
    // Answering throughout: the timer kept firing, never held for half of
    // the whole (a walk or an add on the window's thread holds it for all of
    // it; a busy machine may hold the process for a while, not for half).
    EXPECT_GE(beats, 10);
    EXPECT_LT(longestAway * 2, took)
        << "the window stopped answering for " << longestAway << " ms of " << took << " ms";
    EXPECT_TRUE(messages.isEmpty()) << messages.join('\n').toStdString();
}

} // namespace
} // namespace playertest
