// The fanotify change journal on a tmpfs mounted in a private mount namespace (root only).
#include "platform/FanotifyJournal.h"
#include "testutil.h"

#include "core/FileSearchException.h"

#include <QDir>
#include <QProcess>
#include <QMap>
#include <QPair>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

struct Seen
{
    Seen(quint32 reason_, quint64 inode_, quint64 parent_, bool isDir_, const QByteArray& name_, quint64 oldParent_ = 0,
         const QByteArray& oldName_ = QByteArray())
        : reason(reason_), inode(inode_), parent(parent_), isDir(isDir_), name(name_), oldParent(oldParent_),
          oldName(oldName_)
    {
    }
    quint32 reason;
    quint64 inode;
    quint64 parent;
    bool isDir;
    QByteArray name;
    quint64 oldParent;
    QByteArray oldName;
};

// The records of a batch.
QVector<Seen> seenOf(const JournalBatch& batch)
{
    QVector<Seen> out;
    for (const JournalBatch::Record& r : batch.records)
        out.append(Seen{r.reason, r.frn, r.parent, r.isDir, QByteArray(batch.at(r.name), r.nameLength), r.oldParent,
                        QByteArray(batch.at(r.oldName), r.oldNameLength)});
    return out;
}

// The names of objects after records are applied in order, as an index applies them: "inode:
// parent/name" for every name.
struct Applied
{
    QMap<quint64, QSet<QPair<quint64, QByteArray>>> names;
    void apply(const QVector<Seen>& records)
    {
        for (const Seen& s : records) {
            if (s.reason & FanotifyJournal::ReasonFileCreate)
                names[s.inode].insert({s.parent, s.name});
            if (s.reason & FanotifyJournal::ReasonRenameNewName) {
                if (!s.oldName.isEmpty() && names.contains(s.inode))
                    names[s.inode].remove({s.oldParent, s.oldName});
                else
                    names[s.inode].clear();
                names[s.inode].insert({s.parent, s.name});
            }
            if (s.reason & FanotifyJournal::ReasonNameRemoved) {
                names[s.inode].remove({s.parent, s.name});
                if (names[s.inode].isEmpty())
                    names.remove(s.inode);
            }
            if (s.reason & FanotifyJournal::ReasonFileDelete)
                names.remove(s.inode);
        }
    }
    QStringList text() const
    {
        QStringList out;
        for (auto it = names.constBegin(); it != names.constEnd(); ++it)
            for (const auto& n : it.value())
                out << QStringLiteral("%1:%2/%3").arg(it.key()).arg(n.first).arg(QString::fromUtf8(n.second));
        out.sort();
        return out;
    }
};

quint64 inodeOf(const QByteArray& path)
{
    struct stat st;
    return ::lstat(path.constData(), &st) == 0 ? quint64(st.st_ino) : 0;
}

} // namespace

class FanotifyJournalTest : public QObject
{
    Q_OBJECT

private:
    QByteArray root_;
    QTemporaryDir* holder_ = nullptr;
    int mounts_ = 0;

    // A fresh tmpfs for one test, so that journals do not see each other's events.
    QByteArray freshVolume()
    {
        const QByteArray path = root_ + "/v" + QByteArray::number(++mounts_);
        ::mkdir(path.constData(), 0755);
        if (::mount("tmpfs", path.constData(), "tmpfs", 0, "size=64m") != 0)
            return QByteArray();
        return path;
    }

    // Everything the journal holds after `from`, in order.
    static QVector<Seen> readAll(FanotifyJournal& j, qint64 from, qint64* next = nullptr)
    {
        QVector<Seen> seen;
        FanotifyJournal::ReadContext ctx;
        qint64 pos = from;
        for (;;) {
            JournalBatch out;
            qint64 n = pos;
            const auto status = j.read(pos, false, ctx, out, &n);
            if (status != FanotifyJournal::ReadStatus::Records)
                break;
            seen += seenOf(out);
            pos = n;
        }
        if (next)
            *next = pos;
        return seen;
    }

    // The status of one non-blocking read at `from`.
    static FanotifyJournal::ReadStatus readOnce(FanotifyJournal& j, qint64 from)
    {
        JournalBatch out;
        FanotifyJournal::ReadContext ctx;
        qint64 next = 0;
        return j.read(from, false, ctx, out, &next);
    }

