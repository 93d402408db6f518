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

// Trigrams with two or three digits are left out on both sides: numbered names ("IMG_4711",
// "report 2015-03") would otherwise fill the sets with trigrams that are rarely looked for.
inline bool indexable(uchar a, uchar b, uchar c)
{
    return (unsigned(a - '0') < 10u) + (unsigned(b - '0') < 10u) + (unsigned(c - '0') < 10u) < 2;
}

} // namespace

static_assert(NameFilter::Bits == 2048, "trigramBit takes 11 bits");

NameFilter::Query NameFilter::makeQuery(const std::vector<std::string>& literals)
{
    Query query;
    for (const std::string& literal : literals) {
        for (std::size_t i = 0; i + 3 <= literal.size(); ++i) {
            const uchar a = lowerAscii(uchar(literal[i]));
            const uchar b = lowerAscii(uchar(literal[i + 1]));
            const uchar c = lowerAscii(uchar(literal[i + 2]));
            if (indexable(a, b, c))
                query.bits.push_back(trigramBit(a, b, c));
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
            if (!indexable(a, b, c)) {
                a = b;
                b = c;
                continue;
            }
            const quint16 bit = trigramBit(a, b, c);
            bits[bit >> 6] |= quint64(1) << (bit & 63);
        } else {
            ++have;
        }
        a = b;
        b = c;
    }
}

// Odd multipliers, one per position in a leaf: changing one name reference always changes the
// weighted sum (an odd factor is invertible modulo 2^64), and the products do not depend on
// each other, so the sum runs at memory speed.
struct PositionWeights
{
    quint64 k[IndexMap::LeafCapacity];
    PositionWeights()
    {
        quint64 x = 0x9E3779B97F4A7C15ULL;
        for (quint64& w : k) {
            x ^= x >> 12;
            x ^= x << 25;
            x ^= x >> 27;
            w = (x * 0x2545F4914F6CDD1DULL) | 1;
        }
    }
};
const PositionWeights weights;

quint64 NameFilter::fingerprintOf(const IndexMap::Leaf* leaf)
{
    quint64 weighted = 0;
    quint64 rotated = 0;
    const quint32 n = leaf->count;
    for (quint32 i = 0; i < n; ++i) {
        const quint64 p = quint64(leaf->values[i].name);
        weighted += p * weights.k[i];
        const int turn = int(i & 31) + 1;
        rotated ^= (p << turn) | (p >> (64 - turn));
    }
    return weighted ^ (rotated * 0xBF58476D1CE4E5B9ULL) ^ (quint64(n) << 56);
}

std::shared_ptr<const NameFilter::Layout> NameFilter::layoutOf(const IndexMap& map)
{
    std::lock_guard<std::mutex> guard(layoutMutex_);
    if (layout_ && layout_->changes == map.changes())
        return layout_;
    auto layout = std::make_shared<Layout>();
    layout->changes = map.changes();
    for (const IndexMap::Leaf* leaf = map.firstLeaf(); leaf; leaf = leaf->next) {
        layout->leaves.push_back(leaf);
        layout->counts.push_back(leaf->count);
    }
    layout_ = layout;
    return layout_;
}

std::size_t NameFilter::memoryBytes() const
{
    return bytes_.load();
}

void NameFilter::reset()
{
    std::lock_guard<std::mutex> guard(owner_);
    std::vector<Summary>().swap(summaries_);
    std::vector<quint64>().swap(words_);
    std::vector<const IndexMap::Leaf*>().swap(order_);
    checkedAll_ = false;
    checkedAt_ = 0;
    bytes_.store(0);
}

NameFilter::Session::Session(NameFilter& filter, const Query& query, const std::vector<const IndexMap::Leaf*>& leaves,
                             quint64 changes, const NameStore& names)
    : filter_(filter)
    , query_(query)
    , leaves_(leaves)
    , changes_(changes)
    , names_(names)
{
    if (query.isEmpty() || !filter.owner_.try_lock())
        return;
    active_ = true;
    std::vector<Summary>& summaries = filter.summaries_;
    const bool sameOrder = filter.order_ == leaves;
    trusted_ = sameOrder && filter.checkedAll_ && filter.checkedAt_ == changes;
    if (sameOrder)
        return;
    filter.checkedAll_ = false;
    // The leaves changed order (or number): summaries follow their leaves.
    std::unordered_map<const IndexMap::Leaf*, std::size_t> at;
    at.reserve(summaries.size());
    for (std::size_t i = 0; i < summaries.size(); ++i) {
        if (summaries[i].valid)
            at.emplace(summaries[i].leaf, i);
    }
    const std::size_t oldCount = summaries.size();
    const std::size_t n = leaves.size();
    std::vector<Summary> moved(n);
    std::vector<quint64> words(n * Words, 0);
    for (std::size_t r = 0; r < n; ++r) {
        const auto it = at.find(leaves[r]);
        if (it == at.end())
            continue;
        moved[r] = summaries[it->second];
        for (std::size_t w = 0; w < Words; ++w)
            words[w * n + r] = filter.words_[w * oldCount + it->second];
    }
    summaries.swap(moved);
    filter.words_.swap(words);
    filter.order_ = leaves;
    filter.bytes_.store(summaries.capacity() * sizeof(Summary) + filter.words_.capacity() * sizeof(quint64)
                        + filter.order_.capacity() * sizeof(void*));
}

NameFilter::Session::~Session()
{
    if (!active_)
        return;
    // Every leaf was checked (the search was not cancelled half-way): until the map changes,
    // the summaries hold.
    if (trusted_ || checked_.load() == leaves_.size()) {
        filter_.checkedAll_ = true;
        filter_.checkedAt_ = changes_;
    } else {
        filter_.checkedAll_ = false;
    }
    filter_.owner_.unlock();
}

bool NameFilter::Session::mayMatch(std::size_t run)
{
    if (!active_ || run >= leaves_.size())
        return true;
    if (!trusted_) {
        checked_.fetch_add(1, std::memory_order_relaxed);
        refresh(run, leaves_[run]);
    }
    const std::size_t n = leaves_.size();
    const quint64* words = filter_.words_.data();
    for (const quint16 bit : query_.bits) {
        if (!(words[(bit >> 6) * n + run] & (quint64(1) << (bit & 63))))
            return false;
    }
    return true;
}

void NameFilter::Session::refresh(std::size_t run, const IndexMap::Leaf* leaf)
{
    Summary& summary = filter_.summaries_[run];
    const quint64 fingerprint = fingerprintOf(leaf);
    if (summary.valid && summary.leaf == leaf && summary.fingerprint == fingerprint)
        return;
    quint64 bits[Words] = {};
    for (quint32 i = 0; i < leaf->count; ++i) {
        if (leaf->values[i].name)
            addName(names_.text(leaf->values[i].name), bits);
    }
    const std::size_t n = leaves_.size();
    for (std::size_t w = 0; w < Words; ++w)
        filter_.words_[w * n + run] = bits[w];
    summary.leaf = leaf;
    summary.fingerprint = fingerprint;
    summary.valid = true;
}
