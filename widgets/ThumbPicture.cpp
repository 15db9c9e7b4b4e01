#include "ThumbPicture.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace lumen {

QPixmap ThumbPicture() {
    QPixmap picture(kThumbWidth, kThumbHeight);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);

    // Body: a rounded bar lit from the left, with a dark outline. The thumb
    // is placed 3 pixels into a 19-pixel track, so a body 13 pixels wide
    // leaves the same 2-pixel gap to the track's border on either side.
    constexpr double kBodyWidth = 13.0;
    const QRectF body(0.5, 0.5, kBodyWidth - 1.0, kThumbHeight - 1.0);
    QLinearGradient shade(body.topLeft(), body.topRight());
    shade.setColorAt(0.0, QColor(0xF4, 0xF6, 0xFA));
    shade.setColorAt(0.45, QColor(0xC9, 0xD1, 0xDE));
    shade.setColorAt(1.0, QColor(0x8E, 0x9A, 0xAD));
    QPainterPath outline;
    outline.addRoundedRect(body, 4.0, 4.0);
    painter.fillPath(outline, shade);
    painter.setPen(QPen(QColor(0x4F, 0x5B, 0x6E), 1.0));
    painter.drawPath(outline);

    // Inner highlight along the lit edge.
    painter.setPen(QPen(QColor(255, 255, 255, 150), 1.0));
    painter.drawLine(QPointF(2.0, 4.0), QPointF(2.0, kThumbHeight - 4.0));

    // Grip: three ridges, each a dark line with a light line below it.
    painter.setRenderHint(QPainter::Antialiasing, false);
    const int middle = kThumbHeight / 2;
    for (int ridge = -1; ridge <= 1; ++ridge) {
        const int y = middle + ridge * 4 - 1;
        painter.setPen(QColor(0x5A, 0x66, 0x78));
        painter.drawLine(3, y, int(kBodyWidth) - 4, y);
        painter.setPen(QColor(0xFF, 0xFF, 0xFF));
        painter.drawLine(3, y + 1, int(kBodyWidth) - 4, y + 1);
    }
    return picture;
}

} // namespace lumen
