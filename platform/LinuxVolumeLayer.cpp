#include "platform/LinuxVolumeLayer.h"
#include "platform/VolumeWalker.h"
#include "platform/FileHandleDecoder.h"
#include "core/HandleHolder.h"
#include "core/FileSearchException.h"
#include "core/Logger.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/ioctl.h>
#include <sys/sysmacros.h>
#include <linux/btrfs.h>
#include <unistd.h>

namespace {


// Is `path` equal to `mountPoint` or below it?
bool underMount(const QByteArray& path, const QByteArray& mountPoint)
{
    if (mountPoint == "/")
        return path.startsWith('/');
    if (!path.startsWith(mountPoint))
        return false;
    return path.size() == mountPoint.size() || path.at(mountPoint.size()) == '/';
}

QByteArray readSmallFile(const QByteArray& path)
{
    QFile f(QString::fromLocal8Bit(path));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.read(4096).trimmed();
}

} // namespace

LinuxVolumeLayer::LinuxVolumeLayer() : mountInfoPath_(QStringLiteral("/proc/self/mountinfo")) {}

LinuxVolumeLayer::LinuxVolumeLayer(const QString& mountInfoPath) : mountInfoPath_(mountInfoPath) {}

namespace {

struct KernelPseudoFs
{
    const char* name;
    unsigned long magic; // statfs f_type; 0 when it has none of its own
};

// The kernel pseudo file systems, with their magic numbers from linux/magic.h.
constexpr KernelPseudoFs kKernelPseudoFs[] = {
    {"proc", 0x9fa0},           {"sysfs", 0x62656572},     {"cgroup", 0x27e0eb},
    {"cgroup2", 0x63677270},    {"devtmpfs", 0},           {"devpts", 0x1cd1},
    {"debugfs", 0x64626720},    {"tracefs", 0x74726163},   {"securityfs", 0x73636673},
    {"pstore", 0x6165676c},     {"bpf", 0xcafe4a11},       {"mqueue", 0x19800202},
    {"hugetlbfs", 0x958458f6},  {"configfs", 0x62656570},  {"fusectl", 0x65735543},
    {"binfmt_misc", 0x42494e4d}, {"autofs", 0x0187},       {"rpc_pipefs", 0x67596969},
    {"nsfs", 0x6e736673},       {"efivarfs", 0xde5e81e4},  {"selinuxfs", 0xf97cff8c},
    {"pipefs", 0x50495045},     {"sockfs", 0x534f434b},    {"nfsd", 0x6e667364},
};

} // namespace

bool LinuxVolumeLayer::isKernelPseudoFs(const QByteArray& t)
{
    for (const KernelPseudoFs& fs : kKernelPseudoFs)
        if (t == fs.name)
            return true;
    return false;
}

bool LinuxVolumeLayer::isKernelPseudoFsMagic(long magic)
{
    for (const KernelPseudoFs& fs : kKernelPseudoFs)
        if (fs.magic != 0 && (static_cast<unsigned long>(magic) & 0xffffffffUL) == fs.magic)
            return true;
    return false;
}

bool LinuxVolumeLayer::isPseudoFsType(const QByteArray& t)
{
    // Mounts that hold no volume of the user's own files, besides the kernel's pseudo ones
    // (an overlay is one where it is "/", see isVolumeMount). Disks mounted through a FUSE
    // block driver (fuseblk: ntfs-3g, exfat-fuse) are volumes.
    static const QSet<QByteArray> notVolumes = {
        "overlay", "squashfs", "ramfs", "iso9660", "udf", "erofs", "fuse", "aufs",
        "zonefs", "ecryptfs", "cramfs", "romfs"};
    if (isKernelPseudoFs(t) || notVolumes.contains(t))
        return true;
    // fuse.* are pseudo unless they name a network file system (sshfs and the like).
    if (t.startsWith("fuse.") && !isNetworkFsType(t))
        return true;
    return false;
}

bool LinuxVolumeLayer::isIndexableFsType(const QByteArray& t)
{
    return t == "ext2" || t == "ext3" || t == "ext4" || t == "xfs" || t == "btrfs" || t == "f2fs"
        || t == "ntfs3" || t == "tmpfs";
}

