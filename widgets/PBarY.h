#pragma once

// The player's horizontal bar: shows an integer between Min and Max as a solid
// bar (Shape1, anchored at the left edge) or as a row of thin vertical lines
// coloured up to the value (stepped style), and, with its slider on, lets the
// user set the value by pressing or dragging. Every redraw reports the value
// through ChangeValue, which is how a host learns of a change by the mouse.
//
// Colours are 0x00BBGGRR words (see OleColor.h).

#include "DrawingSurface.h"
#include "controlkit/PropertyBag.h"

#include <QPixmap>

class Shape;

class PBarY : public DrawingSurface {
    Q_OBJECT
    Q_CLASSINFO("ProgID", "Lumen.PBarY")
    Q_PROPERTY(int Value READ value WRITE setValue)
    Q_PROPERTY(int Min READ min WRITE setMin)
    Q_PROPERTY(int Max READ max WRITE setMax)
    Q_PROPERTY(uint BackColor READ backColor WRITE setBackColor)
    Q_PROPERTY(uint FillColor READ fillColor WRITE setFillColor)
    Q_PROPERTY(uint BorderColor READ borderColor WRITE setBorderColor)
    Q_PROPERTY(int BorderStyle READ borderStyle WRITE setBorderStyle)
    Q_PROPERTY(bool EnabledSlider READ enabledSlider WRITE setEnabledSlider)
    Q_PROPERTY(QPixmap MouseIcon READ mouseIcon WRITE setMouseIcon)
    Q_PROPERTY(int MousePointer READ mousePointer WRITE setMousePointer)
    Q_PROPERTY(int BackStyle READ backStyle WRITE setBackStyle)
    Q_PROPERTY(uint picForeColor READ picForeColor WRITE setPicForeColor)
    Q_PROPERTY(uint picFillColor READ picFillColor WRITE setPicFillColor)
    Q_PROPERTY(int picStep READ picStep WRITE setPicStep)
    Q_PROPERTY(int Style READ style WRITE setStyle)

public:
    static constexpr int kDefaultValue = 25;
    static constexpr int kDefaultMin = 0;
    static constexpr int kDefaultMax = 100;
    static constexpr uint kDefaultBackColor = 0x80000007; // a system colour
    static constexpr uint kDefaultFillColor = 0x0000FFFF;
    static constexpr uint kDefaultBorderColor = 0x000000FF;
    static constexpr int kDefaultBorderStyle = 0;
    static constexpr int kDefaultMousePointer = 9; // horizontal-resize arrows
    static constexpr int kDefaultBackStyle = 0;    // transparent; 1 opaque
    static constexpr uint kDefaultPicForeColor = 0x00404040;
    static constexpr uint kDefaultPicFillColor = 0x00FFFF00;
    static constexpr int kDefaultPicStep = 50;
    static constexpr int kDefaultStyle = 0; // 0 solid, otherwise stepped

    explicit PBarY(QWidget* parent = nullptr);

    int value() const { return value_; }
    void setValue(int value);
    int min() const { return min_; }
    void setMin(int min);
    int max() const { return max_; }
    void setMax(int max);
    uint backColor() const { return backColor_; }
    void setBackColor(uint colour);
    uint fillColor() const { return fillColor_; }
    void setFillColor(uint colour);
    uint borderColor() const { return borderColor_; }
    void setBorderColor(uint colour);
    int borderStyle() const { return borderStyle_; }
    void setBorderStyle(int style);
    bool enabledSlider() const { return enabledSlider_; }
    void setEnabledSlider(bool on);
    QPixmap mouseIcon() const { return mouseIcon_; }
    void setMouseIcon(const QPixmap& icon);
    int mousePointer() const { return mousePointer_; }
    void setMousePointer(int pointer);
    int backStyle() const { return backStyle_; }
    void setBackStyle(int style);
    uint picForeColor() const { return picForeColor_; }
    void setPicForeColor(uint colour);
    uint picFillColor() const { return picFillColor_; }
    void setPicFillColor(uint colour);
    int picStep() const { return picStep_; }
    void setPicStep(int step);
    int style() const { return style_; }
    void setStyle(int style);

    // Loads the fifteen properties in their designed order; saves them.
    void readProperties(controlkit::PropertyBag& bag);
    void writeProperties(controlkit::PropertyBag& bag) const;

    QSize sizeHint() const override { return {200, 12}; }

signals:
    void Click();
    void ChangeValue(int NewValue, int OldValue);
    void MouseDown(int Button, int Shift, float X, float Y);
    void MouseMove(int Button, int Shift, float X, float Y);
    void MouseUp(int Button, int Shift, float X, float Y);
    // A property was set, under its name; a design-time host marks it dirty.
    void propertyChanged(const QString& name);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void setValueFromX(float x);
    void redraw();
    void drawSteps(float x, bool filled);
    // Max - Min when the bar can map values onto positions, 0 when it cannot
    // (an empty range, or one wider than 16 bits).
    int span() const;
    int barWidth() const;
    int clampToRange(int value) const;
    void applyBackground();
    void applyPointer(int pointer);

    Shape* shape1_;
    int value_ = kDefaultValue;
    int min_ = kDefaultMin;
    int max_ = kDefaultMax;
    uint backColor_ = kDefaultBackColor;
    uint fillColor_ = kDefaultFillColor;
    uint borderColor_ = kDefaultBorderColor;
    int borderStyle_ = kDefaultBorderStyle;
    bool enabledSlider_ = true;
    QPixmap mouseIcon_;
    int mousePointer_ = kDefaultMousePointer;
    int backStyle_ = kDefaultBackStyle;
    uint picForeColor_ = kDefaultPicForeColor;
    uint picFillColor_ = kDefaultPicFillColor;
    int picStep_ = kDefaultPicStep;
    int style_ = kDefaultStyle;

    bool clearPending_ = true;
    int oldValue_ = kDefaultValue;
};
