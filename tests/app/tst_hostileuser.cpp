// The session user turned against a root instance: a real root instance of the program, started
// as pkexec starts it (cleared environment, PKEXEC_UID of an unprivileged account made for the
// test, the offscreen platform), while a thread with that user's identity keeps swapping links
// and folders into every path of the user the instance touches: the data folder itself, the
// settings, tabs.xml, the log, the crash report, the runtime folder with the instances' lock
// files and sockets, the DBPath folder and the helper's folders. The instance goes through its
// start (index of a small volume, helper start), a settings change (written back when the
// index is ready), a new search handed over (a tab), the end-session frame, its exit and, in a
// second run, a crash report.
//
// Afterwards: nothing outside the user's own folders was created, changed, chowned or
// chmodded (the link targets are root's decoys); nothing in the user's folders belongs to root;
// root's index file lies in root's own folder; the helper ran as the user.
#include "app/instance/InstanceChannel.h"
#include "app/instance/MessageFrame.h"
#include "core/FileNameCodec.h"
#include "core/PrivateFolders.h"
#include "core/UserFileIdentity.h"
#include "search/index/NTFSUtils.h"
#include "testaccount.h"
#include "testutil.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <csignal>
#include <sys/mount.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

QByteArray enc(const QString& path)
{
    return FileNameCodec::encode(path);
}

// What a file system entry looks like, to compare before and after.
QString describe(const QString& path)
{
    struct stat st;
    if (::lstat(enc(path).constData(), &st) != 0)
        return QStringLiteral("missing");
    QString text = QStringLiteral("%1 uid=%2 gid=%3 mode=%4 ino=%5 nlink=%6 size=%7 mtime=%8.%9")
                       .arg(st.st_mode >> 12)
                       .arg(st.st_uid)
                       .arg(st.st_gid)
                       .arg(st.st_mode & 07777, 0, 8)
                       .arg(st.st_ino)
                       .arg(st.st_nlink)
                       .arg(st.st_size)
                       .arg(st.st_mtim.tv_sec)
                       .arg(st.st_mtim.tv_nsec);
    if (S_ISREG(st.st_mode))
        text += QLatin1Char(' ') + QString::fromLatin1(
            QCryptographicHash::hash(testutil::readFile(path), QCryptographicHash::Sha1).toHex());
    return text;
}

// Every entry below `folder` (links not followed), described.
QMap<QString, QString> snapshot(const QString& folder)
{
    QMap<QString, QString> entries;
    entries.insert(folder, describe(folder));
    QDirIterator it(folder, QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        entries.insert(it.next(), describe(it.filePath()));
    return entries;
}

// The entries below `folder` (links not followed) whose owner is not `uid`.
QStringList notOwnedBy(const QString& folder, uid_t uid)
{
    QStringList foreign;
    QDirIterator it(folder, QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        struct stat st;
        if (::lstat(enc(path).constData(), &st) == 0 && st.st_uid != uid)
            foreign << QStringLiteral("%1 (uid %2)").arg(path).arg(st.st_uid);
    }
    return foreign;
}

// The session user at work: swaps each target for a link to root's decoys (or a folder of
// them) for a moment and puts it back, round after round, until told to stop.
class Attacker
{
public:
    struct Target
    {
        QString path;   // the name the instance uses
        QString decoy;  // what the link points to
        // Spared while an instance starts: a settings file it cannot read at its start gives
        // the defaults, which index every fixed volume of the machine (refused correctly, but
        // far too much work for a test), and the log, which the test reads to follow the
        // instance (tst_userfiles and endOfSessionWithTheDataFolderSwapped cover both).
        bool sparedAtStart = false;
    };

    Attacker(const SessionAccount& account, QList<Target> targets, std::function<QList<Target>()> more)
        : account_(account), targets_(std::move(targets)), more_(std::move(more))
    {
    }

    void start()
    {
        thread_ = std::thread([this] { run(); });
    }

    ~Attacker() { stop(); }

    // Stops and puts every target back; the number of swaps made.
    int stop()
    {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
        return swaps_;
    }

    bool identityTaken() const { return identityOk_; }
    void setStarting(bool starting) { starting_ = starting; }

private:
    void run()
    {
        UserFileIdentity asUser(account_);
        identityOk_ = asUser.ok();
        if (!identityOk_)
            return;
        int round = 0;
        while (!stop_) {
            QList<Target> all = targets_;
            if (++round % 16 == 0)
                all << more_();
            for (const Target& t : qAsConst(all)) {
                if (stop_)
                    break;
                if (t.sparedAtStart && starting_)
                    continue;
                // Short swaps between longer pauses: most operations of the instance find
                // things in place (so it gets through its whole life), while over its life
                // every kind of operation meets a swap now and then.
                swap(t);
                std::this_thread::sleep_for(std::chrono::microseconds(150)); // the swap's length
                restore(t);
                std::this_thread::sleep_for(std::chrono::microseconds(500)); // the pause's length
            }
        }
    }

    void swap(const Target& t)
    {
        const QByteArray path = enc(t.path);
        const QByteArray aside = path + ".real";
        if (::rename(path.constData(), aside.constData()) == 0 || errno == ENOENT) {
            if (::symlink(enc(t.decoy).constData(), path.constData()) == 0)
                ++swaps_;
        }
    }

    void restore(const Target& t)
    {
        const QByteArray path = enc(t.path);
        const QByteArray aside = path + ".real";
        struct stat st;
        if (::lstat(path.constData(), &st) == 0 && S_ISLNK(st.st_mode))
            ::unlink(path.constData());
        if (::lstat(aside.constData(), &st) == 0)
            ::rename(aside.constData(), path.constData());
    }

    SessionAccount account_;
    QList<Target> targets_;
    std::function<QList<Target>()> more_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> starting_{false};
    std::atomic<bool> identityOk_{false};
    std::atomic<int> swaps_{0};
};

} // namespace