bool LinuxVolumeLayer::isNetworkFsType(const QByteArray& t)
{
    static const QSet<QByteArray> net = {
        "nfs", "nfs4", "cifs", "smb3", "smbfs", "9p", "ceph", "afs", "lustre", "glusterfs",
        "ncpfs", "coda", "gfs2", "ocfs2", "orangefs", "virtiofs", "davfs", "fuse.sshfs",
        "fuse.glusterfs", "fuse.rclone", "fuse.s3fs", "fuse.gvfsd-fuse", "fuse.cephfs",
        "fuse.davfs2", "fuse.curlftpfs", "fuse.smbnetfs", "fuse.ceph-fuse"};
    return net.contains(t) || t.startsWith("nfs");
}

quint32 LinuxVolumeLayer::foldUuid(const QByteArray& uuid16)
{
    quint32 v = 0;
    for (int w = 0; w + 4 <= uuid16.size(); w += 4) {
        const auto* p = reinterpret_cast<const uchar*>(uuid16.constData() + w);
        v ^= (quint32(p[0]) << 24) | (quint32(p[1]) << 16) | (quint32(p[2]) << 8) | quint32(p[3]);
    }
    return v == 0 ? 1 : v;
}

bool LinuxVolumeLayer::isVolumeMount(const MountEntry& m)
{
    // An overlay is a volume where it is the whole system ("/": live systems, containers);
    // elsewhere it is a layer of a container's files.
    if (m.fsType == "overlay")
        return m.mountPoint == "/";
    return !isPseudoFsType(m.fsType);
}

namespace {

// Is the folder `root` of a file system equal to `other` or inside it?
bool rootWithin(const QByteArray& root, const QByteArray& other)
{
    return other == "/" || root == other || (root.startsWith(other) && root.at(other.size()) == '/');
}

} // namespace

QVector<bool> LinuxVolumeLayer::aliasFlags(const QVector<MountEntry>& mounts)
{
    // Mounts of one file system (and one btrfs subvolume: each has a tree of its own) show the
    // tree below the folders their roots name. A mount whose root lies inside the root of a
    // visible mount of the same tree shows nothing that one does not: it is an alias. Of equal
    // roots the first one is the volume. A mount covered by a later one at its mount point
    // shows nothing, so it makes no other mount an alias (a bind mount left visible when its
    // device's own mount is covered is searched as the volume).
    QHash<QByteArray, int> top;
    for (int i = 0; i < mounts.size(); ++i)
        top.insert(mounts.at(i).mountPoint, i);
    QVector<bool> alias(mounts.size(), false);
    for (int i = 0; i < mounts.size(); ++i) {
        const MountEntry& m = mounts.at(i);
        if (!isVolumeMount(m))
            continue;
        for (int j = 0; j < mounts.size() && !alias[i]; ++j) {
            const MountEntry& o = mounts.at(j);
            if (j == i || o.devMajor != m.devMajor || o.devMinor != m.devMinor || !isVolumeMount(o)
                || o.subvolumeId() != m.subvolumeId() || top.value(o.mountPoint) != j)
                continue;
            if (rootWithin(m.root, o.root) && (m.root != o.root ? o.root.size() < m.root.size() : j < i))
                alias[i] = true;
        }
    }
    return alias;
}

QVector<MountEntry> LinuxVolumeLayer::mounts() const
{
    return MountTable::read(mountInfoPath_);
}

const MountEntry* LinuxVolumeLayer::findMount(const QVector<MountEntry>& mounts, const QString& mountPoint)
{
    QByteArray mp = FileNameCodec::encode(mountPoint);
    while (mp.size() > 1 && mp.endsWith('/'))
        mp.chop(1);
    for (int i = mounts.size() - 1; i >= 0; --i)
        if (mounts.at(i).mountPoint == mp)
            return &mounts.at(i);
    return nullptr;
}

quint32 LinuxVolumeLayer::mountPointSerial(const QByteArray& mountPoint)
{
    // FNV-1 of the mount point's bytes.
    quint32 h = 0x811C9DC5u;
    for (const char c : mountPoint)
        h = (h * 16777619u) ^ quint32(uchar(c));
    return h == 0 ? 1 : h;
}

