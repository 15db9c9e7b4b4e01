#pragma once

// Pictures travel through a property bag as QImage, whose equality compares
// pixels, so that an empty picture equals an empty default and is left out.

#include <QPixmap>
#include <QVariant>

namespace lumen {

QVariant PictureValue(const QPixmap& picture);
// The picture a stored value holds (QImage or QPixmap); anything else is empty.
QPixmap PictureFromValue(const QVariant& value);

} // namespace lumen
