#include "search/engine/DirectoryEnumerator.h"

#include "search/index/NTFSUtils.h"

#include <cstring>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>

#ifndef CGROUP2_SUPER_MAGIC
#define CGROUP2_SUPER_MAGIC 0x63677270
#endif
#ifndef TRACEFS_MAGIC
#define TRACEFS_MAGIC 0x74726163
#endif
#ifndef BPF_FS_MAGIC
#define BPF_FS_MAGIC 0xcafe4a11
#endif
#ifndef SECURITYFS_MAGIC
#define SECURITYFS_MAGIC 0x73636673
#endif
#ifndef PSTOREFS_MAGIC
#define PSTOREFS_MAGIC 0x6165676C
#endif
#ifndef EFIVARFS_MAGIC
#define EFIVARFS_MAGIC 0xde5e81e4
#endif
#ifndef CONFIGFS_MAGIC
#define CONFIGFS_MAGIC 0x62656570
#endif
#ifndef FUSE_CTL_SUPER_MAGIC
#define FUSE_CTL_SUPER_MAGIC 0x65735543
#endif

DirectoryEnumerator::~DirectoryEnumerator()
{
    close();
}

void DirectoryEnumerator::close()
{
    if (findHandle) {
        closedir(findHandle);
        findHandle = nullptr;
    }
}

void DirectoryEnumerator::setFolder(const QString& newFolder, bool skip)
{
    close();
    folder = newFolder;
    skipPseudo = skip;
    started = false;
    rawName = "";
    rawNameLength = 0;
    name.clear();
    nameDecoded = true;
    directory = false;
}

bool DirectoryEnumerator::isPseudoFileSystemType(long magic)
{
    switch (static_cast<unsigned long>(magic) & 0xffffffffUL) {
    case PROC_SUPER_MAGIC:
    case SYSFS_MAGIC:
    case CGROUP_SUPER_MAGIC:
    case CGROUP2_SUPER_MAGIC:
    case DEBUGFS_MAGIC:
    case TRACEFS_MAGIC:
    case SECURITYFS_MAGIC:
    case BPF_FS_MAGIC:
    case PSTOREFS_MAGIC:
    case EFIVARFS_MAGIC:
    case CONFIGFS_MAGIC:
    case DEVPTS_SUPER_MAGIC:
    case FUSE_CTL_SUPER_MAGIC:
    case BINFMTFS_MAGIC:
        return true;
    default:
        return false;
    }
}

QString DirectoryEnumerator::next()
{
    return advance() ? currentPath() : QString();
}

bool DirectoryEnumerator::advance()
{
    if (folder.isEmpty())
        return false;
    if (!started) {
        started = true;
        findHandle = opendir(fileNameToBytes(folder).constData());
        if (!findHandle)
            return false;
        if (skipPseudo) {
            struct statfs fs;
            if (fstatfs(dirfd(findHandle), &fs) == 0 && isPseudoFileSystemType(long(fs.f_type))) {
                close();
                return false;
            }
        }
    }
    if (!findHandle)
        return false;
    for (;;) {
        const dirent* entry = readdir(findHandle);
        if (!entry) {
            close();
            rawName = "";
            rawNameLength = 0;
            return false;
        }
        const char* raw = entry->d_name;
        if (raw[0] == '.' && (raw[1] == 0 || (raw[1] == '.' && raw[2] == 0)))
            continue;
        bool isDir;
        if (entry->d_type == DT_UNKNOWN) {
            struct stat st;
            if (fstatat(dirfd(findHandle), raw, &st, AT_SYMLINK_NOFOLLOW) != 0)
                continue; // vanished meanwhile
            isDir = S_ISDIR(st.st_mode);
        } else {
            isDir = entry->d_type == DT_DIR;
        }
        rawName = raw;
        rawNameLength = int(std::strlen(raw));
        nameDecoded = false;
        directory = isDir;
        return true;
    }
}

const QString& DirectoryEnumerator::currentName() const
{
    if (!nameDecoded) {
        name = fileNameFromBytes(rawName, rawNameLength);
        nameDecoded = true;
    }
    return name;
}

QString DirectoryEnumerator::currentPath() const
{
    if (folder.endsWith(QLatin1Char('/')))
        return folder + currentName();
    return folder + QLatin1Char('/') + currentName();
}
