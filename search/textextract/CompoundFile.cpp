#include "search/textextract/CompoundFile.h"

#include <QIODevice>
#include <QStringList>
#include <QtEndian>

#include <cstring>

namespace {

constexpr quint32 kEndOfChain = 0xFFFFFFFEu;
constexpr quint32 kFreeSector = 0xFFFFFFFFu;
constexpr quint32 kMaxRegularSector = 0xFFFFFFFAu;
const char kSignature[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";

quint32 le32(const char* p)
{
    return qFromLittleEndian<quint32>(reinterpret_cast<const uchar*>(p));
}

quint16 le16(const char* p)
{
    return qFromLittleEndian<quint16>(reinterpret_cast<const uchar*>(p));
}

} // namespace

bool CompoundFile::hasSignature(const QByteArray& head)
{
    return head.size() >= 8 && std::memcmp(head.constData(), kSignature, 8) == 0;
}

bool CompoundFile::readSector(quint32 sector, char* into) const
{
    if (sector >= sectorCount)
        return false;
    const qint64 at = (qint64(sector) + 1) << sectorShift;
    if (!device->seek(at))
        return false;
    const qint64 got = device->read(into, sectorSize);
    if (got <= 0)
        return false;
    if (got < sectorSize) // a last sector cut short by the writer: the rest reads as zeros
        std::memset(into + got, 0, size_t(sectorSize - got));
    return true;
}

bool CompoundFile::chain(const QVector<quint32>& table, quint32 start, qint64 maxLength,
                         QVector<quint32>* out) const
{
    out->clear();
    quint32 s = start;
    // A chain never holds more sectors than its table has entries: one that does repeats.
    while (s != kEndOfChain && out->size() < maxLength) {
        if (s >= quint32(table.size()) || out->size() >= table.size())
            return false;
        out->append(s);
        s = table.at(int(s));
    }
    return true;
}

bool CompoundFile::open(QIODevice* dev)
{
    device = dev;
    fat.clear();
    miniFat.clear();
    miniChain.clear();
    entries.clear();
    if (!device || device->isSequential() || !device->seek(0))
        return false;
    fileSize = device->size();
    const QByteArray header = device->read(512);
    if (header.size() < 512 || !hasSignature(header))
        return false;
    const char* h = header.constData();
    sectorShift = le16(h + 0x1E);
    miniShift = le16(h + 0x20);
    if ((sectorShift != 9 && sectorShift != 12) || miniShift != 6)
        return false;
    sectorSize = 1 << sectorShift;
    miniCutoff = le32(h + 0x38);
    if (miniCutoff == 0 || miniCutoff > 0x10000)
        miniCutoff = 4096;
    const qint64 sectors = (fileSize - 1) / sectorSize; // the header takes one sector's place
    if (sectors <= 0)
        return false;
    sectorCount = quint32(qMin<qint64>(sectors, kMaxRegularSector));
    const int perSector = sectorSize / 4;

    // The FAT's own sectors: 109 in the header, the rest in the DIFAT chain.
    QVector<quint32> fatSectors;
    const quint32 fatCount = le32(h + 0x2C);
    auto addFatSector = [&](quint32 s) {
        if (s < sectorCount && quint32(fatSectors.size()) < fatCount)
            fatSectors.append(s);
    };
    for (int i = 0; i < 109; ++i)
        addFatSector(le32(h + 0x4C + 4 * i));
    QByteArray buffer(sectorSize, '\0');
    quint32 difat = le32(h + 0x44);
    for (quint32 steps = 0; difat < sectorCount && quint32(fatSectors.size()) < fatCount; ++steps) {
        if (steps >= sectorCount || !readSector(difat, buffer.data()))
            break; // a DIFAT chain that repeats or leaves the file ends here
        for (int i = 0; i < perSector - 1; ++i)
            addFatSector(le32(buffer.constData() + 4 * i));
        difat = le32(buffer.constData() + 4 * (perSector - 1));
    }
    if (fatSectors.isEmpty())
        return false;
    fat.reserve(fatSectors.size() * perSector);
    for (quint32 s : fatSectors) {
        if (!readSector(s, buffer.data()))
            break;
        for (int i = 0; i < perSector; ++i)
            fat.append(le32(buffer.constData() + 4 * i));
    }
    // Entries past the file's sectors can never be followed.
    if (quint32(fat.size()) > sectorCount)
        fat.resize(int(sectorCount));

    // The directory.
    QVector<quint32> dirSectors;
    if (!chain(fat, le32(h + 0x30), fat.size(), &dirSectors) && dirSectors.isEmpty())
        return false;
    for (quint32 s : dirSectors) {
        if (!readSector(s, buffer.data()))
            break;
        for (int at = 0; at + 128 <= sectorSize; at += 128) {
            const char* e = buffer.constData() + at;
            Entry entry;
            const int nameBytes = qBound(0, int(le16(e + 0x40)), 64);
            const int units = qMax(0, nameBytes / 2 - 1);
            for (int i = 0; i < units; ++i) {
                const quint16 u = le16(e + 2 * i);
                if (u == 0)
                    break;
                entry.name.append(QChar(u));
            }
            entry.type = quint8(e[0x42]);
            entry.left = le32(e + 0x44);
            entry.right = le32(e + 0x48);
            entry.child = le32(e + 0x4C);
            entry.start = le32(e + 0x74);
            entry.size = sectorShift == 9 ? le32(e + 0x78) : qFromLittleEndian<quint64>(
                                                                  reinterpret_cast<const uchar*>(e + 0x78));
            entries.append(entry);
        }
    }
    if (entries.isEmpty() || entries.first().type != 5)
        return false;

    // The mini FAT and the mini stream's sectors (errors here only cost the small streams).
    QVector<quint32> miniFatSectors;
    chain(fat, le32(h + 0x3C), fat.size(), &miniFatSectors);
    for (quint32 s : miniFatSectors) {
        if (!readSector(s, buffer.data()))
            break;
        for (int i = 0; i < perSector; ++i)
            miniFat.append(le32(buffer.constData() + 4 * i));
    }
    const Entry& root = entries.first();
    const qint64 miniSectors = (qint64(qMin<quint64>(root.size, quint64(fileSize))) + sectorSize - 1) / sectorSize;
    chain(fat, root.start, miniSectors, &miniChain);
    return true;
}

QVector<int> CompoundFile::childrenOf(int storage) const
{
    QVector<int> result;
    if (storage < 0 || storage >= entries.size())
        return result;
    QVector<bool> seen(entries.size(), false);
    QVector<quint32> stack{entries.at(storage).child};
    while (!stack.isEmpty()) {
        const quint32 id = stack.takeLast();
        if (id >= quint32(entries.size()) || seen.at(int(id)))
            continue; // no entry, or a tree that loops
        seen[int(id)] = true;
        const Entry& e = entries.at(int(id));
        if (e.type == 1 || e.type == 2)
            result.append(int(id));
        stack.append(e.left);
        stack.append(e.right);
    }
    return result;
}

int CompoundFile::find(const QString& path) const
{
    if (entries.isEmpty())
        return -1;
    int current = 0;
    const QStringList parts = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        int next = -1;
        for (int id : childrenOf(current)) {
            if (entries.at(id).name.compare(part, Qt::CaseInsensitive) == 0) {
                next = id;
                break;
            }
        }
        if (next < 0)
            return -1;
        current = next;
    }
    return current;
}