    // One record as "reason inode parent isDir name" for whole-record comparisons.
    static QString text(const Seen& s)
    {
        return QStringLiteral("%1 %2 %3 %4 %5").arg(s.reason, 0, 16).arg(s.inode).arg(s.parent).arg(s.isDir)
            .arg(QString::fromUtf8(s.name));
    }

private slots:
    void initTestCase()
    {
        if (!testutil::isRoot())
            QSKIP("needs root (fanotify, private mount namespace)");
        TQ_ENTER_PRIVATE_MOUNTS();
        holder_ = new QTemporaryDir;
        QVERIFY(holder_->isValid());
        root_ = QFile::encodeName(holder_->path());
    }

    void cleanupTestCase()
    {
        if (!holder_)
            return;
        for (int i = 1; i <= mounts_; ++i)
            ::umount2((root_ + "/v" + QByteArray::number(i)).constData(), MNT_DETACH);
        delete holder_;
    }

    void recordsOfSimpleChanges()
    {
        const QByteArray v = freshVolume();
        QVERIFY(!v.isEmpty());
        auto j = FanotifyJournal::acquire(QString::fromUtf8(v));
        const qint64 start = j->state().nextUsn;
        QVERIFY(::mkdir((v + "/d").constData(), 0755) == 0);
        QVERIFY(writeFile(v + "/d/a"));
        QVERIFY(j->waitUntilDrained(5000));
        qint64 next = 0;
        QVector<Seen> seen = readAll(*j, start, &next);
        const quint32 create = FanotifyJournal::ReasonFileCreate | FanotifyJournal::ReasonClose;
        QCOMPARE(seen.size(), 2);
        QCOMPARE(text(seen[0]), text(Seen{create, inodeOf(v + "/d"), inodeOf(v), true, "d"}));
        QCOMPARE(text(seen[1]), text(Seen{create, inodeOf(v + "/d/a"), inodeOf(v + "/d"), false, "a"}));
        QCOMPARE(next, j->state().nextUsn);

        // Rename within the folder, then delete.
        const quint64 a = inodeOf(v + "/d/a");
        QVERIFY(::rename((v + "/d/a").constData(), (v + "/d/b").constData()) == 0);
        QVERIFY(j->waitUntilDrained(5000));
        seen = readAll(*j, next, &next);
        QCOMPARE(seen.size(), 1);
        QCOMPARE(text(seen[0]), text(Seen{FanotifyJournal::ReasonRenameNewName | FanotifyJournal::ReasonClose, a,
                                          inodeOf(v + "/d"), false, "b"}));
        // A deletion: the object's deletion and the name's removal (the kernel reports the
        // object first when nothing holds it open).
        QVERIFY(::unlink((v + "/d/b").constData()) == 0);
        QVERIFY(j->waitUntilDrained(5000));
        seen = readAll(*j, next, &next);
        QCOMPARE(seen.size(), 2);
        QStringList both = {text(seen[0]), text(seen[1])};
        both.sort();
        QCOMPARE(both, QStringList({text(Seen{FanotifyJournal::ReasonFileDelete | FanotifyJournal::ReasonClose, a, 0, false, ""}),
                                    text(Seen{FanotifyJournal::ReasonNameRemoved | FanotifyJournal::ReasonClose, a,
                                              inodeOf(v + "/d"), false, "b"})}));
    }

    // A file removed while a process holds it open: the name's removal comes at once, the
    // object's deletion only when the process lets go.
    void removedWhileOpen()
    {
        const QByteArray v = freshVolume();
        QVERIFY(!v.isEmpty());
        QVERIFY(writeFile(v + "/held"));
        const quint64 held = inodeOf(v + "/held");
        auto j = FanotifyJournal::acquire(QString::fromUtf8(v));
        qint64 pos = j->state().nextUsn;
        const int fd = ::open((v + "/held").constData(), O_RDONLY | O_CLOEXEC);
        QVERIFY(fd >= 0);
        QVERIFY(::unlink((v + "/held").constData()) == 0);
        QVERIFY(j->waitUntilDrained(5000));
        QVector<Seen> seen = readAll(*j, pos, &pos);
        QCOMPARE(seen.size(), 1);
        QCOMPARE(text(seen[0]), text(Seen{FanotifyJournal::ReasonNameRemoved | FanotifyJournal::ReasonClose, held,
                                          inodeOf(v), false, "held"}));
        ::close(fd);
        QVERIFY(j->waitUntilDrained(5000));
        seen = readAll(*j, pos, &pos);
        QCOMPARE(seen.size(), 1);
        QCOMPARE(seen[0].reason, quint32(FanotifyJournal::ReasonFileDelete | FanotifyJournal::ReasonClose));
    }