class HostileUserTest : public QObject
{
    Q_OBJECT

    QTemporaryDir base_;
    QString home_, data_, runtime_, dbPath_, decoy_, program_, volume_;
    quint32 serial_ = 0;
    SessionAccount account_;
    std::unique_ptr<TestAccount> user_;

    QString title() const { return QLatin1String(kMainInstanceWindowName); }

    QString logText() const
    {
        const QByteArray bytes = testutil::readFile(data_ + QStringLiteral("/Tallowquist Pro.log"));
        return QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()), bytes.size() / 2);
    }

    // The root instance as pkexec starts it.
    void startInstance(QProcess& process)
    {
        QProcessEnvironment env;
        env.insert(QStringLiteral("PKEXEC_UID"), QString::number(account_.uid));
        env.insert(QStringLiteral("HOME"), QStringLiteral("/root"));
        env.insert(QStringLiteral("USER"), QStringLiteral("root"));
        env.insert(QStringLiteral("LOGNAME"), QStringLiteral("root"));
        env.insert(QStringLiteral("SHELL"), QStringLiteral("/bin/sh"));
        env.insert(QStringLiteral("PATH"), QStringLiteral("/usr/sbin:/usr/bin:/sbin:/bin"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime_);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        // Checked builds: the sanitizer runtimes' settings (suppressions of Qt's own leaks).
        for (const char* name : {"ASAN_OPTIONS", "LSAN_OPTIONS", "TSAN_OPTIONS", "UBSAN_OPTIONS", "LD_PRELOAD"})
            if (qEnvironmentVariableIsSet(name))
                env.insert(QLatin1String(name), qEnvironmentVariable(name));
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(QStringLiteral("/"));
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(program_, QStringList());
    }

    // The helper programs started by `parent` and the uid each runs as.
    static QMap<qint64, uint> helpersOf(qint64 parent)
    {
        QMap<qint64, uint> helpers;
        for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
            const QByteArray status = testutil::readFile(QStringLiteral("/proc/%1/status").arg(entry));
            if (!status.startsWith("Name:\thelper64\n") || !status.contains("\nPPid:\t" + QByteArray::number(parent) + "\n"))
                continue;
            const int at = status.indexOf("\nUid:\t");
            helpers.insert(entry.toLongLong(), status.mid(at + 6).split('\t').value(1).toUInt());
        }
        return helpers;
    }

    // Folders in the temporary folder that belong to the user (the helper's working folders).
    QStringList userTempFolders() const
    {
        QStringList folders;
        for (const QFileInfo& info : QDir(QDir::tempPath()).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden)) {
            struct stat st;
            if (::lstat(enc(info.filePath()).constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == account_.uid)
                folders << info.filePath();
        }
        return folders;
    }

    // Starts root instances until one listens. One whose channel was refused at its start (a
    // swap hit its lock file or socket) hands its request over and ends, as it should; it is not
    // waited for but ended, and another one started.
    bool startListening(QProcess& instance, Attacker& attacker, int* attempts)
    {
        for (int attempt = 0; attempt < 6; ++attempt) {
            ++*attempts;
            attacker.setStarting(true);
            startInstance(instance);
            if (!instance.waitForStarted(10000))
                return false;
            QDeadlineTimer listening(3000);
            while (!listening.hasExpired() && instance.state() == QProcess::Running) {
                if (InstanceChannel::findInstance(title(), 0)) {
                    attacker.setStarting(false);
                    return true;
                }
                QThread::msleep(20); // polls for the listening instance
            }
            instance.kill();
            instance.waitForFinished(10000);
        }
        attacker.setStarting(false);
        return false;
    }