quint32 LinuxVolumeLayer::withSubvolume(quint32 serial, quint64 subvolumeId)
{
    // The top-level subvolume (5) keeps the file system's own serial.
    if (subvolumeId == 0 || subvolumeId == 5)
        return serial;
    const quint32 v = serial ^ quint32(subvolumeId * 0x9E3779B97F4A7C15ull >> 32);
    return v == 0 ? 1 : v;
}

quint32 LinuxVolumeLayer::serialOf(const MountEntry& m)
{
    // A tmpfs has no identity of its own and a new f_fsid at every mount: it is known by where
    // it is mounted, so it keeps its serial across mounts and boots.
    if (m.fsType == "tmpfs")
        return mountPointSerial(m.mountPoint);
    // The UUID of the block device, through the udev links in /dev/disk/by-uuid.
    QDir byUuid(QStringLiteral("/dev/disk/by-uuid"));
    if (byUuid.exists()) {
        dev_t want = makedev(m.devMajor, m.devMinor);
        struct stat src;
        if (m.source.startsWith("/dev/") && ::stat(m.source.constData(), &src) == 0 && S_ISBLK(src.st_mode))
            want = src.st_rdev;
        const QStringList links = byUuid.entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot);
        for (const QString& link : links) {
            struct stat st;
            const QByteArray p = QFile::encodeName(byUuid.filePath(link));
            if (::stat(p.constData(), &st) == 0 && S_ISBLK(st.st_mode) && st.st_rdev == want) {
                QByteArray hex = link.toLatin1();
                hex.replace('-', QByteArray());
                const QByteArray raw = QByteArray::fromHex(hex);
                if (raw.size() >= 4)
                    return withSubvolume(foldUuid(raw), m.subvolumeId());
            }
        }
    }
    struct statfs sfs;
    if (::statfs(m.mountPoint.constData(), &sfs) == 0) {
        int words[2];
        std::memcpy(words, &sfs.f_fsid, sizeof(words));
        const quint32 v = quint32(words[0]) ^ quint32(words[1]);
        if (v != 0)
            return v;
    } else {
        return 0;
    }
    const quint32 v = (m.devMajor << 20) ^ m.devMinor;
    return v == 0 ? 1 : v;
}

int LinuxVolumeLayer::removableState(const QByteArray& sysfsDevice)
{
    return removableState(sysfsDevice, 0);
}

int LinuxVolumeLayer::removableState(const QByteArray& device, int depth)
{
    if (device.isEmpty() || depth > 8)
        return -1;
    if (device.contains("/usb"))
        return 1;
    QByteArray removable = readSmallFile(device + "/removable");
    if (removable.isEmpty())  // a partition: the flag sits on its disk
        removable = readSmallFile(device + "/../removable");
    int state = removable == "1" ? 1 : removable == "0" ? 0 : -1;
    // A device-mapper or md volume (LVM, an encrypted volume, RAID) is made of the devices in
    // its "slaves" folder: it is removable when one of them is.
    QDir slaves(QFile::decodeName(device + "/slaves"));
    const QStringList names = slaves.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        const QByteArray below = QFile::encodeName(QFileInfo(slaves.filePath(name)).canonicalFilePath());
        const int slave = removableState(below, depth + 1);
        if (slave == 1)
            return 1;
        if (slave == -1)
            state = -1;
    }
    return state;
}

bool LinuxVolumeLayer::fixedOf(const MountEntry& m)
{
    if (m.fsType == "tmpfs")
        return true;
    quint32 major = m.devMajor, minor = m.devMinor;
    struct stat src;
    if (m.source.startsWith("/dev/") && ::stat(m.source.constData(), &src) == 0 && S_ISBLK(src.st_mode)) {
        major = ::major(src.st_rdev);
        minor = ::minor(src.st_rdev);
    }
    if (major == 0)
        return false;  // no block device behind it
    const QByteArray link = "/sys/dev/block/" + QByteArray::number(major) + ':' + QByteArray::number(minor);
    const QByteArray real = QFile::encodeName(QFileInfo(QString::fromLatin1(link)).canonicalFilePath());
    return removableState(real) == 0;
}

VolumeDescription LinuxVolumeLayer::describe(const QVector<MountEntry>& mounts, const QVector<bool>& alias, int i)
{
    const MountEntry& m = mounts.at(i);
    VolumeDescription d;
    d.mountPoint = m.mountPointPath();
    d.fsType = QString::fromUtf8(m.fsType);
    d.source = QString::fromUtf8(m.source);
    d.network = isNetworkFsType(m.fsType);
    d.indexable = !d.network && isIndexableFsType(m.fsType);
    d.alias = alias.value(i);
    d.fixed = !d.network && fixedOf(m);
    d.serial = serialOf(m);
    return d;
}

