#include "PlayOrder.h"

void PlayOrder::SetMode(Mode mode) {
    mode_ = mode;
    Forget();
}

int PlayOrder::NextAfter(int current, int count) {
    if (count < 1)
        return 0;
    if (mode_ == Mode::Shuffle)
        return Shuffled(current, count);
    if (current >= count || current < 0)
        return mode_ == Mode::Repeat ? 1 : 0;
    return current + 1;
}

// The draw covers 0 ... count + 1: 0 plays song 1, count + 1 replays the
// song that played. Excluding the current song leaves at least two
// outcomes, so the loop ends even with one song.
int PlayOrder::Shuffled(int current, int count) {
    if (drawn_for_ != current || drawn_count_ != count) {
        int r = draw_(count + 1);
        while (r == current)
            r = draw_(count + 1);
        drawn_for_ = current;
        drawn_count_ = count;
        drawn_ = r;
    }
    if (drawn_ < 1)
        return 1;
    return drawn_ > count ? (current >= 1 ? current : 1) : drawn_;
}
