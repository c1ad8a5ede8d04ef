#pragma once
// CPlugInReport: how a camera plug-in tells the user something. A message
// box, or, when the board asked for it, "MSG_GRABBER" 25 to the host
// window with the kept text. Reports made on a camera thread are passed to
// the host thread first. Each plug-in's application object is one.

#include "platform/core/cstring.h"
#include "platform/core/messages.h"
#include "platform/core/types.h"

#include <deque>
#include <mutex>
#include <thread>

namespace kestrun::camplugin {

class CPlugInReport : private CMessageTarget
{
public:
    // relayName: the registered message that carries reports to the host
    // thread, one per plug-in.
    explicit CPlugInReport(const char* relayName);
    ~CPlugInReport() override;
    CPlugInReport(const CPlugInReport&) = delete;
    CPlugInReport& operator=(const CPlugInReport&) = delete;

    // On the host thread.
    void ReportMessage(const CString& text);
    // From any thread: on another than the host thread the text waits for
    // the host thread to pump its messages.
    void ReportFromAnyThread(const CString& text);
    const CString& LastReport() const { return m_strLastReport; }

    void SetReportToWindow(int bReport) { m_bReportToWindow = bReport; }
    int GetReportToWindow() const { return m_bReportToWindow; }
    // Null: reports go nowhere while reporting to a window. The calling
    // thread becomes the host thread.
    void SetHostWindow(HWND hWnd);
    // At Exit, on the host thread: no host window, no relay.
    void DetachHost();

private:
    LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void DestroyRelay();

    CString m_strLastReport;
    int m_bReportToWindow = 0;
    HWND m_hHostWnd = nullptr;
    UINT m_nMsgGrabber = 0;
    UINT m_nMsgRelay = 0;
    // Owned by the host thread; carries reports from other threads there.
    HWND m_hRelay = nullptr;
    std::thread::id m_hostThread;
    std::mutex m_mutex;
    std::deque<CString> m_pending;
};

// A numbered parameter's value as an int: toward zero; a value outside int
// saturates, NaN gives 0.
int ParameterToInt(double dValue);

} // namespace kestrun::camplugin
