#include "core/UserFileIdentity.h"

#include "core/SystemUtils.h"

#include <QFile>

#include <pwd.h>
#include <sys/fsuid.h>
#include <unistd.h>
#include <vector>

UserFileIdentity::UserFileIdentity(uid_t uid, gid_t gid)
{
    if (::geteuid() != 0)
        return;
    // setfsgid/setfsuid return the previous value; calling with the value asked for and then
    // reading it back again tells whether the change took.
    previousGid_ = static_cast<gid_t>(::setfsgid(gid));
    previousUid_ = static_cast<uid_t>(::setfsuid(uid));
    active_ =
        static_cast<uid_t>(::setfsuid(uid)) == uid && static_cast<gid_t>(::setfsgid(gid)) == gid;
    if (!active_) {
        ::setfsuid(previousUid_);
        ::setfsgid(previousGid_);
    }
}

UserFileIdentity::~UserFileIdentity()
{
    if (!active_)
        return;
    ::setfsuid(previousUid_);
    ::setfsgid(previousGid_);
}

bool UserFileIdentity::sessionUser(uid_t* uid, gid_t* gid, QString* home)
{
    const uid_t id = sessionUserId();
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    if (size <= 0)
        size = 16384;
    std::vector<char> buffer(static_cast<size_t>(size));
    struct passwd entry;
    struct passwd* found = nullptr;
    if (::getpwuid_r(id, &entry, buffer.data(), buffer.size(), &found) != 0 || !found)
        return false;
    if (uid)
        *uid = found->pw_uid;
    if (gid)
        *gid = found->pw_gid;
    if (home)
        *home = found->pw_dir ? QFile::decodeName(found->pw_dir) : QString();
    return true;
}

SessionUserFiles::SessionUserFiles()
{
    if (::geteuid() != 0 || sessionUserId() == 0)
        return; // not a root instance started for another user
    uid_t uid = 0;
    gid_t gid = 0;
    if (!UserFileIdentity::sessionUser(&uid, &gid))
        return;
    identity_ = new UserFileIdentity(uid, gid);
    if (!identity_->isActive()) {
        delete identity_;
        identity_ = nullptr;
    }
}

SessionUserFiles::~SessionUserFiles()
{
    delete identity_;
}
