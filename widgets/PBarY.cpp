#include "PBarY.h"

#include "InputCodes.h"
#include "MousePointer.h"
#include "OleColor.h"
#include "PictureValue.h"
#include "Shape.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Min, Max and picStep are 16-bit numbers; larger requests are held at the
// nearest 16-bit value.
int ToInt16(int value) {
    return std::clamp(value, int(std::numeric_limits<qint16>::min()),
                      int(std::numeric_limits<qint16>::max()));
}

// Rounds to the nearest integer, halves to even.
int RoundHalfEven(double value) {
    return int(std::nearbyint(value));
}

} // namespace

PBarY::PBarY(QWidget* parent) : DrawingSurface(parent), shape1_(new Shape(this)) {
    shape1_->setObjectName(QStringLiteral("Shape1"));
    shape1_->setFillColor(lumen::ToQColor(fillColor_));
    shape1_->setBorderColor(lumen::ToQColor(borderColor_));
    shape1_->setBorderStyle(borderStyle_);
    shape1_->setGeometry(0, 0, 0, height());
    setMouseTracking(true);
    applyBackground();
    applyPointer(mousePointer_);
}

// ---- range and drawing ----

int PBarY::span() const {
    const int difference = max_ - min_;
    if (difference == 0 || difference != ToInt16(difference))
        return 0;
    return difference;
}

int PBarY::clampToRange(int value) const {
    return std::clamp(value, std::min(min_, max_), std::max(min_, max_));
}

int PBarY::barWidth() const {
    const int difference = span();
    if (difference == 0)
        return 0;
    const double bar = double(width()) * (double(value_) - min_) / difference;
    // A value left outside a changed range gives an empty or a full bar.
    return std::clamp(qRound(bar), 0, width());
}

void PBarY::setValueFromX(float x) {
    const float scaleWidth = float(width());
    x = std::clamp(x, 0.0f, std::max(scaleWidth, 0.0f));
    oldValue_ = value_;
    const int difference = span();
    if (difference != 0 && scaleWidth > 0)
        value_ = RoundHalfEven(double(x) / scaleWidth * difference + min_);
    else
        value_ = clampToRange(value_);

    if (clearPending_) {
        clearPending_ = false;
        clear();
    }
    if (style_ != 0) {
        shape1_->hide();
        drawSteps(x, difference != 0);
    } else {
        shape1_->show();
        shape1_->resize(barWidth(), height());
    }
    emit propertyChanged(QStringLiteral("Value"));
    emit ChangeValue(value_, oldValue_);
}

void PBarY::drawSteps(float x, bool filled) {
    // The lines' colour follows the position, not the rounded value. A step
    // below one pixel (a stored value, or a very narrow bar) is drawn as one.
    const int step = std::max(picStep_, 1);
    const float scaleWidth = float(width());
    const QColor fillColour = lumen::ToQColor(picFillColor_);
    const QColor foreColour = lumen::ToQColor(picForeColor_);
    QPainter painter(&canvas());
    for (int p = 0; float(p) <= scaleWidth; p += step) {
        painter.setPen(filled && float(p) <= x ? fillColour : foreColour);
        painter.drawLine(p, 0, p, height());
    }
    painter.end();
    update();
}

void PBarY::redraw() {
    const int difference = span();
    const float x =
        difference == 0 ? 0.0f : float(double(width()) * (double(value_) - min_) / difference);
    setValueFromX(x);
}

void PBarY::applyBackground() {
    setBackgroundColor(backStyle_ == 0 ? QColor() : lumen::ToQColor(backColor_));
}

void PBarY::applyPointer(int pointer) {
    lumen::ApplyMousePointer(*this, pointer, mouseIcon_);
}

// ---- properties ----

void PBarY::setValue(int value) {
    value_ = clampToRange(value);
    redraw();
}

void PBarY::setMin(int min) {
    min_ = ToInt16(min);
    emit propertyChanged(QStringLiteral("Min"));
    shape1_->resize(barWidth(), shape1_->height());
}

