#include "search/index/IndexFile.h"

#include "core/FileNameCodec.h"
#include "core/FileUtils.h"
#include "core/HandleHolder.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <functional>
#include <system_error>
#include <thread>
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
HandleHolder indexFileFolder(const QString& folder, bool create, QString* why)
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

} // namespace

QString IndexFile::filePath(const QString& base, quint32 serial)
{
    return folderPath(base) + QLatin1Char('/') + fileName(serial);
}

QString IndexFile::folderPath(const QString& base)
{
    return base + QStringLiteral("/DB");
}

QString IndexFile::fileName(quint32 serial)
{
    return QString::number(serial, 16);
}

bool IndexFile::serialOfFileName(const QString& name, quint32* serial)
{
    if (name.isEmpty() || name.size() > 8 || (name.size() > 1 && name.at(0) == QLatin1Char('0')))
        return false;
    for (const QChar c : name) {
        if (!((c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QLatin1Char('a') && c <= QLatin1Char('f'))))
            return false;
    }
    bool ok = false;
    const quint32 value = name.toUInt(&ok, 16);
    if (ok && serial)
        *serial = value;
    return ok;
}

bool IndexFile::isIndexFolderFile(const QString& name)
{
    QString target = name;
    splitTemporaryName(name, &target);
    return target == QLatin1String(HistoryFileName) || serialOfFileName(target, nullptr);
}

HandleHolder IndexFile::openFolder(const QString& folder, bool create, QString* why)
{
    return indexFileFolder(folder, create, why);
}

void IndexFile::remove(const QString& path)
{
    const QFileInfo info(path);
    const HandleHolder dir = indexFileFolder(info.absolutePath(), false, nullptr);
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
    const HandleHolder dir = indexFileFolder(info.absolutePath(), false, nullptr);
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
    current_ = length == 6 && version_ == QLatin1String(CurrentVersion);
    if (!current_)
        return Ok;
    // The rest of the header, from the file's start (its checksum covers the first fields too).
    uchar header[HeaderSize];
    if (::pread(file_.handle(), header, HeaderSize, 0) != qint64(HeaderSize))
        return Truncated;
    return readHeader2(header);
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

// ---------------------------------------------------------------------------------------------
// Version 2.0

const char* const IndexFile::CurrentVersion = "2.0";

namespace {

constexpr quint32 Magic = 0x58495154u; // "TQIX" in little-endian bytes
constexpr quint64 WordStep = 0x9E3779B97F4A7C15ull;
constexpr std::size_t RecordBytes = 20;
// Records read and checked by one task (a multiple of the leaf capacity).
constexpr std::size_t RecordsPerPiece = 1 << 16;
enum Section { BlockTable, Folders, Files, FurtherNames, Names, SectionCount };

struct FurtherName
{
    quint64 frn;
    quint64 parent;
    quint32 name;
};

inline quint64 mix(quint64 z)
{
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    return z ^ (z >> 31);
}

// The checksum of `bytes` (a multiple of 8) lying at word `first` of their section.
quint64 sumWords(const uchar* bytes, std::size_t length, quint64 first)
{
    quint64 sum = 0;
    const std::size_t words = length / 8;
    for (std::size_t i = 0; i < words; ++i)
        sum += mix(qFromLittleEndian<quint64>(bytes + 8 * i) ^ ((first + i) * WordStep));
    return sum;
}

constexpr quint64 pad8(quint64 n)
{
    return (n + 7) & ~quint64(7);
}

// Writes sections in order, each padded to a multiple of 8 bytes, summing their words.
class SectionWriter
{
public:
    explicit SectionWriter(QFile& file) : file_(file) { buffer_.reserve(ChunkSize + 8192); }

    void put(const void* data, std::size_t length)
    {
        buffer_.append(static_cast<const char*>(data), int(length));
        if (buffer_.size() >= ChunkSize)
            flush(false);
    }
    void put32(quint32 v)
    {
        uchar b[4];
        qToLittleEndian(v, b);
        put(b, 4);
    }
    void put64(quint64 v)
    {
        uchar b[8];
        qToLittleEndian(v, b);
        put(b, 8);
    }
    void putRecord(quint64 frn, quint64 parent, quint32 name)
    {
        uchar b[RecordBytes];
        qToLittleEndian(frn, b);
        qToLittleEndian(parent, b + 8);
        qToLittleEndian(name, b + 16);
        put(b, RecordBytes);
    }
    // Pads the section so far to a multiple of 8 bytes (what was flushed always is one).
    void pad()
    {
        static const char zeros[8] = {};
        const std::size_t rest = std::size_t(buffer_.size()) % 8;
        if (rest)
            put(zeros, 8 - rest);
    }
    // Ends the section: pads it and returns its checksum.
    quint64 endSection()
    {
        pad();
        flush(true);
        const quint64 sum = sum_;
        sum_ = 0;
        words_ = 0;
        return sum;
    }
    bool ok() const { return ok_; }

private:
    // Writes the whole words buffered (all of them at a section's end).
    void flush(bool all)
    {
        const int whole = all ? buffer_.size() : buffer_.size() & ~7;
        if (whole == 0)
            return;
        sum_ += sumWords(reinterpret_cast<const uchar*>(buffer_.constData()), std::size_t(whole), words_);
        words_ += quint64(whole) / 8;
        ok_ = ok_ && file_.write(buffer_.constData(), whole) == whole;
        buffer_.remove(0, whole);
    }

    QFile& file_;
    QByteArray buffer_;
    quint64 sum_ = 0;
    quint64 words_ = 0;
    bool ok_ = true;
};

// Where each name goes in the file: the same rule as NameStore::add (a name never straddles a
// block; block 0 starts with the byte of reference 0).
struct NamePlacer
{
    std::vector<quint32> used;
    quint32 place(int length)
    {
        const quint32 need = quint32(NameStore::footprint(length));
        if (used.empty())
            used.push_back(1);
        if (used.back() + need > NameStore::BlockSize)
            used.push_back(0);
        const quint32 ref = (quint32(used.size() - 1) << NameStore::OffsetBits) | used.back();
        used.back() += need;
        return ref;
    }
};

int threadCount()
{
    return std::max(1, std::min(8, int(std::thread::hardware_concurrency())));
}

// Runs tasks 0 .. count - 1 on up to `threads` threads (the calling one among them).
void runTasks(std::size_t count, int threads, const std::function<void(std::size_t)>& task)
{
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t i = next++; i < count; i = next++)
            task(i);
    };
    std::vector<std::thread> helpers;
    for (int t = 1; t < threads && std::size_t(t) < count; ++t) {
        try {
            helpers.emplace_back(work);
        } catch (const std::system_error&) {
            break;
        }
    }
    work();
    for (std::thread& t : helpers)
        t.join();
}

} // namespace

