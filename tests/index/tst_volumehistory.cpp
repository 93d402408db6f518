// The volume history: when a volume counts as gone for good (a fixed one missing at 10 starts
// in a row and for 30 days; never a removable one nor one of unknown kind), and the file it is
// kept in.
#include "search/index/IndexFile.h"
#include "search/index/VolumeHistory.h"
#include "testutil.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestVolumeHistory : public QObject
{
    Q_OBJECT

private slots:
    void goneOnlyWhenFixedAndMissingLongEnough()
    {
        VolumeHistory h;
        const qint64 day = 20000;
        // Seen: 0x11 fixed, 0x22 removable; 0x33 listed but never seen.
        QVERIFY(h.noteStart({{0x11, false}, {0x22, true}}, {0x11, 0x22, 0x33}, day).isEmpty());
        QCOMPARE(h.sightings().value(0x33).removable, true);
        // Nine starts without them, over 40 days: not yet (starts).
        for (int i = 1; i <= 9; ++i)
            QVERIFY(h.noteStart({}, {0x11, 0x22, 0x33}, day + i * 5).isEmpty());
        QCOMPARE(h.sightings().value(0x11).missedStarts, 9);
        // The tenth start: the fixed one is gone, the removable and the unknown one are kept.
        QCOMPARE(h.noteStart({}, {0x11, 0x22, 0x33}, day + 50), QList<quint32>({0x11}));
        // Still listed (the settings were not written back): reported again.
        QCOMPARE(h.noteStart({}, {0x11, 0x22, 0x33}, day + 51), QList<quint32>({0x11}));
        // No longer listed: forgotten.
        QVERIFY(h.noteStart({}, {0x22, 0x33}, day + 52).isEmpty());
        QVERIFY(!h.sightings().contains(0x11));
        QVERIFY(h.sightings().contains(0x22) && h.sightings().contains(0x33));
        QCOMPARE(h.sightings().value(0x22).missedStarts, 12);
    }

    void manyStartsInFewDaysAreNotEnough()
    {
        VolumeHistory h;
        QVERIFY(h.noteStart({{0x11, false}}, {0x11}, 100).isEmpty());
        for (int i = 0; i < 50; ++i)
            QVERIFY(h.noteStart({}, {0x11}, 100 + 29).isEmpty());
        QCOMPARE(h.noteStart({}, {0x11}, 100 + 30), QList<quint32>({0x11}));
    }

    void seenAgainStartsOver()
    {
        VolumeHistory h;
        QVERIFY(h.noteStart({{0x11, false}}, {0x11}, 100).isEmpty());
        for (int i = 1; i <= 9; ++i)
            h.noteStart({}, {0x11}, 100 + 10 * i);
        // Mounted while the program ran (not at a start).
        QVERIFY(!h.seenOn(0x11, 195));
        QVERIFY(h.noteSeen({{0x11, false}}, 195));
        QVERIFY(h.seenOn(0x11, 195));
        QVERIFY(!h.noteSeen({{0x11, false}}, 195));
        QVERIFY(h.noteStart({}, {0x11}, 200).isEmpty());
        QCOMPARE(h.sightings().value(0x11).missedStarts, 1);
        // Seen as removable once: never gone.
        h.noteStart({{0x11, true}}, {0x11}, 300);
        for (int i = 1; i <= 20; ++i)
            QVERIFY(h.noteStart({}, {0x11}, 300 + 10 * i).isEmpty());
    }

    void fileRoundTripAndDamage()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath("DB");
        VolumeHistory h;
        h.setSightings({{0x1, {false, 20000, 3}}, {0xdeadbeef, {true, 19000, 0}}});
        QString error;
        QVERIFY2(h.save(folder, &error), qPrintable(error));
        QFile file(folder + "/" + IndexFile::HistoryFileName);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("1 0 20000 3\ndeadbeef 1 19000 0\n"));
        QCOMPARE(int(file.permissions() & (QFile::ReadGroup | QFile::ReadOther)), 0);
        file.close();
        VolumeHistory back;
        back.load(folder);
        QCOMPARE(back.sightings(), h.sightings());
        // Lines that do not read are skipped, the others kept.
        QVERIFY(testutil::writeFile(folder + "/volumes", "1 0 20000 3\nzz 0 1 1\n0 1 1 1\n2 7 1 1\n3 1 1 -1\n4 1 5\n5 1 10 2\n"));
        back.load(folder);
        QCOMPARE(back.sightings().keys(), QList<quint32>({0x1, 0x5}));
        // A link in its place is not followed.
        QVERIFY(QFile::remove(folder + "/volumes"));
        QVERIFY(testutil::writeFile(dir.filePath("elsewhere"), "6 0 1 1\n"));
        QVERIFY(QFile::link(dir.filePath("elsewhere"), folder + "/volumes"));
        back.load(folder);
        QVERIFY(back.sightings().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestVolumeHistory)
#include "tst_volumehistory.moc"