    // A folder moved with its descendants is one rename record; a rename over an existing file
    // renames the one and deletes the other.
    void renamesOfFoldersAndOverFiles()
    {
        const QByteArray v = freshVolume();
        QVERIFY(!v.isEmpty());
        QVERIFY(::mkdir((v + "/x").constData(), 0755) == 0);
        QVERIFY(::mkdir((v + "/x/y").constData(), 0755) == 0);
        QVERIFY(writeFile(v + "/x/y/f"));
        QVERIFY(::mkdir((v + "/w").constData(), 0755) == 0);
        QVERIFY(writeFile(v + "/a"));
        QVERIFY(writeFile(v + "/b"));
        const quint64 x = inodeOf(v + "/x"), a = inodeOf(v + "/a"), b = inodeOf(v + "/b");
        auto j = FanotifyJournal::acquire(QString::fromUtf8(v));
        qint64 pos = j->state().nextUsn;
        QVERIFY(::rename((v + "/x").constData(), (v + "/w/x2").constData()) == 0);
        QVERIFY(j->waitUntilDrained(5000));
        QVector<Seen> seen = readAll(*j, pos, &pos);
        QCOMPARE(seen.size(), 1);
        QCOMPARE(seen[0].reason & FanotifyJournal::ReasonRenameNewName, quint32(FanotifyJournal::ReasonRenameNewName));
        QCOMPARE(text(Seen{0, seen[0].inode, seen[0].parent, seen[0].isDir, seen[0].name}),
                 text(Seen{0, x, inodeOf(v + "/w"), true, "x2"}));

        QVERIFY(::rename((v + "/a").constData(), (v + "/b").constData()) == 0);
        QVERIFY(j->waitUntilDrained(5000));
        bool renamed = false, replacedDeleted = false;
        for (const Seen& s : readAll(*j, pos)) {
            renamed |= (s.reason & FanotifyJournal::ReasonRenameNewName) && s.inode == a && s.name == "b";
            replacedDeleted |= (s.reason & FanotifyJournal::ReasonFileDelete) && s.inode == b;
        }
        QVERIFY(renamed);
        QVERIFY(replacedDeleted);
    }

    void removeTreeDeletesEveryObject()
    {
        const QByteArray v = freshVolume();
        QVERIFY(!v.isEmpty());
        QSet<quint64> expected;
        QVERIFY(::mkdir((v + "/t").constData(), 0755) == 0);
        expected.insert(inodeOf(v + "/t"));
        for (int i = 0; i < 5; ++i) {
            const QByteArray d = v + "/t/d" + QByteArray::number(i);
            QVERIFY(::mkdir(d.constData(), 0755) == 0);
            expected.insert(inodeOf(d));
            for (int k = 0; k < 4; ++k) {
                QVERIFY(writeFile(d + "/f" + QByteArray::number(k)));
                expected.insert(inodeOf(d + "/f" + QByteArray::number(k)));
            }
        }
        auto j = FanotifyJournal::acquire(QString::fromUtf8(v));
        const qint64 start = j->state().nextUsn;
        QVERIFY(QDir(QFile::decodeName(v + "/t")).removeRecursively());
        QVERIFY(j->waitUntilDrained(5000));
        const QVector<Seen> seen = readAll(*j, start);
        QSet<quint64> deleted, unnamed;
        for (const Seen& s : seen) {
            if (s.reason == (FanotifyJournal::ReasonFileDelete | FanotifyJournal::ReasonClose))
                deleted.insert(s.inode);
            else if (s.reason == (FanotifyJournal::ReasonNameRemoved | FanotifyJournal::ReasonClose))
                unnamed.insert(s.inode);
            else
                QFAIL(qPrintable(text(s)));
        }
        QCOMPARE(deleted, expected);
        QCOMPARE(unnamed, expected);
        QCOMPARE(seen.size(), 2 * expected.size());
    }

