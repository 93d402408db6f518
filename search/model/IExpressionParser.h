// IExpressionParser: decides whether an expression holds for a set of found terms.
#pragma once

#include "search/model/TermMask.h"

class IExpressionParser
{
public:
    virtual ~IExpressionParser() = default;

    // True when the expression holds with exactly the terms whose bits are set present.
    virtual bool evaluate(const TermMask& termMask) = 0;
};
