#include "search/index/IndexFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QtEndian>

#include <cstring>

namespace {

// Records are encoded into a buffer of this size and written in one call each.
constexpr int ChunkSize = 1 << 20;

class Encoder
{
public:
    explicit Encoder(QSaveFile& file) : file_(file) { buffer_.reserve(ChunkSize + 2 * IndexFile::MaxNameLength); }

    void putU32(quint32 v)
    {
        char b[4];
        qToBigEndian(v, b);
        buffer_.append(b, 4);
    }
    void putI64(qint64 v)
    {
        char b[8];
        qToBigEndian(v, b);
        buffer_.append(b, 8);
    }
    void putBytes(const char* data, int length) { buffer_.append(data, length); }
    void putBool(bool v) { buffer_.append(v ? '\1' : '\0'); }

    bool flushIfFull() { return buffer_.size() < ChunkSize || flush(); }
    bool flush()
    {
        if (buffer_.isEmpty())
            return true;
        const bool ok = file_.write(buffer_) == buffer_.size();
        buffer_.resize(0);
        return ok;
    }

private:
    QSaveFile& file_;
    QByteArray buffer_;
};

bool putRecords(Encoder& out, const IndexMap& map, bool isDir)
{
    bool ok = true;
    map.forEach([&](quint64 frn, const IndexEntry& entry) {
        if (!ok)
            return;
        const char* name = entry.name ? entry.name : "";
        int length = int(strnlen(name, IndexFile::MaxNameLength + 1));
        if (length > IndexFile::MaxNameLength)
            length = IndexFile::MaxNameLength;
        out.putI64(qint64(entry.parent));
        out.putI64(qint64(frn));
        out.putU32(quint32(length));
        out.putBytes(name, length);
        out.putBool(isDir);
        ok = out.flushIfFull();
    });
    return ok;
}

} // namespace

QString IndexFile::filePath(const QString& base, quint32 serial)
{
    return base + QStringLiteral("/DB/") + QString::number(serial, 16);
}

IndexFile::WriteResult IndexFile::write(const QString& path, JournalID journalId, USN nextUsn,
                                        const IndexMap& directories, const IndexMap& files, QString* error)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return CreateFailed;
    }
    Encoder out(file);
    const QString version = QStringLiteral("1.0");
    out.putU32(quint32(version.size() * 2));
    for (const QChar c : version) {
        char b[2];
        qToBigEndian(c.unicode(), b);
        out.putBytes(b, 2);
    }
    out.putI64(qint64(journalId));
    out.putI64(nextUsn);
    out.putU32(quint32(qint32(directories.size() + files.size())));
    const bool ok = putRecords(out, directories, true) && putRecords(out, files, false) && out.flush();
    if (!ok) {
        *error = file.errorString();
        file.cancelWriting();
        return WriteFailed;
    }
    if (!file.commit()) {
        *error = file.errorString();
        return WriteFailed;
    }
    return Written;
}

IndexFile::~IndexFile()
{
    if (data_)
        file_.unmap(const_cast<uchar*>(data_));
}

bool IndexFile::open(const QString& path)
{
    file_.setFileName(path);
    if (!file_.open(QIODevice::ReadOnly))
        return false;
    size_ = file_.size();
    pos_ = 0;
    if (size_ == 0)
        return true; // an empty file: the header read reports it as truncated
    data_ = file_.map(0, size_);
    return data_ != nullptr;
}

bool IndexFile::take(qint64 bytes, const uchar** at)
{
    if (bytes < 0 || size_ - pos_ < bytes)
        return false;
    *at = data_ + pos_;
    pos_ += bytes;
    return true;
}

IndexFile::Status IndexFile::readHeader()
{
    const uchar* p = nullptr;
    if (!take(4, &p))
        return Truncated;
    const quint32 length = qFromBigEndian<quint32>(p);
    version_.clear();
    if (length != 0xFFFFFFFFu) { // 0xFFFFFFFF is a null string
        if (length % 2 != 0 || !take(qint64(length), &p))
            return Truncated;
        version_.resize(int(length / 2));
        for (quint32 i = 0; i < length / 2; ++i)
            version_[int(i)] = QChar(qFromBigEndian<quint16>(p + 2 * i));
    }
    if (!take(16, &p))
        return Truncated;
    journalId_ = JournalID(qFromBigEndian<qint64>(p));
    nextUsn_ = qFromBigEndian<qint64>(p + 8);
    return Ok;
}

IndexFile::Status IndexFile::readCount(qint32* count)
{
    const uchar* p = nullptr;
    if (!take(4, &p))
        return Truncated;
    *count = qFromBigEndian<qint32>(p);
    return *count < 0 ? BadCount : Ok;
}

IndexFile::Status IndexFile::readRecord(Record* record)
{
    const uchar* p = nullptr;
    if (!take(20, &p))
        return Truncated;
    record->parent = FRN(qFromBigEndian<qint64>(p));
    record->frn = FRN(qFromBigEndian<qint64>(p + 8));
    const qint32 length = qFromBigEndian<qint32>(p + 16);
    if (length < 0 || length > MaxNameLength)
        return BadNameLength;
    if (!take(qint64(length) + 1, &p))
        return Truncated;
    record->name = reinterpret_cast<const char*>(p);
    record->nameLength = length;
    record->isDir = p[length] != 0;
    return Ok;
}
