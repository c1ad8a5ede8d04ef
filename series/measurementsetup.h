#pragma once
// The set-up of a timed measurement as the pages of the "Configuration"
// sheet edit it: method and curves, x axis, interval, run time, clock
// start, step count, outputs, filter, limits and the signal outputs. The
// checks and sums the run relies on live here, headless, so that the
// pages (series/ui) and the document count steps alike - in milliseconds,
// so that 20 to 40 ms and 100 ms intervals are counted too.

#include "platform/core/cstring.h"
#include "platform/core/types.h"

#include <span>
#include <vector>

struct CMeasurementSetup
{
    enum EXAxis : int
    {
        axisTime = 0,
        axisCount = 1,
    };

    // --- "Measurement Options" (timed) and its playback form ---
    std::vector<CString> m_arrMethods;  // the method list shown (names of the descriptions)
    int m_nMethod = 0;                  // chosen description
    std::vector<std::vector<CString>> m_arrItems; // each method's items, for the curve list
    std::vector<int> m_arrCurves;       // chosen curves; empty: all
    int m_nXAxis = axisTime;
    int m_nIntervalMin = 0;
    int m_nIntervalSec = 1;
    int m_nIntervalMSec = 0;
    int m_nRunDays = 0;
    int m_nRunHours = 0;
    int m_nRunMin = 1;
    int m_nRunSec = 0; // playback only
    int m_bClockSynchron = 0;
    int m_nStartHour = 0;
    int m_nStartMin = 0;
    int m_nCount = 1;
    // Playback of a recording: its length and frame count.
    BOOL m_bPlayback = FALSE;
    int m_nPlaybackFrames = 0;

    // --- "Configuration" ---
    int m_bWriteAVI = 0;
    int m_bWriteFile = 0;
    int m_bImageFilter = 0;
    int m_nImageFilterType = 0; // 0 blur, 1 median, 2 difference image, -1 none chosen

    // --- "Signal Control" ---
    double m_dUpperLimit = 0.0;
    double m_dLowerLimit = 0.0;
    int m_bLPTExtern = 0;
    int m_nDelay1 = 0; // "Open System (Pin2)", ms
    int m_nDelay2 = 0; // "Close System (Pin1)", ms
    int m_bUwScanner = 0;
    int m_bUwScannerInfo = 1;
};

namespace kestrun {

// The most steps a run may take.
constexpr ULONGLONG kMaxMeasurementSteps = 1000000;

// One integer field of the set-up with its accepted range, for the
// pages' checks and for clamping what the profile holds.
struct sSetupField
{
    const char* name;
    int CMeasurementSetup::*field;
    int minimum;
    int maximum;
};
std::span<const sSetupField> SetupFields();

// Fields brought into their ranges (values read from the profile).
void ClampSetup(CMeasurementSetup& setup);
// The first field outside its range (where the page stays); null.
const sSetupField* FieldOutOfRange(const CMeasurementSetup& setup);

// (min × 60 + sec) × 1000 + msec.
DWORD SetupIntervalMs(const CMeasurementSetup& setup);
// ((days × 24 + hours) × 60 + min) × 60000; in playback hours, minutes
// and seconds.
ULONGLONG SetupRunTimeMs(const CMeasurementSetup& setup);
// Run time over interval, both in ms; 0 for no interval.
ULONGLONG SetupStepCount(const CMeasurementSetup& setup);

// The check of the pages on OK: empty when accepted, else the message
// the page shows (stop icon) while it stays open: a field outside its
// range, then the interval (timed page only) and the step count.
CString CheckSetup(const CMeasurementSetup& setup);

} // namespace kestrun
