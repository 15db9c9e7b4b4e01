#pragma once

#include <QPixmap>

namespace audiocore {

// The control's 32 x 32 icon: what it shows in a designer and in the widget
// box.
QPixmap ControlIcon();

} // namespace audiocore