void PBarY::setMax(int max) {
    max_ = ToInt16(max);
    emit propertyChanged(QStringLiteral("Max"));
    shape1_->resize(barWidth(), shape1_->height());
}

void PBarY::setBackColor(uint colour) {
    backColor_ = colour;
    applyBackground();
    emit propertyChanged(QStringLiteral("BackColor"));
    // The drawing keeps the old background until the surface is cleared.
    clearPending_ = true;
    redraw();
}

void PBarY::setFillColor(uint colour) {
    fillColor_ = colour;
    shape1_->setFillColor(lumen::ToQColor(colour));
    emit propertyChanged(QStringLiteral("FillColor"));
}

void PBarY::setBorderColor(uint colour) {
    borderColor_ = colour;
    shape1_->setBorderColor(lumen::ToQColor(colour));
    emit propertyChanged(QStringLiteral("BorderColor"));
}

void PBarY::setBorderStyle(int style) {
    borderStyle_ = style;
    shape1_->setBorderStyle(style);
    emit propertyChanged(QStringLiteral("BorderStyle"));
    redraw();
}

void PBarY::setEnabledSlider(bool on) {
    enabledSlider_ = on;
    emit propertyChanged(QStringLiteral("EnabledSlider"));
}

void PBarY::setMouseIcon(const QPixmap& icon) {
    mouseIcon_ = icon;
    applyPointer(mousePointer_);
    emit propertyChanged(QStringLiteral("MouseIcon"));
}

void PBarY::setMousePointer(int pointer) {
    mousePointer_ = pointer;
    applyPointer(pointer);
    emit propertyChanged(QStringLiteral("MousePointer"));
}

void PBarY::setBackStyle(int style) {
    backStyle_ = style;
    applyBackground();
    emit propertyChanged(QStringLiteral("BackStyle"));
    clearPending_ = true;
    redraw();
}

void PBarY::setPicForeColor(uint colour) {
    picForeColor_ = colour;
    emit propertyChanged(QStringLiteral("picForeColor"));
    if (style_ == 1)
        redraw();
}

void PBarY::setPicFillColor(uint colour) {
    picFillColor_ = colour;
    emit propertyChanged(QStringLiteral("picFillColor"));
    if (style_ == 1)
        redraw();
}

void PBarY::setPicStep(int step) {
    // At least 10, and at most a tenth of the width, so a row holds about ten
    // lines or more; never below one pixel.
    int s = std::max(ToInt16(step), 10);
    const float tenth = float(width()) / 10.0f;
    if (tenth < float(s))
        s = RoundHalfEven(tenth);
    picStep_ = std::max(s, 1);
    emit propertyChanged(QStringLiteral("picStep"));
    if (style_ == 1) {
        clearPending_ = true;
        redraw();
    }
}

void PBarY::setStyle(int style) {
    style_ = style;
    emit propertyChanged(QStringLiteral("Style"));
    clearPending_ = true;
    redraw();
}

// ---- persistence ----

void PBarY::readProperties(controlkit::PropertyBag& bag) {
    value_ = bag.read(QStringLiteral("Value"), kDefaultValue).toInt();
    min_ = ToInt16(bag.read(QStringLiteral("Min"), kDefaultMin).toInt());
    max_ = ToInt16(bag.read(QStringLiteral("Max"), kDefaultMax).toInt());
    backColor_ = bag.read(QStringLiteral("BackColor"), kDefaultBackColor).toUInt();
    fillColor_ = bag.read(QStringLiteral("FillColor"), kDefaultFillColor).toUInt();
    borderColor_ = bag.read(QStringLiteral("BorderColor"), kDefaultBorderColor).toUInt();
    shape1_->setFillColor(lumen::ToQColor(fillColor_));
    shape1_->setBorderColor(lumen::ToQColor(borderColor_));
    borderStyle_ = bag.read(QStringLiteral("BorderStyle"), kDefaultBorderStyle).toInt();
    shape1_->setBorderStyle(borderStyle_);
    enabledSlider_ = bag.read(QStringLiteral("EnabledSlider"), true).toBool();
    picForeColor_ = bag.read(QStringLiteral("picForeColor"), kDefaultPicForeColor).toUInt();
    picFillColor_ = bag.read(QStringLiteral("picFillColor"), kDefaultPicFillColor).toUInt();
    // Stored steps are taken as they are; drawing copes with any of them.
    picStep_ = ToInt16(bag.read(QStringLiteral("picStep"), kDefaultPicStep).toInt());
    style_ = bag.read(QStringLiteral("Style"), kDefaultStyle).toInt();
    backStyle_ = bag.read(QStringLiteral("BackStyle"), kDefaultBackStyle).toInt();
    applyBackground();
    clearPending_ = true;
    redraw();
    if (enabledSlider_) {
        setMouseIcon(lumen::PictureFromValue(
            bag.read(QStringLiteral("MouseIcon"), lumen::PictureValue(QPixmap()))));
        mousePointer_ = bag.read(QStringLiteral("MousePointer"), kDefaultMousePointer).toInt();
    } else {
        mouseIcon_ = QPixmap();
        mousePointer_ = 0;
    }
    applyPointer(mousePointer_);
}

