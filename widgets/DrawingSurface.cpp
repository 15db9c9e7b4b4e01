#include "DrawingSurface.h"

#include <QPaintEvent>
#include <QPainter>

DrawingSurface::DrawingSurface(QWidget* parent) : QWidget(parent) {}

QColor DrawingSurface::fillColour() const {
    return background_.isValid() ? background_ : QColor(Qt::transparent);
}

QPixmap& DrawingSurface::canvas() {
    // Resized lazily: a hidden widget learns its new size before any resize
    // event reaches it. A surface that grows a little at a time (a list gaining
    // rows) gets room to spare, so it is not copied on every step.
    const QSize wanted = size().expandedTo(QSize(1, 1));
    const QSize held = canvas_.size();
    const bool fits = held.width() == wanted.width() && held.height() >= wanted.height() &&
                      held.height() <= 2 * wanted.height();
    if (!fits) {
        const int spare = held.width() == wanted.width() && held.height() < wanted.height()
                              ? wanted.height() / 2
                              : 0;
        QPixmap resized(wanted.width(), wanted.height() + spare);
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
