// PDFConverter: real pdftotext on a generated PDF (also one named with bytes that are not
// UTF-8, or like an option, or renamed after it was opened), the exact command line and what
// the program reads, failures, crashes and cancellation of a running program; no text file is
// left behind on failure.
#include "core/ContentFile.h"
#include "core/FileNameCodec.h"
#include "core/HandleHolder.h"
#include "core/Logger.h"
#include "search/textextract/PDFConverter.h"
#include "tests/textextract/docgen.h"
#include "tests/textextract/utf16files.h"
#include "testutil.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

#include <thread>

#include <fcntl.h>
#include <unistd.h>

class TestPdfConverter : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    static QString fromUtf16BE(const QByteArray& b) { return QTextCodec::codecForName("UTF-16BE")->toUnicode(b); }
    QString work() const { return dir.path() + "/work"; }
    int workFiles() const { return QDir(work()).entryList(QDir::Files).size(); }

    // A document file at `name` in the test folder (the name's bytes as given).
    QString document(const QByteArray& name, const QByteArray& bytes = "%PDF-1.4\n")
    {
        const QString path = FileNameCodec::decode(QFile::encodeName(dir.path()) + "/" + name);
        HandleHolder fd(::open(FileNameCodec::encode(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
        if (!fd.isValid() || ::write(fd.handle(), bytes.constData(), size_t(bytes.size())) != bytes.size())
            qFatal("cannot write %s", name.constData());
        return path;
    }

    QString script(const QString& name, const QByteArray& body)
    {
        const QString path = dir.path() + "/" + name;
        testutil::writeFile(path, "#!/bin/sh\n" + body);
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        return path;
    }

private slots:
    void initTestCase()
    {
        Logger::instance(dir.path() + "/test.log");
    }

    void realConversion()
    {
        if (QStandardPaths::findExecutable("pdftotext").isEmpty())
            QSKIP("pdftotext is not installed");
        const QString doc = dir.path() + "/a report (draft).pdf";
        QVERIFY(testutil::writeFile(doc, docgen::makePdf({{"Hello World", "Second (line)"}, {"Page two"}})));
        PDFConverter converter;
        converter.setWorkFolder(work());
        QCOMPARE(converter.encoding(), QString("UTF16-BE"));
        QString outPath;
        QVERIFY(converter.convert(ContentFile::open(doc), nullptr, &outPath, nullptr, QString(), nullptr));
        QCOMPARE(QFileInfo(outPath).absolutePath(), work());
        QVERIFY(QFileInfo(outPath).fileName().startsWith("pdf."));
        const QByteArray bytes = testutil::readFile(outPath);
        QVERIFY(!bytes.startsWith("\xFE\xFF")); // big-endian without a mark
        const QString text = fromUtf16BE(bytes);
        QVERIFY2(text.startsWith("Hello World\nSecond (line)\n"), qPrintable(text));
        QVERIFY(text.contains("Page two"));
        QFile::remove(outPath);

        // Names the program could not open, or would take for an option, and a name that
        // leads elsewhere once the document is open: the program reads the descriptor.
        const QByteArray pdf = docgen::makePdf({{"Descriptor text"}});
        for (const QByteArray& name : {QByteArray("caf\xE9 \xFF.pdf"), QByteArray("-layout.pdf")}) {
            const ContentFile opened = ContentFile::open(document(name, pdf));
            QVERIFY(opened.isOpen());
            QVERIFY(::unlink(FileNameCodec::encode(opened.path()).constData()) == 0);
            QVERIFY(converter.convert(opened, nullptr, &outPath, nullptr, QString(), nullptr));
            QVERIFY(fromUtf16BE(testutil::readFile(outPath)).startsWith("Descriptor text\n"));
            QFile::remove(outPath);
        }

        // A file that is not a PDF: pdftotext exits non-zero; no text file stays.
        QVERIFY(testutil::writeFile(dir.path() + "/bad.pdf", "not a pdf at all"));
        QString none;
        QVERIFY(!converter.convert(ContentFile::open(dir.path() + "/bad.pdf"), nullptr, &none, nullptr, QString(), nullptr));
        QVERIFY(none.isEmpty());
        QCOMPARE(workFiles(), 0);
    }

    // A root instance runs the converter as its session user: the program gets the document
    // root opened as its standard input, so a file only root may read is still converted,
    // while the program itself cannot open it.
    void rootInstanceConvertsAsTheSessionUser()
    {
        if (!testutil::isRoot())
            QSKIP("needs root");
        if (QStandardPaths::findExecutable("pdftotext").isEmpty())
            QSKIP("pdftotext is not installed");
        const testutil::SessionUserScope session(65534);
        // Only root may enter the folder of the document, which only root may read.
        const QString secret = dir.path() + "/root-only/secret.pdf";
        QVERIFY(testutil::writeFile(secret, docgen::makePdf({{"Root secret words"}})));
        QVERIFY(::chmod(QFile::encodeName(dir.path() + "/root-only").constData(), 0700) == 0);
        QVERIFY(::chmod(QFile::encodeName(secret).constData(), 0600) == 0);
        PDFConverter converter;
        converter.setWorkFolder(work());
        QString outPath;
        QVERIFY(converter.convert(ContentFile::open(secret), nullptr, &outPath, nullptr, QString(), nullptr));
        QVERIFY(fromUtf16BE(testutil::readFile(outPath)).startsWith("Root secret words\n"));
        QFile::remove(outPath);

        // Who ran it, and what it could do with the document's name.
        QTemporaryDir shared;
        QVERIFY(::chmod(QFile::encodeName(shared.path()).constData(), 0777) == 0);
        const QString record = shared.path() + "/record.sh";
        const QString report = shared.path() + "/report";
        QVERIFY(testutil::writeFile(record, "#!/bin/sh\n{ id -u; id -G; cat '" + secret.toUtf8() + "' >/dev/null 2>&1 && echo opened;"
                                            " head -c 7; } > '" + report.toUtf8() + "'\n"));
        QVERIFY(::chmod(QFile::encodeName(record).constData(), 0755) == 0);
        converter.setProgram(record);
        QVERIFY(converter.convert(ContentFile::open(secret), nullptr, &outPath, nullptr, QString(), nullptr));
        QFile::remove(outPath);
        const QList<QByteArray> lines = testutil::readFile(report).split('\n');
        QVERIFY2(lines.size() >= 3, testutil::readFile(report).constData());
        QCOMPARE(lines.at(0), QByteArray("65534"));
        QVERIFY(!lines.at(1).split(' ').contains("0"));
        QVERIFY(!testutil::readFile(report).contains("opened"));
        QVERIFY2(testutil::readFile(report).endsWith("\n%PDF-1."), testutil::readFile(report).constData());
    }

    void commandLine()
    {
        const QString argsFile = dir.path() + "/args.txt";
        const QString inputFile = dir.path() + "/input.bin";
        // Records each argument on its own line, copies its standard input and writes a text
        // to its standard output.
        PDFConverter converter;
        converter.setWorkFolder(work());
        converter.setProgram(script("record.sh", "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > '"
                                                     + argsFile.toUtf8() + "'\ncat > '" + inputFile.toUtf8()
                                                     + "'\nprintf '\\000A'\n"));
        const QString doc = document("my report.pdf", "%PDF-1.4 the document's bytes");
        const ContentFile opened = ContentFile::open(doc);
        char skip[4];
        QCOMPARE(::read(opened.descriptor(), skip, 4), ssize_t(4)); // a position left elsewhere
        QString outPath;
        QVERIFY(converter.convert(opened, nullptr, &outPath, nullptr, QString(), nullptr));
        // The document is never named: it is the program's standard input, read from its start.
        QCOMPARE(QString::fromUtf8(testutil::readFile(argsFile)), QString("-enc\nUTF-16\n-\n-\n"));
        QCOMPARE(testutil::readFile(inputFile), QByteArray("%PDF-1.4 the document's bytes"));
        QCOMPARE(testutil::readFile(outPath), QByteArray("\0A", 2));
        QFile::remove(outPath);
        // A document that is not open is not converted, and nothing is run.
        QFile::remove(argsFile);
        QVERIFY(!converter.convert(ContentFile::open(dir.path() + "/missing.pdf"), nullptr, &outPath,
                                   nullptr, QString(), nullptr));
        QVERIFY(!QFile::exists(argsFile));
        QCOMPARE(workFiles(), 0);
    }

    void failures_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("missing");
        QTest::addColumn<QString>("logged");
        // A program that does not start is the program's failure; one that ends, with an
        // exit code or by a signal, failed on the document.
        QTest::newRow("missing program") << QByteArray() << true
                                         << "WARNING\tPDFConverter\tFailed to run %1/no-such-program, error 0\r\n";
        QTest::newRow("exit code 3 after writing") << QByteArray("echo partial\nexit 3\n") << false
                                                   << "INFO\tPDFConverter\tFailed to convert %1/x.pdf to text, error 3\r\n";
        QTest::newRow("killed by a signal") << QByteArray("echo partial\nkill -9 $$\n") << false
                                            << "INFO\tPDFConverter\tFailed to convert %1/x.pdf to text, error 9\r\n";
    }
    void failures()
    {
        QFETCH(QByteArray, body);
        QFETCH(bool, missing);
        QFETCH(QString, logged);
        PDFConverter converter;
        converter.setWorkFolder(work());
        converter.setProgram(missing ? dir.path() + "/no-such-program" : script("fail.sh", body));
        QString outPath;
        const int logSize = utf16files::logText().size();
        QVERIFY(!converter.convert(ContentFile::open(document("x.pdf")), nullptr, &outPath, nullptr, QString(), nullptr));
        QVERIFY(outPath.isEmpty());
        QCOMPARE(workFiles(), 0);
        const QString log = utf16files::logText().mid(logSize);
        QVERIFY2(log.endsWith(logged.arg(dir.path())), qPrintable(log));
    }

    void cancellation()
    {
        PDFConverter converter;
        converter.setWorkFolder(work());
        const QString pidFile = dir.path() + "/pid";
        // Had the program run for its whole time, it would leave `ended` and succeed.
        const QString ended = dir.path() + "/slow.ended";
        converter.setProgram(script("slow.sh", "echo $$ > '" + pidFile.toUtf8() +
                                                   "'\necho partial\nsleep 30\ntouch '" +
                                                   ended.toUtf8() + "'\n"));
        bool canceled = false;
        // Cancelled once the converter program runs (it has written its pid).
        std::thread setter([&] {
            for (int waited = 0; waited < 120000 && !QFileInfo::exists(pidFile); waited += 10)
                QThread::msleep(10); // polls for the pid file
            __atomic_store_n(&canceled, true, __ATOMIC_RELAXED);
        });
        QString outPath;
        const bool ok = converter.convert(ContentFile::open(document("x.pdf")), nullptr, &outPath,
                                          nullptr, QString(), &canceled);
        setter.join();
        QVERIFY(!ok);
        QVERIFY(!QFileInfo::exists(ended)); // the cancel ended it, not the program
        QVERIFY(outPath.isEmpty());
        QCOMPARE(workFiles(), 0);
        // The program itself is gone.
        const QByteArray pid = testutil::readFile(pidFile).trimmed();
        QVERIFY(!pid.isEmpty());
        QTRY_VERIFY(!QFileInfo::exists("/proc/" + pid + "/cmdline")
                    || testutil::readFile("/proc/" + pid + "/stat").contains(") Z "));
    }

    // Two thousand pages sharing one content stream: a small file whose text grows with its
    // pages. The real converter's text stops at the bound, is kept up to it, and it succeeds.
    void sharedContentStreamIsBounded()
    {
        if (QStandardPaths::findExecutable("pdftotext").isEmpty())
            QSKIP("pdftotext is not installed");
        QStringList lines;
        for (int i = 0; i < 40; ++i)
            lines << QString("Line %1 of the one content stream every page draws").arg(i);
        const QString doc = dir.path() + "/shared.pdf";
        QVERIFY(testutil::writeFile(doc, docgen::makePdfSharedContent(lines, 2000)));
        QVERIFY(QFileInfo(doc).size() < 400 * 1024);
        PDFConverter converter;
        converter.setWorkFolder(work());
        converter.setTextLimit(64 * 1024);
        const int logSize = utf16files::logText().size();
        QString outPath;
        QVERIFY(converter.convert(ContentFile::open(doc), nullptr, &outPath, nullptr, QString(), nullptr));
        const qint64 size = QFileInfo(outPath).size();
        QVERIFY2(size <= 64 * 1024 && size > 64 * 1024 - 4, qPrintable(QString::number(size)));
        QVERIFY(fromUtf16BE(testutil::readFile(outPath)).startsWith("Line 0 of the one content stream"));
        QFile::remove(outPath);
        QVERIFY2(utf16files::logText().mid(logSize).contains("WARNING\tPDFConverter\t"
                                                             + TextLimits::cutMessage(doc, 64 * 1024)),
                 qPrintable(utf16files::logText().mid(logSize)));
    }

    // Stand-in programs that write for ever: the text ends at the bound (an odd bound gives
    // whole units; a bound inside a surrogate pair drops its first half), the program is
    // stopped, and the conversion succeeds with that text.
    void endlessOutputIsBounded_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<qint64>("limit");
        QTest::addColumn<qint64>("kept");
        QTest::newRow("endless writer") << QByteArray("while :; do cat \"$BLOCK\"; done\n")
                                        << qint64(65537) << qint64(65536);
        QTest::newRow("bound inside a pair") << QByteArray("while :; do cat \"$BLOCK\"; done\n")
                                             << qint64(65538) << qint64(65536);
        // Ignores the end of its output: stopped by the converter all the same.
        QTest::newRow("writer ignoring a closed output")
            << QByteArray("trap '' PIPE\nwhile :; do cat \"$BLOCK\" 2>/dev/null; done\n")
            << qint64(65536) << qint64(65536);
        // Writes one byte more than the bound and then hangs: stopped by the converter (had it
        // run for its whole time, it would leave the file $ENDED).
        QTest::newRow("writer that hangs past the bound")
            << QByteArray("head -c 65537 /dev/zero\nsleep 30\ntouch \"$ENDED\"\n") << qint64(65536)
            << qint64(65536);
    }
    void endlessOutputIsBounded()
    {
        QFETCH(QByteArray, body);
        QFETCH(qint64, limit);
        QFETCH(qint64, kept);
        // A block of surrogate pairs (U+1F600 in UTF-16BE).
        const QString block = dir.path() + "/block";
        QVERIFY(testutil::writeFile(block, QByteArray("\xD8\x3D\xDE\x00", 4).repeated(1024)));
        qputenv("BLOCK", QFile::encodeName(block));
        const QString ended = dir.path() + "/endless.ended";
        qputenv("ENDED", QFile::encodeName(ended));
        PDFConverter converter;
        converter.setWorkFolder(work());
        converter.setTextLimit(limit);
        converter.setProgram(script("endless.sh", body));
        QString outPath;
        const int logSize = utf16files::logText().size();
        QVERIFY(converter.convert(ContentFile::open(document("x.pdf")), nullptr, &outPath, nullptr, QString(), nullptr));
        QVERIFY(!QFileInfo::exists(ended)); // the bound ended it, not the program
        QCOMPARE(QFileInfo(outPath).size(), kept);
        QFile::remove(outPath);
        QCOMPARE(workFiles(), 0);
        QVERIFY(utf16files::logText().mid(logSize).contains(
            "WARNING\tPDFConverter\t" + TextLimits::cutMessage(dir.path() + "/x.pdf", limit)));
    }

    // A program that runs past the time limit is killed, its partial text removed, and the
    // conversion fails with a warning.
    void timeLimit()
    {
        PDFConverter converter;
        converter.setWorkFolder(work());
        QCOMPARE(converter.timeLimit(), TextLimits::kTimeLimitSeconds * 1000);
        converter.setTimeLimit(300);
        const QString pidFile = dir.path() + "/sleeper.pid";
        // Had the program run for its whole time, it would leave `ended` and succeed.
        const QString ended = dir.path() + "/sleeper.ended";
        converter.setProgram(script("sleeper.sh", "echo $$ > '" + pidFile.toUtf8() +
                                                      "'\necho partial\nsleep 30\ntouch '" +
                                                      ended.toUtf8() + "'\n"));
        QString outPath;
        const int logSize = utf16files::logText().size();
        QVERIFY(!converter.convert(ContentFile::open(document("x.pdf")), nullptr, &outPath, nullptr, QString(), nullptr));
        QVERIFY(!QFileInfo::exists(ended)); // the time limit ended it, not the program
        QVERIFY(outPath.isEmpty());
        QCOMPARE(workFiles(), 0);
        QVERIFY2(utf16files::logText().mid(logSize).contains(
                     QString("WARNING\tPDFConverter\tFailed to convert %1/x.pdf to text within 300 ms").arg(dir.path())),
                 qPrintable(utf16files::logText().mid(logSize)));
        const QByteArray pid = testutil::readFile(pidFile).trimmed();
        QVERIFY(!pid.isEmpty());
        QTRY_VERIFY(!QFileInfo::exists("/proc/" + pid + "/cmdline")
                    || testutil::readFile("/proc/" + pid + "/stat").contains(") Z "));
    }

    void concurrentConversions()
    {
        if (QStandardPaths::findExecutable("pdftotext").isEmpty())
            QSKIP("pdftotext is not installed");
        PDFConverter converter;
        converter.setWorkFolder(work());
        QCOMPARE(docgen::countSuccesses(6, 1, [&](int t) {
                     const QString doc = dir.path() + QString("/c%1.pdf").arg(t);
                     testutil::writeFile(doc, docgen::makePdf({{QString("Document %1").arg(t)}}));
                     QString outPath;
                     const bool ok = converter.convert(ContentFile::open(doc), nullptr, &outPath, nullptr, QString(), nullptr)
                                     && fromUtf16BE(testutil::readFile(outPath))
                                            .startsWith(QString("Document %1\n").arg(t));
                     QFile::remove(outPath);
                     return ok;
                 }),
                 6);
    }
};

QTEST_GUILESS_MAIN(TestPdfConverter)
#include "tst_pdfconverter.moc"
