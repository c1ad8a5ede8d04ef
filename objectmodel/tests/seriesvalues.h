#pragma once
// The values of a data series as a vector, for comparing in tests.

#include "objectmodel/dataarray.h"

#include <vector>

namespace seriestest {

inline std::vector<double> Values(const CDataArray& series)
{
    std::vector<double> values;
    for (int i = 0; i < series.GetSize(); ++i)
        values.push_back(series.GetAt(i));
    return values;
}

} // namespace seriestest