private slots:
    void initTestCase()
    {
        if (!testutil::isRoot())
            QSKIP("needs root: plays a root instance and a second local user");
        program_ = testutil::programDir() + QStringLiteral("/tallowquist-pro");
        QVERIFY(QFileInfo(program_).isExecutable());
        QVERIFY(base_.isValid());
        QCOMPARE(::chmod(enc(base_.path()).constData(), 0755), 0);
        home_ = base_.path() + QStringLiteral("/home");
        user_ = std::make_unique<TestAccount>(home_);
        if (!user_->isValid())
            QSKIP(qPrintable(user_->why()));
        QVERIFY(SessionAccount::lookup(user_->uid(), &account_));
        TQ_ENTER_PRIVATE_MOUNTS();

        // The user's own folders, made as the user.
        data_ = home_ + QStringLiteral("/.local/share/Tallowquist Pro");
        runtime_ = home_ + QStringLiteral("/run");
        dbPath_ = home_ + QStringLiteral("/db");
        for (const QString& folder : {home_, data_, runtime_, dbPath_}) {
            QVERIFY(QDir().mkpath(folder));
            QString walked = home_;
            for (const QString& part : folder.mid(home_.size()).split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
                walked += QLatin1Char('/') + part;
                QCOMPARE(::chown(enc(walked).constData(), account_.uid, account_.gid), 0);
            }
            QCOMPARE(::chown(enc(home_).constData(), account_.uid, account_.gid), 0);
            QCOMPARE(::chmod(enc(folder).constData(), 0700), 0);
        }

        // A small disk volume for the index (a loop-mounted ext4 image), when one can be made.
        volume_ = base_.path() + QStringLiteral("/volume");
        const QString image = base_.path() + QStringLiteral("/volume.img");
        QFile file(image);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(16 << 20));
        file.close();
        QVERIFY(QDir().mkpath(volume_));
        if (QProcess::execute(QStringLiteral("mkfs.ext4"), {QStringLiteral("-q"), QStringLiteral("-F"), image}) == 0
            && QProcess::execute(QStringLiteral("mount"), {QStringLiteral("-o"), QStringLiteral("loop"), image, volume_}) == 0) {
            QVERIFY(testutil::writeFile(volume_ + QStringLiteral("/a/b/indexed.txt"), "x"));
            serial_ = getVolumeSerialNumber(volume_);
        }

        // The user's settings: index only that volume, DBPath in the user's home.
        QByteArray settings = "[General]\nAutoAddFixed=false\nAutoAddRemovable=false\nRunInBackground=false\nDBPath="
            + enc(dbPath_) + "\n";
        if (serial_ != 0)
            settings += "\n[IndexDrives]\n1\\value=" + QByteArray::number(serial_, 16) + "\nsize=1\n";
        QVERIFY(testutil::writeFile(data_ + QStringLiteral("/settings.ini"), settings));
        QCOMPARE(::chown(enc(data_ + QStringLiteral("/settings.ini")).constData(), account_.uid, account_.gid), 0);

        // Root's decoys: what the links point to. Nothing in them may change.
        decoy_ = base_.path() + QStringLiteral("/decoy");
        for (const char* name : {"settings.ini", "tabs.xml", "Tallowquist Pro.log", "Tallowquist ProCrash.dmp", "target",
                                 "DB/0", "private/secret"})
            QVERIFY(testutil::writeFile(decoy_ + QLatin1Char('/') + QLatin1String(name), QByteArray("root's ") + name));
        QCOMPARE(::chmod(enc(decoy_ + QStringLiteral("/private")).constData(), 0700), 0);
        QCOMPARE(::chmod(enc(decoy_).constData(), 0755), 0);
    }

    void cleanupTestCase()
    {
        if (!volume_.isEmpty())
            ::umount2(enc(volume_).constData(), MNT_DETACH);
        user_.reset();
    }

    // The data folder swapped for a link to a folder of root's while the instance runs: saving
    // at the end (settings, tabs) is refused, and nothing there is handed to the user.
    void endOfSessionWithTheDataFolderSwapped()
    {
        const QMap<QString, QString> decoyBefore = snapshot(decoy_);
        const testutil::SessionUserScope session(account_.uid);
        qputenv("XDG_RUNTIME_DIR", enc(runtime_));
        const auto unset = qScopeGuard([] { qunsetenv("XDG_RUNTIME_DIR"); });
        QProcess instance;
        startInstance(instance);
        QVERIFY(instance.waitForStarted(10000));
        QTRY_VERIFY_WITH_TIMEOUT(InstanceChannel::findInstance(title(), 0), 15000);
        InstanceChannel::send(title(), MessageFrame::kCopyData,
                              MessageFrame::copyDataPayload(MessageFrame::kNewSearch, MessageFrame::textData(home_)));
        const QString aside = data_ + QStringLiteral(".real");
        {
            UserFileIdentity asUser(account_);
            QVERIFY(asUser.ok());
            QCOMPARE(::rename(enc(data_).constData(), enc(aside).constData()), 0);
            QCOMPARE(::symlink(enc(decoy_).constData(), enc(data_).constData()), 0);
        }
        InstanceChannel::post(title(), {MessageFrame{MessageFrame::kEndSession, QByteArray()}});
        QVERIFY(instance.waitForFinished(20000));
        QCOMPARE(instance.exitCode(), 0);
        QVERIFY(QFile::remove(data_));
        QVERIFY(QFile::rename(aside, data_));
        QCOMPARE(snapshot(decoy_), decoyBefore);
        const QStringList foreign = notOwnedBy(home_, account_.uid);
        QVERIFY2(foreign.isEmpty(), qPrintable(foreign.join(QLatin1Char('\n'))));
        // Both saves of the end were refused, and said so.
        const QString log = logText();
        QVERIFY2(log.contains(QLatin1String("The tabs could not be saved")), qPrintable(log.right(800)));
        QVERIFY2(log.contains(QLatin1String("The settings could not be saved")), qPrintable(log.right(800)));
    }

    void rootInstanceUnderAttack()
    {
        const QString stateDb = QLatin1String(PrivateFolders::kRootStateFolder) + QStringLiteral("/DB/")
            + QString::number(serial_, 16);
        if (serial_ != 0)
            QFile::remove(stateDb);
        const QMap<QString, QString> decoyBefore = snapshot(decoy_);
        QList<Attacker::Target> targets{
            {data_, decoy_, true},
            {data_ + QStringLiteral("/settings.ini"), decoy_ + QStringLiteral("/settings.ini"), true},
            {data_ + QStringLiteral("/tabs.xml"), decoy_ + QStringLiteral("/tabs.xml")},
            {data_ + QStringLiteral("/Tallowquist Pro.log"), decoy_ + QStringLiteral("/Tallowquist Pro.log"), true},
            {data_ + QStringLiteral("/Tallowquist ProCrash.dmp"), decoy_ + QStringLiteral("/Tallowquist ProCrash.dmp")},
            {data_, decoy_ + QStringLiteral("/private"), true},
            {runtime_, decoy_},
            {runtime_ + QLatin1Char('/') + title(), decoy_ + QStringLiteral("/target")},
            {runtime_ + QLatin1Char('/') + title() + QStringLiteral(".lock"), decoy_ + QStringLiteral("/target")},
            {dbPath_, decoy_},
            {dbPath_ + QStringLiteral("/DB"), decoy_ + QStringLiteral("/DB")},
        };
        // The helper's folders appear while the instance runs: each folder (removed as the user
        // at the end) and every file in them is swapped too.
        const auto helperTargets = [this] {
            QList<Attacker::Target> found;
            for (const QString& folder : userTempFolders()) {
                if (folder.endsWith(QLatin1String(".real")))
                    continue;
                found.append({folder, decoy_});
                for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::System | QDir::Hidden))
                    found.append({folder + QLatin1Char('/') + name, decoy_ + QStringLiteral("/target")});
            }
            return found;
        };
        Attacker attacker(account_, targets, helperTargets);
        attacker.start();

        // The instance tells the channel where the user's runtime folder is, like its user
        // instance would; this process speaks to it as root (a trusted sender).
        qputenv("PKEXEC_UID", QByteArray::number(account_.uid));
        qputenv("XDG_RUNTIME_DIR", enc(runtime_));
        const auto unset = qScopeGuard([] {
            qunsetenv("PKEXEC_UID");
            qunsetenv("XDG_RUNTIME_DIR");
        });

        // First run: start, index, helper, settings written back, a new search, end of session.
        QElapsedTimer clock;
        clock.start();
        QProcess instance;
        int attempts = 0;
        const bool found = startListening(instance, attacker, &attempts);
        QVERIFY2(found, qPrintable(QStringLiteral("the root instance never listened:\n") + logText().right(3000)));
        const qint64 started = clock.elapsed();
        // Until its helper runs and its index is built.
        QMap<qint64, uint> helpers;
        QDeadlineTimer indexWait(15000);
        while (!indexWait.hasExpired() && instance.state() == QProcess::Running) {
            helpers.insert(helpersOf(instance.processId()));
            if (!helpers.isEmpty() && (serial_ == 0 || logText().contains(QLatin1String("Reading MFT done"))))
                break;
            QThread::msleep(50); // polls for the helper and the built index
        }
        InstanceChannel::send(title(), MessageFrame::kCopyData,
                              MessageFrame::copyDataPayload(MessageFrame::kNewSearch, MessageFrame::textData(volume_)));
        QThread::msleep(300); // a fixed time of activity: the new tab's search and the index's write-back under attack
        // The frame goes through the same swapped folder: sent again until it was handed over.
        QDeadlineTimer posting(10000);
        while (!InstanceChannel::post(title(), {MessageFrame{MessageFrame::kEndSession, QByteArray()}})
               && !posting.hasExpired() && instance.state() == QProcess::Running)
            QThread::msleep(20); // tries again until the frame was handed over
        if (!instance.waitForFinished(20000)) {
            instance.kill();
            QFAIL("the root instance did not end after the end-session frame");
        }

        const qint64 ended = clock.elapsed();

        // Second run: a crash.
        QProcess crashing;
        QVERIFY(startListening(crashing, attacker, &attempts));
        QThread::msleep(100); // a fixed time of activity: the data folder and the report's name under attack before the crash
        ::kill(pid_t(crashing.processId()), SIGSEGV);
        QVERIFY(crashing.waitForFinished(20000));
        QCOMPARE(crashing.exitStatus(), QProcess::CrashExit);

        const int swaps = attacker.stop();
        qInfo("volume serial %x, %d swaps, %d start(s); listening after %lld ms, ended after %lld ms, crashed after %lld ms",
              serial_, swaps, attempts, started, ended, clock.elapsed());
        QVERIFY(attacker.identityTaken());
        QVERIFY2(swaps > 50, qPrintable(QString::number(swaps)));

        // Nothing outside the user's folders changed.
        const QMap<QString, QString> decoyAfter = snapshot(decoy_);
        for (auto it = decoyBefore.cbegin(); it != decoyBefore.cend(); ++it)
            QVERIFY2(decoyAfter.value(it.key()) == it.value(),
                     qPrintable(it.key() + QStringLiteral(": ") + it.value() + QStringLiteral(" -> ") + decoyAfter.value(it.key())));
        QCOMPARE(decoyAfter.keys(), decoyBefore.keys());

        // Nothing of root's in the user's folders.
        QStringList foreign = notOwnedBy(home_, account_.uid);
        for (const QString& folder : userTempFolders())
            foreign << notOwnedBy(folder, account_.uid);
        QVERIFY2(foreign.isEmpty(), qPrintable(foreign.join(QLatin1Char('\n'))));
        QVERIFY(!QFileInfo::exists(dbPath_ + QStringLiteral("/DB")));

        // The helper ran as the user; root's index lies in root's folder.
        QVERIFY(!helpers.isEmpty());
        for (auto it = helpers.cbegin(); it != helpers.cend(); ++it)
            QCOMPARE(it.value(), uint(account_.uid));
        if (serial_ != 0) {
            struct stat st;
            QVERIFY2(::lstat(enc(stateDb).constData(), &st) == 0, qPrintable(logText().right(3000)));
            QCOMPARE(int(st.st_uid), 0);
            QCOMPARE(int(st.st_mode & 077), 0);
            QFile::remove(stateDb);
        }
        // What the crashed instance's helper left in the temporary folder.
        for (const QString& folder : userTempFolders())
            QDir(folder).removeRecursively();
    }
};

QTEST_GUILESS_MAIN(HostileUserTest)
#include "tst_hostileuser.moc"