struct IndexFile::Layout2
{
    quint64 counts[SectionCount] = {}; // BlockTable: blocks; Names: name bytes
    quint64 offsets[SectionCount + 1] = {};
    quint64 sums[SectionCount] = {};
    std::vector<quint32> used; // bytes of each name block
};

IndexFile::WriteResult IndexFile::write(const QString& path, JournalID journalId, USN nextUsn, bool inStep,
                                        const Identity& identity, const IndexTables& tables, QString* error)
{
    const QFileInfo info(path);
    const QByteArray fileName = FileNameCodec::encode(info.fileName());
    const HandleHolder folderFd = indexFileFolder(info.absolutePath(), true, error);
    if (!folderFd.isValid())
        return CreateFailed;
    const NameStore& names = tables.names;

    // The further names by file number (the table keeps them in slot order).
    std::vector<std::pair<quint64, IndexEntry>> further;
    further.reserve(tables.extraNames.size());
    tables.extraNames.forEach([&](quint64 frn, const IndexEntry& e) { further.emplace_back(frn, e); });
    std::stable_sort(further.begin(), further.end(), [](const auto& a, const auto& b) { return a.first < b.first; });

    // Every name in the order of the records, packed into blocks without the names no record
    // holds any more: the file's references.
    NamePlacer placer;
    std::vector<quint32> refs;
    refs.reserve(tables.count() + further.size());
    auto placeName = [&](const IndexEntry& e) { refs.push_back(placer.place(e.name ? names.length(e.name) : 0)); };
    tables.directories.forEach([&](quint64, const IndexEntry& e) { placeName(e); });
    tables.files.forEach([&](quint64, const IndexEntry& e) { placeName(e); });
    for (const auto& f : further)
        placeName(f.second);
    quint64 nameBytes = 0;
    for (quint32 u : placer.used)
        nameBytes += u;

    const SaveResult saved = saveFileIn(folderFd.handle(), fileName, [&](QFile& file) {
        // The header last (it holds the checksums): zeros for now.
        const QByteArray blank(HeaderSize, '\0');
        if (file.write(blank) != blank.size())
            return false;
        SectionWriter out(file);
        quint64 sums[SectionCount];
        for (quint32 u : placer.used) {
            out.put32(u);
            out.put32(0);
        }
        sums[BlockTable] = out.endSection();
        std::size_t k = 0;
        tables.directories.forEach([&](quint64 frn, const IndexEntry& e) { out.putRecord(frn, e.parent, refs[k++]); });
        sums[Folders] = out.endSection();
        tables.files.forEach([&](quint64 frn, const IndexEntry& e) { out.putRecord(frn, e.parent, refs[k++]); });
        sums[Files] = out.endSection();
        for (const auto& f : further)
            out.putRecord(f.first, f.second.parent, refs[k++]);
        sums[FurtherNames] = out.endSection();
        // The names, block by block, as placed above.
        quint32 blockUsed = 0;
        std::size_t block = 0;
        auto putName = [&](const IndexEntry& e) {
            const int length = e.name ? names.length(e.name) : 0;
            const quint32 need = quint32(NameStore::footprint(length));
            if (blockUsed == 0 && block == 0) {
                out.put("\0", 1);
                blockUsed = 1;
            }
            if (blockUsed + need > NameStore::BlockSize) {
                out.pad();
                ++block;
                blockUsed = 0;
            }
            const uchar lengthByte = uchar(length < int(NameStore::LongName) ? length : int(NameStore::LongName));
            out.put(&lengthByte, 1);
            if (length)
                out.put(names.text(e.name), std::size_t(length));
            out.put("\0", 1);
            blockUsed += need;
        };
        tables.directories.forEach([&](quint64, const IndexEntry& e) { putName(e); });
        tables.files.forEach([&](quint64, const IndexEntry& e) { putName(e); });
        for (const auto& f : further)
            putName(f.second);
        sums[Names] = out.endSection();
        if (!out.ok())
            return false;

        uchar h[HeaderSize] = {};
        qToBigEndian(quint32(6), h);
        const char* v = CurrentVersion;
        for (int i = 0; i < 3; ++i)
            qToBigEndian(quint16(uchar(v[i])), h + 4 + 2 * i);
        qToBigEndian(qint64(journalId), h + 10);
        qToBigEndian(qint64(nextUsn), h + 18);
        qToBigEndian(qint32(tables.count()), h + 26);
        qToLittleEndian(Magic, h + 32);
        qToLittleEndian(quint32(HeaderSize), h + 36);
        qToLittleEndian(identity.serial, h + 40);
        qToLittleEndian(quint32(inStep ? 1 : 0), h + 44);
        qToLittleEndian(identity.fileSystemId, h + 48);
        qToLittleEndian(identity.rootInode, h + 56);
        qToLittleEndian(quint64(tables.directories.size()), h + 64);
        qToLittleEndian(quint64(tables.files.size()), h + 72);
        qToLittleEndian(quint64(further.size()), h + 80);
        qToLittleEndian(quint64(placer.used.size()), h + 88);
        qToLittleEndian(nameBytes, h + 96);
        for (int s = 0; s < SectionCount; ++s)
            qToLittleEndian(sums[s], h + 104 + 8 * s);
        qToLittleEndian(sumWords(h, 152, 0), h + 152);
        return file.seek(0) && file.write(reinterpret_cast<const char*>(h), HeaderSize) == HeaderSize;
    }, error);
    return saved == SaveResult::Saved ? Written : saved == SaveResult::CreateFailed ? CreateFailed : WriteFailed;
}

