#include "app/UserFileIdentity.h"

#include "app/ShellEnvironment.h"
#include "app/ShellUtils.h"
#include "core/FileNameCodec.h"
#include "core/SystemUtils.h"

#include <fcntl.h>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

bool UserFileIdentity::isNeeded()
{
    return ShellUtils::runsForOtherUser();
}

uid_t UserFileIdentity::sessionUid()
{
    return sessionUserId();
}

gid_t UserFileIdentity::sessionGid()
{
    return ShellEnvironment::sessionUserGroup();
}

UserFileIdentity::UserFileIdentity()
{
    if (!isNeeded())
        return;
    // The group first: once the uid is no longer 0 the group could not be changed any more.
    oldGid_ = static_cast<gid_t>(::setfsgid(sessionGid()));
    oldUid_ = static_cast<uid_t>(::setfsuid(sessionUid()));
    active_ = true;
}

UserFileIdentity::~UserFileIdentity()
{
    if (!active_)
        return;
    ::setfsuid(oldUid_);
    ::setfsgid(oldGid_);
}

bool UserFileIdentity::giveToSessionUser(const QString& path)
{
    if (!isNeeded())
        return true;
    const QByteArray bytes = FileNameCodec::encode(path);
    const int fd = ::open(bytes.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st;
    bool done = false;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_nlink == 1) {
        if (st.st_uid != 0)
            done = true;
        else
            done = ::fchown(fd, sessionUid(), sessionGid()) == 0;
    }
    ::close(fd);
    return done;
}
