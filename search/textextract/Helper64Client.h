// Helper64Client: the program's side of the helper program "helper64", which hosts the
// document filters listed in "ifilters64.reg" (external converters run as child processes).
//
// The client starts the helper with exactly three arguments (pipe id, log folder, working
// folder), accepts its connection on the local socket of the pipe id (Helper64Thread) and
// sends it one request at a time (Helper64Protocol): "CONVERT", "GET_IFILTERS", "EXIT".
//
// States (State): NotStarted, Running (connected), Hung. Only ensureRunning restarts a hung
// helper; the file search calls it before each round of content checks.
//
// Linux decisions and mended faults:
// - The helper is used when the executable "helper64" stands beside our own (isWow64()); it is
//   started from that folder (Linux has no "program folder first" search order).
// - The helper is started as our own child (ChildProcess: standard output on /dev/null,
//   standard error inherited) in a process group of its own, and ended by its process id
//   (SIGKILL to its group, so a converter program it runs ends too; then reaped), never by
//   name. Its connection is a socket pair whose other end is its standard input (see
//   Helper64Protocol): no socket file, no name anybody could take first.
// - A root instance runs the helper as its session user (ChildProcess does that for every
//   program of a root instance), so no document parser of the helper runs as root; it still
//   reads root's documents, whose descriptors come with the requests. That user cannot enter
//   root's working folder, so the helper writes into a private folder made as that user in the
//   temporary folder ("tallowquist-pro-helper-XXXXXX", removed with the client); each text file
//   it names is read from there as the user (regular files directly in that folder only), copied
//   into our working folder (at most the bound of one conversion's text) and removed.
// - A failed write, the end of the connection or the exit of the helper marks it hung (2),
//   so the next ensureRunning restarts it; otherwise a helper that died between requests
//   would stay "running" for ever with every write failing.
// - start and ensureRunning hold the same lock as the exchanges, so two restarts never
//   overlap and no exchange runs while the helper is replaced.
// - The waits block the calling thread on a wait condition (no nested event loop on the GUI
//   thread); a time-out of a write or a read marks the helper hung as before.
// - "CONVERT" hands the helper the document as an open descriptor (a copy of the ContentFile's,
//   sent with the request, Helper64Protocol): the helper never opens the document's path.
// - A "CONVERT" reply is accepted only when it names a regular file (not a link) directly in
//   the helper's folder; anything else is logged and gives an empty result.
// - The "GET_IFILTERS" reply is parsed without reading past its last line.
// - A conversion whose search was cancelled while it waited for its turn is not sent, so a
//   cancelled search does not leave a queue of conversions behind it.
// - Every request that may wait for its turn (the exchanges run one at a time, each up to the
//   helper's time limit) has a form taking the request's cancel flag: convert, getIFilters and
//   ensureRunning poll it while they wait for the lock and give up (empty, false) as soon as it
//   is raised, so cancelling a search (which waits for the search's threads) never waits for
//   another search's conversion. A restart given up that way also stops waiting for the new
//   helper to connect; the helper stays hung, so the next ensureRunning tries again. An exchange
//   already sent is not broken off: its reply is read as usual (leaving it unread would pair
//   the next request with this reply).
// - Lifetime: every call must have returned before the client is destroyed (the destructor
//   takes the same lock, and a caller still waiting for it would touch a destroyed lock). The
//   owner (FileSearcher) cancels every search and waits for its threads before it deletes the
//   client; with the cancel flags raised, those waits end promptly.
#pragma once

#include "core/IFilterInfo.h"

#include <QMutex>
#include <QString>
#include <atomic>
#include <list>
#include <memory>
#include <string>

#include <sys/types.h>

class ChildProcess;
class ContentFile;
class Helper64Thread;

class Helper64Client
{
public:
    // The helper beside the executable, when there is one; otherwise the client stays
    // NotStarted and every request fails.
    explicit Helper64Client(const QString& workFolder);
    // A given helper program and wait (milliseconds) for every pipe operation.
    Helper64Client(const QString& workFolder, const QString& helperProgram, int waitMs = 60000);
    ~Helper64Client();

    Helper64Client(const Helper64Client&) = delete;
    Helper64Client& operator=(const Helper64Client&) = delete;

    void start();
    // The helper's text of `document` (a text file's path, "TIMEOUT" or empty). A request
    // cancelled while it waits for its turn (the exchanges run one at a time, each up to the
    // helper's time limit) returns empty without being sent.
    std::wstring convert(const ContentFile& document, const bool* cancelFlag = nullptr);
    std::list<IFilterInfo> getIFilters();
    // The same; empty without asking when `cancelFlag` is raised while it waits for its turn.
    std::list<IFilterInfo> getIFilters(const bool* cancelFlag);
    bool ensureRunning();
    // The same; false when `cancelFlag` is raised before the restart is done (while it waits
    // for its turn or for the new helper to connect).
    bool ensureRunning(const bool* cancelFlag);

    enum class State { NotStarted, Running, Hung };
    State currentState() const { return state.load(); }
    // Process id of the running helper, 0 when there is none.
    qint64 helperPid() const;

    // True when `reply` is a regular file (not a link) directly inside `workFolder`.
    static bool acceptReplyPath(const QString& reply, const QString& workFolder);

private:
    // Takes `mutex`, polling `cancelFlag` meanwhile; false (not locked) when it was raised.
    bool lockUnlessCanceled(const bool* cancelFlag);
    void startLocked(const bool* cancelFlag = nullptr);
    // Hands the pipe thread our end of the connection (owned by it from then on).
    bool connectPipe(int descriptor, const QString& pipeId, const bool* cancelFlag);
    // The text file a "CONVERT" reply names, as a file of our working folder; empty when the
    // reply is refused.
    QString takeReplyFile(const QString& reply) const;
    // `descriptor` (owned, -1 for none) is sent with the text.
    bool writePipe(const QString& text, int descriptor = -1);
    bool readPipe(QString* reply);
    // One request and its reply, with `mutex` held: a helper that has exited, a request that
    // cannot be sent ("Failed to send <name>" logged) or a reply that cannot be read marks it
    // hung (2) and gives false.
    // `descriptor` (owned, -1 for none) is sent with the request.
    bool exchange(const QString& request, const char* name, QString* reply, int descriptor = -1);
    bool helperExited();
    void endProcess();
    void stopThread();

    QString workFolder;
    QString helperFolder; // where the helper writes its text files (see the header)
    std::atomic<State> state{State::NotStarted};
    std::unique_ptr<ChildProcess> child; // the helper, none when empty (guarded by mutex)
    Helper64Thread* thread = nullptr;
    mutable QMutex mutex;
    QString currentFile;
    QString helperProgram;
    int waitMs;
};
