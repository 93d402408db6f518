// Bytes of index files for the index tests: big-endian fields, one record, the header.
#pragma once

#include "search/index/NTFSUtils.h"

#include <QByteArray>
#include <QString>
#include <QVector>
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

// An index file of version 2.0, laid out by hand from its records (names placed one after
// another in block 0, as the writer places them in a small index), with its checksums; the
// fields can be spoiled afterwards with format2Resum() putting the sums right again.
struct Format2
{
    struct Record
    {
        quint64 frn;
        quint64 parent;
        QByteArray name;
    };
    JournalID journalId = 0;
    USN nextUsn = 0;
    bool inStep = true;
    quint32 serial = 0;
    quint64 fileSystemId = 0;
    quint64 rootInode = 0;
    QVector<Record> folders, files, further;

    static quint64 mix(quint64 z)
    {
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
        return z ^ (z >> 31);
    }
    static quint64 sum(const QByteArray& section)
    {
        quint64 s = 0;
        for (int i = 0; i + 8 <= section.size(); i += 8)
            s += mix(qFromLittleEndian<quint64>(section.constData() + i) ^ (quint64(i / 8) * 0x9E3779B97F4A7C15ull));
        return s;
    }
    template <class T>
    static QByteArray le(T v)
    {
        char b[sizeof(T)];
        qToLittleEndian(v, b);
        return QByteArray(b, sizeof(T));
    }
    // Replaces the little-endian field at `at`.
    template <class T>
    static void put(QByteArray& b, int at, T v)
    {
        b.replace(at, int(sizeof(T)), le(v));
    }
    static QByteArray padded(QByteArray b)
    {
        while (b.size() % 8)
            b.append('\0');
        return b;
    }

    // The sections, in file order: block table, folders, files, further names, names.
    QVector<QByteArray> sections() const
    {
        QByteArray names(1, '\0'); // reference 0 is no name
        auto records = [&](const QVector<Record>& list) {
            QByteArray out;
            for (const Record& r : list) {
                out += le(r.frn) + le(r.parent) + le(quint32(names.size()));
                names += char(qMin(r.name.size(), 255)) + r.name + QByteArray(1, '\0');
            }
            return padded(out);
        };
        const QByteArray f = records(folders), g = records(files), h = records(further);
        const QByteArray table = le(quint32(names.size())) + le(quint32(0));
        return {table, f, g, h, padded(names)};
    }

    // The header for `sections`, checksums included.
    QByteArray header(const QVector<QByteArray>& s, quint32 nameBytes) const
    {
        QByteArray h = headerBytes(journalId, nextUsn, folders.size() + files.size(), QStringLiteral("2.0"));
        h += QByteArray(2, '\0') + le(quint32(0x58495154)) + le(quint32(160)) + le(serial)
            + le(quint32(inStep ? 1 : 0)) + le(fileSystemId) + le(rootInode) + le(quint64(folders.size()))
            + le(quint64(files.size())) + le(quint64(further.size())) + le(quint64(1)) + le(quint64(nameBytes));
        for (const QByteArray& section : s)
            h += le(sum(section));
        h += le(quint64(0));
        return h + le(sum(h));
    }

    QByteArray bytes() const
    {
        const QVector<QByteArray> s = sections();
        const quint32 nameBytes = qFromLittleEndian<quint32>(s[0].constData());
        return header(s, nameBytes) + s[0] + s[1] + s[2] + s[3] + s[4];
    }
};

// Recomputes the checksums of a 2.0 file whose bytes were changed on purpose (one name block).
inline QByteArray format2Resum(QByteArray file)
{
    QVector<int> bounds;
    const quint64 blocks = qFromLittleEndian<quint64>(file.constData() + 88);
    const quint64 counts[3] = {qFromLittleEndian<quint64>(file.constData() + 64),
                               qFromLittleEndian<quint64>(file.constData() + 72),
                               qFromLittleEndian<quint64>(file.constData() + 80)};
    int at = 160;
    bounds << at;
    at += int(8 * blocks);
    bounds << at;
    for (quint64 c : counts) {
        at += int((20 * c + 7) / 8 * 8);
        bounds << at;
    }
    bounds << file.size();
    for (int s = 0; s < 5; ++s) {
        Format2::put(file, 104 + 8 * s, Format2::sum(file.mid(bounds[s], bounds[s + 1] - bounds[s])));
    }
    Format2::put(file, 152, Format2::sum(file.left(152)));
    return file;
}
