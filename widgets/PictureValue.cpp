#include "PictureValue.h"

#include <QImage>

namespace lumen {

QVariant PictureValue(const QPixmap& picture) {
    return QVariant(picture.toImage());
}

QPixmap PictureFromValue(const QVariant& value) {
    if (value.metaType() == QMetaType::fromType<QPixmap>())
        return value.value<QPixmap>();
    if (value.metaType() == QMetaType::fromType<QImage>())
        return QPixmap::fromImage(value.value<QImage>());
    return QPixmap();
}

} // namespace lumen
