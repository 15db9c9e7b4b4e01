#include "AdvWin.h"

#include "SkinPolygonFile.h"
#include "SkinRegion.h"
#include "SkinformErrors.h"

#include <QApplication>
#include <QFile>
#include <QPainter>
#include <QWindow>

#include <limits>

namespace {

// The top-level window of this process with exactly this title; a visible one
// wins over a hidden one. An empty caption names no window: many of Qt's own
// helper windows have no title.
QWidget* FindTargetWindow(const QString& caption) {
    if (caption.isEmpty())
        return nullptr;
    QWidget* hidden = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->windowType() == Qt::Desktop || window->windowTitle() != caption)
            continue;
        if (window->isVisible())
            return window;
        if (!hidden)
            hidden = window;
    }
    return hidden;
}

bool FitsInt(qint64 value) {
    return value >= std::numeric_limits<int>::min() && value <= std::numeric_limits<int>::max();
}

// Gives the window its outline. The mask limits where the pointer reaches it;
// on Wayland, and on X11 under a compositor, it does not cut the picture, so
// the window's children, which paint all of it over a translucent window,
// are cut to the same region. The region is the same everywhere, so the cut
// and the pointer's reach match at any scale factor. An empty region gives
// the window its rectangle back: it would otherwise vanish for good.
void ApplyOutline(QWidget* window, const QRegion& region) {
    const auto children = window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    if (region.isEmpty()) {
        window->clearMask();
        for (QWidget* child : children)
            if (!child->isWindow())
                child->clearMask();
        return;
    }
    window->setMask(region);
    for (QWidget* child : children)
        if (!child->isWindow())
            child->setMask(region.translated(-child->pos()));
}

// A Wayland compositor keeps no client window above the others on request,
// and changing the flag there only makes Qt recreate the window.
bool PlatformKeepsOnTop() {
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

// Sets the stays-on-top hint on the window as it stands: QWidget's own
// setWindowFlags hides and recreates a shown window, which the user would
// see flicker (and which loses its place on Wayland).
void SetStaysOnTop(QWidget* window, bool onTop) {
    if (window->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop)
        return;
    const Qt::WindowFlags flags = window->windowFlags().setFlag(Qt::WindowStaysOnTopHint, onTop);
    window->overrideWindowFlags(flags);
    if (QWindow* handle = window->windowHandle())
        handle->setFlags(flags);
}

// Hands the drag that has just begun to the compositor or window manager,
// which moves the window with the pointer, snaps it and keeps it on screen;
// a Wayland client cannot place its own window at all. It can only take over
// a press that is still held, so a mouse-down reported without one (or a
// platform that refuses, such as X11 without a window manager) leaves the
// drag to the control.
bool StartSystemMove(QWidget* window) {
    if (!window || !(QGuiApplication::mouseButtons() & Qt::LeftButton))
        return false;
    QWindow* handle = window->windowHandle();
    return handle && handle->startSystemMove();
}

const QString kSkinTxtFile = QStringLiteral("Skin_Txt_File");
const QString kTargetCaption = QStringLiteral("Target_Caption");
const QString kXPlus = QStringLiteral("X_Plus");
const QString kYPlus = QStringLiteral("Y_Plus");
const QString kMouseXPos = QStringLiteral("Mouse_X_Pos");
const QString kMouseYPos = QStringLiteral("Mouse_Y_Pos");

QString ReadString(controlkit::PropertyBag& bag, const QString& name) {
    return bag.read(name, QString()).toString();
}

int ReadInt(controlkit::PropertyBag& bag, const QString& name) {
    bool ok = false;
    const int value = bag.read(name, 0).toInt(&ok);
    return ok ? value : 0;
}

} // namespace

AdvWin::AdvWin(QWidget* parent) : QWidget(parent) {
    setFixedSize(kSide, kSide);
}

void AdvWin::setSkin_Txt_File(const QString& value) {
    skin_txt_file = value;
    emit propertyChanged(kSkinTxtFile);
}

void AdvWin::setTarget_Caption(const QString& value) {
    target_caption = value;
    emit propertyChanged(kTargetCaption);
}

void AdvWin::setX_Plus(int value) {
    x_plus = value;
    emit propertyChanged(kXPlus);
}

