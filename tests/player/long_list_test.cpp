// A play list far longer than the window shows: the keys move through it,
// and the song that begins to play is brought into view.

#include "PlayerTestSupport.h"

namespace playertest {
namespace {

class LongListTest : public PlayerTest {
protected:
    void SetUp() override {
        PlayerTest::SetUp();
        QStringList many;
        for (int i = 0; i < kSongs; ++i)
            many.append(Song("short.mp3"));
        window->AppendPaths(many);
        ASSERT_EQ(ListCount(), kSongs);
    }

    int RowHeight() const { return (ListSurface()->height() - 1) / kSongs; }
    int ShownHeight() const { return Control("CustomListBox1")->height(); }

    bool RowInView(int row) const {
        const int top = ListSurface()->y() + row * RowHeight();
        return top >= 0 && top + RowHeight() <= ShownHeight();
    }

    void Key(int qtKey) { QTest::keyClick(ListSurface(), Qt::Key(qtKey)); }

    static constexpr int kSongs = 60;
};

TEST_F(LongListTest, HomeEndAndPageKeysMoveTheSelection) {
    ASSERT_LT(ShownHeight(), kSongs * RowHeight()) << "the list must need scrolling";
    const int page = ShownHeight() / RowHeight();
    Key(Qt::Key_End);
    EXPECT_EQ(ListIndex(), kSongs - 1);
    EXPECT_TRUE(RowInView(kSongs - 1));
    Key(Qt::Key_PageUp);
    EXPECT_EQ(ListIndex(), kSongs - 1 - page);
    EXPECT_TRUE(RowInView(ListIndex()));
    Key(Qt::Key_Home);
    EXPECT_EQ(ListIndex(), 0);
    EXPECT_EQ(ListSurface()->y(), 0);
    Key(Qt::Key_PageDown);
    EXPECT_EQ(ListIndex(), page);
    EXPECT_TRUE(RowInView(page));
}

TEST_F(LongListTest, TheSongThatBeginsToPlayIsScrolledIntoView) {
    // Played from the end of the list; then the user goes back to its top,
    // and the song after it begins while it is out of view.
    Key(Qt::Key_End);
    DoubleClickRow(kSongs - 2);
    ASSERT_TRUE(WaitFor([&] { return window->iCurrentSong == kSongs - 1; }));
    Key(Qt::Key_Home);
    ASSERT_FALSE(RowInView(kSongs - 1));
    // The song (a quarter of a second at the device's pace) ends; the ticks
    // start the next and mark it.
    ASSERT_TRUE(WaitFor([&] {
        window->StatusTick();
        return window->iCurrentSong == kSongs && RowInView(kSongs - 1);
    }));
    EXPECT_EQ(Entry(kSongs - 1).left(1), QStringLiteral(">")) << Entry(kSongs - 1).toStdString();
    // While it plays the user may scroll away again: the list stays there.
    Key(Qt::Key_Home);
    window->StatusTick();
    EXPECT_EQ(ListSurface()->y(), 0);
}

} // namespace
} // namespace playertest
