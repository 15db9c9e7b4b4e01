#pragma once

#include <functional>

// Which song of the play list follows which, by the play mode: Standard
// plays the list once, Repeat again and again, Shuffle a random other song
// each time. Songs are numbered from 1; 0 is no song.
//
// The choice is made as soon as a song starts, so that the next song can
// be queued to follow it without a gap; the shuffle draw is made then too
// and kept, so that what was queued is what plays. The window, its keys and
// the desktop's media controls all go through this one decision.
class PlayOrder {
public:
    enum class Mode { Standard, Shuffle, Repeat };

    // Draws a whole number in 0 ... n, as the window's random draw does.
    using Draw = std::function<int(int n)>;
    explicit PlayOrder(Draw draw) : draw_(std::move(draw)) {}

    Mode CurrentMode() const { return mode_; }
    // A new mode forgets the draw made for the song that plays.
    void SetMode(Mode mode);

    // The song that follows `current` in a list of `count` songs when
    // `current` ends by itself: 0 when the list ends there. In Shuffle the
    // draw for `current` is made once and kept until Forget.
    int NextAfter(int current, int count);
    // The list or the song changed: a draw made before no longer holds.
    void Forget() { drawn_for_ = -1; }

private:
    int Shuffled(int current, int count);

    Draw draw_;
    Mode mode_ = Mode::Standard;
    int drawn_for_ = -1;
    int drawn_count_ = 0;
    int drawn_ = 0;
};
