#include "cameraplugins/powershot/pavickapp.h"

#include "cameraplugins/fgplugin.h"

#include "platform/core/messagebox.h"
#include "platform/core/messages.h"

using namespace kestrun::camplugin;

CPavickApp::CPavickApp() : m_nMsgGrabber(::RegisterWindowMessage(kMsgGrabber)) {}

void CPavickApp::ReportMessage(const CString& text)
{
    m_strLastReport = text;
    if (m_bReportToWindow == 0) {
        AfxMessageBox(m_strLastReport, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    // The text stays valid until the next report.
    if (m_hHostWnd != nullptr)
        ::SendMessage(m_hHostWnd, m_nMsgGrabber, kGrabberReport,
                      reinterpret_cast<LPARAM>(m_strLastReport.GetString()));
}

CPavickApp& PavickApp()
{
    static CPavickApp app;
    return app;
}
