#include "PlayListFile.h"

#include "LocalFiles.h"
#include "controlkit/LocalPath.h"

#include <QDir>
#include <QMap>
#include <QXmlStreamReader>

#include <fstream>

using controlkit::PathBytes;
using controlkit::PathFromBytes;

namespace {

// Far beyond any list of songs; a larger file is no play list and is not
// taken into memory.
constexpr qint64 kLargestList = 64 << 20;

const QByteArray kUtf8Mark("\xEF\xBB\xBF");

// How an entry's text is to be read.
enum class Text {
    Utf8,   // the bytes are the name
    Latin1, // the list is Latin-1: the name is on disk in these bytes or in UTF-8
    Uri,    // a URI: %XX escapes stand for the name's bytes
};

QList<QByteArray> Lines(const QByteArray& bytes) {
    QList<QByteArray> lines;
    for (QByteArray line : bytes.split('\n')) {
        // CRLF and lone CR line ends alike.
        for (const QByteArray& part : line.split('\r')) {
            const QByteArray trimmed = part.trimmed();
            if (!trimmed.isEmpty())
                lines.append(trimmed);
        }
    }
    return lines;
}

// "scheme://" of a URL; empty for a path. Only names with "://" count as
// URLs, so that a Windows drive letter or a colon in a name stays a path.
QByteArray SchemeOf(const QByteArray& entry) {
    const qsizetype colon = entry.indexOf("://");
    if (colon < 2)
        return {};
    for (qsizetype i = 0; i < colon; ++i) {
        const char c = entry[i];
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        const bool other = (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
        if (!letter && !(other && i > 0))
            return {};
    }
    return entry.left(colon).toLower();
}

// The bytes of the local path a file URL names; empty for a file on another
// host.
QByteArray FileUrlPath(const QByteArray& url) {
    const QByteArray rest = url.mid(int(sizeof("file://")) - 1);
    const qsizetype slash = rest.indexOf('/');
    if (slash < 0)
        return {};
    const QByteArray host = rest.left(slash).toLower();
    if (!host.isEmpty() && host != "localhost")
        return {};
    return QByteArray::fromPercentEncoding(rest.mid(slash));
}

// The names an entry may stand for, most likely first.
QStringList Candidates(const QByteArray& entry, Text text) {
    QStringList names{PathFromBytes(entry)};
    if (text == Text::Latin1)
        names.append(QString::fromLatin1(entry));
    // A list written on Windows separates folders by backslashes.
    const int count = int(names.size());
    for (int i = 0; i < count; ++i)
        if (names[i].contains('\\') && !names[i].contains('/'))
            names.append(QString(names[i]).replace('\\', '/'));
    return names;
}

QString Joined(const QString& folder, const QString& name) {
    return QDir::cleanPath(name.startsWith('/') ? name : folder + '/' + name);
}

// Adds the song an entry names to `contents`, or the entry to its skipped
// ones.
void Take(const QByteArray& written, Text text, const QString& folder,
          PlayListFile::Contents& contents) {
    const QByteArray scheme = SchemeOf(written);
    QByteArray entry = written;
    if (scheme == "file") {
        entry = FileUrlPath(written);
        text = Text::Utf8;
    } else if (!scheme.isEmpty()) {
        entry.clear();
    } else if (text == Text::Uri) {
        entry = QByteArray::fromPercentEncoding(written);
        text = Text::Utf8;
    }
    if (!entry.isEmpty()) {
        for (const QString& name : Candidates(entry, text)) {
            const QString path = Joined(folder, name);
            if (IsFile(path)) {
                contents.songs.append(path);
                return;
            }
        }
    }
    contents.skipped.append(text == Text::Latin1 ? QString::fromLatin1(written)
                                                 : PathFromBytes(written));
}

// The text kind of an M3U or PLS body, without its byte order mark.
Text TextOf(QByteArray& bytes, bool utf8) {
    if (bytes.startsWith(kUtf8Mark)) {
        bytes.remove(0, kUtf8Mark.size());
        return Text::Utf8;
    }
    return utf8 || QByteArrayView(bytes).isValidUtf8() ? Text::Utf8 : Text::Latin1;
}

void ParseM3u(QByteArray bytes, const QString& folder, bool utf8,
              PlayListFile::Contents& contents) {
    const Text text = TextOf(bytes, utf8);
    // #EXTM3U, #EXTINF and any other comment: the titles shown are the
    // songs' own.
    for (const QByteArray& line : Lines(bytes))
        if (!line.startsWith('#'))
            Take(line, text, folder, contents);
}

void ParsePls(QByteArray bytes, const QString& folder, bool utf8,
              PlayListFile::Contents& contents) {
    const Text text = TextOf(bytes, utf8);
    // "FileN=" entries play in the order of N, wherever they stand.
    QMultiMap<qint64, QByteArray> entries;
    for (const QByteArray& line : Lines(bytes)) {
        const qsizetype equals = line.indexOf('=');
        if (equals < 5 || !line.left(4).toLower().startsWith("file"))
            continue;
        bool number = false;
        const qint64 n = line.mid(4, equals - 4).toLongLong(&number);
        if (number)
            entries.insert(n, line.mid(equals + 1).trimmed());
    }
    for (const QByteArray& entry : entries)
        if (!entry.isEmpty())
            Take(entry, text, folder, contents);
}

void ParseXspf(const QByteArray& bytes, const QString& folder, PlayListFile::Contents& contents) {
    QXmlStreamReader xml(bytes);
    bool inTrack = false;
    bool located = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("track")) {
            inTrack = true;
            located = false;
        } else if (xml.isEndElement() && xml.name() == QLatin1String("track")) {
            inTrack = false;
        } else if (inTrack && !located && xml.isStartElement() &&
                   xml.name() == QLatin1String("location")) {
            // A track may name several places of one song: the first serves.
            located = true;
            const QByteArray uri = xml.readElementText().trimmed().toUtf8();
            if (!uri.isEmpty())
                Take(uri, Text::Uri, folder, contents);
        }
    }
    // A broken document still gives the songs listed before the fault.
    if (xml.hasError() && contents.songs.isEmpty() && contents.skipped.isEmpty())
        contents.readable = false;
}

} // namespace

