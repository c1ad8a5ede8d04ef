#include "imaging/ui/toolloopdlg.h"

#include "imaging/dibdoc.h"

#include "outside/grabwell/fgboard.h"
#include "platform/core/messagebox.h"
#include "platform/core/messages.h"

IMPLEMENT_DYNAMIC(CToolLoopDlg, CDialog)

CToolLoopDlg::CToolLoopDlg(UINT nIDTemplate, CWnd* pOwner)
    : CDialog(nIDTemplate, pOwner), m_hOwner(pOwner != nullptr ? pOwner->GetSafeHwnd() : nullptr)
{
}

CToolLoopDlg::~CToolLoopDlg()
{
    DestroyHandleNow();
}

BOOL CToolLoopDlg::Create(CDIBDoc* pDoc)
{
    m_pDoc = pDoc;
    return CDialog::Create(m_nIDTemplate, m_pParentWnd);
}

void CToolLoopDlg::PostCloseReport(WPARAM wParam, LPARAM lParam)
{
    if (m_hOwner != nullptr)
        ::PostMessage(m_hOwner, kCloseReport, wParam, lParam);
}

void CToolLoopDlg::Retire(std::unique_ptr<CToolLoopDlg> self)
{
    m_hOwner = nullptr;
    if (!IsInLoop())
        return; // self goes here
    m_bRetired = true;
    StopLoop();
    m_pSelf = std::move(self);
    // The window goes while the document is still there; after that the
    // running pass must not reach it.
    if (GetSafeHwnd() != nullptr)
        DestroyWindow();
    m_pDoc = nullptr;
}

bool CToolLoopDlg::LeaveLoop()
{
    --m_nLoopDepth;
    if (m_nLoopDepth > 0 || !m_pSelf)
        return !m_bRetired;
    // Nothing of this object may be touched after the reset.
    std::unique_ptr<CToolLoopDlg> self = std::move(m_pSelf);
    self.reset();
    return false;
}

bool CToolLoopDlg::GrabFrame()
{
    if (m_pDoc == nullptr)
        return false;
    if (!m_pDoc->IsVideo() || GetFG() == nullptr) {
        AfxMessageBox("No live video for this image");
        return false;
    }
    // A failed grab was reported by the board.
    if (!m_pDoc->Grab(FALSE))
        return false;
    m_pDoc->RedrawImage(FALSE);
    return true;
}
