#pragma once
// What the measurement tests share: a run host whose clocks move only when
// told, a simulated board and an engine that finds the simulated camera's
// objects, and documents that record their events.

#include "series/tests/seriestesting.h"

#include "analysis/bv.h"
#include "outside/grabwell/fgboard.h"
#include "series/kestrundoc.h"
#include "series/measurementsetup.h"
#include "series/runhost.h"

#include <functional>
#include <memory>
#include <vector>

namespace kestrun::testing {

class CTestRunHost : public CRunHost
{
public:
    IClock& Clock() override { return m_clock; }
    std::time_t Now() override { return m_now; }
    // Down from the (n + 1)-th question on; never with -1.
    bool IsEscapeDown() override { return m_nEscapeAfter >= 0 && ++m_nEscapeAsks > m_nEscapeAfter; }
    void SetStatusText(const CString& text) override { m_status.push_back(text); }
    void PumpMessages() override
    {
        ++m_nPumps;
        if (m_onPump)
            m_onPump();
    }
    void ShowInfo(const CString& text, UINT ms) override
    {
        m_infos.push_back(text);
        m_infoTimes.push_back(ms);
    }
    bool EditSetup(CMeasurementSetup& setup) override { return m_edit ? m_edit(setup) : false; }

    // Both clocks move on.
    void Advance(DWORD ms)
    {
        m_clock.Advance(ms);
        m_carry += ms;
        m_now += static_cast<std::time_t>(m_carry / 1000);
        m_carry %= 1000;
    }

    ManualClock m_clock{5000};
    // 1 March 2026, 08:00:00 UTC (tests run with TZ=UTC).
    std::time_t m_now = 1772352000;
    ULONGLONG m_carry = 0;
    int m_nEscapeAfter = -1;
    int m_nEscapeAsks = 0;
    int m_nPumps = 0;
    std::vector<CString> m_status;
    std::vector<CString> m_infos;
    std::vector<UINT> m_infoTimes;
    std::function<bool(CMeasurementSetup&)> m_edit;
    std::function<void()> m_onPump;
};

// A measurement document that keeps its events and may act on them.
class CRecordingDoc : public CKestrunDoc
{
public:
    void ProcessEvent(const CString& name) override
    {
        m_events.push_back(name);
        if (m_onEvent)
            m_onEvent(name);
        CKestrunDoc::ProcessEvent(name);
    }

    std::vector<CString> m_events;
    std::function<void(const CString&)> m_onEvent;
};

class CMeasurementTest : public CSeriesTest
{
protected:
    void SetUp() override;
    void TearDown() override;

    // A document of the kind over the test's engine, board and host; not
    // deleted by closing.
    std::unique_ptr<CRecordingDoc> MakeDoc(int kind = CLineDataDoc::kindImage);
    // The set-up of the method by name, interval and run time in minutes.
    CMeasurementSetup Setup(CLineDataDoc& doc, const char* method, int sec, int msec = 0, int runMin = 1);
    // Timer steps of period ms until the run ends (at most limit steps).
    int RunTimer(CLineDataDoc& doc, DWORD period, int limit = 1000);

    CTestRunHost m_host;
    CBV m_engine;
    std::unique_ptr<FGBoard> m_board;
};

} // namespace kestrun::testing
