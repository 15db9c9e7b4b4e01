#pragma once

#include <QString>

// A title or name as the window shows it: on one line, with every control
// character and every byte of a name that is no UTF-8 shown as a visible
// escape ("\x1B", "\xFF"), the same marks `songwell --info` prints.
QString OneLineText(const QString& text);
