// NameFilter: a small summary of the names in each leaf of an IndexMap that lets a name search
// pass over whole leaves that cannot hold a match.
//
// Per leaf (up to IndexMap::LeafCapacity records) it keeps a 2048-bit set of the trigrams of
// its names: every three consecutive bytes of a name, ASCII letters lower-cased, and the two
// characters that fold to ASCII letters ("\u017F" long s, "\u212A" Kelvin sign) read as "s" and
// "k". A query gives the ASCII runs every matching name must contain (lower-cased,
// SearchExpression::requiredLiterals); a leaf whose set lacks one of their trigrams is passed
// over without reading its names. Nothing is ever missed: a name that matches holds the run,
// so its leaf holds the run's trigrams; a leaf that holds them may still have no match.
//
// Memory: 256 bytes of trigram bits and 24 bytes of bookkeeping per leaf, so 4.4 bytes per
// record with full leaves (index files and enumerations fill them) and at most twice that with
// half-full ones. Nothing is kept for an index that was never searched with a literal.
//
// Staying current without hooks: a summary is kept with the leaf's address and a 64-bit
// fingerprint of its record count and name references. A reference of the index's NameStore
// names one text for as long as the store is not compacted (names are only appended), so a leaf
// whose fingerprint is unchanged holds the same names; a leaf that changed (a record added,
// renamed, moved or removed) is summarised again when a search next reaches it, from the names
// that search reads anyway. The filter belongs to one set of tables (IndexTables): new tables
// come with empty filters, and compacting the names resets them (reset()).
//
// Threads: one search at a time uses and refreshes the summaries (Session takes the filter
// with try_lock); a search that runs at the same time as another reads every leaf instead.
// During a session, each leaf's summary is read and written only by the thread that scans
// that leaf. The owner (NTFSDriveDB) holds its read lock throughout, so the leaves do not
// change meanwhile.
#pragma once

#include "search/index/IndexMap.h"
#include "search/index/NameStore.h"

#include <QtGlobal>

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

class NameFilter
{
public:
    enum { Bits = 2048 };

    // The trigram bits a query needs, from the ASCII runs every match contains.
    struct Query
    {
        std::vector<quint16> bits;
        bool isEmpty() const { return bits.empty(); }
    };
    static Query makeQuery(const std::vector<std::string>& literals);

    // One search's use of the filter over the leaves of one map, in their order.
    class Session
    {
    public:
        // Takes the filter when no other search has it and the query needs something;
        // `leaves` are the map's leaves in scan order, their names in `names`.
        Session(NameFilter& filter, const Query& query, const std::vector<const IndexMap::Leaf*>& leaves,
                const NameStore& names);
        ~Session();
        Session(const Session&) = delete;
        Session& operator=(const Session&) = delete;

        bool active() const { return active_; }
        // False when leaf `run` (the leaf given at that position) cannot hold a match.
        bool mayMatch(std::size_t run);

    private:
        NameFilter& filter_;
        const Query& query_;
        const std::vector<const IndexMap::Leaf*>& leaves_;
        const NameStore& names_;
        bool active_ = false;
    };

    // Bytes held by the summaries.
    std::size_t memoryBytes() const;
    // Forgets every summary (the names' references changed). Not while a session runs.
    void reset();

    // The trigram bits of one name (as the summaries take them); exposed for tests.
    static void addName(const char* name, quint64* bits);

private:
    struct Summary
    {
        const IndexMap::Leaf* leaf = nullptr;
        quint64 fingerprint = 0;
        bool valid = false;
        quint64 bits[Bits / 64];
    };

    static quint64 fingerprintOf(const IndexMap::Leaf* leaf);

    std::mutex owner_;
    std::vector<Summary> summaries_; // by position of the leaf in the last session's order
    std::atomic<std::size_t> bytes_{0};
};
