#include "search/engine/DirectoryEnumerator.h"

#include "core/FileNameCodec.h"
#include "platform/LinuxVolumeLayer.h"

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
        findHandle = opendir(FileNameCodec::encode(folder).constData());
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
