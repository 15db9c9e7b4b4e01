#include "Shape.h"

#include <QPainter>

Shape::Shape(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void Shape::setFillColor(const QColor& colour) {
    fill_ = colour;
    update();
}

void Shape::setBorderColor(const QColor& colour) {
    border_ = colour;
    update();
}

void Shape::setBorderStyle(int style) {
    borderStyle_ = style;
    update();
}

void Shape::paintEvent(QPaintEvent*) {
    static constexpr Qt::PenStyle kPens[] = {Qt::NoPen,    Qt::SolidLine,   Qt::DashLine,
                                             Qt::DotLine,  Qt::DashDotLine, Qt::DashDotDotLine,
                                             Qt::SolidLine};
    QPainter painter(this);
    painter.fillRect(rect(), fill_);
    const Qt::PenStyle pen =
        borderStyle_ >= 0 && borderStyle_ < int(std::size(kPens)) ? kPens[borderStyle_] : Qt::NoPen;
    if (pen == Qt::NoPen || width() < 1 || height() < 1)
        return;
    painter.setPen(QPen(border_, 1, pen));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
