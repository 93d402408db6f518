// The table reader: root first, every object reported, failures never taken for the end of
// the table, cancellation; over a scripted volume layer and over a real tmpfs (root).
#include "search/index/MFTReader.h"
#include "tests/doubles/ScriptedVolumeLayer.h"
#include "core/FileSearchException.h"
#include "indextest.h"
#include "scopedinstance.h"
#include "testutil.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <optional>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

class MFTReaderTest : public QObject
{
    Q_OBJECT

private:
    ScriptedVolumeLayer layer_;
    std::optional<testutil::ScopedInstance<VolumeLayer>> installedLayer_;

    // The message of the table reader's failure; a cancellation or no failure fails the test.
    static QString readError(MFTReader& reader)
    {
        try {
            reader.read(QStringLiteral("/vol"), nullptr);
        } catch (const FileSearchCancelException&) {
            return QStringLiteral("a failure is no cancellation");
        } catch (const FileSearchException& e) {
            return QString::fromUtf8(e.what());
        }
        return QStringLiteral("no exception");
    }

    void script(int files)
    {
        QVector<ScriptedVolumeLayer::Entry> entries;
        entries.append({10, 2, "docs", true});
        for (int i = 0; i < files; ++i)
            entries.append({quint64(100 + i), 10, "file" + QByteArray::number(i), false});
        entries.append({11, 2, "$Extend-like name", false});  // no "$" rule on Linux
        entries.append({12, 10, "bad-\xff", false});
        layer_.setEntries(QStringLiteral("/vol"), entries);
        layer_.setFileId(QStringLiteral("/vol"), 2, true);
    }

private slots:
    void init()
    {
        layer_.setBatchSize(7);
        installedLayer_.emplace(&layer_);
    }

    void cleanup()
    {
        installedLayer_.reset();
    }

    // Root first with the mount point as its name, then every object; the signal form and the
    // batch form (root alone, then batches of the layer's size) see the same raw names.
    void rootFirstThenEveryObject()
    {
        script(20);
        MFTReader reader;
        QSignalSpy found(&reader, &MFTReader::fileFound);
        reader.read(QStringLiteral("/vol"), nullptr);
        QCOMPARE(found.size(), 24);
        QCOMPARE(found[0], (QList<QVariant>{QVariant::fromValue(FRN(2)), QVariant::fromValue(FRN(0)), QStringLiteral("/vol"), true}));
        QCOMPARE(found[1][2].toString(), QStringLiteral("docs"));
        QCOMPARE(found[22][2].toString(), QStringLiteral("$Extend-like name"));
        QCOMPARE(fileNameToBytes(found[23][2].toString()), QByteArray("bad-\xff"));

        QVector<QByteArray> names;
        int batches = 0;
        reader.read(QStringLiteral("/vol"), nullptr, [&](const VolumeEntryBatch& b) {
            ++batches;
            for (size_t i = 0; i < b.size(); ++i)
                names.append(QByteArray(b.name(i), b.nameLength(i)));
        });
        QCOMPARE(found.size(), 24);  // the batch form does not emit signals
        QCOMPARE(names.size(), 24);
        QCOMPARE(names.first(), QByteArray("/vol"));
        QCOMPARE(names.last(), QByteArray("bad-\xff"));
        QCOMPARE(batches, 1 + 4);
    }

    // A root without a number, and a walk that fails part-way, throw (never a cancellation,
    // never taken for the end of the table).
    void failuresThrow()
    {
        script(30);
        layer_.setFileId(QStringLiteral("/vol"), 0, true);
        MFTReader reader;
        QSignalSpy found(&reader, &MFTReader::fileFound);
        QString what = readError(reader);
        QVERIFY2(what.contains(QStringLiteral("Failed to open volume /vol")), qPrintable(what));
        QCOMPARE(found.size(), 0);

        layer_.setFileId(QStringLiteral("/vol"), 2, true);
        layer_.setEnumerationFailure(QStringLiteral("/vol"), 10, QStringLiteral("I/O error"));
        what = readError(reader);
        QVERIFY2(what.contains(QStringLiteral("I/O error")), qPrintable(what));
        QVERIFY(found.size() < 34);
    }

    void cancelAfterTheCurrentBatch()
    {
        layer_.setBatchSize(5);
        QVector<ScriptedVolumeLayer::Entry> entries;
        for (int i = 0; i < 50; ++i)
            entries.append({quint64(100 + i), 2, "f" + QByteArray::number(i), false});
        layer_.setEntries(QStringLiteral("/c"), entries);
        layer_.setFileId(QStringLiteral("/c"), 2, true);
        MFTReader reader;
        bool cancel = false;
        int seen = 0;
        connect(&reader, &MFTReader::fileFound, this, [&] {
            if (++seen == 8)
                cancel = true;
        });
        try {
            reader.read(QStringLiteral("/c"), &cancel);
            QFAIL("no exception");
        } catch (const FileSearchCancelException& e) {
            QVERIFY(QString::fromUtf8(e.what()).contains(QStringLiteral("Canceled")));
            QVERIFY(QString::fromUtf8(e.what()).contains(QStringLiteral("MFTReader")));
        }
        QCOMPARE(seen, 11);  // root + two batches of five: the batch under way is completed
    }

    void realVolume()
    {
        if (!testutil::isRoot())
            QSKIP("needs root (mounting in a private mount namespace)");
        const testutil::ScopedInstance<VolumeLayer> realLayer(nullptr);
        TQ_ENTER_PRIVATE_MOUNTS();
        QTemporaryDir dir;
        const QByteArray mp = QFile::encodeName(dir.path()) + "/vol";
        QVERIFY(::mkdir(mp.constData(), 0755) == 0);
        QVERIFY(::mount("tmpfs", mp.constData(), "tmpfs", 0, "size=4m") == 0);
        QVERIFY(::mkdir((mp + "/a").constData(), 0755) == 0);
        QVERIFY(touchFile(mp + "/a/\xff.txt"));
        struct stat root, a, f;
        QVERIFY(::stat(mp.constData(), &root) == 0 && ::stat((mp + "/a").constData(), &a) == 0
                && ::stat((mp + "/a/\xff.txt").constData(), &f) == 0);

        MFTReader reader;
        QSignalSpy found(&reader, &MFTReader::fileFound);
        reader.read(QFile::decodeName(mp), nullptr);
        ::umount2(mp.constData(), MNT_DETACH);
        QCOMPARE(found.size(), 3);
        QCOMPARE(found[0][0].value<FRN>(), FRN(root.st_ino));
        QCOMPARE(found[0][1].value<FRN>(), FRN(0));
        QCOMPARE(found[0][2].toString(), QFile::decodeName(mp));
        // The other two in any order: number -> "parent name isDir".
        QHash<FRN, QByteArray> rest;
        for (int i = 1; i < 3; ++i)
            rest.insert(found[i][0].value<FRN>(), QByteArray::number(found[i][1].value<FRN>()) + ' '
                        + fileNameToBytes(found[i][2].toString()) + ' ' + QByteArray::number(found[i][3].toBool()));
        QCOMPARE(rest.value(FRN(a.st_ino)), QByteArray::number(quint64(root.st_ino)) + " a 1");
        QCOMPARE(rest.value(FRN(f.st_ino)), QByteArray::number(quint64(a.st_ino)) + " \xff.txt 0");
        QVERIFY_EXCEPTION_THROWN(reader.read(QFile::decodeName(mp + "/gone"), nullptr), FileSearchException);
    }
};

QTEST_GUILESS_MAIN(MFTReaderTest)
#include "tst_mftreader.moc"
