#pragma once
// tagINDEX_VALUE: an index with a value to rank it by.

#include "platform/core/arrays.h"

struct tagINDEX_VALUE
{
    LONG nIndex;
    double dValue;
};

// Largest value first; equal values keep their order. An empty array is an
// invalid argument.
void SortIndexValues(CArray<tagINDEX_VALUE, const tagINDEX_VALUE&>& values);
