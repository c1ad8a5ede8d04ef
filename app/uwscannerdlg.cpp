#include "app/uwscannerdlg.h"

#include "app/appresources.h"
#include "app/resource.h"

#include "imaging/uwscanner.h"
#include "outside/grabwell/fgboard.h"
#include "platform/core/messages.h"
#include "platform/ui/ddx.h"

BEGIN_MESSAGE_MAP(CUwScannerDlg, CDialog)
    ON_COMMAND_RANGE(IDC_SCANNER1_MEASURE, IDC_SCANNER3_INSITU, OnLidButton)
    ON_COMMAND_RANGE(IDC_UWS_VIDEO1, IDC_UWS_VIDEO3, OnVideo)
END_MESSAGE_MAP()

namespace {

constexpr int kMeasureMode = 1;
constexpr int kInsituMode = 0;
constexpr int kSetFlag = 1;

} // namespace

CUwScannerDlg::CUwScannerDlg(CUwScanner& scanner, CWnd* pParent)
    : CDialog(static_cast<UINT>(IDD_UWSCANNER), pParent), m_scanner(scanner), m_pParent(pParent)
{
    kestrun::RegisterAppResources();
    BuildMessageMap();
}

BOOL CUwScannerDlg::Create()
{
    if (!CDialog::Create(m_nIDTemplate, m_pParent))
        return FALSE;
    m_hParent = m_pParent != nullptr ? m_pParent->GetSafeHwnd() : nullptr;
    m_bAutoDelete = true;
    ShowWindow(SW_SHOW);
    return TRUE;
}

void CUwScannerDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    for (int i = 0; i < kScanners; ++i)
        DDX_Radio(pDX, static_cast<int>(IDC_SCANNER1_MEASURE) + 2 * i, m_nScanner[static_cast<size_t>(i)]);
}

BOOL CUwScannerDlg::OnInitDialog()
{
    m_scanner.Load();
    for (int i = 0; i < kScanners; ++i)
        m_nScanner[static_cast<size_t>(i)] = m_scanner.GetLidPosition(i + 1) == kInsituPosition ? 1 : 0;
    return CDialog::OnInitDialog();
}

void CUwScannerDlg::OnLidButton(UINT nID)
{
    const int offset = static_cast<int>(nID - IDC_SCANNER1_MEASURE);
    const int scanner = offset / 2 + 1;
    if (offset % 2 == 0) {
        m_scanner.SetScanner(scanner, kMeasureMode, kSetFlag);
        SetInputChannel(scanner - 1);
    } else {
        m_scanner.SetScanner(scanner, kInsituMode, kSetFlag);
    }
}

void CUwScannerDlg::OnVideo(UINT nID)
{
    SetInputChannel(static_cast<int>(nID - IDC_UWS_VIDEO1));
}

void CUwScannerDlg::SetInputChannel(int nChannel)
{
    FGBoard* board = GetFG();
    if (board != nullptr && board->IsInit())
        board->SetInpChannel(static_cast<BYTE>(nChannel));
}

void CUwScannerDlg::OnOK()
{
    UpdateData(TRUE);
    DestroyWindow();
}

void CUwScannerDlg::OnCancel()
{
    DestroyWindow();
}

void CUwScannerDlg::OnDestroy()
{
    CDialog::OnDestroy();
    // Posted: the application forgets the dialog after it is gone.
    if (m_hParent != nullptr)
        ::PostMessage(m_hParent, WM_UWSCANNER_GONE, 1, IDD_UWSCANNER);
    m_hParent = nullptr;
}

void CUwScannerDlg::PostNcDestroy()
{
    CDialog::PostNcDestroy();
    if (m_bAutoDelete)
        delete this;
}
