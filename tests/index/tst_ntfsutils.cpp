// Volume questions through a scripted volume layer, file ids on the real disk, the lossless
// name codec and monitor thread names.
#include "search/index/NTFSUtils.h"
#include "tests/doubles/ScriptedVolumeLayer.h"
#include "core/Logger.h"
#include "indexlog.h"
#include "testutil.h"
#include "scopedinstance.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

class NTFSUtilsTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir logDir_;

    static quint64 inodeOf(const QByteArray& path)
    {
        struct stat st;
        return ::stat(path.constData(), &st) == 0 ? quint64(st.st_ino) : 0;
    }

private slots:
    void initTestCase()
    {
        Logger::instance(logDir_.filePath(QStringLiteral("test.log")));
    }

    // Indexable, not network, not alias volumes, sorted; volumeOf matches whole path components.
    void drivesThroughTheVolumeLayer()
    {
        ScriptedVolumeLayer layer;
        auto add = [&](const char* mp, quint32 serial, bool indexable, bool network, bool alias) {
            VolumeDescription v;
            v.mountPoint = QString::fromLatin1(mp);
            v.serial = serial;
            v.indexable = indexable;
            v.network = network;
            v.alias = alias;
            layer.addVolume(v);
        };
        add("/srv", 0x1234, true, false, false);
        add("/", 0xabcd, true, false, false);
        add("/mnt/share", 7, false, true, false);
        add("/mnt/alias", 0x1234, true, false, true);
        add("/media/fat", 9, false, false, false);
        add("/media/usb", 10, true, false, false);
        const testutil::ScopedInstance<VolumeLayer> installed(&layer);
        QCOMPARE(getNtfsDrives(), QStringList({"/", "/media/usb", "/srv"}));
        QCOMPARE(getVolumeSerialNumber(QStringLiteral("/gone")), 0u);
        QCOMPARE(volumeOf(QStringLiteral("/srv/www/index.html")), QStringLiteral("/srv"));
        QCOMPARE(volumeOf(QStringLiteral("/srvx/file")), QStringLiteral("/"));
    }

    // File ids on disk, also below a folder whose name is not UTF-8 (paths travel in the
    // lossless form of fileNameFromBytes); a missing file logs the exact line and gives 0.
    void fileReferenceNumbersOnDisk()
    {
        QTemporaryDir dir;
        const QByteArray folder = QFile::encodeName(dir.path()) + "/caf\xe9-\xff";
        QVERIFY(::mkdir(folder.constData(), 0755) == 0);
        const QByteArray file = folder + "/name with spaces";
        const int fd = ::open(file.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        QVERIFY(fd >= 0);
        ::close(fd);
        bool isDir = false;
        QCOMPARE(getFileReferenceNumber(fileNameFromBytes(folder), &isDir), FRN(inodeOf(folder)));
        QVERIFY(isDir);
        QCOMPARE(getFileReferenceNumber(fileNameFromBytes(file), &isDir), FRN(inodeOf(file)));
        QVERIFY(!isDir);
        QCOMPARE(volumeOf(fileNameFromBytes(file)), volumeOf(dir.path()));
        QVERIFY(::unlink(file.constData()) == 0 && ::rmdir(folder.constData()) == 0);
        const QString missing = dir.filePath(QStringLiteral("missing"));
        QCOMPARE(getFileReferenceNumber(missing), FRN(0));
        QVERIFY(indexLogText().contains(QStringLiteral("\tDEBUG\tIFilterConvert\tFailed to open file %1, error = 2").arg(missing)));
    }

    void namesSurviveTheRoundTrip_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("validUtf8");
        QTest::newRow("ascii") << QByteArray("readme.txt") << true;
        QTest::newRow("four-byte") << QByteArray("smile \xf0\x9f\x98\x80.png") << true;
        QTest::newRow("backslash") << QByteArray("a\\b") << true;
        QTest::newRow("latin1") << QByteArray("\xe9t\xe9") << false;
        QTest::newRow("truncated") << QByteArray("ab\xe2\x82") << false;
        QTest::newRow("overlong") << QByteArray("\xc0\xaf") << false;
        QTest::newRow("surrogate") << QByteArray("\xed\xa0\x80") << false;
        QTest::newRow("above-max") << QByteArray("\xf4\x90\x80\x80") << false;
        QTest::newRow("raw-escape-range") << QByteArray("\x80\xff") << false;
    }

    void namesSurviveTheRoundTrip()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, validUtf8);
        const QString name = fileNameFromBytes(bytes);
        QCOMPARE(fileNameToBytes(name), bytes);
        QCOMPARE(name == QString::fromUtf8(bytes), validUtf8);
        // Random byte strings round-trip too.
        QRandomGenerator rng(quint32(bytes.size()) * 7919u + quint8(bytes.at(0)));
        for (int i = 0; i < 200; ++i) {
            QByteArray b(int(rng.bounded(1, 40)), Qt::Uninitialized);
            for (char& c : b)
                c = char(rng.bounded(1, 256));
            QCOMPARE(fileNameToBytes(fileNameFromBytes(b)), b);
        }
    }

    // Thread names are cut to 15 bytes (the kernel's limit), also within multi-byte letters.
    void monitorThreadNames()
    {
        QCOMPARE(monitorThreadName(QStringLiteral("/")), QStringLiteral("MONITOR_ROOT"));
        QCOMPARE(monitorThreadName(QStringLiteral("/media/usb/")), QStringLiteral("MONITOR_usb"));
        QCOMPARE(monitorThreadName(QStringLiteral("/mnt/a-long-volume-name")), QStringLiteral("MONITOR_a-long-"));
        QVERIFY(monitorThreadName(QStringLiteral("/mnt/\u00e9\u00e9\u00e9\u00e9")).toUtf8().size() <= 15);
    }
};

QTEST_GUILESS_MAIN(NTFSUtilsTest)
#include "tst_ntfsutils.moc"
