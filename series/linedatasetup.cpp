// CLineDataDoc: the set-up of a run - the sheet's starting values, the
// checks, the time marks and run time it schedules and the charts.

#include "series/linedatadoc.h"

#include "series/chartsetup.h"
#include "series/curvechart.h"
#include "series/measurementsetup.h"
#include "series/runhost.h"

#include "analysis/bv.h"
#include "outside/grabwell/fgboard.h"
#include "platform/core/messagebox.h"
#include "platform/core/profile.h"
#include "platform/ui/doctemplate.h"
#include "platform/ui/frame.h"

#include <cmath>

namespace {

// The profile keys of the set-up in the kind's section.
struct sSetupKey
{
    const char* key;
    int CMeasurementSetup::*field;
    int fallback;
};

constexpr sSetupKey kSetupKeys[] = {
    {"Min", &CMeasurementSetup::m_nIntervalMin, 0},  {"mSec", &CMeasurementSetup::m_nIntervalMSec, 0},
    {"Sec", &CMeasurementSetup::m_nIntervalSec, 1},  {"RT_Days", &CMeasurementSetup::m_nRunDays, 0},
    {"RT_Hours", &CMeasurementSetup::m_nRunHours, 0}, {"RT_Min", &CMeasurementSetup::m_nRunMin, 1},
};

// Marks of the signal outputs and of the run.
constexpr DWORD kSaveEveryMs = 1800000;
constexpr DWORD kSaveFromIntervalMs = 10000;

} // namespace

CMeasurementSetup CLineDataDoc::MakeSetup()
{
    CMeasurementSetup setup;
    const CString section = GetDocTypeName();
    for (const sSetupKey& k : kSetupKeys)
        setup.*k.field = static_cast<int>(GetProfileInt(section, k.key, k.fallback));
    if (m_pEngine != nullptr) {
        m_pEngine->CreateAreaChannels();
        for (const auto& group : m_pEngine->GetAreaChannels()) {
            setup.m_arrMethods.push_back(group->m_strYName);
            auto& items = setup.m_arrItems.emplace_back();
            for (int i = 0; i < group->GetItemCount(); ++i)
                items.push_back(group->GetItem(i).m_strName);
        }
    }
    if (FGBoard* board = GetInitBoard(); board != nullptr && board->IsPlayback()) {
        const int frames = board->GetParameter(kestrun::fgparam::kRecordedFrames);
        const double rate = board->GetParameterDouble(kestrun::fgparam::kFrameRate);
        if (frames > 0 && rate > 0.0) {
            setup.m_bPlayback = TRUE;
            setup.m_nPlaybackFrames = frames;
            const auto period = static_cast<int>(std::lround(1000.0 / rate));
            setup.m_nIntervalMin = 0;
            setup.m_nIntervalSec = period / 1000;
            setup.m_nIntervalMSec = period % 1000;
            const auto seconds = static_cast<int>(std::lround(frames / rate));
            setup.m_nRunHours = seconds / 3600;
            setup.m_nRunMin = seconds / 60 % 60;
            setup.m_nRunSec = seconds % 60;
        }
    }
    setup.m_nMethod = static_cast<int>(GetProfileInt(section, setup.m_bPlayback ? "Index2" : "Index", 0));
    if (setup.m_nMethod < 0 || setup.m_nMethod >= static_cast<int>(setup.m_arrMethods.size()))
        setup.m_nMethod = 0;
    const std::time_t now = Host().Now();
    std::tm local{};
    localtime_r(&now, &local);
    setup.m_nStartHour = local.tm_hour;
    setup.m_nStartMin = local.tm_min;
    setup.m_bClockSynchron = m_bTimingSynchron;
    setup.m_bWriteAVI = m_bWriteAVI;
    setup.m_bWriteFile = m_bWriteFile;
    setup.m_bImageFilter = m_bImageFilter;
    setup.m_nImageFilterType = m_nImageFilterType;
    setup.m_dUpperLimit = m_dUpperLimit;
    setup.m_dLowerLimit = m_dLowerLimit;
    setup.m_bLPTExtern = m_bLPTExtern;
    setup.m_nDelay1 = m_nDelay1;
    setup.m_nDelay2 = m_nDelay2;
    setup.m_bUwScanner = m_bUwScanner;
    setup.m_bUwScannerInfo = m_bUwScannerInfo;
    kestrun::ClampSetup(setup);
    return setup;
}

int CLineDataDoc::ConfigureMeasurement()
{
    if (m_nDocType == kindAnalogue) {
        AfxMessageBox("Function not available");
        return 2;
    }
    CMeasurementSetup setup = MakeSetup();
    if (!Host().EditSetup(setup))
        return 2;
    return ApplySetup(setup) ? 1 : 2;
}

