#include "search/index/NameScan.h"

#include "search/index/ExtraNames.h"
#include "search/index/NameFilter.h"
#include "search/index/NameStore.h"
#include "search/model/FileSearchRequest.h"
#include "search/model/SearchExpression.h"

#include <QThread>

#include <algorithm>
#include <atomic>
#include <exception>
#include <iterator>
#include <memory>
#include <system_error>
#include <thread>

namespace {

// Each scanning thread takes about this many groups of runs.
constexpr std::size_t RunsPerThread = 8;

// The records of a map as runs: its leaves.
struct LeafRuns
{
    std::shared_ptr<const NameFilter::Layout> layout; // the leaves in order (kept by the filter)
    const NameStore& names;
    LeafRuns(std::shared_ptr<const NameFilter::Layout> leaves, const NameStore& store)
        : layout(std::move(leaves))
        , names(store)
    { }
    std::size_t runs() const { return layout->leaves.size(); }
    quint32 count(std::size_t r) const { return layout->counts[r]; }
    FRN key(std::size_t r, quint32 i) const { return layout->leaves[r]->keys[i]; }
    const IndexEntry& value(std::size_t r, quint32 i) const { return layout->leaves[r]->values[i]; }
    const std::vector<const IndexMap::Leaf*>* leafList() const { return &layout->leaves; }
    quint64 changes() const { return layout->changes; }
};

// The further names of files as runs of slots of the same size as a leaf (a free slot has no
// name and is passed over like a record without one).
struct SlotRuns
{
    const std::vector<ExtraNames::Slot>& table;
    const NameStore& names;
    std::size_t runs() const
    {
        return (table.size() + IndexMap::LeafCapacity - 1) / IndexMap::LeafCapacity;
    }
    quint32 count(std::size_t r) const
    {
        return quint32(
            qMin<std::size_t>(IndexMap::LeafCapacity, table.size() - r * IndexMap::LeafCapacity));
    }
    FRN key(std::size_t r, quint32 i) const { return table[r * IndexMap::LeafCapacity + i].frn; }
    const IndexEntry& value(std::size_t r, quint32 i) const
    {
        return table[r * IndexMap::LeafCapacity + i].entry;
    }
    const std::vector<const IndexMap::Leaf*>* leafList() const { return nullptr; }
    quint64 changes() const { return 0; }
};

} // namespace

NameScan::NameScan(const FileSearchRequest& request, const NameStore& names)
    : request_(request)
    , names_(names)
{ }

bool NameScan::scanMap(const IndexMap& map, NameFilter& filter, const HitFilter& accept,
                       std::vector<Hit>* hits) const
{
    return scan(LeafRuns(filter.layoutOf(map), names_), map.size(), accept, *hits, &filter);
}

bool NameScan::scanExtraNames(const ExtraNames& extraNames, const HitFilter& accept,
                              std::vector<Hit>* hits) const
{
    return scan(SlotRuns{extraNames.slotTable(), names_}, extraNames.size(), accept, *hits,
                nullptr);
}

