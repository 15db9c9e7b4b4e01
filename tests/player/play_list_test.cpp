// The play list: loading songs and folders, the command line, removing and
// clearing, double-click play, the song description row, the tag editor,
// and songs that cannot be opened.

#include "PlayerTestSupport.h"

#include <QDir>
#include <QFile>

namespace playertest {
namespace {

class PlayListTest : public PlayerTest {};

TEST_F(PlayListTest, TheFirstSongLoadedStartsWithinASecond) {
    window->Timer1.start();
    LoadSongs({Song("a_one.mp3")});
    EXPECT_EQ(Entry(0), " a_one");
    EXPECT_EQ(dialogTitles, QStringList{"Select MP3 file"});
    ASSERT_TRUE(WaitFor([&] { return Playing(); }, 2500));
    EXPECT_EQ(window->iCurrentSong, 1);
    EXPECT_EQ(window->Text5, "a_one");
    ASSERT_TRUE(WaitFor([&] { return Entry(0) == ">>> PLAY: a_one"; }, 2500));
    EXPECT_EQ(Label("Label9")->text(), "Now:a_one");

    auto* row = window->findChild<QTreeWidget*>("lstPlayList1");
    ASSERT_EQ(row->topLevelItemCount(), 1);
    EXPECT_EQ(row->topLevelItem(0)->text(0), "1");
    EXPECT_EQ(row->topLevelItem(0)->text(1).trimmed(), "Demo song");
    EXPECT_EQ(row->topLevelItem(0)->text(2).trimmed(), "Songwell");
}

TEST_F(PlayListTest, CommandLineAndFolderLoadsAppendInNameOrder) {
    QTemporaryDir folder;
    for (const char* name : {"b.mp3", "a.MP3", "c.txt", "c.mp3"})
        QFile::copy(Song("short.mp3"), folder.filePath(name));
    window->AppendPaths({Song("b_two.mp3"), folder.path()});
    const QStringList expected = {Song("b_two.mp3"), folder.filePath("a.MP3"),
                                  folder.filePath("b.mp3"), folder.filePath("c.mp3")};
    EXPECT_EQ(window->lstFilenames, expected);
    EXPECT_EQ(ListCount(), 4);
    EXPECT_EQ(Entry(1), " a");

    chosenFolder = folder.path(); // the folder again, through its button
    Click("Image35");
    EXPECT_EQ(window->lstFilenames.size(), 7);
    EXPECT_EQ(window->lstFilenames.last(), folder.filePath("c.mp3"));
    chosenFolder.clear(); // a cancelled browser changes nothing
    Click("Image35");
    EXPECT_EQ(window->lstFilenames.size(), 7);
}

TEST_F(PlayListTest, RemoveDropsTheSelectedSongAndSelectsTheFirst) {
    LoadAndStart({Song("a_one.mp3"), Song("b_two.mp3"), Song("c_three.mp3")});
    Click("Label4"); // nothing selected: nothing happens
    EXPECT_EQ(ListCount(), 3);
    EXPECT_TRUE(Playing());

    SelectRow(1);
    Click("Label4");
    EXPECT_FALSE(Playing());
    EXPECT_TRUE(window->bUserStopped);
    EXPECT_EQ(window->lstFilenames, (QStringList{Song("a_one.mp3"), Song("c_three.mp3")}));
    EXPECT_EQ(Entry(1), " c_three");
    EXPECT_EQ(window->iCurrentSong, 1);
    EXPECT_EQ(Loaded(), Song("a_one.mp3"));

    for (int left = 2; left > 0; --left) {
        SelectRow(0);
        Click("Label4");
    }
    EXPECT_EQ(ListCount(), 0);
    EXPECT_TRUE(window->lstFilenames.isEmpty());
}

TEST_F(PlayListTest, ClearEmptiesTheListAndTheNextLoadIsSelectedNotPlayed) {
    LoadAndStart({Song("a_one.mp3"), Song("b_two.mp3")});
    Click("Label3");
    EXPECT_FALSE(Playing());
    EXPECT_EQ(ListCount(), 0);
    EXPECT_TRUE(window->lstFilenames.isEmpty());
    EXPECT_EQ(Loaded(), Song("a_one.mp3")) << "the loaded file stays";

    LoadSongs({Song("c_three.mp3")});
    EXPECT_EQ(dialogTitles.last(), "Select MP3 file.");
    EXPECT_EQ(window->iCurrentSong, 1);
    EXPECT_EQ(Loaded(), Song("c_three.mp3"));
    window->StatusTick();
    EXPECT_FALSE(Playing()) << "selected, not played";
}

TEST_F(PlayListTest, DoubleClickPlaysTheChosenSong) {
    LoadSongs({Song("a_one.mp3"), Song("b_two.mp3")});
    DoubleClickRow(1);
    EXPECT_TRUE(Playing());
    EXPECT_EQ(window->iCurrentSong, 2);
    EXPECT_EQ(Loaded(), Song("b_two.mp3"));

    DoubleClickRow(0); // while playing: stops, waits, plays the other
    EXPECT_TRUE(Playing());
    EXPECT_EQ(window->iCurrentSong, 1);
    window->StatusTick();
    EXPECT_EQ(Entry(1), " b_two") << "the song that stopped loses its mark";
}

TEST_F(PlayListTest, ASongThatCannotBeOpenedIsReportedAndSkipped) {
    const QString missing = QDir::temp().filePath("songwell-no-such-song.mp3");
    LoadAndStart({Song("a_one.mp3")});
    window->AppendPaths({missing, Song("short.mp3")});

    Click("Image17"); // Next: the tick tries the missing song
    window->StatusTick();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(missing));
    EXPECT_TRUE(messages[0].contains("does not exist"));
    EXPECT_FALSE(Playing());
    EXPECT_EQ(ListCount(), 3) << "the list stays";
    EXPECT_EQ(window->iCurrentSong, 2);

