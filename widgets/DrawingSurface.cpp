#include "DrawingSurface.h"

#include <QPaintEvent>
#include <QPainter>

#include <cstdlib>
#include <new>

namespace {

constexpr int kBytesPerPixel = 4; // both formats used are 32-bit

} // namespace

DrawingSurface::DrawingSurface(QWidget* parent) : QWidget(parent) {}

DrawingSurface::~DrawingSurface() {
    canvas_ = QImage();
    std::free(pixels_);
}

QColor DrawingSurface::fillColour() const {
    return background_.isValid() ? background_ : QColor(Qt::transparent);
}

QImage::Format DrawingSurface::formatFor(const QColor& colour) const {
    // What a pixmap filled with the colour would be: opaque surfaces draw as
    // before, without an alpha channel.
    return colour.alpha() == 255 ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied;
}

QImage& DrawingSurface::canvas() {
    // Resized lazily: a hidden widget learns its new size before any resize
    // event reaches it. A surface only as tall as needed: rows added at the
    // bottom cost only themselves (see setHeight).
    const QSize wanted = size().expandedTo(QSize(1, 1));
    if (canvas_.isNull() || canvas_.width() != wanted.width())
        remake(wanted, formatFor(fillColour()));
    else if (canvas_.height() < wanted.height() || canvas_.height() > 2 * wanted.height())
        setHeight(wanted.height());
    return canvas_;
}

void DrawingSurface::wrap(int width, int height, QImage::Format format) {
    canvas_ = QImage(pixels_, width, height, qsizetype(width) * kBytesPerPixel, format);
}

void DrawingSurface::remake(QSize size, QImage::Format format) {
    // The old drawing is read where it lies and freed after: no third copy.
    const QImage before = canvas_;
    uchar* const old = pixels_;
    capacity_ = qsizetype(size.width()) * size.height() * kBytesPerPixel;
    pixels_ = static_cast<uchar*>(std::malloc(capacity_));
    if (pixels_ == nullptr) {
        pixels_ = old;
        throw std::bad_alloc();
    }
    wrap(size.width(), size.height(), format);
    canvas_.fill(fillColour());
    if (!before.isNull()) {
        QPainter painter(&canvas_);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(0, 0, before);
    }
    std::free(old);
}

void DrawingSurface::setHeight(int height) {
    const int width = canvas_.width();
    const int oldHeight = canvas_.height();
    const QImage::Format format = canvas_.format();
    const qsizetype needed = qsizetype(width) * height * kBytesPerPixel;
    if (needed > capacity_ || needed < capacity_ / 4) {
        // Room to spare for a list that grows a row at a time; a large block
        // is moved by the kernel's page tables, not copied.
        const qsizetype room = height > oldHeight ? needed + needed / 2 : needed;
        canvas_ = QImage();
        auto* moved = static_cast<uchar*>(std::realloc(pixels_, room));
        if (moved == nullptr) {
            wrap(width, oldHeight, format);
            throw std::bad_alloc();
        }
        pixels_ = moved;
        capacity_ = room;
    }
    wrap(width, height, format);
    if (height > oldHeight) {
        QPainter painter(&canvas_);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.fillRect(QRect(0, oldHeight, width, height - oldHeight), fillColour());
    }
}

void DrawingSurface::clear() {
    QImage& drawing = canvas();
    if (drawing.format() != formatFor(fillColour()))
        remake(drawing.size(), formatFor(fillColour()));
    canvas_.fill(fillColour());
    update();
}

void DrawingSurface::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect area = event->rect();
    painter.drawImage(area, canvas(), area);
}
