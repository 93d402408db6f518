// A writer of small compound files (the container of Office 97-2003 documents) for the tests
// and fuzz harnesses of the readers: up to three streams in the root storage, 512-byte
// sectors, one FAT sector (so the streams hold about 60 KB together). Header-only.
#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QVector>
#include <QtEndian>

namespace cfbgen {

inline void put16(QByteArray& b, int at, quint16 v)
{
    qToLittleEndian<quint16>(v, b.data() + at);
}

inline void put32(QByteArray& b, int at, quint32 v)
{
    qToLittleEndian<quint32>(v, b.data() + at);
}

// A compound file (512-byte sectors) holding `streams` in its root storage: sector 0 the FAT,
// 1 the directory, 2 the mini FAT, then the mini stream's sectors, then each large stream's.
// Directory entries: 0 root, then the streams in order (each the right sibling of the one
// before). Streams below 4096 bytes live in the mini stream.
struct Cfb
{
    QByteArray bytes;
    QVector<int> firstSector;   // per stream: its first sector (large) or mini sector (small)
    QVector<bool> small;

    static constexpr quint32 kEnd = 0xFFFFFFFEu, kFree = 0xFFFFFFFFu, kFat = 0xFFFFFFFDu;

    int fatEntryOffset(int sector) const { return 512 + 4 * sector; }
    int directoryEntryOffset(int entry) const { return 2 * 512 + 128 * entry; }

    explicit Cfb(const QList<QPair<QString, QByteArray>>& streams)
    {
        QByteArray mini;
        QVector<quint32> miniFat;
        QVector<quint32> fat{kFat, kEnd, kEnd};
        QList<QByteArray> bigSectors;
        for (const auto& s : streams) {
            const bool isSmall = s.second.size() < 4096;
            small << isSmall;
            if (isSmall) {
                const int first = miniFat.size();
                firstSector << first;
                const int count = qMax(1, (s.second.size() + 63) / 64);
                for (int k = 0; k < count; ++k)
                    miniFat << (k + 1 < count ? quint32(first + k + 1) : kEnd);
                QByteArray padded = s.second;
                padded.resize(count * 64);
                mini += padded;
            } else {
                firstSector << -1; // set below
            }
        }
        const int miniSectors = (mini.size() + 511) / 512;
        const int miniStart = 3;
        for (int k = 0; k < miniSectors; ++k)
            fat << (k + 1 < miniSectors ? quint32(miniStart + k + 1) : kEnd);
        int next = miniStart + miniSectors;
        for (int i = 0; i < streams.size(); ++i) {
            if (small[i])
                continue;
            const QByteArray& data = streams[i].second;
            const int count = (data.size() + 511) / 512;
            firstSector[i] = next;
            for (int k = 0; k < count; ++k) {
                fat << (k + 1 < count ? quint32(next + k + 1) : kEnd);
                QByteArray sector = data.mid(k * 512, 512);
                sector.resize(512);
                bigSectors << sector;
            }
            next += count;
        }
        if (fat.size() > 128 || streams.size() > 3)
            return; // more than one FAT sector or directory sector holds: no file

        QByteArray header(512, '\0');
        header.replace(0, 8, QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8));
        put16(header, 0x18, 0x3E);
        put16(header, 0x1A, 3);
        put16(header, 0x1C, 0xFFFE);
        put16(header, 0x1E, 9);
        put16(header, 0x20, 6);
        put32(header, 0x2C, 1);
        put32(header, 0x30, 1);
        put32(header, 0x38, 4096);
        put32(header, 0x3C, 2);
        put32(header, 0x40, 1);
        put32(header, 0x44, kEnd);
        put32(header, 0x48, 0);
        for (int i = 0; i < 109; ++i)
            put32(header, 0x4C + 4 * i, i == 0 ? 0 : kFree);

        QByteArray fatSector(512, '\xFF');
        for (int i = 0; i < fat.size(); ++i)
            put32(fatSector, 4 * i, fat[i]);
        QByteArray dir(512, '\0');
        auto entry = [&](int index, const QString& name, quint8 type, quint32 child, quint32 right,
                         quint32 start, quint32 size) {
            const int at = 128 * index;
            for (int k = 0; k < name.size(); ++k)
                put16(dir, at + 2 * k, name.at(k).unicode());
            put16(dir, at + 0x40, quint16(2 * (name.size() + 1)));
            dir[at + 0x42] = char(type);
            put32(dir, at + 0x44, kFree);
            put32(dir, at + 0x48, right);
            put32(dir, at + 0x4C, child);
            put32(dir, at + 0x74, start);
            put32(dir, at + 0x78, size);
        };
        entry(0, QStringLiteral("Root Entry"), 5, streams.isEmpty() ? kFree : 1, kFree,
              miniSectors ? quint32(miniStart) : kEnd, quint32(mini.size()));
        for (int i = 0; i < streams.size(); ++i)
            entry(i + 1, streams[i].first, 2, kFree, i + 1 < streams.size() ? quint32(i + 2) : kFree,
                  quint32(firstSector[i]), quint32(streams[i].second.size()));
        for (int i = streams.size() + 1; i < 4; ++i) {
            put32(dir, 128 * i + 0x44, kFree);
            put32(dir, 128 * i + 0x48, kFree);
            put32(dir, 128 * i + 0x4C, kFree);
        }
        QByteArray miniFatSector(512, '\xFF');
        for (int i = 0; i < miniFat.size(); ++i)
            put32(miniFatSector, 4 * i, miniFat[i]);
        mini.resize(miniSectors * 512);
        bytes = header + fatSector + dir + miniFatSector + mini;
        for (const QByteArray& s : bigSectors)
            bytes += s;
    }
};

} // namespace cfbgen
