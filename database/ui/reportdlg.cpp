#include "database/ui/reportdlg.h"

#include "platform/ui/dialogtemplate.h"

#include <mutex>

namespace {

constexpr UINT IDC_BROWSER = 2513;
constexpr UINT IDC_PRINT = 2514;
constexpr UINT IDC_SAVE = 2515;
constexpr UINT IDC_COPY = 2516;

UINT RegisterReportDialog()
{
    static std::once_flag once;
    std::call_once(once, [] {
        kestrun::RegisterDialogTemplate(CReportDlg::IDD,
                                        {"Report",
                                         CRect(0, 0, 431, 330),
                                         {
                                             kestrun::PushButton("&Print", IDC_PRINT, 7, 309, 72, 14),
                                             kestrun::PushButton("&Save", IDC_SAVE, 95, 309, 72, 14),
                                             kestrun::PushButton("&Copy to clipboard", IDC_COPY, 183, 309, 72, 14),
                                             kestrun::DefPushButton("Close", IDOK, 352, 309, 72, 14),
                                         }});
    });
    return CReportDlg::IDD;
}

} // namespace

BEGIN_MESSAGE_MAP(CReportDlg, CScaleDlg)
    ON_BN_CLICKED(IDC_PRINT, OnPrint)
    ON_BN_CLICKED(IDC_SAVE, OnSave)
    ON_BN_CLICKED(IDC_COPY, OnCopy)
END_MESSAGE_MAP()

CReportDlg::CReportDlg(CWnd* pParentWnd) : CScaleDlg(RegisterReportDialog(), pParentWnd)
{
    BuildMessageMap();
}

CReportDlg::~CReportDlg()
{
    DestroyHandleNow();
}

void CReportDlg::SetOutputPath(const CString& path)
{
    m_report.SetOutputPath(path);
    m_strURL = path;
}

int CReportDlg::SetResultTable(const CMapStringToString& values, int nColumns, const CStringArray* pCells)
{
    m_pCells = pCells;
    m_nColumns = nColumns;
    return FillResultTable(m_report, values, nColumns, pCells);
}

CString CReportDlg::GetCellText(int nRow, int nColumn) const
{
    return GetResultCell(m_pCells, m_nColumns, nRow, nColumn);
}

void CReportDlg::OnCreateControls()
{
    CScaleDlg::OnCreateControls();
    m_browser.Create(nullptr, nullptr, WS_VISIBLE | WS_CHILD, kestrun::DialogUnitsToPixels(CRect(3, 3, 429, 303)),
                     this, IDC_BROWSER);
}

BOOL CReportDlg::OnInitDialog()
{
    EnableScaling(FALSE);
    CScaleDlg::OnInitDialog();
    if (!m_strURL.IsEmpty())
        m_browser.Navigate(m_strURL);
    return TRUE;
}

void CReportDlg::OnPrint()
{
    m_browser.ExecWB(CWebBrowser2::kCmdPrint, 0);
}

void CReportDlg::OnSave()
{
    m_browser.ExecWB(CWebBrowser2::kCmdSaveAs, 0);
}

void CReportDlg::OnCopy()
{
    m_browser.ExecWB(CWebBrowser2::kCmdSelectAll, 0);
    m_browser.ExecWB(CWebBrowser2::kCmdCopy, 0);
}
