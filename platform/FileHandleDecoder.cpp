#include "platform/FileHandleDecoder.h"
#include "core/FileNameCodec.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

quint32 word(const unsigned char* b, int i)
{
    quint32 v;
    std::memcpy(&v, b + 4 * i, 4);
    return v;
}

quint64 word64(const unsigned char* b)
{
    quint64 v;
    std::memcpy(&v, b, 8);
    return v;
}

} // namespace

FileHandleDecoder::FileHandleDecoder(const QByteArray& fsType)
    : fsType_(fsType), tmpfs_(fsType == "tmpfs")
{
}

quint64 FileHandleDecoder::decode(int type, const unsigned char* b, int length) const
{
    if (!b || length < 4)
        return 0;
    if (tmpfs_) {
        // shmem: { generation, inode low, inode high }.
        if (type == 1 && length >= 12)
            return quint64(word(b, 1)) | (quint64(word(b, 2)) << 32);
        if ((type == 0x81 || type == 0x82) && length >= 8)
            return word64(b);
        return 0;
    }
    switch (type) {
    case 1:     // FILEID_INO32_GEN
    case 2:     // FILEID_INO32_GEN_PARENT
        return word(b, 0);
    case 0x81:  // FILEID_INO64_GEN, xfs 64-bit inodes
    case 0x82:  // FILEID_INO64_GEN_PARENT
        return length >= 8 ? word64(b) : 0;
    case 0x4d:  // btrfs: object id, subvolume id, generation (then the parent's)
    case 0x4e:
    case 0x4f:
        if (length < 16)
            return 0;
        if (subvolumeKnown_ && word64(b + 8) != subvolume_)
            return 0;  // another subvolume: its numbers are not this volume's
        return word64(b);
    default:
        return 0;
    }
}

namespace {

union HandleSpace
{
    struct file_handle fh;
    unsigned char space[sizeof(struct file_handle) + MAX_HANDLE_SZ];
};

} // namespace

std::string FileHandleDecoder::handleAt(int dirFd, const char* name, int flags)
{
    HandleSpace h;
    h.fh.handle_bytes = MAX_HANDLE_SZ;
    int mountId = 0;
    if (::name_to_handle_at(dirFd, name, &h.fh, &mountId, flags) != 0)
        return std::string();
    return std::string(reinterpret_cast<const char*>(&h), sizeof(struct file_handle) + h.fh.handle_bytes);
}

int FileHandleDecoder::openHandle(int mountFd, const std::string& handle, int flags)
{
    HandleSpace h;
    if (handle.size() < sizeof(struct file_handle) || handle.size() > sizeof(h)) {
        errno = EINVAL;
        return -1;
    }
    std::memcpy(&h, handle.data(), handle.size());
    return ::open_by_handle_at(mountFd, &h.fh, flags);
}

int FileHandleDecoder::openHandle(int mountFd, int handleType, const char* bytes, size_t length, int flags)
{
    HandleSpace h;
    if (length > MAX_HANDLE_SZ) {
        errno = EINVAL;
        return -1;
    }
    h.fh.handle_bytes = unsigned(length);
    h.fh.handle_type = handleType;
    std::memcpy(h.fh.f_handle, bytes, length);
    return ::open_by_handle_at(mountFd, &h.fh, flags);
}

bool FileHandleDecoder::verify(const QString& path, QString* error)
{
    const QByteArray p = FileNameCodec::encode(path);
    HandleSpace h;
    const std::string bytes = handleAt(AT_FDCWD, p.constData(), 0);
    if (bytes.empty()) {
        if (error)
            *error = QStringLiteral("no file handle for %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    std::memcpy(&h, bytes.data(), bytes.size());
    struct stat st;
    if (::stat(p.constData(), &st) != 0) {
        if (error)
            *error = QStringLiteral("cannot stat %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    const int type = h.fh.handle_type;
    if (!tmpfs_ && (type == 0x4d || type == 0x4e || type == 0x4f) && h.fh.handle_bytes >= 16) {
        subvolume_ = word64(h.fh.f_handle + 8);
        subvolumeKnown_ = true;
    }
    const quint64 ino = decode(h.fh.handle_type, h.fh.f_handle, int(h.fh.handle_bytes));
    if (ino != quint64(st.st_ino)) {
        if (error)
            *error = QStringLiteral("file handles of type %1 on %2 (%3) cannot be decoded")
                         .arg(h.fh.handle_type).arg(path, QString::fromLatin1(fsType_));
        return false;
    }
    return true;
}
