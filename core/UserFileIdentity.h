// UserFileIdentity: makes the calling thread act on files as another user.
//
// A root instance works for one session user (started through pkexec or sudo, see
// sessionUserId), and that user controls every path in their home, their runtime folder and
// any name they could create in /tmp. A path there may be swapped for a link or another folder
// at any moment, so root must never resolve such a path, nor create, write, rename, remove or
// change anything through it, with root's own identity. While a UserFileIdentity lives, the
// calling thread's whole file identity is the user's:
// - the file-system uid and gid (setfsuid/setfsgid, kept per thread by Linux), which also
//   takes away the file capabilities (reading and writing past permissions, chown, ...) for as
//   long as the fs uid is not 0;
// - the supplementary groups: root's own groups would otherwise still open files of those
//   groups. They are set through the raw system call, which changes only the calling thread
//   (glibc's setgroups changes every thread of the process).
// The previous identity comes back when the object is destroyed. A path is then resolved,
// from its first component to its last, with the user's permissions: a link planted there
// leads only where the user could go anyway, and anything created belongs to the user.
//
// Rules for the scope (the identity is the thread's, so it must never reach other work):
// - hold it only around straight-line file operations: never run an event loop, wait for a
//   QFuture or a thread pool, or call back into arbitrary code inside it (a waiting thread may
//   run queued work itself);
// - a switch that fails must refuse the operation, never fall back to root: check ok().
// Scopes may nest on one thread; each restores what it found.
//
// Nothing here writes to the log (the settings store uses it before the log exists); the
// operations on paths in UserFiles.h do the logging.
#pragma once

#include <QByteArray>
#include <QString>

#include <sys/types.h>
#include <vector>

// The account of a user, as the account database gives it.
struct SessionAccount
{
    uid_t uid = 0;
    gid_t gid = 0;
    std::vector<gid_t> groups; // every group of the account, the primary one included
    QByteArray name;
    QByteArray home;
    QByteArray shell;

    // Looks the account up by uid; false when it is unknown.
    static bool lookup(uid_t uid, SessionAccount* account);
};

// A thread's file identity in a form a signal handler can enter (no allocation).
struct RawFileIdentity
{
    static constexpr int kMaxGroups = 256;
    uid_t uid = 0;
    gid_t gid = 0;
    int groupCount = 0;
    gid_t groups[kMaxGroups] = {};
    bool valid = false;
};

class UserFileIdentity
{
public:
    // Switches the calling thread to the account's uid, gid and groups. Only root can switch; in
    // a process that is not root nothing changes and ok() is false.
    explicit UserFileIdentity(const SessionAccount& account);
    ~UserFileIdentity();

    UserFileIdentity(const UserFileIdentity&) = delete;
    UserFileIdentity& operator=(const UserFileIdentity&) = delete;

    // True while the thread acts as the account.
    bool ok() const { return active_; }
    // The error number of a failed switch (0 after a successful one).
    int error() const { return error_; }

    // Whether this process must act on the session user's paths as that user: it runs as root
    // (effective uid 0) for a session user other than root.
    static bool needed();
    // The session user's account (looked up once per session uid). False when it is unknown.
    static bool sessionAccount(SessionAccount* account);
    // The session user's uid, primary gid and home folder; false when the account is unknown.
    // Any output may be null.
    static bool sessionUser(uid_t* uid, gid_t* gid, QString* home = nullptr);

    // The session user's identity for enterRaw; invalid (valid false) when no switch is needed
    // or the account is unknown or has too many groups.
    static RawFileIdentity rawSessionIdentity();
    // Switches the calling thread to `identity` with raw system calls only (safe in a signal
    // handler). Nothing is restored: for a thread that is about to end the process. False (and
    // the thread keeps, or gets back, no more than it had) when a step fails.
    static bool enterRaw(const RawFileIdentity& identity);

    // The calling thread's file uid and gid as the kernel has them now.
    static uid_t currentFsUid();
    static gid_t currentFsGid();

private:
    bool active_ = false;
    int error_ = 0;
    uid_t previousUid_ = 0;
    gid_t previousGid_ = 0;
    std::vector<gid_t> previousGroups_;
};

// The scope every file operation of a root instance on a path of its session user runs in:
// the session user's identity when UserFileIdentity::needed(), else nothing at all (a user
// instance, or root working for root, acts on its own files). ok() is false only when a switch
// was needed and failed (or the account is unknown): the operation must then be refused.
class AsSessionUser
{
public:
    AsSessionUser();
    ~AsSessionUser();

    AsSessionUser(const AsSessionUser&) = delete;
    AsSessionUser& operator=(const AsSessionUser&) = delete;

    bool ok() const { return ok_; }
    // True when the thread's identity was switched.
    bool switched() const { return identity_ != nullptr; }
    int error() const { return error_; }

private:
    UserFileIdentity* identity_ = nullptr;
    bool ok_ = true;
    int error_ = 0;
};
