// Search engine figures (a program, not a test):
//
// 1. Contents search over a generated corpus of 20,000 text files, 1 GB in all (warm cache),
//    through the façade (folder walk + candidate checks), side by side with "rg -l" on the same
//    corpus in the same run: a literal found in 1% of the files, case-sensitive and ignoring
//    case, and a regular expression (the line-by-line route) for reference.
// 2. A name search through the façade over the index of 1,000,000 entries: time from `find` to
//    the `findFinished` signal (needs root: the entries live on a tmpfs in a private mount
//    namespace, which the index follows; without root this part is skipped). The same search
//    by folder walking is shown for comparison.
//
// Usage: bench_engine [files] [megabytes] [entries]   (defaults 20000 1024 1000000)
#include "core/HandleHolder.h"
#include "core/Logger.h"
#include "search/engine/FileSearcher.h"
#include "search/index/NTFSUtils.h"
#include "search/model/FileSearchRequest.h"
#include "search/model/ResultStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fcntl.h>
#include <random>
#include <sched.h>
#include <string>
#include <sys/mount.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

const char* const Vocabulary[] = {
    "river", "stone", "lantern", "copper", "meadow", "signal", "harbor", "winter", "orchard",
    "engine", "velvet", "thunder", "marble", "pocket", "silver", "garden", "shadow", "window",
    "candle", "forest", "mirror", "ticket", "planet", "rocket", "bridge", "castle", "dragon",
    "falcon", "island", "jungle", "kettle", "ladder", "magnet", "needle", "oyster", "parrot",
    "quartz", "ribbon", "saddle", "tunnel", "violet", "walnut", "yellow", "zipper", "anchor",
    "barrel", "cactus", "dolphin", "feather", "glacier", "hammock", "iceberg", "jasmine", "koala",
    "lobster", "mustard", "nutmeg", "octopus", "pepper", "quiver", "raisin", "salmon", "tomato",
    "umbrella", "vanilla", "whistle", "the", "of", "and", "to", "in", "is", "was", "for", "on",
    "with", "as", "by", "at", "from", "report", "table", "value", "index", "print", "count"};
constexpr int VocabularySize = int(sizeof(Vocabulary) / sizeof(Vocabulary[0]));
const char* const Needle = "zyzzogeton";

