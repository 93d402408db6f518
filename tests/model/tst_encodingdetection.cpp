// Encoding guesses from the first 128 bytes (marks, UTF-16 without a mark, UTF-8, binary, the
// window boundary), device positioning, isAscii, and the temporary-file holder.
#include "search/model/EncodingDetection.h"
#include "search/model/TempFileHolder.h"

#include "testutil.h"

#include <QBuffer>
#include <QTemporaryDir>
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
    void marks()
    {
        QCOMPARE(guess(bytes({0xFE, 0xFF})), QStringLiteral("UTF-16BE"));
        QCOMPARE(guess(bytes({0xFF, 0xFE, 0x41, 0x00})), QStringLiteral("UTF-16LE"));
        QCOMPARE(guess(bytes({0xEF, 0xBB, 0xBF})), QStringLiteral("UTF-8"));
        // Half a UTF-8 mark is neither a mark nor valid UTF-8 (the text ends inside it).
        QCOMPARE(guess(bytes({0xEF, 0xBB})), QString(""));
        QCOMPARE(guess(bytes({0xFE})), QString(""));
        QCOMPARE(guess(QByteArray()), QString(""));
    }

    void utf16WithoutMark()
    {
        QCOMPARE(guess(bytes({0x61, 0, 0x20, 0, 0x62, 0, 0x20, 0, 0x63, 0})),
                 QStringLiteral("UTF-16LE"));
        QCOMPARE(guess(bytes({0, 0x61, 0, 0x20, 0, 0x62, 0, 0x20, 0, 0x63})),
                 QStringLiteral("UTF-16BE"));
        // One UTF-16 blank is not enough; the 0 bytes then make it binary.
        QCOMPARE(guess(bytes({0x61, 0, 0x20, 0, 0x62, 0})), QStringLiteral("BINARY"));
        // Blanks beside 0 bytes but mostly control units: binary.
        QByteArray controls = bytes({0x20, 0, 0x20, 0});
        for (int i = 0; i < 20; ++i)
            controls += bytes({0x01, 0x00});
        QCOMPARE(guess(controls), QStringLiteral("BINARY"));
        // Text needs at least three printable units per non-printable one.
        const QByteArray six = bytes({0x20, 0, 0x20, 0, 0x61, 0, 0x61, 0, 0x61, 0, 0x61, 0});
        QCOMPARE(guess(six + bytes({1, 0, 1, 0})), QStringLiteral("UTF-16LE"));
        QCOMPARE(guess(six + bytes({1, 0, 1, 0, 1, 0})), QStringLiteral("BINARY"));
        // A trailing odd byte is not a unit.
        QCOMPARE(guess(bytes({0x61, 0, 0x20, 0, 0x62, 0, 0x20, 0, 0x07})),
                 QStringLiteral("UTF-16LE"));
    }

    void utf8AndEightBit()
    {
        QCOMPARE(guess("plain ascii text\r\n"), QString(""));
        QCOMPARE(guess("h\xC3\xA9llo \xE2\x82\xAC \xF0\x9F\x98\x80"), QStringLiteral("UTF-8"));
        QCOMPARE(guess("caf\xE9 cr\xE8me"), QString("")); // Latin-1: local 8-bit
        QCOMPARE(guess(QByteArray("ab\0cd", 5)), QStringLiteral("BINARY"));
        QCOMPARE(guess(QByteArray("\x80 lone continuation\0", 21)), QStringLiteral("BINARY"));
        QCOMPARE(guess("\xF8\x88\x80\x80\x80"), QString("")); // five leading ones
        // Valid UTF-8 wins over 0 bytes (UTF-8 is tested first).
        QCOMPARE(guess(QByteArray("\xC3\xA9\0", 3)), QStringLiteral("UTF-8"));
    }

    void utf8CutByWindow()
    {
        // A two-byte character whose first byte is the 128th byte of the file.
        const QByteArray ascii(127, 'a');
        QCOMPARE(guess(ascii + "\xC3\xA9 more text"), QStringLiteral("UTF-8"));
        // A three-byte character split 2 + 1 and a four-byte one split 1 + 3.
        QCOMPARE(guess(QByteArray(126, 'a') + "\xE2\x82\xAC"), QStringLiteral("UTF-8"));
        QCOMPARE(guess(ascii + "\xF0\x9F\x98\x80"), QStringLiteral("UTF-8"));
        // The file really ends inside the character: not UTF-8.
        QCOMPARE(guess(ascii + "\xC3"), QString(""));
        QCOMPARE(guess(QByteArray(126, 'a') + "\xE2\x82"), QString(""));
        // Bytes after the window that do not continue the character: not UTF-8.
        QCOMPARE(guess(ascii + "\xC3" + "b"), QString(""));
        QCOMPARE(guess(QByteArray(126, '\0') + "\xC3\xA9"), QStringLiteral("UTF-8"));

        // The same through a file, and the peek does not move the position.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("cut.txt"));
        QVERIFY(testutil::writeFile(path, ascii + "\xC3\xA9 tail"));
        QCOMPARE(detectFileEncoding(path), QStringLiteral("UTF-8"));
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

    void fileVariant()
    {
        QTemporaryDir dir;
        QCOMPARE(detectFileEncoding(dir.filePath(QStringLiteral("missing.txt"))), QString(""));
        const QString path = dir.filePath(QStringLiteral("le.txt"));
        QVERIFY(testutil::writeFile(path, bytes({0xFF, 0xFE, 0x61, 0})));
        QCOMPARE(detectFileEncoding(path), QStringLiteral("UTF-16LE"));
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
            QCOMPARE(holder.lineCount, 0);
            QVERIFY(!holder.removeFile);
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
        const MatchedLine empty;
        QVERIFY(empty.positions.isEmpty() && empty.text.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestEncodingDetection)
#include "tst_encodingdetection.moc"
