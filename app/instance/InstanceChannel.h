// InstanceChannel: how the two instances of the program find and reach each other.
//
// Each instance's hidden message window is a local socket server named after the window
// title, in the session user's runtime folder:
//   <runtime folder>/<title>        the socket
//   <runtime folder>/<title>.lock   held (flock, exclusive) by the process that owns the title
// The lock makes two quick starts yield exactly one owner of a title; the owner removes a
// socket file left behind by a process that died, before it listens. A title counts as taken
// while its lock is held, even before its owner listens, so a second start waits for the
// socket instead of becoming a second main instance.
//
// Runtime folder: ShellEnvironment's override when set; else $XDG_RUNTIME_DIR when it is a
// real folder (not a link) owned by the session user (sessionUserId: the user a root instance
// was started for) with no access for group or others; else /run/user/<session uid> under
// the same checks; else, for a process that is not root, Qt's runtime location. A folder that
// fails the checks is not used (no messages then; a warning is logged).
//
// Every connection is checked with SO_PEERCRED in both directions: a sender only talks to a
// server run by root, by itself or by the session user, and the receiver gets the sender's
// process id and uid with each frame to decide whether to act on it (MessageListenWidget).
// Sending waits for the receiver's reply frame at most `timeoutMs`; posting only writes.
#pragma once

#include "app/instance/MessageFrame.h"

#include <QList>
#include <QString>
#include <sys/types.h>

class QLocalSocket;

// Titles of the two hidden message windows.
inline constexpr char kMainInstanceWindowName[] = "TallowquistPro-9EF18664-AD47-4D54-A1DE-59FB8E81DCFD";
inline constexpr char kUserInstanceWindowName[] = "TallowquistPro-F22A61EC-0F49-4E61-ABDB-24AD2BA6612D";

struct PeerCredentials
{
    qint64 pid = -1;
    qint64 uid = -1;
    qint64 gid = -1;
    bool isValid() const { return pid > 0 && uid >= 0; }
};

class InstanceChannel
{
public:
    static constexpr int kSendTimeoutMs = 3000;

    // The checked runtime folder; empty when none is usable.
    static QString runtimeFolder();
    // True when `path` is a folder (not a link) owned by `owner` without group or other access.
    static bool isPrivateFolder(const QString& path, uid_t owner);

    // Empty when there is no runtime folder.
    static QString socketPath(const QString& title);
    static QString lockPath(const QString& title);

    // The credentials of the process at the other end of a connected local socket.
    static PeerCredentials peerCredentials(qintptr socketDescriptor);
    // Root, this process's own user and the session user.
    static bool isTrustedUser(qint64 uid);

    // True when a process holds the title's lock (its owner is starting or running).
    static bool isTitleTaken(const QString& title);

    // Connects to the title's server and checks who runs it. Null when there is no live,
    // trusted server. The caller owns the socket.
    static QLocalSocket* connectTo(const QString& title, int timeoutMs, PeerCredentials* server = nullptr);

    // Whether an instance with this title runs. When its title is taken but it does not listen
    // yet, waits for it at most `waitMs`.
    static bool findInstance(const QString& title, int waitMs = 0, PeerCredentials* server = nullptr);

    // Sends one frame and waits for the reply: the receiver's result, or -1 when there is no
    // such instance, it is not trusted, or no reply came within `timeoutMs`.
    static qint32 send(const QString& title, quint32 id, const QByteArray& payload,
                       int timeoutMs = kSendTimeoutMs, PeerCredentials* server = nullptr);

    // Writes the frames, in order, over one connection without waiting for replies. True when
    // every byte was handed over.
    static bool post(const QString& title, const QList<MessageFrame>& frames,
                     int timeoutMs = kSendTimeoutMs, PeerCredentials* server = nullptr);
};
