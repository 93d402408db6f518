// NameScan: finds the records of one volume index whose names match a search's name expression.
//
// A scan reads the records of one map (its leaves, in key order) or the further names of files
// (the slots of ExtraNames, in runs of a leaf's size; a free slot has no name and is passed over),
// tests each UTF-8 name against the request's SearchExpression without decoding it, and hands
// every match to the caller's filter. The filter decides whether the record is reported and
// gives its folder path (the index's folder tests and path building); only the matches reach it.
//
// Below ParallelThreshold records the calling thread scans alone. Above it the runs are cut into
// many groups of about equal record counts, taken one after another from a shared cursor by up
// to MaxThreads threads (a thread the system holds back does not hold up the search), each with
// an expression of its own (an expression belongs to one thread; building one runs the script
// engine, so all are built on the calling thread before any thread starts). The hits are joined
// in run order: the result is the same whatever the number of threads. Where fewer threads can
// be started, the others take more groups.
//
// With the map's name filter, leaves whose names cannot hold what every match of the query needs
// are passed over without reading their names (NameFilter; decided before the threads start
// where the summaries are current).
//
// Why apart from the index: the scan is the index's one many-threaded reader and owns the
// splitting, the joining in order, the cancel and the hand-back of a thread's exception; the
// index keeps what a record means (folders, exclusions, paths) in the filter it passes.
//
// Threads and locks: scanMap and scanExtraNames run on the searching thread, which holds the
// index's read lock for the whole scan; the filter runs on the scanning threads at once and
// must only read. A cancel of the request (FileSearchRequest::canceled) ends the scan: the call
// returns false. An exception thrown on any scanning thread (by the filter or an expression)
// stops the others and is thrown again on the calling thread once every thread has ended.
#pragma once

#include "search/index/IndexMap.h"
#include "search/index/NTFSUtils.h"

#include <QString>

#include <cstddef>
#include <functional>
#include <vector>

class ExtraNames;
class FileSearchRequest;
class NameFilter;
class NameStore;

class NameScan
{
public:
    // Below this many records a scan runs on the calling thread alone.
    static constexpr std::size_t ParallelThreshold = 16384;
    // At most this many threads scan one map.
    static constexpr int MaxThreads = 8;

    struct Hit
    {
        FRN frn;
        const IndexEntry* entry;
        QString path; // the folder path of the record, as the filter gave it
    };
    // Decides whether a record whose name matched is reported, and gives its folder path.
    // Called on the scanning threads, several at once.
    using HitFilter = std::function<bool(FRN frn, const IndexEntry& entry, QString* path)>;

    // `names` holds the names of the records scanned.
    NameScan(const FileSearchRequest& request, const NameStore& names);

    // Appends the accepted matches among the records of `map` to `hits`, in key order; leaves
    // that `filter` (the map's own name filter, which also hands out its leaves in order) rules
    // out are passed over. False when the request was canceled (the hits are then incomplete).
    bool scanMap(const IndexMap& map, NameFilter& filter, const HitFilter& accept,
                 std::vector<Hit>* hits) const;
    // The same over the further names of files, in slot order.
    bool scanExtraNames(const ExtraNames& extraNames, const HitFilter& accept,
                        std::vector<Hit>* hits) const;

private:
    template <typename Runs>
    bool scan(const Runs& source, std::size_t records, const HitFilter& accept,
              std::vector<Hit>& hits, NameFilter* filter) const;

    const FileSearchRequest& request_;
    const NameStore& names_;
};
