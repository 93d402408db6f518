// CompoundFile: reads the streams of a compound file, the container of the Office 97-2003
// documents (Word, Excel, PowerPoint): a file of equal sectors, a sector allocation table
// (FAT) that chains them into streams, a directory of named storages and streams, and a
// mini stream of 64-byte sectors for the small streams.
//
// Layout read (all numbers little-endian):
//   header (512 bytes): signature D0 CF 11 E0 A1 B1 1A E1; sector shift at 0x1E (9: 512-byte
//   sectors, 12: 4096), mini sector shift at 0x20 (6); FAT sector count at 0x2C; first
//   directory sector at 0x30; mini stream cutoff at 0x38 (4096); first mini FAT sector at
//   0x3C and its count at 0x40; first DIFAT sector at 0x44 and its count at 0x48; the first
//   109 FAT sector numbers at 0x4C.
//   Sector n lies at (n + 1) << shift. A DIFAT sector holds FAT sector numbers and, in its last
//   slot, the next DIFAT sector.
//   Directory entries are 128 bytes: the name in UTF-16 (its byte length with the final 0 at
//   0x40), the type at 0x42 (1 storage, 2 stream, 5 root), left and right siblings and child
//   at 0x44, 0x48, 0x4C, the first sector at 0x74 and the size at 0x78 (the low 32 bits only
//   for 512-byte sectors). The root entry's sector chain is the mini stream.
//
// The file is untrusted. Every sector number is checked against the file's size, every chain
// ends where it would repeat (a chain longer than the table that holds it is a cycle), the
// directory tree is walked with a visited mark per entry, and a stream is read up to its
// size, the end of its chain or the caller's bound, whichever comes first. Sectors are read
// from the device as needed; only the allocation tables and the directory are held (each
// smaller than the file).
#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>
#include <QtGlobal>

class QIODevice;

class CompoundFile
{
public:
    // Bytes read from one stream at most (a longer stream is cut there).
    static constexpr qint64 kMaxStreamBytes = qint64(256) * 1024 * 1024;

    // True when `head` starts with the compound-file signature.
    static bool hasSignature(const QByteArray& head);

    // Reads the header, tables and directory from a random-access device. False when the
    // device holds no usable compound file.
    bool open(QIODevice* device);

    // The stream at `path` (names joined by "/", compared ignoring case; a leading "/" is
    // optional). False when there is none.
    bool hasStream(const QString& path) const;
    // Reads it into *out (at most maxBytes). False when it is missing or cannot be read
    // whole up to its size (what could be read is still in *out).
    bool readStream(const QString& path, QByteArray* out, qint64 maxBytes = kMaxStreamBytes) const;
    // The names of the entries directly in the storage at `path` ("" for the root).
    QStringList children(const QString& path) const;

private:
    struct Entry
    {
        QString name;
        quint8 type = 0;
        quint32 left = kNoStream, right = kNoStream, child = kNoStream;
        quint32 start = 0;
        quint64 size = 0;
    };
    static constexpr quint32 kNoStream = 0xFFFFFFFFu;

    int find(const QString& path) const;
    QVector<int> childrenOf(int storage) const;
    bool readSector(quint32 sector, char* into) const;
    // The chain from `start` in `table`, at most `maxLength` sectors; false on a bad link.
    bool chain(const QVector<quint32>& table, quint32 start, qint64 maxLength,
               QVector<quint32>* out) const;

    QIODevice* device = nullptr;
    qint64 fileSize = 0;
    int sectorShift = 9;
    int sectorSize = 512;
    int miniShift = 6;
    quint32 miniCutoff = 4096;
    quint32 sectorCount = 0; // sectors that start inside the file
    QVector<quint32> fat;
    QVector<quint32> miniFat;
    QVector<quint32> miniChain; // the sectors of the mini stream, in order
    QVector<Entry> entries;
};
