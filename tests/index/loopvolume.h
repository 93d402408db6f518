// A real volume for the index tests (root only, in a private mount namespace): a tmpfs, or an
// ext4 or btrfs file system on a loop image, mounted at <folder>/mnt and unmounted when the
// object goes. `find` lists it for comparison: every path below the mount point, as bytes.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <sys/mount.h>
#include <sys/stat.h>

class LoopVolume
{
public:
    // `type`: "tmpfs", "ext4" or "btrfs". isMounted() says whether it worked, why() why not.
    explicit LoopVolume(const QString& type, int megabytes = 256)
        : type_(type)
    {
        mountPoint_ = work_.filePath(QStringLiteral("mnt"));
        const QByteArray mp = QFile::encodeName(mountPoint_);
        ::mkdir(mp.constData(), 0755);
        if (type == QLatin1String("tmpfs")) {
            const QByteArray options = "size=" + QByteArray::number(megabytes) + "m";
            mounted_ = ::mount("tmpfs", mp.constData(), "tmpfs", 0, options.constData()) == 0;
            why_ = mounted_ ? QString() : QStringLiteral("tmpfs cannot be mounted");
            return;
        }
        const QString mkfs = QStringLiteral("mkfs.") + type;
        if (QStandardPaths::findExecutable(mkfs).isEmpty()) {
            why_ = QStringLiteral("needs %1").arg(mkfs);
            return;
        }
        const QString image = work_.filePath(QStringLiteral("volume.img"));
        QFile file(image);
        if (!file.open(QIODevice::WriteOnly) || !file.resize(qint64(megabytes) << 20)) {
            why_ = QStringLiteral("no room for an image");
            return;
        }
        file.close();
        const QStringList args = type == QLatin1String("btrfs") ? QStringList{QStringLiteral("-q"), QStringLiteral("-f"), image}
                                                                 : QStringList{QStringLiteral("-q"), QStringLiteral("-F"), image};
        if (!run(mkfs, args) || !run(QStringLiteral("mount"), {QStringLiteral("-o"), QStringLiteral("loop"), image, mountPoint_})) {
            why_ = QStringLiteral("no %1 volume can be made here").arg(type);
            return;
        }
        mounted_ = true;
        // ext4 keeps lost+found at the root; it is part of the volume like any folder.
    }

    ~LoopVolume()
    {
        if (mounted_)
            ::umount2(QFile::encodeName(mountPoint_).constData(), MNT_DETACH);
    }

    bool isMounted() const { return mounted_; }
    QString why() const { return why_; }
    QString mountPoint() const { return mountPoint_; }
    QByteArray path(const QByteArray& relative = QByteArray()) const
    {
        return QFile::encodeName(mountPoint_) + relative;
    }

    // Every path below the mount point as `find` prints it, sorted.
    QList<QByteArray> find() const
    {
        QProcess p;
        p.start(QStringLiteral("find"), {mountPoint_, QStringLiteral("-mindepth"), QStringLiteral("1"),
                                         QStringLiteral("-print0")});
        p.waitForFinished(60000);
        QList<QByteArray> out = p.readAllStandardOutput().split('\0');
        out.removeAll(QByteArray());
        std::sort(out.begin(), out.end());
        return out;
    }

private:
    // Runs a tool without its chatter; true when it succeeded.
    static bool run(const QString& program, const QStringList& args)
    {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(program, args);
        return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    }

    QTemporaryDir work_;
    QString type_;
    QString mountPoint_;
    QString why_;
    bool mounted_ = false;
};
