#pragma once

#include "ControlBinding.h"
#include "FolderWalk.h"
#include "MainWindowAreas.h"
#include "PlayOrder.h"
#include "PlayerPaths.h"

#include <QHash>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <initializer_list>
#include <memory>

class QContextMenuEvent;
class QLabel;
class QMenu;
class QLineEdit;
class QUrl;
class QMessageBox;
class QTreeWidget;
class QMouseEvent;
class QKeyEvent;
class QWheelEvent;
class QDragEnterEvent;
class QDropEvent;
class Form2;
namespace songinfo {
class clsMP3Info;
}

// Songwell's main window. Its design (Form1.ui) is loaded at run time, which
// creates the audio, skin, list and bar controls from their plugins; the
// window drives them by member name. The handlers are split by concern:
// Form1.cpp start-up, dragging and shutdown; PlayList.cpp the play list;
// ListFiles.cpp saving it, large folders and the context menu; Transport.cpp
// the transport commands and play modes; StatusTick.cpp the once-a-second
// display.
class Form1 : public QWidget {
    Q_OBJECT

public:
    // What the window asks of its surroundings; tests replace these so that
    // no dialog or message box waits for a person.
    struct Hooks {
        MessageSink showMessage;                                 // default: a message box
        std::function<QString(const QString& title)> openFile;   // "" when cancelled
        std::function<QString(const QString& title)> openFolder; // "" when cancelled
        std::function<QString(const QString& title)> saveList;   // "" when cancelled
        std::function<void(const QString& path, bool playing)> showTagEditor;
        std::function<void()> quit; // the banner's end; default: the application quits
        // The converter's dialogs; "" when cancelled.
        std::function<QString(const QString& title)> openSource;
        std::function<QString(const QString& title)> saveWav;
        std::function<void(const QUrl& url)> openUrl; // default: the desktop's opener
        std::function<void()> beep;                   // default: the system beep
    };

    enum class PlayMode { Standard, Shuffle, Repeat };
    // Which ReplayGain songs play with, for this session: Automatic takes
    // the album gain while the list plays in order (Standard, Repeat) and
    // the track gain in Shuffle. The values are the audio control's.
    enum class ReplayGain { Off = 0, Track = 1, Album = 2, Automatic = 3 };
    // "off", "track", "album", "auto"; false for any other word.
    static bool ParseReplayGain(const QString& word, ReplayGain& mode);

    explicit Form1(const PlayerPaths& paths = {}, Hooks hooks = {}, QWidget* parent = nullptr);
    ~Form1() override;

    // Pauses the calling handler for the given seconds while events go on.
    void Wait(double seconds);
    // Stops the song and ends the program now, without the banner.
    void QuitNow();
    // Files, play list files and folders named on the command line or
    // dropped join the list as a folder load adds songs; a list file adds the
    // songs it names. What a list names but cannot be played from here is
    // told in one message.
    void AppendPaths(const QStringList& paths);

    // Play list. SelectSong answers false when the song's file could not be
    // opened; the user is told only when `tell` (a song somebody asked to
    // play), never for a song merely selected.
    bool SelectSong(int n, bool tell = true);
    void PlaySong(int n);
    bool ShowSongInfo(const QString& path);
    void LoadSong();
    // With `withSubfolders`, every song below the folder, added while the
    // window goes on answering.
    void LoadFolder(bool withSubfolders = false);
    // Saves the list as an M3U8 file where the user chooses.
    void SaveList();
    // The window's context menu: the commands the skin has no key for, and
    // the ReplayGain modes with the current one checked.
    std::unique_ptr<QMenu> ContextMenu();
    void RemoveSong();
    void ClearList();
    void SongInfo();