IndexFile::Status IndexFile::readHeader2(const uchar* h)
{
    if (qFromLittleEndian<quint32>(h + 32) != Magic || qFromLittleEndian<quint32>(h + 36) != quint32(HeaderSize))
        return BadLayout;
    if (sumWords(h, 152, 0) != qFromLittleEndian<quint64>(h + 152))
        return BadChecksum;
    identity_.serial = qFromLittleEndian<quint32>(h + 40);
    inStep_ = qFromLittleEndian<quint32>(h + 44) & 1;
    identity_.fileSystemId = qFromLittleEndian<quint64>(h + 48);
    identity_.rootInode = qFromLittleEndian<quint64>(h + 56);

    auto layout = std::make_shared<Layout2>();
    layout->counts[Folders] = qFromLittleEndian<quint64>(h + 64);
    layout->counts[Files] = qFromLittleEndian<quint64>(h + 72);
    layout->counts[FurtherNames] = qFromLittleEndian<quint64>(h + 80);
    layout->counts[BlockTable] = qFromLittleEndian<quint64>(h + 88);
    layout->counts[Names] = qFromLittleEndian<quint64>(h + 96);
    for (int s = 0; s < SectionCount; ++s)
        layout->sums[s] = qFromLittleEndian<quint64>(h + 104 + 8 * s);

    // Every size against the file's, before anything is multiplied or allocated.
    struct stat st;
    if (::fstat(file_.handle(), &st) != 0)
        return Truncated;
    const quint64 size = quint64(st.st_size);
    const qint32 count = qFromBigEndian<qint32>(h + 26);
    const quint64 maxRecords = size / RecordBytes;
    if (layout->counts[BlockTable] > NameStore::MaxBlocks || layout->counts[Folders] > maxRecords
        || layout->counts[Files] > maxRecords || layout->counts[FurtherNames] > maxRecords
        || layout->counts[Names] > size || count < 0
        || quint64(count) != layout->counts[Folders] + layout->counts[Files])
        return BadLayout;
    layout->offsets[BlockTable] = HeaderSize;
    layout->offsets[Folders] = HeaderSize + 8 * layout->counts[BlockTable];
    layout->offsets[Files] = layout->offsets[Folders] + pad8(RecordBytes * layout->counts[Folders]);
    layout->offsets[FurtherNames] = layout->offsets[Files] + pad8(RecordBytes * layout->counts[Files]);
    layout->offsets[Names] = layout->offsets[FurtherNames] + pad8(RecordBytes * layout->counts[FurtherNames]);
    if (layout->offsets[Names] > size)
        return Truncated;

    // The block table: the names' sizes.
    const std::size_t tableBytes = std::size_t(8 * layout->counts[BlockTable]);
    std::vector<uchar> table(tableBytes);
    if (tableBytes && ::pread(file_.handle(), table.data(), tableBytes, off_t(HeaderSize)) != qint64(tableBytes))
        return Truncated;
    if (sumWords(table.data(), tableBytes, 0) != layout->sums[BlockTable])
        return BadChecksum;
    quint64 names = 0, padded = 0;
    for (std::size_t b = 0; b < layout->counts[BlockTable]; ++b) {
        const quint32 used = qFromLittleEndian<quint32>(table.data() + 8 * b);
        if (used > NameStore::BlockSize || (b == 0 && used == 0))
            return BadLayout;
        layout->used.push_back(used);
        names += used;
        padded += pad8(used);
    }
    if (names != layout->counts[Names])
        return BadLayout;
    layout->offsets[SectionCount] = layout->offsets[Names] + padded;
    if (layout->offsets[SectionCount] != size)
        return size < layout->offsets[SectionCount] ? Truncated : BadLayout;
    layout2_ = layout;
    return Ok;
}

