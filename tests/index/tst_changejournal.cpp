// The journal monitor over a scripted reader: forwarding, the resume-point contract, joining
// on stop, and the failure signal.
#include "search/index/ChangeJournal.h"
#include "tests/doubles/ScriptedJournalReader.h"
#include "core/Logger.h"
#include "indexlog.h"
#include "threadsafespy.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>

using E = ScriptedJournalEvent;

// A reader that also reports which name a rename left and the removal of one name: one batch,
// then it waits to be canceled.
class NamingReader : public QObject, public IChangeJournalReader
{
    Q_OBJECT
public:
    USN read(USN, bool) override
    {
        emit nameRenamed(5, 2, QStringLiteral("old"), 3, QStringLiteral("new"), false, 70);
        emit nameRemoved(5, 3, QStringLiteral("other"), false, 70);
        emit batchFinished(70);
        while (!canceled_)
            QThread::msleep(1); // polls the cancellation, as a blocked read waits for it
        return 70;
    }
    bool cancel() override
    {
        canceled_ = true;
        return true;
    }

signals:
    void fileAdded(FRN frn, FRN parent, const QString& name, bool isDir, USN usn) override;
    void fileRenamed(FRN frn, FRN parent, const QString& name, bool isDir, USN usn) override;
    void fileDeleted(FRN frn, bool isDir, USN usn) override;
    void batchFinished(USN usn) override;
    void nameRenamed(FRN frn, FRN oldParent, const QString& oldName, FRN parent, const QString& name, bool isDir,
                     USN usn) override;
    void nameRemoved(FRN frn, FRN parent, const QString& name, bool isDir, USN usn) override;

private:
    std::atomic<bool> canceled_{false};
};

class ChangeJournalTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir logDir_;

    // A scripted reader handed to the monitor, which owns it.
    static ScriptedJournalReader* attach(ChangeJournal& journal, const QString& volume = QStringLiteral("/vol"))
    {
        auto* reader = new ScriptedJournalReader;
        journal.setReader(volume, reader);
        return reader;
    }