    // Transport and play modes.
    void PlayOrPause();
    void StopSong();
    void NextSong();
    void PreviousSong();
    void ChooseMode(PlayMode mode);
    // From the next song on; the song that sounds keeps its gain.
    void SetReplayGain(ReplayGain mode);
    ReplayGain ReplayGainSetting() const { return replayGain_; }
    // dB for songs that carry no gain.
    void SetReplayGainPreamp(double db);
    void NextStep();
    // The previous song at once, without the Previous key's pauses: for
    // the desktop's media controls, whose calls must be answered at once.
    void SkipBack();
    // After a run that could not play: says why and ends the sequence.
    bool StopOnRunFailure();
    void PreviousStep();
    static int RandomSongNumber(int n);

    // Status display and the two bars.
    void StatusTick();
    static QString FormatTime(double seconds);
    // The file name of a path without its folder and its last extension.
    static QString TitleOf(const QString& path);

    // Converter view.
    void ShowConverter();
    void ShowPlayer();
    void LoadSource();
    void Convert();
    // "Time: " line of a length in milliseconds.
    static QString TimeCaption(int milliseconds);

    // Button visuals and the help page.
    void ToggleHintLine();
    void OpenHelpPage();
    QString HelpPage() const;

    // The controls of the design, by name.
    QWidget* Control(const char* name) const;

    // What the desktop's media controls read and ask: the loaded song, the
    // time heard and the volume bar's level (0 to 1), through the same
    // handlers as the keys and the bars.
    struct SongFacts {
        QString path;
        QString title;
        QString artist;
        QString album;
        qint64 length_us = 0;
    };
    SongFacts LoadedSong() const;
    // The loaded song's path alone, without reading its tags.
    QString LoadedPath() const { return SourceFile(); }
    bool Playing() const { return IsPlaying(); }
    // Paused by the user, even where the pause came before the first frame
    // was heard and the position is still the song's start.
    bool Paused() const { return paused_ && !IsPlaying(); }
    // The converter view shows: nothing plays there.
    bool InConverter() const { return ConverterShown(); }
    qint64 PositionUs() const;
    void SeekToUs(qint64 position);
    double VolumeLevel() const;
    void SetVolumeLevel(double level);

    // Window state, named as the player's design names it.
    qint16 iCurrentSong = 0;
    bool bUserStopped = true;
    qint16 iDragCount = 0;
    QStringList lstFilenames; // full paths, parallel to CustomListBox1
    int cbShuffle = 0;
    int cbRepeat = 0;
    QString Text4; // "Now:" line of the loaded song
    QString Text5; // title of the selected song
    QString Text1; // full path of the converter's source
    QTimer Timer1; // the status tick
    QTimer Timer2; // ends a Wait

public slots:
    void PlayListDblClick();
    // The song queued to follow has begun to sound.
    void NextSongStarted();
    void SetVolumeFromBar();
    void SeekReleased(int Button, int Shift, float X, float Y);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Keys and wheel steps, as the clicks they stand for.
    bool HandleKey(const QKeyEvent& key);
    bool HandleWheel(QObject* watched, const QWheelEvent& wheel);
    void StepVolume(int steps);
    void SeekBy(int milliseconds);
    // The seek of the seek bar: to `frame`, kept inside the song.
    void SeekToFrame(int frame);

    void LoadDesign(const PlayerPaths& paths);
    void BindControls();
    void Form_Load();
    void Form_Unload();
    bool Form_Mouse(QEvent* event);
    void PassPointer(QMouseEvent* event);
    bool HintedAt(QPoint point) const;
    void BindCommand(const ClickArea& area);
    std::function<void()> CommandHandler(Command command);
    void OnClick(const char* name, std::function<void()> handler);
    void OnMouseDown(const char* name, std::function<void()> handler);
    void ShowMessage(const QString& caption, const QString& text);

    // Converter internals.
    bool ConverterShown() const;
    void SetPlayerControlsVisible(bool visible);
    void SetConverterControlsVisible(bool visible);
    void ShadeUnusable(bool shaded);
    void ShowProgress(const QString& text);
    QString ConversionFailure(const QString& target, int result) const;

    // Button visuals internals.
    void BindVisuals();
    void OnHint(QWidget* control, const QString& hint);
    void OnPress(const char* name, std::function<void(bool down)> handler);
    void SetUnderline(const char* line, bool pressed);