void PBarY::writeProperties(controlkit::PropertyBag& bag) const {
    bag.write(QStringLiteral("Value"), value_, kDefaultValue);
    bag.write(QStringLiteral("Min"), min_, kDefaultMin);
    bag.write(QStringLiteral("Max"), max_, kDefaultMax);
    bag.write(QStringLiteral("BackColor"), backColor_, kDefaultBackColor);
    bag.write(QStringLiteral("FillColor"), fillColor_, kDefaultFillColor);
    bag.write(QStringLiteral("BorderColor"), borderColor_, kDefaultBorderColor);
    bag.write(QStringLiteral("BorderStyle"), borderStyle_, kDefaultBorderStyle);
    bag.write(QStringLiteral("EnabledSlider"), enabledSlider_, true);
    bag.write(QStringLiteral("picForeColor"), picForeColor_, kDefaultPicForeColor);
    bag.write(QStringLiteral("picFillColor"), picFillColor_, kDefaultPicFillColor);
    bag.write(QStringLiteral("picStep"), picStep_, kDefaultPicStep);
    bag.write(QStringLiteral("Style"), style_, kDefaultStyle);
    bag.write(QStringLiteral("BackStyle"), backStyle_, kDefaultBackStyle);
    bag.write(QStringLiteral("MouseIcon"), lumen::PictureValue(mouseIcon_),
              lumen::PictureValue(QPixmap()));
    bag.write(QStringLiteral("MousePointer"), mousePointer_, kDefaultMousePointer);
}

// ---- input and size ----

void PBarY::mousePressEvent(QMouseEvent* event) {
    const float x = float(event->position().x());
    emit MouseDown(lumen::ButtonCode(event->button()), lumen::ShiftCode(event->modifiers()), x,
                   float(event->position().y()));
    if (enabledSlider_) {
        applyPointer(mousePointer_);
        setValueFromX(x);
    } else {
        applyPointer(0);
    }
}

void PBarY::mouseMoveEvent(QMouseEvent* event) {
    const float x = float(event->position().x());
    const int button = lumen::ButtonCode(event->buttons());
    emit MouseMove(button, lumen::ShiftCode(event->modifiers()), x, float(event->position().y()));
    if (enabledSlider_) {
        applyPointer(mousePointer_);
        if (button == lumen::kLeftButton)
            setValueFromX(x);
    } else {
        applyPointer(0);
    }
}

void PBarY::mouseReleaseEvent(QMouseEvent* event) {
    emit MouseUp(lumen::ButtonCode(event->button()), lumen::ShiftCode(event->modifiers()),
                 float(event->position().x()), float(event->position().y()));
    if (event->button() == Qt::LeftButton && rect().contains(event->pos()))
        emit Click();
}

void PBarY::resizeEvent(QResizeEvent*) {
    shape1_->resize(shape1_->width(), height());
    clearPending_ = true;
    redraw();
}

void PBarY::showEvent(QShowEvent*) {
    clearPending_ = true;
    redraw();
}
