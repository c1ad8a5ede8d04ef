#include "app/statusbarprogress.h"

#include "platform/ui/controlbar.h"
#include "platform/ui/rangectrls.h"

namespace {

constexpr UINT kProgressId = 1;

} // namespace

CStatusBarProgress::CStatusBarProgress(CStatusBar& bar) : m_bar(bar)
{
}

CStatusBarProgress::~CStatusBarProgress()
{
    EndProgress();
}

void CStatusBarProgress::BeginProgress(int lower, int upper)
{
    if (m_pCtrl == nullptr) {
        if (m_bar.GetSafeHwnd() == nullptr)
            return;
        CRect pane;
        m_bar.GetItemRect(0, &pane);
        auto ctrl = std::make_unique<CProgressCtrl>();
        if (!ctrl->Create(WS_CHILD | WS_VISIBLE, pane, &m_bar, kProgressId))
            return;
        m_pCtrl = std::move(ctrl);
    }
    m_pCtrl->SetRange32(lower, upper);
    m_pCtrl->SetPos(lower);
}

void CStatusBarProgress::SetProgressPos(int position)
{
    if (m_pCtrl)
        m_pCtrl->SetPos(position);
}

void CStatusBarProgress::EndProgress()
{
    if (m_pCtrl == nullptr)
        return;
    if (m_pCtrl->GetSafeHwnd() != nullptr)
        m_pCtrl->DestroyWindow();
    m_pCtrl.reset();
}
