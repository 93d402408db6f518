// Encoding guesses from the first 64 KiB (marks, UTF-16 with and without a mark, UTF-8, binary
// with the 0-byte rule, the window boundary, legacy 8-bit and multi-byte encodings and the
// locale's language as the tie-breaker), device positioning, isAscii, and the temporary-file
// holder.
#include "search/model/EncodingDetection.h"

#include "core/FileNameCodec.h"
#include "search/model/TempFileHolder.h"

#include "testutil.h"

#include <QBuffer>
#include <QDir>
#include <QRandomGenerator>
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
        // Bytes above 127 that are not UTF-8 and too few for a guess: the legacy encoding of
        // the locale's language where the locale is UTF-8.
        const QString eightBit = QTextCodec::codecForLocale()->mibEnum() == 106
                                     ? legacyEncodingOfLanguage(QLocale::system())
                                     : local;
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
        // Found by its blanks, the window must still read as text: at most 3 in 100 of its
        // units controls, lone surrogates, unassigned or private-use code points.
        QByteArray hundred;
        for (int i = 0; i < 96; ++i)
            hundred += i % 4 ? bytes({0x61, 0}) : bytes({0x20, 0});
        QTest::newRow("3 in 100 no text") << hundred + bytes({1, 0, 0x00, 0xD8, 0xFF, 0xE0, 0x0A, 0}) << le;
        QTest::newRow("4 in 100 no text") << hundred + bytes({1, 0, 0x00, 0xD8, 0xFF, 0xE0, 0x07, 0}) << bin;
        QTest::newRow("surrogate pairs and a page end")
            << hundred + bytes({0x3D, 0xD8, 0x00, 0xDE, 0x0C, 0, 0x3D, 0xD8, 0x00, 0xDE}) << le;
        QTest::newRow("UTF-16BE, 3 in 4 units blanks, one control")
            << bytes({0, 0x20, 0, 0x20, 0, 0x20, 0, 0x01}) << bin;
        QTest::newRow("trailing odd byte") << bytes({0x61, 0, 0x20, 0, 0x62, 0, 0x20, 0, 0x07}) << le;

        QTest::newRow("ascii") << QByteArray("plain ascii text\r\n") << local;
        QTest::newRow("UTF-8") << QByteArray("h\xC3\xA9llo \xE2\x82\xAC \xF0\x9F\x98\x80") << u8;
        QTest::newRow("0 byte") << QByteArray("ab\0cd", 5) << bin;
        QTest::newRow("lone continuation") << QByteArray("\x80 lone continuation\0", 21) << bin;
        // A 0 byte means binary even where everything else is valid UTF-8 (an executable or a
        // shared object may well be).
        QTest::newRow("UTF-8 before 0 bytes") << QByteArray("\xC3\xA9\0", 3) << bin;
        QTest::newRow("0 bytes then UTF-8") << QByteArray(126, '\0') + "\xC3\xA9" << bin;
        QTest::newRow("ELF header and UTF-8")
            << QByteArray("\x7F" "ELF\x02\x01\x01\0\0\0\0\0\0\0\0\0\x03\0>\0\x01\0\0\0", 24) + "GLIBC_2.2.5 \xC3\xA9t\xC3\xA9"
            << bin;

        // Characters cut by the window are completed from the bytes after it.
        const QByteArray a127(EncodingWindow - 1, 'a'), a126(EncodingWindow - 2, 'a');
        QTest::newRow("cut 1+1") << a127 + "\xC3\xA9 more text" << u8;
        QTest::newRow("cut 2+1") << a126 + "\xE2\x82\xAC" << u8;
        QTest::newRow("cut 1+3") << a127 + "\xF0\x9F\x98\x80" << u8;
    }

    void guesses()
    {
        QFETCH(QByteArray, data);
        QTEST(guess(data), "expected");
    }

    // Bytes above 127 that are not UTF-8, too few to tell an encoding: never UTF-8, UTF-16 or
    // binary, always an 8-bit reading.
    void eightBitFallback_data()
    {
        QTest::addColumn<QByteArray>("data");
        const QByteArray a127(127, 'a');
        QTest::newRow("Latin-1 words") << QByteArray("caf\xE9 cr\xE8me");
        QTest::newRow("five leading ones") << QByteArray("\xF8\x88\x80\x80\x80");
        QTest::newRow("file ends inside 2") << a127 + "\xC3";
        QTest::newRow("file ends inside 3") << QByteArray(126, 'a') + "\xE2\x82";
        QTest::newRow("no continuation") << a127 + "\xC3" + "b";
    }

    void eightBitFallback()
    {
        QFETCH(QByteArray, data);
        const QString g = guess(data);
        QVERIFY2(g != QLatin1String("UTF-8") && g != QLatin1String("BINARY") && !g.startsWith(QLatin1String("UTF-16")),
                 qPrintable(g));
    }

    // Texts in the encodings people keep them in: the guess reads them back unchanged.
    void legacyEncodings_data()
    {
        QTest::addColumn<QByteArray>("codec");
        QTest::addColumn<QString>("text");
        const QString german = QString(900, QLatin1Char('x')).replace(QLatin1Char('x'), QStringLiteral("manual page ").left(1))
                               + QStringLiteral(" Die Größe der Straße überrascht. Müller öffnet das Fenster, und die Bäume "
                                                "rauschen im Wind. Übermorgen fährt er über die Brücke nach Köln.");
        QTest::newRow("Latin-1, first accent after 900 bytes") << QByteArray("ISO-8859-1") << german;
        const QString russian = QStringLiteral(
            "Москва является столицей России и крупнейшим городом страны. В городе находится множество "
            "музеев, театров и парков, которые ежегодно посещают миллионы туристов.");
        QTest::newRow("cp1251") << QByteArray("windows-1251") << russian;
        QTest::newRow("KOI8-R") << QByteArray("KOI8-R") << russian;
        const QString greek = QStringLiteral("Η Αθήνα είναι η πρωτεύουσα της Ελλάδας και μία από τις αρχαιότερες πόλεις "
                                             "του κόσμου. Η Ακρόπολη βρίσκεται στο κέντρο της πόλης.");
        QTest::newRow("ISO-8859-7") << QByteArray("ISO-8859-7") << greek;
        const QString japanese = QStringLiteral("東京は日本の首都であり、世界で最も人口の多い都市の一つです。毎年、多くの観光客が"
                                                "浅草寺や東京タワー、渋谷の交差点を訪れます。春には桜が咲きます。");
        QTest::newRow("Shift_JIS") << QByteArray("Shift_JIS") << japanese;
        QTest::newRow("EUC-JP") << QByteArray("EUC-JP") << japanese;
        const QString chinese = QStringLiteral("北京是中华人民共和国的首都，也是全国的政治和文化中心。每年都有成千上万的游客来参观"
                                               "故宫、长城和天安门广场。春天的时候，公园里开满了鲜花。");
        QTest::newRow("GB18030") << QByteArray("GB18030") << chinese;
        QTest::newRow("UTF-16LE without mark or blank") << QByteArray("UTF-16LE") << chinese;
        QTest::newRow("UTF-16BE without mark or blank") << QByteArray("UTF-16BE") << chinese;
        const QString korean = QStringLiteral("서울은 대한민국의 수도이며 가장 큰 도시입니다. 매년 많은 관광객이 경복궁과 "
                                              "남산타워, 명동을 방문합니다. 봄에는 벚꽃이 핍니다.");
        QTest::newRow("EUC-KR") << QByteArray("EUC-KR") << korean;
    }

    void legacyEncodings()
    {
        QFETCH(QByteArray, codec);
        QFETCH(QString, text);
        QTextCodec* c = QTextCodec::codecForName(codec);
        QVERIFY(c);
        QTextCodec::ConverterState state(QTextCodec::IgnoreHeader);
        const QByteArray encoded = c->fromUnicode(text.constData(), text.size(), &state);
        const QString g = guess(encoded);
        QTextCodec* guessed = QTextCodec::codecForName(g.toLatin1());
        QVERIFY2(guessed, qPrintable(g));
        QCOMPARE(guessed->toUnicode(encoded), text);
    }

    // Binary data with many blank pairs (0x20 0x00 at even offsets, as in an executable's
    // tables) whose other units are no text is binary, whatever share of them happens to fall
    // on printable code points; UTF-16 text with blanks, and Chinese without any, is still
    // told.
    void blankPairsInBinaryData()
    {
        QRandomGenerator rng(20);
        for (int round = 0; round < 50; ++round) {
            QByteArray data;
            for (int i = 0; i < 2048; ++i) {
                const int kind = int(rng.bounded(8));
                if (kind < 2)
                    data += bytes({0x20, 0});
                else if (kind < 4)
                    data += bytes({int(rng.bounded(256)), int(rng.bounded(256))});
                else
                    data += bytes({int(rng.bounded(1, 256)), int(rng.bounded(1, 256))});
            }
            QCOMPARE(guess(data), QStringLiteral("BINARY"));
            QByteArray swapped = data;
            for (int i = 0; i + 1 < swapped.size(); i += 2) {
                swapped[i] = data[i + 1];
                swapped[i + 1] = data[i];
            }
            QCOMPARE(guess(swapped), QStringLiteral("BINARY"));
        }
        const QString chinese = QStringLiteral("北京是中华人民共和国的首都 也是全国的政治和文化中心 每年都有成千上万的游客来参观 "
                                               "故宫、长城和天安门广场。😀 Spring 春天的时候，公园里开满了鲜花。\r\n");
        QByteArray le, be;
        for (const QChar c : chinese) {
            le += bytes({c.unicode() & 0xFF, c.unicode() >> 8});
            be += bytes({c.unicode() >> 8, c.unicode() & 0xFF});
        }
        QCOMPARE(guess(le), QStringLiteral("UTF-16LE"));
        QCOMPARE(guess(be), QStringLiteral("UTF-16BE"));
    }

    // Every shared object of the system is binary, as for grep -I and ripgrep (a 0 byte in
    // the first block).
    void systemSharedObjectsAreBinary()
    {
        const QDir lib(QStringLiteral("/usr/lib/x86_64-linux-gnu"));
        const QFileInfoList files = lib.entryInfoList({QStringLiteral("*.so*")}, QDir::Files);
        if (files.isEmpty())
            QSKIP("no shared objects at the usual place");
        int checked = 0;
        for (const QFileInfo& info : files) {
            QFile so(info.filePath());
            if (!so.open(QIODevice::ReadOnly) || so.peek(4) != QByteArray("\x7F" "ELF"))
                continue;
            QVERIFY2(detectEncoding(&so) == QLatin1String("BINARY"), qPrintable(info.filePath()));
            ++checked;
        }
        QVERIFY(checked > 0);
    }

    void languageTieBreaker()
    {
        QCOMPARE(legacyEncodingOfLanguage(QLocale(QLocale::Russian)), QStringLiteral("windows-1251"));
        QCOMPARE(legacyEncodingOfLanguage(QLocale(QLocale::Czech)), QStringLiteral("windows-1250"));
        QCOMPARE(legacyEncodingOfLanguage(QLocale(QLocale::Japanese)), QStringLiteral("Shift_JIS"));
        QCOMPARE(legacyEncodingOfLanguage(QLocale(QLocale::Chinese, QLocale::Taiwan)), QStringLiteral("Big5"));
        QCOMPARE(legacyEncodingOfLanguage(QLocale(QLocale::Chinese, QLocale::China)), QStringLiteral("GB18030"));
        QCOMPARE(legacyEncodingOfLanguage(QLocale(QLocale::German)), QStringLiteral("windows-1252"));
        for (QLocale::Language l : {QLocale::Russian, QLocale::Greek, QLocale::Hebrew, QLocale::Korean, QLocale::Thai})
            QVERIFY(QTextCodec::codecForName(legacyEncodingOfLanguage(QLocale(l)).toLatin1()));
    }

    // A character cut by the window, read through a file; the device is left at the window's end.
    void windowCutThroughAFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("cut.txt"));
        QVERIFY(testutil::writeFile(path, QByteArray(EncodingWindow - 1, 'a') + "\xC3\xA9 tail"));
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
        QCOMPARE(file.pos(), qint64(EncodingWindow));
    }

    void devicePosition()
    {
        QBuffer buffer;
        buffer.setData(QByteArray(EncodingWindow + 300, 'x'));
        buffer.open(QIODevice::ReadOnly);
        buffer.seek(200);
        QCOMPARE(detectEncoding(&buffer), QString(""));
        QCOMPARE(buffer.pos(), qint64(EncodingWindow));
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
