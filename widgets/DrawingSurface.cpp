#include "DrawingSurface.h"

#include <QPaintEvent>
#include <QPainter>

DrawingSurface::DrawingSurface(QWidget* parent) : QWidget(parent) {}

QColor DrawingSurface::fillColour() const {
    return background_.isValid() ? background_ : QColor(Qt::transparent);
}

QPixmap& DrawingSurface::canvas() {
    // Resized lazily: a hidden widget learns its new size before any resize
    // event reaches it.
    const QSize wanted = size().expandedTo(QSize(1, 1));
    if (canvas_.size() != wanted) {
        QPixmap resized(wanted);
        resized.fill(fillColour());
        if (!canvas_.isNull()) {
            QPainter painter(&resized);
            painter.setCompositionMode(QPainter::CompositionMode_Source);
            painter.drawPixmap(0, 0, canvas_);
        }
        canvas_ = resized;
    }
    return canvas_;
}

void DrawingSurface::clear() {
    canvas().fill(fillColour());
    update();
}

void DrawingSurface::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect area = event->rect();
    painter.drawPixmap(area, canvas(), area);
}
