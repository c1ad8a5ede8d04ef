#include "analysis/ui/infodlgs.h"

#include "analysis/ui/analysisdlgresources.h"
#include "analysis/ui/infodlgresources.h"

#include "platform/core/dc.h"
#include "platform/core/messages.h"
#include "platform/ui/winapp.h"

using namespace kestrun::analysisui;

namespace {

// Half the arm of a manual-count cross: 13 pixels across.
constexpr int kCrossArm = 6;
constexpr int kNumberGap = 5;

} // namespace

// ---- CInfoToolDlg ------------------------------------------------------------------------------

CInfoToolDlg::CInfoToolDlg(UINT nIDTemplate, CWnd* pOwner)
    : CDialog((RegisterAnalysisDialogs(), nIDTemplate), pOwner), m_pOwner(pOwner)
{
}

CInfoToolDlg::~CInfoToolDlg()
{
    DestroyHandleNow();
}

BOOL CInfoToolDlg::Create()
{
    if (!CDialog::Create(m_nIDTemplate, m_pOwner))
        return FALSE;
    m_hOwner = m_pOwner != nullptr ? m_pOwner->GetSafeHwnd() : nullptr;
    ShowWindow(SW_SHOW);
    return TRUE;
}

void CInfoToolDlg::OnOK()
{
    Close(1);
}

void CInfoToolDlg::OnCancel()
{
    Close(2);
}

void CInfoToolDlg::Close(int nResult)
{
    m_nResult = nResult;
    DestroyWindow();
}

void CInfoToolDlg::OnDestroy()
{
    CDialog::OnDestroy();
    if (m_hOwner != nullptr)
        ::PostMessage(m_hOwner, kCloseReport, static_cast<WPARAM>(m_nResult), static_cast<LPARAM>(m_nIDTemplate));
    m_hOwner = nullptr;
}

// ---- CInfoLearnThres ---------------------------------------------------------------------------

CInfoLearnThres::CInfoLearnThres(CWnd* pOwner) : CInfoToolDlg(IDD_INFO_LEARN_THRES, pOwner) {}

// ---- CInfoManualCount --------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CInfoManualCount, CInfoToolDlg)
    ON_BN_CLICKED(IDC_COUNT_REMOVE, OnRemove)
END_MESSAGE_MAP()

CInfoManualCount::CInfoManualCount(CWnd* pOwner) : CInfoToolDlg(IDD_INFO_MANUAL_COUNT, pOwner)
{
    BuildMessageMap();
}

UINT CInfoManualCount::DataChangedMessage()
{
    static const UINT message = RegisterWindowMessage("DataChanged");
    return message;
}

BOOL CInfoManualCount::OnInitDialog()
{
    const BOOL result = CInfoToolDlg::OnInitDialog();
    ShowCount();
    return result;
}

void CInfoManualCount::AddPoint(int x, int y)
{
    m_arrPoints.emplace_back(x, y);
    ++m_nCount;
    ShowCount();
}

void CInfoManualCount::OnRemove()
{
    if (m_nCount <= 0 || m_arrPoints.empty())
        return;
    m_arrPoints.pop_back();
    --m_nCount;
    ShowCount();
    if (m_pOwner != nullptr && m_pOwner->GetSafeHwnd() != nullptr)
        m_pOwner->Invalidate(FALSE);
}

void CInfoManualCount::ShowCount()
{
    if (GetSafeHwnd() == nullptr)
        return;
    SetDlgItemInt(IDC_COUNT_VALUE, static_cast<UINT>(m_nCount));
    if (CWnd* remove = GetDlgItem(IDC_COUNT_REMOVE))
        remove->EnableWindow(m_nCount > 0);
}

void CInfoManualCount::DrawPoints(CDC* pDC, COLORREF color) const
{
    if (pDC == nullptr)
        return;
    CPen pen(PS_SOLID, 1, color);
    CPen* oldPen = pDC->SelectObject(&pen);
    const int oldMode = pDC->SetBkMode(TRANSPARENT);
    for (size_t i = 0; i < m_arrPoints.size(); ++i) {
        const CPoint& p = m_arrPoints[i];
        pDC->MoveTo(p.x - kCrossArm, p.y);
        pDC->LineTo(p.x + kCrossArm + 1, p.y);
        pDC->MoveTo(p.x, p.y - kCrossArm);
        pDC->LineTo(p.x, p.y + kCrossArm + 1);
        CString number;
        number.Format("%d", static_cast<int>(i + 1));
        pDC->TextOut(p.x + kNumberGap, p.y, number);
    }
    pDC->SetBkMode(oldMode);
    pDC->SelectObject(oldPen);
}

void CInfoManualCount::OnOK()
{
    if (CWnd* main = AfxGetMainWnd())
        main->SendMessageToDescendants(DataChangedMessage(), static_cast<WPARAM>(m_nCount), 0);
    Close(1);
}

// ---- CInfoDlg ----------------------------------------------------------------------------------

CInfoDlg::CInfoDlg(const CString& text, UINT nTime, CWnd* pOwner)
    : CDialog((RegisterAnalysisDialogs(), IDD_INFO), pOwner), m_strText(text), m_nTime(nTime), m_pOwner(pOwner)
{
}

CInfoDlg::~CInfoDlg()
{
    DestroyHandleNow();
}

BOOL CInfoDlg::Create()
{
    if (!CDialog::Create(IDD_INFO, m_pOwner))
        return FALSE;
    ShowWindow(SW_SHOW);
    return TRUE;
}

BOOL CInfoDlg::OnInitDialog()
{
    const BOOL result = CDialog::OnInitDialog();
    SetDlgItemText(IDC_INFO_TEXT, m_strText);
    if (m_nTimer == 0)
        m_nTimer = SetTimer(kTimerId, m_nTime, nullptr);
    return result;
}

void CInfoDlg::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != kTimerId || m_nTimer == 0) {
        CDialog::OnTimer(nIDEvent);
        return;
    }
    KillTimer(m_nTimer);
    m_nTimer = 0;
    DestroyWindow();
}

void CInfoDlg::OnDestroy()
{
    if (m_nTimer != 0) {
        KillTimer(m_nTimer);
        m_nTimer = 0;
    }
    CDialog::OnDestroy();
}
