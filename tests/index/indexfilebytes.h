// Bytes of index files for the index tests: big-endian fields, one record, the header.
#pragma once

#include "search/index/NTFSUtils.h"

#include <QByteArray>
#include <QString>
#include <QtEndian>

template <class T>
QByteArray be(T v)
{
    char b[sizeof(T)];
    qToBigEndian(v, b);
    return QByteArray(b, sizeof(T));
}
inline QByteArray be64(qint64 v) { return be(v); }
inline QByteArray be32(qint32 v) { return be(v); }

// One record; `length` other than -2 replaces the name's own length in the length field.
inline QByteArray recordBytes(qint64 parent, qint64 frn, const QByteArray& name, bool isDir, qint32 length = -2)
{
    return be64(parent) + be64(frn) + be32(length == -2 ? name.size() : length) + name + QByteArray(1, isDir ? 1 : 0);
}

// Version, journal id, next USN and record count.
inline QByteArray headerBytes(JournalID id, USN next, qint32 count, const QString& version = QStringLiteral("1.0"))
{
    QByteArray out = be32(version.size() * 2);
    for (const QChar c : version) {
        out.append(char(c.unicode() >> 8));
        out.append(char(c.unicode() & 0xff));
    }
    return out + be64(qint64(id)) + be64(next) + be32(count);
}
