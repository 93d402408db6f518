#include "search/index/IndexFile.h"

#include "core/FileNameCodec.h"
#include "core/FileUtils.h"
#include "core/HandleHolder.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Records are encoded into a buffer of this size and written in one call each.
constexpr int ChunkSize = 1 << 20;
// Only this much of the version text is kept.
constexpr quint32 MaxVersionBytes = 1024;

// The folder of an index file: its own last component is never a link, and the path above it
// is followed only through links of this process's user or of root (openFolderThroughOwnLinks).
HandleHolder openFolder(const QString& folder, bool create, QString* why)
{
    const int slash = folder.lastIndexOf(QLatin1Char('/'));
    const HandleHolder parent = openFolderThroughOwnLinks(slash <= 0 ? QStringLiteral("/") : folder.left(slash), create, why);
    if (!parent.isValid())
        return HandleHolder();
    const QByteArray name = FileNameCodec::encode(folder.mid(slash + 1));
    if (create)
        ::mkdirat(parent.handle(), name.constData(), 0777);
    HandleHolder dir(::openat(parent.handle(), name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!dir.isValid() && why)
        *why = QStringLiteral("%1: %2").arg(folder, QString::fromLocal8Bit(std::strerror(errno)));
    return dir;
}

class Encoder
{
public:
    explicit Encoder(QFile& file) : file_(file) { buffer_.reserve(ChunkSize + 2 * IndexFile::MaxNameLength); }

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
    QFile& file_;
    QByteArray buffer_;
};

bool putRecord(Encoder& out, const NameStore& names, quint64 frn, const IndexEntry& entry, bool isDir)
{
    const char* name = entry.name ? names.text(entry.name) : "";
    int length = int(strnlen(name, IndexFile::MaxNameLength + 1));
    if (length > IndexFile::MaxNameLength)
        length = IndexFile::MaxNameLength;
    out.putI64(qint64(entry.parent));
    out.putI64(qint64(frn));
    out.putU32(quint32(length));
    out.putBytes(name, length);
    out.putBool(isDir);
    return out.flushIfFull();
}

bool putRecords(Encoder& out, const NameStore& names, const IndexMap& map, bool isDir)
{
    bool ok = true;
    map.forEach([&](quint64 frn, const IndexEntry& entry) {
        ok = ok && putRecord(out, names, frn, entry, isDir);
    });
    return ok;
}

// The section of further names, by file number; none when there are none.
bool putExtraNames(Encoder& out, const NameStore& store, const ExtraNames& extraNames)
{
    if (extraNames.isEmpty())
        return true;
    std::vector<std::pair<quint64, IndexEntry>> names;
    names.reserve(extraNames.size());
    extraNames.forEach([&](quint64 frn, const IndexEntry& entry) { names.emplace_back(frn, entry); });
    std::stable_sort(names.begin(), names.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    out.putU32(IndexFile::ExtraNamesMarker);
    out.putU32(quint32(qint32(names.size())));
    bool ok = true;
    for (const auto& n : names)
        ok = ok && putRecord(out, store, n.first, n.second, false);
    return ok;
}

} // namespace

QString IndexFile::filePath(const QString& base, quint32 serial)
{
    return base + QStringLiteral("/DB/") + QString::number(serial, 16);
}

IndexFile::WriteResult IndexFile::write(const QString& path, JournalID journalId, USN nextUsn,
                                        const IndexTables& tables, QString* error)
{
    const IndexMap& directories = tables.directories;
    const IndexMap& files = tables.files;
    const QFileInfo info(path);
    const QString folder = info.absolutePath();
    const QByteArray name = FileNameCodec::encode(info.fileName());
    const HandleHolder folderFd = openFolder(folder, true, error);
    const int dir = folderFd.handle();
    if (dir < 0)
        return CreateFailed;
    const SaveResult saved = saveFileIn(dir, name, [&](QFile& file) {
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
        return putRecords(out, tables.names, directories, true) && putRecords(out, tables.names, files, false)
            && putExtraNames(out, tables.names, tables.extraNames) && out.flush();
    }, error);
    return saved == SaveResult::Saved ? Written : saved == SaveResult::CreateFailed ? CreateFailed : WriteFailed;
}

void IndexFile::remove(const QString& path)
{
    const QFileInfo info(path);
    const HandleHolder dir = openFolder(info.absolutePath(), false, nullptr);
    if (dir.isValid())
        ::unlinkat(dir.handle(), FileNameCodec::encode(info.fileName()).constData(), 0);
}

IndexFile::~IndexFile() = default;

bool IndexFile::open(const QString& path)
{
    buffer_.clear();
    bufferPos_ = 0;
    // Only a regular file is read: opening a FIFO planted in its place would block for ever
    // (hence O_NONBLOCK), and a link is not followed, nor one of another user above it.
    const QFileInfo info(path);
    const HandleHolder dir = openFolder(info.absolutePath(), false, nullptr);
    if (!dir.isValid())
        return false;
    HandleHolder fd(::openat(dir.handle(), FileNameCodec::encode(info.fileName()).constData(),
                             O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW));
    if (!fd.isValid())
        return false;
    struct stat st;
    if (::fstat(fd.handle(), &st) != 0 || !S_ISREG(st.st_mode)
        || !file_.open(fd.handle(), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return false;
    fd.release(); // the file closes it now
    return true;
}

bool IndexFile::take(qint64 bytes, const uchar** at)
{
    if (bytes < 0 || bytes > ChunkSize)
        return false;
    if (buffer_.size() - bufferPos_ < bytes) {
        // Keep the unread rest and fill the buffer up to one chunk.
        buffer_.remove(0, bufferPos_);
        bufferPos_ = 0;
        const int have = buffer_.size();
        buffer_.resize(ChunkSize);
        const qint64 got = file_.read(buffer_.data() + have, ChunkSize - have);
        buffer_.resize(have + int(qMax<qint64>(got, 0)));
        if (buffer_.size() < bytes)
            return false;
    }
    *at = reinterpret_cast<const uchar*>(buffer_.constData()) + bufferPos_;
    bufferPos_ += int(bytes);
    return true;
}

bool IndexFile::skip(qint64 bytes)
{
    while (bytes > 0) {
        const qint64 step = qMin<qint64>(bytes, ChunkSize);
        const uchar* p = nullptr;
        if (!take(step, &p))
            return false;
        bytes -= step;
    }
    return true;
}

bool IndexFile::atEnd()
{
    const uchar* p = nullptr;
    if (bufferPos_ < buffer_.size())
        return false;
    if (!take(1, &p))
        return true;
    --bufferPos_; // only looked
    return false;
}

IndexFile::Status IndexFile::readHeader()
{
    const uchar* p = nullptr;
    if (!take(4, &p))
        return Truncated;
    const quint32 length = qFromBigEndian<quint32>(p);
    version_.clear();
    if (length != 0xFFFFFFFFu) { // 0xFFFFFFFF is a null string
        const quint32 kept = qMin(length, MaxVersionBytes);
        if (length % 2 != 0 || !take(qint64(kept), &p))
            return Truncated;
        version_.resize(int(kept / 2));
        for (quint32 i = 0; i < kept / 2; ++i)
            version_[int(i)] = QChar(qFromBigEndian<quint16>(p + 2 * i));
        if (!skip(qint64(length - kept)))
            return Truncated;
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

IndexFile::Status IndexFile::readExtraNamesCount(qint32* count)
{
    *count = 0;
    if (atEnd())
        return Ok;
    const uchar* p = nullptr;
    if (!take(4, &p))
        return Ok; // fewer bytes than a marker: not the section
    if (qFromBigEndian<quint32>(p) != ExtraNamesMarker)
        return Ok;
    return readCount(count);
}
