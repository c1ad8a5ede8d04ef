#include "objectmodel/baseobj.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

namespace {

// Restores the process-wide calibration after a test changed it.
class SystemCalibrationGuard
{
public:
    SystemCalibrationGuard() : m_saved(CBaseObj::SystemCalibration) {}
    ~SystemCalibrationGuard() { CBaseObj::SystemCalibration = m_saved; }

private:
    CCalibration m_saved;
};

TEST(ValueFormat, FormatColumnValueSwitchesToFourDecimalsBelowOneTenth)
{
    const struct
    {
        double value;
        const char* text;
    } cases[] = {
        {0.1, "0.10"}, {0.0999, "0.0999"}, {-5.0, "-5.0000"}, {12.345, "12.35"}, {0.0, "0.0000"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatColumnValue(c.value), c.text) << c.value;
    // A NaN is not below 0.1: it takes the two-decimal form.
    EXPECT_EQ(FormatColumnValue(std::numeric_limits<double>::quiet_NaN()),
              FormatString("%.2lf", std::numeric_limits<double>::quiet_NaN()));
}

TEST(ValueFormat, FormatWithDecimals)
{
    const struct
    {
        double value;
        int decimals;
        const char* text;
        int decimalsAfter;
    } cases[] = {
        {2.5, -1, "2.5", 1},
        {3e10, -1, "3.000000e+10", 0}, // "%4e": a width, not a precision
        {42.0, -1, "42", 0},
        {2147483647.0, 0, "2147483647", 0},
        {2.5, 0, "", 0}, // decimals needed but none asked for
        {1.23456, 3, "1.235", 3},
        {0.125, -1, "0.125", 3},
        {1.234567, 6, "1.23", 6},
        {0.0, 7, "0.00", 7},
        {-1000.0, 5, "-1000.00", 5},
        {0.0001234, 6, "1.2e-04", 6},
        {12345.5, 5, "1.2e+04", 5},
        {2.5, -2, "", -2},
    };
    for (const auto& c : cases) {
        int decimals = c.decimals;
        EXPECT_EQ(FormatWithDecimals(c.value, decimals), c.text) << c.value << " with " << c.decimals;
        EXPECT_EQ(decimals, c.decimalsAfter) << c.value << " with " << c.decimals;
    }
}

TEST(ValueFormat, CountDecimals)
{
    const struct
    {
        double value;
        int decimals;
    } cases[] = {
        {0.0, 0}, {5.0, 0}, {-7.0, 0}, {2.5, 1}, {0.1, 1}, {0.25, 2}, {-2.5, 1}, {1.125, 3},
        // Non-finite values have no decimals; they used to loop for ever.
        {std::numeric_limits<double>::quiet_NaN(), 0},
        {std::numeric_limits<double>::infinity(), 0},
        {-std::numeric_limits<double>::infinity(), 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CountDecimals(c.value), c.decimals) << c.value;
    // Values that never leave a clean fraction still end.
    EXPECT_GT(CountDecimals(std::numeric_limits<double>::denorm_min()), 300);
    EXPECT_GT(CountDecimals(-0.123456789123), 0);
}

TEST(ValueFormat, CalcFormFactorUsesTheSinglePrecisionFourPi)
{
    EXPECT_EQ(CalcFormFactor(0.0, 17.0), 1.0);
    EXPECT_EQ(CalcFormFactor(0.0, 0.0), 1.0);
    const double circle = CalcFormFactor(std::numbers::pi, 2.0 * std::numbers::pi);
    EXPECT_DOUBLE_EQ(circle, 4.0 * std::numbers::pi / 12.567000389099121);
    EXPECT_LT(circle, 1.0);
    EXPECT_NEAR(circle, 0.99995, 1e-5);
}

TEST(ValueFormat, UnitTextsAndUnitTags)
{
    SystemCalibrationGuard guard;
    const struct
    {
        int unit;
        int dimension;
        const char* text;
    } units[] = {
        {0, 0, "µm"}, {0, 1, "[µm]"}, {0, 2, "[µm²]"}, {0, 3, "[µm³]"}, {0, 4, ""}, {0, -1, ""},
        {1, 0, "mm"}, {1, 1, "[mm]"}, {1, 2, "[mm²]"}, {1, 3, "[mm³]"},
        {2, 0, "cm"}, {2, 1, "[cm]"}, {2, 2, "[cm²]"}, {2, 3, "[cm³]"},
        {7, 0, "[undefined]"}, {7, 2, "[undefined]"}, {7, 9, "[undefined]"}, {-1, 1, "[undefined]"},
    };
    for (const auto& u : units) {
        CCalibration calibration;
        calibration.m_nUnit = u.unit;
        EXPECT_EQ(calibration.GetUnitText(u.dimension), u.text) << u.unit << "/" << u.dimension;
    }

    const struct
    {
        int unit;
        const char* title;
        const char* result;
    } tags[] = {
        {1, "Area[Units]", "Area [mm²]"},
        {1, "Length[Units]", "Length [mm]"},
        {0, "ROI Area[Units]", "ROI Area [µm²]"},
        {0, "Index", "Index"},
        {2, "Width[Units] (mean)", "Width [cm]"}, // the rest of the title goes
    };
    for (const auto& t : tags) {
        CBaseObj::SystemCalibration.m_nUnit = t.unit;
        CString title = t.title;
        ReplaceUnitsTag(title);
        EXPECT_EQ(title, t.result) << t.title;
    }
}

} // namespace
