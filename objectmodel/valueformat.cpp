#include "objectmodel/valueformat.h"

#include "objectmodel/baseobj.h"

#include <cmath>

CString FormatColumnValue(double value)
{
    // Written as "below 0.1" so that a NaN takes the short form.
    return FormatString(value < 0.1 ? "%.4lf" : "%.2lf", value);
}

int CountDecimals(double value)
{
    if (!std::isfinite(value))
        return 0;
    double integral = 0.0;
    if (std::modf(value, &integral) == 0.0)
        return 0;
    // Every finite double becomes integral within about 340 steps (the
    // smallest subnormal has 324 decimal places before its digits).
    constexpr int kMaxSteps = 400;
    int n = 0;
    while (n < kMaxSteps) {
        value *= 10.0;
        ++n;
        const double fraction = std::modf(value, &integral);
        if (fraction < 1e-8 && integral > 0.0)
            return n;
        if (fraction == 0.0)
            return n;
    }
    return n;
}

CString FormatWithDecimals(double value, int& decimals)
{
    const int detected = CountDecimals(value);
    if (decimals == -1)
        decimals = detected;
    switch (decimals) {
    case 0:
        if (detected != 0)
            return {};
        return FormatString(value <= 2147483647.0 ? "%.0lf" : "%4e", value);
    case 1:
        return FormatString("%.1lf", value);
    case 2:
        return FormatString("%.2lf", value);
    case 3:
        return FormatString("%.3lf", value);
    case 4:
        return FormatString("%.4lf", value);
    default:
        break;
    }
    if (decimals < 0)
        return {};
    const double magnitude = std::fabs(value);
    if (value == 0.0 || (magnitude >= 0.001 && magnitude <= 1000.0))
        return FormatString("%.2lf", value);
    return FormatString("%.1e", value);
}

double CalcFormFactor(double area, double perimeter)
{
    if (area == 0.0)
        return 1.0;
    // The stored results were computed with 4π as a float.
    constexpr double kFourPi = static_cast<double>(12.567f);
    return perimeter * perimeter / (kFourPi * area);
}

void ReplaceUnitsTag(CString& title)
{
    const int position = title.Find("[Units]");
    if (position < 0)
        return;
    const int dimension = title.Find("Area") >= 0 ? 2 : 1;
    title = title.Left(position) + " " + CBaseObj::SystemCalibration.GetUnitText(dimension);
}
