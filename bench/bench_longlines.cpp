// What a contents search and the match preview hold on files of one enormous line: a 1 GiB
// file without a line end and a 256 MiB line (the needle at the very end of each), a small
// workbook whose one long string fills a row of cells (one line of 256 MiB of converted text),
// and eight of each searched at once by one search on the pool's threads. Prints, per case,
// the time, whether the needle was found and the growth of the process's peak resident memory
// (VmHWM, reset before each case).
//
//   bench_longlines [folder]     (default: the temporary folder; needs about 3.5 GB free)
#include "core/ContentSearchOptions.h"
#include "core/Logger.h"
#include "search/engine/ContentSearcher.h"
#include "search/engine/DirectorySearcher.h"
#include "search/engine/FileSearch.h"
#include "search/model/FileSearchRequest.h"
#include "search/model/ResultStore.h"
#include "search/model/TempFileHolder.h"
#include "search/textextract/IFilterConverter.h"
#include "search/textextract/RegistryFile.h"

#include "docgen.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <cstring>
#include <memory>

#include <unistd.h>

namespace {

// Runs `run` with the peak resident size reset first; prints its time and the peak's growth.
template <class F>
void measure(const char* label, F run)
{
    QElapsedTimer t;
    t.start();
    QString outcome;
    const long grownKiB = docgen::peakGrowthKiB([&] { outcome = run(); });
    std::printf("%-56s %7.2f s  peak growth %7.1f MiB  %s\n", label, double(t.elapsed()) / 1000.0,
                double(grownKiB) / 1024.0, qPrintable(outcome));
    std::fflush(stdout);
}

// A file of `bytes` bytes of words without a line end, ending in "needle".
bool writeOneLine(const QString& path, qint64 bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    QByteArray block(1 << 20, 'x');
    for (int i = 0; i < block.size(); i += 61)
        block[i] = ' ';
    for (qint64 written = 0; written + block.size() <= bytes - 6; written += block.size()) {
        if (f.write(block) != block.size())
            return false;
    }
    return f.write("needle") == 6;
}

// A workbook of a few KiB: one shared string of 30,000 characters ending in "needle", named by
// every cell of a row of 9,000 (270 million characters of text in one line, cut at the text
// bound).
bool writeWorkbook(const QString& path)
{
    QByteArray row = "<worksheet><sheetData><row>";
    for (int i = 0; i < 9000; ++i)
        row += "<c t=\"s\"><v>0</v></c>";
    row += "</row></sheetData></worksheet>";
    return docgen::writeZip(path, {{"xl/workbook.xml", "<workbook/>"},
                                   {"xl/sharedStrings.xml", "<sst><si><t>" + QByteArray(29993, 'w') + " needle</t></si></sst>"},
                                   {"xl/worksheets/sheet1.xml", row}});
}

QString found(bool matched, int count)
{
    return QStringLiteral("found %1, count %2").arg(matched ? "yes" : "NO").arg(count);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString parent = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::tempPath();
    QTemporaryDir tmp(parent + QStringLiteral("/bench_longlines-XXXXXX"));
    if (!tmp.isValid()) {
        std::fprintf(stderr, "cannot make a folder in %s\n", qPrintable(parent));
        return 1;
    }
    Logger::instance(tmp.filePath(QStringLiteral("bench.log")));
    const QString programDir = QCoreApplication::applicationDirPath() + QStringLiteral("/../bin");
    auto registry = std::make_shared<RegistryFile>();
    if (!registry->load(programDir + QLatin1Char('/') + RegistryFile::inProcessFileName())) {
        std::fprintf(stderr, "no %s in %s\n", qPrintable(RegistryFile::inProcessFileName()), qPrintable(programDir));
        return 1;
    }
    RegistryFile::setMachine(registry);
    const QString work = tmp.filePath(QStringLiteral("work"));
    QDir().mkpath(work);
    ContentSearchOptions options;
    options.autoDetectEncoding = true;
    options.skipBinary = true;
    options.useBuiltInPDF = true;
    options.ifilters32 = getIFiltersFromRegistry();
    ContentSearcher searcher(nullptr, work);
    searcher.setSettings(options);

    const QString gib = tmp.filePath(QStringLiteral("gib.txt"));
    const QString line256 = tmp.filePath(QStringLiteral("line256.txt"));
    const QString book = tmp.filePath(QStringLiteral("book.xlsx"));
    if (!writeOneLine(gib, qint64(1) << 30) || !writeOneLine(line256, qint64(256) << 20) || !writeWorkbook(book)) {
        std::fprintf(stderr, "cannot write the files\n");
        return 1;
    }
    std::printf("bench_longlines: %d pool threads; files in %s\n", QThread::idealThreadCount(), qPrintable(tmp.path()));
    const auto single = [&](const char* label, const QString& path, bool regex) {
        FileSearchRequest request;
        request.contents = regex ? QStringLiteral("ne+dle") : QStringLiteral("needle");
        request.contentsSyntax = regex ? FileSearchRequest::Regex : FileSearchRequest::Substring;
        request.contentsCase = true;
        request.countMatches = true;
        measure(qPrintable(QStringLiteral("search  %1%2").arg(label, regex ? " (regex)" : "")), [&] {
            int count = 0;
            const bool matched = searcher.find(&request, path, &count);
            return found(matched, count);
        });
        FileSearchRequest preview = FileSearchRequest::cloneForMatches(request);
        measure(qPrintable(QStringLiteral("preview %1%2").arg(label, regex ? " (regex)" : "")), [&] {
            TempFileHolder holder;
            const bool matched = searcher.findAll(&preview, path, &holder);
            return QStringLiteral("found %1, %2 line(s), %3 shown").arg(matched ? "yes" : "NO").arg(holder.lineCount).arg(holder.matches.size());
        });
    };
    for (bool regex : {false, true}) {
        single("1 GiB without a line end", gib, regex);
        single("one line of 256 MiB", line256, regex);
        single("workbook: one line of 256 MiB text", book, regex);
    }

    // Eight of each kind in one folder, searched by one search on the pool's threads.
    const QString folder = tmp.filePath(QStringLiteral("eight"));
    QDir().mkpath(folder);
    for (int i = 0; i < 8; ++i) {
        if (!QFile::copy(book, QStringLiteral("%1/book%2.xlsx").arg(folder).arg(i))
            || ::link(QFile::encodeName(gib).constData(), QFile::encodeName(QStringLiteral("%1/gib%2.txt").arg(folder).arg(i)).constData()) != 0) {
            std::fprintf(stderr, "cannot fill %s\n", qPrintable(folder));
            return 1;
        }
    }
    QFile::remove(line256);
    for (bool regex : {false, true}) {
        DirectorySearcher directories;
        FileSearchRequest request;
        request.includePaths = QStringList{folder};
        request.contents = regex ? QStringLiteral("ne+dle") : QStringLiteral("needle");
        request.contentsSyntax = regex ? FileSearchRequest::Regex : FileSearchRequest::Substring;
        request.contentsCase = true;
        request.countMatches = true;
        ResultStore results;
        measure(regex ? "one search of 8 workbooks + 8 x 1 GiB lines (regex)" : "one search of 8 workbooks + 8 x 1 GiB lines",
                [&] {
                    FileSearch search(nullptr, &directories, &searcher, nullptr, &request, &results);
                    QEventLoop loop;
                    QObject::connect(&search, &FileSearch::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
                    search.start();
                    loop.exec();
                    return QStringLiteral("%1 of 16 files found").arg(results.itemCount());
                });
    }
    return 0;
}
