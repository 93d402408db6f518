// Throughput of the built-in document converters on generated documents of about 10 MB each
// (PDF through pdftotext, EPUB, FB2 through the HTML converter, Mobipocket PalmDOC and
// uncompressed). Prints, per converter, the document size, the text size and MB/s of
// document bytes (best of three runs).
#include "core/ContentFile.h"
#include "search/textextract/EPUBConverter.h"
#include "search/textextract/HtmlConverter.h"
#include "search/textextract/MobiConverter.h"
#include "search/textextract/PDFConverter.h"
#include "tests/textextract/docgen.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

namespace {

constexpr qint64 kTarget = 10 * 1000 * 1000;

// `count` paragraphs of pseudo-random words (fixed seed), Latin or Cyrillic.
QStringList paragraphs(int count, bool cyrillic)
{
    static const char* latin[] = {"search", "index", "volume", "text", "document", "the", "of",
                                  "converter", "record", "stream", "and", "a", "journal", "file"};
    static const char* cyr[] = {"\xD0\xBF\xD0\xBE\xD0\xB8\xD1\x81\xD0\xBA", "\xD1\x82\xD0\xB5\xD0\xBA\xD1\x81\xD1\x82",
                                "\xD1\x84\xD0\xB0\xD0\xB9\xD0\xBB", "\xD0\xB8", "\xD0\xBA\xD0\xBD\xD0\xB8\xD0\xB3\xD0\xB0"};
    QRandomGenerator rng(42);
    QStringList out;
    for (int p = 0; p < count; ++p) {
        QString line;
        const int words = 10 + int(rng.bounded(6));
        for (int w = 0; w < words; ++w) {
            if (w)
                line += ' ';
            line += cyrillic && rng.bounded(2) ? QString::fromUtf8(cyr[rng.bounded(5)])
                                               : QString::fromLatin1(latin[rng.bounded(14)]);
            line += QString::number(rng.bounded(1000));
        }
        out << line;
    }
    return out;
}

// Builds the document with `make(paragraphCount)` so that its size is close to kTarget.
QString makeDocument(const QString& path, const std::function<QByteArray(int)>& make)
{
    const int probe = 2000;
    const qint64 probeSize = make(probe).size();
    const int count = int(double(probe) * kTarget / probeSize);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(make(count));
    return path;
}

void measure(const char* name, ToPlainTextConverter& converter, const QString& doc)
{
    double best = 1e30;
    qint64 textSize = 0;
    bool ok = true;
    for (int run = 0; run < 3; ++run) {
        QString outPath;
        QElapsedTimer timer;
        timer.start();
        ok = converter.convert(ContentFile::open(doc), nullptr, &outPath, nullptr, QString(), nullptr) && ok;
        best = qMin(best, timer.nsecsElapsed() / 1e9);
        textSize = QFileInfo(outPath).size();
        QFile::remove(outPath);
    }
    const double docMB = QFileInfo(doc).size() / 1e6;
    std::printf("%-26s doc %6.2f MB  text %6.2f MB  %7.3f s  %7.1f MB/s%s\n", name, docMB,
                textSize / 1e6, best, docMB / best, ok ? "" : "  (conversion FAILED)");
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString work = dir.path() + "/work";
    std::printf("Generating documents of about %.0f MB...\n", kTarget / 1e6);

    const QString pdf = makeDocument(dir.path() + "/big.pdf", [](int n) {
        const QStringList lines = paragraphs(n, false);
        QList<QStringList> pages;
        for (int i = 0; i < lines.size(); i += 55)
            pages << lines.mid(i, 55);
        return docgen::makePdf(pages);
    });
    const QString fb2 = makeDocument(dir.path() + "/big.fb2", [](int n) {
        const QStringList lines = paragraphs(n, true);
        QList<QStringList> sections;
        for (int i = 0; i < lines.size(); i += 40)
            sections << lines.mid(i, 40);
        return docgen::makeFb2(sections);
    });
    const QString epub = makeDocument(dir.path() + "/big.epub", [&](int n) {
        const QStringList lines = paragraphs(n, false);
        QList<QStringList> chapters;
        for (int i = 0; i < lines.size(); i += 500)
            chapters << lines.mid(i, 500);
        const QString tmp = dir.path() + "/probe.epub";
        QFile::remove(tmp);
        docgen::writeEpub(tmp, chapters);
        QFile f(tmp);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    });
    auto mobiMaker = [](int compression) {
        return [compression](int n) {
            QByteArray html = "<html><head></head><body>";
            for (const QString& p : paragraphs(n, true))
                html += "<p>" + p.toUtf8() + "</p>\n";
            docgen::MobiOptions o;
            o.compression = compression;
            return docgen::makeMobi(html + "</body></html>", o);
        };
    };
    const QString mobi = makeDocument(dir.path() + "/big.mobi", mobiMaker(2));
    const QString mobiRaw = makeDocument(dir.path() + "/raw.mobi", mobiMaker(1));

    HtmlConverter html;
    html.setWorkFolder(work);
    PDFConverter pdfConverter;
    pdfConverter.setWorkFolder(work);
    EPUBConverter epubConverter(&html);
    epubConverter.setWorkFolder(work);
    MobiConverter mobiConverter(&html);
    mobiConverter.setWorkFolder(work);

    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        std::printf("%-26s skipped: pdftotext not installed\n", "PDF (pdftotext)");
    else
        measure("PDF (pdftotext)", pdfConverter, pdf);
    measure("EPUB", epubConverter, epub);
    measure("HTML (FB2, windows-1251)", html, fb2);
    measure("Mobipocket (PalmDOC)", mobiConverter, mobi);
    measure("Mobipocket (uncompressed)", mobiConverter, mobiRaw);
    return 0;
}
