// UserFileIdentity: makes the calling thread create and change files as another user.
//
// A root instance started for a session user (pkexec, sudo) writes some files into that user's
// home (the autostart entry, settings, the log). Written as root they would belong to root, and
// the user's own later runs could no longer change them; a root-owned folder such as
// ~/.config/autostart even breaks the user's other programs. While an object of this class
// lives, the file-system uid and gid of the calling thread (setfsuid/setfsgid, which Linux keeps
// per thread) are the user's, so every file and folder the thread creates belongs to the user
// and is checked against the user's permissions; the previous identity comes back when the
// object is destroyed. The object belongs to the thread that made it.
//
// SessionUserFiles switches only in a root process started for another user (effective uid 0,
// sessionUserId not 0); otherwise it does nothing, and files are written as usual.
#pragma once

#include <QString>

#include <sys/types.h>

class UserFileIdentity
{
public:
    // Switches to `uid` and `gid` (only when the process runs as root).
    UserFileIdentity(uid_t uid, gid_t gid);
    ~UserFileIdentity();

    UserFileIdentity(const UserFileIdentity&) = delete;
    UserFileIdentity& operator=(const UserFileIdentity&) = delete;

    // True while the thread writes as the other user.
    bool isActive() const { return active_; }

    // The session user's uid, primary gid and home folder (from the account database); false
    // when the account is unknown. Any output may be null.
    static bool sessionUser(uid_t* uid, gid_t* gid, QString* home = nullptr);

private:
    bool active_ = false;
    uid_t previousUid_ = 0;
    gid_t previousGid_ = 0;
};

// Holds a UserFileIdentity for the session user when this is a root instance started for
// another user; otherwise nothing.
class SessionUserFiles
{
public:
    SessionUserFiles();
    ~SessionUserFiles();

    SessionUserFiles(const SessionUserFiles&) = delete;
    SessionUserFiles& operator=(const SessionUserFiles&) = delete;

    bool isActive() const { return identity_ != nullptr; }

private:
    UserFileIdentity* identity_ = nullptr;
};
