#pragma once

// A widget that keeps what was drawn on it: drawing goes into an image the size
// of the widget, and painting copies the image to the screen. A change of size
// keeps the drawing and fills new area with the background colour, so a
// surface can be resized and moved without being drawn again.

#include <QColor>
#include <QImage>
#include <QWidget>

class DrawingSurface : public QWidget {
    Q_OBJECT
public:
    explicit DrawingSurface(QWidget* parent = nullptr);
    ~DrawingSurface() override;

    // The drawing, at least the size of the widget (it may be taller); paint
    // on it with QPainter, then call update(). The image works on the
    // surface's own memory: keep no shallow copy of it (copy() one) past the
    // next change of size.
    QImage& canvas();

    // An invalid colour makes the surface transparent.
    void setBackgroundColor(const QColor& colour) { background_ = colour; }
    QColor backgroundColor() const { return background_; }

    // Fills the whole drawing with the background colour.
    void clear();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor fillColour() const;
    QImage::Format formatFor(const QColor& colour) const;
    // A new drawing of `size` in `format`, holding what was drawn before.
    void remake(QSize size, QImage::Format format);
    // The drawing `height` rows high, same width: rows are added or dropped
    // at the bottom in place, without copying the rows above.
    void setHeight(int height);
    void wrap(int width, int height, QImage::Format format);

    // The pixels, owned here and resized in place with realloc: a list of
    // thousands of rows grows without copying or touching the rows it had.
    uchar* pixels_ = nullptr;
    qsizetype capacity_ = 0; // bytes held at pixels_
    QImage canvas_;          // paints on pixels_
    QColor background_ = Qt::white;
};
