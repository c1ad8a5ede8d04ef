#include "analysis/ui/watersheddlg.h"

#include "analysis/ui/analysisdlgresources.h"

#include "platform/ui/windowdc.h"

#include <utility>

using namespace kestrun::analysisui;

BEGIN_MESSAGE_MAP(CWatershedDlg, CDialog)
    ON_BN_CLICKED(IDC_WATERSHED_STEP, OnStep)
    ON_BN_CLICKED(IDC_WATERSHED_PEAK, OnPeak)
END_MESSAGE_MAP()

CWatershedDlg::CWatershedDlg(CDIB image, CWnd* pParentWnd)
    : CDialog((RegisterAnalysisDialogs(), IDD_WATERSHED), pParentWnd), m_Image(std::move(image))
{
    BuildMessageMap();
}

BOOL CWatershedDlg::OnInitDialog()
{
    const BOOL result = CDialog::OnInitDialog();
    m_Watershed.SetImage(m_Image);
    m_Watershed.Prepare();
    m_Watershed.WriteBack(m_Image);
    return result;
}

void CWatershedDlg::OnStep()
{
    m_Watershed.FloodLevel();
    Show();
}

void CWatershedDlg::OnPeak()
{
    m_Watershed.Step();
    Show();
}

void CWatershedDlg::Show()
{
    m_Watershed.WriteBack(m_Image);
    Invalidate(FALSE);
}

void CWatershedDlg::OnPaint()
{
    CPaintDC dc(this);
    CWnd* frame = GetDlgItem(IDC_WATERSHED_FRAME);
    if (frame == nullptr)
        return;
    CRect rect;
    frame->GetWindowRect(&rect);
    ScreenToClient(&rect);
    m_Image.StretchDIB(&dc, rect);
}
