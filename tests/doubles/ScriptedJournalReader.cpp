#include "tests/doubles/ScriptedJournalReader.h"
#include "core/FileSearchException.h"

#include <chrono>

namespace {

// The events of a scripted batch as the real reader hands them over.
JournalBatch toJournalBatch(const QVector<ScriptedJournalEvent>& events, USN endUsn)
{
    JournalBatch batch;
    for (const ScriptedJournalEvent& e : events) {
        JournalBatch::Record r;
        r.frn = e.frn;
        r.parent = e.parent;
        r.isDir = e.isDir;
        const QByteArray name = fileNameToBytes(e.name);
        r.name = batch.put(name.constData(), std::size_t(name.size()));
        r.nameLength = quint16(name.size());
        switch (e.kind) {
        case ScriptedJournalEvent::Added:
            r.reason = JournalBatch::FileCreate;
            break;
        case ScriptedJournalEvent::Renamed:
            r.reason = JournalBatch::RenameNewName;
            break;
        case ScriptedJournalEvent::Deleted:
            r.reason = JournalBatch::FileDelete;
            break;
        case ScriptedJournalEvent::NameRemoved:
            r.reason = JournalBatch::NameRemoved;
            break;
        }
        r.reason |= JournalBatch::Close;
        batch.records.push_back(r);
    }
    batch.endUsn = endUsn;
    return batch;
}

} // namespace

ScriptedJournalReader::ScriptedJournalReader(QObject* parent) : QObject(parent) {}

ScriptedJournalReader::~ScriptedJournalReader() = default;

// Waiters are notified under the lock: a reader that sees a failure or a cancel may end and be
// destroyed by its owner at once, and must not take the condition variable with it while the
// notifying thread is still inside notify_all.

void ScriptedJournalReader::addBatch(const QVector<ScriptedJournalEvent>& events, USN endUsn)
{
    std::lock_guard<std::mutex> g(mutex_);
    batches_.append(Batch{events, endUsn, false, QString()});
    changed_.notify_all();
}

void ScriptedJournalReader::failRead(const QString& message)
{
    std::lock_guard<std::mutex> g(mutex_);
    batches_.append(Batch{{}, 0, true, message});
    changed_.notify_all();
}

bool ScriptedJournalReader::waitDelivered(USN usn, int timeoutMs)
{
    std::unique_lock<std::mutex> g(mutex_);
    return changed_.wait_for(g, std::chrono::milliseconds(timeoutMs), [&] { return delivered_ >= usn; });
}

bool ScriptedJournalReader::isCanceled() const
{
    std::lock_guard<std::mutex> g(mutex_);
    return canceled_;
}

int ScriptedJournalReader::readCalls() const
{
    std::lock_guard<std::mutex> g(mutex_);
    return readCalls_;
}

USN ScriptedJournalReader::lastStart() const
{
    std::lock_guard<std::mutex> g(mutex_);
    return lastStart_;
}

USN ScriptedJournalReader::read(USN start, bool wait)
{
    USN position = start;
    int index = 0;
    std::unique_lock<std::mutex> g(mutex_);
    ++readCalls_;
    lastStart_ = start;
    for (;;) {
        if (canceled_)
            return position;
        if (index < batches_.size()) {
            const Batch batch = batches_.at(index++);
            if (batch.failure)
                throw FileSearchException(batch.message, QStringLiteral("ScriptedJournalReader"), __LINE__);
            if (batch.endUsn <= position)
                continue;
            g.unlock();
            if (handler_) {
                handler_(toJournalBatch(batch.events, batch.endUsn));
                position = batch.endUsn;
                g.lock();
                delivered_ = position;
                changed_.notify_all();
                continue;
            }
            for (const ScriptedJournalEvent& e : batch.events) {
                switch (e.kind) {
                case ScriptedJournalEvent::Added:
                    emit fileAdded(e.frn, e.parent, e.name, e.isDir, batch.endUsn);
                    break;
                case ScriptedJournalEvent::Renamed:
                    emit fileRenamed(e.frn, e.parent, e.name, e.isDir, batch.endUsn);
                    break;
                case ScriptedJournalEvent::Deleted:
                    emit fileDeleted(e.frn, e.isDir, batch.endUsn);
                    break;
                case ScriptedJournalEvent::NameRemoved:
                    if (e.isDir)
                        emit fileDeleted(e.frn, true, batch.endUsn);
                    else
                        emit nameRemoved(e.frn, e.parent, e.name, false, batch.endUsn);
                    break;
                }
            }
            position = batch.endUsn;
            emit batchFinished(batch.endUsn);
            g.lock();
            delivered_ = position;
            changed_.notify_all();
            continue;
        }
        if (!wait)
            return position;
        changed_.wait(g, [&] { return canceled_ || index < batches_.size(); });
    }
}

bool ScriptedJournalReader::setBatchHandler(JournalBatchHandler handler)
{
    std::lock_guard<std::mutex> g(mutex_);
    handler_ = std::move(handler);
    return true;
}

bool ScriptedJournalReader::deliversBatches() const
{
    std::lock_guard<std::mutex> g(mutex_);
    return bool(handler_);
}

bool ScriptedJournalReader::cancel()
{
    std::lock_guard<std::mutex> g(mutex_);
    canceled_ = true;
    changed_.notify_all();
    return true;
}