bool CLineDataDoc::ApplySetup(const CMeasurementSetup& setup)
{
    if (const CString refused = kestrun::CheckSetup(setup); !refused.IsEmpty()) {
        AfxMessageBox(refused, MB_ICONSTOP);
        return false;
    }
    const CDataGroupAttrib* chosen = nullptr;
    if (m_pEngine != nullptr && setup.m_nMethod >= 0 &&
        setup.m_nMethod < static_cast<int>(m_pEngine->GetAreaChannels().size()))
        chosen = m_pEngine->GetAreaChannels()[static_cast<size_t>(setup.m_nMethod)].get();
    if (chosen == nullptr) {
        AfxMessageBox("No measurement method is available.", MB_ICONEXCLAMATION);
        return false;
    }
    m_bLPTExtern = setup.m_bLPTExtern;
    m_nDelay1 = setup.m_nDelay1;
    m_nDelay2 = setup.m_nDelay2;
    m_bUwScanner = setup.m_bUwScanner;
    m_bUwScannerInfo = setup.m_bUwScannerInfo;
    if (m_bLPTExtern == 1)
        LoadDeviceEventHandler();
    const CString section = GetDocTypeName();
    WriteProfileInt(section, setup.m_bPlayback ? "Index2" : "Index", setup.m_nMethod);
    m_nMethodIndex = setup.m_nMethod;
    m_TimeMarks.Clear();
    m_nUntimedSteps = 0;

    const DWORD interval = kestrun::SetupIntervalMs(setup);
    const ULONGLONG runTime = kestrun::SetupRunTimeMs(setup);
    double xStart = 0.0;
    double xEnd = 0.0;
    double xStep = 1.0;
    if (setup.m_bPlayback) {
        xStep = interval / 1000.0;
        xEnd = runTime / 1000.0;
        m_nUntimedSteps = setup.m_nPlaybackFrames;
    } else if (setup.m_nXAxis == CMeasurementSetup::axisCount) {
        xEnd = setup.m_nCount;
    } else {
        m_bTimingSynchron = setup.m_bClockSynchron;
        if (m_bTimingSynchron) {
            const std::time_t now = Host().Now();
            std::tm start{};
            localtime_r(&now, &start);
            start.tm_hour = setup.m_nStartHour;
            start.tm_min = setup.m_nStartMin;
            start.tm_sec = 0;
            start.tm_isdst = -1;
            m_StartTime = std::mktime(&start);
            xStart = setup.m_nStartHour * 3600.0 + setup.m_nStartMin * 60.0;
        } else {
            m_StartTime = 0;
        }
        const DWORD d1 = m_nDocType != kindAnalogue ? static_cast<DWORD>(m_nDelay1) : 0;
        const DWORD d2 = m_nDocType != kindAnalogue ? static_cast<DWORD>(m_nDelay2) : 0;
        m_TimeMarks.AddMark("On1", 0, interval);
        m_TimeMarks.AddMark("Measure", d1, interval);
        m_TimeMarks.AddMark("Off", d1 + d2, interval);
        if (interval >= kSaveFromIntervalMs)
            m_TimeMarks.AddMark("Save", 0, kSaveEveryMs);
        m_TimeMarks.SetRunTime(static_cast<DWORD>(runTime + d2));
        xEnd = xStart + runTime / 1000.0;
        xStep = interval / 1000.0;
    }
    if (xStep <= 0.0)
        xStep = 1.0;
    if (xEnd < xStart + xStep)
        xEnd = xStart + xStep;

    if (Views().empty() && m_pDocTemplate != nullptr)
        if (CFrameWnd* frame = m_pDocTemplate->CreateNewFrame(this, nullptr))
            m_pDocTemplate->InitialUpdateFrame(frame, this, TRUE);

    m_Description[0].AssignNormalized(*chosen);
    if (!setup.m_arrCurves.empty()) {
        CWordArray shown;
        for (const int curve : setup.m_arrCurves)
            if (curve >= 0 && curve < m_Description[0].GetItemCount())
                shown.Add(static_cast<WORD>(curve));
        m_Description[0].SetShown(&shown);
    }
    m_Charts.resize(1);
    m_Charts.front()->ClearCurves();
    SetUpChart(0, xStart, xEnd, xStep, m_Description[0]);
    if (m_Description[0].m_strYName == "Curvature") {
        m_Description[1].AssignNormalized(*chosen);
        m_Description[1].m_strYName = "Length";
        m_Charts.push_back(std::make_unique<CCurveChart>());
        SetUpChart(1, xStart, xEnd, xStep, m_Description[1]);
    }

    m_dUpperLimit = setup.m_dUpperLimit;
    m_dLowerLimit = setup.m_dLowerLimit;
    m_bWriteAVI = setup.m_bWriteAVI;
    m_bWriteFile = setup.m_bWriteFile;
    m_bImageFilter = setup.m_bImageFilter;
    m_nImageFilterType = setup.m_nImageFilterType;
    m_nUpperState = 0;
    m_nLowerState = 0;
    for (const sSetupKey& k : kSetupKeys)
        WriteProfileInt(section, k.key, setup.*k.field);
    UpdateAllViews(nullptr, kHintSetUp);
    return true;
}

void CLineDataDoc::SetUpChart(int index, double xStart, double xEnd, double xStep, const CDataGroupAttrib& description)
{
    CCurveChart* chart = GetChart(index);
    if (chart == nullptr)
        return;
    kestrun::SetUpLineChart(*chart, description, xStart, xEnd, xStep);
    // Shares are percentages, whatever range the description offers.
    if (description.m_strYName == "Distribution") {
        chart->SetYMin(0.0);
        chart->SetYMax(100.0);
    }
}
