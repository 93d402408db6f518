// Name and contents search through the façade over the real name index: a tmpfs mounted in a
// private mount namespace is indexed (root only), a folder elsewhere is walked, and both meet
// in one result list.
#include "search/index/NTFSUtils.h"
#include "tests/engine/enginetest.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <sched.h>
#include <sys/mount.h>

using namespace enginetest;

class TestIndexSearch : public QObject
{
    Q_OBJECT

    QTemporaryDir tmp;
    QString vol;
    QString plain;
    bool mounted = false;

private slots:
    void initTestCase()
    {
        QVERIFY(tmp.isValid());
        Logger::instance(tmp.filePath(QStringLiteral("test.log")));
        if (!testutil::isRoot())
            return;
        TQ_ENTER_PRIVATE_MOUNTS();
        vol = tmp.filePath(QStringLiteral("vol"));
        plain = tmp.filePath(QStringLiteral("plain"));
        QVERIFY(QDir().mkpath(vol));
        QVERIFY(::mount("tmpfs", QFile::encodeName(vol).constData(), "tmpfs", 0, "size=16m") == 0);
        mounted = true;
        QVERIFY(testutil::writeFile(vol + "/a/report.txt", "alpha quarterly\n"));
        QVERIFY(testutil::writeFile(vol + "/a/b/report-old.txt", "beta\n"));
        QVERIFY(testutil::writeFile(vol + "/a/b/notes.md", "alpha\n"));
        QVERIFY(QDir().mkpath(vol + "/reports"));
        // Two volumes mounted inside the indexed one: one walked, one indexed itself.
        for (const char* inner : {"/inner", "/deep"}) {
            QVERIFY(QDir().mkpath(vol + inner));
            QVERIFY(::mount("tmpfs", QFile::encodeName(vol + inner).constData(), "tmpfs", 0, "size=4m") == 0);
        }
        QVERIFY(testutil::writeFile(vol + "/inner/sub/report-inner.txt", "alpha\n"));
        QVERIFY(testutil::writeFile(vol + "/deep/report-deep.txt", "alpha\n"));
        QVERIFY(testutil::writeFile(plain + "/report-plain.txt", "alpha\n"));
        QVERIFY(testutil::writeFile(plain + "/other.txt", "alpha\n"));
    }
    void cleanupTestCase()
    {
        if (!mounted)
            return;
        for (const char* inner : {"/inner", "/deep"})
            ::umount2(QFile::encodeName(vol + inner).constData(), MNT_DETACH);
        ::umount2(QFile::encodeName(vol).constData(), MNT_DETACH);
    }