IndexFile::Status IndexFile::readTables(const bool* cancel, std::unique_ptr<IndexTables>* out)
{
    if (!current_ || !layout2_)
        return BadLayout;
    const Layout2& layout = *layout2_;
    const int fd = file_.handle();
    std::unique_ptr<IndexTables> tables(new IndexTables);
    NameStore& names = tables->names;
    names.prepareBlocks(layout.used);

    struct Piece
    {
        int section;
        std::size_t index;   // piece of a record section, or name block
        quint64 firstKey = 0;
        quint64 lastKey = 0;
        std::size_t records = 0;
    };
    std::vector<Piece> pieces;
    for (int s : {Folders, Files, FurtherNames}) {
        const std::size_t n = std::size_t(layout.counts[s]);
        for (std::size_t p = 0; p * RecordsPerPiece < n; ++p)
            pieces.push_back(Piece{s, p});
    }
    const std::size_t recordPieces = pieces.size();
    std::vector<quint64> blockWord(layout.used.size()); // first word of each block in its section
    quint64 words = 0;
    for (std::size_t b = 0; b < layout.used.size(); ++b) {
        blockWord[b] = words;
        words += pad8(layout.used[b]) / 8;
        pieces.push_back(Piece{Names, b});
    }

    std::vector<IndexMap::Leaf*> leaves[2];
    leaves[0] = tables->directories.newLeaves((std::size_t(layout.counts[Folders]) + 63) / 64);
    leaves[1] = tables->files.newLeaves((std::size_t(layout.counts[Files]) + 63) / 64);
    std::vector<FurtherName> further(std::size_t(layout.counts[FurtherNames]));

    std::atomic<quint64> sums[SectionCount];
    for (auto& s : sums)
        s = 0;
    std::atomic<int> failure{Ok};
    const int threads = threadCount();

    runTasks(pieces.size(), threads, [&](std::size_t i) {
        if (failure.load(std::memory_order_relaxed) != Ok)
            return;
        if (cancel && __atomic_load_n(cancel, __ATOMIC_RELAXED)) {
            failure = Canceled;
            return;
        }
        Piece& piece = pieces[i];
        if (piece.section == Names) {
            const quint32 used = layout.used[piece.index];
            const quint64 offset = layout.offsets[Names] + blockWord[piece.index] * 8;
            char* start = names.blockStart(piece.index);
            const std::size_t length = std::size_t(pad8(used));
            if (::pread(fd, start, length, off_t(offset)) != qint64(length)) {
                failure = Truncated;
                return;
            }
            sums[Names] += sumWords(reinterpret_cast<const uchar*>(start), length, blockWord[piece.index]);
            std::memset(start + used, 0, length - used); // the zeros after the block stay zeros
            return;
        }
        // One buffer per reading thread, reused for its pieces (no heap block and fresh pages
        // per piece).
        thread_local std::vector<uchar> local;
        const std::size_t total = std::size_t(layout.counts[piece.section]);
        const std::size_t first = piece.index * RecordsPerPiece;
        const std::size_t n = std::min(RecordsPerPiece, total - first);
        const std::size_t bytes = n * RecordBytes;
        const std::size_t length = first + n == total ? std::size_t(pad8(bytes)) : bytes;
        local.resize(length);
        const quint64 offset = layout.offsets[piece.section] + first * RecordBytes;
        if (::pread(fd, local.data(), length, off_t(offset)) != qint64(length)) {
            failure = Truncated;
            return;
        }
        sums[piece.section] += sumWords(local.data(), length, first * RecordBytes / 8);
        quint64 previous = 0;
        for (std::size_t j = 0; j < n; ++j) {
            const uchar* r = local.data() + j * RecordBytes;
            const quint64 frn = qFromLittleEndian<quint64>(r);
            const quint64 parent = qFromLittleEndian<quint64>(r + 8);
            const quint32 name = qFromLittleEndian<quint32>(r + 16);
            if (!names.isValid(name) || (j > 0 && frn < previous + (piece.section == FurtherNames ? 0 : 1))) {
                failure = BadLayout;
                return;
            }
            previous = frn;
            if (piece.section == FurtherNames) {
                further[first + j] = FurtherName{frn, parent, name};
                continue;
            }
            const std::size_t k = first + j;
            IndexMap::Leaf* leaf = leaves[piece.section == Folders ? 0 : 1][k / 64];
            leaf->keys[k % 64] = frn;
            leaf->values[k % 64].parent = parent;
            leaf->values[k % 64].name = name;
        }
        // The leaves of this piece (a piece holds whole leaves) get their counts here.
        if (piece.section != FurtherNames) {
            auto& mapLeaves = leaves[piece.section == Folders ? 0 : 1];
            for (std::size_t l = first / 64; l * 64 < first + n; ++l)
                mapLeaves[l]->count = quint32(std::min<std::size_t>(64, total - l * 64));
        }
        piece.firstKey = n ? qFromLittleEndian<quint64>(local.data()) : 0;
        piece.lastKey = previous;
        piece.records = n;
    });

    Status status = Status(failure.load());
    for (int s = Folders; status == Ok && s < SectionCount; ++s) {
        if (sums[s].load() != layout.sums[s])
            status = BadChecksum;
    }
    // Numbers ascend across pieces too (strictly, but for further names, which repeat).
    for (std::size_t i = 1; status == Ok && i < recordPieces; ++i) {
        const Piece& a = pieces[i - 1];
        const Piece& b = pieces[i];
        if (a.section == b.section && a.records && b.records
            && (b.firstKey < a.lastKey + (b.section == FurtherNames ? 0 : 1)))
            status = BadLayout;
    }
    // A failed load leaves no records behind (a piece that failed or never ran set no counts).
    if (status != Ok) {
        for (int m = 0; m < 2; ++m) {
            for (IndexMap::Leaf* leaf : leaves[m])
                leaf->count = 0;
        }
    }
    tables->directories.assignLeaves(leaves[0]);
    tables->files.assignLeaves(leaves[1]);
    if (status != Ok)
        return status;
    for (const FurtherName& f : further) {
        const IndexEntry* first = tables->files.find(f.frn);
        if (first)
            tables->extraNames.add(f.frn, *first, f.parent, f.name);
    }
    *out = std::move(tables);
    return Ok;
}
