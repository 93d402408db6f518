#include "tests/doubles/ScriptedJournalBackend.h"
#include "core/FileSearchException.h"

ScriptedJournalBackend::ScriptedJournalBackend() = default;

ScriptedJournalBackend::~ScriptedJournalBackend() = default;

void ScriptedJournalBackend::setState(const QString& mountPoint, const JournalState& state)
{
    std::lock_guard<std::mutex> g(mutex_);
    states_.insert(mountPoint, state);
}

void ScriptedJournalBackend::refuseWatch(const QString& mountPoint)
{
    std::lock_guard<std::mutex> g(mutex_);
    refused_.insert(mountPoint);
}

ScriptedJournalReader* ScriptedJournalBackend::reader(const QString& mountPoint) const
{
    std::lock_guard<std::mutex> g(mutex_);
    return readers_.value(mountPoint).data();
}

QList<ScriptedJournalReader*> ScriptedJournalBackend::readers(const QString& mountPoint) const
{
    std::lock_guard<std::mutex> g(mutex_);
    QList<ScriptedJournalReader*> out;
    for (const QPointer<ScriptedJournalReader>& r : all_.value(mountPoint))
        if (r)
            out.append(r.data());
    return out;
}

IChangeJournalReader* ScriptedJournalBackend::createReader(const QString& mountPoint)
{
    std::lock_guard<std::mutex> g(mutex_);
    if (refused_.contains(mountPoint))
        throw MarkRefusedException(QStringLiteral("Failed to watch %1: Invalid cross-device link").arg(mountPoint),
                                   QStringLiteral("ScriptedJournalBackend"), __LINE__);
    if (!states_.contains(mountPoint))
        throw FileSearchException(QStringLiteral("No journal on %1").arg(mountPoint), QStringLiteral("ScriptedJournalBackend"), __LINE__);
    auto* reader = new ScriptedJournalReader;
    readers_.insert(mountPoint, reader);
    all_[mountPoint].append(reader);
    return reader;
}

JournalState ScriptedJournalBackend::queryState(const QString& mountPoint)
{
    std::lock_guard<std::mutex> g(mutex_);
    if (refused_.contains(mountPoint))
        throw MarkRefusedException(QStringLiteral("Failed to watch %1: Invalid cross-device link").arg(mountPoint),
                                   QStringLiteral("ScriptedJournalBackend"), __LINE__);
    auto it = states_.constFind(mountPoint);
    if (it == states_.constEnd())
        throw FileSearchException(QStringLiteral("No journal on %1").arg(mountPoint), QStringLiteral("ScriptedJournalBackend"), __LINE__);
    return it.value();
}
