// Button feedback: the hint line naming the command under the pointer, the
// lamps lit while a button is held, the underlines of text buttons (red
// while pressed, dim after), the hint-line switch and the logo's link to the help page.

#include "Form1.h"

#include <QDesktopServices>
#include <QDir>
#include <QLabel>
#include <QUrl>

namespace {

struct Hint {
    std::initializer_list<const char*> controls;
    const char* text;
};

const Hint kHints[] = {
    {{"CustomListBox1"}, "DblClick play song"},
    {{"Image9", "Image10", "Image11", "Image12", "Image13"}, "Play or paused"},
    {{"Image14", "Image15", "Image16", "Image17", "Image18"}, "Next song"},
    {{"Image19", "Image20", "Image21", "Image22", "Image23", "Image24"}, "Previous song"},
    {{"Image4", "Image5", "Image6", "Image7", "Image25"}, "Stop"},
    {{"Image26"}, "'Standard' play all and stop"},
    {{"Image27"}, "Shuffle"},
    {{"Image28"}, "Repeat all"},
    {{"Image33"}, "Help off/on"},
    {{"Image34", "Label6"}, "Load song"},
    {{"Image35"}, "Load all songs in folder"},
    {{"Label3"}, "Clear play list"},
    {{"Label4"}, " Remove one song"},
    {{"Label5"}, "Convert mp3 to WAV"},
    {{"Label13"}, "Back"},
    {{"Label19"}, "Select song for info."},
    {{"PBarY1"}, "Volume"},
    {{"PBarY2"}, "Seek"},
};

struct Lamps {
    std::initializer_list<const char*> controls;
    std::initializer_list<const char*> lamps;
};

const Lamps kPressLamps[] = {
    {{"Image3", "Image26", "Image27", "Image28"}, {"Image29", "Image30"}},
    {{"Image4", "Image5", "Image6", "Image7", "Image8", "Image25"}, {"Image31", "Image32"}},
    {{"Image9", "Image10", "Image11", "Image12", "Image13"},
     {"Image29", "Image30", "Image31", "Image32"}},
    {{"Image14", "Image15", "Image16", "Image17", "Image18"}, {"Image29"}},
    {{"Image19", "Image20", "Image21", "Image22", "Image23", "Image24"}, {"Image30"}},
};

struct Underline {
    std::initializer_list<const char*> controls;
    const char* line;
};

const Underline kUnderlines[] = {
    {{"Label3", "Label13"}, "Line8"},
    {{"Label4", "Label18"}, "Line7"},
    {{"Label5"}, "Line6"},
    {{"Label6", "Label17", "Image34"}, "Line5"},
    {{"Image35"}, "Line10"},
    {{"Image33"}, "Line11"},
};

const QString kPressedLine = QStringLiteral("color: #FF0000");
const QString kReleasedLine = QStringLiteral("color: #804040");

} // namespace

void Form1::BindVisuals() {
    for (const Hint& hint : kHints)
        for (const char* name : hint.controls)
            OnHint(Control(name), QString::fromLatin1(hint.text));
    OnHint(Control("Image3"), "Welcome to Songwell! Click here for help: " + HelpPage());

    for (const Lamps& entry : kPressLamps)
        for (const char* name : entry.controls)
            OnPress(name, [this, lamps = entry.lamps](bool down) {
                for (const char* lamp : lamps)
                    if (QWidget* picture = Control(lamp))
                        picture->setVisible(down);
            });
    for (const Underline& entry : kUnderlines)
        for (const char* name : entry.controls)
            OnPress(name, [this, line = entry.line](bool down) { SetUnderline(line, down); });

    if (auto* link = form_->findChild<QLabel*>("Label10"))
        link->setText(QUrl::fromLocalFile(HelpPage()).toString());
    OnClick("Image33", [this] { ToggleHintLine(); });
    for (const char* name : {"Label10", "Image3"})
        OnClick(name, [this] { OpenHelpPage(); });
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
