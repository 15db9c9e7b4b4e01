#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// A play list file as other players and download stores write it: M3U and
// M3U8 (with or without #EXTM3U and #EXTINF), PLS and XSPF. Reading turns
// its entries into the paths of the songs that are here, in the list's
// order; what cannot be played from here (a URL of another kind, a file that
// is missing) is kept aside by the text the list gives for it, so that the
// user can be told. Paths keep every byte of their names (see
// controlkit/LocalPath.h).
class PlayListFile {
public:
    enum class Format { None, M3u, Pls, Xspf };

    struct Contents {
        QStringList songs;   // full paths, in the list's order
        QStringList skipped; // entries that name no song here, as written
        bool readable = true;
    };

    // The format a file's name ends in (in any case); None for a song.
    static Format FormatOf(const QString& path);
    static bool IsPlayList(const QString& path) { return FormatOf(path) != Format::None; }

    // Reads the list file at `path` (a full path).
    static Contents Read(const QString& path);

    // The entries of a list's bytes: relative paths are taken from `folder`,
    // the list's own folder. `utf8` says that the list is UTF-8 whatever its
    // bytes (an .m3u8); otherwise a list that has no byte order mark and is no
    // valid UTF-8 is read as Latin-1.
    static Contents Parse(const QByteArray& bytes, Format format, const QString& folder, bool utf8);
};
