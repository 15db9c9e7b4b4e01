#pragma once

#include "controlkit/ControlError.h"

#include "controlkit/PropertyBag.h"

#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

// The skin window control. It shapes, drags, raises and minimises not itself
// but the top-level window whose title is Target_Caption: the host places it
// on that window, calls Cut_Window once the window is shown, and passes its
// pointer position on every mouse event while the user drags.
//
// The host paints its window through child widgets over a translucent
// background (Qt::WA_TranslucentBackground set before the window is shown):
// Cut_Window masks the window for the pointer and cuts its children's
// painting to the same outline, which is how the outline reaches the picture
// where a mask alone does not cut it (Wayland, X11 under a compositor).
//
// Setting Mouse_X_Pos or Mouse_Y_Pos is refused with control error 387 while
// the control is being designed (userMode() false). The control cannot see
// its host, so whoever creates it for a designer says so with setUserMode;
// the Designer plugin does that, any other host leaves the default (running).
class AdvWin : public QWidget {
    Q_OBJECT
    Q_CLASSINFO("DispId.Skin_Txt_File", "0x68030005")
    Q_CLASSINFO("DispId.Target_Caption", "0x68030004")
    Q_CLASSINFO("DispId.Cut_Window", "0x6003000B")
    Q_CLASSINFO("DispId.Win_Minimize", "0x6003000C")
    Q_CLASSINFO("DispId.on_top", "0x6003000D")
    Q_CLASSINFO("DispId.On_Mouse_Down", "0x6003000E")
    Q_CLASSINFO("DispId.On_Mouse_Move", "0x6003000F")
    Q_CLASSINFO("DispId.On_Mouse_Up", "0x60030010")
    Q_CLASSINFO("DispId.X_Plus", "0x68030003")
    Q_CLASSINFO("DispId.Y_Plus", "0x68030002")
    Q_CLASSINFO("DispId.Mouse_X_Pos", "0x68030001")
    Q_CLASSINFO("DispId.Mouse_Y_Pos", "0x68030000")
    Q_PROPERTY(QString Skin_Txt_File READ Skin_Txt_File WRITE setSkin_Txt_File)
    Q_PROPERTY(QString Target_Caption READ Target_Caption WRITE setTarget_Caption)
    Q_PROPERTY(int X_Plus READ X_Plus WRITE setX_Plus)
    Q_PROPERTY(int Y_Plus READ Y_Plus WRITE setY_Plus)
    // Not offered in a designer's property editor: setting them there is an error.
    Q_PROPERTY(int Mouse_X_Pos READ Mouse_X_Pos WRITE setMouse_X_Pos DESIGNABLE false)
    Q_PROPERTY(int Mouse_Y_Pos READ Mouse_Y_Pos WRITE setMouse_Y_Pos DESIGNABLE false)

public:
    // The z-order values that on_top toggles between.
    static constexpr int kTopmost = -1;
    static constexpr int kNoTopmost = -2;
    // 480 x 480 twips at 15 twips to the pixel.
    static constexpr int kSide = 32;

    explicit AdvWin(QWidget* parent = nullptr);

    QString Skin_Txt_File() const { return skin_txt_file; }
    void setSkin_Txt_File(const QString& value);
    QString Target_Caption() const { return target_caption; }
    void setTarget_Caption(const QString& value);
    int X_Plus() const { return x_plus; }
    void setX_Plus(int value);
    int Y_Plus() const { return y_plus; }
    void setY_Plus(int value);
    int Mouse_X_Pos() const { return mouse_x_pos; }
    void setMouse_X_Pos(int value);
    int Mouse_Y_Pos() const { return mouse_y_pos; }
    void setMouse_Y_Pos(int value);

    // Cuts the target window to the outline of the skin polygon file series;
    // without a readable first file the window loses any outline. Never fails.
    Q_INVOKABLE void Cut_Window();
    Q_INVOKABLE void Win_Minimize();
    // Puts the target window above all others, or takes that away again;
    // where the platform keeps no window on top (Wayland) the window is left
    // as it is. The window is never hidden or recreated for it.
    Q_INVOKABLE void on_top();
    // Starts a drag. While the left button that went down is still held, the
    // compositor or window manager is asked to move the window; where it
    // refuses, the control moves it itself on the following mouse-moves.
    Q_INVOKABLE void On_Mouse_Down();
    // While dragging, moves the window found at the last mouse-down by the
    // pointer's distance from where it went down.
    Q_INVOKABLE void On_Mouse_Move();
    Q_INVOKABLE void On_Mouse_Up();

    bool userMode() const { return user_mode; }
    void setUserMode(bool running) { user_mode = running; }

    // Persistence in the host's property store, in the control's fixed order.
    void readProperties(controlkit::PropertyBag& bag);
    void writeProperties(controlkit::PropertyBag& bag) const;

    QSize sizeHint() const override { return {kSide, kSide}; }

    // The control error the member called last raised, for the host to take
    // after each call: its code (0 none) and text.
    Q_INVOKABLE uint ErrorCode() const { return errors_.Pending().code; }
    Q_INVOKABLE QString TakeError() { return QString::fromStdString(errors_.Take().text); }

signals:
    // A property was set, so that the host knows to save it.
    void propertyChanged(const QString& name);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    controlkit::ControlErrors errors_;
    void setMousePos(int& field, int value, const QString& name);
    // Moves the target window to (x, y) with the current on-top choice.
    void placeTarget(qint64 x, qint64 y);

    QString skin_txt_file;
    QString target_caption;
    int x_plus = 0;
    int y_plus = 0;
    int mouse_x_pos = 0;
    int mouse_y_pos = 0;

    QRect window_rect;
    int insert_after = kNoTopmost;
    int grab_x = 0;
    int grab_y = 0;
    bool dragging = false;
    QPointer<QWidget> target_window;

    bool user_mode = true;
};
