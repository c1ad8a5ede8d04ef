#include "analysis/ui/thresextdlg.h"

#include "analysis/ui/analysisdlgresources.h"
#include "analysis/ui/parameterfile.h"

#include "platform/core/messagebox.h"
#include "platform/ui/ddx.h"

using namespace kestrun::analysisui;

namespace {

constexpr const char* kSection = "Threshold";

} // namespace

BEGIN_MESSAGE_MAP(CThresExtDlg, CDialog)
    ON_BN_CLICKED(IDC_THRES_MARK, OnMarkColor)
    ON_BN_CLICKED(IDC_THRES_LOAD, OnLoad)
    ON_BN_CLICKED(IDC_THRES_SAVE, OnSave)
END_MESSAGE_MAP()

CThresExtDlg::CThresExtDlg(CWnd* pParentWnd) : CDialog((RegisterAnalysisDialogs(), IDD_THRES_EXPERT), pParentWnd)
{
    BuildMessageMap();
}

BOOL CThresExtDlg::OnInitDialog()
{
    const BOOL result = CDialog::OnInitDialog();
    ShowMarkColor();
    return result;
}

void CThresExtDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Check(pDX, IDC_THRES_AUTO_ON, m_bFlag);
}

void CThresExtDlg::ShowMarkColor()
{
    CString text;
    text.Format("%d", GetGValue(m_SegThres.m_MarkColor));
    SetDlgItemText(IDC_THRES_MARK_VALUE, text);
}

void CThresExtDlg::OnMarkColor()
{
    m_SegThres.InvertMarkColor();
    ShowMarkColor();
}

void CThresExtDlg::OnLoad()
{
    const CString path = AskParameterFile(true, "Load Parameter", this, m_strFilePath);
    if (path.IsEmpty() || !HasParameterSection(path, kSection))
        return;
    CSegThres loaded = m_SegThres;
    loaded.ReadProfile(kSection, path);
    if (!loaded.IsSound()) {
        AfxMessageBox(FormatString("%s holds no usable threshold; the threshold is unchanged.",
                                   static_cast<const char*>(path)),
                      MB_ICONEXCLAMATION);
        return;
    }
    m_SegThres = loaded;
    ShowMarkColor();
}

void CThresExtDlg::OnSave()
{
    const CString path = AskParameterFile(false, "Save Parameter", this, m_strFilePath);
    if (path.IsEmpty())
        return;
    WriteParameterFile(path, [this](const CString& file) { m_SegThres.WriteProfile(kSection, file); });
}
