#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QStringList>
#include <QTimer>
#include <QVariantMap>

class Form1;

// The player on the session bus as an MPRIS 2 media player, so that media
// keys, the desktop's sound menu and playerctl can see and drive it. Every
// method runs the handler of the window's own key or bar. Without a session
// bus it does nothing.
class MprisService : public QObject {
    Q_OBJECT

public:
    explicit MprisService(Form1& window);
    ~MprisService() override;

    Form1& Window() const { return window_; }
    bool Registered() const { return registered_; }
    // What the Player interface's Metadata holds for the loaded song.
    QVariantMap Metadata() const;
    // The loaded song's length in microseconds; 0 without one.
    qlonglong LengthUs() const;
    QString PlaybackStatus() const;
    QString LoopStatus() const;
    // The player's properties that the bus is told of when they change.
    QVariantMap Told() const;
    QDBusObjectPath TrackId() const;
    // Tells the bus what changed since it was last told.
    void NotifyChanges();

signals:
    void Seeked(qlonglong position);

private:
    static void ListenToCommandSignals(QDBusConnection& bus, QObject* player);

    Form1& window_;
    bool registered_ = false;
    QString service_;
    QTimer watch_;
    QVariantMap told_;
    // The loaded song's metadata, read from its tags once per song rather
    // than on every look of the watch.
    mutable QString metadata_key_;
    mutable QVariantMap metadata_;
};

// org.mpris.MediaPlayer2: the player as an application.
class MprisRoot : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
    Q_PROPERTY(bool CanQuit READ CanQuit)
    Q_PROPERTY(bool CanRaise READ CanRaise)
    Q_PROPERTY(bool HasTrackList READ HasTrackList)
    Q_PROPERTY(QString Identity READ Identity)
    Q_PROPERTY(QString DesktopEntry READ DesktopEntry)
    Q_PROPERTY(QStringList SupportedUriSchemes READ SupportedUriSchemes)
    Q_PROPERTY(QStringList SupportedMimeTypes READ SupportedMimeTypes)

public:
    explicit MprisRoot(MprisService& service);
    bool CanQuit() const { return true; }
    bool CanRaise() const { return true; }
    bool HasTrackList() const { return false; }
    QString Identity() const { return QStringLiteral("Songwell"); }
    QString DesktopEntry() const { return QStringLiteral("songwell"); }
    QStringList SupportedUriSchemes() const { return {}; }
    QStringList SupportedMimeTypes() const { return {}; }

public slots:
    void Raise();
    void Quit();

private:
    MprisService& service_;
};

// org.mpris.MediaPlayer2.Player: the transport, the song and the volume.
class MprisPlayer : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ PlaybackStatus)
    Q_PROPERTY(double Rate READ Rate WRITE SetRate)
    Q_PROPERTY(QVariantMap Metadata READ Metadata)
    Q_PROPERTY(double Volume READ Volume WRITE SetVolume)
    Q_PROPERTY(QString LoopStatus READ LoopStatus WRITE SetLoopStatus)
    Q_PROPERTY(bool Shuffle READ Shuffle WRITE SetShuffle)
    Q_PROPERTY(qlonglong Position READ Position)
    Q_PROPERTY(double MinimumRate READ Rate)
    Q_PROPERTY(double MaximumRate READ Rate)
    Q_PROPERTY(bool CanGoNext READ CanPlay)
    Q_PROPERTY(bool CanGoPrevious READ CanPlay)
    Q_PROPERTY(bool CanPlay READ CanPlay)
    Q_PROPERTY(bool CanPause READ CanPlay)
    Q_PROPERTY(bool CanSeek READ CanSeek)
    Q_PROPERTY(bool CanControl READ CanControl)

public:
    explicit MprisPlayer(MprisService& service);
    QString PlaybackStatus() const { return service_.PlaybackStatus(); }
    double Rate() const { return 1.0; }
    void SetRate(double) {}
    QVariantMap Metadata() const { return service_.Metadata(); }
    double Volume() const;
    void SetVolume(double volume);
    // The play mode: Repeat is a looping play list, Shuffle shuffles.
    QString LoopStatus() const { return service_.LoopStatus(); }
    void SetLoopStatus(const QString& status);
    bool Shuffle() const;
    void SetShuffle(bool shuffle);
    qlonglong Position() const;
    bool CanPlay() const;
    bool CanSeek() const;
    bool CanControl() const { return true; }

public slots:
    void PlayPause();
    void Play();
    void Pause();
    void Stop();
    void Next();
    void Previous();
    void Seek(qlonglong offset);
    void SetPosition(const QDBusObjectPath& track, qlonglong position);
    void OpenUri(const QString&) {}

signals:
    void Seeked(qlonglong Position);

private:
    // Runs a window handler, then tells the bus what it changed. Every
    // handler returns at once: the bus is answered at once, and the player
    // is in the state asked for when it is.
    template <typename Handler> void Run(Handler handler);
    // The same for the transport, which does nothing in the converter.
    template <typename Handler> void RunTransport(Handler handler);
    void HoldStart(Form1& w);
    MprisService& service_;
};
