// ScriptedJournalReader: a change-journal reader that replays scripted batches (tests).
//
// A test appends batches of events, each with the USN that follows it; read(start, wait)
// delivers, in order, every batch whose end USN is above `start` (fileAdded / fileRenamed /
// fileDeleted / nameRemoved with the batch's end USN, then batchFinished), exactly as the real
// reader does; or, once a batch handler is set, each batch whole as a JournalBatch (a rename
// knows no old name; no folder carries a handle).
// With wait true it then blocks until more batches arrive or cancel() is called. failRead()
// makes the next read throw FileSearchException after the batches already queued, like a
// journal that lost records. Thread-safe: batches may be appended while read runs.
#pragma once

#include "search/index/IChangeJournalReader.h"

#include <QObject>
#include <QString>
#include <QVector>
#include <condition_variable>
#include <mutex>

struct ScriptedJournalEvent
{
    enum Kind { Added, Renamed, Deleted, NameRemoved };
    Kind kind = Added;
    FRN frn = 0;
    FRN parent = 0;
    QString name;
    bool isDir = false;

    static ScriptedJournalEvent added(FRN frn, FRN parent, const QString& name, bool isDir = false)
    { return {Added, frn, parent, name, isDir}; }
    static ScriptedJournalEvent renamed(FRN frn, FRN parent, const QString& name, bool isDir = false)
    { return {Renamed, frn, parent, name, isDir}; }
    static ScriptedJournalEvent deleted(FRN frn, bool isDir = false)
    { return {Deleted, frn, 0, QString(), isDir}; }
    // One name removed (the object goes with its last name).
    static ScriptedJournalEvent nameRemoved(FRN frn, FRN parent, const QString& name, bool isDir = false)
    { return {NameRemoved, frn, parent, name, isDir}; }
};

class ScriptedJournalReader : public QObject, public IChangeJournalReader
{
    Q_OBJECT
public:
    explicit ScriptedJournalReader(QObject* parent = nullptr);
    ~ScriptedJournalReader() override;

    // Appends one batch; `endUsn` must grow from batch to batch.
    void addBatch(const QVector<ScriptedJournalEvent>& events, USN endUsn);
    // The next read throws (after delivering the batches queued before this call).
    void failRead(const QString& message = QStringLiteral("Journal records are missing"));

    // Waits until a batch ending at or after `usn` was delivered (batchFinished returned), or
    // until `timeoutMs` passed; true when delivered.
    bool waitDelivered(USN usn, int timeoutMs = 5000);

    bool isCanceled() const;
    int readCalls() const;
    USN lastStart() const;   // the start USN of the last read call

    USN read(USN start, bool wait) override;
    bool cancel() override;
    bool setBatchHandler(JournalBatchHandler handler) override;
    // Whether a batch handler is in use (false: the signals).
    bool deliversBatches() const;

signals:
    void fileAdded(FRN frn, FRN parent, const QString& name, bool isDir, USN usn) override;
    void fileRenamed(FRN frn, FRN parent, const QString& name, bool isDir, USN usn) override;
    void fileDeleted(FRN frn, bool isDir, USN usn) override;
    void batchFinished(USN usn) override;
    void nameRemoved(FRN frn, FRN parent, const QString& name, bool isDir, USN usn) override;

private:
    struct Batch
    {
        QVector<ScriptedJournalEvent> events;
        USN endUsn;
        bool failure;
        QString message;
    };

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    JournalBatchHandler handler_;
    QVector<Batch> batches_;
    bool canceled_ = false;
    int readCalls_ = 0;
    USN lastStart_ = -1;
    USN delivered_ = -1;
};
