#pragma once
// The growth-rate evaluations of a chart's curves (its property 4): the
// values themselves, the average relative growth rate since the start, the
// gradient between neighbours and the linear rate since the start. Rates
// are per day on a time axis (x in seconds), else per x unit. Where no rate
// exists (the first point, ln of a value <= 0, no time between points) the
// result is NaN: a gap in the curve.

#include <vector>

class CDataArray;

namespace kestrun {

enum GrowthMethod : int
{
    growthValues = 0,
    growthRGR = 1,      // (ln y_i - ln y_0) / (t_i - t_0)
    growthGradient = 2, // (y_i - y_{i-1}) / (t_i - t_{i-1})
    growthLinear = 3,   // (y_i - y_0) / (t_i - t_0)
    growthMethodCount
};

// Seconds of a day, the unit of rates on a time axis.
constexpr double kSecondsPerDay = 86400.0;

// The evaluated values written to the series (read through its filter);
// t_i = x_i / xPerUnit. An unknown method raises CInvalidArgException.
std::vector<double> EvaluateGrowth(int method, const CDataArray& values, double xPerUnit);
// The same for value i alone; an index outside the values written is an
// invalid argument.
double EvaluateGrowthAt(int method, const CDataArray& values, double xPerUnit, int i);

} // namespace kestrun
