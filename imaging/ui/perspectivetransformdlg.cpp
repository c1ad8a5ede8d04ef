#include "imaging/ui/perspectivetransformdlg.h"

#include "analysis/perspectivetransform.h"
#include "platform/core/messagebox.h"
#include "platform/core/messages.h"
#include "platform/ui/ddx.h"
#include "platform/ui/dialogtemplate.h"

#include <mutex>

IMPLEMENT_DYNAMIC(CPerspectiveTransformDlg, CDialog)

namespace {

void RegisterPerspectiveTemplate()
{
    static std::once_flag once;
    std::call_once(once, [] {
        using namespace kestrun;
        using Dlg = CPerspectiveTransformDlg;
        RegisterDialogTemplate(
            Dlg::IDD,
            {"Perspective Transformation",
             CRect(0, 0, 186, 198),
             {
                 LText("Mark 4 corners of rectangular area in the image by mouse click (1.-4.):", IDC_STATIC, 7, 7,
                       172, 18),
                 LText("1. Front left:", IDC_STATIC, 7, 30, 80, 8),
                 EditText(Dlg::IDC_FRONT_LEFT, 7, 40, 80, 12, ES_READONLY),
                 LText("2. Front right:", IDC_STATIC, 99, 30, 80, 8),
                 EditText(Dlg::IDC_FRONT_RIGHT, 99, 40, 80, 12, ES_READONLY),
                 LText("3. Back left:", IDC_STATIC, 7, 58, 80, 8),
                 EditText(Dlg::IDC_BACK_LEFT, 7, 68, 80, 12, ES_READONLY),
                 LText("4. Back right:", IDC_STATIC, 99, 58, 80, 8),
                 EditText(Dlg::IDC_BACK_RIGHT, 99, 68, 80, 12, ES_READONLY),
                 LText("Measure width and height (depth) of this area:", IDC_STATIC, 7, 92, 172, 18),
                 LText("width (mm):", IDC_STATIC, 7, 114, 60, 8),
                 EditText(Dlg::IDC_WIDTH, 70, 112, 60, 12),
                 LText("height (mm):", IDC_STATIC, 7, 132, 60, 8),
                 EditText(Dlg::IDC_HEIGHT, 70, 130, 60, 12),
                 DefPushButton("OK", IDOK, 67, 172, 50, 14),
             }});
    });
}

CString PointText(const CPoint& p)
{
    CString text;
    text.Format("%d,%d", p.x, p.y);
    return text;
}

} // namespace

BEGIN_MESSAGE_MAP(CPerspectiveTransformDlg, CDialog)
END_MESSAGE_MAP()

CPerspectiveTransformDlg::CPerspectiveTransformDlg()
{
    BuildMessageMap();
}

CPerspectiveTransformDlg::~CPerspectiveTransformDlg()
{
    DestroyHandleNow();
}

BOOL CPerspectiveTransformDlg::Create(CWnd* pOwner)
{
    RegisterPerspectiveTemplate();
    m_hOwner = pOwner != nullptr ? pOwner->GetSafeHwnd() : nullptr;
    return CDialog::Create(IDD, pOwner);
}

BOOL CPerspectiveTransformDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    ShowCorners();
    return TRUE;
}

void CPerspectiveTransformDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_WIDTH, m_Width);
    DDX_Text(pDX, IDC_HEIGHT, m_Height);
}

void CPerspectiveTransformDlg::SetTransform(CPerspectiveTransform* pTransform)
{
    m_pTransform = pTransform;
    if (pTransform != nullptr)
        pTransform->Get(m_Corners[0], m_Corners[1], m_Corners[2], m_Corners[3], m_Width, m_Height);
    if (GetSafeHwnd() != nullptr) {
        UpdateData(FALSE);
        ShowCorners();
    }
}

void CPerspectiveTransformDlg::AddPoint(int x, int y)
{
    m_Corners[static_cast<size_t>(m_nNext)] = CPoint(x, y);
    m_nNext = (m_nNext + 1) % 4;
    ShowCorners();
}

void CPerspectiveTransformDlg::ShowCorners()
{
    if (GetSafeHwnd() == nullptr)
        return;
    const int fields[] = {IDC_FRONT_LEFT, IDC_FRONT_RIGHT, IDC_BACK_LEFT, IDC_BACK_RIGHT};
    for (size_t i = 0; i < m_Corners.size(); ++i)
        SetDlgItemText(fields[i], PointText(m_Corners[i]));
}

void CPerspectiveTransformDlg::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    m_nResult = 1;
    if (m_pTransform != nullptr) {
        // Stored all the same; a transform that gives no field (corners
        // off one row, on one line, a size <= 0) keeps no matrix.
        const BOOL front = m_pTransform->Set(m_Corners[0], m_Corners[1], m_Corners[2], m_Corners[3], m_Width, m_Height);
        if (!front || !m_pTransform->Calculate())
            AfxMessageBox("Calibration not valid!");
    }
    DestroyWindow();
}

void CPerspectiveTransformDlg::OnCancel()
{
    m_nResult = 2;
    DestroyWindow();
}

void CPerspectiveTransformDlg::OnDestroy()
{
    CDialog::OnDestroy();
    if (m_hOwner != nullptr)
        ::PostMessage(m_hOwner, kCloseReport, static_cast<WPARAM>(m_nResult), kReportId);
}