void AdvWin::setY_Plus(int value) {
    y_plus = value;
    emit propertyChanged(kYPlus);
}

void AdvWin::setMouse_X_Pos(int value) {
    setMousePos(mouse_x_pos, value, kMouseXPos);
}

void AdvWin::setMouse_Y_Pos(int value) {
    setMousePos(mouse_y_pos, value, kMouseYPos);
}

void AdvWin::setMousePos(int& field, int value, const QString& name) {
    // The pointer position only means something while the host runs.
    if (!user_mode) {
        errors_.Raise(skinform::kErrorSetNotPermitted, "Set not permitted");
        return;
    }
    field = value;
    emit propertyChanged(name);
}

void AdvWin::Cut_Window() {
    target_window = FindTargetWindow(target_caption);
    const std::string firstName = QFile::encodeName(skin_txt_file).toStdString();
    const QRegion region =
        skinform::SkinRegion(skinform::ReadPolygonSeries(firstName, x_plus, y_plus));
    if (target_window)
        ApplyOutline(target_window, region);
}

void AdvWin::Win_Minimize() {
    target_window = FindTargetWindow(target_caption);
    if (target_window)
        target_window->showMinimized();
}

void AdvWin::on_top() {
    target_window = FindTargetWindow(target_caption);
    if (target_window)
        window_rect = target_window->frameGeometry();
    insert_after = insert_after == kNoTopmost ? kTopmost : kNoTopmost;
    // Where the platform has no such state the window is left alone.
    if (target_window && PlatformKeepsOnTop())
        placeTarget(window_rect.left(), window_rect.top());
}

void AdvWin::On_Mouse_Down() {
    target_window = FindTargetWindow(target_caption);
    grab_x = mouse_x_pos;
    grab_y = mouse_y_pos;
    // While the compositor moves the window, the moves reported here must not
    // move it as well.
    dragging = !StartSystemMove(target_window);
}

void AdvWin::On_Mouse_Move() {
    // The window found at mouse-down, even if the caption has changed since.
    if (target_window)
        window_rect = target_window->frameGeometry();
    if (!dragging)
        return;
    const qint64 x = qint64{window_rect.left()} + mouse_x_pos - grab_x;
    const qint64 y = qint64{window_rect.top()} + mouse_y_pos - grab_y;
    if (!FitsInt(x) || !FitsInt(y)) {
        errors_.Raise(skinform::kErrorOverflow, "Overflow");
        return;
    }
    if (target_window)
        placeTarget(static_cast<int>(x), static_cast<int>(y));
}

void AdvWin::On_Mouse_Up() {
    dragging = false;
}

void AdvWin::placeTarget(qint64 x, qint64 y) {
    QWidget* window = target_window;
    if (PlatformKeepsOnTop())
        SetStaysOnTop(window, insert_after == kTopmost);
    window->move(static_cast<int>(x), static_cast<int>(y));
}

void AdvWin::readProperties(controlkit::PropertyBag& bag) {
    skin_txt_file = ReadString(bag, kSkinTxtFile);
    target_caption = ReadString(bag, kTargetCaption);
    x_plus = ReadInt(bag, kXPlus);
    y_plus = ReadInt(bag, kYPlus);
    mouse_x_pos = ReadInt(bag, kMouseXPos);
    mouse_y_pos = ReadInt(bag, kMouseYPos);
}

void AdvWin::writeProperties(controlkit::PropertyBag& bag) const {
    bag.write(kSkinTxtFile, skin_txt_file, QString());
    bag.write(kTargetCaption, target_caption, QString());
    bag.write(kXPlus, x_plus, 0);
    bag.write(kYPlus, y_plus, 0);
    bag.write(kMouseXPos, mouse_x_pos, 0);
    bag.write(kMouseYPos, mouse_y_pos, 0);
}

void AdvWin::paintEvent(QPaintEvent*) {
    // At run time the control is an invisible helper; in a designer it shows
    // a small outline so that it can be found and selected.
    if (user_mode)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), palette().window());
    painter.setPen(QPen(palette().windowText(), 1));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    const QPolygonF outline{{6, 10}, {16, 4}, {26, 10}, {26, 26}, {16, 22}, {6, 26}};
    painter.setBrush(palette().highlight());
    painter.drawPolygon(outline, Qt::OddEvenFill);
}
