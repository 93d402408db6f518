// Helpers shared by the index tests: name searches reduced to paths, empty files, and the
// private mount namespace in which the live tests mount their tmpfs volumes.
#pragma once

#include "search/model/FileSearchRequest.h"
#include "search/model/ResultStore.h"
#include "storedresults.h"

#include <QFile>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

// The full paths of the hits of a name search over a volume index or an index set, in result
// order.
template <class Index>
QStringList searchPaths(Index& index, const QString& pattern)
{
    FileSearchRequest request;
    request.fileName = pattern;
    ResultStore results;
    index.search(&request, &results);
    return testutil::storedPaths(results);
}

// The hits of a name search as "D <path>" for folders and "F <path>" for files, in result
// order, with include and exclude folders and a lower size bound.
template <class Index>
QStringList markedSearchPaths(Index& index, const QString& pattern, const QStringList& include = {},
                              bool subfolders = true, const QStringList& exclude = {}, qint64 minSize = -1)
{
    FileSearchRequest request;
    request.fileName = pattern;
    request.includePaths = include;
    request.includeSubfolders = subfolders;
    request.excludePaths = exclude;
    request.minSize = minSize;
    ResultStore results;
    index.search(&request, &results);
    QStringList out;
    for (const ResultStore::Entry& e : testutil::storedEntries(results))
        out << (e.isDir ? QStringLiteral("D ") : QStringLiteral("F ")) + ResultStore::entryPath(e);
    return out;
}

inline bool makeDir(const QString& path)
{
    return ::mkdir(QFile::encodeName(path).constData(), 0755) == 0;
}

inline bool moveTo(const QString& from, const QString& to)
{
    return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

// Creates an empty file; the byte form takes names that are not UTF-8.
inline bool touchFile(const QByteArray& path)
{
    const int fd = ::open(path.constData(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

inline bool touchFile(const QString& path) { return touchFile(QFile::encodeName(path)); }

// How many events the kernel queues for a fanotify group before it reports an overflow.
inline int fanotifyQueueLimit()
{
    QFile limit(QStringLiteral("/proc/sys/fs/fanotify/max_queued_events"));
    return limit.open(QIODevice::ReadOnly) ? limit.readAll().trimmed().toInt() : 16384;
}
