#include "ControlIcon.h"

#include <QPainter>
#include <QPainterPath>

namespace audiocore {

QPixmap ControlIcon() {
    QPixmap icon(32, 32);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    // A loudspeaker with two sound waves.
    QPainterPath speaker;
    speaker.moveTo(5, 12);
    speaker.lineTo(10, 12);
    speaker.lineTo(17, 6);
    speaker.lineTo(17, 26);
    speaker.lineTo(10, 20);
    speaker.lineTo(5, 20);
    speaker.closeSubpath();
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(QColor(0x20, 0x40, 0x90));
    painter.drawPath(speaker);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0x20, 0x40, 0x90), 2));
    painter.drawArc(QRectF(14, 10, 8, 12), -50 * 16, 100 * 16);
    painter.drawArc(QRectF(14, 6, 14, 20), -50 * 16, 100 * 16);
    return icon;
}

} // namespace audiocore