QList<VolumeDescription> LinuxVolumeLayer::volumes()
{
    const QVector<MountEntry> all = mounts();
    if (all.isEmpty())
        throw FileSearchException(QStringLiteral("Failed to read the mount table"), QStringLiteral("LinuxVolumeLayer"), __LINE__);
    const QVector<bool> alias = aliasFlags(all);
    // A mount point mounted over keeps only its top mount (the last one in the table).
    QHash<QByteArray, int> top;
    for (int i = 0; i < all.size(); ++i)
        top.insert(all.at(i).mountPoint, i);
    QList<VolumeDescription> result;
    for (int i = 0; i < all.size(); ++i) {
        if (!isVolumeMount(all.at(i)) || top.value(all.at(i).mountPoint) != i)
            continue;
        result.append(describe(all, alias, i));
    }
    std::sort(result.begin(), result.end(), [](const VolumeDescription& a, const VolumeDescription& b) {
        return a.mountPoint < b.mountPoint;
    });
    return result;
}

bool LinuxVolumeLayer::isIndexableVolume(const QString& mountPoint)
{
    const QVector<MountEntry> all = mounts();
    const MountEntry* m = findMount(all, mountPoint);
    return m && !isNetworkFsType(m->fsType) && isIndexableFsType(m->fsType);
}

bool LinuxVolumeLayer::isNetworkVolume(const QString& mountPoint)
{
    const QVector<MountEntry> all = mounts();
    const MountEntry* m = findMount(all, mountPoint);
    return m && isNetworkFsType(m->fsType);
}

bool LinuxVolumeLayer::isFixedVolume(const QString& mountPoint)
{
    const QVector<MountEntry> all = mounts();
    const MountEntry* m = findMount(all, mountPoint);
    return m && !isNetworkFsType(m->fsType) && fixedOf(*m);
}

bool LinuxVolumeLayer::isAliasVolume(const QString& mountPoint)
{
    const QVector<MountEntry> all = mounts();
    const MountEntry* m = findMount(all, mountPoint);
    if (!m)
        return false;
    return aliasFlags(all).value(int(m - all.constData()));
}

quint32 LinuxVolumeLayer::volumeSerial(const QString& mountPoint)
{
    const QVector<MountEntry> all = mounts();
    const MountEntry* m = findMount(all, mountPoint);
    return m ? serialOf(*m) : 0;
}

QString LinuxVolumeLayer::volumeOf(const QString& path)
{
    // The real path, on bytes: names need not be UTF-8.
    QByteArray p;
    if (char* real = ::realpath(FileNameCodec::encode(path).constData(), nullptr)) {
        p = real;
        ::free(real);
    } else {
        p = FileNameCodec::encode(QDir::cleanPath(QDir(path).absolutePath()));
    }
    const QVector<MountEntry> all = mounts();
    const MountEntry* best = nullptr;
    for (const MountEntry& m : all)
        if (underMount(p, m.mountPoint) && (!best || m.mountPoint.size() >= best->mountPoint.size()))
            best = &m;
    return best ? best->mountPointPath() : QString();
}

quint64 LinuxVolumeLayer::fileId(const QString& path, bool* isDir)
{
    const QByteArray p = FileNameCodec::encode(path);
    struct statx sx;
    if (::statx(AT_FDCWD, p.constData(), AT_STATX_SYNC_AS_STAT, STATX_TYPE | STATX_INO, &sx) != 0) {
        TQ_LOG_DEBUG("IFilterConvert",
                     QStringLiteral("Failed to open file %1, error = %2").arg(path).arg(errno));
        return 0;
    }
    if (isDir)
        *isDir = S_ISDIR(sx.stx_mode);
    return sx.stx_ino;
}

void LinuxVolumeLayer::enumerate(const QString& mountPoint, const QByteArray& rootName, const bool* cancel,
                                 const VolumeEntrySink& sink)
{
    VolumeWalker walker;
    walker.walk(mountPoint, rootName, cancel, sink);
}

