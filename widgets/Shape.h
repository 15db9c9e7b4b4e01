#pragma once

// A filled rectangle with an optional outline, placed on a control as one of
// its parts. Border styles: 0 none, 1 solid, 2 dash, 3 dot, 4 dash-dot,
// 5 dash-dot-dot, 6 solid inside the rectangle. Mouse input passes through
// to the control beneath.

#include <QColor>
#include <QWidget>

class Shape : public QWidget {
    Q_OBJECT
public:
    explicit Shape(QWidget* parent = nullptr);

    void setFillColor(const QColor& colour);
    QColor fillColor() const { return fill_; }
    void setBorderColor(const QColor& colour);
    QColor borderColor() const { return border_; }
    void setBorderStyle(int style);
    int borderStyle() const { return borderStyle_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor fill_ = Qt::yellow;
    QColor border_ = Qt::red;
    int borderStyle_ = 0;
};
