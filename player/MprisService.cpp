#include "MprisService.h"

#include "Form1.h"
#include "controlkit/LocalPath.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDateTime>
#include <QFileInfo>

namespace {

const QString kObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString kServiceName = QStringLiteral("org.mpris.MediaPlayer2.songwell");

// Changes made by the window itself (a click, the end of a song) reach the
// bus within this time.
constexpr int kWatchMs = 100;

// The song's file as a URL, every byte of its name kept: a name that is not
// UTF-8 is percent-encoded byte for byte, as file URLs carry such names.
QString FileUrl(const QString& path) {
    return QString::fromLatin1("file://" + controlkit::PathBytes(path).toPercentEncoding("/"));
}

} // namespace

MprisService::MprisService(Form1& window) : window_(window) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    new MprisRoot(*this);
    auto* player = new MprisPlayer(*this);
    if (!bus.registerObject(kObjectPath, this))
        return;
    ListenToCommandSignals(bus, player);
    // A second player takes a name of its own, as the protocol allows.
    service_ = kServiceName;
    if (!bus.registerService(service_)) {
        service_ = kServiceName + ".instance" + QString::number(QCoreApplication::applicationPid());
        if (!bus.registerService(service_)) {
            bus.unregisterObject(kObjectPath);
            return;
        }
    }
    registered_ = true;
    told_ = Told();
    connect(&watch_, &QTimer::timeout, this, &MprisService::NotifyChanges);
    watch_.start(kWatchMs);
}

// dbus-send without --print-reply sends a signal, not a method call, and
// that is how window-manager key bindings and many scripts send the
// transport commands: they are taken as the calls they name.
void MprisService::ListenToCommandSignals(QDBusConnection& bus, QObject* player) {
    static const char* const kCommands[][2] = {
        {"PlayPause", SLOT(PlayPause())}, {"Play", SLOT(Play())}, {"Pause", SLOT(Pause())},
        {"Stop", SLOT(Stop())},           {"Next", SLOT(Next())}, {"Previous", SLOT(Previous())},
        {"Seek", SLOT(Seek(qlonglong))},
    };
    for (const auto& command : kCommands)
        bus.connect(QString(), kObjectPath, kPlayerInterface, QLatin1String(command[0]), player,
                    command[1]);
}

MprisService::~MprisService() {
    if (!registered_)
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterService(service_);
    bus.unregisterObject(kObjectPath);
}

QDBusObjectPath MprisService::TrackId() const {
    // The list's number of the loaded song names it while it stays loaded.
    return QDBusObjectPath(QStringLiteral("/org/mpris/MediaPlayer2/songwell/track/%1")
                               .arg(qMax(0, int(window_.iCurrentSong))));
}

QVariantMap MprisService::Metadata() const {
    // The song, its number in the list (the track id) and the file's time,
    // which a Save in the tag editor moves.
    const QString path = window_.LoadedPath();
    const QString key = path + '\n' + QString::number(window_.iCurrentSong) + '\n' +
                        QFileInfo(path).lastModified().toString(Qt::ISODateWithMs);
    if (key == metadata_key_ && !metadata_.isEmpty())
        return metadata_;
    metadata_key_ = key;
    const Form1::SongFacts song = window_.LoadedSong();
    if (song.path.isEmpty()) {
        metadata_ = {{"mpris:trackid", QVariant::fromValue(QDBusObjectPath(
                                           "/org/mpris/MediaPlayer2/TrackList/NoTrack"))}};
        return metadata_;
    }
    metadata_ = {{"mpris:trackid", QVariant::fromValue(TrackId())},
                 {"mpris:length", song.length_us},
                 {"xesam:title", song.title},
                 {"xesam:url", FileUrl(song.path)}};
    if (!song.artist.isEmpty())
        metadata_.insert("xesam:artist", QStringList{song.artist});
    if (!song.album.isEmpty())
        metadata_.insert("xesam:album", song.album);
    return metadata_;
}

qlonglong MprisService::LengthUs() const {
    return Metadata().value("mpris:length").toLongLong();
}

QString MprisService::PlaybackStatus() const {
    // The converter's song is no song of the player's.
    if (window_.InConverter())
        return QStringLiteral("Stopped");
    if (window_.Playing())
        return QStringLiteral("Playing");
    // A pause keeps the position; a stop goes back to the start, and a
    // stopped song moved on from there waits paused.
    return window_.Paused() || window_.PositionUs() > 0 ? QStringLiteral("Paused")
                                                        : QStringLiteral("Stopped");
}

QString MprisService::LoopStatus() const {
    return window_.cbRepeat == 1 ? QStringLiteral("Playlist") : QStringLiteral("None");
}

QVariantMap MprisService::Told() const {
    return {{"PlaybackStatus", PlaybackStatus()},
            {"Metadata", Metadata()},
            {"Volume", window_.VolumeLevel()},
            {"LoopStatus", LoopStatus()},
            {"Shuffle", window_.cbShuffle == 1}};
}

