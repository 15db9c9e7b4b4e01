#include "ProgressBar.h"

#include <algorithm>
#include <string>

namespace {
constexpr int kWidth = 40;
}

void ProgressBar::Show(double fraction) {
    int percent = static_cast<int>(std::clamp(fraction, 0.0, 1.0) * 100.0);
    if (percent != shown_)
        Draw(percent);
}

void ProgressBar::Draw(int percent) {
    int filled = percent * kWidth / 100;
    std::string bar(static_cast<std::size_t>(filled), '#');
    bar.append(static_cast<std::size_t>(kWidth - filled), '-');
    std::fprintf(out_, "\r[%s] %3d%%", bar.c_str(), percent);
    std::fflush(out_);
    shown_ = percent;
}

void ProgressBar::Finish() {
    if (shown_ != 100)
        Draw(100);
    std::fputc('\n', out_);
    std::fflush(out_);
}

void ProgressBar::Abandon() {
    if (shown_ >= 0)
        std::fputc('\n', out_);
    std::fflush(out_);
}
