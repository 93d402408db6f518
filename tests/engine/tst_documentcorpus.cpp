// The document set of tests/textextract/corpus: documents written by LibreOffice, pandoc and
// iconv (make-corpus.sh), and hand-made or damaged ones, each with the words it must give
// (expected.txt). Every file goes the way a contents search takes it: the converters the
// content searcher picks for its extension, with the filter registrations of the program
// folder and the real helper program; a file without a converter is read as text in the
// encoding guessed for it. A word must occur as a whole word (words of Chinese or Japanese
// characters, written without blanks, as a substring). The figures per format are printed.
#include "core/ContentFile.h"
#include "core/Logger.h"
#include "search/engine/ContentSearcher.h"
#include "search/model/EncodingDetection.h"
#include "search/textextract/Helper64Client.h"
#include "search/textextract/IFilterConverter.h"
#include "search/textextract/RegistryFile.h"
#include "testutil.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

#include <memory>

namespace {

QString corpusDir()
{
    return QDir(QStringLiteral(TQ_TEST_DATA_DIR "/../../textextract/corpus")).absolutePath();
}

bool isIdeographic(QChar c)
{
    const ushort u = c.unicode();
    return (u >= 0x3040 && u <= 0x30FF) || (u >= 0x3400 && u <= 0x9FFF) || (u >= 0xF900 && u <= 0xFAFF);
}

// `word` in `text` with no letter or digit right before or after it (for words of ideographs:
// anywhere).
bool containsWord(const QString& text, const QString& word)
{
    const bool loose = isIdeographic(word.at(0)) || isIdeographic(word.at(word.size() - 1));
    for (int at = text.indexOf(word); at >= 0; at = text.indexOf(word, at + 1)) {
        if (loose)
            return true;
        const bool before = at > 0 && text.at(at - 1).isLetterOrNumber();
        const int end = at + word.size();
        const bool after = end < text.size() && text.at(end).isLetterOrNumber();
        if (!before && !after)
            return true;
    }
    return false;
}

QString decode(const QByteArray& bytes, const QString& encoding)
{
    QBuffer device;
    device.setData(bytes);
    device.open(QIODevice::ReadOnly);
    QTextCodec* codec = ContentSearcher::codecForEncoding(encoding, &device);
    if (!codec)
        codec = QTextCodec::codecForUtfText(bytes, QTextCodec::codecForLocale());
    return codec->toUnicode(bytes);
}

} // namespace

