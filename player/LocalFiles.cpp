#include "LocalFiles.h"

#include "controlkit/LocalPath.h"

#include <QDir>

#include <algorithm>
#include <dirent.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using controlkit::PathBytes;
using controlkit::PathFromBytes;

namespace {

bool NamedMp3(const QByteArray& name) {
    return name.size() > 4 && name.right(4).toLower() == ".mp3";
}

bool IsFile(const QByteArray& path) {
    struct stat info {};
    return ::stat(path.constData(), &info) == 0 && S_ISREG(info.st_mode);
}

} // namespace

QStringList Mp3FilesIn(const QString& folder) {
    const QByteArray base = PathBytes(folder);
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(base.constData()), ::closedir);
    QStringList names;
    if (!dir)
        return names;
    while (const dirent* entry = ::readdir(dir.get())) {
        const QByteArray name(entry->d_name);
        if (NamedMp3(name) && IsFile(base + '/' + name))
            names.append(PathFromBytes(name));
    }
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int order = a.compare(b, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a < b;
    });
    QStringList paths;
    for (const QString& name : names)
        paths.append(folder.endsWith('/') ? folder + name : folder + '/' + name);
    return paths;
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
