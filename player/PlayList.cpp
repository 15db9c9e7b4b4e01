// The play list: loading songs and folders, removing and clearing them,
// selecting and starting a song, and the song's description row.

#include "Form1.h"

#include "LocalFiles.h"
#include "OneLineText.h"
#include "PlayListFile.h"
#include "ShownText.h"
#include "clsMP3Info.h"
#include "controlkit/LocalPath.h"

#include <QTreeWidget>

#include <system_error>

namespace {

const QString kNotPlaying = QStringLiteral(" ");

QString FileNameOf(const QString& path) {
    return path.mid(path.lastIndexOf('/') + 1);
}

// A tag field as a list row shows it: up to its NUL padding, on one line.
QString TagText(const std::string& field) {
    return OneLineText(QString::fromStdString(songinfo::FieldText(field)));
}

std::string LocalPath(const QString& path) {
    return controlkit::PathBytes(path).toStdString();
}

} // namespace

QString Form1::TitleOf(const QString& path) {
    const QString name = FileNameOf(path);
    // A name without a period (only typed by hand) is its own title.
    const int period = name.lastIndexOf('.');
    return OneLineText(period < 0 ? name : name.left(period));
}

bool Form1::SelectSong(int n, bool tell) {
    // Song numbers below 1 never name a song: nothing to select.
    if (n > lstFilenames.size() || n < 1)
        return true;
    iCurrentSong = qint16(n);
    paused_ = false;
    const QString path = lstFilenames.at(n - 1);
    const bool opened = tell ? binding_.Set(Audiocore1, "SourceFile", path, path)
                             : binding_.SetQuietly(Audiocore1, "SourceFile", path);
    untoldFailure_ = !opened && !tell;
    lstPlayList1->clear();
    Text5 = TitleOf(path);
    return opened;
}

void Form1::PlaySong(int n) {
    // Playing "the loaded song" that could not be loaded: try it again, and
    // this time say why it fails.
    if (n > lstFilenames.size() && untoldFailure_)
        n = iCurrentSong;
    if (!SelectSong(n < 1 ? 1 : n)) {
        // The user was told why; the song is skipped, so a playing sequence
        // goes on with the next one, unless every song of the list failed.
        ++failedInRow_;
        bUserStopped = failedInRow_ >= lstFilenames.size();
        return;
    }
    const QString loaded = SourceFile();
    if (lstFilenames.isEmpty() || loaded.isEmpty())
        return;
    ShowSongInfo(loaded);
    // Queued before the run starts: a song shorter than what the device
    // holds ahead is decoded to its end at once.
    QueueNext(true);
    if (binding_.CallInt(Audiocore1, "Play") != 0) {
        ++failedInRow_;
        bUserStopped = failedInRow_ >= lstFilenames.size();
        QueueNext();
        return;
    }
    failedInRow_ = 0;
    bUserStopped = false;
}

bool Form1::ShowSongInfo(const QString& path) {
    const QString type = path.right(3).toLower();
    QString title;
    QString artist;
    if (type == "mp3") {
        if (!oSongInfo)
            oSongInfo = std::make_unique<songinfo::clsMP3Info>();
        try {
            oSongInfo->SetFilename(LocalPath(path));
            title = TagText(oSongInfo->Title());
            artist = TagText(oSongInfo->Artist());
        } catch (const std::system_error&) {
            // An unreadable file still gets its row, titled by its name.
        }
        if (title.isEmpty())
            title = OneLineText(FileNameOf(path).chopped(qMin(4, FileNameOf(path).size())));
    } else if (type == "mid" || type == "wav") {
        title = path.chopped(4);
        artist = QStringLiteral("Unknown");
    } else {
        return false;
    }
    const int number = lstPlayList1->topLevelItemCount() + 1;
    lstPlayList1->addTopLevelItem(
        new QTreeWidgetItem(QStringList{QString::number(number), title, artist}));
    return true;
}

Form1::SongFacts Form1::LoadedSong() const {
    SongFacts song;
    song.path = SourceFile();
    if (song.path.isEmpty())
        return song;
    song.length_us = qint64(AudioInt("GetLength")) * 1000;
    songinfo::clsMP3Info info;
    try {
        info.SetFilename(LocalPath(song.path));
        song.title = TagText(info.Title());
        song.artist = TagText(info.Artist());
        song.album = TagText(info.Album());
    } catch (const std::system_error&) {
        // An unreadable file is still the song that plays, titled by its name.
    }
    if (song.title.isEmpty())
        song.title = TitleOf(song.path);
    return song;
}

void Form1::AppendSongs(const QStringList& paths) {
    const int before = int(lstFilenames.size());
    AddToList(paths);
    QueueAfterAppend(before);
}

