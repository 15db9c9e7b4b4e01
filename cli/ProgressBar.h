#pragma once

#include <cstdio>

// A one-line progress bar redrawn in place on a terminal: "[#####-----]  50%".
// It redraws only when the shown percentage changes, so a long conversion
// costs a hundred small writes.
class ProgressBar {
public:
    explicit ProgressBar(std::FILE* out) : out_(out) {}

    // `fraction` of the work is done (clamped to 0..1).
    void Show(double fraction);
    // Draws 100% and ends the line.
    void Finish();
    // Ends the line where it stands, so that a message can follow.
    void Abandon();

private:
    void Draw(int percent);

    std::FILE* out_;
    int shown_ = -1;
};
