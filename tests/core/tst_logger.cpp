#include "core/FileSearchException.h"
#include "core/Logger.h"
#include "testutil.h"

#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <vector>

class TestLogger : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir logDir_;
    QString logPath_;

    static QString decode(const QByteArray& bytes)
    {
        QString s;
        for (int i = 0; i + 1 < bytes.size(); i += 2)
            s += QChar(ushort(uchar(bytes[i]) | (uchar(bytes[i + 1]) << 8)));
        return s;
    }

    static QByteArray utf16le(const QString& text)
    {
        QByteArray out;
        for (const QChar c : text) {
            out.append(char(c.unicode() & 0xFF));
            out.append(char(c.unicode() >> 8));
        }
        return out;
    }

private slots:
    // The logger is a singleton opened once per process: open it here, so that every test
    // function that writes to it also passes when run alone. The folder lives as long as the
    // test program.
    void initTestCase()
    {
        QVERIFY(logDir_.isValid());
        logPath_ = logDir_.path() + QStringLiteral("/sub/Tallowquist Pro.log");
        QDir().mkpath(logDir_.path() + QStringLiteral("/sub"));
        QCOMPARE(Logger::instance(logPath_).filePath(), logPath_);
    }

    void formatsTimeLevelTagAndMessage()
    {
        QCOMPARE(Logger::formatRecord(9, 5, 7, 42, 1234, Logger::Info, "FileSearch", QStringLiteral("hello")),
                 QStringLiteral("09:5:7:042 1234\tINFO\tFileSearch\thello\r\n"));
        QCOMPARE(Logger::formatRecord(23, 59, 59, 999, 1, Logger::Debug, "x", QString()),
                 QStringLiteral("23:59:59:999 1\tDEBUG\tx\t\r\n"));
        // An unknown level leaves the level field empty; both TABs stay.
        QCOMPARE(Logger::formatRecord(0, 0, 0, 0, 7, 7, "T", QStringLiteral("m")),
                 QStringLiteral("00:0:0:000 7\t\tT\tm\r\n"));
    }

    void writesUtf16LeWithoutBomAndTruncates()
    {
        const QString& path = logPath_;
        Logger& log = Logger::instance(QString());
        QCOMPARE(log.logDirectory(), logDir_.path() + QStringLiteral("/sub"));
        QCOMPARE(&Logger::instance(QString()), &log);
        log.truncate();

        log.writeQString(Logger::Warning, "Tag", QStringLiteral("Grüße \U0001F600"));
        QByteArray bytes = testutil::readFile(path);
        QVERIFY(bytes.size() % 2 == 0);
        // No byte-order mark: the first unit is the first digit of the hour, low byte first.
        QVERIFY(uchar(bytes[0]) >= '0' && uchar(bytes[0]) <= '9');
        QCOMPARE(bytes[1], '\0');
        const QString text = decode(bytes);
        QVERIFY(text.endsWith(QStringLiteral("\tWARNING\tTag\tGrüße \U0001F600\r\n")));
        QCOMPARE(text.count(QStringLiteral("\r\n")), 1);

        log.writeCString(Logger::Error, "C", "plain \xe9");
        QVERIFY(decode(testutil::readFile(path)).endsWith(QStringLiteral("\tERROR\tC\tplain \u00e9\r\n")));

        // A second process appends; only the main instance truncates.
        log.truncate();
        QCOMPARE(testutil::readFile(path).size(), 0);
        log.writeQString(Logger::Info, "T", QStringLiteral("after"));
        QVERIFY(decode(testutil::readFile(path)).endsWith(QStringLiteral("\tINFO\tT\tafter\r\n")));
        log.truncate();

        // Records from many threads never interleave within a line.
        std::vector<QThread*> threads;
        for (int t = 0; t < 8; ++t) {
            threads.push_back(QThread::create([t, &log] {
                for (int i = 0; i < 200; ++i)
                    log.writeQString(Logger::Debug, "MT", QStringLiteral("thread %1 record %2 %3").arg(t).arg(i).arg(QString(50, QLatin1Char('x'))));
            }));
            threads.back()->start();
        }
        for (QThread* th : threads) {
            th->wait();
            delete th;
        }
        const QStringList lines = decode(testutil::readFile(path)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 8 * 200);
        for (const QString& line : lines) {
            QCOMPARE(line.count(QLatin1Char('\t')), 3);
            QVERIFY(line.endsWith(QString(50, QLatin1Char('x'))));
        }
    }

    // A process writes at most kMaxBytesPerRun bytes: the record that would pass the bound is
    // replaced by one notice, and nothing follows it until the log is emptied again.
    void sizeIsBoundedPerRun()
    {
        Logger& log = Logger::instance(QString());
        log.truncate();
        const QString message(4000, QLatin1Char('m'));
        const qint64 recordBytes = 2 * (QStringLiteral("00:0:0:000 1\tINFO\tBig\t\r\n").size() + message.size());
        const int fitting = int(Logger::kMaxBytesPerRun / recordBytes);
        for (int i = 0; i < fitting + 10; ++i)
            log.writeQString(Logger::Info, "Big", message);
        log.writeQString(Logger::Error, "Late", QStringLiteral("dropped"));
        QByteArray bytes = testutil::readFile(log.filePath());
        QVERIFY(bytes.size() <= Logger::kMaxBytesPerRun);
        QVERIFY(bytes.size() > Logger::kMaxBytesPerRun - 2 * recordBytes);
        QStringList lines = decode(bytes).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QVERIFY(lines.size() >= fitting - 2);
        QVERIFY(lines.last().endsWith(
            QStringLiteral("\tWARNING\tLogger\tThe log of this process reached its limit of 16 MiB; later records are not written.")));
        lines.removeLast();
        for (const QString& line : qAsConst(lines))
            QVERIFY(line.endsWith(QStringLiteral("\tINFO\tBig\t") + message));

        // Emptied (by the main instance at its start), the log takes records again.
        log.truncate();
        log.writeQString(Logger::Info, "T", QStringLiteral("again"));
        QVERIFY(decode(testutil::readFile(log.filePath())).endsWith(QStringLiteral("\tINFO\tT\tagain\r\n")));
        log.truncate();
    }

    void wideStringsBecomeUtf16()
    {
        // wchar_t holds UTF-32 here:
        // a character beyond U+FFFF must reach the file as one surrogate pair, not as two
        // reinterpreted halves or a cut unit.
        Logger& log = Logger::instance(QString());
        QVERIFY(!log.filePath().isEmpty());
        log.truncate();
        log.write(Logger::Info, "W", std::wstring(L"a\u00e9\U0001F600z"));
        log.writeCString(7, nullptr, nullptr);
        const QByteArray bytes = testutil::readFile(log.filePath());
        const QByteArray record = utf16le(QStringLiteral("\tINFO\tW\ta\u00e9") + QChar(0xD83D) + QChar(0xDE00)
                                          + QStringLiteral("z\r\n"));
        QVERIFY(record.contains("\x3d\xd8\x00\xde"));
        const int first = bytes.indexOf(record);
        QVERIFY(first > 0);
        // An unknown level, no tag and no message: three TABs, then the line end.
        QVERIFY(bytes.endsWith(utf16le(QStringLiteral("\t\t\t\r\n"))));
        QCOMPARE(bytes.count(utf16le(QStringLiteral("\r\n"))), 2);
    }

    void exceptionTexts()
    {
        FileSearchCancelException cancel("Canceled", QStringLiteral("MFTReader"), 62);
        QCOMPARE(QByteArray(cancel.what()), QByteArray("File: MFTReader, line: 62, Canceled"));
        try {
            throw cancel;
        } catch (const FileSearchException& e) {
            QCOMPARE(QByteArray(e.what()), QByteArray("File: MFTReader, line: 62, Canceled"));
        }
        FileSearchException code(qint32(0x80004005), QStringLiteral("ShellUtils"), 10);
        QCOMPARE(QByteArray(code.what()), QByteArray("File: ShellUtils, line: 10, -2147467259"));
        FileSearchException utf(QStringLiteral("Äpfel"), QStringLiteral("U"), 1);
        QCOMPARE(QString::fromUtf8(utf.what()), QStringLiteral("File: U, line: 1, Äpfel"));
        // A null 8-bit message is empty.
        FileSearchException none(static_cast<const char*>(nullptr), QStringLiteral("N"), 0);
        QCOMPARE(QByteArray(none.what()), QByteArray("File: N, line: 0, "));
        // Placeholders inside the parts are not expanded again.
        FileSearchException percent(QStringLiteral("100%1 %2"), QStringLiteral("U%2"), 4);
        QCOMPARE(QByteArray(percent.what()), QByteArray("File: U%2, line: 4, 100%1 %2"));
    }
};

QTEST_GUILESS_MAIN(TestLogger)
#include "tst_logger.moc"
