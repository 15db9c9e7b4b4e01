// Transport commands and play modes: play, pause, stop, next, previous, and
// the step that decides which song follows.

#include "Form1.h"

#include <QLabel>
#include <QRandomGenerator>
#include <QTimer>
#include <QTreeWidget>

void Form1::PlayOrPause() {
    if (IsPlaying()) {
        // Pausing is a stop that keeps the position; Play resumes there.
        AudioStop();
        bUserStopped = true;
        paused_ = true;
        ShowPaused();
        return;
    }
    paused_ = false;
    // A number past the list selects nothing: the loaded song plays on.
    PlaySong(lstFilenames.size() + 1);
    Label11->hide();
}

void Form1::ShowPaused() {
    lstPlayList1->clear();
    Label11->hide();
    if (!IsPlaying() && !IsPlaying())
        FlashPaused();
}

// The pause indicator blinks once: off for half a second, then on. The
// event loop times it rather than a Wait, so that a pause asked over the
// bus is answered at once and nothing runs nested inside the bus call.
void Form1::FlashPaused() {
    Label11->hide();
    QTimer::singleShot(500, Label11, [this] {
        if (!IsPlaying() && bUserStopped && !ConverterShown())
            Label11->show();
    });
}

void Form1::StopSong() {
    lstPlayList1->clear();
    AudioStop();
    AudioRewind();
    bUserStopped = true;
}

void Form1::NextSong() {
    // The next status tick sees a song that ended and runs the next step.
    lstPlayList1->clear();
    AudioStop();
    AudioRewind();
    bUserStopped = false;
}

void Form1::PreviousSong() {
    SetEntry(iCurrentSong, QStringLiteral(" "));
    // The button takes no further presses while it waits.
    SetPreviousEnabled(false);
    AudioStop();
    AudioRewind();
    bUserStopped = true;
    Wait(0.5);
    PreviousStep();
    Wait(1);
    SetPreviousEnabled(true);
}

void Form1::SkipBack() {
    SetEntry(iCurrentSong, QStringLiteral(" "));
    AudioStop();
    AudioRewind();
    bUserStopped = true;
    PreviousStep();
}

void Form1::SetPreviousEnabled(bool enabled) {
    for (QWidget* area : previousAreas_)
        area->setVisible(enabled);
    if (QWidget* lamp = Control(kPreviousLamp))
        lamp->setVisible(!enabled);
}

void Form1::ChooseMode(PlayMode mode) {
    cbShuffle = mode == PlayMode::Shuffle ? 1 : 0;
    cbRepeat = mode == PlayMode::Repeat ? 1 : 0;
    order_.SetMode(mode == PlayMode::Shuffle  ? PlayOrder::Mode::Shuffle
                   : mode == PlayMode::Repeat ? PlayOrder::Mode::Repeat
                                              : PlayOrder::Mode::Standard);
    ApplyReplayGain();
    QueueNext();
    switch (mode) {
    case PlayMode::Standard:
        Label12->setText(QStringLiteral("Standart"));
        break;
    case PlayMode::Shuffle:
        Label12->setText(QStringLiteral("Shuffle"));
        break;
    case PlayMode::Repeat:
        Label12->setText(QStringLiteral("Repeat"));
        break;
    }
}

void Form1::NextStep() {
    // The song queued when this one started, unless the list or the mode
    // changed since.
    const int next = order_.NextAfter(iCurrentSong, lstFilenames.size());
    order_.Forget();
    if (next > 0) {
        PlaySong(next);
    } else {
        // The end of the list (or an empty one).
        bUserStopped = true;
        SelectSong(1, false);
    }
}

void Form1::QueueNext(bool starting) {
    const bool playing = starting || IsPlaying();
    const int next = playing ? order_.NextAfter(iCurrentSong, lstFilenames.size()) : 0;
    const QString path = next > 0 ? lstFilenames.at(next - 1) : QString();
    // A song that cannot be opened is not queued: the run ends before it,
    // and the next step names it and skips it, once, as for any song.
    queuedSong_ = binding_.CallInt(Audiocore1, "SetNextSourceFile", path, -1) == 0 ? next : 0;
}

void Form1::NextSongStarted() {
    SetEntry(iCurrentSong, QStringLiteral(" "));
    order_.Forget();
    if (queuedSong_ >= 1 && queuedSong_ <= lstFilenames.size()) {
        iCurrentSong = qint16(queuedSong_);
        Text5 = TitleOf(lstFilenames.at(queuedSong_ - 1));
    }
    queuedSong_ = 0;
    failedInRow_ = 0;
    lstPlayList1->clear();
    ShowSongInfo(SourceFile());
    ShowPlaying();
    QueueNext();
}

void Form1::PreviousStep() {
    if (cbShuffle == 1)
        ShufflePick();
    else
        PlaySong(iCurrentSong - 1); // at song 1 this plays song 1 again
}

void Form1::ShufflePick() {
    order_.Forget();
    PlaySong(order_.NextAfter(iCurrentSong, lstFilenames.size()));
    order_.Forget();
}

int Form1::RandomSongNumber(int n) {
    // Seeded once from the system; re-seeding from the clock before every
    // draw would repeat the same number within one clock tick.
    const double r = QRandomGenerator::global()->generateDouble();
    return int((n + 1) * r);
}
