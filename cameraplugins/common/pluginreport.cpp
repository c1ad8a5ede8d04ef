#include "cameraplugins/common/pluginreport.h"

#include "cameraplugins/fgplugin.h"

#include "platform/core/messagebox.h"

#include <cmath>
#include <limits>

namespace kestrun::camplugin {

CPlugInReport::CPlugInReport(const char* relayName)
    : m_nMsgGrabber(::RegisterWindowMessage(kMsgGrabber)), m_nMsgRelay(::RegisterWindowMessage(relayName))
{
}

// The relay goes at Exit: at process exit the window table may be gone.
CPlugInReport::~CPlugInReport() = default;

void CPlugInReport::DetachHost()
{
    std::lock_guard lock(m_mutex);
    DestroyRelay();
    m_hHostWnd = nullptr;
    m_pending.clear();
}

void CPlugInReport::DestroyRelay()
{
    if (m_hRelay != nullptr && std::this_thread::get_id() == m_hostThread)
        kestrun::DestroyWindowHandle(m_hRelay);
    m_hRelay = nullptr;
}

void CPlugInReport::SetHostWindow(HWND hWnd)
{
    m_hHostWnd = hWnd;
    if (m_hRelay == nullptr || m_hostThread != std::this_thread::get_id()) {
        std::lock_guard lock(m_mutex);
        DestroyRelay();
        m_hostThread = std::this_thread::get_id();
        m_hRelay = kestrun::CreateWindowHandle(this);
    }
}

void CPlugInReport::ReportMessage(const CString& text)
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

void CPlugInReport::ReportFromAnyThread(const CString& text)
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

LRESULT CPlugInReport::OnWindowMessage(UINT message, WPARAM, LPARAM)
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

int ParameterToInt(double dValue)
{
    if (std::isnan(dValue))
        return 0;
    if (dValue >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (dValue <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(dValue);
}

} // namespace kestrun::camplugin
