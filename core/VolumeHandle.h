// VolumeHandle: owns a read-only descriptor of a volume's mount point.
//
// A volume is identified by its mount point ("/", "/home"). The descriptor is opened with
// O_RDONLY | O_DIRECTORY | O_CLOEXEC; it is what the volume queries (statfs, name_to_handle_at,
// open_by_handle_at, fanotify marks, the full walk) work from. -1 stands for "no descriptor".
// The holder closes its descriptor when destroyed; it can be moved but not copied, so a
// descriptor is never closed twice. The mount point is in the lossless form of FileNameCodec.
#pragma once

#include "core/HandleHolder.h"

#include <QString>

class VolumeHandle
{
public:
    enum Empty { VolumeHandleEmpty };

    // Holds no descriptor.
    explicit VolumeHandle(Empty = VolumeHandleEmpty) {}
    // Opens the mount point (see open, not overlapped).
    explicit VolumeHandle(const QString& mountPoint);
    ~VolumeHandle();

    VolumeHandle(VolumeHandle&& other) noexcept = default;
    VolumeHandle& operator=(VolumeHandle&& other) noexcept = default;
    VolumeHandle(const VolumeHandle&) = delete;
    VolumeHandle& operator=(const VolumeHandle&) = delete;

    // Closes any held descriptor, then opens `mountPoint`. The result (possibly -1) is stored;
    // the caller tests isValid() and reports the failure itself (errno is that of the failed
    // open). `overlapped` is accepted for the callers' sake and changes nothing: reads that
    // must be interruptible are woken by other means.
    void open(const QString& mountPoint, bool overlapped = false);

    bool isValid() const { return fd_.isValid(); }
    int handle() const { return fd_.handle(); }
    // Closes the descriptor; afterwards the holder holds none.
    void close();

private:
    HandleHolder fd_;
};
