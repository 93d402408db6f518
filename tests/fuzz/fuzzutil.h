// Shared set-up of the libFuzzer harnesses: one QCoreApplication, the log in a scratch folder
// (so that a run does not flood the user's log), and a scratch folder for files the readers
// need on disk (in /dev/shm when it exists, so writing each input costs little). The scratch
// folder is also the temporary folder (TMPDIR) of the run: what the readers put there (the
// settings store's working copy, which Qt saves with an fdatasync at every write-back) then
// never waits for a disk. Run as root, a harness also gets a mount namespace of its own with a
// tmpfs on root's runtime folder (/run/tallowquist-pro), where the store keeps that copy for a
// root process: on a system whose /run is a disk, as in some containers, the fdatasyncs would
// otherwise set the pace; on a usual system /run is a tmpfs already.
#pragma once

#include "core/Logger.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <unistd.h>

#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>

namespace fuzz {

// Called by LLVMFuzzerInitialize, before libFuzzer starts its threads (a process with more than
// one thread cannot leave its mount namespace).
inline void privateRuntimeFolder()
{
    if (::geteuid() != 0 || ::unshare(CLONE_NEWNS) != 0)
        return;
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return;
    ::mkdir("/run/tallowquist-pro", 0700);
    ::mount("tmpfs", "/run/tallowquist-pro", "tmpfs", MS_NOSUID | MS_NODEV, "mode=0700");
}

inline QString scratch()
{
    static const QString dir = [] {
        const QString base = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm")
                                                                      : QDir::tempPath();
        const QString d = base + QStringLiteral("/tq-fuzz-%1").arg(::getpid());
        QDir().mkpath(d);
        // Removed when the run ends (/dev/shm is memory). The name outlives every static.
        static const QString* const removed = new QString(d);
        std::atexit([] { QDir(*removed).removeRecursively(); });
        return d;
    }();
    return dir;
}

inline void setUp()
{
    static const bool temp = qputenv("TMPDIR", scratch().toLocal8Bit());
    (void)temp;
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = new QCoreApplication(argc, argv);
    (void)app;
    Logger::instance(scratch() + QStringLiteral("/fuzz.log"));
}

inline bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

inline QByteArray bytesOf(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), int(size));
}

} // namespace fuzz

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::privateRuntimeFolder();
    return 0;
}
