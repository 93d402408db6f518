#include "core/FileDeletion.h"

#include "core/FileNameCodec.h"
#include "core/HandleHolder.h"
#include "core/UserFiles.h"

#include <QDir>
#include <QElapsedTimer>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FileDeletion {

namespace {

constexpr int kMaxFailuresListed = 1000;
// Folders nested deeper than this are left alone (each level holds a descriptor).
constexpr int kMaxDepth = 4096;

QString reasonOf(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// The names of an open folder (closed on return); false when it could not be read whole.
bool readNames(HandleHolder folder, QList<QByteArray>& names, int* error)
{
    DIR* dir = ::fdopendir(folder.handle());
    if (!dir) {
        *error = errno;
        return false;
    }
    folder.release(); // the stream closes it now
    errno = 0;
    while (const dirent* entry = ::readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            names.append(QByteArray(entry->d_name));
        errno = 0;
    }
    *error = errno;
    ::closedir(dir);
    return *error == 0;
}

// Splits a path into its parent folder, opened, and its last name.
struct Place
{
    HandleHolder parent;
    QByteArray name;
    QString path;
    int error = 0;
};

Place placeOf(const QString& path)
{
    Place place;
    place.path = QDir::cleanPath(path);
    const QByteArray encoded = FileNameCodec::encode(place.path);
    const int slash = encoded.lastIndexOf('/');
    const QByteArray parent = slash < 0 ? QByteArrayLiteral(".") : slash == 0 ? QByteArrayLiteral("/") : encoded.left(slash);
    place.name = encoded.mid(slash + 1);
    place.parent = HandleHolder(::open(parent.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!place.parent.isValid())
        place.error = errno;
    return place;
}

class Counter
{
public:
    explicit Counter(const std::atomic<bool>& stopFlag)
        : stop(stopFlag)
    { }

    void entry(int parentFd, const QByteArray& name, int depth)
    {
        if (stop)
            return;
        struct stat st;
        if (::fstatat(parentFd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT)
                totals.complete = false;
            return;
        }
        if (!S_ISDIR(st.st_mode)) {
            ++totals.files;
            if (S_ISREG(st.st_mode))
                totals.bytes += st.st_size;
            return;
        }
        ++totals.folders;
        HandleHolder folder(depth < kMaxDepth
                                ? ::openat(parentFd, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC)
                                : -1);
        QList<QByteArray> names;
        int error = 0;
        if (!folder.isValid() || !readNames(HandleHolder(::dup(folder.handle())), names, &error))
            totals.complete = false;
        for (const QByteArray& child : qAsConst(names))
            entry(folder.handle(), child, depth + 1);
    }

    Totals totals;

private:
    const std::atomic<bool>& stop;
};

class Remover
{
public:
    Remover(const std::atomic<bool>& stopFlag, const Progress& report)
        : stop(stopFlag)
        , progress(report)
    {
        clock.start();
    }

    // Removes one entry; true when it is gone.
    bool entry(int parentFd, const QByteArray& name, const QString& path, int depth)
    {
        if (stop)
            return false;
        struct stat st;
        if (::fstatat(parentFd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno == ENOENT)
                return true;
            fail(path, errno);
            return false;
        }
        if (!S_ISDIR(st.st_mode)) {
            if (::unlinkat(parentFd, name.constData(), 0) != 0 && errno != ENOENT) {
                fail(path, errno);
                return false;
            }
            ++outcome.deleted.files;
            tick();
            return true;
        }
        if (depth >= kMaxDepth) {
            fail(path, ELOOP);
            return false;
        }
        HandleHolder folder(::openat(parentFd, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!folder.isValid()) {
            fail(path, errno);
            return false;
        }
        QList<QByteArray> names;
        int error = 0;
        const bool listed = readNames(HandleHolder(::dup(folder.handle())), names, &error);
        bool emptied = listed;
        if (!listed)
            fail(path, error);
        for (const QByteArray& child : qAsConst(names)) {
            if (stop)
                return false;
            if (!entry(folder.handle(), child, path + QLatin1Char('/') + FileNameCodec::decode(child), depth + 1))
                emptied = false;
        }
        if (!emptied || stop)
            return false;
        if (::unlinkat(parentFd, name.constData(), AT_REMOVEDIR) != 0 && errno != ENOENT) {
            fail(path, errno);
            return false;
        }
        ++outcome.deleted.folders;
        tick();
        return true;
    }

    void fail(const QString& path, int error)
    {
        if (outcome.failures.size() < kMaxFailuresListed)
            outcome.failures.append(Failure{path, reasonOf(error)});
        else
            ++outcome.moreFailures;
    }

    void finish()
    {
        if (progress)
            progress(outcome.deleted.entries());
    }

    Outcome outcome;

private:
    void tick()
    {
        if (progress && (outcome.deleted.entries() % 64 == 0 || clock.elapsed() >= 50)) {
            progress(outcome.deleted.entries());
            clock.restart();
        }
    }

    const std::atomic<bool>& stop;
    const Progress& progress;
    QElapsedTimer clock;
};

bool isRoot(const QString& cleaned)
{
    return cleaned == QLatin1String("/") || cleaned.isEmpty();
}

} // namespace

Totals count(const QStringList& paths, const std::atomic<bool>& stop)
{
    Counter counter(stop);
    UserFiles::run(QStringLiteral("Counting what a deletion removes"), [&]() {
        for (const QString& path : paths) {
            const Place place = placeOf(path);
            if (isRoot(place.path))
                continue;
            if (!place.parent.isValid()) {
                if (place.error != ENOENT)
                    counter.totals.complete = false;
                continue;
            }
            struct stat st;
            if (::fstatat(place.parent.handle(), place.name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0
                && S_ISDIR(st.st_mode))
                counter.totals.anyFolder = true;
            counter.entry(place.parent.handle(), place.name, 0);
        }
        return true;
    });
    if (stop)
        counter.totals.complete = false;
    return counter.totals;
}

Outcome remove(const QStringList& paths, const std::atomic<bool>& stop, const Progress& progress)
{
    Remover remover(stop, progress);
    const bool ran = UserFiles::run(QStringLiteral("Deleting files"), [&]() {
        for (const QString& path : paths) {
            const Place place = placeOf(path);
            if (isRoot(place.path)) {
                remover.fail(path, EPERM);
                continue;
            }
            if (!place.parent.isValid()) {
                if (place.error != ENOENT)
                    remover.fail(path, place.error);
                continue;
            }
            remover.entry(place.parent.handle(), place.name, place.path, 0);
        }
        for (const QString& path : paths) {
            struct stat st;
            const bool there = ::lstat(FileNameCodec::encode(QDir::cleanPath(path)).constData(), &st) == 0
                || (errno != ENOENT && errno != ENOTDIR);
            (there ? remover.outcome.kept : remover.outcome.gone) << path;
        }
        return true;
    });
    remover.finish();
    Outcome outcome = remover.outcome;
    outcome.stopped = stop;
    if (!ran) {
        // The session user's identity could not be taken: nothing was touched.
        outcome.gone.clear();
        outcome.kept = paths;
        outcome.failures = {Failure{paths.value(0), reasonOf(EPERM)}};
    }
    return outcome;
}

} // namespace FileDeletion
