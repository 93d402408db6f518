// Side-by-side figures against the peers, on the same data in the same run (a program, not a
// test; bench/compare builds and runs it):
//
// names    Trees of N entries (default 1,000,000 and 4,000,000) on a tmpfs in a private mount
//          namespace (needs root). plocate's database of the tree is made by its updatedb;
//          our index is built from the same tree. Each query kind runs alternately: plocate
//          as a whole process (started, its database opened and searched, every path written
//          to a pipe that is read to the end) and ours as the search of the loaded index (the
//          index is resident in the running program: the time from the request to the hits
//          with their full paths, written out as one text like plocate's). The hit sets must
//          be equal; each row prints both medians and the ratio ours / plocate.
// contents The synthetic corpus (generated text files) and a real tree (copies of
//          /usr/share/doc, /usr/include and /usr/lib/python3*) on a tmpfs; each query runs
//          through our engine's façade (folder walk and contents check, start to finish) and
//          as `rg -l`, `ugrep -rl` and `grep -rl` processes, alternately. Hit sets are
//          compared with rg's (differences are counted and the first few shown).
// preview  A 100 MB log: the match preview's findAll of one word against `rg -n`.
//
// Usage: bench_compare [names|contents|preview|all] [entries...]
#include "core/ContentSearchOptions.h"
#include "core/IndexingSettings.h"
#include "core/Logger.h"
#include "search/engine/ContentSearcher.h"
#include "search/engine/FileSearcher.h"
#include "search/index/NTFSDriveDB.h"
#include "search/model/FileSearchRequest.h"
#include "search/model/ResultStore.h"
#include "search/model/TempFileHolder.h"
#include "tests/doubles/ScriptedJournalBackend.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <random>
#include <sched.h>
#include <spawn.h>
#include <string>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

const int Rounds = 7;

double msSince(const QElapsedTimer& t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// Runs a program to its end with its output read from a pipe; returns the wall time of the
// whole process in milliseconds (or -1) and its standard output.
double runProcess(const std::vector<std::string>& args, std::string* out, const char* workDir = nullptr)
{
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    if (workDir)
        posix_spawn_file_actions_addchdir_np(&actions, workDir);
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    QElapsedTimer t;
    t.start();
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    if (rc != 0) {
        ::close(pipeFds[0]);
        return -1;
    }
    out->clear();
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(pipeFds[0], buffer, sizeof(buffer));
        if (n <= 0)
            break;
        out->append(buffer, size_t(n));
    }
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return msSince(t);
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        if (end > start)
            out.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    std::sort(out.begin(), out.end());
    return out;
}

// Number of paths in one set and not the other, with the first few of them.
int differences(const std::vector<std::string>& a, const std::vector<std::string>& b, std::string* sample)
{
    std::vector<std::string> onlyA, onlyB;
    std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(onlyA));
    std::set_difference(b.begin(), b.end(), a.begin(), a.end(), std::back_inserter(onlyB));
    sample->clear();
    for (size_t i = 0; i < onlyA.size() && i < 2; ++i)
        *sample += " ours only: " + onlyA[i];
    for (size_t i = 0; i < onlyB.size() && i < 2; ++i)
        *sample += " theirs only: " + onlyB[i];
    return int(onlyA.size() + onlyB.size());
}

bool mountTmpfs(const QString& path, const char* options)
{
    QDir().mkpath(path);
    return ::mount("tmpfs", QFile::encodeName(path).constData(), "tmpfs", 0, options) == 0;
}

// The program's default contents options.
ContentSearchOptions contentOptions()
{
    ContentSearchOptions options;
    options.autoDetectEncoding = true;
    options.skipBinary = true;
    options.useBuiltInPDF = true;
    return options;
}

// ------------------------------------------------------------------------------------ names

