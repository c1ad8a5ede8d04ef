#pragma once
// CPavickApp: the plug-in's application object. Every message for the user
// goes through ReportMessage: a message box, or, when the board asked for
// it, "MSG_GRABBER" 25 to the host window with the kept text.

#include "platform/core/cstring.h"
#include "platform/core/types.h"

class CPavickApp
{
public:
    CPavickApp();
    CPavickApp(const CPavickApp&) = delete;
    CPavickApp& operator=(const CPavickApp&) = delete;

    void ReportMessage(const CString& text);
    const CString& LastReport() const { return m_strLastReport; }

    void SetReportToWindow(int bReport) { m_bReportToWindow = bReport; }
    int GetReportToWindow() const { return m_bReportToWindow; }
    // Null: reports go nowhere while reporting to a window.
    void SetHostWindow(HWND hWnd) { m_hHostWnd = hWnd; }

private:
    CString m_strLastReport;
    int m_bReportToWindow = 0;
    HWND m_hHostWnd = nullptr;
    UINT m_nMsgGrabber = 0;
};

CPavickApp& PavickApp();
