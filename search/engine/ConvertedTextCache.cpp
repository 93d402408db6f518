#include "search/engine/ConvertedTextCache.h"

#include "core/ContentFile.h"
#include "core/FileNameCodec.h"

#include <QCryptographicHash>
#include <QMutexLocker>

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString suffixOf(const QString& encoding)
{
    if (encoding.compare(QLatin1String("UTF16-BE"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("utf16be");
    if (encoding.compare(QLatin1String("UTF-16"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("utf16");
    if (encoding.isEmpty())
        return QStringLiteral("detect");
    return QString();
}

QString encodingOf(const QString& suffix)
{
    if (suffix == QLatin1String("utf16be"))
        return QStringLiteral("UTF16-BE");
    if (suffix == QLatin1String("utf16"))
        return QStringLiteral("UTF-16");
    return QString();
}

// The running program's own file, as it is now: a new build makes new keys.
QByteArray programStamp()
{
    static const QByteArray stamp = [] {
        struct stat st;
        if (::stat("/proc/self/exe", &st) != 0)
            return QByteArray("?");
        return QByteArray::number(qulonglong(st.st_ino)) + ':' + QByteArray::number(qlonglong(st.st_mtim.tv_sec))
               + '.' + QByteArray::number(qlonglong(st.st_mtim.tv_nsec)) + ':' + QByteArray::number(qlonglong(st.st_size));
    }();
    return stamp;
}

} // namespace

ConvertedTextCache::ConvertedTextCache(const QString& workFolder, qint64 entryLimit,
                                       qint64 totalLimit, int countLimit)
    : folder_(workFolder.isEmpty() ? QString() : workFolder + QStringLiteral("/text-cache"))
    , maxEntryBytes(entryLimit)
    , maxTotalBytes(totalLimit)
    , maxEntries(countLimit)
{
}

QByteArray ConvertedTextCache::keyOf(const ContentFile& document, const QString& chain)
{
    const struct stat& st = document.info();
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(chain.toUtf8());
    hash.addData("\n", 1);
    hash.addData(programStamp());
    hash.addData("\n", 1);
    hash.addData(FileNameCodec::encode(document.path()));
    const qint64 numbers[] = {qint64(st.st_dev), qint64(st.st_ino), qint64(st.st_size),
                              qint64(st.st_ctim.tv_sec), qint64(st.st_ctim.tv_nsec),
                              qint64(st.st_mtim.tv_sec), qint64(st.st_mtim.tv_nsec)};
    hash.addData(reinterpret_cast<const char*>(numbers), sizeof numbers);
    return hash.result().toHex();
}

QString ConvertedTextCache::pathOf(const QByteArray& key, const QString& encoding) const
{
    return fileOf(key, suffixOf(encoding));
}

QString ConvertedTextCache::fileOf(const QByteArray& key, const QString& suffix) const
{
    return folder_ + QLatin1Char('/') + QString::fromLatin1(key) + QLatin1Char('.') + suffix;
}

bool ConvertedTextCache::folderLocked()
{
    if (folder_.isEmpty())
        return false;
    const QByteArray folder = FileNameCodec::encode(folder_);
    // Made when the working folder exists (the first conversion makes it).
    if (::mkdir(folder.constData(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat st;
    if (::lstat(folder.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()
        || (st.st_mode & 077) != 0) {
        folder_.clear(); // not ours alone: nothing is kept
        return false;
    }
    return true;
}

void ConvertedTextCache::loadLocked()
{
    if (loaded || !folderLocked())
        return;
    loaded = true;
    const QByteArray folder = FileNameCodec::encode(folder_);
    DIR* dir = ::opendir(folder.constData());
    if (!dir)
        return;
    while (const struct dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        const int dot = name.indexOf('.');
        if (dot != 40)
            continue;
        const QString suffix = QString::fromLatin1(name.mid(dot + 1));
        if (suffix != QLatin1String("utf16be") && suffix != QLatin1String("utf16") && suffix != QLatin1String("detect"))
            continue;
        struct stat file;
        if (::fstatat(::dirfd(dir), entry->d_name, &file, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(file.st_mode))
            continue;
        Entry e;
        e.suffix = suffix;
        e.bytes = qint64(file.st_size);
        entries.insert(name.left(dot), e);
        totalBytes += e.bytes;
    }
    ::closedir(dir);
    evictLocked();
}

void ConvertedTextCache::evictLocked()
{
    while (!entries.isEmpty() && (totalBytes > maxTotalBytes || entries.size() > maxEntries)) {
        auto oldest = entries.begin();
        for (auto it = entries.begin(); it != entries.end(); ++it) {
            if (it->lastUse < oldest->lastUse)
                oldest = it;
        }
        ::unlink(FileNameCodec::encode(fileOf(oldest.key(), oldest->suffix)).constData());
        totalBytes -= oldest->bytes;
        entries.erase(oldest);
    }
}

ConvertedTextCache::Lookup ConvertedTextCache::find(const QByteArray& key, ContentFile* text,
                                                    QString* encoding)
{
    QMutexLocker locker(&mutex);
    loadLocked();
    const auto it = entries.find(key);
    if (it == entries.end())
        return Lookup::Missing;
    it->lastUse = ++useCounter;
    *text = ContentFile::open(fileOf(key, it->suffix));
    if (!text->isOpen()) {
        totalBytes -= it->bytes;
        entries.erase(it);
        return Lookup::Missing;
    }
    *encoding = encodingOf(it->suffix);
    return Lookup::Text;
}

bool ConvertedTextCache::keep(const QByteArray& key, const QString& path, const QString& encoding)
{
    const QString suffix = suffixOf(encoding);
    if (suffix.isEmpty())
        return false;
    struct stat st;
    const QByteArray from = FileNameCodec::encode(path);
    if (::lstat(from.constData(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > maxEntryBytes)
        return false;
    QMutexLocker locker(&mutex);
    loadLocked();
    if (!folderLocked())
        return false;
    const auto old = entries.constFind(key);
    if (old != entries.constEnd() && old->suffix != suffix) {
        ::unlink(FileNameCodec::encode(fileOf(key, old->suffix)).constData());
        totalBytes -= old->bytes;
        entries.remove(key);
    }
    if (::rename(from.constData(), FileNameCodec::encode(fileOf(key, suffix)).constData()) != 0)
        return false;
    Entry& e = entries[key];
    totalBytes += qint64(st.st_size) - e.bytes;
    e.suffix = suffix;
    e.bytes = qint64(st.st_size);
    e.lastUse = ++useCounter;
    evictLocked();
    return true;
}
