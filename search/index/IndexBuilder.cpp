#include "search/index/IndexBuilder.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <exception>
#include <mutex>
#include <system_error>
#include <new>
#include <thread>

#include <sys/mman.h>
#include <unistd.h>

namespace {

constexpr std::size_t FirstCapacity = 1 << 16; // records
// Below this many records a map is merged in one range on the calling thread.
constexpr std::size_t ParallelMergeThreshold = 1 << 16;
// Each merging thread takes about this many ranges.
constexpr std::size_t RangesPerThread = 4;
// Keys sampled per slot array to choose the ranges.
constexpr std::size_t SamplesPerSource = 256;

std::size_t pageSize()
{
    static const std::size_t size = std::size_t(::sysconf(_SC_PAGESIZE));
    return size;
}

const WalkRecord* lowerBound(const WalkRecord* first, const WalkRecord* last, quint64 key)
{
    return std::lower_bound(first, last, key, [](const WalkRecord& r, quint64 k) { return r.frn < k; });
}

struct Source
{
    WalkRecordArray* array;
    quint32 base; // added to the slot's name references
};

struct Duplicate
{
    quint64 frn;
    quint64 parent;
    quint32 name;
};

int threadCount(int wanted)
{
    if (wanted > 0)
        return wanted;
    const int cores = int(std::thread::hardware_concurrency());
    return std::max(1, std::min(8, cores));
}

// Fills `map` with the merged records of `sources` (each sorted by number); records after the
// first of their number go to `duplicates`.
void mergeMap(IndexMap& map, const std::vector<Source>& sources, int threads, std::vector<Duplicate>& duplicates)
{
    std::size_t total = 0;
    for (const Source& s : sources)
        total += s.array->size();
    if (total == 0) {
        map.assignLeaves({});
        return;
    }

    // Ranges of numbers, chosen from a sample of every array's keys.
    std::size_t rangeCount = 1;
    if (total >= ParallelMergeThreshold && threads > 1)
        rangeCount = std::size_t(threads) * RangesPerThread;
    std::vector<quint64> splitters;
    if (rangeCount > 1) {
        std::vector<quint64> sample;
        for (const Source& s : sources) {
            const std::size_t n = s.array->size();
            const std::size_t step = std::max<std::size_t>(1, n / SamplesPerSource);
            for (std::size_t i = step / 2; i < n; i += step)
                sample.push_back((*s.array)[i].frn);
        }
        std::sort(sample.begin(), sample.end());
        for (std::size_t r = 1; r < rangeCount; ++r)
            splitters.push_back(sample[r * sample.size() / rangeCount]);
    }
    rangeCount = splitters.size() + 1;

    // bounds[r][s]: where range r starts in source s; bounds[rangeCount][s] is its end.
    std::vector<std::vector<std::size_t>> bounds(rangeCount + 1, std::vector<std::size_t>(sources.size()));
    for (std::size_t s = 0; s < sources.size(); ++s) {
        WalkRecordArray& a = *sources[s].array;
        bounds[0][s] = 0;
        for (std::size_t r = 1; r < rangeCount; ++r)
            bounds[r][s] = std::size_t(lowerBound(a.begin(), a.end(), splitters[r - 1]) - a.begin());
        bounds[rangeCount][s] = a.size();
    }
    std::vector<std::size_t> firstLeaf(rangeCount + 1, 0);
    for (std::size_t r = 0; r < rangeCount; ++r) {
        std::size_t count = 0;
        for (std::size_t s = 0; s < sources.size(); ++s)
            count += bounds[r + 1][s] - bounds[r][s];
        firstLeaf[r + 1] = firstLeaf[r] + (count + IndexMap::LeafCapacity - 1) / IndexMap::LeafCapacity;
    }
    const std::vector<IndexMap::Leaf*> leaves = map.newLeaves(firstLeaf[rangeCount]);

    std::vector<std::vector<Duplicate>> rangeDuplicates(rangeCount);
    std::vector<char> done(rangeCount, 0);
    std::size_t frontier = 0; // ranges before it are merged
    std::mutex frontierMutex;

    auto mergeRange = [&](std::size_t r) {
        std::vector<std::size_t> pos(bounds[r]);
        const std::vector<std::size_t>& end = bounds[r + 1];
        std::size_t leafIndex = firstLeaf[r];
        IndexMap::Leaf* leaf = leafIndex < firstLeaf[r + 1] ? leaves[leafIndex] : nullptr;
        quint32 filled = 0;
        bool any = false;
        quint64 last = 0;
        for (;;) {
            std::size_t best = sources.size();
            quint64 bestKey = 0;
            for (std::size_t s = 0; s < sources.size(); ++s) {
                if (pos[s] == end[s])
                    continue;
                const quint64 k = (*sources[s].array)[pos[s]].frn;
                if (best == sources.size() || k < bestKey) {
                    best = s;
                    bestKey = k;
                }
            }
            if (best == sources.size())
                break;
            const WalkRecord& rec = (*sources[best].array)[pos[best]++];
            const quint32 name = rec.name + sources[best].base;
            if (any && rec.frn == last) {
                // The later listing becomes the record; the earlier one is a duplicate.
                IndexEntry& kept = leaf->values[filled - 1];
                rangeDuplicates[r].push_back(Duplicate{rec.frn, kept.parent, kept.name});
                kept.parent = rec.parent;
                kept.name = name;
                continue;
            }
            if (filled == quint32(IndexMap::LeafCapacity)) {
                leaf->count = filled;
                leaf = leaves[++leafIndex];
                filled = 0;
            }
            leaf->keys[filled] = rec.frn;
            leaf->values[filled].parent = rec.parent;
            leaf->values[filled].name = name;
            ++filled;
            any = true;
            last = rec.frn;
        }
        if (leaf)
            leaf->count = filled;
        for (std::size_t l = leafIndex + 1; l < firstLeaf[r + 1]; ++l)
            leaves[l]->count = 0; // left over by duplicates

        // The records of every range up to the first unmerged one are read: give their pages back.
        std::lock_guard<std::mutex> guard(frontierMutex);
        done[r] = 1;
        const std::size_t before = frontier;
        while (frontier < rangeCount && done[frontier])
            ++frontier;
        if (frontier != before) {
            for (std::size_t s = 0; s < sources.size(); ++s)
                sources[s].array->releasePrefix(bounds[frontier][s]);
        }
    };

    std::atomic<std::size_t> next{0};
    std::exception_ptr error;
    std::mutex errorMutex;
    auto work = [&] {
        try {
            for (std::size_t r = next++; r < rangeCount; r = next++)
                mergeRange(r);
        } catch (...) {
            std::lock_guard<std::mutex> guard(errorMutex);
            if (!error)
                error = std::current_exception();
            next = rangeCount;
        }
    };
    std::vector<std::thread> helpers;
    const int helpersWanted = rangeCount > 1 ? threads - 1 : 0;
    for (int t = 0; t < helpersWanted; ++t) {
        try {
            helpers.emplace_back(work);
        } catch (const std::system_error&) {
            break; // fewer threads: the others take more ranges
        }
    }
    work();
    for (std::thread& t : helpers)
        t.join();
    if (error) {
        map.assignLeaves({}); // the leaves go back to the map's free list
        std::rethrow_exception(error);
    }
    map.assignLeaves(leaves);
    for (auto& d : rangeDuplicates)
        duplicates.insert(duplicates.end(), d.begin(), d.end());
}

} // namespace

