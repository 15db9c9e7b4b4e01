#include "LocalFiles.h"

#include "controlkit/LocalPath.h"

#include <QDir>

#include <algorithm>
#include <dirent.h>
#include <memory>
#include <set>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

using controlkit::PathBytes;
using controlkit::PathFromBytes;

namespace {

bool NamedMp3(const QByteArray& name) {
    return name.size() > 4 && name.right(4).toLower() == ".mp3";
}

// By name regardless of case; names equal but for case by their code.
void SortByName(QStringList& names) {
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int order = a.compare(b, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a < b;
    });
}

QString Joined(const QString& folder, const QString& name) {
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

// The songs and the subfolders of one folder, each by name.
struct Listing {
    QStringList songs;
    QStringList folders;
};

Listing List(const QString& folder, bool withFolders) {
    const QByteArray base = PathBytes(folder);
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(base.constData()), ::closedir);
    Listing listing;
    if (!dir)
        return listing;
    while (const dirent* entry = ::readdir(dir.get())) {
        const QByteArray name(entry->d_name);
        const bool song = NamedMp3(name);
        if (name == "." || name == ".." || (!song && !withFolders))
            continue;
        struct stat info {};
        if (::stat((base + '/' + name).constData(), &info) != 0)
            continue;
        if (S_ISREG(info.st_mode) && song)
            listing.songs.append(PathFromBytes(name));
        else if (withFolders && S_ISDIR(info.st_mode))
            listing.folders.append(PathFromBytes(name));
    }
    SortByName(listing.songs);
    SortByName(listing.folders);
    return listing;
}

// (device, inode) of a folder, so that a link back up the tree is walked once.
using FolderId = std::pair<dev_t, ino_t>;

void Walk(const QString& folder, std::set<FolderId>& seen, const std::atomic_bool& cancel,
          QStringList& paths) {
    struct stat info {};
    if (cancel || ::stat(PathBytes(folder).constData(), &info) != 0 ||
        !seen.insert({info.st_dev, info.st_ino}).second)
        return;
    const Listing listing = List(folder, true);
    for (const QString& name : listing.songs)
        paths.append(Joined(folder, name));
    for (const QString& name : listing.folders)
        Walk(Joined(folder, name), seen, cancel, paths);
}

} // namespace

QStringList Mp3FilesIn(const QString& folder) {
    QStringList paths;
    for (const QString& name : List(folder, false).songs)
        paths.append(Joined(folder, name));
    return paths;
}

QStringList Mp3FilesUnder(const QString& folder, const std::atomic_bool& cancel) {
    std::set<FolderId> seen;
    QStringList paths;
    Walk(folder, seen, cancel, paths);
    return paths;
}

bool IsFile(const QString& path) {
    struct stat info {};
    return ::stat(PathBytes(path).constData(), &info) == 0 && S_ISREG(info.st_mode);
}

bool IsFolder(const QString& path) {
    struct stat info {};
    return ::stat(PathBytes(path).constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

QString AbsolutePath(const QString& path) {
    if (path.startsWith('/'))
        return QDir::cleanPath(path);
    char* here = ::getcwd(nullptr, 0);
    const QString folder = here ? PathFromBytes(QByteArray(here)) : QString();
    std::free(here);
    return QDir::cleanPath(folder + '/' + path);
}

QString PathOfUrl(const QUrl& url) {
    if (!url.isLocalFile())
        return QString();
    // The encoded path still holds the name's bytes as %XX.
    return PathFromBytes(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
}

QStringList PathArguments(int argc, char** argv, int first) {
    QStringList arguments;
    for (int i = first; i < argc; ++i)
        arguments.append(PathFromBytes(QByteArray(argv[i])));
    return arguments;
}