class TestDocumentCorpus : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir tmp;
    std::unique_ptr<Helper64Client> helper;
    std::unique_ptr<ContentSearcher> searcher;
    QMap<QString, QStringList> expected; // file -> words
    QStringList order;

    // The text the content search reads for `path`; `converted` tells whether a converter
    // gave it. Empty and not converted when a known document failed to convert.
    QString textOf(const QString& path, bool* converted)
    {
        QBuffer buffer;
        buffer.open(QIODevice::ReadWrite);
        QString outPath, encoding;
        const ContentFile document = ContentFile::open(path);
        *converted = searcher->convert(document, &outPath, &buffer, nullptr, &encoding);
        if (*converted) {
            QByteArray bytes = buffer.data();
            if (!outPath.isEmpty()) {
                bytes = testutil::readFile(outPath);
                QFile::remove(outPath);
            }
            return decode(bytes, encoding);
        }
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return QString();
        const QString guess = detectEncoding(&file);
        if (guess == QLatin1String("BINARY"))
            return QString();
        return decode(testutil::readFile(path), guess);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(tmp.isValid());
        Logger::instance(tmp.filePath(QStringLiteral("Tallowquist Pro.log")));
        const QString work = tmp.filePath(QStringLiteral("work"));
        QVERIFY(QDir().mkpath(work));
        auto inProcess = std::make_shared<RegistryFile>();
        QVERIFY(inProcess->load(testutil::programDir() + QStringLiteral("/ifilters.reg")));
        RegistryFile::setMachine(inProcess);
        helper = std::make_unique<Helper64Client>(work, testutil::programDir() + QStringLiteral("/helper64"), 20000);
        QCOMPARE(helper->currentState(), Helper64Client::State::Running);
        ContentSearchOptions options;
        options.ifilters32 = getIFiltersFromRegistry(*inProcess);
        options.ifilters64 = helper->getIFilters();
        options.autoDetectEncoding = true;
        options.skipBinary = true;
        options.useBuiltInPDF = true;
        searcher = std::make_unique<ContentSearcher>(helper.get(), work);
        searcher->setSettings(options);

        QMap<QString, QString> groups;
        const QStringList lines = QString::fromUtf8(testutil::readFile(corpusDir() + QStringLiteral("/expected.txt")))
                                      .split(QLatin1Char('\n'));
        for (const QString& line : lines) {
            if (line.startsWith(QLatin1Char('#')) || line.trimmed().isEmpty())
                continue;
            if (line.startsWith(QLatin1Char('@'))) {
                const int eq = line.indexOf(QLatin1String(" = "));
                groups.insert(line.left(eq), line.mid(eq + 3));
                continue;
            }
            const int colon = line.indexOf(QLatin1Char(':'));
            QString words = line.mid(colon + 1).trimmed();
            if (groups.contains(words))
                words = groups.value(words);
            expected.insert(line.left(colon), words.split(QLatin1Char(' '), Qt::SkipEmptyParts));
            order << line.left(colon);
        }
        QVERIFY(expected.size() > 50);
    }

    void cleanupTestCase()
    {
        searcher.reset();
        helper.reset();
    }

    // Every file of the set is listed with its words, and every listed file is there.
    void setIsComplete()
    {
        const QStringList files = QDir(corpusDir() + QStringLiteral("/files")).entryList(QDir::Files, QDir::Name);
        for (const QString& f : files)
            QVERIFY2(expected.contains(f), qPrintable(f + " has no line in expected.txt"));
        for (const QString& f : qAsConst(order))
            QVERIFY2(files.contains(f), qPrintable(f + " is listed but missing"));
    }

    void everyWordFound()
    {
        QMap<QString, QPair<int, int>> perFormat; // extension -> found, expected
        QStringList missing;
        for (const QString& name : qAsConst(order)) {
            const QString path = corpusDir() + QStringLiteral("/files/") + name;
            bool converted = false;
            const QString text = textOf(path, &converted);
            const QString format = name.contains(QLatin1String(".txt")) ? name.section(QLatin1Char('-'), 1).section(QLatin1Char('.'), 0, 0)
                                                                         : name.section(QLatin1Char('.'), -1);
            auto& figures = perFormat[format];
            const int missingBefore = missing.size();
            for (const QString& word : expected.value(name)) {
                ++figures.second;
                if (containsWord(text, word))
                    ++figures.first;
                else
                    missing << name + QStringLiteral(": ") + word;
            }
            // A document's text never carries its markup or container bytes.
            for (const char* markup : {"\\rtf", "<?xml", "PK\x03\x04", "metaword", "var scriptword", "commentword is",
                                       "xmlcomment", "kfcssword", "stylerule"})
                if (text.contains(QLatin1String(markup)))
                    missing << name + QStringLiteral(" gives ") + QLatin1String(markup);
            if (missing.size() > missingBefore)
                qInfo("text of %s (%s): %s", qPrintable(name), converted ? "converted" : "as text",
                      qPrintable(text.left(600).replace(QLatin1Char('\n'), QLatin1String(" | "))));
        }
        for (auto it = perFormat.constBegin(); it != perFormat.constEnd(); ++it)
            qInfo("%-16s %3d of %3d words", qPrintable(it.key()), it.value().first, it.value().second);
        for (const QString& m : qAsConst(missing))
            qInfo("missing: %s", qPrintable(m));
        QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("%1 words missing").arg(missing.size())));
    }
};

QTEST_GUILESS_MAIN(TestDocumentCorpus)
#include "tst_documentcorpus.moc"
