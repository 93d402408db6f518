// UserFileIdentity: files that a root instance writes into the session user's own folders
// (settings, log, tabs, crash report) belong to that user, so that a later run without root can
// still read and replace them.
//
// While an object lives, the calling thread creates and opens files as the session user
// (setfsuid/setfsgid: the thread's file-system identity only; its other rights stay root's, and
// other threads are untouched). The destructor puts the thread's identity back. In a process
// that does not run as root for another user the object does nothing.
//
// giveToSessionUser hands an existing file that root created (QSettings' deferred write-back
// runs on the GUI thread outside any scope) to the session user: only a regular file with one
// link, owned by root, opened without following links.
#pragma once

#include <QString>
#include <sys/types.h>

class UserFileIdentity
{
public:
    UserFileIdentity();
    ~UserFileIdentity();
    UserFileIdentity(const UserFileIdentity&) = delete;
    UserFileIdentity& operator=(const UserFileIdentity&) = delete;

    // True when this thread now writes as the session user.
    bool isActive() const { return active_; }

    // Whether the process writes for another user (root started for a session user).
    static bool isNeeded();
    static uid_t sessionUid();
    // The session user's primary group (from the account database).
    static gid_t sessionGid();

    static bool giveToSessionUser(const QString& path);

private:
    bool active_ = false;
    uid_t oldUid_ = 0;
    gid_t oldGid_ = 0;
};
