// Button feedback: the hint line naming the command under the pointer, the
// lamps lit while a button is held, the underlines of text buttons (red
// while pressed, dim after), the hint-line switch and the logo's link to the help page.

#include "Form1.h"

#include <QDesktopServices>
#include <QDir>
#include <QLabel>
#include <QUrl>

namespace {

const QString kPressedLine = QStringLiteral("color: #FF0000");
const QString kReleasedLine = QStringLiteral("color: #804040");

} // namespace

void Form1::BindVisuals() {
    for (const ClickArea& area : MainWindowAreas()) {
        if (area.hint != nullptr)
            OnHint(Control(area.name), QString::fromLatin1(area.hint));
        if (area.lamps.size() > 0)
            OnPress(area.name, [this, lamps = area.lamps](bool down) {
                for (const char* lamp : lamps)
                    if (QWidget* picture = Control(lamp))
                        picture->setVisible(down);
            });
        if (area.underline != nullptr)
            OnPress(area.name,
                    [this, line = area.underline](bool down) { SetUnderline(line, down); });
    }
    OnHint(Control("Image3"), "Welcome to Songwell! Click here for help: " + HelpPage());
    if (auto* link = form_->findChild<QLabel*>("Label10"))
        link->setText(QUrl::fromLocalFile(HelpPage()).toString());
}

void Form1::OnHint(QWidget* control, const QString& hint) {
    if (control == nullptr)
        return;
    // Composite controls get the pointer in their parts.
    QList<QWidget*> parts = control->findChildren<QWidget*>();
    parts.prepend(control);
    for (QWidget* part : parts) {
        part->setMouseTracking(true);
        part->installEventFilter(this);
        hints_.insert(part, hint);
    }
}

void Form1::OnPress(const char* name, std::function<void(bool down)> handler) {
    if (QWidget* area = Control(name)) {
        area->installEventFilter(this);
        presses_[area].append(std::move(handler));
    }
}

void Form1::SetUnderline(const char* line, bool pressed) {
    if (QWidget* underline = Control(line)) {
        underline->setStyleSheet(pressed ? kPressedLine : kReleasedLine);
        // Released, the line stays as a dim mark of the last press.
        underline->show();
    }
}

void Form1::ToggleHintLine() {
    Label9->setVisible(!Label9->isVisibleTo(form_));
}

QString Form1::HelpPage() const {
    // Installed beside the skin: share/songwell/help.
    return QDir::cleanPath(QDir(skinDir_).absoluteFilePath("../help/index.html"));
}

void Form1::OpenHelpPage() {
    hooks_.openUrl(QUrl::fromLocalFile(HelpPage()));
}
