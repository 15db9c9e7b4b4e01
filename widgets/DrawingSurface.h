#pragma once

// A widget that keeps what was drawn on it: drawing goes into a pixmap the size
// of the widget, and painting copies the pixmap to the screen. A change of size
// keeps the drawing and fills new area with the background colour, so a
// surface can be resized and moved without being drawn again.

#include <QColor>
#include <QPixmap>
#include <QWidget>

class DrawingSurface : public QWidget {
    Q_OBJECT
public:
    explicit DrawingSurface(QWidget* parent = nullptr);

    // The drawing, at least the size of the widget (it may be taller); paint
    // on it with QPainter, then call update().
    QPixmap& canvas();

    // An invalid colour makes the surface transparent.
    void setBackgroundColor(const QColor& colour) { background_ = colour; }
    QColor backgroundColor() const { return background_; }

    // Fills the whole drawing with the background colour.
    void clear();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor fillColour() const;

    QPixmap canvas_;
    QColor background_ = Qt::white;
};
