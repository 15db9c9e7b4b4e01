#pragma once

// The numbers the controls' events carry for buttons, modifier keys and keys:
// Button 1 left, 2 right, 4 middle (added together when several are held);
// Shift 1 Shift, 2 Ctrl, 4 Alt; KeyCode the desktop's virtual key number
// (38 up arrow, 40 down arrow, 65 'A', ...). Hosts compare against these.

#include <Qt>

class QKeyEvent;

namespace lumen {

int ButtonCode(Qt::MouseButtons buttons);
int ShiftCode(Qt::KeyboardModifiers modifiers);
int KeyCode(const QKeyEvent& event);
// The character code of a typed key, or 0 when the key types no character.
int KeyAscii(const QKeyEvent& event);

constexpr int kLeftButton = 1;
constexpr int kKeyPageUp = 33;
constexpr int kKeyPageDown = 34;
constexpr int kKeyEnd = 35;
constexpr int kKeyHome = 36;
constexpr int kKeyUp = 38;
constexpr int kKeyDown = 40;

} // namespace lumen
