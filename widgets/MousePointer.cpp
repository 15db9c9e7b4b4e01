#include "MousePointer.h"

#include <QCursor>
#include <QWidget>

namespace lumen {

void ApplyMousePointer(QWidget& widget, int pointer, const QPixmap& icon) {
    static constexpr Qt::CursorShape kShapes[] = {
        Qt::ArrowCursor,     // 0 (not used: unsetCursor)
        Qt::ArrowCursor,     // 1
        Qt::CrossCursor,     // 2
        Qt::IBeamCursor,     // 3
        Qt::ArrowCursor,     // 4 icon
        Qt::SizeAllCursor,   // 5
        Qt::SizeBDiagCursor, // 6 north-east / south-west
        Qt::SizeVerCursor,   // 7
        Qt::SizeFDiagCursor, // 8 north-west / south-east
        Qt::SizeHorCursor,   // 9
        Qt::UpArrowCursor,   // 10
        Qt::WaitCursor,      // 11
        Qt::ForbiddenCursor, // 12
        Qt::BusyCursor,      // 13
        Qt::WhatsThisCursor, // 14
        Qt::SizeAllCursor,   // 15
    };
    if (pointer == kCustomPointer && !icon.isNull())
        widget.setCursor(QCursor(icon));
    else if (pointer >= 1 && pointer < int(std::size(kShapes)))
        widget.setCursor(kShapes[pointer]);
    else
        widget.unsetCursor();
}

} // namespace lumen
