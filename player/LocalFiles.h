#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <atomic>

// Paths as the player keeps them: QStrings that hold every byte of a file
// name, also one that is no UTF-8 (see controlkit/LocalPath.h). Qt's own
// file classes would drop such names or turn them into other names, so what
// the play list needs of the file system is asked here, by the bytes.

// The files of `folder` named "*.mp3" (in any case), by name regardless of
// case, as full paths.
QStringList Mp3FilesIn(const QString& folder);

// The "*.mp3" files of `folder` and of all its subfolders: each folder's own
// songs by name, then its subfolders by name, each walked whole. A folder
// reached twice through links is walked once. Safe on any thread; stops
// early, with what it found so far, once `cancel` is set.
QStringList Mp3FilesUnder(const QString& folder, const std::atomic_bool& cancel);

// A plain file (or a link to one).
bool IsFile(const QString& path);

bool IsFolder(const QString& path);

// The path from the root: a relative one is taken from the working folder.
QString AbsolutePath(const QString& path);

// The local file a dropped URL names; empty for any other URL.
QString PathOfUrl(const QUrl& url);

// The program's arguments from the first on, names kept whole.
QStringList PathArguments(int argc, char** argv, int first);
