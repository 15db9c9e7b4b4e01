// The keyboard and the mouse wheel: each key and each wheel step runs the
// handler of the click it stands for, so play modes and bUserStopped behave
// as for the click.

#include "Form1.h"

#include <QKeyEvent>
#include <QVariant>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kSeekStepMs = 5000;
// Twenty steps from silence to full volume.
constexpr int kVolumeSteps = 20;

} // namespace

bool Form1::HandleKey(const QKeyEvent& key) {
    const bool control = key.modifiers() & Qt::ControlModifier;
    // The converter is a place where nothing plays: of the player's keys
    // only those that close the window act there.
    if (ConverterShown() && key.key() != Qt::Key_Escape && key.key() != Qt::Key_Q)
        return false;
    switch (key.key()) {
    case Qt::Key_Space:
        PlayOrPause();
        return true;
    case Qt::Key_Left:
        SeekBy(-kSeekStepMs);
        return true;
    case Qt::Key_Right:
        SeekBy(kSeekStepMs);
        return true;
    case Qt::Key_Up:
        StepVolume(1);
        return true;
    case Qt::Key_Down:
        StepVolume(-1);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        PlayListDblClick();
        return true;
    case Qt::Key_Delete:
        RemoveSong();
        return true;
    case Qt::Key_Escape:
        close();
        return true;
    case Qt::Key_O:
        if (control)
            LoadSong();
        return control;
    case Qt::Key_S:
        if (control)
            SaveList();
        return control;
    case Qt::Key_Q:
        if (control)
            close();
        return control;
    default:
        return false;
    }
}

bool Form1::HandleWheel(QObject* watched, const QWheelEvent& wheel) {
    const int steps = wheel.angleDelta().y() / QWheelEvent::DefaultDeltasPerStep;
    if (steps == 0)
        return false;
    if (watched == PBarY1) {
        StepVolume(steps);
        return true;
    }
    if (watched == PBarY2) {
        SeekBy(steps * kSeekStepMs);
        return true;
    }
    return false;
}

void Form1::keyPressEvent(QKeyEvent* event) {
    if (!HandleKey(*event))
        QWidget::keyPressEvent(event);
}

void Form1::StepVolume(int steps) {
    const int low = binding_.Get(PBarY1, "Min").toInt();
    const int high = binding_.Get(PBarY1, "Max").toInt();
    const int step = qMax(1, (high - low) / kVolumeSteps);
    const int value = binding_.Get(PBarY1, "Value").toInt();
    binding_.Set(PBarY1, "Value", qBound(low, value + steps * step, high));
    SetVolumeFromBar();
}

void Form1::SeekBy(int milliseconds) {
    const int frames = AudioInt("GetFrameCount");
    const int length = AudioInt("GetLength");
    if (frames <= 0 || length <= 0)
        return;
    const double frames_per_ms = double(frames) / length;
    const int delta = int(std::lround(milliseconds * frames_per_ms));
    SeekToFrame(AudioInt("GetPosition") + delta);
}

qint64 Form1::PositionUs() const {
    const int frames = AudioInt("GetFrameCount");
    if (frames <= 0)
        return 0;
    return qint64(AudioInt("GetPosition")) * AudioInt("GetLength") * 1000 / frames;
}

void Form1::SeekToUs(qint64 position) {
    const int frames = AudioInt("GetFrameCount");
    const int length = AudioInt("GetLength");
    if (frames <= 0 || length <= 0)
        return;
    SeekToFrame(int(std::clamp<qint64>(position * frames / (qint64(length) * 1000), 0, frames)));
}

double Form1::VolumeLevel() const {
    const int low = binding_.Get(PBarY1, "Min").toInt();
    const int high = binding_.Get(PBarY1, "Max").toInt();
    if (high <= low)
        return 0;
    return double(binding_.Get(PBarY1, "Value").toInt() - low) / (high - low);
}

void Form1::SetVolumeLevel(double level) {
    const int low = binding_.Get(PBarY1, "Min").toInt();
    const int high = binding_.Get(PBarY1, "Max").toInt();
    binding_.Set(PBarY1, "Value",
                 low + int(std::lround(std::clamp(level, 0.0, 1.0) * (high - low))));
    SetVolumeFromBar();
}
