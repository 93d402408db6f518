// Figures of the name index over a generated tree of 1,000,000 entries (50,000 folders):
// the bare parallel walk of the volume and the index build (and their ratio), resident memory
// per entry (string pool and map shares) and the peak during a build, a case-insensitive
// substring search with about 1% hits, index file size, save and load time (and the ratio of
// load to build), bursts of a million creations, renames and deletions made by four threads
// (events per second applied, rebuilds, whether the index then lists what find lists), applying
// 100,000 scripted journal events, and the map memory after a million files were created and
// deleted again.
//
// As root the tree goes to a tmpfs mounted in a private mount namespace and the index follows
// the real fanotify journal (the tmpfs passes for a lasting volume, so that its index is saved
// and loaded); otherwise the tree goes to a temporary folder under /tmp and a
// scripted journal stands in (fanotify needs root). The 100,000 events always come from a
// scripted journal reader, so the figure is the index's own cost of applying them.
//
// Usage: bench_index [entries] [linked percent] (default 1000000 and 0; folders are 5% of the
// entries). With a linked percentage, that share of the files gets a second name (a hard link
// in the folder above, named like the file with "-link"), which the index keeps as a further
// name of the same object.
#include "bench/KeptTmpfsLayer.h"
#include "core/HandleHolder.h"
#include "core/IndexingSettings.h"
#include "core/Logger.h"
#include "core/StringPool.h"
#include "platform/FanotifyJournal.h"
#include "platform/VolumeLayer.h"
#include "search/index/IndexFile.h"
#include "search/index/NTFSDriveDB.h"
#include "search/model/FileSearchRequest.h"
#include "search/model/ResultStore.h"
#include "tests/doubles/ScriptedJournalBackend.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <functional>
#include <fcntl.h>
#include <malloc.h>
#include <memory>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// 100 words; "Invoice" is one of them, so a substring search for "invoice" hits about 1% of
// the files (no other word contains it).
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
    "red", "green", "blue", "yellow", "purple", "silver", "golden", "copper", "marble", "granite"};
const char* const Extensions[] = {".txt", ".pdf", ".jpg", ".cpp", ".h", ".docx", ".mp3", ".png", ".xml", ".log"};

qint64 residentBytes()
{
    malloc_trim(0);
    long pages = 0;
    long resident = 0;
    FILE* f = std::fopen("/proc/self/statm", "r");
    if (f) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return qint64(resident) * sysconf(_SC_PAGESIZE);
}

// The peak resident size since the last resetPeak() (VmHWM).
qint64 peakResidentBytes()
{
    qint64 kb = 0;
    if (FILE* f = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof(line), f)) {
            if (std::sscanf(line, "VmHWM: %lld kB", reinterpret_cast<long long*>(&kb)) == 1)
                break;
        }
        std::fclose(f);
    }
    return kb * 1024;
}

void resetPeak()
{
    malloc_trim(0);
    if (FILE* f = std::fopen("/proc/self/clear_refs", "w")) {
        std::fputs("5", f);
        std::fclose(f);
    }
}

// A walk that only counts what it is given: the bare parallel walk the index build stands on.
class CountingConsumer : public VolumeEntryConsumer
{
public:
    std::atomic<long> entries{0};
    void start(int) override {}
    void consume(int, const VolumeEntryBatch& batch) override { entries += long(batch.size()); }
};

// Every path under `root` as find(1) lists it (the root itself included), sorted.
std::vector<QByteArray> findPaths(const QByteArray& root)
{
    std::vector<QByteArray> out;
    const QByteArray command = "find '" + root + "' 2>/dev/null";
    if (FILE* f = ::popen(command.constData(), "r")) {
        char line[8192];
        while (std::fgets(line, sizeof(line), f)) {
            std::size_t n = std::strlen(line);
            if (n && line[n - 1] == '\n')
                --n;
            out.emplace_back(line, int(n));
        }
        ::pclose(f);
    }
    std::sort(out.begin(), out.end());
    return out;
}

// Every path the index lists, with the root, sorted.
std::vector<QByteArray> indexPaths(NTFSDriveDB& db, const QByteArray& root)
{
    FileSearchRequest request;
    ResultStore results;
    db.search(&request, &results);
    std::vector<QByteArray> out;
    const ResultStore::Sizes found = results.sizes();
    out.reserve(std::size_t(found.dirs + found.files) + 1);
    out.push_back(root);
    for (int i = 0; i < found.dirs; ++i)
        out.push_back(
            QFile::encodeName(ResultStore::entryPath(results.entryAt(ResultStore::Dirs, i))));
    for (int i = 0; i < found.files; ++i)
        out.push_back(
            QFile::encodeName(ResultStore::entryPath(results.entryAt(ResultStore::Files, i))));
    std::sort(out.begin(), out.end());
    return out;
}

