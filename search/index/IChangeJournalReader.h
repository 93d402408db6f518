// IChangeJournalReader: reads a volume's change journal and reports what changed.
//
// read(start, wait) runs the read loop on the calling thread (the monitor thread) and reports
// each change through the event operations, which an implementation declares as Qt signals
// with these exact signatures (ChangeJournal connects them by their signature texts):
//   fileAdded(FRN,FRN,QString,bool,USN), fileRenamed(FRN,FRN,QString,bool,USN),
//   fileDeleted(FRN,bool,USN), batchFinished(USN).
//
// Batches: records are read in batches. Every event of a batch carries the USN that follows
// the whole batch, and after the last event of a batch the reader emits batchFinished with that
// USN. Resuming from that USN continues after the batch; resuming from an earlier event's USN
// is never needed, because the resume point is only ever taken from batchFinished.
//
// read returns the USN at which it stopped (the start USN when no batch was read) when it is
// canceled, or, with wait false, when no more records are available. It throws
// FileSearchException when the journal cannot be read (the start USN lies before the journal's
// first USN because records were lost, or the journal broke): the caller must then rebuild the
// index of the volume. cancel() may be called from any thread, also before read; it is sticky
// (a canceled reader is not restarted) and always lets a running read return promptly.
//
// Names of files with several (hard links): a reader that knows which name a rename left
// reports the rename as nameRenamed(FRN,FRN,QString,FRN,QString,bool,USN) (the object, the old
// parent and name, the new parent and name, the folder flag) instead of fileRenamed, and the
// removal of one name of a file that keeps others as nameRemoved(FRN,FRN,QString,bool,USN).
// These two are optional: a reader that does not declare them as signals never reports them,
// and ChangeJournal connects them only where they exist.
//
// Batches instead of signals: a reader that can hand over each batch whole takes a handler in
// setBatchHandler (returning true); read() then calls it once per batch (JournalBatch: the
// records with their names as bytes) on the reading thread and emits none of the event signals
// nor batchFinished. The handler has applied the batch when it returns. The default has no
// batches (false): ChangeJournal then connects the signals.
#pragma once

#include "platform/JournalBatch.h"
#include "search/index/NTFSUtils.h"

#include <QString>

#include <functional>

using JournalBatchHandler = std::function<void(const JournalBatch&)>;

class IChangeJournalReader
{
public:
    virtual ~IChangeJournalReader() {}
    virtual USN read(USN start, bool wait) = 0;
    // True: a running read will return promptly (always on Linux).
    virtual bool cancel() = 0;
    virtual void fileAdded(FRN frn, FRN parent, const QString& name, bool isDir, USN usn) = 0;
    virtual void fileRenamed(FRN frn, FRN parent, const QString& name, bool isDir, USN usn) = 0;
    virtual void fileDeleted(FRN frn, bool isDir, USN usn) = 0;
    virtual void batchFinished(USN usn) = 0;
    virtual void nameRenamed(FRN, FRN, const QString&, FRN, const QString&, bool, USN) {}
    virtual void nameRemoved(FRN, FRN, const QString&, bool, USN) {}
    // Before read(): batches go to `handler` (see above); false when the reader has none.
    virtual bool setBatchHandler(JournalBatchHandler handler)
    {
        (void)handler;
        return false;
    }
};
