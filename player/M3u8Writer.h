#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Saves a play list as an M3U8 file: UTF-8, #EXTM3U, one #EXTINF line with
// the title before each song. Songs in the list file's folder or below it
// are written relative to it, so that the folder can move with its list;
// others by their full path. A name that a line cannot carry as it is (bytes
// that are no UTF-8, a line break, spaces at its ends) is written as a
// file:// URL, which keeps every byte.
class M3u8Writer {
public:
    struct Song {
        QString path; // full path
        QString title;
    };

    // The file's bytes for a list saved at `listPath` (a full path).
    static QByteArray Text(const QList<Song>& songs, const QString& listPath);
    // Writes the list, replacing a file of that name only once it is whole.
    // Empty when done; otherwise why not.
    static QString Write(const QList<Song>& songs, const QString& listPath);
};
