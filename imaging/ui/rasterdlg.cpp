#include "imaging/ui/rasterdlg.h"

#include "imaging/dibdoc.h"

#include "analysis/aoidoc.h"
#include "analysis/aoistatistics.h"
#include "platform/core/gdi.h"
#include "platform/ui/dialogtemplate.h"
#include "platform/ui/view.h"
#include "platform/ui/windowdc.h"

#include <cmath>
#include <mutex>

IMPLEMENT_DYNAMIC(CRasterDlg, CDialog)

namespace {

constexpr int kGreyChannel = 3;
constexpr int kTextureStep = 2;
constexpr COLORREF kDarkestColour = RGB(255, 0, 0);
constexpr COLORREF kBrightestColour = RGB(0, 0, 255);

void RegisterRasterTemplate()
{
    static std::once_flag once;
    std::call_once(once, [] {
        using namespace kestrun;
        using Dlg = CRasterDlg;
        RegisterDialogTemplate(Dlg::IDD,
                               {"Raster Analysis",
                                CRect(0, 0, 186, 156),
                                {
                                    ListControl(Dlg::IDC_RESULTS, 7, 7, 172, 120,
                                                LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS),
                                    PushButton("Scan", Dlg::IDC_SCAN, 7, 135, 50, 14),
                                    DefPushButton("OK", IDOK, 129, 135, 50, 14),
                                }});
    });
}

} // namespace

BEGIN_MESSAGE_MAP(CRasterDlg, CDialog)
    ON_BN_CLICKED(IDC_SCAN, OnScan)
END_MESSAGE_MAP()

CRasterDlg::CRasterDlg(CView* pOwnerView)
    : CDialog((RegisterRasterTemplate(), IDD), pOwnerView), m_pOwnerView(pOwnerView),
      m_hOwner(pOwnerView != nullptr ? pOwnerView->GetSafeHwnd() : nullptr)
{
    BuildMessageMap();
}

CRasterDlg::~CRasterDlg()
{
    DestroyHandleNow();
}

BOOL CRasterDlg::Create(CDIBDoc* pDoc)
{
    m_pDoc = pDoc;
    return CDialog::Create(IDD, m_pParentWnd);
}

BOOL CRasterDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_List.SubclassDlgItem(IDC_RESULTS, this);
    m_List.InsertColumn(0, "Index", LVCFMT_LEFT, 40);
    m_List.InsertColumn(1, "Color", LVCFMT_LEFT, 50);
    m_List.InsertColumn(2, "Struktur", LVCFMT_LEFT, 60);
    Compute();
    FillList();
    return TRUE;
}

void CRasterDlg::OnScan()
{
    CAOIDoc* areas = m_pDoc != nullptr ? m_pDoc->GetDataDoc() : nullptr;
    CAOI* area = areas != nullptr ? areas->GetActiveAOI(true) : nullptr;
    if (area == nullptr)
        return;
    m_Raster.Create(*area, kCells, kCells, 0);
    DrawInView([this](CDC& dc) { m_Raster.Draw(&dc); });
    Compute();
    DrawInView([this](CDC& dc) { Outline(&dc); });
    FillList();
}

void CRasterDlg::Compute()
{
    const int cells = static_cast<int>(m_Raster.GetSize());
    const CDIB* page = m_pDoc != nullptr ? m_pDoc->GetActiveDIB() : nullptr;
    if (cells == 0 || page == nullptr)
        return;
    m_Grey.Reset();
    m_Texture.Reset();
    for (int i = 0; i < cells; ++i) {
        const CAOI2& cell = m_Raster[i];
        Color_Double mean;
        Color_Double spread;
        ComputeColorStatistics(cell, *page, mean, spread);
        m_Grey.AddInt(static_cast<int>(std::lround(mean.GetGray())));
        double homogeneity = 0.0;
        double energy = 0.0;
        double contrast = 0.0;
        double entropy = 0.0;
        ComputeTexture(cell, *page, kGreyChannel, &energy, &contrast, &entropy, &homogeneity, kTextureStep);
        m_Texture.AddDouble(homogeneity);
    }
}

int CRasterDlg::GetDarkestCell() const
{
    double low = 0.0, high = 0.0, iLow = -1.0, iHigh = -1.0;
    m_Grey.GetMinMax(low, high, iLow, iHigh);
    return static_cast<int>(iLow);
}

int CRasterDlg::GetBrightestCell() const
{
    double low = 0.0, high = 0.0, iLow = -1.0, iHigh = -1.0;
    m_Grey.GetMinMax(low, high, iLow, iHigh);
    return static_cast<int>(iHigh);
}

void CRasterDlg::Outline(CDC* pDC) const
{
    if (pDC == nullptr || m_Grey.GetUsedCount() == 0)
        return;
    CPen red(PS_SOLID, 1, kDarkestColour);
    CPen* old = pDC->SelectObject(&red);
    m_Raster.DrawCell(pDC, GetDarkestCell());
    CPen blue(PS_SOLID, 1, kBrightestColour);
    pDC->SelectObject(&blue);
    m_Raster.DrawCell(pDC, GetBrightestCell());
    pDC->SelectObject(old);
}

template <class Draw>
void CRasterDlg::DrawInView(Draw draw) const
{
    if (m_pOwnerView == nullptr || m_pOwnerView->GetSafeHwnd() == nullptr)
        return;
    CClientDC dc(m_pOwnerView);
    m_pOwnerView->OnPrepareDC(&dc);
    draw(dc);
}

void CRasterDlg::FillList()
{
    if (m_List.GetSafeHwnd() == nullptr)
        return;
    m_List.DeleteAllItems();
    for (int i = 0; i < m_Grey.GetUsedCount(); ++i) {
        CString text;
        text.Format("%d", i + 1);
        const int row = m_List.InsertItem(i, text);
        text.Format("%d", static_cast<int>(m_Grey.GetAt(i)));
        m_List.SetItemText(row, 1, text);
        text.Format("%lf", m_Texture.GetAt(i));
        m_List.SetItemText(row, 2, text);
    }
}

void CRasterDlg::OnOK()
{
    DestroyWindow();
}

void CRasterDlg::OnCancel()
{
    DestroyWindow();
}

void CRasterDlg::OnDestroy()
{
    CDialog::OnDestroy();
    if (m_hOwner != nullptr)
        ::PostMessage(m_hOwner, kCloseReport, 1, kReportId);
}
