#include "search/engine/DirectoryEnumerator.h"

#include "core/FileNameCodec.h"
#include "core/LongPath.h"
#include "platform/LinuxVolumeLayer.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/vfs.h>

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
    opened.reset();
}

int DirectoryEnumerator::folderFd() const
{
    return findHandle ? dirfd(findHandle) : -1;
}

void DirectoryEnumerator::setFolder(const QString& newFolder, bool skip)
{
    setFolder(newFolder, HandleHolder(), skip);
}

void DirectoryEnumerator::setFolder(const QString& newFolder, HandleHolder folderFd, bool skip,
                                    int openError)
{
    close();
    folder = newFolder;
    skipPseudo = skip;
    // A caller that hands a descriptor (or the reason it has none) has opened the folder.
    started = folderFd.isValid() || openError != 0;
    opened = std::move(folderFd);
    error_ = opened.isValid() ? 0 : openError;
    rawName = "";
    rawNameLength = 0;
    name.clear();
    nameDecoded = true;
    directory = false;
}

bool DirectoryEnumerator::isPseudoFileSystemType(long magic)
{
    return LinuxVolumeLayer::isKernelPseudoFsMagic(magic);
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
        const PathAt at(folder);
        opened.reset(at.isValid() ? ::openat(at.folder(), at.name(),
                                             O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)
                                  : -1);
        if (!opened.isValid())
            error_ = at.isValid() ? errno : at.error();
    }
    if (opened.isValid()) {
        findHandle = fdopendir(opened.handle());
        if (!findHandle) {
            error_ = errno;
            opened.reset();
            return false;
        }
        opened.release(); // the stream closes it now
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
        errno = 0;
        const dirent* entry = readdir(findHandle);
        if (!entry) {
            error_ = errno; // 0 at the end of the folder
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
        name = FileNameCodec::decode(rawName, rawNameLength);
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
