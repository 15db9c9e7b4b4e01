#include "CustomListBox.h"

#include "DrawingSurface.h"
#include "LumenErrors.h"
#include "OleColor.h"
#include "PictureValue.h"
#include "ThumbPicture.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

QFont DefaultListFont() {
    // Verdana where the desktop has it; the style hint makes the font matcher
    // fall back to the nearest sans-serif otherwise.
    QFont font(QStringLiteral("Verdana"), 7);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

} // namespace

CustomListBox::Row::Row(const QString& text, int picture)
    : text(text), picture(picture), shaped(text) {
    shaped.setTextFormat(Qt::PlainText);
}

CustomListBox::CustomListBox(QWidget* parent)
    : QWidget(parent), theList_(new DrawingSurface(this)), scrollBox_(new DrawingSurface(this)),
      theFont_(DefaultListFont()) {
    // The control surface carries the list font too, so that a design that
    // keeps the font stores nothing for it.
    setFont(theFont_);
    theList_->setObjectName(QStringLiteral("TheList"));
    theList_->setFont(theFont_);
    theList_->setBackgroundColor(lumen::ToQColor(backColor_));
    theList_->setFocusPolicy(Qt::StrongFocus);
    theList_->setMouseTracking(true);
    theList_->installEventFilter(this);

    scrollBox_->setObjectName(QStringLiteral("ScrollBox"));
    scrollBox_->setBackgroundColor(QColor());
    scrollBox_->setFocusPolicy(Qt::ClickFocus);
    scrollBox_->setMouseTracking(true);
    scrollBox_->installEventFilter(this);
    scrollBox_->resize(lumen::kThumbWidth, lumen::kThumbHeight);
    {
        QPainter painter(&scrollBox_->canvas());
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawPixmap(0, 0, lumen::ThumbPicture());
    }
    scrollBox_->move(0, 1);

    setFocusPolicy(Qt::ClickFocus);
    resize(sizeHint());
    applyResize();
    drawList();
}

// ---- properties ----

void CustomListBox::setGraphical(bool on) {
    graphical_ = on;
    emit propertyChanged(QStringLiteral("Graphical"));
    drawList();
}

void CustomListBox::setPicture(const QPixmap& picture) {
    picture_ = picture;
    emit propertyChanged(QStringLiteral("Picture"));
    drawList();
}

void CustomListBox::setFontInfo(const QFont& font) {
    theFont_ = font;
    theList_->setFont(font);
    emit propertyChanged(QStringLiteral("FontInfo"));
    drawList();
}

void CustomListBox::setSelBoxColor(uint colour) {
    selBoxColor_ = colour;
    emit propertyChanged(QStringLiteral("SelBoxColor"));
    drawList();
}

void CustomListBox::setForeColor(uint colour) {
    foreColor_ = colour;
    emit propertyChanged(QStringLiteral("ForeColor"));
    drawList();
}

void CustomListBox::setScrollBarBorderColor(uint colour) {
    scrollBarBorderColor_ = colour;
    emit propertyChanged(QStringLiteral("ScrollBarBorderColor"));
    update();
}

void CustomListBox::setScrollBarBackColor(uint colour) {
    scrollBarBackColor_ = colour;
    emit propertyChanged(QStringLiteral("ScrollBarBackColor"));
    update();
}

void CustomListBox::setBackColor(uint colour) {
    backColor_ = colour;
    theList_->setBackgroundColor(lumen::ToQColor(colour));
    emit propertyChanged(QStringLiteral("BackColor"));
    // A new background would otherwise show only where rows are redrawn later.
    drawList();
    update();
}

void CustomListBox::setSorted(bool on) {
    sorted_ = on;
    emit propertyChanged(QStringLiteral("Sorted"));
}

void CustomListBox::readProperties(controlkit::PropertyBag& bag) {
    setBackColor(bag.read(QStringLiteral("BackColor"), kDefaultBackColor).toUInt());
    setForeColor(bag.read(QStringLiteral("ForeColor"), kDefaultForeColor).toUInt());
    setScrollBarBackColor(
        bag.read(QStringLiteral("ScrollBarBackColor"), kDefaultScrollBarBackColor).toUInt());
    setScrollBarBorderColor(
        bag.read(QStringLiteral("ScrollBarBorderColor"), kDefaultScrollBarBorderColor).toUInt());
    setSelBoxColor(bag.read(QStringLiteral("SelBoxColor"), kDefaultSelBoxColor).toUInt());
    setSorted(bag.read(QStringLiteral("Sorted"), false).toBool());
    setGraphical(bag.read(QStringLiteral("Graphical"), true).toBool());
    setPicture(lumen::PictureFromValue(
        bag.read(QStringLiteral("Picture"), lumen::PictureValue(QPixmap()))));
    const QVariant stored = bag.read(QStringLiteral("FontInfo"), font());
    setFontInfo(stored.canConvert<QFont>() ? stored.value<QFont>() : font());
}

