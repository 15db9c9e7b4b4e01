#pragma once

// The controls' colour values are 32-bit 0x00BBGGRR words, as hosts and stored
// designs give them; a set top bit names a system colour by its index in the
// low byte. This is the one place that turns such a word into a QColor.

#include <QColor>
#include <QtGlobal>

namespace lumen {

// Palette-backed system colour when the top bit is set, else the BGR triple.
// An index without a system colour gives black.
QColor ToQColor(quint32 oleColor);

} // namespace lumen
