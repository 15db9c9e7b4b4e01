// CustomListBox's input: the list surface raises the control's events and
// selects rows; the thumb and the track beside the list drive scrolling; the
// arrow, page, Home and End keys walk the selection wherever the focus is
// inside the control.

#include "CustomListBox.h"

#include "DrawingSurface.h"
#include "InputCodes.h"

#include <QEventLoop>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <QWheelEvent>

#include <algorithm>

// Besides the arrows, the keys a long list needs: Home and End go to the
// first and last row, Page Up and Page Down by as many rows as show. Like
// the arrows, the page keys need a selection to start from.
void CustomListBox::handleKey(int keyCode) {
    const int page = std::max(1, height() / itemHeight_);
    switch (keyCode) {
    case lumen::kKeyUp:
        MoveUp();
        return;
    case lumen::kKeyDown:
        MoveDown();
        return;
    case lumen::kKeyHome:
        selectRow(0);
        return;
    case lumen::kKeyEnd:
        selectRow(lastIndex());
        return;
    case lumen::kKeyPageUp:
        if (listIndex_ >= 0)
            selectRow(std::min(listIndex_, lastIndex()) - page);
        return;
    case lumen::kKeyPageDown:
        if (listIndex_ >= 0)
            selectRow(std::min(listIndex_, lastIndex()) + page);
        return;
    default:
        return;
    }
}

void CustomListBox::selectRow(int row) {
    if (LCount() == 0)
        return;
    listIndex_ = std::clamp(row, 0, lastIndex());
    ScrollIntoView(listIndex_);
    drawSelection();
}

bool CustomListBox::pause(int milliseconds) {
    // Lets the window's other handlers run while a drag waits above or below
    // the control; a pause already running is not nested again. False when a
    // handler destroyed the control meanwhile.
    if (pausing_)
        return true;
    pausing_ = true;
    QPointer<CustomListBox> alive(this);
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
    if (!alive)
        return false;
    pausing_ = false;
    return true;
}

int CustomListBox::rowAt(double y) const {
    return std::clamp(qRound(y) / itemHeight_, -1, kMaxCount);
}

void CustomListBox::mousePressEvent(QMouseEvent* event) {
    // A press on the track beside the list moves the thumb there.
    if (event->position().x() <= theList_->width())
        return;
    if (!needsScroll_) {
        setThumbTop(1);
        return;
    }
    const int y = qRound(event->position().y());
    const int top = y < 1 ? 1 : std::min(y, thumbBottomTop());
    setThumbTop(top);
    scrollFromThumb(top);
}

void CustomListBox::wheelEvent(QWheelEvent* event) {
    // Three rows for each notch of the wheel, anywhere over the control.
    const int notches = event->angleDelta().y() / 120;
    if (notches != 0 && needsScroll_)
        scrollToOffset(-theList_->y() - notches * 3 * itemHeight_);
    event->accept();
}

void CustomListBox::keyPressEvent(QKeyEvent* event) {
    handleKey(lumen::KeyCode(*event));
}

bool CustomListBox::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == theList_ || watched == scrollBox_) && event->type() == QEvent::Wheel) {
        wheelEvent(static_cast<QWheelEvent*>(event));
        return true;
    }
    if (watched == theList_)
        return listEvent(event);
    if (watched == scrollBox_)
        return thumbEvent(event);
    return QWidget::eventFilter(watched, event);
}

bool CustomListBox::listEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        layout();
        listIndex_ = rowAt(mouse->position().y());
        drawSelection();
        emit MouseDown(lumen::ButtonCode(mouse->button()), lumen::ShiftCode(mouse->modifiers()),
                       float(mouse->position().x()), float(mouse->position().y()));
        return true;
    }
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const int button = lumen::ButtonCode(mouse->buttons());
        if (button == lumen::kLeftButton) {
            layout();
            const QRect window(mapToGlobal(QPoint(0, 0)), size());
            const double pointerY = mouse->globalPosition().y();
            if (pointerY < window.top() || pointerY > window.bottom() + 1) {
                if (!pause(100))
                    return true;
            } else {
                listIndex_ = rowAt(mouse->position().y());
            }
            drawSelection();
        }
        emit MouseMove(button, lumen::ShiftCode(mouse->modifiers()), float(mouse->position().x()),
                       float(mouse->position().y()));
        return true;
    }
    case QEvent::MouseButtonRelease: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        emit MouseUp(lumen::ButtonCode(mouse->button()), lumen::ShiftCode(mouse->modifiers()),
                     float(mouse->position().x()), float(mouse->position().y()));
        if (mouse->button() == Qt::LeftButton && theList_->rect().contains(mouse->pos()))
            emit Click();
        return true;
    }
    case QEvent::MouseButtonDblClick:
        emit DblClick();
        return true;
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        handleKey(lumen::KeyCode(*key));
        emit KeyDown(lumen::KeyCode(*key), lumen::ShiftCode(key->modifiers()));
        if (const int ascii = lumen::KeyAscii(*key))
            emit KeyPress(ascii);
        return true;
    }
    case QEvent::KeyRelease: {
        auto* key = static_cast<QKeyEvent*>(event);
        emit KeyUp(lumen::KeyCode(*key), lumen::ShiftCode(key->modifiers()));
        return true;
    }
    default:
        return false;
    }
}

bool CustomListBox::thumbEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        pressCursorY_ = qRound(mouse->globalPosition().y());
        pressThumbTop_ = thumbTop();
        return true;
    }
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (!needsScroll_) {
            setThumbTop(1);
            return true;
        }
        if (lumen::ButtonCode(mouse->buttons()) != lumen::kLeftButton)
            return true;
        const int top = pressThumbTop_ + (qRound(mouse->globalPosition().y()) - pressCursorY_);
        const int placed = top < 1 ? 1 : std::min(top, thumbBottomTop());
        setThumbTop(placed);
        scrollFromThumb(placed);
        return true;
    }
    case QEvent::KeyPress:
        handleKey(lumen::KeyCode(*static_cast<QKeyEvent*>(event)));
        return true;
    default:
        return false;
    }
}
