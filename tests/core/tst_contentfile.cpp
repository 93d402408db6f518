// ContentFile: only regular files are opened for reading (folders, FIFOs, devices and links to
// them are refused without ever blocking), reads at offsets that no other reader moves, the
// random-access device over it, descriptors received from elsewhere, and a name swapped or
// removed after the open.
#include "core/ContentFile.h"
#include "core/FileNameCodec.h"
#include "testutil.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

class TestContentFile : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    static QByteArray native(const QString& p) { return FileNameCodec::encode(p); }

private slots:
    void refusesWhatIsNotARegularFile()
    {
        QVERIFY(testutil::writeFile(path("file.txt"), "hello"));
        QCOMPARE(::mkfifo(native(path("fifo")).constData(), 0600), 0);
        QCOMPARE(::symlink("fifo", native(path("link-to-fifo.txt")).constData()), 0);
        QCOMPARE(::symlink("file.txt", native(path("link-to-file.txt")).constData()), 0);
        QCOMPARE(::symlink("nowhere", native(path("dangling.txt")).constData()), 0);
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(ContentFile::open(path("fifo")).status(), ContentFile::NotRegular);
        QCOMPARE(ContentFile::open(path("link-to-fifo.txt")).status(), ContentFile::NotRegular);
        QCOMPARE(ContentFile::open(dir.path()).status(), ContentFile::NotRegular);
        QCOMPARE(ContentFile::open(QStringLiteral("/dev/null")).status(), ContentFile::NotRegular);
        QCOMPARE(ContentFile::open(path("missing")).status(), ContentFile::Missing);
        QCOMPARE(ContentFile::open(path("dangling.txt")).status(), ContentFile::Missing);
        QCOMPARE(ContentFile::open(path("file.txt/below")).status(), ContentFile::Missing);
        QVERIFY(timer.elapsed() < 5000); // nothing waited for a FIFO's writer
        if (testutil::isRoot()) {
            QCOMPARE(::mknod(native(path("device")).constData(), S_IFCHR | 0600, makedev(1, 3)), 0);
            QCOMPARE(ContentFile::open(path("device")).status(), ContentFile::NotRegular);
        }
        const ContentFile linked = ContentFile::open(path("link-to-file.txt"));
        QVERIFY(linked.isOpen());
        QCOMPARE(linked.size(), qint64(5));
        QCOMPARE(linked.path(), path("link-to-file.txt"));
        ContentFile failed = ContentFile::open(path("fifo"));
        QVERIFY(!failed.isOpen());
        QCOMPARE(failed.descriptor(), -1);
        QCOMPARE(failed.path(), path("fifo")); // still names the file in messages
        QVERIFY(!failed.errorString().isEmpty());
    }

    void readsAtOffsetsWhateverHappensToTheName()
    {
        const QByteArray bytes = "0123456789abcdef";
        QVERIFY(testutil::writeFile(path("data.bin"), bytes));
        // A name that is not UTF-8.
        const QString odd = FileNameCodec::decode(native(dir.path()) + "/caf\xE9\xFF.bin");
        QCOMPARE(::link(native(path("data.bin")).constData(), native(odd).constData()), 0);
        ContentFile file = ContentFile::open(odd);
        QVERIFY(file.isOpen());
        // The name is removed and replaced: the descriptor still reads the file that was opened.
        QVERIFY(testutil::writeFile(path("other.bin"), "replaced"));
        QCOMPARE(::rename(native(path("other.bin")).constData(), native(odd).constData()), 0);
        QCOMPARE(::unlink(native(path("data.bin")).constData()), 0);
        char buf[32];
        QCOMPARE(file.read(10, buf, 4), qint64(4));
        QCOMPARE(QByteArray(buf, 4), QByteArray("abcd"));
        QCOMPARE(file.readFully(0, buf, 32), qint64(16));
        QCOMPARE(QByteArray(buf, 16), bytes);
        QCOMPARE(file.read(16, buf, 4), qint64(0));

        // Two devices over one file keep positions of their own; a child's shared position
        // is put back by rewind.
        ContentFileDevice a(file), b(file);
        QCOMPARE(a.size(), qint64(16));
        QVERIFY(a.seek(12));
        QCOMPARE(b.read(3), QByteArray("012"));
        QCOMPARE(a.read(3), QByteArray("cde"));
        QCOMPARE(b.readAll(), QByteArray("3456789abcdef"));
        QVERIFY(::lseek(file.descriptor(), 7, SEEK_SET) == 7);
        QVERIFY(file.rewind());
        QCOMPARE(::read(file.descriptor(), buf, 2), ssize_t(2));
        QCOMPARE(QByteArray(buf, 2), QByteArray("01"));

        // A duplicate is a second owner of the same open file; moving keeps the descriptor.
        const int copy = file.duplicate();
        QVERIFY(copy >= 0);
        QVERIFY(::fcntl(copy, F_GETFD) & FD_CLOEXEC);
        ContentFile moved = std::move(file);
        QVERIFY(!file.isOpen());
        QVERIFY(moved.isOpen());
        moved.close();
        QCOMPARE(::pread(copy, buf, 4, 4), ssize_t(4));
        QCOMPARE(QByteArray(buf, 4), QByteArray("4567"));
        ::close(copy);
    }

    void adoptsOnlyReadableRegularDescriptors()
    {
        QVERIFY(testutil::writeFile(path("adopted.txt"), "adopted"));
        const ContentFile adopted =
            ContentFile::adopt(::open(native(path("adopted.txt")).constData(), O_RDONLY | O_CLOEXEC),
                               QStringLiteral("shown name.txt"));
        QVERIFY(adopted.isOpen());
        QCOMPARE(adopted.path(), QStringLiteral("shown name.txt"));
        QCOMPARE(adopted.size(), qint64(7));
        int ends[2];
        QCOMPARE(::pipe2(ends, O_CLOEXEC), 0);
        QCOMPARE(ContentFile::adopt(ends[0], QStringLiteral("pipe")).status(), ContentFile::NotRegular);
        QCOMPARE(::fcntl(ends[0], F_GETFD), -1); // refused and closed
        ::close(ends[1]);
        QCOMPARE(ContentFile::adopt(::open(native(path("adopted.txt")).constData(), O_WRONLY | O_CLOEXEC),
                                    QString())
                     .status(),
                 ContentFile::Failed);
        QCOMPARE(ContentFile::adopt(::open(native(path("adopted.txt")).constData(), O_PATH | O_CLOEXEC),
                                    QString())
                     .status(),
                 ContentFile::Failed);
        QCOMPARE(ContentFile::adopt(-1, QString()).status(), ContentFile::Failed);
    }
};

QTEST_GUILESS_MAIN(TestContentFile)
#include "tst_contentfile.moc"
