// Moving the file database folder: which changes are refused, and that removing the old index
// deletes only index files, never through a link.
#include "ui/options/IndexFolder.h"

#include "testutil.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestIndexFolder : public QObject
{
    Q_OBJECT

private slots:
    void compare_data()
    {
        QTest::addColumn<QString>("oldPath");
        QTest::addColumn<QString>("newPath");
        QTest::addColumn<int>("change");
        QTest::newRow("same") << "/data/idx"
                              << "/data/idx" << int(IndexFolder::Unchanged);
        QTest::newRow("trailing slash") << "/data/idx"
                                        << "/data/idx/" << int(IndexFolder::Unchanged);
        QTest::newRow("double slash") << "/data//idx"
                                      << "/data/idx" << int(IndexFolder::Unchanged);
        QTest::newRow("moved") << "/data/idx"
                               << "/data/idx2" << int(IndexFolder::Moved);
        QTest::newRow("sibling prefix") << "/data/idx"
                                        << "/data/idx-old" << int(IndexFolder::Moved);
        QTest::newRow("empty") << "/data/idx"
                               << "" << int(IndexFolder::Empty);
        QTest::newRow("relative") << "/data/idx"
                                  << "data/idx" << int(IndexFolder::Relative);
        QTest::newRow("inside") << "/data/idx"
                                << "/data/idx/DB" << int(IndexFolder::Nested);
        QTest::newRow("holding") << "/data/idx"
                                 << "/data" << int(IndexFolder::Nested);
        QTest::newRow("root") << "/data/idx"
                              << "/" << int(IndexFolder::Nested);
        QTest::newRow("case differs") << "/data/idx"
                                      << "/data/IDX" << int(IndexFolder::Moved);
        // An old folder that was never usable does not hold anything back.
        QTest::newRow("old relative") << "idx"
                                      << "/data/idx" << int(IndexFolder::Moved);
        QTest::newRow("old empty") << ""
                                   << "/data/idx" << int(IndexFolder::Moved);
    }

    void compare()
    {
        QFETCH(QString, oldPath);
        QFETCH(QString, newPath);
        QFETCH(int, change);
        QCOMPARE(int(IndexFolder::compare(oldPath, newPath)), change);
    }

    void indexFileNames()
    {
        for (const char* name : {"0", "1111", "deadbeef", "1111.tmp3fa2c", "volumes", "volumes.tmp1f"})
            QVERIFY2(IndexFolder::isIndexFileName(QLatin1String(name)), name);
        for (const char* name : {"", "123456789", "DEADBEEF", "1111.bak", "notes.txt", "1111.tmpx",
                                 ".1111", "1111.tmp/", "g1", "1111.tmp", "0a", "volumes.bak", "Volumes"})
            QVERIFY2(!IndexFolder::isIndexFileName(QLatin1String(name)), name);
    }

    void removesOnlyIndexFiles()
    {
        QTemporaryDir dir;
        const QString db = dir.filePath(QStringLiteral("idx/DB"));
        QVERIFY(testutil::writeFile(db + QStringLiteral("/1111"), "a"));
        QVERIFY(testutil::writeFile(db + QStringLiteral("/abcd.tmp12"), "b"));
        QVERIFY(testutil::writeFile(db + QStringLiteral("/notes.txt"), "the user's"));
        QVERIFY(QDir().mkpath(db + QStringLiteral("/2222"))); // a folder with an index-file name
        int removed = -1;
        QVERIFY(IndexFolder::removeIndexFiles(dir.filePath(QStringLiteral("idx/")), &removed));
        QCOMPARE(removed, 2);
        QVERIFY(!QFileInfo::exists(db + QStringLiteral("/1111")));
        QVERIFY(!QFileInfo::exists(db + QStringLiteral("/abcd.tmp12")));
        QVERIFY(QFileInfo::exists(db + QStringLiteral("/notes.txt")));
        QVERIFY(QFileInfo(db + QStringLiteral("/2222")).isDir());

        // Only index files left: the folder goes too.
        QVERIFY(QFile::remove(db + QStringLiteral("/notes.txt")));
        QVERIFY(QDir(db).rmdir(QStringLiteral("2222")));
        QVERIFY(testutil::writeFile(db + QStringLiteral("/1111"), "a"));
        QVERIFY(IndexFolder::removeIndexFiles(dir.filePath(QStringLiteral("idx")), &removed));
        QCOMPARE(removed, 1);
        QVERIFY(!QFileInfo::exists(db));
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("idx"))).isDir());
        // Nothing there any more: nothing to do.
        QVERIFY(IndexFolder::removeIndexFiles(dir.filePath(QStringLiteral("idx"))));
        QVERIFY(IndexFolder::removeIndexFiles(dir.filePath(QStringLiteral("missing"))));
    }

    void neverFollowsLinks()
    {
        QTemporaryDir dir;
        // Somebody else's files, reachable through links.
        const QString elsewhere = dir.filePath(QStringLiteral("elsewhere"));
        QVERIFY(testutil::writeFile(elsewhere + QStringLiteral("/1111"), "not ours"));
        const QString base = dir.filePath(QStringLiteral("idx"));
        QVERIFY(QDir().mkpath(base));
        // "DB" itself a link: nothing is removed through it.
        QVERIFY(QFile::link(elsewhere, base + QStringLiteral("/DB")));
        QVERIFY(!IndexFolder::removeIndexFiles(base));
        QVERIFY(QFileInfo::exists(elsewhere + QStringLiteral("/1111")));
        QVERIFY(QFileInfo(base + QStringLiteral("/DB")).isSymLink());

        // A link inside "DB" with an index-file name is not an index file.
        QVERIFY(QFile::remove(base + QStringLiteral("/DB")));
        QVERIFY(QDir().mkpath(base + QStringLiteral("/DB")));
        QVERIFY(
            QFile::link(elsewhere + QStringLiteral("/1111"), base + QStringLiteral("/DB/2222")));
        QVERIFY(IndexFolder::removeIndexFiles(base));
        QVERIFY(QFileInfo::exists(elsewhere + QStringLiteral("/1111")));
        QVERIFY(QFileInfo(base + QStringLiteral("/DB/2222")).isSymLink());

        // The user's own choice of a linked folder is followed once, when the clean-up starts.
        const QString linked = dir.filePath(QStringLiteral("linked"));
        QVERIFY(QFile::link(base, linked));
        QVERIFY(testutil::writeFile(base + QStringLiteral("/DB/3333"), "ours"));
        QVERIFY(IndexFolder::removeIndexFiles(linked));
        QVERIFY(!QFileInfo::exists(base + QStringLiteral("/DB/3333")));
        QVERIFY(QFileInfo::exists(elsewhere + QStringLiteral("/1111")));
    }
};

QTEST_MAIN(TestIndexFolder)
#include "tst_indexfolder.moc"
