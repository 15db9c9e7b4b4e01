#pragma once

#include "FrmID3Areas.h"

#include <QDialog>
#include <QHash>
#include <QString>

class QLabel;
class QLineEdit;

namespace songinfo {

// The tag editor: a frameless modal window showing one file's song facts,
// which Save writes back into the file's ID3v1 tag. Its design is FrmID3.ui;
// the skin control in it (an AdvWin from the Skinform plugin) drags the window.
//
// The host sets Filename, calls ShowPlayingNotice when the player has that
// file open, and shows the window with exec(); Load runs when it is shown.
class FrmID3 : public QDialog {
    Q_OBJECT

public:
    // pluginDir holds the Skinform plugin; empty means the one installed or
    // built beside the program.
    explicit FrmID3(QWidget* parent = nullptr, const QString& pluginDir = QString());

    QString Filename() const { return filename_; }
    void SetFilename(const QString& sData) { filename_ = sData; }

    // Offers only Cancel, with the notice that the file is playing.
    void ShowPlayingNotice();

    // The folder the Skinform plugin is looked for in when none is given.
    static QString DefaultPluginDir();

public slots:
    // Writes the boxes into the file's tag and closes; on failure says why
    // and stays open with the edits.
    void Save();
    void Cancel();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Load();
    void OfferCancelOnly();
    void Run(EditorCommand command);
    bool HandleFormMouse(QEvent* event);
    bool IsSkinButtonClick(QObject* watched, QEvent* event) const;
    void PassPointer(const QPointF& position);

    template <typename T> T* Control(const char* name) const;

    QString filename_;
    qint16 drag_moves = 0;
    bool loaded_ = false;

    QWidget* form_ = nullptr;
    QWidget* skin_ = nullptr; // the AdvWin
    QLineEdit* txtFilename = nullptr;
    QLineEdit* Text1 = nullptr;
    QLineEdit* txtSong = nullptr;
    QLineEdit* txtArtist = nullptr;
    QLineEdit* txtAlbum = nullptr;
    QLineEdit* txtYear = nullptr;
    QLineEdit* txtGenre = nullptr;
    QLineEdit* txtComments = nullptr;
    QLabel* Label11 = nullptr;
    QHash<QObject*, EditorCommand> areas_; // the click areas, from FrmID3Areas
};

} // namespace songinfo
