#include "Audiocore.h"

#include "AudiocoreErrors.h"
#include "ControlIcon.h"
#include "controlkit/LocalPath.h"
#include "controlkit/PropertyBag.h"

#include <QMessageBox>
#include <QPainter>
#include <qdrawutil.h>

using audiocore::ControlEngine;

namespace {

const QString kVolumeName = QStringLiteral("Volume");
const QString kOutputDevIdName = QStringLiteral("OutputDevID");
const QString kSourceFileName = QStringLiteral("SourceFile");

} // namespace

Audiocore::Audiocore(QWidget* parent)
    : QWidget(parent), engine_([this](ControlEngine::RunNumber run, int how) {
          // Runs on the worker thread: the event is raised on ours.
          QMetaObject::invokeMethod(
              this, [this, run, how] { OnRunNotice(run, how); }, Qt::QueuedConnection);
      }) {
    setFixedSize(32, 32);
    // Well within the quarter second a listener notices a title lag by.
    next_watch_.setInterval(40);
    connect(&next_watch_, &QTimer::timeout, this, [this] {
        engine_.PollAdvance();
        FollowAdvance();
        WatchForNext();
    });
}

Audiocore::~Audiocore() = default;

int Audiocore::OutputDevID() const {
    return engine_.OutputDevID();
}

void Audiocore::setOutputDevID(int id) {
    engine_.SetOutputDevID(id);
    modified_ = true;
}

int Audiocore::Volume() const {
    return engine_.Volume();
}

void Audiocore::setVolume(int volume) {
    engine_.SetVolume(volume);
    modified_ = true;
}

int Audiocore::ReplayGain() const {
    return static_cast<int>(engine_.ReplayGain());
}

void Audiocore::setReplayGain(int mode) {
    if (mode < static_cast<int>(audiocore::ReplayGainMode::Off) ||
        mode > static_cast<int>(audiocore::ReplayGainMode::Automatic)) {
        errors_.Raise(audiocore::kErrorInvalidPropertyValue, audiocore::kInvalidPropertyValue);
        return;
    }
    engine_.SetReplayGain(static_cast<audiocore::ReplayGainMode>(mode));
}

double Audiocore::ReplayGainPreamp() const {
    return engine_.ReplayGainPreamp();
}

void Audiocore::setReplayGainPreamp(double db) {
    engine_.SetReplayGainPreamp(db);
}

void Audiocore::setSourceFile(const QString& path) {
    modified_ = true;
    source_file_ = path;
    next_file_.clear();
    next_watch_.stop();
    if (engine_.OpenSourceFile(controlkit::PathBytes(path).toStdString()) !=
        audiocore::OpenResult::Opened)
        errors_.Raise(audiocore::kErrorFileNotFound, audiocore::kOpenSourceFileError);
}

bool Audiocore::IsPlaying() const {
    return engine_.IsPlaying();
}
int Audiocore::GetPosition() const {
    return engine_.GetPosition();
}
int Audiocore::SetPosition(int frame) {
    return engine_.SetPosition(frame);
}
int Audiocore::GetFrameCount() const {
    return engine_.GetFrameCount();
}
int Audiocore::Play() {
    const int result = engine_.Play();
    WatchForNext();
    return result;
}
int Audiocore::Stop() {
    const int result = engine_.Stop();
    FollowAdvance();
    return result;
}

int Audiocore::SetNextSourceFile(const QString& path) {
    if (engine_.SetNextSourceFile(controlkit::PathBytes(path).toStdString()) !=
        audiocore::OpenResult::Opened) {
        next_file_.clear();
        return -1;
    }
    // A song the run has already gone on into stays queued.
    next_file_ = controlkit::PathFromBytes(QByteArray::fromStdString(engine_.NextSourceFile()));
    WatchForNext();
    return 0;
}

void Audiocore::WatchForNext() {
    if (engine_.IsPlaying())
        next_watch_.start();
    else
        next_watch_.stop();
}

void Audiocore::FollowAdvance() {
    if (engine_.Advances() == advances_seen_)
        return;
    advances_seen_ = engine_.Advances();
    source_file_ = controlkit::PathFromBytes(QByteArray::fromStdString(engine_.SourceFile()));
    next_file_ = controlkit::PathFromBytes(QByteArray::fromStdString(engine_.NextSourceFile()));
    emit NextSourceStarted();
}
int Audiocore::GetLength() const {
    return engine_.GetLength();
}
bool Audiocore::Copyright() const {
    return engine_.Copyright();
}
QString Audiocore::GetInfo() const {
    return QString::fromStdString(engine_.GetInfo());
}

QString Audiocore::LastError() const {
    return QString::fromStdString(engine_.LastRunFailure());
}

int Audiocore::WriteWAV(const QString& filename) {
    return engine_.WriteWAV(controlkit::PathBytes(filename).toStdString());
}

void Audiocore::AboutBox() {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("About Audiocore Control"),
                    QStringLiteral("Audiocore Control, Version 1.9"), QMessageBox::Ok, this);
    box.setIconPixmap(audiocore::ControlIcon());
    box.exec();
}

void Audiocore::readProperties(controlkit::PropertyBag& bag) {
    setVolume(bag.read(kVolumeName, kDefaultVolume).toInt());
    setOutputDevID(bag.read(kOutputDevIdName, kDefaultOutputDevID).toInt());
    const QString source = bag.read(kSourceFileName, QString()).toString();
    if (!source.isEmpty())
        setSourceFile(source);
    else
        source_file_.clear();
}

void Audiocore::writeProperties(controlkit::PropertyBag& bag) const {
    bag.write(kVolumeName, Volume(), kDefaultVolume);
    bag.write(kOutputDevIdName, OutputDevID(), kDefaultOutputDevID);
    bag.write(kSourceFileName, source_file_, QString());
}

void Audiocore::resetState() {
    // The defaults are restored as stored values; the open job stays.
    engine_.SetVolume(kDefaultVolume);
    engine_.SetOutputDevID(kDefaultOutputDevID);
    source_file_.clear();
    Stop();
}

void Audiocore::setUserMode(bool running) {
    user_mode_ = running;
    setVisible(!running);
}

void Audiocore::setVisible(bool visible) {
    QWidget::setVisible(visible && !user_mode_);
}

void Audiocore::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.drawPixmap(0, 0, audiocore::ControlIcon());
    qDrawWinPanel(&painter, rect(), palette(), false);
}

void Audiocore::OnRunNotice(ControlEngine::RunNumber run, int how) {
    if (!engine_.CompleteRun(run))
        return;
    FollowAdvance();
    WatchForNext();
    emit Finished(how);
}