template <typename Runs>
bool NameScan::scan(const Runs& source, std::size_t records, const HitFilter& accept,
                    std::vector<Hit>& hits, NameFilter* filter) const
{
    const FileSearchRequest& request = request_;
    const MatchOptions options = request.matchOptions(true);
    std::vector<std::unique_ptr<SearchExpression>> expressions;
    expressions.emplace_back(new SearchExpression(request.fileName, options));

    NameFilter::Query query;
    std::unique_ptr<NameFilter::Session> session;
    if (filter && source.leafList()) {
        query = NameFilter::makeQuery(expressions[0]->requiredLiterals());
        session.reset(new NameFilter::Session(*filter, query, *source.leafList(), source.changes(),
                                              source.names));
    }
    NameFilter::Session* summaries = session && session->active() ? session.get() : nullptr;

    // The runs to scan: all of them, or, where the summaries are known to be current, only
    // those they let through (asked here, before any thread is started).
    std::vector<std::size_t> selected;
    if (summaries && summaries->trusted()) {
        records = 0;
        for (std::size_t r = 0; r < source.runs(); ++r) {
            if (summaries->mayMatch(r)) {
                selected.push_back(r);
                records += source.count(r);
            }
        }
        summaries = nullptr;
    } else {
        selected.resize(source.runs());
        for (std::size_t r = 0; r < selected.size(); ++r)
            selected[r] = r;
    }
    const std::size_t runCount = selected.size();
    int threads = 1;
    if (records >= ParallelThreshold)
        threads = qBound(1, QThread::idealThreadCount(), MaxThreads);
    if (runCount < std::size_t(threads))
        threads = 1;

    // One expression per thread, built here: building one runs the script engine, which all
    // threads share under one mutex.
    for (int t = 1; t < threads; ++t)
        expressions.emplace_back(new SearchExpression(request.fileName, options));

    // Scans selected[from] .. selected[to - 1].
    auto scanRange = [&](std::size_t from, std::size_t to, SearchExpression& expression,
                         std::vector<Hit>& out) {
        for (std::size_t k = from; k < to; ++k) {
            const std::size_t l = selected[k];
            if (request.canceled)
                return false;
            if (summaries && !summaries->mayMatch(l))
                continue;
            const quint32 count = source.count(l);
            for (quint32 i = 0; i < count; ++i) {
                if (i + 8 < count) {
                    const NameStore::Ref ahead = source.value(l, i + 8).name;
                    if (ahead)
                        __builtin_prefetch(source.names.text(ahead) - 1);
                }
                const IndexEntry& entry = source.value(l, i);
                if (!entry.name)
                    continue;
                const char* name = source.names.text(entry.name);
                if (expression.matchUtf8(name, source.names.length(entry.name)) !=
                    SearchExpression::Matches)
                    continue;
                QString path;
                const FRN frn = source.key(l, i);
                if (accept(frn, entry, &path))
                    out.push_back(Hit{frn, &entry, path});
            }
        }
        return true;
    };

    if (threads == 1)
        return scanRange(0, runCount, *expressions[0], hits);

    // Many small groups of runs of about equal record counts, taken one after another by the
    // threads from a shared cursor: a thread that the system holds back does not hold up the
    // search.
    std::vector<std::size_t> bounds(1, 0);
    const std::size_t perGroup = records / (std::size_t(threads) * RunsPerThread) + 1;
    std::size_t inGroup = 0;
    for (std::size_t k = 0; k < runCount; ++k) {
        inGroup += source.count(selected[k]);
        if (inGroup >= perGroup) {
            bounds.push_back(k + 1);
            inGroup = 0;
        }
    }
    if (bounds.back() != runCount)
        bounds.push_back(runCount);

    const std::size_t groups = bounds.size() - 1;
    std::vector<std::vector<Hit>> partial(groups);
    std::vector<std::exception_ptr> errors(static_cast<std::size_t>(threads));
    std::atomic<std::size_t> cursor{0};
    std::atomic<bool> stopped{false};
    auto work = [&](int t) {
        try {
            for (std::size_t g = cursor++; g < groups && !stopped; g = cursor++) {
                if (!scanRange(bounds[g], bounds[g + 1], *expressions[std::size_t(t)], partial[g]))
                    stopped = true;
            }
        } catch (...) {
            errors[std::size_t(t)] = std::current_exception();
            stopped = true;
        }
    };
    std::vector<std::thread> workers;
    for (int t = 1; t < threads; ++t) {
        try {
            workers.emplace_back(work, t);
        } catch (const std::system_error&) {
            break; // fewer threads: the others take more groups
        }
    }
    work(0);
    for (std::thread& t : workers)
        t.join();
    for (const std::exception_ptr& e : errors) {
        if (e)
            std::rethrow_exception(e);
    }
    if (stopped)
        return false; // canceled
    std::size_t total = hits.size();
    for (const auto& p : partial)
        total += p.size();
    hits.reserve(total);
    for (auto& p : partial)
        std::move(p.begin(), p.end(), std::back_inserter(hits));
    return true;
}
