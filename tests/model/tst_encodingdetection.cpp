// Encoding guesses from the first 128 bytes (marks, UTF-16 without a mark, UTF-8, binary, the
// window boundary), device positioning, isAscii, and the temporary-file holder.
#include "search/model/EncodingDetection.h"

#include "core/FileNameCodec.h"
#include "search/model/TempFileHolder.h"

#include "testutil.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

#include <chrono>
#include <fcntl.h>
#include <future>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString guess(const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return detectEncoding(&buffer);
}

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

} // namespace

class TestEncodingDetection : public QObject
{
    Q_OBJECT

private slots:
    void guesses_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("expected");
        const QString le = QStringLiteral("UTF-16LE"), be = QStringLiteral("UTF-16BE"),
                      u8 = QStringLiteral("UTF-8"), bin = QStringLiteral("BINARY"), local("");
        // Bytes above 127 that are not UTF-8: Windows-1252 where the locale is UTF-8.
        const QString eightBit = QTextCodec::codecForLocale()->mibEnum() == 106 ? QStringLiteral("windows-1252") : local;
        QTest::newRow("BE mark") << bytes({0xFE, 0xFF}) << be;
        QTest::newRow("LE mark") << bytes({0xFF, 0xFE, 0x41, 0x00}) << le;
        QTest::newRow("UTF-8 mark") << bytes({0xEF, 0xBB, 0xBF}) << u8;
        // Half a UTF-8 mark is neither a mark nor valid UTF-8 (the text ends inside it).
        QTest::newRow("half UTF-8 mark") << bytes({0xEF, 0xBB}) << eightBit;
        QTest::newRow("half UTF-16 mark") << bytes({0xFE}) << eightBit;
        QTest::newRow("empty") << QByteArray() << local;

        QTest::newRow("LE without mark") << bytes({0x61, 0, 0x20, 0, 0x62, 0, 0x20, 0, 0x63, 0}) << le;
        QTest::newRow("BE without mark") << bytes({0, 0x61, 0, 0x20, 0, 0x62, 0, 0x20, 0, 0x63}) << be;
        // One UTF-16 blank is not enough; the 0 bytes then make it binary.
        QTest::newRow("one UTF-16 blank") << bytes({0x61, 0, 0x20, 0, 0x62, 0}) << bin;
        QByteArray controls = bytes({0x20, 0, 0x20, 0});
        for (int i = 0; i < 20; ++i)
            controls += bytes({0x01, 0x00});
        QTest::newRow("blanks among control units") << controls << bin;
        // Text needs at least three printable units per non-printable one.
        const QByteArray six = bytes({0x20, 0, 0x20, 0, 0x61, 0, 0x61, 0, 0x61, 0, 0x61, 0});
        QTest::newRow("3:1 printable") << six + bytes({1, 0, 1, 0}) << le;
        QTest::newRow("below 3:1 printable") << six + bytes({1, 0, 1, 0, 1, 0}) << bin;
        QTest::newRow("trailing odd byte") << bytes({0x61, 0, 0x20, 0, 0x62, 0, 0x20, 0, 0x07}) << le;

        QTest::newRow("ascii") << QByteArray("plain ascii text\r\n") << local;
        QTest::newRow("UTF-8") << QByteArray("h\xC3\xA9llo \xE2\x82\xAC \xF0\x9F\x98\x80") << u8;
        QTest::newRow("Latin-1") << QByteArray("caf\xE9 cr\xE8me") << eightBit;
        QTest::newRow("0 byte") << QByteArray("ab\0cd", 5) << bin;
        QTest::newRow("lone continuation") << QByteArray("\x80 lone continuation\0", 21) << bin;
        QTest::newRow("five leading ones") << QByteArray("\xF8\x88\x80\x80\x80") << eightBit;
        QTest::newRow("UTF-8 before 0 bytes") << QByteArray("\xC3\xA9\0", 3) << u8;

