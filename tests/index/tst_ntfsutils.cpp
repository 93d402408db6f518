// Volume questions through a scripted volume layer, file ids on the real disk, the lossless
// name codec and monitor thread names.
#include "search/index/NTFSUtils.h"
#include "search/index/ScriptedVolumeLayer.h"
#include "core/Logger.h"
#include "testutil.h"

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

    static VolumeDescription volume(const QString& mp, quint32 serial, bool indexable, bool network = false,
                                    bool alias = false, bool fixed = true)
    {
        VolumeDescription v;
        v.mountPoint = mp;
        v.serial = serial;
        v.indexable = indexable;
        v.network = network;
        v.alias = alias;
        v.fixed = fixed;
        return v;
    }

private slots:
    void initTestCase()
    {
        Logger::instance(logDir_.filePath(QStringLiteral("test.log")));
    }

    void drivesThroughTheVolumeLayer()
    {
        ScriptedVolumeLayer layer;
        layer.addVolume(volume(QStringLiteral("/srv"), 0x1234, true));
        layer.addVolume(volume(QStringLiteral("/"), 0xabcd, true));
        layer.addVolume(volume(QStringLiteral("/mnt/share"), 7, false, true, false, false));
        layer.addVolume(volume(QStringLiteral("/mnt/alias"), 0x1234, true, false, true));
        layer.addVolume(volume(QStringLiteral("/media/fat"), 9, false, false, false, false));
        layer.addVolume(volume(QStringLiteral("/media/usb"), 10, true, false, false, false));
        VolumeLayer::setInstance(&layer);
        QCOMPARE(getNtfsDrives(), QStringList({"/", "/media/usb", "/srv"}));
        QVERIFY(isNetworkDrive(QStringLiteral("/mnt/share")));
        QVERIFY(isSubstDrive(QStringLiteral("/mnt/alias")));
        QVERIFY(!isFixedDrive(QStringLiteral("/media/usb")));
        QVERIFY(isFixedDrive(QStringLiteral("/srv")));
        QVERIFY(!isNtfsVolume(QStringLiteral("/media/fat")));
        QCOMPARE(getVolumeSerialNumber(QStringLiteral("/srv")), 0x1234u);
        QCOMPARE(getVolumeSerialNumber(QStringLiteral("/gone")), 0u);
        QCOMPARE(volumeOf(QStringLiteral("/srv/www/index.html")), QStringLiteral("/srv"));
        QCOMPARE(volumeOf(QStringLiteral("/srvx/file")), QStringLiteral("/"));
        layer.setFileId(QStringLiteral("/srv/a"), 42, true);
        bool isDir = false;
        QCOMPARE(getFileReferenceNumber(QStringLiteral("/srv/a"), &isDir), FRN(42));
        QVERIFY(isDir);
        VolumeLayer::setInstance(nullptr);
    }

    void fileReferenceNumbersOnDisk()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("name with spaces"));
        QVERIFY(testutil::writeFile(file, "x"));
        struct stat st;
        QVERIFY(::stat(QFile::encodeName(file).constData(), &st) == 0);
        bool isDir = true;
        QCOMPARE(getFileReferenceNumber(file, &isDir), FRN(st.st_ino));
        QVERIFY(!isDir);
        QVERIFY(getFileReferenceNumber(dir.path(), &isDir) != 0);
        QVERIFY(isDir);
        const QString missing = dir.filePath(QStringLiteral("missing"));
        QCOMPARE(getFileReferenceNumber(missing), FRN(0));
        const QByteArray log = testutil::readFile(Logger::instance().filePath());
        const QString text = QString::fromUtf16(reinterpret_cast<const char16_t*>(log.constData()), log.size() / 2);
        QVERIFY(text.contains(QStringLiteral("\tDEBUG\tIFilterConvert\tFailed to open file %1, error = 2").arg(missing)));
    }

    // Paths travel as QStrings in the lossless form of fileNameFromBytes; the volume questions
    // must find the objects they name, also below a folder whose name is not UTF-8.
    void pathsWithNamesThatAreNotUtf8()
    {
        QTemporaryDir dir;
        const QByteArray folder = QFile::encodeName(dir.path()) + "/caf\xe9-\xff";
        QVERIFY(::mkdir(folder.constData(), 0755) == 0);
        QVERIFY(testutil::writeFile(QFile::decodeName(QFile::encodeName(dir.path()) + "/plain"), "x"));
        const QByteArray file = folder + "/inner";
        const int fd = ::open(file.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        QVERIFY(fd >= 0);
        ::close(fd);
        struct stat folderStat, fileStat;
        QVERIFY(::stat(folder.constData(), &folderStat) == 0);
        QVERIFY(::stat(file.constData(), &fileStat) == 0);
        bool isDir = false;
        QCOMPARE(getFileReferenceNumber(fileNameFromBytes(folder), &isDir), FRN(folderStat.st_ino));
        QVERIFY(isDir);
        QCOMPARE(getFileReferenceNumber(fileNameFromBytes(file), &isDir), FRN(fileStat.st_ino));
        QVERIFY(!isDir);
        QCOMPARE(volumeOf(fileNameFromBytes(file)), volumeOf(dir.path()));
        QVERIFY(::unlink(file.constData()) == 0);
        QVERIFY(::rmdir(folder.constData()) == 0);
    }

    void namesSurviveTheRoundTrip_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("validUtf8");
        QTest::newRow("ascii") << QByteArray("readme.txt") << true;
        QTest::newRow("two-byte") << QByteArray("caf\xc3\xa9") << true;
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
        if (validUtf8)
            QCOMPARE(name, QString::fromUtf8(bytes));
        else
            QVERIFY(name != QString::fromUtf8(bytes));
    }

    void randomBytesRoundTrip()
    {
        QRandomGenerator rng(12345);
        for (int i = 0; i < 2000; ++i) {
            QByteArray b(int(rng.bounded(1, 40)), Qt::Uninitialized);
            for (char& c : b)
                c = char(rng.bounded(1, 256));
            QCOMPARE(fileNameToBytes(fileNameFromBytes(b)), b);
        }
    }

    void monitorThreadNames()
    {
        QCOMPARE(monitorThreadName(QStringLiteral("/")), QStringLiteral("MONITOR_ROOT"));
        QCOMPARE(monitorThreadName(QStringLiteral("/home")), QStringLiteral("MONITOR_home"));
        QCOMPARE(monitorThreadName(QStringLiteral("/media/usb/")), QStringLiteral("MONITOR_usb"));
        QCOMPARE(monitorThreadName(QStringLiteral("/mnt/a-long-volume-name")), QStringLiteral("MONITOR_a-long-"));
        QVERIFY(monitorThreadName(QStringLiteral("/mnt/\u00e9\u00e9\u00e9\u00e9")).toUtf8().size() <= 15);
    }
};

QTEST_GUILESS_MAIN(NTFSUtilsTest)
#include "tst_ntfsutils.moc"