    // fanotify merges events of one name into earlier ones, which moves them ahead: the records,
    // applied in order, still leave exactly what the directories hold (a creation merged with a
    // removal of the same name is checked against the directory).
    void mergedSequences()
    {
        const QByteArray v = freshVolume();
        QVERIFY(!v.isEmpty());
        auto j = FanotifyJournal::acquire(QString::fromUtf8(v));
        qint64 pos = j->state().nextUsn;
        Applied applied;

        // Create, rename away, rename back, unlink: nothing remains.
        QVERIFY(writeFile(v + "/a"));
        QVERIFY(::rename((v + "/a").constData(), (v + "/b").constData()) == 0);
        QVERIFY(::rename((v + "/b").constData(), (v + "/a").constData()) == 0);
        QVERIFY(::unlink((v + "/a").constData()) == 0);
        QVERIFY(j->waitUntilDrained(5000));
        applied.apply(readAll(*j, pos, &pos));
        QCOMPARE(applied.text(), QStringList());

        // Create, rename away and back: the name "c" holds it.
        QVERIFY(writeFile(v + "/c"));
        const quint64 c = inodeOf(v + "/c");
        QVERIFY(::rename((v + "/c").constData(), (v + "/e").constData()) == 0);
        QVERIFY(::rename((v + "/e").constData(), (v + "/c").constData()) == 0);
        QVERIFY(j->waitUntilDrained(5000));
        applied.apply(readAll(*j, pos, &pos));
        QCOMPARE(applied.text(), QStringList({QStringLiteral("%1:%2/c").arg(c).arg(inodeOf(v))}));

        // A name reused by another object, and a name removed and linked again (merged into
        // one event whose order only the directory tells).
        QVERIFY(writeFile(v + "/n"));
        QVERIFY(::unlink((v + "/n").constData()) == 0);
        QVERIFY(writeFile(v + "/n"));
        const quint64 second = inodeOf(v + "/n");
        QVERIFY(::link((v + "/n").constData(), (v + "/m").constData()) == 0);
        QVERIFY(::unlink((v + "/m").constData()) == 0);
        QVERIFY(::link((v + "/n").constData(), (v + "/m").constData()) == 0);
        QVERIFY(j->waitUntilDrained(5000));
        applied.apply(readAll(*j, pos, &pos));
        const quint64 root = inodeOf(v);
        QCOMPARE(applied.text(), QStringList({QStringLiteral("%1:%2/c").arg(c).arg(root),
                                              QStringLiteral("%1:%2/m").arg(second).arg(root),
                                              QStringLiteral("%1:%2/n").arg(second).arg(root)}));
        // And the other way round: linked, then the link removed again.
        QVERIFY(::unlink((v + "/m").constData()) == 0);
        QVERIFY(::link((v + "/n").constData(), (v + "/m").constData()) == 0);
        QVERIFY(::unlink((v + "/m").constData()) == 0);
        QVERIFY(j->waitUntilDrained(5000));
        applied.apply(readAll(*j, pos, &pos));
        QCOMPARE(applied.text(), QStringList({QStringLiteral("%1:%2/c").arg(c).arg(root),
                                              QStringLiteral("%1:%2/n").arg(second).arg(root)}));
    }

