#include "app/selectdlg.h"

#include "app/appresources.h"
#include "app/programpictures.h"
#include "app/resource.h"

#include "platform/ui/dialogtemplate.h"

#include <QImage>

BEGIN_MESSAGE_MAP(CSelect, CDialog)
    ON_BN_CLICKED(IDC_MEASURE_AD, OnMeasureAD)
    ON_BN_CLICKED(IDC_MEASURE_BV, OnMeasureBV)
END_MESSAGE_MAP()

namespace {

// The size of a button without a picture, in dialog units.
constexpr int kTextButtonWidth = 64;
constexpr int kTextButtonHeight = 40;

} // namespace

CSelect::CSelect(CWnd* pParentWnd) : CDialog(IDD_SELECT_METHOD, pParentWnd)
{
    kestrun::RegisterAppResources();
    BuildMessageMap();
}

void CSelect::MakeButton(CButtonST& button, UINT nID, const CString& strPicture, const char* lpszText, CPoint at)
{
    const CProgramPicture* picture = FindProgramPicture(strPicture);
    const CRect textRect = kestrun::DialogUnitsToPixels(CRect(at, CSize(kTextButtonWidth, kTextButtonHeight)));
    const CRect rect = picture ? CRect(textRect.TopLeft(), CSize(picture->nWidth + 8, picture->nHeight + 8)) : textRect;
    if (!button.Create(picture ? "" : lpszText, WS_CHILD | WS_VISIBLE | WS_TABSTOP, rect, this, nID))
        return;
    if (picture == nullptr)
        return;
    const QImage image(picture->bits.data(), picture->nWidth, picture->nHeight, picture->Stride(),
                       QImage::Format_BGR888);
    // The pictures have no transparent colour: the key is one they never use.
    if (button.SetBitmaps(image.copy(), RGB(255, 0, 255)) != CButtonST::BTNST_OK)
        button.SetWindowText(lpszText);
}

BOOL CSelect::OnInitDialog()
{
    const BOOL result = CDialog::OnInitDialog();
    MakeButton(m_btnAD, IDC_MEASURE_AD, m_strPictureAD, "AD Measurement", CPoint(7, 7));
    MakeButton(m_btnBV, IDC_MEASURE_BV, m_strPictureBV, "Video Measurement", CPoint(79, 7));
    CenterWindow();
    return result;
}

void CSelect::OnMeasureAD()
{
    m_nChoice = 2;
    CDialog::OnOK();
}

void CSelect::OnMeasureBV()
{
    m_nChoice = 1;
    CDialog::OnOK();
}

void CSelect::OnCancel()
{
    m_nChoice = 0;
    CDialog::OnCancel();
}
