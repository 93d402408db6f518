// FileDeletion: counting and permanently deleting files and folders with everything in them,
// on any thread, with progress and a way to stop, and an account of what was and was not
// deleted. The user interface runs it off the GUI thread (ui/common/DeleteJob).
//
// Rules:
// - Links are never followed: a link (to a folder or not) counts and goes as one file; a folder
//   is entered only through a descriptor opened without following links, relative to the
//   folder above it, so a link or a folder swapped in meanwhile never leads outside the tree.
// - A folder's entries are read whole before any of them is removed; the folder itself goes
//   last, once it is empty.
// - "/" is never deleted.
// - Counting: files (everything that is not a folder: links, devices, FIFOs too), folders
//   (the given folders included) and the bytes of the regular files. A folder that cannot be
//   read leaves the count incomplete (`complete` false), never fails it.
// - Deleting: `progress` is called with the number of entries removed so far (files and
//   folders): after every 64th entry, when 50 ms have passed since the last call, and once at
//   the end. Raising `stop` ends the work
//   at the next entry; what was deleted until then stays deleted (nothing can bring it back).
//   Each entry that could not be removed is reported with the system's reason; a folder that
//   keeps entries is not reported itself, its remaining entries are (the first 1000).
// - A root instance working for a session user deletes under that user's file identity
//   (UserFiles::run on the calling thread), so it deletes only what the user could delete.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>

namespace FileDeletion {

struct Totals
{
    qint64 files = 0;
    qint64 folders = 0;
    qint64 bytes = 0;
    bool complete = true;
    // Whether any of the given paths is a folder (not a link to one).
    bool anyFolder = false;

    qint64 entries() const { return files + folders; }
};

struct Failure
{
    QString path;
    QString reason;
};

struct Outcome
{
    // The given paths that no longer exist afterwards, in the given order.
    QStringList gone;
    // The given paths still there.
    QStringList kept;
    QList<Failure> failures;
    // Failures beyond the ones listed.
    qint64 moreFailures = 0;
    Totals deleted;
    bool stopped = false;
};

using Progress = std::function<void(qint64 removed)>;

Totals count(const QStringList& paths, const std::atomic<bool>& stop);
Outcome remove(const QStringList& paths, const std::atomic<bool>& stop, const Progress& progress = {});

} // namespace FileDeletion