    // Renames of one object between the same two names merge in the kernel's queue: the later
    // rename back is delivered ahead of a rename away that came before it. Applied in order,
    // the records still leave what the directories hold: the folder and the file's name where
    // they are, the file's other name kept.
    void mergedRenamesLeaveWhatTheDirectoriesHold()
    {
        const QByteArray v = freshVolume();
        QVERIFY(!v.isEmpty());
        QVERIFY(::mkdir((v + "/d20").constData(), 0755) == 0);
        QVERIFY(::mkdir((v + "/sub").constData(), 0755) == 0);
        QVERIFY(writeFile(v + "/f"));
        QVERIFY(::link((v + "/f").constData(), (v + "/g").constData()) == 0);
        const quint64 root = inodeOf(v), sub = inodeOf(v + "/sub"), dir = inodeOf(v + "/d20"), f = inodeOf(v + "/f");
        auto j = FanotifyJournal::acquire(QString::fromUtf8(v));
        qint64 pos = j->state().nextUsn;
        Applied applied;
        applied.names[dir] = {{root, "d20"}};
        applied.names[f] = {{root, "f"}, {root, "g"}};

        auto mv = [&](const QByteArray& from, const QByteArray& to) {
            return ::rename((v + from).constData(), (v + to).constData()) == 0;
        };
        // Away (read out of the queue), then back, away and back again while the queue waits:
        // the last move merges into the first one waiting.
        QVERIFY(mv("/d20", "/away"));
        QVERIFY(mv("/g", "/sub/h"));
        QVERIFY(j->waitUntilDrained(5000));
        j->pauseDrain(true);
        QVERIFY(mv("/away", "/d20"));
        QVERIFY(mv("/sub/h", "/g"));
        QVERIFY(mv("/d20", "/away"));
        QVERIFY(mv("/g", "/sub/h"));
        QVERIFY(mv("/away", "/d20"));
        QVERIFY(mv("/sub/h", "/g"));
        j->pauseDrain(false);
        QVERIFY(j->waitUntilDrained(5000));
        applied.apply(readAll(*j, pos, &pos));
        QCOMPARE(applied.text(), QStringList({QStringLiteral("%1:%2/d20").arg(dir).arg(root),
                                              QStringLiteral("%1:%2/f").arg(f).arg(root),
                                              QStringLiteral("%1:%2/g").arg(f).arg(root)}));
        // The same ending away: the rename back merged ahead of it is dropped.
        QVERIFY(mv("/d20", "/away"));
        QVERIFY(mv("/g", "/sub/h"));
        QVERIFY(j->waitUntilDrained(5000));
        applied.apply(readAll(*j, pos, &pos));
        j->pauseDrain(true);
        QVERIFY(mv("/away", "/d20"));
        QVERIFY(mv("/sub/h", "/g"));
        QVERIFY(mv("/d20", "/away"));
        QVERIFY(mv("/g", "/sub/h"));
        j->pauseDrain(false);
        QVERIFY(j->waitUntilDrained(5000));
        applied.apply(readAll(*j, pos, &pos));
        QCOMPARE(applied.text(), QStringList({QStringLiteral("%1:%2/away").arg(dir).arg(root),
                                              QStringLiteral("%1:%2/f").arg(f).arg(root),
                                              QStringLiteral("%1:%2/h").arg(f).arg(sub)}));
    }

    // Files with several names: a new link is a create; a rename names the name it left; the
    // removal of one name of a file that keeps others is a record of its own, and the removal
    // of the last name is only the file's deletion, as for any file.
    void namesOfFilesWithSeveral()
    {
        const QByteArray v = freshVolume();
        QVERIFY(!v.isEmpty());
        QVERIFY(::mkdir((v + "/d").constData(), 0755) == 0);
        QVERIFY(writeFile(v + "/f"));
        const quint64 f = inodeOf(v + "/f"), root = inodeOf(v), d = inodeOf(v + "/d");
        auto j = FanotifyJournal::acquire(QString::fromUtf8(v));
        qint64 pos = j->state().nextUsn;
        const quint32 close = FanotifyJournal::ReasonClose;
        auto records = [&] { return readAll(*j, pos, &pos); };
        QVERIFY(::link((v + "/f").constData(), (v + "/d/g").constData()) == 0);
        QVERIFY(j->waitUntilDrained(5000));
        QVector<Seen> seen = records();
        QCOMPARE(int(seen.size()), 1);
        QCOMPARE(text(seen[0]), text(Seen{FanotifyJournal::ReasonFileCreate | close, f, d, false, "g"}));

        QVERIFY(::rename((v + "/d/g").constData(), (v + "/h").constData()) == 0);
        QVERIFY(j->waitUntilDrained(5000));
        seen = records();
        QCOMPARE(int(seen.size()), 1);
        QCOMPARE(text(seen[0]), text(Seen{FanotifyJournal::ReasonRenameNewName | close, f, root, false, "h"}));
        QCOMPARE(seen[0].oldParent, d);
        QCOMPARE(seen[0].oldName, QByteArray("g"));

        QVERIFY(::unlink((v + "/f").constData()) == 0);
        QVERIFY(j->waitUntilDrained(5000));
        seen = records();
        QCOMPARE(int(seen.size()), 1);
        QCOMPARE(text(seen[0]), text(Seen{FanotifyJournal::ReasonNameRemoved | close, f, root, false, "f"}));

        // Removed and linked again before the reader looks (merged into one event when both
        // wait in the kernel's queue): applied in order, the name holds the file.
        QVERIFY(::link((v + "/h").constData(), (v + "/back").constData()) == 0);
        QVERIFY(j->waitUntilDrained(5000));
        Applied applied;
        applied.names[f] = {{root, "h"}};
        applied.apply(records());
        QVERIFY(::unlink((v + "/back").constData()) == 0);
        QVERIFY(::link((v + "/h").constData(), (v + "/back").constData()) == 0);
        QVERIFY(j->waitUntilDrained(5000));
        applied.apply(records());
        QCOMPARE(applied.text(), QStringList({QStringLiteral("%1:%2/back").arg(f).arg(root),
                                              QStringLiteral("%1:%2/h").arg(f).arg(root)}));
        QVERIFY(::unlink((v + "/back").constData()) == 0);
        QVERIFY(j->waitUntilDrained(5000));
        records();

        // The last name: its removal and the file's deletion.
        QVERIFY(::unlink((v + "/h").constData()) == 0);
        QVERIFY(j->waitUntilDrained(5000));
        seen = records();
        QCOMPARE(int(seen.size()), 2);
        QStringList both = {text(seen[0]), text(seen[1])};
        both.sort();
        QCOMPARE(both, QStringList({text(Seen{FanotifyJournal::ReasonFileDelete | close, f, 0, false, ""}),
                                    text(Seen{FanotifyJournal::ReasonNameRemoved | close, f, root, false, "h"})}));
    }

