#pragma once

// Mouse pointer numbers as hosts store them: 0 default, 1 arrow, 2 cross,
// 3 I-beam, 5 move, 6 to 9 the sizing arrows (9 horizontal), 10 up arrow,
// 11 hourglass, 12 no drop, 13 arrow and hourglass, 14 arrow and question
// mark, 15 size all, 99 the custom picture given as the mouse icon.

#include <QPixmap>

class QWidget;

namespace lumen {

constexpr int kCustomPointer = 99;

// Shows pointer number on widget; the default (0) and unknown numbers give the
// widget's ordinary pointer, 99 without an icon as well.
void ApplyMousePointer(QWidget& widget, int pointer, const QPixmap& icon);

} // namespace lumen