bool CompoundFile::hasStream(const QString& path) const
{
    const int id = find(path);
    return id > 0 && entries.at(id).type == 2;
}

QStringList CompoundFile::children(const QString& path) const
{
    QStringList names;
    const int id = find(path);
    if (id < 0 || entries.at(id).type == 2)
        return names;
    for (int child : childrenOf(id))
        names << entries.at(child).name;
    return names;
}

bool CompoundFile::readStream(const QString& path, QByteArray* out, qint64 maxBytes) const
{
    out->clear();
    const int id = find(path);
    if (id <= 0 || entries.at(id).type != 2)
        return false;
    const Entry& e = entries.at(id);
    // No stream is larger than the file that holds it.
    const qint64 size = qint64(qMin<quint64>(e.size, quint64(qMin(maxBytes, fileSize))));
    if (size <= 0)
        return true;
    out->reserve(int(size));
    QByteArray buffer(sectorSize, '\0');
    if (e.size < miniCutoff) {
        const int miniSize = 1 << miniShift;
        const qint64 count = (size + miniSize - 1) / miniSize;
        QVector<quint32> sectors;
        const bool whole = chain(miniFat, e.start, count, &sectors);
        quint32 loaded = kFreeSector;
        for (quint32 m : sectors) {
            const qint64 offset = qint64(m) << miniShift;
            const qint64 index = offset / sectorSize;
            if (index >= miniChain.size())
                return false;
            if (miniChain.at(int(index)) != loaded) {
                if (!readSector(miniChain.at(int(index)), buffer.data()))
                    return false;
                loaded = miniChain.at(int(index));
            }
            const int n = int(qMin<qint64>(miniSize, size - out->size()));
            out->append(buffer.constData() + offset % sectorSize, n);
        }
        return whole && out->size() == size;
    }
    const qint64 count = (size + sectorSize - 1) / sectorSize;
    QVector<quint32> sectors;
    const bool whole = chain(fat, e.start, count, &sectors);
    for (quint32 s : sectors) {
        if (!readSector(s, buffer.data()))
            return false;
        out->append(buffer.constData(), int(qMin<qint64>(sectorSize, size - out->size())));
    }
    return whole && out->size() == size;
}