    void overflowMovesFirstUsnPastTheGap()
    {
        const QByteArray v = freshVolume();
        QVERIFY(!v.isEmpty());
        auto j = FanotifyJournal::acquire(QString::fromUtf8(v));
        const qint64 before = j->state().nextUsn;
        j->pauseDrain(true);
        // More events than the kernel queue holds (16384 by default).
        QFile limit(QStringLiteral("/proc/sys/fs/fanotify/max_queued_events"));
        const int queueLimit = limit.open(QIODevice::ReadOnly) ? limit.readAll().trimmed().toInt() : 16384;
        for (int i = 0; i < queueLimit + 100; ++i)
            QVERIFY(::mkdir((v + "/d" + QByteArray::number(i)).constData(), 0755) == 0);
        j->pauseDrain(false);
        QVERIFY(j->waitUntilDrained(10000));
        const FanotifyJournal::State s = j->state();
        QVERIFY(s.firstUsn > before);
        QCOMPARE(readOnce(*j, before), FanotifyJournal::ReadStatus::Gap);
        QCOMPARE(j->gapCause(before), QStringLiteral("kernel queue overflow"));
        QCOMPARE(readOnce(*j, s.firstUsn),
                 s.firstUsn == s.nextUsn ? FanotifyJournal::ReadStatus::Empty : FanotifyJournal::ReadStatus::Records);
    }

    // The thread that empties the kernel's queue outweighs the threads making the changes: at
    // normal weight it was preempted long enough, on a busy machine, for four threads deleting
    // files to overflow the kernel's queue (a full rebuild of the index each time).
    void drainThreadOutweighsOtherThreads()
    {
        const QByteArray v = freshVolume();
        QVERIFY(!v.isEmpty());
        auto j = FanotifyJournal::acquire(QString::fromUtf8(v));
        QVERIFY(j->waitUntilDrained(5000)); // the thread has set itself up
        int drains = 0;
        for (const QString& task :
             QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            QFile comm(QStringLiteral("/proc/self/task/%1/comm").arg(task));
            if (!comm.open(QIODevice::ReadOnly) || comm.readAll().trimmed() != "journal drain")
                continue;
            ++drains;
            errno = 0;
            const int nice = ::getpriority(PRIO_PROCESS, id_t(task.toInt()));
            QCOMPARE(errno, 0);
            QVERIFY2(nice <= ::getpriority(PRIO_PROCESS, 0) - 10,
                     qPrintable(QString::number(nice)));
        }
        QVERIFY(drains >= 1);
    }