// Creates `folders` folders in two levels and spreads `files` files over the lower level,
// with several threads.
void generateTree(const QByteArray& root, int folders, int files, int linkedPercent)
{
    const int top = 100;
    const int perTop = (folders - top) / top;
    const int lower = top * perTop;
    const int perFolder = files / lower;
    const int extra = files - perFolder * lower;
    std::atomic<int> nextTop{0};
    auto work = [&] {
        char path[2048];
        for (int t = nextTop++; t < top; t = nextTop++) {
            std::snprintf(path, sizeof(path), "%s/%s_%d", root.constData(), Words[t % 100], t);
            ::mkdir(path, 0755);
            for (int s = 0; s < perTop; ++s) {
                const int folderIndex = t * perTop + s;
                std::snprintf(path, sizeof(path), "%s/%s_%d/%s_%d", root.constData(), Words[t % 100], t,
                              Words[(s * 7) % 100], folderIndex);
                ::mkdir(path, 0755);
                const int count = perFolder + (folderIndex < extra ? 1 : 0);
                for (int f = 0; f < count; ++f) {
                    const int n = folderIndex * (perFolder + 1) + f;
                    char file[4096];
                    std::snprintf(file, sizeof(file), "%s/%s_%d%s", path, Words[(n * 37) % 100], n, Extensions[(n / 100) % 10]);
                    { HandleHolder created(::open(file, O_CREAT | O_WRONLY | O_CLOEXEC, 0644)); } // an empty file is enough
                    if (n % 100 < linkedPercent) {
                        char second[4096];
                        std::snprintf(second, sizeof(second), "%s/%s_%d/%s_%d-link%s", root.constData(), Words[t % 100], t,
                                      Words[(n * 37) % 100], n, Extensions[(n / 100) % 10]);
                        if (::link(file, second) != 0)
                            std::perror("link");
                    }
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

// Why the index was rebuilt: the messages of the log records past `*offset` (bytes of the
// UTF-16LE log) that say a journal failed and the index is rebuilt; `*offset` moves past them.
QStringList rebuildCauses(const QString& logPath, qint64* offset)
{
    QStringList causes;
    QFile log(logPath);
    if (!log.open(QIODevice::ReadOnly) || !log.seek(*offset))
        return causes;
    const QByteArray bytes = log.readAll();
    *offset += bytes.size() & ~qint64(1);
    const QString text =
        QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()), bytes.size() / 2);
    for (const QString& line : text.split(QStringLiteral("\r\n"))) {
        if (line.contains(QStringLiteral("rebuilding the index")))
            causes << line.section(QLatin1Char('\t'), 3);
    }
    return causes;
}

double ms(const QElapsedTimer& t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int entries = argc > 1 ? std::max(1000, std::atoi(argv[1])) : 1000000;
    const int linkedPercent = argc > 2 ? qBound(0, std::atoi(argv[2]), 100) : 0;
    const int folders = entries / 20;
    const int files = entries - folders;
    const bool root = ::geteuid() == 0;

    QTemporaryDir holder(QStringLiteral("/tmp/bench_index-XXXXXX"));
    Logger::instance(holder.filePath(QStringLiteral("bench.log")));
    QString mp = holder.path() + QStringLiteral("/vol");
    ::mkdir(QFile::encodeName(mp).constData(), 0755);
    bool tmpfs = false;
    if (root && ::unshare(CLONE_NEWNS) == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0
        && ::mount("tmpfs", QFile::encodeName(mp).constData(), "tmpfs", 0, "size=8g,nr_inodes=8m") == 0) {
        tmpfs = true;
    }
    // Without a tmpfs the tree's own folder stands for the volume (enumerated from there, its
    // index file named by a fixed serial).
    if (!tmpfs) {
        mp = holder.path() + QStringLiteral("/tree");
        ::mkdir(QFile::encodeName(mp).constData(), 0755);
    }
    const QString treeRoot = mp;
    // The tmpfs passes for a lasting volume, so that its index is saved and loaded.
    KeptTmpfsLayer keptLayer(mp);
    if (tmpfs)
        VolumeLayer::setInstance(&keptLayer);
    const quint32 serial = tmpfs ? 0 : 0x1234abcdu;

    double load = 0;
    if (FILE* f = std::fopen("/proc/loadavg", "r")) {
        if (std::fscanf(f, "%lf", &load) != 1)
            load = 0;
        std::fclose(f);
    }
    std::printf("bench_index: %d entries (%d folders) on %s, %s journal, %u threads (load average %.1f)\n", entries, folders,
                tmpfs ? "tmpfs (private mount namespace)" : "a folder under /tmp",
                tmpfs ? "fanotify" : "scripted", std::thread::hardware_concurrency(), load);
    QElapsedTimer timer;
    timer.start();
    generateTree(QFile::encodeName(treeRoot), folders, files, linkedPercent);
    std::printf("  tree generated in %.0f ms%s\n", ms(timer),
                linkedPercent ? qPrintable(QStringLiteral(", %1% of the files with a second name").arg(linkedPercent)) : "");

    // A scripted journal where fanotify is not available; the bench's own events later.
    ScriptedJournalBackend scripted;
    scripted.setState(mp, JournalState{0x42, 0, 1000});
    if (!tmpfs)
        JournalBackend::setInstance(&scripted);
    std::shared_ptr<FanotifyJournal> keepJournal;
    if (tmpfs)
        keepJournal = FanotifyJournal::acquire(mp); // one journal for the whole run

    QTemporaryDir dataDir;
    IndexingSettings settings;
    settings.dbPath = dataDir.path();
    settings.excludePaths = QStringList({QStringLiteral("$Recycle.Bin"), QStringLiteral(".svn")}); // the defaults

    // The bare parallel walk (the same walker, entries only counted): best of three, warm.
    double walkMs = 0;
    long walked = 0;
    for (int pass = 0; pass < 3; ++pass) {
        CountingConsumer counter;
        timer.restart();
        VolumeLayer::instance().enumerateParallel(mp, QFile::encodeName(mp), nullptr, counter);
        const double t = ms(timer);
        walkMs = pass == 0 ? t : std::min(walkMs, t);
        walked = counter.entries;
    }

    // Build: the first pass warms the caches, the second is the figure.
    double buildMs[2] = {0, 0};
    qint64 rssBefore = 0;
    qint64 rssAfter = 0;
    qint64 peak = 0;
    std::unique_ptr<NTFSDriveDB> db;
    for (int pass = 0; pass < 2; ++pass) {
        db.reset();
        rssBefore = residentBytes();
        resetPeak();
        db.reset(new NTFSDriveDB(mp, settings, serial));
        timer.restart();
        db->createDB(nullptr);
        buildMs[pass] = ms(timer);
        peak = peakResidentBytes();
        rssAfter = residentBytes();
    }
    const int count = db->count();
    std::printf("  bare parallel walk: %.0f ms (%ld entries, best of 3)\n", walkMs, walked);
    std::printf("  build (enumerate + index): %.0f ms first, %.0f ms warm, %d objects; %.2fx the bare walk (goal <= 1.5x)\n",
                buildMs[0], buildMs[1], count, buildMs[1] / walkMs);
    if (linkedPercent)
        std::printf("  further names (second names of files): %d\n", db->extraNameCount());
    const double perEntry = double(rssAfter - rssBefore) / count;
    std::printf("  resident memory: %.1f bytes per entry: names %.1f, maps %.1f, other %.1f (goal <= 60)\n",
                perEntry, double(db->nameBytes()) / count, double(db->mapBytes()) / count,
                perEntry - double(db->nameBytes() + db->mapBytes()) / count);
    std::printf("  peak during the build: %.1f bytes per entry above the start, %.2fx steady (goal <= 1.5x)\n",
                double(peak - rssBefore) / count, double(peak - rssBefore) / double(rssAfter - rssBefore));

    // Search: case-insensitive substring over every name.
    std::vector<double> searchMs;
    int hits = 0;
    for (int i = 0; i < 15; ++i) {
        FileSearchRequest request;
        request.fileName = QStringLiteral("invoice");
        ResultStore results;
        timer.restart();
        db->search(&request, &results);
        searchMs.push_back(ms(timer));
        hits = results.itemCount();
    }
    std::sort(searchMs.begin(), searchMs.end());
    std::printf("  search \"invoice\" (substring, case-insensitive): %d hits (%.2f%%), %.1f ms median, %.1f ms best (goal < 30 ms)\n",
                hits, 100.0 * hits / count, searchMs[searchMs.size() / 2], searchMs.front());
    {
        FileSearchRequest request;
        request.fileName = QStringLiteral("zzzz-nothing");
        ResultStore results;
        timer.restart();
        db->search(&request, &results);
        std::printf("  search without hits (name scan alone): %.1f ms\n", ms(timer));
    }

    // Index file: save (stops the monitor), then a new index loads it.
    timer.restart();
    db->save();
    const double saveMs = ms(timer);
    const QString file = NTFSDriveDB::dbFilePath(settings.dbPath, db->serial());
    const qint64 fileSize = QFileInfo(file).size();
    db.reset();
    if (!tmpfs)
        scripted.setState(mp, JournalState{0x42, 0, 1000});
    db.reset(new NTFSDriveDB(mp, settings, serial));
    timer.restart();
    const bool loaded = db->load(nullptr);
    const double loadMs = ms(timer);
    std::printf("  index file: %.1f MB (%.1f bytes per entry), saved in %.0f ms, %s in %.0f ms; load %.2fx the build (goal <= 0.2x)\n",
                fileSize / 1e6, double(fileSize) / count, saveMs, loaded ? "loaded" : "NOT loaded", loadMs,
                loadMs / buildMs[1]);

    // The real journal: 100,000 files created by 4 threads, followed by the loaded index.
    if (tmpfs && loaded) {
        std::atomic<int> rebuilds{0};
        QObject::connect(db.get(), &NTFSDriveDB::rebuilt, [&](bool) { ++rebuilds; });
        const QString logPath = holder.filePath(QStringLiteral("bench.log"));
        qint64 logOffset = QFileInfo(logPath).size();
        auto printCauses = [&] {
            for (const QString& cause : rebuildCauses(logPath, &logOffset))
                std::printf("    rebuilt because: %s\n", qPrintable(cause));
        };
        const int before = db->count();
        const QByteArray flood = QFile::encodeName(treeRoot) + "/flood";
        timer.restart();
        ::mkdir(flood.constData(), 0755);
        std::vector<std::thread> creators;
        for (int t = 0; t < 4; ++t) {
            creators.emplace_back([&, t] {
                char newFile[2048];
                for (int i = t; i < 100000; i += 4) {
                    std::snprintf(newFile, sizeof(newFile), "%s/new_%d.dat", flood.constData(), i);
                    // an empty file is enough
                    HandleHolder created(::open(newFile, O_CREAT | O_WRONLY | O_CLOEXEC, 0644));
                }
            });
        }
        for (auto& t : creators)
            t.join();
        const double createMs = ms(timer);
        while (db->count() < before + 100001 && timer.elapsed() < 60000)
            QThread::msleep(1);
        std::printf("  fanotify: 100000 files created in %.0f ms, all indexed %.0f ms after the "
                    "first was created%s\n",
                    createMs, ms(timer), rebuilds ? " (index rebuilt)" : "");
        printCauses();

        // Bursts of a million events by four threads (each in a folder of its own): creations,
        // renames, deletions; each waited for until the index lists what find lists.
        const QByteArray burst = QFile::encodeName(treeRoot) + "/burst";
        ::mkdir(burst.constData(), 0755);
        for (int t = 0; t < 4; ++t)
            ::mkdir((burst + "/t" + QByteArray::number(t)).constData(), 0755);
        const int million = 1000000;
        // Until the index holds still (no change for 300 ms): what came before is applied.
        auto settle = [&] {
            int last = db->count();
            QElapsedTimer still;
            still.start();
            while (still.elapsed() < 300) {
                QThread::msleep(10);
                if (db->count() != last) {
                    last = db->count();
                    still.restart();
                }
            }
            return last;
        };
        auto run = [&](const char* what, int expectedChange, const std::function<void(int, char*, char*)>& step) {
            const int rebuildsBefore = rebuilds;
            const int start = settle();
            timer.restart();
            std::vector<std::thread> threads;
            for (int t = 0; t < 4; ++t) {
                threads.emplace_back([&, t] {
                    char a[512], b[512];
                    for (int i = t; i < million; i += 4)
                        step(i, a, b);
                });
            }
            for (auto& t : threads)
                t.join();
            const double madeMs = ms(timer);
            while (db->count() != start + expectedChange && timer.elapsed() < 300000)
                QThread::msleep(1);
            const double appliedMs = ms(timer);
            QThread::msleep(200); // anything late
            const bool equal = indexPaths(*db, QFile::encodeName(treeRoot)) == findPaths(QFile::encodeName(treeRoot));
            std::printf("  burst: %d %s by 4 threads in %.0f ms, applied after %.0f ms (%.0f events/s), %d rebuilds, "
                        "index %s find; log holds %.1f MB\n",
                        million, what, madeMs, appliedMs, million / (appliedMs / 1000.0), rebuilds - rebuildsBefore,
                        equal ? "equal to" : "NOT equal to", keepJournal->logBytes() / 1e6);
            printCauses();
        };
        auto name = [&](char* out, const char* prefix, int i) {
            std::snprintf(out, 512, "%s/t%d/%s_%d.dat", burst.constData(), i % 4, prefix, i);
        };
        run("creations", million, [&](int i, char* a, char*) {
            name(a, "made", i);
            HandleHolder created(::open(a, O_CREAT | O_WRONLY | O_CLOEXEC, 0644));
        });
        run("renames", 0, [&](int i, char* a, char* b) {
            name(a, "made", i);
            name(b, "renamed", i);
            ::rename(a, b);
        });
        run("deletions", -million, [&](int i, char* a, char*) {
            name(a, "renamed", i);
            ::unlink(a);
        });
    }
    db.reset();

    // 100,000 journal events from a scripted reader: 50,000 creations, 25,000 renames (half of
    // them moves to another folder), 25,000 deletions, in batches of 1,000.
    JournalBackend::setInstance(&scripted);
    scripted.setState(mp, JournalState{0x43, 0, 1000});
    db.reset(new NTFSDriveDB(mp, settings, serial));
    db->createDB(nullptr);
    ScriptedJournalReader* reader = nullptr;
    for (int i = 0; i < 1000 && !(reader && reader->readCalls() > 0); ++i) {
        reader = scripted.reader(mp);
        QThread::msleep(2);
    }
    bool dirOk = false;
    const FRN folderA = getFileReferenceNumber(treeRoot + QStringLiteral("/alpha_0"), &dirOk);
    const FRN folderB = getFileReferenceNumber(treeRoot + QStringLiteral("/bravo_1"), &dirOk);
    std::vector<QVector<ScriptedJournalEvent>> batches;
    const FRN base = FRN(1) << 40;
    for (int b = 0; b < 100; ++b) {
        QVector<ScriptedJournalEvent> events;
        for (int i = 0; i < 1000; ++i) {
            const int n = b * 1000 + i;
            const FRN frn = base + FRN(n % 50000);
            if (n < 50000)
                events.append(ScriptedJournalEvent::added(frn, folderA, QStringLiteral("created_%1.txt").arg(n)));
            else if (n < 75000)
                events.append(ScriptedJournalEvent::renamed(frn, (n & 1) ? folderB : folderA, QStringLiteral("renamed_%1.txt").arg(n)));
            else
                events.append(ScriptedJournalEvent::deleted(base + FRN(n - 75000)));
        }
        batches.push_back(events);
    }
    const int countBefore = db->count();
    timer.restart();
    USN usn = 1000;
    for (const auto& events : batches)
        reader->addBatch(events, usn += 1000);
    const bool delivered = reader->waitDelivered(usn, 60000);
    const double eventsMs = ms(timer);
    std::printf("  100000 journal events applied in %.0f ms%s (goal < 1000 ms); objects %d -> %d\n", eventsMs,
                delivered ? "" : " (NOT all delivered)", countBefore, db->count());

    // Churn: 20 rounds of 50,000 files created under new, ever larger numbers (as tmpfs and
    // btrfs give them) and deleted again. The maps reuse the nodes of emptied ranges.
    const std::size_t mapsBefore = db->mapBytes();
    FRN churn = FRN(1) << 41;
    for (int round = 0; round < 20; ++round) {
        QVector<ScriptedJournalEvent> created;
        QVector<ScriptedJournalEvent> removed;
        for (int i = 0; i < 50000; ++i) {
            created.append(ScriptedJournalEvent::added(churn + FRN(i), folderA, QStringLiteral("churn_%1.tmp").arg(i)));
            removed.append(ScriptedJournalEvent::deleted(churn + FRN(i)));
        }
        churn += 50000;
        reader->addBatch(created, usn += 1000);
        reader->addBatch(removed, usn += 1000);
    }
    const bool churned = reader->waitDelivered(usn, 120000);
    std::printf("  churn: 1000000 files created and deleted in 20 rounds%s: map nodes %.1f MB -> %.1f MB, objects %d\n",
                churned ? "" : " (NOT all delivered)", double(mapsBefore) / 1e6, double(db->mapBytes()) / 1e6, db->count());
    db.reset();
    JournalBackend::setInstance(nullptr);

    if (tmpfs) {
        VolumeLayer::setInstance(nullptr);
        ::umount2(QFile::encodeName(mp).constData(), MNT_DETACH);
    }
    return 0;
}
