#pragma once

#include "ControlEngine.h"
#include "controlkit/ControlError.h"

#include <QString>
#include <QTimer>
#include <QWidget>

namespace controlkit {
class PropertyBag;
}

// The Audiocore control: opens an MPEG audio file, plays it on a worker
// thread through the sound device or converts it to a WAV file, and answers
// questions about the stream. Hosts drive it late-bound by member names;
// the dispatch ids of the members are kept as class info for hosts that
// bind by number. It is invisible while a host runs and shows its icon,
// at a fixed 32 x 32, while it is being designed.
class Audiocore : public QWidget {
    Q_OBJECT
    Q_CLASSINFO("ProgID", "AUDIOCORE.AudiocoreCtrl.1")
    Q_CLASSINFO("TypeName", "Audiocore Control")
    Q_CLASSINFO("DispId.OutputDevID", "1")
    Q_CLASSINFO("DispId.Volume", "2")
    Q_CLASSINFO("DispId.SourceFile", "3")
    Q_CLASSINFO("DispId.IsPlaying", "4")
    Q_CLASSINFO("DispId.GetPosition", "5")
    Q_CLASSINFO("DispId.SetPosition", "6")
    Q_CLASSINFO("DispId.GetFrameCount", "7")
    Q_CLASSINFO("DispId.Play", "8")
    Q_CLASSINFO("DispId.Stop", "9")
    Q_CLASSINFO("DispId.GetLength", "10")
    Q_CLASSINFO("DispId.Copyright", "11")
    Q_CLASSINFO("DispId.GetInfo", "12")
    Q_CLASSINFO("DispId.WriteWAV", "13")
    Q_CLASSINFO("DispId.ReplayGain", "14")
    Q_CLASSINFO("DispId.ReplayGainPreamp", "15")
    Q_CLASSINFO("DispId.AboutBox", "-552")
    Q_CLASSINFO("EventDispId.Finished", "1")
    Q_CLASSINFO("EventDispId.NextSourceStarted", "2")
    Q_PROPERTY(int OutputDevID READ OutputDevID WRITE setOutputDevID)
    Q_PROPERTY(int Volume READ Volume WRITE setVolume)
    Q_PROPERTY(QString SourceFile READ SourceFile WRITE setSourceFile)
    // 0 off, 1 track gain, 2 album gain (falling back to track), 3 automatic
    // (album gain: the control plays songs in the order it is given them).
    // From the next Play and the next song that follows on.
    Q_PROPERTY(int ReplayGain READ ReplayGain WRITE setReplayGain)
    // dB for songs without a gain.
    Q_PROPERTY(double ReplayGainPreamp READ ReplayGainPreamp WRITE setReplayGainPreamp)

public:
    static constexpr int kDefaultVolume = 65535;
    static constexpr int kDefaultOutputDevID = 0;

    explicit Audiocore(QWidget* parent = nullptr);
    // Stops a running worker and frees the job.
    ~Audiocore() override;

    int OutputDevID() const;
    void setOutputDevID(int id);
    int Volume() const;
    // While a run plays, the device's volume follows at once.
    void setVolume(int volume);
    int ReplayGain() const;
    // Values outside 0 ... 3 are refused with the control error "Invalid
    // property value".
    void setReplayGain(int mode);
    double ReplayGainPreamp() const;
    void setReplayGainPreamp(double db);
    QString SourceFile() const { return source_file_; }
    // Opens the file at once, stopping a run that plays. Raises the control
    // error "Open source file error!" when it cannot be opened or holds no
    // frame.
    void setSourceFile(const QString& path);

    Q_INVOKABLE bool IsPlaying() const;
    Q_INVOKABLE int GetPosition() const;
    Q_INVOKABLE int SetPosition(int frame);
    Q_INVOKABLE int GetFrameCount() const;
    Q_INVOKABLE int Play();
    Q_INVOKABLE int Stop();
    Q_INVOKABLE int GetLength() const;
    Q_INVOKABLE bool Copyright() const;
    Q_INVOKABLE QString GetInfo() const;
    // Why the last Play run could not play (no device, a failed seek);
    // empty when it played. Valid from its Finished on.
    Q_INVOKABLE QString LastError() const;
    Q_INVOKABLE int WriteWAV(const QString& filename);
    // The song that follows the open one on the same device, without a gap:
    // 0 when it is queued (an empty path queues nothing), -1 when it cannot
    // be opened. When the listener reaches it, NextSourceStarted is raised
    // and it is the open song: SourceFile and every member describe it.
    Q_INVOKABLE int SetNextSourceFile(const QString& path);
    Q_INVOKABLE QString NextSourceFile() const { return next_file_; }
    Q_INVOKABLE void AboutBox();

    // Persistence in the designed order: Volume, OutputDevID, SourceFile.
    // Loading a non-empty SourceFile opens it.
    void readProperties(controlkit::PropertyBag& bag);
    void writeProperties(controlkit::PropertyBag& bag) const;
    // Properties back to their defaults, then a stop.
    void resetState();

    bool isModified() const { return modified_; }
    void setModified(bool modified) { modified_ = modified; }
    // False while the control lives in a designer.
    bool userMode() const { return user_mode_; }
    void setUserMode(bool running);
    void setVisible(bool visible) override;

    // The control error the member called last raised, for the host to take
    // after each call: its code (0 none) and text.
    Q_INVOKABLE uint ErrorCode() const { return errors_.Pending().code; }
    Q_INVOKABLE QString TakeError() { return QString::fromStdString(errors_.Take().text); }

signals:
    // A Play run has ended: How is 1 when it was stopped, 0 otherwise.
    void Finished(int How);
    // The queued song has begun to sound, within a few hundredths of a
    // second; SourceFile now names it.
    void NextSourceStarted();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void OnRunNotice(audiocore::ControlEngine::RunNumber run, int how);
    void WatchForNext();
    // Raises NextSourceStarted when the engine has gone on to the queued song.
    void FollowAdvance();

    controlkit::ControlErrors errors_;
    QString source_file_;
    QString next_file_;
    // While a run plays, looks for the moment the listener reaches a song
    // that followed on.
    QTimer next_watch_;
    std::uint64_t advances_seen_ = 0;
    bool modified_ = false;
    bool user_mode_ = true;
    // Last member: destroyed first, so the worker has ended before the
    // QObject that receives its notices goes away.
    audiocore::ControlEngine engine_;
};