void CustomListBox::writeProperties(controlkit::PropertyBag& bag) const {
    bag.write(QStringLiteral("BackColor"), backColor_, kDefaultBackColor);
    bag.write(QStringLiteral("FontInfo"), theFont_, font());
    bag.write(QStringLiteral("ForeColor"), foreColor_, kDefaultForeColor);
    bag.write(QStringLiteral("Graphical"), graphical_, true);
    bag.write(QStringLiteral("Picture"), lumen::PictureValue(picture_),
              lumen::PictureValue(QPixmap()));
    bag.write(QStringLiteral("ScrollBarBackColor"), scrollBarBackColor_,
              kDefaultScrollBarBackColor);
    bag.write(QStringLiteral("ScrollBarBorderColor"), scrollBarBorderColor_,
              kDefaultScrollBarBorderColor);
    bag.write(QStringLiteral("SelBoxColor"), selBoxColor_, kDefaultSelBoxColor);
    bag.write(QStringLiteral("Sorted"), sorted_, false);
}

// ---- items ----

void CustomListBox::AddItem(const QString& NewItem, int PictureIndex) {
    if (rows_.size() >= kMaxCount)
        return;
    rows_.append(Row(NewItem, PictureIndex <= lastImage() ? PictureIndex : -1));
    if (sorted_)
        SortTheList();
    else
        drawAppendedRow();
    scrollTo(-theList_->y());
}

void CustomListBox::AddImage(const QPixmap& LaPic) {
    if (images_.size() < kMaxCount)
        images_.append(LaPic);
}

void CustomListBox::SortTheList() {
    // Ascending by the lower-case text compared by character code; items that
    // compare equal keep their order. The selection stays on its row number.
    QList<int> order(rows_.size());
    std::iota(order.begin(), order.end(), 0);
    QStringList keys;
    for (const Row& row : rows_)
        keys.append(row.text.toLower());
    std::stable_sort(order.begin(), order.end(),
                     [&keys](int a, int b) { return keys[a] < keys[b]; });
    QList<Row> sorted;
    sorted.reserve(rows_.size());
    for (int index : order)
        sorted.append(rows_[index]);
    rows_ = sorted;
    drawList();
}

QString CustomListBox::List(int index) {
    if (index < 0 || index > lastIndex()) {
        errors_.Raise(lumen::kSubscriptOutOfRange, "Subscript out of range");
        return QString();
    }
    return rows_[index].text;
}

void CustomListBox::RemoveItem(int index) {
    if (index < 0 || index > lastIndex())
        return;
    if (index == listIndex_) {
        listIndex_ = -1;
        highlighted_ = -1;
    } else if (index < listIndex_) {
        listIndex_ -= 1;
        highlighted_ -= 1;
    }
    rows_.removeAt(index);
    resetScroll();
    drawList();
}

void CustomListBox::Clear() {
    rows_.clear();
    listIndex_ = -1;
    highlighted_ = -1;
    resetScroll();
    drawList();
}

void CustomListBox::SetItemText(int i, const QString& txt) {
    if (i < 0 || i > lastIndex())
        return;
    rows_[i] = Row(txt, rows_[i].picture);
    drawList();
}

void CustomListBox::MoveUp() {
    if (listIndex_ == -1 || listIndex_ == 0)
        return;
    listIndex_ -= 1;
    const int y = itemHeight_ * listIndex_;
    if (std::abs(theList_->y()) > y)
        scrollTo(y);
    drawSelection();
}

void CustomListBox::MoveDown() {
    // From a row below the last item (a press there) there is nowhere to go.
    if (listIndex_ == -1 || listIndex_ >= lastIndex())
        return;
    listIndex_ += 1;
    const int bottom = (listIndex_ + 1) * itemHeight_;
    if (std::abs(theList_->y()) + height() < bottom)
        scrollTo(bottom - height());
    drawSelection();
}

