// Path helpers, recursive removal (never through links) and the descriptor/file holders.
#include "core/FileUtils.h"
#include "core/FileNameCodec.h"
#include "core/HandleHolder.h"
#include "core/ScopedFileRemover.h"
#include "core/VolumeHandle.h"
#include "testutil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdlib>
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool fdIsOpen(int fd)
{
    return ::fcntl(fd, F_GETFD) != -1;
}

} // namespace

class TestFileUtils : public QObject
{
    Q_OBJECT

private slots:
    void pathHelpers_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("directory");
        QTest::newRow("dot in folder only") << "/dir.v2/file" << "" << "file" << "/dir.v2";
        QTest::newRow("case kept") << "/a/b.TXT" << "TXT" << "b.TXT" << "/a";
        QTest::newRow("no separator") << "b.txt" << "" << "" << "";
        QTest::newRow("last dot wins") << "/d/archive.tar.gz" << "gz" << "archive.tar.gz" << "/d";
        QTest::newRow("trailing dot") << "/d/name." << "" << "name." << "/d";
        QTest::newRow("hidden file") << "/home/u/.profile" << "profile" << ".profile" << "/home/u";
        QTest::newRow("under root") << "/vmlinuz" << "" << "vmlinuz" << "";
        QTest::newRow("trailing slash") << "/x/" << "" << "" << "/x";
        QTest::newRow("backslash is a name character") << "/a\\b.c/d" << "" << "d" << "/a\\b.c";
        QTest::newRow("backslash in file name") << "/a/b\\c.txt" << "txt" << "b\\c.txt" << "/a";
        QTest::newRow("windows-looking path") << "C:\\x\\y.doc" << "" << "" << "";
        QTest::newRow("relative") << "rel/a.b" << "b" << "a.b" << "rel";
        QTest::newRow("empty") << "" << "" << "" << "";
    }

    void pathHelpers()
    {
        QFETCH(QString, path);
        QTEST(pathExtension(path), "extension");
        QTEST(pathFileName(path), "fileName");
        QTEST(pathDirectory(path), "directory");
        // Directory and name always join back to the path when there is a separator.
        if (path.contains(QLatin1Char('/')))
            QCOMPARE(pathDirectory(path) + QLatin1Char('/') + pathFileName(path), path);
    }

    void makePathAndIsDirectory()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString deep = dir.path() + QStringLiteral("/a b/c\\d/e");
        QVERIFY(makePath(deep));
        QVERIFY(isDirectory(deep));
        QVERIFY(makePath(deep)); // already there
        QVERIFY(testutil::writeFile(dir.path() + QStringLiteral("/file"), "x"));
        QVERIFY(!isDirectory(dir.path() + QStringLiteral("/file")));
        QVERIFY(!makePath(dir.path() + QStringLiteral("/file/sub")));
        QVERIFY(QFile::link(deep, dir.path() + QStringLiteral("/link")));
        QVERIFY(isDirectory(dir.path() + QStringLiteral("/link")));
        QVERIFY(!isDirectory(dir.path() + QStringLiteral("/missing")));
    }

    void removeDirectoryRecursivelyNeverFollowsLinks()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString outside = dir.path() + QStringLiteral("/outside");
        QVERIFY(testutil::writeFile(outside + QStringLiteral("/keep.txt"), "keep"));
        QVERIFY(testutil::writeFile(outside + QStringLiteral("/sub/keep2.txt"), "keep"));

        const QString tree = dir.path() + QStringLiteral("/DB");
        QVERIFY(testutil::writeFile(tree + QStringLiteral("/a.idx"), "1"));
        QVERIFY(testutil::writeFile(tree + QStringLiteral("/x/y/z/.hidden"), "2"));
        QVERIFY(makePath(tree + QStringLiteral("/empty")));
        QVERIFY(QFile::link(outside, tree + QStringLiteral("/x/dirlink")));
        QVERIFY(QFile::link(outside + QStringLiteral("/keep.txt"), tree + QStringLiteral("/filelink")));
        QVERIFY(QFile::link(tree + QStringLiteral("/gone"), tree + QStringLiteral("/dangling")));

        QVERIFY(removeDirectoryRecursively(tree));
        QVERIFY(!QFileInfo::exists(tree));
        QCOMPARE(testutil::readFile(outside + QStringLiteral("/keep.txt")), QByteArray("keep"));
        QCOMPARE(testutil::readFile(outside + QStringLiteral("/sub/keep2.txt")), QByteArray("keep"));

        // A link given as the folder itself: only the link goes.
        const QString topLink = dir.path() + QStringLiteral("/DB2");
        QVERIFY(QFile::link(outside, topLink));
        QVERIFY(removeDirectoryRecursively(topLink));
        QVERIFY(!QFileInfo(topLink).isSymLink());
        QVERIFY(QFileInfo::exists(outside + QStringLiteral("/sub/keep2.txt")));

        // Written with a trailing "/" or "/.", the link is still only a link: the folder it
        // points to keeps its contents.
        for (const QString& spelling : {QStringLiteral("/DB3/"), QStringLiteral("/DB3/."), QStringLiteral("/DB3//")}) {
            const QString link = dir.path() + QStringLiteral("/DB3");
            QVERIFY(QFile::link(outside, link));
            QVERIFY(removeDirectoryRecursively(dir.path() + spelling));
            QVERIFY2(!QFileInfo(link).isSymLink(), qPrintable(spelling));
            QVERIFY2(QFileInfo::exists(outside + QStringLiteral("/sub/keep2.txt")), qPrintable(spelling));
        }
        // A real folder written with a trailing "/" goes as usual; the root is refused.
        QVERIFY(testutil::writeFile(tree + QStringLiteral("/again/f"), "3"));
        QVERIFY(removeDirectoryRecursively(tree + QStringLiteral("/")));
        QVERIFY(!QFileInfo::exists(tree));
        QVERIFY(!removeDirectoryRecursively(QStringLiteral("/")));
        QVERIFY(!removeDirectoryRecursively(QStringLiteral("//")));

        QVERIFY(removeDirectoryRecursively(dir.path() + QStringLiteral("/never-there")));
        QVERIFY(!removeDirectoryRecursively(QString()));
        QVERIFY(!removeDirectoryRecursively(outside + QStringLiteral("/keep.txt"))); // a file
        QVERIFY(QFileInfo::exists(outside + QStringLiteral("/keep.txt")));
    }

    // Names that are not UTF-8: the entries inside are removed by their own bytes, and a folder
    // whose own path is not UTF-8 is reached through its lossless QString form.
    void removeDirectoryRecursivelyWithNamesNotUtf8()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QByteArray base = QFile::encodeName(dir.path());
        const auto fill = [](const QByteArray& folder) {
            const QByteArray sub = folder + "/\xff\xfe";
            return ::mkdir(folder.constData(), 0700) == 0
                && ::close(::open((folder + "/\xff\xfe.txt").constData(), O_CREAT | O_WRONLY | O_CLOEXEC, 0600)) == 0
                && ::mkdir(sub.constData(), 0700) == 0
                && ::close(::open((sub + "/caf\xe9").constData(), O_CREAT | O_WRONLY | O_CLOEXEC, 0600)) == 0
                && ::mkdir((sub + "/\xc3").constData(), 0700) == 0;
        };

        const QByteArray plain = base + "/plain";
        QVERIFY(fill(plain));
        QVERIFY(removeDirectoryRecursively(QFile::decodeName(plain)));
        QVERIFY(::access(plain.constData(), F_OK) != 0);

        const QByteArray odd = base + "/db\xe9";
        QVERIFY(fill(odd));
        const QString oddPath = FileNameCodec::decode(odd);
        QCOMPARE(FileNameCodec::encode(oddPath), odd);
        QVERIFY(isDirectory(oddPath));
        QVERIFY(isDirectory(oddPath + QLatin1Char('/') + FileNameCodec::decode(QByteArray("\xff\xfe"))));
        QVERIFY(removeDirectoryRecursively(oddPath));
        QVERIFY(::access(odd.constData(), F_OK) != 0);
        QVERIFY(!isDirectory(oddPath));
        QVERIFY(::rmdir(base.constData()) == 0); // nothing else was left behind

        // Creating folders takes the same form.
        const QString deep = FileNameCodec::decode(base + "/\xff/x\xfe");
        QVERIFY(makePath(deep));
        struct stat st;
        QVERIFY(::stat((base + "/\xff/x\xfe").constData(), &st) == 0 && S_ISDIR(st.st_mode));
        QVERIFY(removeDirectoryRecursively(FileNameCodec::decode(base + "/\xff")));
    }

    void uniqueTempFileNames()
    {
        const QString a = uniqueTempFileName();
        QVERIFY(a != uniqueTempFileName());
        QVERIFY(!QFileInfo::exists(a));
        QCOMPARE(pathDirectory(a), QDir::tempPath());
    }

    void volumeHandle()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        int fd;
        {
            VolumeHandle volume(dir.path());
            QVERIFY(volume.isValid());
            fd = volume.handle();
            QCOMPARE(::fcntl(fd, F_GETFL) & (O_ACCMODE | O_DIRECTORY), O_RDONLY | O_DIRECTORY);
            QVERIFY(::fcntl(fd, F_GETFD) & FD_CLOEXEC);

            VolumeHandle moved(std::move(volume));
            QVERIFY(!volume.isValid());
            QCOMPARE(moved.handle(), fd);

            // Re-opening closes the descriptor held before.
            moved.open(QStringLiteral("/"), true);
            QVERIFY(moved.isValid());
            const int second = moved.handle();
            if (second != fd)
                QVERIFY(!fdIsOpen(fd));
            fd = second;
            moved.close();
            QVERIFY(!moved.isValid());
            QVERIFY(!fdIsOpen(fd));
            moved.close(); // twice is harmless
            moved.open(dir.path());
            fd = moved.handle();
        }
        QVERIFY(!fdIsOpen(fd)); // closed by the destructor

        QVERIFY(testutil::writeFile(dir.path() + QStringLiteral("/file"), "x"));
        VolumeHandle onFile(dir.path() + QStringLiteral("/file"));
        QVERIFY(!onFile.isValid());
        VolumeHandle missing(QStringLiteral("/no/such/mount"));
        QVERIFY(!missing.isValid());
        QCOMPARE(errno, ENOENT);
    }

    // Folders opened piece by piece: own links (absolute, relative, with "..") are followed,
    // missing folders made on request, a link of another user refused wherever it is.
    void folderThroughOwnLinks()
    {
        QTemporaryDir dir;
        const QString base = dir.path();
        QVERIFY(QDir().mkpath(base + "/real/inner"));
        QVERIFY(QFile::link(base + "/real", base + "/absolute"));
        QVERIFY(::symlink("real/inner/..", QFile::encodeName(base + "/relative").constData()) == 0);
        const auto inodeOf = [](const HandleHolder& fd) {
            struct stat st;
            return fd.isValid() && ::fstat(fd.handle(), &st) == 0 ? quint64(st.st_ino) : 0;
        };
        struct stat real;
        QVERIFY(::stat(QFile::encodeName(base + "/real").constData(), &real) == 0);
        QCOMPARE(inodeOf(openFolderThroughOwnLinks(base + "/absolute", false)), quint64(real.st_ino));
        QCOMPARE(inodeOf(openFolderThroughOwnLinks(base + "/relative/", false)), quint64(real.st_ino));
        QString why;
        QVERIFY(!openFolderThroughOwnLinks(base + "/absolute/new/deeper", false, &why).isValid());
        QVERIFY(why.contains("new"));
        QVERIFY(openFolderThroughOwnLinks(base + "/absolute/new/deeper", true).isValid());
        QVERIFY(QFileInfo(base + "/real/new/deeper").isDir());
        QVERIFY(!openFolderThroughOwnLinks(QStringLiteral("relative/path"), false).isValid());
        QVERIFY(testutil::writeFile(base + "/file", "x"));
        QVERIFY(!openFolderThroughOwnLinks(base + "/file", false).isValid());
        if (testutil::isRoot()) {
            QVERIFY(QFile::link(base + "/real", base + "/foreign"));
            QVERIFY(::lchown(QFile::encodeName(base + "/foreign").constData(), 65534, 65534) == 0);
            QVERIFY(!openFolderThroughOwnLinks(base + "/foreign/inner", true, &why).isValid());
            QVERIFY2(why.contains("belongs to user 65534"), qPrintable(why));
        }
    }

    void handleHolder()
    {
        int fds[2];
        QVERIFY(::pipe(fds) == 0);
        {
            HandleHolder readEnd(fds[0]);
            HandleHolder writeEnd;
            *writeEnd.handlePtr() = fds[1];
            HandleHolder moved(std::move(writeEnd));
            QCOMPARE(writeEnd.handle(), -1);
            QCOMPARE(moved.handle(), fds[1]);
            QVERIFY(fdIsOpen(fds[0]) && fdIsOpen(fds[1]));
        }
        QVERIFY(!fdIsOpen(fds[0]));
        QVERIFY(!fdIsOpen(fds[1]));

        // reset closes what was held; release hands it on unclosed; a pipe is held end by end.
        HandleHolder readEnd, writeEnd;
        QVERIFY(HandleHolder::openPipe(readEnd, writeEnd));
        const int r = readEnd.handle();
        const int w = writeEnd.handle();
        QVERIFY(fdIsOpen(r) && fdIsOpen(w));
        QVERIFY(::fcntl(r, F_GETFD) & FD_CLOEXEC);
        errno = EINTR;
        readEnd.reset();
        QCOMPARE(errno, EINTR);
        QVERIFY(!fdIsOpen(r) && !readEnd.isValid());
        QCOMPARE(writeEnd.release(), w);
        QVERIFY(!writeEnd.isValid());
        writeEnd.reset(w); // the same descriptor again: held, not closed
        QVERIFY(fdIsOpen(w));
        writeEnd.reset();
        QVERIFY(!fdIsOpen(w));
    }

    void scopedFileRemover()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString a = dir.path() + QStringLiteral("/a.txt");
        const QString b = dir.path() + QStringLiteral("/b.txt");
        QVERIFY(testutil::writeFile(a, "a"));
        QVERIFY(testutil::writeFile(b, "b"));
        {
            ScopedFileRemover remover(a);
        }
        QVERIFY(!QFileInfo::exists(a));
        {
            ScopedFileRemover remover(b);
            remover.release();
            QVERIFY(remover.path().isEmpty());
        }
        QVERIFY(QFileInfo::exists(b));
        {
            ScopedFileRemover outer(b);
            {
                ScopedFileRemover inner(std::move(outer));
                QVERIFY(outer.path().isEmpty());
            }
            QVERIFY(!QFileInfo::exists(b)); // deleted once, by the new owner
            QVERIFY(testutil::writeFile(b, "again"));
        }
        QVERIFY(QFileInfo::exists(b)); // the moved-from holder deletes nothing
    }
};

QTEST_GUILESS_MAIN(TestFileUtils)
#include "tst_fileutils.moc"