WalkRecordArray::~WalkRecordArray()
{
    if (data_)
        ::munmap(data_, capacity_ * sizeof(WalkRecord));
}

void WalkRecordArray::grow()
{
    const std::size_t capacity = capacity_ ? capacity_ * 2 : FirstCapacity;
    const std::size_t bytes = capacity * sizeof(WalkRecord);
    void* p = data_ ? ::mremap(data_, capacity_ * sizeof(WalkRecord), bytes, MREMAP_MAYMOVE)
                    : ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        throw std::bad_alloc();
    data_ = static_cast<WalkRecord*>(p);
    capacity_ = capacity;
}

void WalkRecordArray::releasePrefix(std::size_t count)
{
    if (!data_)
        return;
    std::size_t bytes = std::min(count, size_) * sizeof(WalkRecord);
    bytes -= bytes % pageSize();
    if (bytes <= released_)
        return;
    ::madvise(reinterpret_cast<char*>(data_) + released_, bytes - released_, MADV_DONTNEED);
    released_ = bytes;
}

void WalkRecordArray::clear()
{
    if (data_)
        ::munmap(data_, capacity_ * sizeof(WalkRecord));
    data_ = nullptr;
    size_ = 0;
    capacity_ = 0;
    released_ = 0;
}

IndexBuilder::~IndexBuilder() = default;

