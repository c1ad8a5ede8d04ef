#pragma once
// What a measurement run needs of the world around it: the tick clock and
// the wall clock, the Escape key, the status bar, the message pump, the
// information window and the set-up sheet. The program's window layer
// installs its own (Escape from the keyboard, the sheet of series/ui);
// tests install one that moves time by hand, so no test sleeps.

#include "platform/core/clock.h"
#include "platform/core/cstring.h"

#include <ctime>
#include <memory>

class CInfoDlg;
struct CMeasurementSetup;

class CRunHost
{
public:
    CRunHost();
    virtual ~CRunHost();
    CRunHost(const CRunHost&) = delete;
    CRunHost& operator=(const CRunHost&) = delete;

    // Milliseconds of the run clock (tick counter of the time marks).
    virtual kestrun::IClock& Clock();
    // The calendar time now.
    virtual std::time_t Now();
    // The Escape key is down, or was pressed since the last call (ends the
    // untimed loop and Count All).
    virtual bool IsEscapeDown() { return false; }
    // Pane 0 of the main frame's status bar.
    virtual void SetStatusText(const CString& text);
    // Pending window messages are handled.
    virtual void PumpMessages();
    // A modeless information window showing the text for ms milliseconds.
    virtual void ShowInfo(const CString& text, UINT ms);
    // The "Configuration" sheet on the set-up; true when accepted. The
    // sheet keeps a page open while kestrun::CheckSetup refuses it. The
    // window layer's host shows it; headless nothing is accepted.
    virtual bool EditSetup(CMeasurementSetup& setup);

private:
    std::unique_ptr<CInfoDlg> m_pInfo; // one at a time
};

namespace kestrun {

// The host runs use unless given another; the window layer may replace
// it (null restores the plain one). Not owned.
CRunHost& GetRunHost();
void SetRunHost(CRunHost* host);

} // namespace kestrun