void CustomListBox::ScrollIntoView(int index) {
    if (index < 0 || index > lastIndex())
        return;
    layout();
    const int top = index * itemHeight_;
    const int shown = -theList_->y();
    if (top < shown)
        scrollToOffset(top);
    else if (top + itemHeight_ > shown + height())
        scrollToOffset(top + itemHeight_ - height());
}

// ---- drawing ----

void CustomListBox::layout() {
    itemHeight_ = std::max(1, qRound(QFontMetricsF(theList_->font()).height() + 2));
    const int rowsHeight = LCount() * itemHeight_;
    if (height() - 1 >= rowsHeight) {
        theList_->resize(theList_->width(), height());
        needsScroll_ = false;
    } else {
        theList_->resize(theList_->width(), rowsHeight + 1);
        needsScroll_ = true;
    }
}

void CustomListBox::beginPainting(QPainter& painter) {
    painter.begin(&theList_->canvas());
    painter.setFont(theList_->font());
    painter.setPen(lumen::ToQColor(foreColor_));
}

void CustomListBox::drawList() {
    layout();
    theList_->clear();
    QPainter painter;
    beginPainting(painter);
    if (graphical_)
        tileBackground(painter, theList_->rect());
    for (int row = 0; row <= lastIndex(); ++row)
        drawRow(painter, row);
    painter.end();
    highlighted_ = -1;
    drawSelection();
    theList_->update();
}

void CustomListBox::drawAppendedRow() {
    // The same picture as drawing the whole list, for less: the rows above
    // are unchanged, and only the new row and any area the list grew by need
    // their background and text.
    const int oldHeight = theList_->height();
    layout();
    const int row = lastIndex();
    const int top = std::min(row * itemHeight_, oldHeight);
    const QRect fresh(0, top, theList_->width(), std::max(0, theList_->height() - top));
    QPainter painter;
    beginPainting(painter);
    paintBackground(painter, fresh);
    drawRow(painter, row);
    painter.end();
    theList_->update(fresh);
    drawSelection();
}

void CustomListBox::drawRow(QPainter& painter, int row) {
    const int top = row * itemHeight_;
    const Row& item = rows_[row];
    if (item.picture < 0 || item.picture >= images_.size()) {
        painter.drawStaticText(3, top, item.shaped);
        return;
    }
    const int side = std::max(0, itemHeight_ - 2);
    painter.drawPixmap(QRect(3, top + 1, side, side), images_[item.picture]);
    painter.drawStaticText(itemHeight_ + 4, top, item.shaped);
}

void CustomListBox::tileBackground(QPainter& painter, const QRect& area) {
    // Tiles start at the surface's origin; only those meeting area are painted.
    const int tileWidth = picture_.width();
    const int tileHeight = picture_.height();
    if (picture_.isNull() || tileWidth <= 0 || tileHeight <= 0)
        return;
    painter.save();
    painter.setClipRect(area);
    const int firstY = std::max(0, area.top()) / tileHeight * tileHeight;
    for (int x = 0; x <= theList_->width(); x += tileWidth)
        for (int y = firstY; y <= area.bottom(); y += tileHeight)
            painter.drawPixmap(x, y, picture_);
    painter.restore();
}

void CustomListBox::fillBox(QPainter& painter, int left, int top, int right, int bottom,
                            uint colour) {
    // The box covers left..right-1 and top..bottom-1, the area a one-pixel
    // outline and fill of the same colour give.
    painter.fillRect(QRect(left, top, right - left, bottom - top), lumen::ToQColor(colour));
}

void CustomListBox::paintBackground(QPainter& painter, const QRect& area) {
    fillBox(painter, area.left(), area.top(), area.right() + 1, area.bottom() + 1, backColor_);
    if (graphical_)
        tileBackground(painter, area);
}

void CustomListBox::drawSelection() {
    if (listIndex_ == highlighted_)
        return;
    QPainter painter;
    beginPainting(painter);
    if (listIndex_ < 0 || listIndex_ > lastIndex()) {
        // A press below the last item selects no item: the box goes away
        // rather than staying on a row that is no longer selected.
        unhighlight(painter);
        return;
    }
    fillBox(painter, 0, listIndex_ * itemHeight_, theList_->width(), (listIndex_ + 1) * itemHeight_,
            selBoxColor_);
    drawRow(painter, listIndex_);
    theList_->update(0, listIndex_ * itemHeight_, theList_->width(), itemHeight_);
    unhighlight(painter);
    highlighted_ = listIndex_;
}

