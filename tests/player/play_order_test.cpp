// Which song follows which in each play mode, decided when a song starts.

#include "PlayOrder.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// Answers the draws given, in turn.
PlayOrder::Draw Draws(std::vector<int> values, int* draws_made = nullptr) {
    auto next = std::make_shared<std::size_t>(0);
    return [values, next, draws_made](int) {
        if (draws_made)
            ++*draws_made;
        return values[(*next)++ % values.size()];
    };
}

TEST(PlayOrder, StandardPlaysTheListOnceAndRepeatStartsItAgain) {
    struct Case {
        PlayOrder::Mode mode;
        int current;
        int count;
        int next;
    };
    const Case cases[] = {
        {PlayOrder::Mode::Standard, 0, 3, 1}, // nothing played yet: the first song
        {PlayOrder::Mode::Standard, 1, 3, 2},
        {PlayOrder::Mode::Standard, 3, 3, 0}, // the end of the list
        {PlayOrder::Mode::Standard, 1, 0, 0}, // an empty list
        {PlayOrder::Mode::Repeat, 2, 3, 3},
        {PlayOrder::Mode::Repeat, 3, 3, 1},
        {PlayOrder::Mode::Repeat, 1, 1, 1}, // a one-song list plays on and on
        {PlayOrder::Mode::Repeat, 5, 3, 1}, // a song number past a shortened list
    };
    for (const Case& c : cases) {
        PlayOrder order(Draws({0}));
        order.SetMode(c.mode);
        EXPECT_EQ(order.NextAfter(c.current, c.count), c.next)
            << "mode " << int(c.mode) << ", after " << c.current << " of " << c.count;
    }
}

TEST(PlayOrder, ShuffleDrawsOnceASongAndKeepsTheDrawUntilForgotten) {
    int draws = 0;
    // 2 is the current song and drawn again; 4 of 3 songs replays it.
    PlayOrder order(Draws({2, 3, 4, 0}, &draws));
    order.SetMode(PlayOrder::Mode::Shuffle);
    EXPECT_EQ(order.NextAfter(2, 3), 3) << "never the song that plays";
    EXPECT_EQ(order.NextAfter(2, 3), 3) << "what was queued is what plays";
    EXPECT_EQ(draws, 2);
    order.Forget();
    EXPECT_EQ(order.NextAfter(2, 3), 2) << "past the list: the song again";
    order.Forget();
    EXPECT_EQ(order.NextAfter(2, 3), 1) << "0 stands for the first song";
    // A list that grew since the draw draws anew.
    EXPECT_EQ(order.NextAfter(2, 4), 3);
}

TEST(PlayOrder, ANewModeForgetsTheDraw) {
    PlayOrder order(Draws({3, 1}));
    order.SetMode(PlayOrder::Mode::Shuffle);
    EXPECT_EQ(order.NextAfter(2, 3), 3);
    order.SetMode(PlayOrder::Mode::Standard);
    EXPECT_EQ(order.NextAfter(2, 3), 3);
    order.SetMode(PlayOrder::Mode::Shuffle);
    EXPECT_EQ(order.NextAfter(2, 3), 1);
}

} // namespace
