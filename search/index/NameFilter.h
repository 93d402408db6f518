// NameFilter: a small summary of the names in each leaf of an IndexMap that lets a name search
// pass over whole leaves that cannot hold a match.
//
// Per leaf (up to IndexMap::LeafCapacity records) it keeps a 2048-bit set of the trigrams of
// its names: every three consecutive bytes of a name, ASCII letters lower-cased, and the two
// characters that fold to ASCII letters ("\u017F" long s, "\u212A" Kelvin sign) read as "s" and
// "k"; trigrams with two or more digits are left out (on both sides), so that numbered names
// do not fill the set. A query gives the ASCII runs every matching name must contain (lower-cased,
// SearchExpression::requiredLiterals); a leaf whose set lacks one of their trigrams is passed
// over without reading its names. Nothing is ever missed: a name that matches holds the run,
// so its leaf holds the run's trigrams; a leaf that holds them may still have no match.
//
// Memory: 256 bytes of trigram bits and 32 bytes of bookkeeping per leaf, so 4.5 bytes per
// record with full leaves (index files and enumerations fill them) and at most twice that with
// half-full ones. Nothing is kept for an index that was never searched with a literal.
//
// Staying current: a summary is kept with the leaf's address and a 64-bit fingerprint of its
// record count and name references. A reference of the index's NameStore names one text for as
// long as the store is not compacted (names are only appended), so a leaf whose fingerprint is
// unchanged holds the same names; a leaf that changed (a record added, renamed, moved or
// removed) is summarised again when a search next reaches it, from the names that search reads
// anyway. The filter belongs to one set of tables (IndexTables): new tables come with empty
// filters, and compacting the names resets them (reset()). While the map's change count
// (IndexMap::changes) is what it was when a search last checked every leaf, nothing changed
// and the fingerprints are not even
// computed, so a search reads no leaf that the filter passes over.
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
#include <memory>
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

private:
    enum { Words = Bits / 64 };
    struct Summary
    {
        const IndexMap::Leaf* leaf = nullptr;
        quint64 fingerprint = 0;
        bool valid = false;
    };

public:
    // One search's use of the filter over the leaves of one map, in their order.
    class Session
    {
    public:
        // Takes the filter when no other search has it and the query needs something;
        // `leaves` are the map's leaves in scan order.
        // `changes` is the map's IndexMap::changes(): while it is what it was when every leaf
        // was last checked, the summaries are trusted without reading the leaves again. The
        // leaves' names lie in `names`.
        Session(NameFilter& filter, const Query& query, const std::vector<const IndexMap::Leaf*>& leaves,
                quint64 changes, const NameStore& names);
        ~Session();
        Session(const Session&) = delete;
        Session& operator=(const Session&) = delete;

        bool active() const { return active_; }
        // Nothing changed since every summary was last checked: mayMatch reads no leaf and
        // may be asked for every leaf up front.
        bool trusted() const { return trusted_; }
        // False when leaf `run` (the leaf given at that position) cannot hold a match.
        bool mayMatch(std::size_t run);

    private:
        void refresh(std::size_t run, const IndexMap::Leaf* leaf);

        NameFilter& filter_;
        const Query& query_;
        const std::vector<const IndexMap::Leaf*>& leaves_;
        const quint64 changes_;
        const NameStore& names_;
        bool active_ = false;
        bool trusted_ = false;            // no change since every summary was last checked
        std::atomic<std::size_t> checked_{0};
    };

    // The leaves of a map in key order with their record counts, as a search walks them. Kept
    // while the map does not change (IndexMap::changes), so a search does not chase the leaf
    // links again; any thread may ask (the caller holds the map's owner's read lock).
    struct Layout
    {
        quint64 changes = 0;
        std::vector<const IndexMap::Leaf*> leaves;
        std::vector<quint32> counts;
    };
    std::shared_ptr<const Layout> layoutOf(const IndexMap& map);

    // Bytes held by the summaries.
    std::size_t memoryBytes() const;
    // Forgets every summary (the names' references changed). Not while a session runs.
    void reset();

    // The trigram bits of one name (as the summaries take them); exposed for tests.
    static void addName(const char* name, quint64* bits);

private:
    static quint64 fingerprintOf(const IndexMap::Leaf* leaf);

    std::mutex owner_;
    std::vector<Summary> summaries_; // by position of the leaf in the last session's order
    // The trigram bits, word-major: word w of leaf r at [w * leaves + r], so that a query's
    // few words are read as a few sequential arrays.
    std::vector<quint64> words_;
    std::vector<const IndexMap::Leaf*> order_; // that order
    bool checkedAll_ = false;        // every summary was checked against its leaf at `checkedAt_`
    quint64 checkedAt_ = 0;
    std::atomic<std::size_t> bytes_{0};
    std::mutex layoutMutex_;
    std::shared_ptr<const Layout> layout_;
};