void LinuxVolumeLayer::enumerateFolder(const QString& mountPoint, const QByteArray& path, quint64 inode, int handleType,
                                       const QByteArray& handle, const bool* cancel, VolumeEntryConsumer& consumer)
{
    // By its handle the folder is found wherever it is now; by its path only where the index
    // last saw it.
    HandleHolder folder;
    if (!handle.isEmpty()) {
        const HandleHolder mountFd(::open(FileNameCodec::encode(mountPoint).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (mountFd.isValid())
            folder.reset(FileHandleDecoder::openHandle(mountFd.handle(), handleType, handle.constData(),
                                                       size_t(handle.size()), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    }
    if (!folder.isValid() && !path.isEmpty())
        folder.reset(::open(path.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat st;
    if (!folder.isValid() || ::fstat(folder.handle(), &st) != 0 || quint64(st.st_ino) != inode) {
        consumer.start(1);
        consumer.finish(0); // gone, or another folder in its place: its own records say so
        return;
    }
    VolumeWalker walker;
    walker.walkFolder(folder.handle(), inode, FileNameCodec::decode(path), cancel, consumer);
}

quint64 LinuxVolumeLayer::fileSystemId(const QString& mountPoint)
{
    struct statfs sfs;
    if (::statfs(FileNameCodec::encode(mountPoint).constData(), &sfs) != 0)
        return 0;
    switch (static_cast<unsigned long>(sfs.f_type) & 0xffffffffUL) {
    case 0xEF53:     // ext2/3/4
    case 0x9123683E: // btrfs
    case 0xF2F52010: // f2fs
    case 0x7366746E: // ntfs3
    case 0x01021994: // tmpfs
        break;
    default:
        return 0;
    }
    quint32 words[2];
    std::memcpy(words, &sfs.f_fsid, sizeof(words));
    return quint64(words[0]) | (quint64(words[1]) << 32);
}

void LinuxVolumeLayer::enumerateParallel(const QString& mountPoint, const QByteArray& rootName, const bool* cancel,
                                         VolumeEntryConsumer& consumer)
{
    VolumeWalker walker;
    walker.walkParallel(mountPoint, rootName, cancel, consumer);
}

QStringList LinuxVolumeLayer::nestedSubvolumes(const QString& mountPoint)
{
    const QByteArray mp = FileNameCodec::encode(mountPoint);
    const HandleHolder fd(::open(mp.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    struct statfs sfs;
    if (!fd.isValid() || ::fstatfs(fd.handle(), &sfs) != 0
        || (static_cast<unsigned long>(sfs.f_type) & 0xffffffffUL) != 0x9123683EUL)
        return {};
    QStringList out;
    btrfs_ioctl_get_subvol_rootref_args refs;
    std::memset(&refs, 0, sizeof(refs));
    for (;;) {
        // The subvolumes whose entry lies in this subvolume, a buffer at a time (EOVERFLOW:
        // more follow, from min_treeid on).
        const int r = ::ioctl(fd.handle(), BTRFS_IOC_GET_SUBVOL_ROOTREF, &refs);
        if (r != 0 && errno != EOVERFLOW)
            break;
        for (int i = 0; i < refs.num_items; ++i) {
            btrfs_ioctl_ino_lookup_user_args where;
            std::memset(&where, 0, sizeof(where));
            where.dirid = refs.rootref[i].dirid;
            where.treeid = refs.rootref[i].treeid;
            if (::ioctl(fd.handle(), BTRFS_IOC_INO_LOOKUP_USER, &where) != 0)
                continue;  // not reachable from this mount's root
            QByteArray path = mp;
            if (!path.endsWith('/'))
                path += '/';
            path += QByteArray(where.path);
            if (!path.endsWith('/'))
                path += '/';
            path += QByteArray(where.name);
            out.append(FileNameCodec::decode(path));
        }
        if (r == 0)
            break;
    }
    out.sort();
    return out;
}

quint64 LinuxVolumeLayer::deviceOf(const QString& path)
{
    struct statx sx;
    if (::statx(AT_FDCWD, FileNameCodec::encode(path).constData(), AT_STATX_SYNC_AS_STAT, STATX_INO, &sx) != 0)
        return 0;
    return (quint64(sx.stx_dev_major) << 32) | sx.stx_dev_minor;
}
