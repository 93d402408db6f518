#include "search/model/TermMask.h"

#include <QHashFunctions>

TermMask TermMask::firstBits(int count)
{
    TermMask mask;
    if (count <= 0)
        return mask;
    if (count >= 64) {
        mask.low_ = ~quint64(0);
        const int rest = count - 64;
        if (rest > 0) {
            mask.high_.assign(size_t((rest + 63) / 64), ~quint64(0));
            if (rest % 64)
                mask.high_.back() = (quint64(1) << (rest % 64)) - 1;
        }
    } else {
        mask.low_ = (quint64(1) << count) - 1;
    }
    return mask;
}

bool TermMask::testBit(int i) const
{
    if (i < 0)
        return false;
    if (i < 64)
        return (low_ >> i) & 1;
    const size_t word = size_t(i / 64 - 1);
    return word < high_.size() && ((high_[word] >> (i % 64)) & 1);
}

void TermMask::setBit(int i)
{
    if (i < 0)
        return;
    if (i < 64) {
        low_ |= quint64(1) << i;
        return;
    }
    const size_t word = size_t(i / 64 - 1);
    if (word >= high_.size())
        high_.resize(word + 1, 0);
    high_[word] |= quint64(1) << (i % 64);
}

void TermMask::clearBit(int i)
{
    if (i < 0)
        return;
    if (i < 64) {
        low_ &= ~(quint64(1) << i);
        return;
    }
    const size_t word = size_t(i / 64 - 1);
    if (word < high_.size()) {
        high_[word] &= ~(quint64(1) << (i % 64));
        trim();
    }
}

void TermMask::clear()
{
    low_ = 0;
    high_.clear();
}

int TermMask::count() const
{
    int n = __builtin_popcountll(low_);
    for (quint64 w : high_)
        n += __builtin_popcountll(w);
    return n;
}

TermMask TermMask::without(const TermMask& other) const
{
    TermMask result;
    result.low_ = low_ & ~other.low_;
    if (!high_.empty()) {
        result.high_ = high_;
        for (size_t i = 0; i < result.high_.size() && i < other.high_.size(); ++i)
            result.high_[i] &= ~other.high_[i];
        result.trim();
    }
    return result;
}

TermMask& TermMask::operator|=(const TermMask& other)
{
    low_ |= other.low_;
    if (other.high_.size() > high_.size())
        high_.resize(other.high_.size(), 0);
    for (size_t i = 0; i < other.high_.size(); ++i)
        high_[i] |= other.high_[i];
    return *this;
}

TermMask TermMask::operator|(const TermMask& other) const
{
    TermMask result(*this);
    result |= other;
    return result;
}

TermMask& TermMask::operator&=(const TermMask& other)
{
    low_ &= other.low_;
    if (high_.size() > other.high_.size())
        high_.resize(other.high_.size());
    for (size_t i = 0; i < high_.size(); ++i)
        high_[i] &= other.high_[i];
    trim();
    return *this;
}

TermMask TermMask::operator&(const TermMask& other) const
{
    TermMask result(*this);
    result &= other;
    return result;
}

uint TermMask::hash(uint seed) const
{
    uint h = ::qHash(low_, seed);
    for (quint64 w : high_)
        h = h * 31u + ::qHash(w, seed);
    return h;
}

void TermMask::trim()
{
    while (!high_.empty() && high_.back() == 0)
        high_.pop_back();
}
