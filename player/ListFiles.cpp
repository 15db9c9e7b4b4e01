// Play list files and large folders: saving the list, the message about
// entries of a list that cannot be played, adding a folder with all its
// subfolders, and the context menu that offers both.

#include "Form1.h"

#include "M3u8Writer.h"
#include "OneLineText.h"

#include <QContextMenuEvent>
#include <QMenu>

namespace {

// Names shown in the message about skipped entries; the rest are counted.
constexpr int kNamesShown = 12;

} // namespace

void Form1::SaveList() {
    const QString path = hooks_.saveList(QStringLiteral("Save play list"));
    if (path.isEmpty())
        return;
    QList<M3u8Writer::Song> songs;
    songs.reserve(lstFilenames.size());
    for (const QString& song : lstFilenames)
        songs.append({song, TitleOf(song)});
    const QString error = M3u8Writer::Write(songs, path);
    if (!error.isEmpty())
        ShowMessage(QStringLiteral("Songwell"),
                    QStringLiteral("The play list cannot be saved: %1").arg(error));
}

void Form1::TellSkipped(const QStringList& skipped, const QStringList& unreadable) {
    if (skipped.isEmpty() && unreadable.isEmpty())
        return;
    QStringList lines;
    for (const QString& list : unreadable)
        lines.append(QStringLiteral("The play list %1 cannot be read.").arg(OneLineText(list)));
    if (!skipped.isEmpty()) {
        lines.append(skipped.size() == 1
                         ? QStringLiteral("1 entry of the play list names no song here:")
                         : QStringLiteral("%1 entries of the play list name no song here:")
                               .arg(skipped.size()));
        for (const QString& entry : skipped.mid(0, kNamesShown))
            lines.append(OneLineText(entry));
        if (skipped.size() > kNamesShown)
            lines.append(QStringLiteral("and %1 more").arg(skipped.size() - kNamesShown));
    }
    ShowMessage(QStringLiteral("Songwell"), lines.join('\n'));
}

void Form1::AddFolderTree(const QString& folder, bool selectFirst) {
    if (!walk_.Running())
        walkCountBefore_ = int(lstFilenames.size());
    walkSelectsFirst_ = walkSelectsFirst_ || selectFirst;
    walk_.Start(folder);
}

void Form1::FolderSongsFound(const QStringList& paths) {
    AddToList(paths);
    if (walkSelectsFirst_) {
        walkSelectsFirst_ = false;
        SelectSong(1, false);
    }
}

void Form1::FolderWalkFinished() {
    QueueAfterAppend(walkCountBefore_);
    walkCountBefore_ = int(lstFilenames.size());
}

std::unique_ptr<QMenu> Form1::ContextMenu() {
    auto menu = std::make_unique<QMenu>(this);
    menu->addAction(QStringLiteral("Add folder with subfolders…"), this,
                    [this] { LoadFolder(true); });
    menu->addAction(QStringLiteral("Save play list…"), QKeySequence::Save, this,
                    [this] { SaveList(); });
    AddReplayGainMenu(*menu);
    return menu;
}

void Form1::contextMenuEvent(QContextMenuEvent* event) {
    ContextMenu()->exec(event->globalPos());
}
