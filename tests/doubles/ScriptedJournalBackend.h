// ScriptedJournalBackend: a journal backend for tests.
//
// Each mount point gets a scripted journal state (id, first USN, next USN), which
// queryJournalData returns while the backend is installed (JournalBackend::setInstance; tests
// install it with testutil::ScopedInstance, tests/common/scopedinstance.h), and
// every createReader hands out a new ScriptedJournalReader, which the test can reach through
// reader(). A mount point without a scripted state makes both calls throw, like a volume whose
// journal cannot be set up.
//
//   ScriptedJournalBackend journal;
//   const testutil::ScopedInstance<JournalBackend> installed(&journal);
//   journal.setState("/mnt/v", {0x1234, 0, 100});
//   ... create the index ...; journal.reader("/mnt/v")->addBatch({...}, 200);
#pragma once

#include "search/index/JournalBackend.h"
#include "tests/doubles/ScriptedJournalReader.h"

#include <QMap>
#include <QPointer>
#include <QSet>
#include <mutex>

class ScriptedJournalBackend : public JournalBackend
{
public:
    ScriptedJournalBackend();
    ~ScriptedJournalBackend() override;

    void setState(const QString& mountPoint, const JournalState& state);
    // The journal of the mount point is refused as a file system's watch is (a btrfs subvolume
    // mount): both calls throw MarkRefusedException.
    void refuseWatch(const QString& mountPoint);

    // The reader created last for the mount point, or null (also when it was deleted).
    ScriptedJournalReader* reader(const QString& mountPoint) const;
    // Every reader created for the mount point that still exists, oldest first.
    QList<ScriptedJournalReader*> readers(const QString& mountPoint) const;

    IChangeJournalReader* createReader(const QString& mountPoint) override;
    JournalState queryState(const QString& mountPoint) override;

private:
    mutable std::mutex mutex_;
    QMap<QString, JournalState> states_;
    QSet<QString> refused_;
    QMap<QString, QPointer<ScriptedJournalReader>> readers_;
    QMap<QString, QList<QPointer<ScriptedJournalReader>>> all_;
};