void IndexBuilder::start(int threads)
{
    slots_.clear();
    for (int i = 0; i < std::max(1, threads); ++i)
        slots_.emplace_back(new Slot);
}

void IndexBuilder::consume(int slot, const VolumeEntryBatch& batch)
{
    Slot& s = *slots_[std::size_t(slot)];
    for (std::size_t i = 0; i < batch.size(); ++i) {
        const VolumeEntry& e = batch.entries[i];
        if (e.nameLength == 0)
            continue; // no name: nothing a search could find or a path could show
        const NameStore::Ref name = s.names.add(batch.name(i), batch.nameLength(i));
        (e.isDir ? s.dirs : s.files).push(e.inode, e.parent, name);
    }
}

void IndexBuilder::finish(int slot)
{
    Slot& s = *slots_[std::size_t(slot)];
    // By number, and listings of one number in the order they came (a slot's name references
    // grow with it).
    auto byNumber = [](const WalkRecord& a, const WalkRecord& b) {
        return a.frn != b.frn ? a.frn < b.frn : a.name < b.name;
    };
    std::sort(s.dirs.begin(), s.dirs.end(), byNumber);
    std::sort(s.files.begin(), s.files.end(), byNumber);
    s.sorted = true;
}

void IndexBuilder::missed(quint64 folder)
{
    std::lock_guard<std::mutex> guard(missedMutex_);
    missed_.push_back(folder);
}

std::vector<quint64> IndexBuilder::missedFolders() const
{
    std::lock_guard<std::mutex> guard(missedMutex_);
    return missed_;
}

std::size_t IndexBuilder::recordCount() const
{
    std::size_t n = 0;
    for (const auto& s : slots_)
        n += s->dirs.size() + s->files.size();
    return n;
}

std::unique_ptr<IndexTables> IndexBuilder::build(int threads)
{
    threads = threadCount(threads);
    std::unique_ptr<IndexTables> tables(new IndexTables);
    std::vector<Source> dirs, files;
    for (auto& s : slots_) {
        if (!s->sorted)
            finish(int(&s - &slots_[0]));
        const quint32 base = tables->names.adopt(std::move(s->names));
        if (s->dirs.size())
            dirs.push_back(Source{&s->dirs, base});
        if (s->files.size())
            files.push_back(Source{&s->files, base});
    }

    std::vector<Duplicate> duplicates;
    mergeMap(tables->directories, dirs, threads, duplicates);
    for (const Duplicate& d : duplicates)
        tables->names.release(d.name); // a folder keeps one record
    duplicates.clear();
    mergeMap(tables->files, files, threads, duplicates);
    for (auto& s : slots_) {
        s->dirs.clear();
        s->files.clear();
    }

    // Further names of files: every listing after the first that names something else.
    NameStore& names = tables->names;
    for (const Duplicate& d : duplicates) {
        const IndexEntry* first = tables->files.find(d.frn);
        const char* text = names.text(d.name);
        const bool same = first && first->parent == d.parent && std::strcmp(names.text(first->name), text) == 0;
        if (!first || same || tables->extraNames.contains(d.frn, d.parent, text)) {
            names.release(d.name);
            continue;
        }
        tables->extraNames.add(d.frn, *first, d.parent, d.name);
    }

    // A number listed both as a folder and as a file stays a folder only.
    std::vector<quint64> both;
    const IndexMap::Leaf* dl = tables->directories.firstLeaf();
    const IndexMap::Leaf* fl = tables->files.firstLeaf();
    quint32 di = 0, fi = 0;
    while (dl && fl) {
        if (di == dl->count) {
            dl = dl->next;
            di = 0;
            continue;
        }
        if (fi == fl->count) {
            fl = fl->next;
            fi = 0;
            continue;
        }
        const quint64 d = dl->keys[di], f = fl->keys[fi];
        if (d < f) {
            ++di;
        } else if (f < d) {
            ++fi;
        } else {
            both.push_back(d);
            ++di;
            ++fi;
        }
    }
    for (const quint64 frn : both) {
        IndexEntry gone;
        if (tables->files.erase(frn, &gone))
            names.release(gone.name);
        tables->extraNames.removeAll(frn);
    }
    slots_.clear();
    return tables;
}
