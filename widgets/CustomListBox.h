#pragma once

#include "controlkit/ControlError.h"

// The player's owner-drawn list: one line of text per item, optionally after a
// small picture, on a plain or tiled background, the selected row marked with
// a filled box, scrolled by its own narrow scroll bar at the right edge.
//
// All rows live on one tall persistent surface, TheList, that is moved up and
// down inside the control; a change of selection redraws only the two rows
// concerned. Colours are 0x00BBGGRR words (see OleColor.h).

#include "controlkit/PropertyBag.h"

#include <QFont>
#include <QList>
#include <QPixmap>
#include <QStaticText>
#include <QStringList>
#include <QWidget>

class DrawingSurface;
class QMouseEvent;
class QKeyEvent;
class QPainter;

class CustomListBox : public QWidget {
    Q_OBJECT
    Q_CLASSINFO("ProgID", "Lumen.CustomListBox")
    Q_PROPERTY(bool Graphical READ graphical WRITE setGraphical)
    Q_PROPERTY(QPixmap Picture READ picture WRITE setPicture)
    Q_PROPERTY(QFont FontInfo READ fontInfo WRITE setFontInfo)
    Q_PROPERTY(uint SelBoxColor READ selBoxColor WRITE setSelBoxColor)
    Q_PROPERTY(uint ForeColor READ foreColor WRITE setForeColor)
    Q_PROPERTY(uint ScrollBarBorderColor READ scrollBarBorderColor WRITE setScrollBarBorderColor)
    Q_PROPERTY(uint ScrollBarBackColor READ scrollBarBackColor WRITE setScrollBarBackColor)
    Q_PROPERTY(uint BackColor READ backColor WRITE setBackColor)
    Q_PROPERTY(bool Sorted READ sorted WRITE setSorted)

public:
    static constexpr uint kDefaultSelBoxColor = 0x00C0C000;
    static constexpr uint kDefaultForeColor = 0x00000000;
    static constexpr uint kDefaultScrollBarBorderColor = 0x00808080;
    static constexpr uint kDefaultScrollBarBackColor = 0x00C0C0C0;
    static constexpr uint kDefaultBackColor = 0x00FFFFFF;
    static constexpr int kTrackWidth = 19;
    static constexpr int kMaxCount = 32767;

    explicit CustomListBox(QWidget* parent = nullptr);

    bool graphical() const { return graphical_; }
    void setGraphical(bool on);
    QPixmap picture() const { return picture_; }
    void setPicture(const QPixmap& picture);
    QFont fontInfo() const { return theFont_; }
    void setFontInfo(const QFont& font);
    uint selBoxColor() const { return selBoxColor_; }
    void setSelBoxColor(uint colour);
    uint foreColor() const { return foreColor_; }
    void setForeColor(uint colour);
    uint scrollBarBorderColor() const { return scrollBarBorderColor_; }
    void setScrollBarBorderColor(uint colour);
    uint scrollBarBackColor() const { return scrollBarBackColor_; }
    void setScrollBarBackColor(uint colour);
    uint backColor() const { return backColor_; }
    void setBackColor(uint colour);
    bool sorted() const { return sorted_; }
    void setSorted(bool on);

    Q_INVOKABLE void AddItem(const QString& NewItem, int PictureIndex);
    Q_INVOKABLE void AddImage(const QPixmap& LaPic);
    Q_INVOKABLE void SortTheList();
    Q_INVOKABLE int LCount() const { return int(rows_.size()); }
    Q_INVOKABLE int Listindex() const { return listIndex_; }
    // Raises the control error "Subscript out of range" outside the items.
    Q_INVOKABLE QString List(int index);
    Q_INVOKABLE void RemoveItem(int index);
    Q_INVOKABLE void Clear();
    Q_INVOKABLE void MoveUp();
    Q_INVOKABLE void MoveDown();
    Q_INVOKABLE void SetItemText(int i, const QString& txt);
    // Scrolls the list as little as needed to show item `index` whole; the
    // selection stays. Nothing for an index outside the items.
    Q_INVOKABLE void ScrollIntoView(int index);

    // Loads the design-time properties in their designed order; saves them.
    void readProperties(controlkit::PropertyBag& bag);
    void writeProperties(controlkit::PropertyBag& bag) const;

    QSize sizeHint() const override { return {160, 120}; }

    // The control error the member called last raised, for the host to take
    // after each call: its code (0 none) and text.
    Q_INVOKABLE uint ErrorCode() const { return errors_.Pending().code; }
    Q_INVOKABLE QString TakeError() { return QString::fromStdString(errors_.Take().text); }

signals:
    void Click();
    void DblClick();
    void KeyDown(int KeyCode, int Shift);
    void KeyPress(int KeyAscii);
    void KeyUp(int KeyCode, int Shift);
    void MouseDown(int Button, int Shift, float X, float Y);
    void MouseMove(int Button, int Shift, float X, float Y);
    void MouseUp(int Button, int Shift, float X, float Y);
    // A property was set, under its name; a design-time host marks it dirty.
    void propertyChanged(const QString& name);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    controlkit::ControlErrors errors_;
    int lastIndex() const { return int(rows_.size()) - 1; }
    int lastImage() const { return int(images_.size()) - 1; }

    void applyResize();
    void layout();
    void drawList();
    void drawAppendedRow();
    void paintBackground(QPainter& painter, const QRect& area);
    void drawRow(QPainter& painter, int row);
    void tileBackground(QPainter& painter, const QRect& area);
    void fillBox(QPainter& painter, int left, int top, int right, int bottom, uint colour);
    void drawSelection();
    void unhighlight(QPainter& painter);
    void beginPainting(QPainter& painter);

    int thumbTop() const;
    int thumbBottomTop() const;
    int thumbTravel() const;
    int scrollRange() const;
    void setThumbTop(int top);
    void scrollTo(int offset);
    void scrollToOffset(int offset);
    void scrollFromThumb(int top);
    void resetScroll();

    void handleKey(int keyCode);
    void selectRow(int row);
    bool pause(int milliseconds);
    int rowAt(double y) const;

    bool listEvent(QEvent* event);
    bool thumbEvent(QEvent* event);

    DrawingSurface* theList_;
    DrawingSurface* scrollBox_;
    QFont theFont_;

    // One item: its text, its picture (an index into images_, or -1) and its
    // text laid out once, since rows are drawn again and again.
    struct Row {
        explicit Row(const QString& text, int picture);
        QString text;
        int picture;
        QStaticText shaped;
    };

    QList<Row> rows_;
    QList<QPixmap> images_;
    int listIndex_ = -1;
    int highlighted_ = -1;
    int itemHeight_ = 1;
    bool needsScroll_ = false;
    bool sorted_ = false;
    bool graphical_ = true;
    QPixmap picture_;
    uint selBoxColor_ = kDefaultSelBoxColor;
    uint foreColor_ = kDefaultForeColor;
    uint scrollBarBorderColor_ = kDefaultScrollBarBorderColor;
    uint scrollBarBackColor_ = kDefaultScrollBarBackColor;
    uint backColor_ = kDefaultBackColor;

    int trackLeft_ = 0;
    int trackHeight_ = 0;
    int pressCursorY_ = 0;
    int pressThumbTop_ = 1;
    int lastWidth_ = 0;
    int lastHeight_ = 0;
    bool pausing_ = false;
};