    void indexAndWalkTogether()
    {
        if (!testutil::isRoot())
            QSKIP("needs root (a tmpfs mounted in a private mount namespace is indexed)");
        QCOMPARE(volumeOf(vol), vol);
        const quint32 serial = getVolumeSerialNumber(vol);
        QVERIFY(serial != 0);

        FileSearcher searcher(tmp.filePath("work"), FileSearcher::UseIndex);
        QSignalSpy init(&searcher, &FileSearcher::initFinished);
        IndexingSettings settings;
        const quint32 deepSerial = getVolumeSerialNumber(vol + "/deep");
        QVERIFY(deepSerial != 0 && deepSerial != serial);
        settings.indexDrives = {serial, deepSerial};
        settings.autoAddFixed = false;
        settings.autoAddRemovable = false;
        settings.dbPath = tmp.filePath("db");
        QVERIFY(QDir().mkpath(settings.dbPath));

        // A search filed before the index is ready waits for it.
        FileSearchRequest early;
        early.fileName = "report";
        early.includePaths = QStringList{vol, plain};
        QSignalSpy found(&searcher, &FileSearcher::findFinished);
        FileSearchResults earlyResults;
        searcher.find(&early, &earlyResults);
        searcher.init(settings, ContentSearchOptions());
        QVERIFY(init.wait(30000) || init.count() == 1);
        QMap<QString, int> counts;
        searcher.indexedCounts(counts);
        QVERIFY2(counts.value(vol) >= 6, qPrintable(QString::number(counts.value(vol))));
        QVERIFY(counts.value(vol + "/deep") >= 2);
        QVERIFY(waitFor(found, early.id));
        // The volumes inside the indexed one are searched too (indexed or walked), once each.
        const QStringList expected{plain + "/report-plain.txt", vol + "/a/b/report-old.txt",
                                   vol + "/a/report.txt", vol + "/deep/report-deep.txt",
                                   vol + "/inner/sub/report-inner.txt", vol + "/reports"};
        QCOMPARE(paths(earlyResults), expected);

        // Contents over index candidates and walked ones alike; folders drop out.
        FileSearchRequest withText;
        withText.fileName = "report";
        withText.includePaths = QStringList{vol, plain};
        withText.contents = "alpha";
        QCOMPARE(search(searcher, withText),
                 QStringList({plain + "/report-plain.txt", vol + "/a/report.txt",
                              vol + "/deep/report-deep.txt", vol + "/inner/sub/report-inner.txt"}));
        // An inner volume also named as an include folder is still searched once.
        FileSearchRequest named;
        named.fileName = "report-inner";
        named.includePaths = QStringList{vol, vol + "/inner"};
        QCOMPARE(search(searcher, named), QStringList({vol + "/inner/sub/report-inner.txt"}));
        named.includePaths = QStringList{vol + "/inner/", vol};
        QCOMPARE(search(searcher, named), QStringList({vol + "/inner/sub/report-inner.txt"}));

        // Without subfolders the inner volumes stay out.
        FileSearchRequest flat;
        flat.fileName = "report";
        flat.includePaths = QStringList{vol};
        flat.includeSubfolders = false;
        QCOMPARE(search(searcher, flat), QStringList({vol + "/reports"}));

        // Only the indexed volume: nothing is walked, and a file created now is found through
        // the index's live updates.
        QVERIFY(testutil::writeFile(vol + "/a/report-new.txt", "x"));
        QStringList live;
        for (int attempt = 0; attempt < 50; ++attempt) {
            FileSearchRequest fresh;
            fresh.fileName = "report-new";
            fresh.includePaths = QStringList{vol};
            live = search(searcher, fresh);
            if (!live.isEmpty())
                break;
            QTest::qWait(100);
        }
        QCOMPARE(live, QStringList({vol + "/a/report-new.txt"}));
    }

    void updatesQueueAndInitReplaces()
    {
        if (!testutil::isRoot())
            QSKIP("needs root (a tmpfs mounted in a private mount namespace is indexed)");
        const quint32 serial = getVolumeSerialNumber(vol);
        const quint32 deepSerial = getVolumeSerialNumber(vol + "/deep");
        FileSearcher searcher(tmp.filePath("work"), FileSearcher::UseIndex);
        QSignalSpy init(&searcher, &FileSearcher::initFinished);
        IndexingSettings settings;
        settings.autoAddFixed = false;
        settings.dbPath = tmp.filePath("db2");
        QVERIFY(QDir().mkpath(settings.dbPath));

        // An update asked before the initialisation waits for it; a second one replaces it.
        IndexingSettings both = settings;
        both.indexDrives = {serial, deepSerial};
        IndexingSettings onlyVol = settings;
        onlyVol.indexDrives = {serial};
        QSignalSpy finished(&searcher, &FileSearcher::updateFinished);
        searcher.update(both);
        // Two initialisations in a row: the first is stopped and waited for.
        searcher.init(settings, ContentSearchOptions());
        searcher.init(settings, ContentSearchOptions());
        QTRY_COMPARE_WITH_TIMEOUT(init.count(), 1, 30000);
        QTest::qWait(100);
        QCOMPARE(init.count(), 1); // the replaced initialisation reports nothing
        QMap<QString, int> counts;
        QTRY_VERIFY_WITH_TIMEOUT((counts.clear(), searcher.indexedCounts(counts), counts.size() == 2), 30000);

        // Updates while one runs queue behind it; the last settings win.
        searcher.update(both);
        searcher.update(settings);
        searcher.update(onlyVol);
        QTRY_VERIFY_WITH_TIMEOUT((counts.clear(), searcher.indexedCounts(counts),
                                  counts.size() == 1 && counts.contains(vol)), 30000);
        QVERIFY(finished.count() >= 1);
        QCOMPARE(searcher.indexingSettings().indexDrives, QList<quint32>({serial}));
    }
};

QTEST_GUILESS_MAIN(TestIndexSearch)
#include "tst_indexsearch.moc"
