#include "series/growthrate.h"

#include "objectmodel/dataarray.h"
#include "platform/core/exceptions.h"

#include <cmath>
#include <limits>

namespace kestrun {

namespace {

constexpr double kGap = std::numeric_limits<double>::quiet_NaN();

// a / b, a gap when b is 0 or either is no number.
double Rate(double a, double b)
{
    const double r = a / b;
    return b != 0.0 && std::isfinite(r) ? r : kGap;
}

double LogOrGap(double y)
{
    return y > 0.0 ? std::log(y) : kGap;
}

} // namespace

double EvaluateGrowthAt(int method, const CDataArray& values, double xPerUnit, int i)
{
    if (method < 0 || method >= growthMethodCount || !(xPerUnit > 0.0) || i < 0 || i >= values.GetUsedCount())
        AfxThrowInvalidArgException();
    const double y = values.GetAt(i);
    if (method == growthValues)
        return y;
    if (i == 0)
        return kGap;
    const auto t = [&](int k) { return values.GetXAt(k) / xPerUnit; };
    switch (method) {
    case growthRGR: return Rate(LogOrGap(y) - LogOrGap(values.GetAt(0)), t(i) - t(0));
    case growthGradient: return Rate(y - values.GetAt(i - 1), t(i) - t(i - 1));
    default: return Rate(y - values.GetAt(0), t(i) - t(0));
    }
}

std::vector<double> EvaluateGrowth(int method, const CDataArray& values, double xPerUnit)
{
    if (method < 0 || method >= growthMethodCount || !(xPerUnit > 0.0))
        AfxThrowInvalidArgException();
    const int n = values.GetUsedCount();
    std::vector<double> out(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        out[static_cast<size_t>(i)] = EvaluateGrowthAt(method, values, xPerUnit, i);
    return out;
}

} // namespace kestrun
