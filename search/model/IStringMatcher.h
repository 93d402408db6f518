// IStringMatcher: tests the terms of an expression against one text and reports which occur.
#pragma once

#include "search/model/TermMask.h"

#include <QList>
#include <QPair>
#include <QString>

// A match: start index in UTF-16 units and length.
using MatchPosition = QPair<int, int>;
using MatchPositions = QList<MatchPosition>;

class IStringMatcher
{
public:
    virtual ~IStringMatcher() = default;

    // Tests term i when bit i of `wanted` is set, or every term when `positions` is given;
    // returns the mask of the tested terms that occur. Positions of found terms are appended
    // to `positions` (term order, then text order); `counter` is increased by the number of
    // substring hits. Both may be null.
    virtual TermMask match(const QString& text, const TermMask& wanted, MatchPositions* positions,
                           int* counter) const = 0;

    // The same test for a UTF-8 text of `length` bytes, without positions or counter. Gives
    // exactly what match() gives for QString::fromUtf8 of the text (invalid UTF-8 included),
    // and allocates nothing on the heap for texts of up to 1024 bytes and up to 64 terms,
    // except in regular-expression mode.
    virtual TermMask matchUtf8(const char* text, int length, const TermMask& wanted) const = 0;
};