    void AddReplayGainMenu(QMenu& menu);

    // Play list internals.
    // Appends songs and queues the song to follow once for all of them.
    void AppendSongs(const QStringList& paths);
    void AddToList(const QStringList& paths);
    void QueueAfterAppend(int countBefore);
    void AddFolderTree(const QString& folder, bool selectFirst);
    void FolderSongsFound(const QStringList& paths);
    void FolderWalkFinished();
    void TellSkipped(const QStringList& skipped, const QStringList& unreadable);
    void PlayFromList(int index);
    void SetEntry(int song, const QString& prefix);

    // Transport internals.
    void ShowPaused();
    void FlashPaused();
    void ShufflePick();
    void SetPreviousEnabled(bool enabled);
    // Tells the audio control the gain songs play with: the setting, with
    // Automatic resolved by the play mode.
    void ApplyReplayGain();
    // Tells the audio control which song follows the one that plays, by
    // the play mode, so that it follows without a gap; none while nothing
    // plays. `starting` when the song is about to start.
    void QueueNext(bool starting = false);

    // Status internals.
    void ShowNowPlaying();
    void ShowPlayingEntry();
    void UpdatePlayLamps(bool playing);
    void ShowPlaying();
    void ShowStopped(const QString& status);

    // The audio control's members used everywhere.
    bool IsPlaying() const;
    int AudioInt(const char* method) const;
    void AudioStop();
    void AudioRewind();
    QString SourceFile() const;

    Hooks hooks_;
    ControlBinding binding_;
    QString skinDir_;
    QWidget* form_ = nullptr;
    QWidget* Audiocore1 = nullptr;
    QWidget* AdvWin1 = nullptr;
    QWidget* CustomListBox1 = nullptr;
    QWidget* PBarY1 = nullptr;
    QWidget* PBarY2 = nullptr;
    QTreeWidget* lstPlayList1 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Label11 = nullptr;
    QLabel* Label12 = nullptr;
    QLabel* Label13 = nullptr;
    QLabel* Label14 = nullptr;
    QLabel* Label16 = nullptr;
    QLabel* Label20 = nullptr;
    QLineEdit* Text2 = nullptr;
    QLineEdit* Text3 = nullptr;
    QList<QWidget*> previousAreas_; // Image19 to Image24
    ReplayGain replayGain_ = ReplayGain::Automatic;
    QHash<QObject*, std::function<void()>> clicks_;
    QHash<QObject*, std::function<void()>> mouseDowns_;
    QHash<QObject*, QString> hints_;
    QList<QPointer<QWidget>> hiddenForConverter_; // player controls to show again
    QList<QPointer<QWidget>> shades_;             // over what the converter cannot use
    bool converting_ = false;
    // The modifiers of the click being handled (Shift on the folder key).
    Qt::KeyboardModifiers clickModifiers_;
    FolderWalk walk_;
    int walkCountBefore_ = 0; // the list's length when the running walk began
    bool walkSelectsFirst_ = false;
    QHash<QObject*, QList<std::function<void(bool down)>>> presses_;
    std::unique_ptr<songinfo::clsMP3Info> oSongInfo;
    // Songs that failed to open one after another in a playing sequence: once
    // every song failed, the sequence stops instead of trying forever.
    int failedInRow_ = 0;
    PlayOrder order_{&Form1::RandomSongNumber};
    // The list's number of the song queued to follow; 0 for none.
    int queuedSong_ = 0;
    // The song selected last could not be opened and nobody was told yet.
    bool untoldFailure_ = false;
    // The last transport command was a pause; a rewind, a new song or Play
    // ends it.
    bool paused_ = false;
    // The song the list was last scrolled to as it began to play (0: none
    // since the last stop), so that the user may scroll away while it plays.
    int shownPlaying_ = 0;
    bool loaded_ = false;
    bool unloading_ = false;
    QPointer<QMessageBox> messageBox_;
    QPointer<Form2> banner_;
};