        // Characters cut by the 128-byte window are completed from the bytes after it.
        const QByteArray a127(127, 'a'), a126(126, 'a');
        QTest::newRow("cut 1+1") << a127 + "\xC3\xA9 more text" << u8;
        QTest::newRow("cut 2+1") << a126 + "\xE2\x82\xAC" << u8;
        QTest::newRow("cut 1+3") << a127 + "\xF0\x9F\x98\x80" << u8;
        QTest::newRow("file ends inside 2") << a127 + "\xC3" << eightBit;
        QTest::newRow("file ends inside 3") << a126 + "\xE2\x82" << eightBit;
        QTest::newRow("no continuation after window") << a127 + "\xC3" + "b" << eightBit;
        QTest::newRow("0 bytes then cut") << QByteArray(126, '\0') + "\xC3\xA9" << u8;
    }

    void guesses()
    {
        QFETCH(QByteArray, data);
        QTEST(guess(data), "expected");
    }

    // A character cut by the window, read through a file; the device is left at the window's end.
    void windowCutThroughAFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("cut.txt"));
        QVERIFY(testutil::writeFile(path, QByteArray(127, 'a') + "\xC3\xA9 tail"));
        QCOMPARE(detectFileEncoding(path), QStringLiteral("UTF-8"));
        // A file whose name is not UTF-8 is opened under its own bytes.
        const QByteArray rawPath = FileNameCodec::encode(dir.path()) + "/cut\xFF.txt";
        const int fd = ::open(rawPath.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        QVERIFY(fd >= 0);
        QCOMPARE(::write(fd, "\xC3\xA9", 2), ssize_t(2));
        ::close(fd);
        QCOMPARE(detectFileEncoding(FileNameCodec::decode(rawPath)), QStringLiteral("UTF-8"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(detectEncoding(&file), QStringLiteral("UTF-8"));
        QCOMPARE(file.pos(), qint64(128));
    }

    void devicePosition()
    {
        QBuffer buffer;
        buffer.setData(QByteArray(300, 'x'));
        buffer.open(QIODevice::ReadOnly);
        buffer.seek(200);
        QCOMPARE(detectEncoding(&buffer), QString(""));
        QCOMPARE(buffer.pos(), qint64(128));
        QBuffer small;
        small.setData("short");
        small.open(QIODevice::ReadOnly);
        detectEncoding(&small);
        QCOMPARE(small.pos(), qint64(5));
        QBuffer closed;
        QCOMPARE(detectEncoding(&closed), QString(""));
    }

    void fileVariantNeverWaitsOnAFifo()
    {
        QTemporaryDir dir;
        const QString fifo = dir.filePath(QStringLiteral("pipe"));
        QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
        auto guess = std::async(std::launch::async, [fifo] { return detectFileEncoding(fifo); });
        const bool returned = guess.wait_for(std::chrono::seconds(3)) == std::future_status::ready;
        if (!returned) {
            // Let the blocked open go on, so the test can end.
            const int writer = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
            if (writer >= 0)
                ::close(writer);
        }
        QVERIFY(returned);
        QCOMPARE(guess.get(), QString(""));
        QCOMPARE(detectFileEncoding(QStringLiteral("/dev/null")), QString(""));
        QCOMPARE(detectFileEncoding(dir.path()), QString(""));
        QCOMPARE(detectFileEncoding(dir.filePath(QStringLiteral("missing.txt"))), QString(""));
    }

    void ascii()
    {
        QVERIFY(isAscii(""));
        QVERIFY(isAscii("Program Files\x7F"));
        QVERIFY(!isAscii("na\xC3\xAFve"));
        QVERIFY(!isAscii("\x80"));
    }

    void holderRemovesOnlyMarkedFile()
    {
        QTemporaryDir dir;
        const QString temp = dir.filePath(QStringLiteral("converted.txt"));
        const QString own = dir.filePath(QStringLiteral("own.txt"));
        QVERIFY(testutil::writeFile(temp, "text"));
        QVERIFY(testutil::writeFile(own, "text"));
        {
            TempFileHolder holder;
            holder.path = temp;
            holder.removeFile = true;
            holder.matches.append(MatchedLine(3, {{0, 4}}, QStringLiteral("text")));
        }
        QVERIFY(!QFile::exists(temp));
        {
            TempFileHolder holder;
            holder.path = own;
        }
        QVERIFY(QFile::exists(own));
        {
            TempFileHolder holder; // already gone: ignored
            holder.path = temp;
            holder.removeFile = true;
        }
    }
};

QTEST_GUILESS_MAIN(TestEncodingDetection)
#include "tst_encodingdetection.moc"