    window->StatusTick(); // the sequence goes on
    EXPECT_TRUE(Playing());
    EXPECT_EQ(window->iCurrentSong, 3);
    EXPECT_EQ(messages.size(), 1);
}

TEST_F(PlayListTest, ABrokenFirstSongIsReportedOncePerAttemptToPlayIt) {
    const QString missing = QDir::temp().filePath("songwell-no-such-song.mp3");
    window->AppendPaths({missing, Song("short.mp3")});
    window->StatusTick(); // the fresh player starts song 1: reported
    ASSERT_EQ(messages.size(), 1);
    window->StatusTick(); // and goes on with song 2
    ASSERT_TRUE(Playing());
    ASSERT_TRUE(WaitFor([&] { return !Playing(); }));
    window->StatusTick(); // the end of a Standard list selects song 1, unasked
    EXPECT_FALSE(Playing());
    EXPECT_EQ(window->iCurrentSong, 1);
    Click("Label5"); // the converter view, and back
    Click("Label13");
    EXPECT_EQ(messages.size(), 1) << "nobody asked to play it";

    Click("Image12"); // Play: an attempt, so it is reported again
    EXPECT_EQ(messages.size(), 2);
    EXPECT_TRUE(messages.last().contains(missing));
}

TEST_F(PlayListTest, AListOfOnlyBrokenSongsStopsTrying) {
    QTemporaryDir folder;
    QFile noise(folder.filePath("noise.mp3"));
    ASSERT_TRUE(noise.open(QFile::WriteOnly));
    noise.write(QByteArray(4096, '\x11'));
    noise.close();
    window->AppendPaths({folder.filePath("gone.mp3"), noise.fileName()});
    Click("Image28"); // Repeat would otherwise go round for ever
    for (int tick = 0; tick < 6; ++tick)
        window->StatusTick();
    EXPECT_FALSE(Playing());
    EXPECT_EQ(messages.size(), 2);
    EXPECT_TRUE(messages.last().contains(noise.fileName()));
    EXPECT_TRUE(messages.last().contains("no playable MPEG audio"));
}

TEST_F(PlayListTest, ASoundDeviceThatCannotOpenIsShownOnceAndTheListStops) {
    // The real back end, on a driver that does not exist.
    qputenv("AUDIOCORE_OUTPUT", "sdl");
    qputenv("SDL_AUDIODRIVER", "no-such-driver");
    LoadSongs({Song("a_one.mp3"), Song("b_two.mp3"), Song("c_three.mp3")});
    window->StatusTick(); // starts song 1, whose run cannot open the device
    const bool ended = WaitFor([&] { return !Playing(); });
    for (int tick = 0; tick < 5; ++tick)
        window->StatusTick();
    qputenv("AUDIOCORE_OUTPUT", "null");
    qunsetenv("SDL_AUDIODRIVER");
    ASSERT_TRUE(ended);
    ASSERT_EQ(messages.size(), 1) << "once, not once per song";
    EXPECT_TRUE(messages[0].contains(Song("a_one.mp3")));
    EXPECT_TRUE(messages[0].contains("could not open wave device: Audio target 'no-such-driver'"))
        << messages[0].toStdString();
    EXPECT_EQ(window->iCurrentSong, 1) << "the list does not advance";
    EXPECT_FALSE(Playing());
    EXPECT_TRUE(window->bUserStopped);

    Click("Image12"); // with a device again, Play plays
    EXPECT_TRUE(Playing());
}

TEST_F(PlayListTest, SongInfoOpensTheEditorWithThePlayingNoticeForTheLoadedFile) {
    LoadAndStart({Song("a_one.mp3"), Song("b_two.mp3")});
    Click("Label19"); // nothing selected
    EXPECT_TRUE(editorPath.isEmpty());

    SelectRow(1);
    Click("Image36");
    EXPECT_EQ(editorPath, Song("b_two.mp3"));
    EXPECT_FALSE(editorPlayingNotice);

    SelectRow(0);
    Click("Label19");
    EXPECT_EQ(editorPath, Song("a_one.mp3"));
    EXPECT_TRUE(editorPlayingNotice);
}

TEST_F(PlayListTest, ShowSongInfoDescribesKnownFileTypes) {
    struct Case {
        QString path;
        bool known;
        QString title;
        QString artist;
    } cases[] = {
        {"/music/Intro.WAV", true, "/music/Intro", "Unknown"},
        {"/music/tune.mid", true, "/music/tune", "Unknown"},
        {"/music/gone away.mp3", true, "gone away", ""},
        {"/music/song.ogg", false, "", ""},
    };
    auto* rows = window->findChild<QTreeWidget*>("lstPlayList1");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        rows->clear();
        EXPECT_EQ(window->ShowSongInfo(c.path), c.known);
        ASSERT_EQ(rows->topLevelItemCount(), c.known ? 1 : 0);
        if (c.known) {
            EXPECT_EQ(rows->topLevelItem(0)->text(1), c.title);
            EXPECT_EQ(rows->topLevelItem(0)->text(2), c.artist);
        }
    }
}

} // namespace
} // namespace playertest
