#pragma once

#include <QPointF>
#include <QString>

class QWidget;

// What every skinned window does: it loads its design, whose controls come
// from their plugins, and it is dragged by its skin control, which follows
// the pointer on every fifth move so that a slow window system keeps up.
namespace skinned {

// Loads the design `resource` into `host`, filling it and fixing its size,
// and makes `host` translucent so that the skin's outline can cut it.
// Pictures named in the design are looked for in `pictureDir` when given.
// Throws std::runtime_error naming `what` when the design cannot be loaded.
QWidget* LoadDesign(QWidget* host, const QString& resource, const QString& pluginDir,
                    const QString& pictureDir, const char* what);

// Hands the pointer's position in the window to the skin control, in whole
// pixels, halves to even.
void PassPointer(QWidget* skin, QPointF inWindow);

// Counts a drag's moves in `count`: true on every fifth, when the skin
// control is to follow.
bool FifthMove(qint16& count);

} // namespace skinned
