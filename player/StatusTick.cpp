// The once-a-second status tick: time, format and hint lines, seek bar,
// lamps and the playing mark; and the volume and seek bars.

#include "FittedText.h"
#include "Form1.h"

#include <QLabel>
#include <QVariant>

#include <cmath>

namespace {

const QString kPlayingMark = QStringLiteral(">>> PLAY: ");

} // namespace

QString Form1::FormatTime(double seconds) {
    const double whole = std::isfinite(seconds) ? std::abs(std::trunc(seconds)) : 0.0;
    const auto t = static_cast<long long>(whole);
    return QStringLiteral("%1:%2").arg(t / 60).arg(t % 60, 2, 10, QLatin1Char('0'));
}

void Form1::StatusTick() {
    QString status;
    if (!IsPlaying()) {
        if (!bUserStopped) {
            // The song ended (or Next was pressed): on to the next one,
            // unless it could not play at all. Without a sound device every
            // song would fail the same way, flashing past in a few seconds.
            SetEntry(iCurrentSong, QStringLiteral(" "));
            if (!StopOnRunFailure())
                NextStep();
        }
        status = QStringLiteral("Ready  ");
    }
    if (IsPlaying() && IsPlaying())
        ShowPlaying();
    else
        ShowStopped(status);
    // Nothing has been selected yet and nothing is loaded (no length): the
    // first song added starts by itself. Once a song was selected, a file
    // that could not be opened (no length either) must not restart the list
    // on every tick.
    // The converter's source is no song of the list: nothing starts there.
    if (iCurrentSong == 0 && !ConverterShown() && AudioInt("GetPosition") >= AudioInt("GetLength"))
        NextStep();
}

bool Form1::StopOnRunFailure() {
    const QString failure = binding_.CallString(Audiocore1, "LastError");
    if (failure.isEmpty())
        return false;
    bUserStopped = true;
    binding_.Report(QStringLiteral("\"%1\" cannot be played.\n\n%2").arg(SourceFile(), failure));
    return true;
}

void Form1::ShowPlaying() {
    const int position = AudioInt("GetPosition");
    const int length = AudioInt("GetLength");
    const int frames = AudioInt("GetFrameCount");
    // A frame lasts length / frames: right at every sampling rate.
    const double elapsed = frames > 0 ? position * (length / 1000.0) / frames : 0.0;
    Label7->setText("Play  " + FormatTime(elapsed) + " | " + FormatTime(length / 1000.0));
    Label8->setText(fitted::CommaLines(*Label8, binding_.CallString(Audiocore1, "GetInfo")));

    const int max = binding_.Get(PBarY2, "Max").toInt();
    int value = 0;
    if (frames > 0)
        value = int(std::nearbyint(AudioInt("GetPosition") * (double(max) / frames)));
    binding_.Set(PBarY2, "Value", qBound(0, value, max));

    ShowNowPlaying();
    UpdatePlayLamps(IsPlaying());
    Label9->setText(fitted::OneLine(*Label9, Text4));
    Label11->hide();
    // The mark waits for the bar to leave 0, so the first second keeps the
    // plain entry.
    if (binding_.Get(PBarY2, "Value").toInt() > 0) {
        SetEntry(iCurrentSong, kPlayingMark);
        ShowPlayingEntry();
    }
}

// In a long list the song that begins to play may be far out of view.
void Form1::ShowPlayingEntry() {
    if (shownPlaying_ == iCurrentSong)
        return;
    shownPlaying_ = iCurrentSong;
    binding_.Call(CustomListBox1, "ScrollIntoView", Q_ARG(int, iCurrentSong - 1));
}

void Form1::ShowStopped(const QString& status) {
    SetEntry(iCurrentSong, QStringLiteral(" "));
    shownPlaying_ = 0;
    Label7->setText(status + "0:00 | 0:00");
    Label8->setText(QStringLiteral("History"));
    UpdatePlayLamps(IsPlaying());
}

void Form1::ShowNowPlaying() {
    Text4 = "Now:" + TitleOf(SourceFile());
}

void Form1::UpdatePlayLamps(bool playing) {
    for (const char* name : kPlayingLamps)
        if (QWidget* lamp = Control(name))
            lamp->setVisible(playing);
}

void Form1::SetVolumeFromBar() {
    binding_.Set(Audiocore1, "Volume", binding_.Get(PBarY1, "Value").toInt() * 5);
}

void Form1::SeekReleased(int Button, int Shift, float X, float Y) {
    Q_UNUSED(Button);
    Q_UNUSED(Shift);
    Q_UNUSED(Y);
    const int frames = AudioInt("GetFrameCount");
    const int width = PBarY2->width();
    if (frames <= 0 || width <= 0)
        return;
    // Where the pointer was released, as a share of the bar: the right edge
    // is the song's end.
    const double share = qBound(0.0, double(X) / width, 1.0);
    SeekToFrame(int(std::nearbyint(frames * share)));
}

void Form1::SeekToFrame(int frame) {
    const int frames = AudioInt("GetFrameCount");
    if (frames <= 0)
        return;
    binding_.CallInt(Audiocore1, "SetPosition", qBound(0, frame, frames - 1), -1);
}