void CustomListBox::unhighlight(QPainter& painter) {
    if (highlighted_ >= 0 && highlighted_ <= lastIndex()) {
        paintBackground(painter,
                        QRect(0, highlighted_ * itemHeight_, theList_->width(), itemHeight_));
        drawRow(painter, highlighted_);
        theList_->update(0, highlighted_ * itemHeight_, theList_->width(), itemHeight_);
    }
    highlighted_ = -1;
}

void CustomListBox::paintEvent(QPaintEvent*) {
    // Whatever the list and the track leave uncovered (the one-pixel gap
    // between them) belongs to the scroll bar.
    QPainter painter(this);
    painter.fillRect(rect(), lumen::ToQColor(scrollBarBackColor_));
    const QRect track(trackLeft_, 0, kTrackWidth, trackHeight_);
    painter.fillRect(track, lumen::ToQColor(scrollBarBackColor_));
    painter.setPen(lumen::ToQColor(scrollBarBorderColor_));
    painter.drawRect(track.adjusted(0, 0, -1, -1));
}

// ---- scrolling ----
//
// The thumb runs from top 1 down to trackHeight - thumbHeight - 1; the list's
// top runs from 0 up to -range, where range is how much taller the rows are
// than the control. Both ends of the thumb's travel map onto both ends of the
// list, so the bottom position shows the last row in full.

int CustomListBox::thumbTop() const {
    return scrollBox_->y();
}

int CustomListBox::thumbBottomTop() const {
    return trackHeight_ - lumen::kThumbHeight - 1;
}

int CustomListBox::thumbTravel() const {
    return thumbBottomTop() - 1;
}

int CustomListBox::scrollRange() const {
    return LCount() * itemHeight_ - (height() - 1);
}

void CustomListBox::setThumbTop(int top) {
    scrollBox_->move(scrollBox_->x(), top);
}

void CustomListBox::scrollTo(int offset) {
    if (listIndex_ == lastIndex() && needsScroll_) {
        setThumbTop(thumbBottomTop());
        scrollFromThumb(thumbBottomTop());
        return;
    }
    scrollToOffset(offset);
}

void CustomListBox::scrollToOffset(int offset) {
    const int range = scrollRange();
    const int travel = thumbTravel();
    if (range <= 0 || travel <= 0) {
        setThumbTop(1);
        theList_->move(theList_->x(), 0);
        return;
    }
    // The list goes exactly to offset; the thumb follows as near as its
    // coarser steps allow, so rows brought into view by the keys stay whole.
    offset = std::clamp(offset, 0, range);
    setThumbTop(qRound(double(offset) * travel / range) + 1);
    theList_->move(theList_->x(), -offset);
}

void CustomListBox::scrollFromThumb(int top) {
    const int range = scrollRange();
    const int travel = thumbTravel();
    if (range <= 0 || travel <= 0) {
        theList_->move(theList_->x(), 0);
        return;
    }
    const int t = std::clamp(top - 1, 0, travel);
    theList_->move(theList_->x(), -qRound(double(t) * range / travel));
}

void CustomListBox::resetScroll() {
    layout();
    if (needsScroll_) {
        scrollFromThumb(thumbTop());
    } else {
        setThumbTop(1);
        theList_->move(theList_->x(), 0);
    }
}

// ---- size ----

void CustomListBox::resizeEvent(QResizeEvent*) {
    applyResize();
}

void CustomListBox::applyResize() {
    if (width() > 50) {
        theList_->setGeometry(0, theList_->y(), width() - kTrackWidth - 1, theList_->height());
        trackLeft_ = theList_->width() + 1;
        scrollBox_->move(trackLeft_ + 3, scrollBox_->y());
    }
    if (height() > 50)
        trackHeight_ = height();
    layout();
    const bool grew = width() > lastWidth_ || height() > lastHeight_;
    if (grew && lastWidth_ != 0 && lastHeight_ != 0)
        drawList();
    // Keep the list and the thumb in line with the new size: a list that now
    // fits goes back to its top.
    if (needsScroll_)
        scrollTo(-theList_->y());
    else
        resetScroll();
    lastWidth_ = width();
    lastHeight_ = height();
}
