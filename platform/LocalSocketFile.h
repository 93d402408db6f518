// LocalSocketFile: puts a local socket server's file in a folder safely, also for a root
// process working in a folder that the session user owns (their runtime folder).
//
// QLocalServer's access options bind in a temporary folder beside the socket and then change
// modes, rename and remove that folder by name: in a folder another user can change, that
// user can swap the temporary folder for a link meanwhile and make the process change the
// mode of, or empty, a folder of their choice. Here the socket is bound directly at its name
// instead, and everything else goes through descriptors:
// - the folder is opened (O_PATH, its last component not followed) and must be a real folder
//   owned by this process's user or the session user, not writable by group or others;
// - an old socket or link at the name is removed relative to that folder; any other file
//   there is left alone and the listen is refused;
// - after binding, the socket is looked up relative to the opened folder: it must be a socket
//   owned by the calling thread's file identity with one name, the same file the path names now (a folder
//   swapped during the bind is caught here), and its mode is set through a descriptor of the
//   socket itself (O_PATH, /proc/self/fd), so no mode is ever changed through a path.
// On refusal the server is closed again and `why` says what was wrong.
#pragma once

#include <QString>
#include <sys/types.h>

class QLocalServer;

namespace LocalSocketFile {

// Listens on `server` at `path` with the socket's mode set to `mode` (0600: its owner only). A
// root instance listening in its session user's runtime folder calls it as that user
// (UserFiles::run), so the socket is the user's. False, with `why` set,
// when the folder or the name is refused or the listen fails.
bool listen(QLocalServer* server, const QString& path, mode_t mode, QString* why = nullptr);

} // namespace LocalSocketFile
