#pragma once

// The scroll thumb's fixed 16 x 36 picture: a rounded, shaded bar with a
// ridged grip in its middle, drawn once in code; its right-hand columns are
// transparent so that the bar sits centred in the track.

#include <QPixmap>

namespace lumen {

constexpr int kThumbWidth = 16;
constexpr int kThumbHeight = 36;

QPixmap ThumbPicture();

} // namespace lumen
