#include "series/runhost.h"

#include "analysis/ui/infodlgs.h"
#include "platform/core/messages.h"
#include "platform/ui/frame.h"
#include "platform/ui/winapp.h"

#include <memory>

CRunHost::CRunHost() = default;

CRunHost::~CRunHost() = default;

kestrun::IClock& CRunHost::Clock()
{
    return kestrun::DefaultClock();
}

std::time_t CRunHost::Now()
{
    return std::time(nullptr);
}

void CRunHost::SetStatusText(const CString& text)
{
    if (auto* frame = dynamic_cast<CFrameWnd*>(AfxGetMainWnd()))
        frame->SetMessageText(text);
}

void CRunHost::PumpMessages()
{
    ::kestrun::PumpMessages();
}

void CRunHost::ShowInfo(const CString& text, UINT ms)
{
    // A new text replaces the window still showing.
    m_pInfo = std::make_unique<CInfoDlg>(text, ms, AfxGetMainWnd());
    if (!m_pInfo->Create())
        m_pInfo.reset();
}

bool CRunHost::EditSetup(CMeasurementSetup&)
{
    // Headless there is no sheet to show: nothing is accepted.
    return false;
}

namespace kestrun {

namespace {

CRunHost* g_host = nullptr;

} // namespace

CRunHost& GetRunHost()
{
    static CRunHost plain;
    return g_host != nullptr ? *g_host : plain;
}

void SetRunHost(CRunHost* host)
{
    g_host = host;
}

} // namespace kestrun
