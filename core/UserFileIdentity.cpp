#include "core/UserFileIdentity.h"

#include "core/SystemUtils.h"

#include <QFile>

#include <cerrno>
#include <grp.h>
#include <mutex>
#include <pwd.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// The system calls themselves: each changes the calling thread only, and none allocates.
long rawSetGroups(size_t count, const gid_t* groups)
{
    return ::syscall(SYS_setgroups, count, groups);
}

uid_t rawSetFsUid(uid_t uid)
{
    return static_cast<uid_t>(::syscall(SYS_setfsuid, uid));
}

gid_t rawSetFsGid(gid_t gid)
{
    return static_cast<gid_t>(::syscall(SYS_setfsgid, gid));
}

bool threadGroups(std::vector<gid_t>* groups)
{
    const long count = ::syscall(SYS_getgroups, 0, nullptr);
    if (count < 0)
        return false;
    groups->resize(static_cast<size_t>(count));
    return ::syscall(SYS_getgroups, count, groups->data()) == count;
}

} // namespace

bool SessionAccount::lookup(uid_t uid, SessionAccount* account)
{
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(static_cast<size_t>(size > 0 ? size : 16384));
    struct passwd entry;
    struct passwd* found = nullptr;
    int rc;
    while ((rc = ::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found)) == ERANGE && buffer.size() < (1u << 20))
        buffer.resize(buffer.size() * 2);
    if (rc != 0 || !found)
        return false;
    SessionAccount result;
    result.uid = found->pw_uid;
    result.gid = found->pw_gid;
    result.name = found->pw_name ? QByteArray(found->pw_name) : QByteArray();
    result.home = found->pw_dir ? QByteArray(found->pw_dir) : QByteArray();
    result.shell = found->pw_shell ? QByteArray(found->pw_shell) : QByteArray();
    int count = 64;
    for (int attempt = 0; attempt < 4 && !result.name.isEmpty(); ++attempt) {
        result.groups.resize(static_cast<size_t>(count));
        const int wanted = count;
        if (::getgrouplist(result.name.constData(), result.gid, result.groups.data(), &count) >= 0) {
            result.groups.resize(static_cast<size_t>(count));
            break;
        }
        if (count <= wanted)
            count = wanted * 4;
        result.groups.clear();
    }
    if (result.groups.empty())
        result.groups.push_back(result.gid);
    *account = std::move(result);
    return true;
}

UserFileIdentity::UserFileIdentity(const SessionAccount& account)
{
    if (::geteuid() != 0) {
        error_ = EPERM;
        return;
    }
    if (!threadGroups(&previousGroups_)) {
        error_ = errno;
        return;
    }
    if (rawSetGroups(account.groups.size(), account.groups.data()) != 0) {
        error_ = errno;
        return;
    }
    // setfsgid/setfsuid return the previous value whether or not the change took; asking with
    // an invalid id (-1) reads the current one back.
    previousGid_ = rawSetFsGid(account.gid);
    previousUid_ = rawSetFsUid(account.uid);
    active_ = currentFsUid() == account.uid && currentFsGid() == account.gid;
    if (!active_) {
        error_ = EPERM;
        rawSetFsUid(previousUid_);
        rawSetFsGid(previousGid_);
        rawSetGroups(previousGroups_.size(), previousGroups_.data());
    }
}

UserFileIdentity::~UserFileIdentity()
{
    if (!active_)
        return;
    // The fs uid first: it brings the capabilities back that the others need.
    rawSetFsUid(previousUid_);
    rawSetFsGid(previousGid_);
    rawSetGroups(previousGroups_.size(), previousGroups_.data());
}

uid_t UserFileIdentity::currentFsUid()
{
    return rawSetFsUid(static_cast<uid_t>(-1));
}

gid_t UserFileIdentity::currentFsGid()
{
    return rawSetFsGid(static_cast<gid_t>(-1));
}

bool UserFileIdentity::needed()
{
    return ::geteuid() == 0 && sessionUserId() != 0;
}

bool UserFileIdentity::sessionAccount(SessionAccount* account)
{
    // Tests change the session user of a running process, so the cache is per uid.
    static std::mutex mutex;
    static bool cached = false;
    static SessionAccount last;
    const uid_t uid = sessionUserId();
    std::lock_guard<std::mutex> lock(mutex);
    if (!cached || last.uid != uid) {
        SessionAccount found;
        if (!SessionAccount::lookup(uid, &found))
            return false;
        last = std::move(found);
        cached = true;
    }
    *account = last;
    return true;
}

bool UserFileIdentity::sessionUser(uid_t* uid, gid_t* gid, QString* home)
{
    SessionAccount account;
    if (!sessionAccount(&account))
        return false;
    if (uid)
        *uid = account.uid;
    if (gid)
        *gid = account.gid;
    if (home)
        *home = QFile::decodeName(account.home);
    return true;
}

RawFileIdentity UserFileIdentity::rawSessionIdentity()
{
    RawFileIdentity raw;
    SessionAccount account;
    if (!needed() || !sessionAccount(&account) || account.groups.size() > size_t(RawFileIdentity::kMaxGroups))
        return raw;
    raw.uid = account.uid;
    raw.gid = account.gid;
    raw.groupCount = int(account.groups.size());
    for (int i = 0; i < raw.groupCount; ++i)
        raw.groups[i] = account.groups[size_t(i)];
    raw.valid = true;
    return raw;
}

bool UserFileIdentity::enterRaw(const RawFileIdentity& identity)
{
    if (!identity.valid)
        return false;
    if (rawSetGroups(size_t(identity.groupCount), identity.groups) != 0)
        return false;
    rawSetFsGid(identity.gid);
    rawSetFsUid(identity.uid);
    return currentFsUid() == identity.uid && currentFsGid() == identity.gid;
}

AsSessionUser::AsSessionUser()
{
    if (!UserFileIdentity::needed())
        return;
    SessionAccount account;
    if (!UserFileIdentity::sessionAccount(&account)) {
        ok_ = false;
        error_ = ENOENT;
        return;
    }
    identity_ = new UserFileIdentity(account);
    if (!identity_->ok()) {
        ok_ = false;
        error_ = identity_->error();
        delete identity_;
        identity_ = nullptr;
    }
}

AsSessionUser::~AsSessionUser()
{
    delete identity_;
}