const char* const Words[] = {
    "alpha", "bravo", "charlie", "delta", "echo", "foxtrot", "golf", "hotel", "india", "juliet",
    "kilo", "lima", "mike", "november", "oscar", "papa", "quebec", "romeo", "sierra", "tango",
    "uniform", "victor", "whiskey", "xray", "yankee", "zulu", "Report", "Summary", "Budget", "Draft",
    "Invoice", "Letter", "Photo", "Image", "Video", "Music", "Track", "Album", "Backup", "Archive",
    "config", "module", "source", "header", "build", "test", "data", "cache", "index", "table",
    "notes", "todo", "readme", "license", "setup", "install", "update", "patch", "release", "debug",
    "client", "server", "proxy", "router", "socket", "stream", "buffer", "queue", "stack", "graph",
    "north", "south", "east", "west", "spring", "summer", "autumn", "winter", "morning", "evening",
    "apple", "banana", "cherry", "grape", "lemon", "mango", "orange", "peach", "pear", "plum",
    "red", "green", "blue", "yellow", "purple", "silver", "golden", "copper", "invoices", "granite"};
const char* const Extensions[] = {".txt", ".pdf", ".jpg", ".cpp", ".h", ".docx", ".mp3", ".png", ".xml", ".log"};
const char* const Separators[] = {" ", "-", "_", "."};

