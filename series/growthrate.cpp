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

std::vector<double> EvaluateGrowth(int method, const CDataArray& values, double xPerUnit)
{
    if (method < 0 || method >= growthMethodCount || !(xPerUnit > 0.0))
        AfxThrowInvalidArgException();
    const int n = values.GetUsedCount();
    std::vector<double> out(static_cast<size_t>(n), kGap);
    if (n == 0)
        return out;
    const auto t = [&](int i) { return values.GetXAt(i) / xPerUnit; };
    const double y0 = values.GetAt(0);
    const double t0 = t(0);
    const double ln0 = LogOrGap(y0);
    if (method == growthValues)
        out[0] = y0;
    for (int i = 1; i < n; ++i) {
        const double y = values.GetAt(i);
        switch (method) {
        case growthValues:
            out[i] = y;
            break;
        case growthRGR:
            out[i] = Rate(LogOrGap(y) - ln0, t(i) - t0);
            break;
        case growthGradient:
            out[i] = Rate(y - values.GetAt(i - 1), t(i) - t(i - 1));
            break;
        default:
            out[i] = Rate(y - y0, t(i) - t0);
            break;
        }
    }
    return out;
}

} // namespace kestrun
