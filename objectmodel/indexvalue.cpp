#include "objectmodel/indexvalue.h"

#include <algorithm>

void SortIndexValues(CArray<tagINDEX_VALUE, const tagINDEX_VALUE&>& values)
{
    if (values.IsEmpty())
        AfxThrowInvalidArgException();
    std::stable_sort(values.begin(), values.end(),
                     [](const tagINDEX_VALUE& a, const tagINDEX_VALUE& b) { return a.dValue > b.dValue; });
}