// `entries` objects: 5% folders in two levels, the files spread over the lower level, named
// from two words joined by a blank, a dash, an underscore or a dot, a number and an extension.
void generateTree(const QByteArray& root, int entries)
{
    const int folders = entries / 20;
    const int files = entries - folders;
    const int top = 100;
    const int perTop = (folders - top) / top;
    const int lower = top * perTop;
    const int perFolder = files / lower;
    const int extra = files - perFolder * lower;
    std::atomic<int> nextTop{0};
    auto work = [&] {
        char path[2048];
        char file[4096];
        for (int t = nextTop++; t < top; t = nextTop++) {
            std::snprintf(path, sizeof(path), "%s/%s_%d", root.constData(), Words[t % 100], t);
            ::mkdir(path, 0755);
            for (int s = 0; s < perTop; ++s) {
                const int folderIndex = t * perTop + s;
                std::snprintf(path, sizeof(path), "%s/%s_%d/%s %d", root.constData(), Words[t % 100], t,
                              Words[(s * 7) % 100], folderIndex);
                ::mkdir(path, 0755);
                const int count = perFolder + (folderIndex < extra ? 1 : 0);
                for (int f = 0; f < count; ++f) {
                    const unsigned n = unsigned(folderIndex * (perFolder + 1) + f);
                    std::snprintf(file, sizeof(file), "%s/%s%s%s %u%s", path, Words[(n * 37) % 100], Separators[n % 4],
                                  Words[(n * 11 + 3) % 100], n, Extensions[(n / 100) % 10]);
                    const int fd = ::open(file, O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
                    if (fd >= 0)
                        ::close(fd);
                }
            }
        }
    };
    std::vector<std::thread> threads;
    for (int i = 0; i < 8; ++i)
        threads.emplace_back(work);
    for (auto& t : threads)
        t.join();
}

struct NameQuery
{
    const char* kind;
    QString pattern;
    int syntax;
    std::vector<std::string> plocateArgs; // after "plocate -d DB -i"
};

void runNames(int entries, const QString& base)
{
    const QString mp = base + QStringLiteral("/names-%1").arg(entries);
    const QByteArray options = QByteArray("size=16g,nr_inodes=") + QByteArray::number(entries + 100000);
    if (!mountTmpfs(mp, options.constData())) {
        std::printf("names %d: cannot mount a tmpfs (run as root)\n", entries);
        return;
    }
    QElapsedTimer t;
    t.start();
    generateTree(QFile::encodeName(mp), entries);
    std::printf("\nnames, %d entries: tree made in %.0f ms\n", entries, msSince(t));

    const std::string db = QFile::encodeName(base + QStringLiteral("/plocate-%1.db").arg(entries)).toStdString();
    std::string out;
    t.restart();
    runProcess({"updatedb", "-l", "no", "-U", QFile::encodeName(mp).toStdString(), "-o", db, "--prunefs", "",
                "--prunenames", "", "--prunepaths", "", "--prune-bind-mounts", "no"},
               &out);
    std::printf("  plocate's updatedb: %.0f ms\n", msSince(t));

    ScriptedJournalBackend scripted;
    scripted.setState(mp, JournalState{0x42, 0, 1000});
    JournalBackend::setInstance(&scripted);
    IndexingSettings settings;
    QTemporaryDir dataDir;
    settings.dbPath = dataDir.path();
    std::unique_ptr<NTFSDriveDB> index(new NTFSDriveDB(mp, settings, 0x5eed0001u));
    t.restart();
    index->createDB(nullptr);
    std::printf("  our index: built in %.0f ms, %d objects\n", msSince(t), index->count());

    const std::vector<NameQuery> queries = {
        {"substring", QStringLiteral("invoice"), FileSearchRequest::Substring, {"-b", "invoice"}},
        {"whole word", QStringLiteral("invoice"), FileSearchRequest::WholeWord,
         {"-b", "--regex", "(^|[^[:alnum:]_])invoice([^[:alnum:]_]|$)"}},
        {"wildcard", QStringLiteral("*invoice*.pdf"), FileSearchRequest::Substring, {"-b", "*invoice*.pdf"}},
        {"Boolean", QStringLiteral("invoice and pdf"), FileSearchRequest::Boolean, {"-b", "invoice", "pdf"}},
        {"regex", QStringLiteral("invoice.*[0-9]7\\.pdf"), FileSearchRequest::Regex, {"-b", "--regex", "invoice.*[0-9]7\\.pdf"}},
        {"no hit", QStringLiteral("qzxjv"), FileSearchRequest::Substring, {"-b", "qzxjv"}},
    };
    std::printf("  %-12s %10s %12s %12s %8s  %s\n", "query", "hits", "ours (ms)", "plocate (ms)", "ratio", "hit sets");
    for (const NameQuery& q : queries) {
        std::vector<double> ours, theirs;
        std::string ourText, theirText;
        for (int round = 0; round < Rounds; ++round) {
            std::vector<std::string> args = {"plocate", "-d", db, "-i"};
            args.insert(args.end(), q.plocateArgs.begin(), q.plocateArgs.end());
            theirs.push_back(runProcess(args, &theirText));

            FileSearchRequest request;
            request.fileName = q.pattern;
            request.nameSyntax = q.syntax;
            QElapsedTimer s;
            s.start();
            ResultStore results;
            index->search(&request, &results);
            // The hits' full paths as one text, as plocate writes them: the pooled UTF-8 folder
            // and name joined by "/".
            std::string text;
            const ResultStore::Sizes found = results.sizes();
            for (int r = 0; r < found.dirs + found.files; ++r) {
                const ResultStore::Entry e =
                    r < found.dirs ? results.entryAt(ResultStore::Dirs, r)
                                   : results.entryAt(ResultStore::Files, r - found.dirs);
                const size_t folder = std::strlen(e.path);
                text.append(e.path, folder);
                if (!folder || e.path[folder - 1] != '/')
                    text += '/';
                text += e.name;
                text += '\n';
            }
            ours.push_back(msSince(s));
            ourText.swap(text);
        }
        const std::vector<std::string> a = lines(ourText);
        const std::vector<std::string> b = lines(theirText);
        std::string sample;
        const int diff = differences(a, b, &sample);
        const double o = median(ours);
        const double p = median(theirs);
        std::printf("  %-12s %10zu %12.2f %12.2f %7.2fx  %s%s\n", q.kind, a.size(), o, p, p > 0 ? o / p : 0,
                    diff ? "DIFFER " : "equal", diff ? (std::to_string(diff) + sample).c_str() : "");
        std::fflush(stdout);
    }
    std::printf("  name filter: %.2f bytes per entry\n", double(index->filterBytes()) / index->count());
    index.reset();
    JournalBackend::setInstance(nullptr);
    ::umount2(QFile::encodeName(mp).constData(), MNT_DETACH);
    ::unlink(db.c_str());
}

// --------------------------------------------------------------------------------- contents

// 20,000 text files of about 10 KB of words; "zephyrine" in 1% of them, "Zephyrine" in
// another 1%; "walnut" is one word of the vocabulary (common).
void generateCorpus(const QString& root)
{
    static const char* const vocabulary[] = {"the", "of", "and", "walnut", "river", "stone", "light", "paper",
                                             "window", "garden", "number", "system", "value", "letter", "market",
                                             "signal", "winter", "engine", "silver", "orange", "planet", "doctor"};
    const int files = 20000;
    std::atomic<int> next{0};
    auto work = [&] {
        std::mt19937 random(unsigned(next.load()) + 17);
        std::string text;
        for (int i = next++; i < files; i = next++) {
            random.seed(unsigned(i) * 2654435761u);
            text.clear();
            while (text.size() < 10000) {
                for (int w = 0; w < 12; ++w) {
                    text += vocabulary[random() % (sizeof(vocabulary) / sizeof(vocabulary[0]))];
                    text += ' ';
                }
                text += std::to_string(random() % 100000);
                text += '\n';
            }
            if (i % 100 == 7)
                text += "the zephyrine line\n";
            if (i % 100 == 51)
                text += "the Zephyrine line\n";
            const QByteArray path = QFile::encodeName(root + QStringLiteral("/d%1/f%2.txt").arg(i % 100).arg(i));
            QDir().mkpath(root + QStringLiteral("/d%1").arg(i % 100));
            const int fd = ::open(path.constData(), O_CREAT | O_WRONLY | O_TRUNC | O_CLOEXEC, 0644);
            if (fd >= 0) {
                if (::write(fd, text.data(), text.size()) < 0)
                    std::perror("write");
                ::close(fd);
            }
        }
    };
    std::vector<std::thread> threads;
    for (int i = 0; i < 8; ++i)
        threads.emplace_back(work);
    for (auto& t : threads)
        t.join();
}

struct ContentQueryCase
{
    const char* kind;
    QString pattern;
    int syntax;
    bool caseSensitive;
    std::vector<std::string> rgArgs;   // after "rg" (then the folder)
    std::vector<std::string> ugrepArgs;
    std::vector<std::string> grepArgs;
};

double ourContents(FileSearcher& searcher, const QString& root, const ContentQueryCase& q, std::string* text)
{
    FileSearchRequest request;
    request.includePaths = QStringList{root};
    request.contents = q.pattern;
    request.contentsSyntax = q.syntax;
    request.contentsCase = q.caseSensitive;
    ResultStore results;
    QEventLoop loop;
    const FileSearchRequest::Id id = request.id;
    QObject::connect(&searcher, &FileSearcher::findFinished, &loop, [&loop, id](FileSearchRequest::Id done) {
        if (done == id)
            loop.quit();
    });
    QElapsedTimer t;
    t.start();
    searcher.find(&request, &results);
    loop.exec();
    const double elapsed = msSince(t);
    text->clear();
    const ResultStore::Sizes found = results.sizes();
    for (int r = 0; r < found.dirs + found.files; ++r) {
        *text += ResultStore::entryPath(r < found.dirs
                                            ? results.entryAt(ResultStore::Dirs, r)
                                            : results.entryAt(ResultStore::Files, r - found.dirs))
                     .toStdString();
        *text += '\n';
    }
    return elapsed;
}

void runContentsOn(FileSearcher& searcher, const char* label, const QString& root, const std::vector<ContentQueryCase>& cases)
{
    const std::string dir = QFile::encodeName(root).toStdString();
    std::printf("\ncontents, %s\n", label);
    std::printf("  %-12s %7s %10s %10s %10s %10s %8s %8s %8s  %s\n", "query", "files", "ours", "rg -l", "ugrep", "grep",
                "/rg", "/ugrep", "/grep", "hit sets vs rg");
    for (const ContentQueryCase& q : cases) {
        std::vector<double> ours, rg, ug, gr;
        std::string ourText, rgText, other;
        for (int round = 0; round < 3; ++round) {
            ours.push_back(ourContents(searcher, root, q, &ourText));
            std::vector<std::string> a = {"rg", "-l", "--no-ignore", "--hidden", "--no-messages"};
            a.insert(a.end(), q.rgArgs.begin(), q.rgArgs.end());
            a.push_back(dir);
            rg.push_back(runProcess(a, &rgText));
            std::vector<std::string> u = {"ugrep", "-rl", "--no-messages"};
            u.insert(u.end(), q.ugrepArgs.begin(), q.ugrepArgs.end());
            u.push_back(dir);
            ug.push_back(runProcess(u, &other));
            std::vector<std::string> g = {"grep", "-rl", "-s"};
            g.insert(g.end(), q.grepArgs.begin(), q.grepArgs.end());
            g.push_back(dir);
            gr.push_back(runProcess(g, &other));
        }
        const std::vector<std::string> a = lines(ourText);
        const std::vector<std::string> b = lines(rgText);
        std::string sample;
        const int diff = differences(a, b, &sample);
        const double o = median(ours);
        std::printf("  %-12s %7zu %10.1f %10.1f %10.1f %10.1f %7.2fx %7.2fx %7.2fx  %s%s\n", q.kind, a.size(), o, median(rg),
                    median(ug), median(gr), o / median(rg), o / median(ug), o / median(gr), diff ? "DIFFER " : "equal",
                    diff ? (std::to_string(diff) + sample).c_str() : "");
        std::fflush(stdout);
    }
}

void runContents(const QString& base)
{
    const QString mp = base + QStringLiteral("/contents");
    if (!mountTmpfs(mp, "size=8g")) {
        std::printf("contents: cannot mount a tmpfs (run as root)\n");
        return;
    }
    const QString synthetic = mp + QStringLiteral("/synthetic");
    const QString real = mp + QStringLiteral("/real");
    generateCorpus(synthetic);
    QDir().mkpath(real);
    std::string out;
    runProcess({"sh", "-c", "cp -a /usr/share/doc /usr/include /usr/lib/python3* '" + QFile::encodeName(real).toStdString() + "/'"},
               &out);
    FileSearcher searcher(base + QStringLiteral("/work"), 0);
    searcher.init(IndexingSettings(), contentOptions());
    const std::vector<ContentQueryCase> syntheticCases = {
        {"literal", QStringLiteral("zephyrine"), FileSearchRequest::Substring, true, {"-F", "zephyrine"}, {"-F", "zephyrine"}, {"-F", "zephyrine"}},
        {"ignore case", QStringLiteral("zephyrine"), FileSearchRequest::Substring, false, {"-i", "-F", "zephyrine"},
         {"-i", "-F", "zephyrine"}, {"-i", "-F", "zephyrine"}},
        {"regex", QStringLiteral("zephyr[a-z]+\\ line"), FileSearchRequest::Regex, true, {"zephyr[a-z]+ line"},
         {"zephyr[a-z]+ line"}, {"-E", "zephyr[a-z]+ line"}},
        {"common word", QStringLiteral("walnut"), FileSearchRequest::Substring, true, {"-F", "walnut"}, {"-F", "walnut"}, {"-F", "walnut"}},
    };
    runContentsOn(searcher, "synthetic corpus (20000 files, ~200 MB)", synthetic, syntheticCases);
    const std::vector<ContentQueryCase> realCases = {
        {"literal", QStringLiteral("PyObject_GetAttr"), FileSearchRequest::Substring, true, {"-F", "PyObject_GetAttr"},
         {"-F", "PyObject_GetAttr"}, {"-F", "PyObject_GetAttr"}},
        // The blank is escaped: in the list grammar a blank separates words that must all occur.
        {"ignore case", QStringLiteral("copyright\\ holder"), FileSearchRequest::Substring, false, {"-i", "-F", "copyright holder"},
         {"-i", "-F", "copyright holder"}, {"-i", "-F", "copyright holder"}},
        {"regex", QStringLiteral("def\\ [a-z_]+\\(self,\\ [a-z]+\\)"), FileSearchRequest::Regex, true, {"def [a-z_]+\\(self, [a-z]+\\)"},
         {"def [a-z_]+\\(self, [a-z]+\\)"}, {"-E", "def [a-z_]+\\(self, [a-z]+\\)"}},
        {"common word", QStringLiteral("return"), FileSearchRequest::Substring, true, {"-F", "return"}, {"-F", "return"}, {"-F", "return"}},
    };
    runContentsOn(searcher, "real tree (/usr/share/doc, /usr/include, /usr/lib/python3*)", real, realCases);
    ::umount2(QFile::encodeName(mp).constData(), MNT_DETACH);
}

// ---------------------------------------------------------------------------------- preview

void runPreview(const QString& base)
{
    const QString path = base + QStringLiteral("/big.log");
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return;
        std::mt19937 random(5);
        QByteArray chunk;
        int line = 0;
        while (f.size() < 100 * 1000 * 1000) {
            chunk.clear();
            for (int i = 0; i < 10000; ++i, ++line) {
                chunk += "2024-06-11 10:" + QByteArray::number(line % 60) + " INFO worker " + QByteArray::number(int(random() % 64))
                    + (line % 1000 == 3 ? " request failed: timeout" : " request served in 12 ms") + '\n';
            }
            f.write(chunk);
        }
    }
    FileSearchRequest request;
    request.contents = QStringLiteral("failed");
    request.contentsCase = true;
    ContentSearcher searcher(nullptr, base);
    searcher.setSettings(contentOptions());
    std::vector<double> ours, rg;
    int shown = 0;
    std::string out;
    size_t rgLines = 0;
    for (int round = 0; round < 5; ++round) {
        TempFileHolder holder;
        QElapsedTimer t;
        t.start();
        searcher.findAll(&request, path, &holder);
        ours.push_back(msSince(t));
        shown = holder.matches.size();
        rg.push_back(runProcess({"rg", "-n", "-F", "failed", QFile::encodeName(path).toStdString()}, &out));
        rgLines = lines(out).size();
    }
    std::printf("\npreview, 100 MB log: findAll %.1f ms (%d lines), rg -n %.1f ms (%zu lines), ratio %.2fx\n", median(ours), shown,
                median(rg), rgLines, median(ours) / median(rg));
    QFile::remove(path);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString what = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("all");
    std::vector<int> sizes;
    for (int i = 2; i < argc; ++i)
        sizes.push_back(std::max(10000, std::atoi(argv[i])));
    if (sizes.empty())
        sizes = {1000000, 4000000};

    QTemporaryDir tmp(QDir::tempPath() + QStringLiteral("/bench_compare-XXXXXX"));
    Logger::instance(tmp.filePath(QStringLiteral("bench.log")));
    if (::geteuid() != 0 || ::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        std::printf("bench_compare needs root (tmpfs trees in a private mount namespace)\n");
        return 1;
    }
    double load = 0;
    if (FILE* f = std::fopen("/proc/loadavg", "r")) {
        if (std::fscanf(f, "%lf", &load) != 1)
            load = 0;
        std::fclose(f);
    }
    std::printf("bench_compare: %u threads, load average %.1f; ratios are ours / theirs (below 1.0: ours is faster)\n",
                std::thread::hardware_concurrency(), load);
    if (what == QLatin1String("names") || what == QLatin1String("all")) {
        for (int entries : sizes)
            runNames(entries, tmp.path());
    }
    if (what == QLatin1String("contents") || what == QLatin1String("all"))
        runContents(tmp.path());
    if (what == QLatin1String("preview") || what == QLatin1String("all"))
        runPreview(tmp.path());
    return 0;
}
