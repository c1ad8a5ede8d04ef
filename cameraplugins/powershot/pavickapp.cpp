#include "cameraplugins/powershot/pavickapp.h"

#include "cameraplugins/fgplugin.h"

#include "platform/core/messagebox.h"

using namespace kestrun::camplugin;

CPavickApp::CPavickApp()
    : m_nMsgGrabber(::RegisterWindowMessage(kMsgGrabber)),
      m_nMsgRelay(::RegisterWindowMessage("Pavick report from a camera thread"))
{
}

// The relay goes at Exit: at process exit the window table may be gone.
CPavickApp::~CPavickApp() = default;

void CPavickApp::DetachHost()
{
    std::lock_guard lock(m_mutex);
    DestroyRelay();
    m_hHostWnd = nullptr;
    m_pending.clear();
}

void CPavickApp::DestroyRelay()
{
    if (m_hRelay != nullptr && std::this_thread::get_id() == m_hostThread)
        kestrun::DestroyWindowHandle(m_hRelay);
    m_hRelay = nullptr;
}

void CPavickApp::SetHostWindow(HWND hWnd)
{
    m_hHostWnd = hWnd;
    if (m_hRelay == nullptr || m_hostThread != std::this_thread::get_id()) {
        std::lock_guard lock(m_mutex);
        DestroyRelay();
        m_hostThread = std::this_thread::get_id();
        m_hRelay = kestrun::CreateWindowHandle(this);
    }
}

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

void CPavickApp::ReportFromAnyThread(const CString& text)
{
    HWND relay = nullptr;
    {
        std::lock_guard lock(m_mutex);
        if (m_hRelay != nullptr && std::this_thread::get_id() != m_hostThread) {
            relay = m_hRelay;
            m_pending.push_back(text);
        }
    }
    if (relay == nullptr)
        ReportMessage(text);
    else
        ::PostMessage(relay, m_nMsgRelay, 0, 0);
}

LRESULT CPavickApp::OnWindowMessage(UINT message, WPARAM, LPARAM)
{
    if (message != m_nMsgRelay)
        return 0;
    for (;;) {
        CString text;
        {
            std::lock_guard lock(m_mutex);
            if (m_pending.empty())
                break;
            text = m_pending.front();
            m_pending.pop_front();
        }
        ReportMessage(text);
    }
    return 0;
}

CPavickApp& PavickApp()
{
    static CPavickApp app;
    return app;
}