    void trimMovesFirstUsn()
    {
        const QByteArray v = freshVolume();
        QVERIFY(!v.isEmpty());
        FanotifyJournal::setLogLimits(32 * 1024, 8 * 1024);
        auto j = FanotifyJournal::acquire(QString::fromUtf8(v));
        FanotifyJournal::setLogLimits(0, 0);
        const qint64 before = j->state().nextUsn;
        for (int i = 0; i < 1000; ++i)
            QVERIFY(writeFile(v + "/file-with-a-longer-name-" + QByteArray::number(i)));
        QVERIFY(j->waitUntilDrained(5000));
        const FanotifyJournal::State s = j->state();
        QVERIFY(s.firstUsn > before);
        QVERIFY(s.nextUsn - s.firstUsn <= 32 * 1024);
        QCOMPARE(readOnce(*j, before), FanotifyJournal::ReadStatus::Gap);
        QCOMPARE(j->gapCause(before), QStringLiteral("log trimmed"));
        qint64 next = 0;
        QVector<Seen> kept = readAll(*j, s.firstUsn, &next);
        QVERIFY(!kept.isEmpty());
        QCOMPARE(kept.last().name, QByteArray("file-with-a-longer-name-999"));
        QCOMPARE(next, s.nextUsn);
        QCOMPARE(readOnce(*j, s.nextUsn + 1), FanotifyJournal::ReadStatus::Gap);
    }

    void registrySharesOneJournalPerVolume()
    {
        const QByteArray v = freshVolume();
        QVERIFY(!v.isEmpty());
        quint64 id = 0;
        {
            auto a = FanotifyJournal::acquire(QString::fromUtf8(v));
            auto b = FanotifyJournal::acquire(QString::fromUtf8(v + "/"));
            QCOMPARE(a.get(), b.get());
            id = a->state().journalId;
            QVERIFY(id != 0);
        }
        auto c = FanotifyJournal::acquire(QString::fromUtf8(v));
        QVERIFY(c->state().journalId != id);  // a new journal after the last user left
        QVERIFY(c->usable());

        // Another file system mounted at the same place gets a journal of its own.
        QVERIFY(::umount2(v.constData(), MNT_DETACH) == 0);
        QVERIFY(::mount("tmpfs", v.constData(), "tmpfs", 0, "size=1m") == 0);
        QVERIFY(!c->usable());
        auto d = FanotifyJournal::acquire(QString::fromUtf8(v));
        QVERIFY(d.get() != c.get());
        QVERIFY(d->usable());
        QVERIFY_EXCEPTION_THROWN(FanotifyJournal::acquire(QString::fromUtf8(v + "/nomount")), FileSearchException);
    }

