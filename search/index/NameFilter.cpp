#include "search/index/NameFilter.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

namespace {

inline quint16 trigramBit(uchar a, uchar b, uchar c)
{
    const quint32 v = quint32(a) | (quint32(b) << 8) | (quint32(c) << 16);
    return quint16((v * 2654435761u) >> (32 - 11)); // 2048 bits
}

inline uchar lowerAscii(uchar c)
{
    return (c >= 'A' && c <= 'Z') ? uchar(c + 32) : c;
}

} // namespace

static_assert(NameFilter::Bits == 2048, "trigramBit takes 11 bits");

NameFilter::Query NameFilter::makeQuery(const std::vector<std::string>& literals)
{
    Query query;
    for (const std::string& literal : literals) {
        for (std::size_t i = 0; i + 3 <= literal.size(); ++i) {
            query.bits.push_back(trigramBit(lowerAscii(uchar(literal[i])), lowerAscii(uchar(literal[i + 1])),
                                            lowerAscii(uchar(literal[i + 2]))));
        }
    }
    std::sort(query.bits.begin(), query.bits.end());
    query.bits.erase(std::unique(query.bits.begin(), query.bits.end()), query.bits.end());
    return query;
}

void NameFilter::addName(const char* name, quint64* bits)
{
    const auto* s = reinterpret_cast<const uchar*>(name);
    uchar a = 0;
    uchar b = 0;
    int have = 0;
    while (*s) {
        uchar c = *s;
        if (c == 0xC5 && s[1] == 0xBF) {
            c = 's'; // U+017F long s folds to "s"
            s += 2;
        } else if (c == 0xE2 && s[1] == 0x84 && s[2] == 0xAA) {
            c = 'k'; // U+212A Kelvin sign folds to "k"
            s += 3;
        } else {
            c = lowerAscii(c);
            ++s;
        }
        if (have >= 2) {
            const quint16 bit = trigramBit(a, b, c);
            bits[bit >> 6] |= quint64(1) << (bit & 63);
        } else {
            ++have;
        }
        a = b;
        b = c;
    }
}

quint64 NameFilter::fingerprintOf(const IndexMap::Leaf* leaf)
{
    quint64 h = 0x9E3779B97F4A7C15ULL ^ leaf->count;
    for (quint32 i = 0; i < leaf->count; ++i) {
        h ^= quint64(leaf->values[i].name);
        h *= 0xBF58476D1CE4E5B9ULL;
        h ^= h >> 31;
    }
    return h;
}

std::size_t NameFilter::memoryBytes() const
{
    return bytes_.load();
}

void NameFilter::reset()
{
    std::lock_guard<std::mutex> guard(owner_);
    std::vector<Summary>().swap(summaries_);
    bytes_.store(0);
}

NameFilter::Session::Session(NameFilter& filter, const Query& query, const std::vector<const IndexMap::Leaf*>& leaves,
                             const NameStore& names)
    : filter_(filter)
    , query_(query)
    , leaves_(leaves)
    , names_(names)
{
    if (query.isEmpty() || !filter.owner_.try_lock())
        return;
    active_ = true;
    std::vector<Summary>& summaries = filter.summaries_;
    bool sameOrder = summaries.size() == leaves.size();
    for (std::size_t r = 0; sameOrder && r < leaves.size(); ++r)
        sameOrder = summaries[r].leaf == leaves[r];
    if (sameOrder)
        return;
    // The leaves changed order (or number): summaries follow their leaves.
    std::unordered_map<const IndexMap::Leaf*, std::size_t> at;
    at.reserve(summaries.size());
    for (std::size_t i = 0; i < summaries.size(); ++i) {
        if (summaries[i].valid)
            at.emplace(summaries[i].leaf, i);
    }
    std::vector<Summary> moved(leaves.size());
    for (std::size_t r = 0; r < leaves.size(); ++r) {
        const auto it = at.find(leaves[r]);
        if (it != at.end())
            moved[r] = summaries[it->second];
        else
            moved[r].valid = false;
    }
    summaries.swap(moved);
    filter.bytes_.store(summaries.capacity() * sizeof(Summary));
}

NameFilter::Session::~Session()
{
    if (active_)
        filter_.owner_.unlock();
}

bool NameFilter::Session::mayMatch(std::size_t run)
{
    if (!active_ || run >= leaves_.size())
        return true;
    const IndexMap::Leaf* leaf = leaves_[run];
    Summary& summary = filter_.summaries_[run];
    const quint64 fingerprint = fingerprintOf(leaf);
    if (!summary.valid || summary.leaf != leaf || summary.fingerprint != fingerprint) {
        std::memset(summary.bits, 0, sizeof(summary.bits));
        for (quint32 i = 0; i < leaf->count; ++i) {
            if (leaf->values[i].name)
                addName(names_.text(leaf->values[i].name), summary.bits);
        }
        summary.leaf = leaf;
        summary.fingerprint = fingerprint;
        summary.valid = true;
    }
    for (const quint16 bit : query_.bits) {
        if (!(summary.bits[bit >> 6] & (quint64(1) << (bit & 63))))
            return false;
    }
    return true;
}
