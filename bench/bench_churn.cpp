// Memory of the name index when files come and go on a watched volume: a tmpfs (root, in a
// private mount namespace) followed by the real fanotify journal gets 1,000,000 uniquely named
// files created and deleted again, in rounds of 50,000; the process's resident memory and the
// index's name and map bytes are printed before and after.
//
// Usage: bench_churn [files] (default 1000000).
#include "core/HandleHolder.h"
#include "core/IndexingSettings.h"
#include "core/Logger.h"
#include "search/index/NTFSDriveDB.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <fcntl.h>
#include <malloc.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

qint64 residentBytes()
{
    malloc_trim(0);
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return qint64(resident) * sysconf(_SC_PAGESIZE);
}

// Waits until the index holds `count` objects; false after two minutes.
bool waitForCount(const NTFSDriveDB& db, int count)
{
    QElapsedTimer t;
    t.start();
    while (db.count() != count) {
        if (t.elapsed() > 120000)
            return false;
        QThread::msleep(20);
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int files = argc > 1 ? std::max(1000, std::atoi(argv[1])) : 1000000;
    if (::geteuid() != 0) {
        std::printf("bench_churn: needs root (fanotify and a tmpfs in a private mount namespace)\n");
        return 0;
    }
    QTemporaryDir holder(QStringLiteral("/tmp/bench_churn-XXXXXX"));
    Logger::instance(holder.filePath(QStringLiteral("bench.log")));
    const QString mp = holder.path() + QStringLiteral("/vol");
    const QByteArray root = QFile::encodeName(mp);
    ::mkdir(root.constData(), 0755);
    if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
        || ::mount("tmpfs", root.constData(), "tmpfs", 0, "size=1g,nr_inodes=2m") != 0) {
        std::printf("bench_churn: no tmpfs can be mounted here\n");
        return 0;
    }
    const QByteArray folder = root + "/churn";
    ::mkdir(folder.constData(), 0755);

    IndexingSettings settings;
    settings.dbPath = holder.path();
    std::unique_ptr<NTFSDriveDB> db(new NTFSDriveDB(mp, settings, 0));
    bool stop = false;
    db->init(&stop);
    const int base = db->count();
    const qint64 before = residentBytes();
    const std::size_t namesBefore = db->nameBytes(), mapsBefore = db->mapBytes();

    QElapsedTimer timer;
    timer.start();
    const int round = 50000;
    bool followed = true;
    for (int done = 0; done < files && followed; done += round) {
        const int n = std::min(round, files - done);
        char path[4096];
        for (int i = 0; i < n; ++i) {
            std::snprintf(path, sizeof(path), "%s/churn-file-%09d-with-a-longer-unique-name.tmp", folder.constData(), done + i);
            HandleHolder created(::open(path, O_CREAT | O_WRONLY | O_CLOEXEC, 0644));
        }
        followed = waitForCount(*db, base + n);
        for (int i = 0; i < n; ++i) {
            std::snprintf(path, sizeof(path), "%s/churn-file-%09d-with-a-longer-unique-name.tmp", folder.constData(), done + i);
            ::unlink(path);
        }
        followed = followed && waitForCount(*db, base);
    }
    const double seconds = double(timer.elapsed()) / 1000;
    const qint64 after = residentBytes();
    std::printf("bench_churn: %d uniquely named files created and deleted on a watched tmpfs in %.1f s%s\n", files,
                seconds, followed ? "" : " (the index did NOT follow)");
    std::printf("  resident memory: %.1f MB before, %.1f MB after\n", double(before) / 1e6, double(after) / 1e6);
    std::printf("  index names: %.2f MB -> %.2f MB; maps %.2f MB -> %.2f MB; objects %d -> %d\n", double(namesBefore) / 1e6,
                double(db->nameBytes()) / 1e6, double(mapsBefore) / 1e6, double(db->mapBytes()) / 1e6, base, db->count());
    db.reset();
    ::umount2(root.constData(), MNT_DETACH);
    return 0;
}
