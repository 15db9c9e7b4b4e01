// The converter view: switching between it and the player view, loading the
// source and converting it into a WAV file.

#include "Form1.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>

namespace {

constexpr int kPanelWidthConverter = 205;
constexpr int kPanelWidthPlayer = 153;

// Every named control of the window with its views, from the two tables.
template <typename Visit> void ForEachControl(Visit visit) {
    for (const ClickArea& area : MainWindowAreas())
        visit(area.name, area.views, false);
    for (const NamedControl& control : MainWindowControls())
        visit(control.name, control.views, control.onDemand);
}

} // namespace

QString Form1::TimeCaption(int milliseconds) {
    const double seconds = milliseconds / 1000.0;
    // Up to 15 significant digits, no trailing zeros, a period whatever the
    // locale; the sign's place holds a space for a value that is not negative.
    const QString number = QString::number(seconds, 'g', 15);
    return "Time: " + (seconds < 0 ? number : " " + number) + " sec.";
}

void Form1::SetPlayerControlsVisible(bool visible) {
    if (!visible) {
        hiddenForConverter_.clear();
        ForEachControl([this](const char* name, View views, bool onDemand) {
            QWidget* control = views == View::Player ? Control(name) : nullptr;
            if (control == nullptr || !control->isVisibleTo(form_))
                return;
            control->hide();
            // One shown on demand, like the pause mark, stays hidden until
            // its own code shows it again.
            if (!onDemand)
                hiddenForConverter_.append(control);
        });
        return;
    }
    for (const QPointer<QWidget>& control : hiddenForConverter_)
        if (control)
            control->show();
    hiddenForConverter_.clear();
}

void Form1::SetConverterControlsVisible(bool visible) {
    ForEachControl([this, visible](const char* name, View views, bool onDemand) {
        QWidget* control = views == View::Converter ? Control(name) : nullptr;
        // One shown on demand, like the progress line, waits for its own code.
        if (control != nullptr && (!visible || !onDemand))
            control->setVisible(visible);
    });
}

void Form1::ShadeUnusable(bool shaded) {
    if (shades_.isEmpty()) {
        for (Shade group : {Shade::TransportKeys, Shade::ModeKeys, Shade::VolumeGroove}) {
            QRect area;
            for (const ClickArea& member : MainWindowAreas())
                if (QWidget* control = member.shade == group ? Control(member.name) : nullptr)
                    area |= QRect(control->mapTo(form_, QPoint(0, 0)), control->size());
            auto* shade = new QWidget(form_);
            shade->setObjectName(QStringLiteral("ConverterShade"));
            shade->setAttribute(Qt::WA_StyledBackground);
            // The surface under it still drags the window.
            shade->setAttribute(Qt::WA_TransparentForMouseEvents);
            shade->setStyleSheet(QStringLiteral("background-color: rgba(0, 0, 0, 160)"));
            shade->setGeometry(area);
            shades_.append(shade);
        }
    }
    for (const QPointer<QWidget>& shade : shades_)
        if (shade) {
            shade->setVisible(shaded);
            shade->raise();
        }
}

bool Form1::ConverterShown() const {
    return Label13->isVisibleTo(form_);
}

void Form1::ShowConverter() {
    if (ConverterShown())
        return;
    hooks_.beep();
    AudioStop();
    AudioRewind();
    bUserStopped = true;
    SetPlayerControlsVisible(false);
    ShadeUnusable(true);
    Control("Label1")->resize(kPanelWidthConverter, Control("Label1")->height());
    SetConverterControlsVisible(true);
    lstPlayList1->clear();
}

void Form1::ShowPlayer() {
    // The conversion uses the control until it ends.
    if (converting_ || !ConverterShown())
        return;
    hooks_.beep();
    Text1.clear();
    Text2->clear();
    Text3->clear();
    Text2->setToolTip({});
    Text3->setToolTip({});
    Label16->clear();
    Label20->hide();
    Label14->show();
    SetPlayerControlsVisible(true);
    ShadeUnusable(false);
    Control("Label1")->resize(kPanelWidthPlayer, Control("Label1")->height());
    SetConverterControlsVisible(false);
    lstPlayList1->clear();
    if (!lstFilenames.isEmpty())
        SelectSong(1, false);
}

void Form1::LoadSource() {
    if (converting_)
        return;
    AudioStop();
    const QString path = hooks_.openSource(QStringLiteral("Select MP3 file"));
    if (path.isEmpty())
        return;
    Label20->hide();
    Label14->show();
    const bool opened = binding_.Set(Audiocore1, "SourceFile", path, path);
    if (!opened) {
        // The user was told why; nothing is loaded for a conversion.
        Text1.clear();
        Text2->clear();
        Text3->clear();
        Text2->setToolTip({});
        Text3->setToolTip({});
        Label16->clear();
        return;
    }
    Text1 = path;
    Text2->setText("Name: " + QFileInfo(path).fileName());
    Text3->setText("Info: " + binding_.CallString(Audiocore1, "GetInfo"));
    Label16->setText(TimeCaption(AudioInt("GetLength")));
    // Long lines show their beginning; the whole line is in the tool tip.
    for (QLineEdit* line : {Text2, Text3}) {
        line->setCursorPosition(0);
        line->setToolTip(line->text());
    }
}

void Form1::ShowProgress(const QString& text) {
    Label14->hide();
    Label20->setText(text);
    Label20->show();
}

QString Form1::ConversionFailure(const QString& target, int result) const {
    const QFileInfo info(target);
    if (info.isDir())
        return "Failed: " + target + " is a folder.";
    if (!info.absoluteDir().exists())
        return "Failed: the folder of " + target + " does not exist.";
    if (result != 0 && AudioInt("GetFrameCount") <= 0)
        return QStringLiteral("Failed: the source cannot be decoded.");
    return "Failed: " + target + " cannot be written.";
}

void Form1::Convert() {
    if (converting_)
        return;
    if (Text2->text().isEmpty()) {
        ShowProgress(QStringLiteral("Nothing to convert: push 'Load' and select an mp3 file."));
        return;
    }
    QString target = hooks_.saveWav(QStringLiteral("Save WAV file"));
    if (target.isEmpty())
        return;
    if (QFileInfo(target).suffix().isEmpty())
        target += QStringLiteral(".wav");
    converting_ = true;
    // Reopened, so that the conversion starts at the first frame.
    const bool reopened = binding_.Set(Audiocore1, "SourceFile", Text1, Text1);
    Wait(0.5);
    ShowProgress(QStringLiteral("Please wait..."));
    Wait(0.5);
    // The conversion runs on this thread: the message must be painted first.
    Label20->repaint();
    int result = -1;
    if (reopened) {
        result = binding_.CallInt(Audiocore1, "WriteWAV", target, -1);
    }
    const bool written = result == 0 && QFileInfo(target).isFile();
    converting_ = false;
    if (!reopened) {
        ShowProgress(QStringLiteral("Failed: the source cannot be decoded."));
        return;
    }
    if (!written) {
        // Stays until the next Load or Convert, so that it can be read.
        ShowProgress(ConversionFailure(target, result));
        return;
    }
    ShowProgress(QStringLiteral("Completed..."));
    Wait(2);
    if (Label20->text() == QStringLiteral("Completed...")) {
        Label20->hide();
        Label14->show();
    }
}
