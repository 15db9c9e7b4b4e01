#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace controlkit {

// File names on Linux are bytes, mostly but not always UTF-8. Qt's own
// conversion turns bytes that are no UTF-8 into U+FFFD, after which the file
// cannot be named again. These two keep every byte: a byte that is not part
// of a UTF-8 sequence becomes the lone low surrogate U+DC00 + byte (never
// valid UTF-8 itself, so nothing else maps there) and turns back into the
// byte. Hosts and controls pass such paths as QStrings by value.

// The byte length of the UTF-8 sequence that `lead` starts; 0 when no
// sequence starts with it.
inline int Utf8SequenceLength(unsigned char lead) {
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

inline QString PathFromBytes(const QByteArray& bytes) {
    QString path;
    path.reserve(bytes.size());
    for (qsizetype at = 0; at < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[at]);
        const int length = Utf8SequenceLength(lead);
        const QByteArrayView sequence(bytes.constData() + at,
                                      qMin<qsizetype>(length, bytes.size() - at));
        if (length > 0 && sequence.size() == length && sequence.isValidUtf8()) {
            path += QString::fromUtf8(sequence);
            at += length;
        } else {
            path += QChar(char16_t(0xDC00 + lead));
            ++at;
        }
    }
    return path;
}

inline QByteArray PathBytes(const QString& path) {
    QByteArray bytes;
    bytes.reserve(path.size());
    for (qsizetype at = 0; at < path.size(); ++at) {
        const QChar unit = path[at];
        if (unit.isHighSurrogate() && at + 1 < path.size() && path[at + 1].isLowSurrogate()) {
            bytes += QStringView(path).mid(at, 2).toUtf8();
            ++at;
        } else if (unit.unicode() >= 0xDC80 && unit.unicode() <= 0xDCFF) {
            bytes += char(unit.unicode() - 0xDC00);
        } else {
            bytes += QStringView(&unit, 1).toUtf8();
        }
    }
    return bytes;
}

} // namespace controlkit