private slots:
    void initTestCase()
    {
        Logger::instance(logDir_.filePath(QStringLiteral("test.log")));
    }

    // Records reach the slots in order, on the monitor thread named after the volume.
    void forwardsEventsInOrderWithoutUsn()
    {
        ChangeJournal journal;
        ScriptedJournalReader* reader = attach(journal, QStringLiteral("/media/backup"));
        reader->addBatch({E::added(5, 2, QStringLiteral("a")), E::renamed(5, 3, QStringLiteral("b"), false),
                          E::deleted(6, true)}, 100);
        QStringList log;
        connect(&journal, &ChangeJournal::fileAdded, this, [&](FRN f, FRN p, const QString& n, bool d) {
            log << QStringLiteral("add %1 %2 %3 %4 on %5").arg(f).arg(p).arg(n).arg(d).arg(QThread::currentThread()->objectName());
        }, Qt::DirectConnection);
        connect(&journal, &ChangeJournal::fileRenamed, this, [&](FRN f, FRN p, const QString& n, bool d) {
            log << QStringLiteral("ren %1 %2 %3 %4").arg(f).arg(p).arg(n).arg(d);
        }, Qt::DirectConnection);
        connect(&journal, &ChangeJournal::fileDeleted, this, [&](FRN f, bool d) {
            log << QStringLiteral("del %1 %2").arg(f).arg(d);
        }, Qt::DirectConnection);
        journal.start(10);
        QVERIFY(reader->waitDelivered(100));
        QCOMPARE(journal.stop(), USN(100));
        QCOMPARE(log, QStringList({"add 5 2 a 0 on MONITOR_backup", "ren 5 3 b 0", "del 6 1"}));
        QCOMPARE(reader->lastStart(), USN(10));
        QVERIFY(!journal.isRunning());
    }

    // Every rename is fileRenamed and then nameMoved, which names the name left where the
    // reader knows it; a removed name is forwarded as it came.
    void namesAreForwarded()
    {
        QStringList log;
        auto follow = [&](ChangeJournal& journal) {
            connect(&journal, &ChangeJournal::fileRenamed, this, [&](FRN f, FRN p, const QString& n, bool d) {
                log << QStringLiteral("ren %1 %2 %3 %4").arg(f).arg(p).arg(n).arg(d);
            }, Qt::DirectConnection);
            connect(&journal, &ChangeJournal::nameMoved, this,
                    [&](FRN f, FRN op, const QString& on, FRN p, const QString& n, bool d) {
                log << QStringLiteral("move %1 %2/%3 %4/%5 %6").arg(f).arg(op).arg(on).arg(p).arg(n).arg(d);
            }, Qt::DirectConnection);
            connect(&journal, &ChangeJournal::nameRemoved, this, [&](FRN f, FRN p, const QString& n, bool d) {
                log << QStringLiteral("rm %1 %2/%3 %4").arg(f).arg(p).arg(n).arg(d);
            }, Qt::DirectConnection);
        };
        {
            ChangeJournal journal;
            journal.setReader(QStringLiteral("/vol"), new NamingReader);
            follow(journal);
            journal.start(10);
            QTRY_COMPARE(journal.lastUsn(), USN(70));
            journal.stop();
        }
        QCOMPARE(log, QStringList({"ren 5 3 new 0", "move 5 2/old 3/new 0", "rm 5 3/other 0"}));
        log.clear();
        {
            // A reader without the name events: renames come with no old name.
            ChangeJournal journal;
            ScriptedJournalReader* reader = attach(journal);
            reader->addBatch({E::renamed(6, 4, QStringLiteral("x"), true)}, 20);
            follow(journal);
            journal.start(0);
            QVERIFY(reader->waitDelivered(20));
            journal.stop();
        }
        QCOMPARE(log, QStringList({"ren 6 4 x 1", "move 6 0/ 4/x 1"}));
    }

    // The resume point moves only when a whole batch has been applied.
    void resumePointMovesAfterTheWholeBatch()
    {
        ChangeJournal journal;
        ScriptedJournalReader* reader = attach(journal);
        QVector<USN> seenDuringEvents;
        connect(&journal, &ChangeJournal::fileAdded, this, [&](FRN, FRN, const QString&, bool) {
            seenDuringEvents.append(journal.lastUsn());
        }, Qt::DirectConnection);
        testutil::ThreadSafeSpy applied(&journal, &ChangeJournal::batchApplied);
        reader->addBatch({E::added(1, 2, "x"), E::added(3, 2, "y")}, 200);
        reader->addBatch({E::added(4, 2, "z")}, 300);
        reader->addBatch({E::added(9, 2, "old")}, 40);  // at or below the position: skipped
        journal.start(50);
        QVERIFY(reader->waitDelivered(300));
        QCOMPARE(seenDuringEvents, QVector<USN>({50, 50, 200}));
        QTRY_COMPARE(applied.size(), 2);
        QCOMPARE(applied[0][0].value<USN>(), USN(200));
        QCOMPARE(applied[1][0].value<USN>(), USN(300));
        QCOMPARE(journal.lastUsn(), USN(300));
        QCOMPARE(journal.stop(), USN(300));
    }

    // stop() always joins, even while an update slot is busy: nothing runs after it returns.
    void stopJoinsABusyMonitor()
    {
        ChangeJournal journal;
        ScriptedJournalReader* reader = attach(journal);
        std::atomic<int> inSlot{0}, done{0};
        connect(&journal, &ChangeJournal::fileAdded, this, [&](FRN, FRN, const QString&, bool) {
            inSlot = 1;
            QThread::msleep(100); // a slot that is busy for a while
            done.fetch_add(1);
        }, Qt::DirectConnection);
        reader->addBatch({E::added(1, 2, "slow")}, 10);
        journal.start(0);
        QTRY_COMPARE(inSlot.load(), 1);
        const USN usn = journal.stop();
        QCOMPARE(done.load(), 1);
        QVERIFY(!journal.isRunning());
        QCOMPARE(usn, USN(10));
        // A batch added after stop is never delivered.
        reader->addBatch({E::added(2, 2, "late")}, 20);
        QTest::qWait(20); // proves an absence
        QCOMPARE(done.load(), 1);
    }

    // stop() before start, after a start without batches (the start position), and the
    // destructor of a running monitor (cancels, joins and deletes the reader).
    void stopBeforeStartAndDestructorWhileRunning()
    {
        {
            ChangeJournal idle;
            QCOMPARE(idle.stop(), USN(0));  // no reader at all
            ScriptedJournalReader* reader = attach(idle);
            QCOMPARE(idle.stop(), USN(0));
            QVERIFY(reader->isCanceled());
        }
        {
            ChangeJournal journal;
            ScriptedJournalReader* reader = attach(journal);
            journal.start(77);
            QTRY_COMPARE(reader->readCalls(), 1);
            QVERIFY(journal.isRunning());
            QCOMPARE(journal.stop(), USN(77));
            QVERIFY(!journal.isRunning());
            QVERIFY(reader->isCanceled());
        }
        QPointer<ScriptedJournalReader> reader = new ScriptedJournalReader;
        {
            ChangeJournal running;
            running.setReader(QStringLiteral("/vol"), reader);
            running.start(5);
            QTRY_COMPARE(reader->readCalls(), 1);
        }  // must cancel, join and delete the reader
        QVERIFY(reader.isNull());
    }

    // A journal that cannot be read is reported (and logged) so the index is rebuilt.
    void failedReadIsReported()
    {
        ChangeJournal journal;
        ScriptedJournalReader* reader = attach(journal);
        testutil::ThreadSafeSpy failed(&journal, &ChangeJournal::journalFailed);
        testutil::ThreadSafeSpy applied(&journal, &ChangeJournal::batchApplied);
        reader->addBatch({E::added(1, 2, "kept")}, 10);
        reader->failRead(QStringLiteral("records before USN 10 are missing"));
        journal.start(0);
        QTRY_COMPARE(failed.size(), 1);
        QCOMPARE(failed[0][0].toString(), QStringLiteral("/vol"));
        QVERIFY(failed[0][1].toString().contains(QStringLiteral("records before USN 10 are missing")));
        QTRY_VERIFY(!journal.isRunning());
        QCOMPARE(applied.size(), 1);
        QCOMPARE(journal.stop(), USN(10));
        QVERIFY(indexLogText().contains(QStringLiteral("\tERROR\tChangeJournal\tJournal of /vol failed: ")));
    }

    void stopFromAFailureHandlerDoesNotDeadlock()
    {
        ChangeJournal journal;
        ScriptedJournalReader* reader = attach(journal);
        std::atomic<int> handled{0};
        connect(&journal, &ChangeJournal::journalFailed, this, [&] {
            journal.stop();
            handled = 1;
        }, Qt::DirectConnection);
        reader->failRead();
        journal.start(0);
        QTRY_COMPARE(handled.load(), 1);
        QTRY_VERIFY(!journal.isRunning());
        QCOMPARE(journal.stop(), USN(0));
    }
};

QTEST_GUILESS_MAIN(ChangeJournalTest)
#include "tst_changejournal.moc"
