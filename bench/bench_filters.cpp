// Throughput of the document filters on generated documents of about 10 MB:
// - the in-process filter converter (IFilterConverter) on a DOCX (Office Open XML filter);
// - the helper path (IFilter64Converter -> helper64 over its socket -> its RTF filter) on an RTF.
// Prints the document size, the text written and MB/s of document bytes (best of three).
// The programs and registry files are taken from the program folder (TQ_PROGRAM_DIR, else
// ../bin beside this program).
#include "core/ContentFile.h"
#include "core/Logger.h"
#include "search/textextract/Helper64Client.h"
#include "search/textextract/IFilter64Converter.h"
#include "search/textextract/IFilterConverter.h"
#include "search/textextract/RegistryFile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <quazip/quazip.h>
#include <quazip/quazipfile.h>

#include <cstdio>

namespace {

constexpr qint64 kTargetBytes = 10 * 1000 * 1000;

// One line of pseudo-random words and numbers (hard to compress, like real prose).
QByteArray sentence(QRandomGenerator& rng)
{
    static const char* const words[] = {"quarterly", "figures", "report", "budget", "meeting",
                                        "minutes", "draft", "final", "review", "contract"};
    QByteArray line;
    const int n = 8 + int(rng.bounded(8));
    for (int i = 0; i < n; ++i) {
        line += words[rng.bounded(10)];
        line += QByteArray::number(rng.bounded(100000));
        line += ' ';
    }
    return line;
}

QString makeDocx(const QString& path)
{
    QRandomGenerator rng(7);
    QuaZip zip(path);
    zip.open(QuaZip::mdCreate);
    QuaZipFile member(&zip);
    member.open(QIODevice::WriteOnly, QuaZipNewInfo(QStringLiteral("word/document.xml")));
    member.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?><w:document xmlns:w=\"http://schemas."
                 "openxmlformats.org/wordprocessingml/2006/main\"><w:body>");
    // This XML compresses to about 4/15 of its size: write until the archive is ~10 MB.
    for (qint64 written = 0; written < kTargetBytes * 15 / 4;) {
        const QByteArray p = "<w:p><w:r><w:t>" + sentence(rng) + "</w:t></w:r></w:p>";
        member.write(p);
        written += p.size();
    }
    member.write("</w:body></w:document>");
    member.close();
    zip.close();
    return path;
}

QString makeRtf(const QString& path)
{
    QRandomGenerator rng(7);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times;}}\\f0\n");
    while (f.size() < kTargetBytes)
        f.write(sentence(rng) + "\\par\n");
    f.write("}");
    return path;
}

void measure(const char* label, const QString& document, const std::function<QString()>& convert)
{
    const double docMB = double(QFileInfo(document).size()) / 1e6;
    double best = 1e30;
    qint64 textBytes = 0;
    for (int run = 0; run < 3; ++run) {
        QElapsedTimer t;
        t.start();
        const QString out = convert();
        const double s = t.nsecsElapsed() / 1e9;
        if (out.isEmpty()) {
            std::printf("%-36s FAILED\n", label);
            return;
        }
        textBytes = QFileInfo(out).size();
        QFile::remove(out);
        best = qMin(best, s);
    }
    std::printf("%-36s document %6.2f MB, text %6.2f MB, %7.3f s, %7.2f MB/s\n", label, docMB,
                double(textBytes) / 1e6, best, docMB / best);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QString programDir = QString::fromLocal8Bit(qgetenv("TQ_PROGRAM_DIR"));
    if (programDir.isEmpty())
        programDir = QCoreApplication::applicationDirPath() + QStringLiteral("/../bin");
    QTemporaryDir tmp;
    Logger::instance(tmp.filePath(QStringLiteral("Tallowquist Pro.log")));
    const QString work = tmp.filePath(QStringLiteral("work"));

    auto registry = std::make_shared<RegistryFile>();
    if (!registry->load(programDir + QLatin1Char('/') + RegistryFile::inProcessFileName())) {
        std::fprintf(stderr, "no %s in %s\n", qPrintable(RegistryFile::inProcessFileName()),
                     qPrintable(programDir));
        return 1;
    }
    RegistryFile::setMachine(registry);

    const QString docx = makeDocx(tmp.filePath(QStringLiteral("big.docx")));
    IFilterConverter inProcess;
    inProcess.setWorkFolder(work);
    measure("IFilterConverter (docx, in process)", docx, [&] {
        QString out;
        inProcess.convert(ContentFile::open(docx), nullptr, &out, nullptr, QString(), nullptr);
        return out;
    });

    const QString rtf = makeRtf(tmp.filePath(QStringLiteral("big.rtf")));
    Helper64Client client(work, programDir + QStringLiteral("/helper64"));
    IFilter64Converter viaHelper(&client);
    measure("IFilter64Converter (rtf, helper64)", rtf, [&] {
        QString out;
        viaHelper.convert(ContentFile::open(rtf), nullptr, &out, nullptr, QString(), nullptr);
        return out;
    });
    return 0;
}
