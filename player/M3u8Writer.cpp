#include "M3u8Writer.h"

#include "controlkit/LocalPath.h"

#include <QSaveFile>

namespace {

bool WrittenAsItIs(const QByteArray& bytes) {
    return QByteArrayView(bytes).isValidUtf8() && !bytes.contains('\n') && !bytes.contains('\r') &&
           bytes == bytes.trimmed();
}

QByteArray Entry(const QString& path, const QString& listFolder) {
    const QByteArray bytes = controlkit::PathBytes(path);
    if (!WrittenAsItIs(bytes))
        return "file://" + bytes.toPercentEncoding("/");
    const QString prefix = listFolder.endsWith('/') ? listFolder : listFolder + '/';
    if (!path.startsWith(prefix))
        return bytes;
    const QByteArray relative = bytes.mid(controlkit::PathBytes(prefix).size());
    // A relative name must not read as a comment.
    if (relative.startsWith('#'))
        return "./" + relative;
    return relative;
}

} // namespace

QByteArray M3u8Writer::Text(const QList<Song>& songs, const QString& listPath) {
    const QString folder = listPath.left(qMax(0, int(listPath.lastIndexOf('/'))));
    QByteArray text = "#EXTM3U\n";
    for (const Song& song : songs) {
        // The length is not known without reading every song: -1 says so.
        QString title = song.title;
        title.replace('\n', ' ').replace('\r', ' ');
        text += "#EXTINF:-1," + title.toUtf8() + '\n';
        text += Entry(song.path, folder) + '\n';
    }
    return text;
}

QString M3u8Writer::Write(const QList<Song>& songs, const QString& listPath) {
    QSaveFile file(listPath);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    const QByteArray text = Text(songs, listPath);
    if (file.write(text) != text.size() || !file.commit())
        return file.errorString();
    return {};
}