    // A volume hidden by another mount at its mount point: its changes cannot be checked, so
    // the read fails (the index is rebuilt) instead of dropping them.
    void volumeHiddenByAnotherMountFailsTheRead()
    {
        const QByteArray v = freshVolume();
        QVERIFY(!v.isEmpty());
        auto j = FanotifyJournal::acquire(QString::fromUtf8(v));
        const qint64 start = j->state().nextUsn;
        const int hidden = ::open(v.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        QVERIFY(hidden >= 0);
        QVERIFY(::mount("tmpfs", v.constData(), "tmpfs", 0, "size=1m") == 0);
        const int fd = ::openat(hidden, "made-below", O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        QVERIFY(fd >= 0);
        ::close(fd);
        QVERIFY(j->waitUntilDrained(5000));
        const FanotifyJournal::ReadStatus status = readOnce(*j, start);
        ::umount2(v.constData(), MNT_DETACH);
        ::close(hidden);
        QCOMPARE(status, FanotifyJournal::ReadStatus::Failed);
    }

    void blockedReadWakesOnRecordsAndOnCancel()
    {
        const QByteArray v = freshVolume();
        QVERIFY(!v.isEmpty());
        auto j = FanotifyJournal::acquire(QString::fromUtf8(v));
        FanotifyJournal::ReadContext ctx;
        const qint64 start = j->state().nextUsn;
        std::atomic<int> status{-1};
        JournalBatch out;
        std::thread reader([&] {
            qint64 next = 0;
            status = int(j->read(start, true, ctx, out, &next));
        });
        QTest::qWait(50); // proves an absence: the read blocks while nothing happens
        QCOMPARE(status.load(), -1);
        QVERIFY(writeFile(v + "/wake"));
        reader.join();
        QCOMPARE(status.load(), int(FanotifyJournal::ReadStatus::Records));
        QCOMPARE(out.records.size(), size_t(1));

        const qint64 now = j->state().nextUsn;
        status = -1;
        std::thread waiting([&] {
            qint64 next = 0;
            JournalBatch none;
            status = int(j->read(now, true, ctx, none, &next));
        });
        QTest::qWait(50); // proves an absence: the read blocks until cancelled
        QCOMPARE(status.load(), -1);
        j->cancel(ctx);
        waiting.join();
        QCOMPARE(status.load(), int(FanotifyJournal::ReadStatus::Canceled));
    }

    // Objects of a nested btrfs subvolume reuse this volume's inode numbers: none of their
    // records may reach a reader, deletions included (btrfs tools and loop devices).
    void nestedSubvolumeRecordsAreLeftOut()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("mkfs.btrfs")).isEmpty()
            || QStandardPaths::findExecutable(QStringLiteral("btrfs")).isEmpty())
            QSKIP("needs the btrfs tools");
        const QString image = QFile::decodeName(root_ + "/btrfs.img");
        const QByteArray v = root_ + "/btrfs";
        QFile file(image);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(200 << 20));
        file.close();
        QVERIFY(::mkdir(v.constData(), 0755) == 0);
        if (QProcess::execute(QStringLiteral("mkfs.btrfs"), {QStringLiteral("-q"), QStringLiteral("-f"), image}) != 0
            || QProcess::execute(QStringLiteral("mount"), {QStringLiteral("-o"), QStringLiteral("loop"), image,
                                                           QFile::decodeName(v)}) != 0)
            QSKIP("no btrfs volume can be made here");
        struct Unmount
        {
            QByteArray path;
            ~Unmount() { ::umount2(path.constData(), MNT_DETACH); }
        } unmount{v};
        QVERIFY(::mkdir((v + "/first").constData(), 0755) == 0);
        QVERIFY(writeFile(v + "/first/x"));
        QCOMPARE(QProcess::execute(QStringLiteral("btrfs"), {QStringLiteral("-q"), QStringLiteral("subvolume"),
                                                             QStringLiteral("create"), QFile::decodeName(v + "/sub")}), 0);
        QVERIFY(::mkdir((v + "/sub/d").constData(), 0755) == 0);
        QVERIFY(writeFile(v + "/sub/d/inner"));
        QSet<quint64> mainNumbers = {inodeOf(v), inodeOf(v + "/first"), inodeOf(v + "/first/x")};
        QVERIFY(mainNumbers.contains(inodeOf(v + "/sub/d")) || mainNumbers.contains(inodeOf(v + "/sub/d/inner")));

        const quint64 x = inodeOf(v + "/first/x");
        auto j = FanotifyJournal::acquire(QFile::decodeName(v));
        const qint64 start = j->state().nextUsn;
        QVERIFY(writeFile(v + "/sub/d/new"));
        QVERIFY(::unlink((v + "/sub/d/inner").constData()) == 0);
        QVERIFY(::unlink((v + "/sub/d/new").constData()) == 0);
        QVERIFY(::rmdir((v + "/sub/d").constData()) == 0);
        QVERIFY(::unlink((v + "/first/x").constData()) == 0);
        QVERIFY(j->waitUntilDrained(5000));
        const QVector<Seen> seen = readAll(*j, start);
        QCOMPARE(seen.size(), 2);  // only the removal of first/x
        QStringList both = {text(seen[0]), text(seen[1])};
        both.sort();
        QCOMPARE(both, QStringList({text(Seen{FanotifyJournal::ReasonFileDelete | FanotifyJournal::ReasonClose, x, 0, false, ""}),
                                    text(Seen{FanotifyJournal::ReasonNameRemoved | FanotifyJournal::ReasonClose, x,
                                              inodeOf(v + "/first"), false, "x"})}));
    }

private:
    static bool writeFile(const QByteArray& path, const QByteArray& bytes = "x")
    {
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0)
            return false;
        const bool ok = ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
        ::close(fd);
        return ok;
    }
};

QTEST_GUILESS_MAIN(FanotifyJournalTest)
#include "tst_fanotifyjournal.moc"
