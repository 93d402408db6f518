// TermMask: the set of terms of one expression, bit i standing for term i (the i-th term the
// lexer produced).
//
// Expressions are not limited to 32 (or 64) terms: a list of names pasted into the name field
// easily has more. Bits 0 to 63 live inline, so masks of expressions with up to 64 terms
// (every usual one) never touch the heap; higher bits go to a word vector that is only
// allocated when such a bit is set. A mask converts implicitly from a 64-bit word (bits 0 to
// 63), and reads as true in a condition when any bit is set.
#pragma once

#include <QtGlobal>
#include <vector>

class TermMask
{
public:
    TermMask() = default;
    TermMask(quint64 lowBits) : low_(lowBits) {} // NOLINT: implicit on purpose

    // The mask with bits 0 .. count - 1 set.
    static TermMask firstBits(int count);

    bool testBit(int i) const;
    void setBit(int i);
    void clearBit(int i);
    void clear();

    // Number of set bits.
    int count() const;
    bool isEmpty() const { return low_ == 0 && high_.empty(); }
    explicit operator bool() const { return !isEmpty(); }

    // Bits 0 to 63.
    quint64 lowBits() const { return low_; }
    // Makes the mask exactly `bits` (bits 0 to 63, nothing above).
    void assignLowBits(quint64 bits)
    {
        low_ = bits;
        high_.clear();
    }

    // Bits of this mask that are not in `other`.
    TermMask without(const TermMask& other) const;

    TermMask& operator|=(const TermMask& other);
    TermMask operator|(const TermMask& other) const;
    TermMask& operator&=(const TermMask& other);
    TermMask operator&(const TermMask& other) const;

    bool operator==(const TermMask& other) const { return low_ == other.low_ && high_ == other.high_; }
    bool operator!=(const TermMask& other) const { return !(*this == other); }

    // Seeded hash for QHash.
    uint hash(uint seed) const;

private:
    void trim();

    quint64 low_ = 0;
    // Words for bits 64 and up; never ends with a zero word, so equal masks compare equal.
    std::vector<quint64> high_;
};

inline uint qHash(const TermMask& mask, uint seed = 0)
{
    return mask.hash(seed);
}