double msSince(const QElapsedTimer& t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

// Writes `files` text files of about `bytesPerFile` bytes into 100-file folders; every 100th
// file holds the needle once, somewhere inside.
void generateCorpus(const QByteArray& root, int files, size_t bytesPerFile)
{
    std::atomic<int> next{0};
    auto writer = [&](unsigned seed) {
        std::mt19937 rng(seed);
        std::string text;
        text.reserve(bytesPerFile + 256);
        for (int i = next++; i < files; i = next++) {
            const QByteArray folder = root + "/part" + QByteArray::number(i / 100);
            ::mkdir(folder.constData(), 0755);
            text.clear();
            const bool withNeedle = i % 100 == 37;
            size_t needleAt = withNeedle ? rng() % bytesPerFile : size_t(-1);
            size_t lineLength = 0;
            while (text.size() < bytesPerFile) {
                if (text.size() >= needleAt) {
                    text += Needle;
                    text += ' ';
                    lineLength += 11;
                    needleAt = size_t(-1);
                }
                const char* word = Vocabulary[rng() % VocabularySize];
                text += word;
                lineLength += std::char_traits<char>::length(word) + 1;
                if (lineLength > 72) {
                    text += '\n';
                    lineLength = 0;
                } else {
                    text += ' ';
                }
            }
            text += '\n';
            const QByteArray path = folder + "/doc" + QByteArray::number(i) + ".txt";
            const HandleHolder fd(::open(path.constData(), O_CREAT | O_WRONLY | O_TRUNC | O_CLOEXEC, 0644));
            if (!fd.isValid())
                continue;
            if (::write(fd.handle(), text.data(), text.size()) != ssize_t(text.size()))
                std::fprintf(stderr, "short write %s\n", path.constData());
        }
    };
    std::vector<std::thread> threads;
    for (unsigned t = 0; t < 8; ++t)
        threads.emplace_back(writer, 1000 + t);
    for (auto& t : threads)
        t.join();
}

// 50 top folders, each with `folders / 50` subfolders of files; names from the vocabulary.
void generateEntries(const QByteArray& root, int entries)
{
    const int folders = entries / 20;
    const int top = 50;
    const int perTop = folders / top;
    const int files = entries - folders;
    const int perFolder = files / (top * perTop);
    std::atomic<int> nextTop{0};
    auto maker = [&]() {
        for (int t = nextTop++; t < top; t = nextTop++) {
            const QByteArray topPath = root + "/" + Vocabulary[t % VocabularySize] + "_" + QByteArray::number(t);
            ::mkdir(topPath.constData(), 0755);
            for (int s = 0; s < perTop; ++s) {
                const int folderIndex = t * perTop + s;
                const QByteArray sub = topPath + "/" + Vocabulary[(s * 13) % VocabularySize] + "_"
                    + QByteArray::number(folderIndex);
                ::mkdir(sub.constData(), 0755);
                for (int f = 0; f < perFolder; ++f) {
                    const int n = folderIndex * perFolder + f;
                    const QByteArray file = sub + "/" + Vocabulary[(n * 31) % VocabularySize] + "_"
                        + QByteArray::number(n) + (n % 10 == 0 ? ".pdf" : ".txt");
                    HandleHolder created(::open(file.constData(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644)); // an empty file is enough
                }
            }
        }
    };
    std::vector<std::thread> threads;
    for (int i = 0; i < 8; ++i)
        threads.emplace_back(maker);
    for (auto& t : threads)
        t.join();
}

// One search through the façade; returns the milliseconds from `find` to `findFinished`.
double timedFind(FileSearcher& searcher, FileSearchRequest& request, int* hits)
{
    ResultStore results;
    QEventLoop loop;
    const FileSearchRequest::Id id = request.id;
    QObject::connect(&searcher, &FileSearcher::findFinished, &loop,
                     [&loop, id](FileSearchRequest::Id done) {
                         if (done == id)
                             loop.quit();
                     });
    QElapsedTimer t;
    t.start();
    searcher.find(&request, &results);
    loop.exec();
    const double elapsed = msSince(t);
    *hits = results.itemCount();
    return elapsed;
}

double bestOf(int runs, const std::function<double()>& run)
{
    double best = 1e18;
    for (int i = 0; i < runs; ++i)
        best = std::min(best, run());
    return best;
}

double timedRipgrep(const QStringList& args, int* hits)
{
    QProcess rg;
    QElapsedTimer t;
    t.start();
    rg.start(QStringLiteral("rg"), args);
    if (!rg.waitForFinished(600000))
        return -1;
    const double elapsed = msSince(t);
    *hits = rg.readAllStandardOutput().count('\n');
    return elapsed;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int files = argc > 1 ? std::max(100, std::atoi(argv[1])) : 20000;
    const int megabytes = argc > 2 ? std::max(1, std::atoi(argv[2])) : 1024;
    const int entries = argc > 3 ? std::max(1000, std::atoi(argv[3])) : 1000000;

    QTemporaryDir tmp(QDir::tempPath() + QStringLiteral("/bench_engine-XXXXXX"));
    if (!tmp.isValid())
        return 1;
    Logger::instance(tmp.filePath(QStringLiteral("bench.log")));
    const bool root = ::geteuid() == 0;
    bool privateNamespace = root && ::unshare(CLONE_NEWNS) == 0
        && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;

    // ---------------------------------------------------------------- contents
    const QString corpus = tmp.filePath(QStringLiteral("corpus"));
    QDir().mkpath(corpus);
    bool corpusOnTmpfs = privateNamespace
        && ::mount("tmpfs", QFile::encodeName(corpus).constData(), "tmpfs", 0, "size=3g") == 0;
    std::printf("Contents search: %d files, %d MiB, on %s, %u hardware threads\n", files, megabytes,
                corpusOnTmpfs ? "a tmpfs" : "the temporary folder", std::thread::hardware_concurrency());
    QElapsedTimer gen;
    gen.start();
    generateCorpus(QFile::encodeName(corpus), files, size_t(megabytes) * 1024 * 1024 / size_t(files));
    std::printf("  corpus generated in %.0f ms\n", msSince(gen));

    FileSearcher plainSearcher(tmp.filePath(QStringLiteral("work")), 0);
    ContentSearchOptions options;
    options.autoDetectEncoding = true;
    options.skipBinary = true;
    options.useBuiltInPDF = true;
    plainSearcher.init(IndexingSettings(), options);

    int rgHits = 0;
    timedRipgrep({QStringLiteral("-l"), QLatin1String(Needle), corpus}, &rgHits); // warm the cache
    struct Case
    {
        const char* label;
        QStringList rgArgs;
        QString pattern;
        int syntax;
        bool caseSensitive;
    };
    const QList<Case> cases = {
        {"literal, case-sensitive", {QStringLiteral("-l"), QLatin1String(Needle)}, QLatin1String(Needle),
         FileSearchRequest::Substring, true},
        {"literal, ignoring case", {QStringLiteral("-l"), QStringLiteral("-i"), QLatin1String(Needle)},
         QLatin1String(Needle), FileSearchRequest::Substring, false},
        {"regular expression", {QStringLiteral("-l"), QStringLiteral("-i"), QStringLiteral("zyzz.geton")},
         QStringLiteral("zyzz.geton"), FileSearchRequest::Regex, false},
    };
    std::printf("  %-26s %12s %12s %8s %10s\n", "case", "ours (ms)", "rg -l (ms)", "ratio", "hits");
    for (const Case& c : cases) {
        int ours = 0;
        const double oursMs = bestOf(3, [&]() {
            FileSearchRequest request;
            request.includePaths = QStringList{corpus};
            request.contents = c.pattern;
            request.contentsSyntax = c.syntax;
            request.contentsCase = c.caseSensitive;
            return timedFind(plainSearcher, request, &ours);
        });
        int theirs = 0;
        QStringList args = c.rgArgs;
        args << corpus;
        const double rgMs = bestOf(3, [&]() { return timedRipgrep(args, &theirs); });
        std::printf("  %-26s %12.1f %12.1f %7.2fx %5d/%d\n", c.label, oursMs, rgMs, oursMs / rgMs,
                    ours, theirs);
    }
    if (corpusOnTmpfs)
        ::umount2(QFile::encodeName(corpus).constData(), MNT_DETACH);
    else
        QDir(corpus).removeRecursively();

    // ---------------------------------------------------------------- names over the index
    if (!privateNamespace) {
        std::printf("Name search over the index: skipped (needs root for a tmpfs the index follows)\n");
        return 0;
    }
    const QString volume = tmp.filePath(QStringLiteral("volume"));
    QDir().mkpath(volume);
    if (::mount("tmpfs", QFile::encodeName(volume).constData(), "tmpfs", 0, "size=2g,nr_inodes=4m") != 0) {
        std::printf("Name search over the index: skipped (tmpfs not mounted)\n");
        return 0;
    }
    gen.restart();
    generateEntries(QFile::encodeName(volume), entries);
    std::printf("Name search over the index: %d entries generated in %.0f ms\n", entries, msSince(gen));
    {
        // For comparison: the same search by walking the folders (no index).
        int hits = 0;
        const double walkMs = bestOf(3, [&]() {
            FileSearchRequest request;
            request.fileName = QStringLiteral("walnut");
            request.includePaths = QStringList{volume};
            return timedFind(plainSearcher, request, &hits);
        });
        std::printf("  by folder walking instead (no index): %.1f ms, %d hits\n", walkMs, hits);
    }
    {
        FileSearcher indexed(tmp.filePath(QStringLiteral("work2")), FileSearcher::UseIndex);
        IndexingSettings settings;
        settings.indexDrives = {getVolumeSerialNumber(volume)};
        settings.autoAddFixed = false;
        settings.autoAddRemovable = false;
        settings.dbPath = tmp.filePath(QStringLiteral("db"));
        QDir().mkpath(settings.dbPath);
        QEventLoop initLoop;
        QObject::connect(&indexed, &FileSearcher::initFinished, &initLoop, &QEventLoop::quit);
        QElapsedTimer t;
        t.start();
        indexed.init(settings, options);
        initLoop.exec();
        QMap<QString, int> counts;
        indexed.indexedCounts(counts);
        std::printf("  index built in %.0f ms, %d objects indexed\n", msSince(t), counts.value(volume));

        struct NameCase
        {
            const char* label;
            QString pattern;
        };
        const QList<NameCase> names = {{"substring, ~1% hits", QStringLiteral("walnut")},
                                       {"wildcard *.pdf, ~10% hits", QStringLiteral("*.pdf")},
                                       {"no hit", QStringLiteral("qqqqq")}};
        std::printf("  %-28s %12s %12s %10s\n", "case", "best (ms)", "median (ms)", "hits");
        for (const NameCase& c : names) {
            std::vector<double> times;
            int hits = 0;
            for (int run = 0; run < 7; ++run) {
                FileSearchRequest request;
                request.fileName = c.pattern;
                request.includePaths = QStringList{volume};
                times.push_back(timedFind(indexed, request, &hits));
            }
            std::sort(times.begin(), times.end());
            std::printf("  %-28s %12.1f %12.1f %10d\n", c.label, times.front(), times[times.size() / 2], hits);
        }
    }
    ::umount2(QFile::encodeName(volume).constData(), MNT_DETACH);
    return 0;
}
