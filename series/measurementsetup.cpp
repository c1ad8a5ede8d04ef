#include "series/measurementsetup.h"

#include <algorithm>
#include <array>

namespace kestrun {

namespace {

using S = CMeasurementSetup;

const std::array<sSetupField, 17> kFields = {{
    {"Interval min", &S::m_nIntervalMin, 0, 60},
    {"Interval sec", &S::m_nIntervalSec, 0, 60},
    {"Interval msec", &S::m_nIntervalMSec, 0, 999},
    {"Run time days", &S::m_nRunDays, 0, 31},
    {"Run time hours", &S::m_nRunHours, 0, 24},
    {"Run time min", &S::m_nRunMin, 0, 60},
    {"Run time sec", &S::m_nRunSec, 0, 60},
    {"Start hour", &S::m_nStartHour, 0, 24},
    {"Start min", &S::m_nStartMin, 0, 60},
    {"Count", &S::m_nCount, 1, 1000000},
    {"Filter", &S::m_nImageFilterType, -1, 2},
    {"Open System (Pin2)", &S::m_nDelay1, 0, 100000},
    {"Close System (Pin1)", &S::m_nDelay2, 0, 100000},
    {"Clock Synchron", &S::m_bClockSynchron, 0, 1},
    {"Create AVI File", &S::m_bWriteAVI, 0, 1},
    {"Save BMP File", &S::m_bWriteFile, 0, 1},
    {"X axis", &S::m_nXAxis, 0, 1},
}};

} // namespace

std::span<const sSetupField> SetupFields()
{
    return kFields;
}

void ClampSetup(CMeasurementSetup& setup)
{
    for (const sSetupField& f : kFields)
        setup.*f.field = std::clamp(setup.*f.field, f.minimum, f.maximum);
}

const sSetupField* FieldOutOfRange(const CMeasurementSetup& setup)
{
    for (const sSetupField& f : kFields)
        if (setup.*f.field < f.minimum || setup.*f.field > f.maximum)
            return &f;
    return nullptr;
}

DWORD SetupIntervalMs(const CMeasurementSetup& setup)
{
    return static_cast<DWORD>((setup.m_nIntervalMin * 60 + setup.m_nIntervalSec) * 1000 + setup.m_nIntervalMSec);
}

ULONGLONG SetupRunTimeMs(const CMeasurementSetup& setup)
{
    if (setup.m_bPlayback)
        return (static_cast<ULONGLONG>(setup.m_nRunHours) * 3600 + static_cast<ULONGLONG>(setup.m_nRunMin) * 60 +
                static_cast<ULONGLONG>(setup.m_nRunSec)) *
               1000;
    const ULONGLONG minutes = (static_cast<ULONGLONG>(setup.m_nRunDays) * 24 + static_cast<ULONGLONG>(setup.m_nRunHours)) * 60 +
                              static_cast<ULONGLONG>(setup.m_nRunMin);
    return minutes * 60000;
}

ULONGLONG SetupStepCount(const CMeasurementSetup& setup)
{
    const DWORD interval = SetupIntervalMs(setup);
    return interval == 0 ? 0 : SetupRunTimeMs(setup) / interval;
}

CString CheckSetup(const CMeasurementSetup& setup)
{
    if (const sSetupField* field = FieldOutOfRange(setup))
        return FormatString("Please enter a whole number from %d to %d.", field->minimum, field->maximum);
    if (!setup.m_bPlayback && setup.m_nIntervalMin == 0 && setup.m_nIntervalSec == 0) {
        const int ms = setup.m_nIntervalMSec;
        if (ms < 100 && ms != 20 && ms != 30 && ms != 40)
            return "Select a 20 ms or a 40 ms interval";
    }
    if (SetupStepCount(setup) > kMaxMeasurementSteps)
        return "Too much data!\n Decrease runtime or increase interval";
    return {};
}

} // namespace kestrun
