// ThreadSafeSpy: records the emissions of one signal, like QSignalSpy, when the signal is
// emitted on another thread while the test thread reads the record (QSignalSpy appends on the
// emitting thread without a lock, so reading it meanwhile is a data race).
//
//   testutil::ThreadSafeSpy rebuilt(db.get(), &NTFSDriveDB::rebuilt);
//   QTRY_COMPARE(rebuilt.count(), 1);
//   QCOMPARE(rebuilt.at(0).at(0).toBool(), true);
#pragma once

#include <QList>
#include <QObject>
#include <QVariant>

#include <mutex>
#include <type_traits>

namespace testutil {

class ThreadSafeSpy
{
public:
    template <class Sender, class... Args>
    ThreadSafeSpy(const Sender* sender, void (Sender::*signal)(Args...))
    {
        QObject::connect(
            sender, signal, &context_,
            [this](Args... args) {
                // Built and dropped under the lock, so no reference of the emitting thread
                // outlives it (the test may destroy the record as soon as it sees the call).
                std::lock_guard<std::mutex> g(mutex_);
                calls_.append(QVariantList{QVariant::fromValue(std::decay_t<Args>(args))...});
            },
            Qt::DirectConnection);
    }

    ThreadSafeSpy(const ThreadSafeSpy&) = delete;
    ThreadSafeSpy& operator=(const ThreadSafeSpy&) = delete;

    int count() const
    {
        std::lock_guard<std::mutex> g(mutex_);
        return calls_.size();
    }
    int size() const { return count(); }
    bool isEmpty() const { return count() == 0; }

    // The arguments of emission `i` (a copy).
    QVariantList at(int i) const
    {
        std::lock_guard<std::mutex> g(mutex_);
        return calls_.at(i);
    }
    QVariantList operator[](int i) const { return at(i); }

private:
    QObject context_;
    mutable std::mutex mutex_;
    QList<QVariantList> calls_;
};

} // namespace testutil