PlayListFile::Format PlayListFile::FormatOf(const QString& path) {
    const QString name = path.mid(path.lastIndexOf('/') + 1).toLower();
    if (name.endsWith(".m3u") || name.endsWith(".m3u8"))
        return Format::M3u;
    if (name.endsWith(".pls"))
        return Format::Pls;
    if (name.endsWith(".xspf"))
        return Format::Xspf;
    return Format::None;
}

PlayListFile::Contents PlayListFile::Read(const QString& path) {
    Contents contents;
    std::ifstream file(PathBytes(path).toStdString(), std::ios::binary | std::ios::ate);
    const std::streamoff size = file ? std::streamoff(file.tellg()) : -1;
    if (size < 0 || size > kLargestList || IsFolder(path)) {
        contents.readable = false;
        return contents;
    }
    QByteArray bytes(qsizetype(size), Qt::Uninitialized);
    file.seekg(0);
    if (!file.read(bytes.data(), size)) {
        contents.readable = false;
        return contents;
    }
    const QString folder = path.left(qMax(0, int(path.lastIndexOf('/'))));
    return Parse(bytes, FormatOf(path), folder.isEmpty() ? QStringLiteral("/") : folder,
                 path.toLower().endsWith(".m3u8"));
}

PlayListFile::Contents PlayListFile::Parse(const QByteArray& bytes, Format format,
                                           const QString& folder, bool utf8) {
    Contents contents;
    switch (format) {
    case Format::M3u:
        ParseM3u(bytes, folder, utf8, contents);
        break;
    case Format::Pls:
        ParsePls(bytes, folder, utf8, contents);
        break;
    case Format::Xspf:
        ParseXspf(bytes, folder, contents);
        break;
    case Format::None:
        contents.readable = false;
        break;
    }
    return contents;
}