void Form1::AddToList(const QStringList& paths) {
    lstFilenames.reserve(lstFilenames.size() + paths.size());
    for (const QString& path : paths) {
        lstFilenames.append(path);
        binding_.Call(CustomListBox1, "AddItem", Q_ARG(QString, kNotPlaying + TitleOf(path)),
                      Q_ARG(int, -1));
    }
}

void Form1::QueueAfterAppend(int countBefore) {
    // The song after the one that plays may be among the new ones now; one
    // call for a whole batch, however long.
    const bool after = countBefore <= iCurrentSong && lstFilenames.size() > iCurrentSong;
    if (after || order_.CurrentMode() == PlayOrder::Mode::Shuffle)
        QueueNext();
}

void Form1::AppendPaths(const QStringList& paths) {
    QStringList songs;
    QStringList skipped;
    QStringList unreadable;
    for (const QString& path : paths) {
        const QString full = AbsolutePath(path);
        if (IsFolder(full)) {
            songs += Mp3FilesIn(full);
        } else if (PlayListFile::IsPlayList(full)) {
            const PlayListFile::Contents list = PlayListFile::Read(full);
            if (!list.readable)
                unreadable.append(full);
            songs += list.songs;
            skipped += list.skipped;
        } else {
            songs.append(full);
        }
    }
    AppendSongs(songs);
    TellSkipped(skipped, unreadable);
}

void Form1::LoadSong() {
    // After Clear a file is still loaded: the new song becomes song 1 and is
    // loaded at once, though not played.
    const bool first = lstFilenames.isEmpty() && !SourceFile().isEmpty();
    const QString path = hooks_.openFile(first ? QStringLiteral("Select MP3 file.")
                                               : QStringLiteral("Select MP3 file"));
    if (path.isEmpty())
        return;
    if (PlayListFile::IsPlayList(path))
        AppendPaths({path});
    else
        AppendSongs({path});
    if (first)
        SelectSong(1, false);
}

void Form1::LoadFolder(bool withSubfolders) {
    const bool first = lstFilenames.isEmpty() && !SourceFile().isEmpty();
    const QString folder = hooks_.openFolder(first ? QStringLiteral("Select folder.")
                                                   : QStringLiteral("Select folder"));
    if (folder.isEmpty())
        return;
    if (withSubfolders) {
        AddFolderTree(folder, first);
        return;
    }
    AppendSongs(Mp3FilesIn(folder));
    if (first)
        SelectSong(1, false);
}

void Form1::SetEntry(int song, const QString& prefix) {
    binding_.Call(CustomListBox1, "SetItemText", Q_ARG(int, song - 1),
                  Q_ARG(QString, prefix + Text5));
}

void Form1::RemoveSong() {
    const int sel = binding_.CallInt(CustomListBox1, "Listindex");
    if (sel < 0 || sel > binding_.CallInt(CustomListBox1, "LCount", 0) - 1)
        return;
    if (!lstFilenames.isEmpty()) {
        SetEntry(iCurrentSong, kNotPlaying);
        lstPlayList1->clear();
        AudioStop();
        AudioRewind();
        bUserStopped = true;
        if (sel < lstFilenames.size())
            lstFilenames.removeAt(sel);
        binding_.Call(CustomListBox1, "RemoveItem", Q_ARG(int, sel));
        SelectSong(1, false);
    }
    if (lstFilenames.isEmpty())
        ClearList();
}

void Form1::ClearList() {
    // Songs of a folder still being added would fill the list again.
    walk_.Cancel();
    if (binding_.CallInt(CustomListBox1, "LCount", 0) < 1 || lstFilenames.isEmpty())
        return;
    AudioStop();
    AudioRewind();
    bUserStopped = true;
    lstPlayList1->clear();
    lstFilenames.clear();
    binding_.Call(CustomListBox1, "Clear");
}

void Form1::PlayListDblClick() {
    const int count = binding_.CallInt(CustomListBox1, "LCount", 0);
    const int index = binding_.CallInt(CustomListBox1, "Listindex");
    if (count >= 1 && index >= 0 && index <= count - 1)
        PlayFromList(index);
}

void Form1::PlayFromList(int index) {
    // Set before the pause, so that a status tick meanwhile does not start
    // another song.
    const bool wasPlaying = IsPlaying();
    if (wasPlaying)
        AudioStop();
    bUserStopped = true;
    lstPlayList1->clear();
    Wait(wasPlaying ? 1.0 : 0.5);
    PlaySong(index + 1);
}

void Form1::SongInfo() {
    const int sel = binding_.CallInt(CustomListBox1, "Listindex");
    if (sel < 0 || sel > binding_.CallInt(CustomListBox1, "LCount", 0) - 1 ||
        sel >= lstFilenames.size())
        return;
    const QString path = lstFilenames.at(sel);
    // The loaded file is open for playing: its tag is shown, not written.
    hooks_.showTagEditor(path, path == SourceFile());
}
