#include "imaging/ui/aviqualitydlg.h"

#include "imaging/avi.h"

#include "platform/ui/ddx.h"
#include "platform/ui/dialogtemplate.h"
#include "platform/ui/rangectrls.h"
#include "platform/ui/winapp.h"

#include <mutex>

namespace {

constexpr int kMinQuality = 1;
constexpr int kMaxQuality = 100;

UINT registeredTemplate()
{
    static std::once_flag once;
    std::call_once(once, [] {
        using namespace kestrun;
        using D = CAviQualityDlg;
        RegisterDialogTemplate(D::IDD, {"Video Compression",
                                        CRect(0, 0, 200, 62),
                                        {
                                            LText("JPEG quality (1-100)", IDC_STATIC, 7, 7, 120, 8),
                                            Slider(D::IDC_QUALITY_SLIDER, 7, 19, 150, 14, TBS_HORZ | WS_TABSTOP),
                                            EditText(D::IDC_QUALITY_EDIT, 161, 19, 32, 12),
                                            DefPushButton("OK", IDOK, 89, 41, 50, 14),
                                            PushButton("Cancel", IDCANCEL, 143, 41, 50, 14),
                                        }});
    });
    return CAviQualityDlg::IDD;
}

} // namespace

CAviQualityDlg::CAviQualityDlg(CWnd* pParentWnd) : CDialog(registeredTemplate(), pParentWnd) {}

CAviQualityDlg::~CAviQualityDlg()
{
    DestroyHandleNow();
}

BOOL CAviQualityDlg::OnInitDialog()
{
    if (auto* slider = DYNAMIC_DOWNCAST(CSliderCtrl, GetDlgItem(static_cast<int>(IDC_QUALITY_SLIDER))))
        slider->SetRange(kMinQuality, kMaxQuality);
    return CDialog::OnInitDialog();
}

void CAviQualityDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    if (!pDX->m_bSaveAndValidate)
        DDX_Slider(pDX, static_cast<int>(IDC_QUALITY_SLIDER), m_nQuality);
    DDX_Text(pDX, static_cast<int>(IDC_QUALITY_EDIT), m_nQuality);
    DDV_MinMaxInt(pDX, m_nQuality, kMinQuality, kMaxQuality);
}

void CAviQualityDlg::OnHScroll(UINT nSBCode, UINT nPos, CWnd* pScrollBar)
{
    if (const auto* slider = DYNAMIC_DOWNCAST(CSliderCtrl, GetDlgItem(static_cast<int>(IDC_QUALITY_SLIDER))))
        SetDlgItemInt(static_cast<int>(IDC_QUALITY_EDIT), static_cast<UINT>(slider->GetPos()));
    CDialog::OnHScroll(nSBCode, nPos, pScrollBar);
}

namespace kestrun {

void InstallAviQualityChooser()
{
    CAVI::SetQualityChooser([](int& nQuality) -> BOOL {
        CAviQualityDlg dialog(AfxGetMainWnd());
        dialog.m_nQuality = nQuality;
        if (dialog.DoModal() != IDOK)
            return FALSE;
        nQuality = dialog.m_nQuality;
        return TRUE;
    });
}

void RemoveAviQualityChooser()
{
    CAVI::SetQualityChooser(nullptr);
}

} // namespace kestrun