void MprisService::NotifyChanges() {
    if (!registered_)
        return;
    const QVariantMap now = Told();
    QVariantMap changed;
    for (auto it = now.begin(); it != now.end(); ++it)
        if (told_.value(it.key()) != it.value())
            changed.insert(it.key(), it.value());
    if (changed.isEmpty())
        return;
    told_ = now;
    QDBusMessage signal =
        QDBusMessage::createSignal(kObjectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                   QStringLiteral("PropertiesChanged"));
    signal << kPlayerInterface << changed << QStringList();
    QDBusConnection::sessionBus().send(signal);
}

MprisRoot::MprisRoot(MprisService& service) : QDBusAbstractAdaptor(&service), service_(service) {}

void MprisRoot::Raise() {
    Form1& window = service_.Window();
    window.show();
    window.raise();
    window.activateWindow();
}

void MprisRoot::Quit() {
    // As Ctrl+Q: the window closes with its banner, which ends the program.
    service_.Window().close();
}

MprisPlayer::MprisPlayer(MprisService& service)
    : QDBusAbstractAdaptor(&service), service_(service) {
    connect(&service, &MprisService::Seeked, this, &MprisPlayer::Seeked);
}

template <typename Handler> void MprisPlayer::Run(Handler handler) {
    handler(service_.Window());
    service_.NotifyChanges();
}

double MprisPlayer::Volume() const {
    return service_.Window().VolumeLevel();
}

void MprisPlayer::SetVolume(double volume) {
    Run([volume](Form1& w) { w.SetVolumeLevel(volume); });
}

qlonglong MprisPlayer::Position() const {
    return service_.Window().PositionUs();
}

bool MprisPlayer::CanPlay() const {
    return !service_.Window().lstFilenames.isEmpty() && !service_.Window().InConverter();
}

bool MprisPlayer::CanSeek() const {
    return service_.LengthUs() > 0 && !service_.Window().InConverter();
}

void MprisPlayer::SetLoopStatus(const QString& status) {
    // A single song's loop is the list's: a one-song list repeats it.
    const bool repeat = status == QLatin1String("Playlist") || status == QLatin1String("Track");
    Run([repeat](Form1& w) {
        if (repeat)
            w.ChooseMode(Form1::PlayMode::Repeat);
        else if (w.cbRepeat == 1)
            w.ChooseMode(Form1::PlayMode::Standard);
    });
}

bool MprisPlayer::Shuffle() const {
    return service_.Window().cbShuffle == 1;
}

void MprisPlayer::SetShuffle(bool shuffle) {
    Run([shuffle](Form1& w) {
        if (shuffle)
            w.ChooseMode(Form1::PlayMode::Shuffle);
        else if (w.cbShuffle == 1)
            w.ChooseMode(Form1::PlayMode::Standard);
    });
}

template <typename Handler> void MprisPlayer::RunTransport(Handler handler) {
    // The converter is a place where nothing plays.
    if (!service_.Window().InConverter())
        Run(handler);
}

// A pause or a stop asked before the first song has started keeps it from
// starting by itself.
void MprisPlayer::HoldStart(Form1& w) {
    w.bUserStopped = true;
    if (w.iCurrentSong == 0 && !w.lstFilenames.isEmpty())
        w.SelectSong(1, false);
}

void MprisPlayer::PlayPause() {
    RunTransport([this](Form1& w) {
        if (!w.Playing() && w.iCurrentSong == 0)
            HoldStart(w);
        w.PlayOrPause();
    });
}

void MprisPlayer::Play() {
    RunTransport([](Form1& w) {
        if (!w.Playing())
            w.PlayOrPause();
    });
}

void MprisPlayer::Pause() {
    RunTransport([this](Form1& w) {
        if (w.Playing())
            w.PlayOrPause();
        else
            HoldStart(w);
    });
}

void MprisPlayer::Stop() {
    RunTransport([this](Form1& w) {
        w.StopSong();
        HoldStart(w);
    });
}

void MprisPlayer::Next() {
    // The window's Next leaves the change to its next tick; the bus is
    // answered with the next song playing.
    RunTransport([](Form1& w) {
        w.NextSong();
        w.StatusTick();
    });
}

void MprisPlayer::Previous() {
    RunTransport([](Form1& w) { w.SkipBack(); });
}

void MprisPlayer::Seek(qlonglong offset) {
    RunTransport([offset](Form1& w) { w.SeekToUs(w.PositionUs() + offset); });
    emit service_.Seeked(service_.Window().PositionUs());
}

void MprisPlayer::SetPosition(const QDBusObjectPath& track, qlonglong position) {
    // A position for a song that is no longer loaded is ignored.
    if (track != service_.TrackId() || position < 0)
        return;
    RunTransport([position](Form1& w) { w.SeekToUs(position); });
    emit service_.Seeked(position);
}
