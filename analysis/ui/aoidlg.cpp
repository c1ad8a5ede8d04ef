#include "analysis/ui/aoidlg.h"

#include "analysis/aoi.h"
#include "analysis/aoidoc.h"
#include "analysis/aoiraster.h"
#include "analysis/ui/aoidlgresources.h"
#include "analysis/ui/aoiowner.h"

#include "platform/core/messagebox.h"
#include "platform/ui/colbutton.h"
#include "platform/ui/commondialogs.h"
#include "platform/ui/ddx.h"

#include <climits>

using namespace kestrun::analysisui;

BEGIN_MESSAGE_MAP(CAOIDlg, CDialog)
    ON_BN_CLICKED(IDC_AOI_UP, OnUp)
    ON_BN_CLICKED(IDC_AOI_DOWN, OnDown)
    ON_BN_CLICKED(IDC_AOI_LEFT, OnLeft)
    ON_BN_CLICKED(IDC_AOI_RIGHT, OnRight)
    ON_BN_CLICKED(IDC_AOI_MODIFY, OnModify)
    ON_BN_CLICKED(IDC_AOI_ADD, OnAdd)
    ON_BN_CLICKED(IDC_AOI_COLOR, OnColor)
    ON_BN_CLICKED(IDC_AOI_SELECT_ACTIVE, OnSelect)
    ON_BN_CLICKED(IDC_AOI_SELECT_ALL, OnSelect)
END_MESSAGE_MAP()

CAOIDlg::CAOIDlg(CAOIOwner* pOwner) : CDialog((RegisterAOIDialogs(), IDD_AOI), nullptr), m_pOwner(pOwner)
{
    BuildMessageMap();
}

CAOIDlg::~CAOIDlg()
{
    DestroyHandleNow();
}

BOOL CAOIDlg::Create(CWnd* pParentWnd)
{
    return CDialog::Create(IDD_AOI, pParentWnd);
}

BOOL CAOIDlg::OnInitDialog()
{
    const BOOL result = CDialog::OnInitDialog();
    CWnd* owner = m_pOwner != nullptr ? m_pOwner->GetOwnerWnd() : nullptr;
    m_hOwner = owner != nullptr ? owner->GetSafeHwnd() : nullptr;
    auto swatch = std::make_unique<CColButton>();
    if (swatch->SubclassDlgItem(IDC_AOI_SWATCH, this))
        m_pSwatch = AddControl(std::move(swatch));
    SetDlgItemText(IDC_AOI_ADD, "Add off");
    ShowColor();
    RefreshFromActiveAOI();
    return result;
}

void CAOIDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_AOI_X, m_nX);
    DDX_Text(pDX, IDC_AOI_Y, m_nY);
    DDX_Text(pDX, IDC_AOI_WIDTH, m_nWidth);
    DDV_MinMaxInt(pDX, m_nWidth, 1, INT_MAX);
    DDX_Text(pDX, IDC_AOI_HEIGHT, m_nHeight);
    DDV_MinMaxInt(pDX, m_nHeight, 1, INT_MAX);
    DDX_Text(pDX, IDC_AOI_ANGLE, m_nAngle);
    DDX_Text(pDX, IDC_AOI_RING_WIDTH, m_nRingWidth);
    DDV_MinMaxInt(pDX, m_nRingWidth, 2, 100);
    DDX_Radio(pDX, IDC_AOI_SELECT_ACTIVE, m_nSelect);
    DDX_Text(pDX, IDC_AOI_RASTER_X, m_nRasterX);
    DDV_MinMaxInt(pDX, m_nRasterX, 0, 100);
    DDX_Text(pDX, IDC_AOI_RASTER_Y, m_nRasterY);
    DDV_MinMaxInt(pDX, m_nRasterY, 0, 100);
    DDX_Text(pDX, IDC_AOI_BORDER, m_nBorder);
    DDV_MinMaxInt(pDX, m_nBorder, 0, 50);
}

bool CAOIDlg::HasAOIs() const
{
    CAOIDoc* doc = m_pOwner != nullptr ? m_pOwner->GetAOIDoc() : nullptr;
    return doc != nullptr && doc->GetAOICount() > 0;
}

CRect CAOIDlg::ImageRect() const
{
    return m_pOwner->GetAOIDoc()->GetImageRect();
}

void CAOIDlg::Repaint()
{
    if (m_pOwner != nullptr)
        m_pOwner->RedrawView();
}

void CAOIDlg::RefreshFromActiveAOI()
{
    CAOI* aoi = HasAOIs() ? m_pOwner->GetAOIDoc()->GetActiveAOI(true) : nullptr;
    if (aoi == nullptr) {
        m_nX = m_nY = m_nWidth = m_nHeight = 0;
    } else {
        m_nX = aoi->GetLeft();
        m_nY = aoi->GetTop();
        m_nWidth = aoi->GetWidth();
        m_nHeight = aoi->GetHeight();
        const int type = aoi->GetType();
        if (CWnd* angle = GetDlgItem(IDC_AOI_ANGLE))
            angle->EnableWindow(type == CAOI::typeEllipse);
        const auto* ring = type == CAOI::typeRing ? static_cast<const CAOIRing*>(aoi) : nullptr;
        if (ring != nullptr)
            m_nRingWidth = ring->GetRingWidth();
        if (CWnd* width = GetDlgItem(IDC_AOI_RING_WIDTH))
            width->EnableWindow(ring != nullptr);
        const CAOIRaster* raster = aoi->GetRaster();
        if (raster != nullptr) {
            m_nRasterX = raster->GetColumns();
            m_nRasterY = raster->GetRows();
            m_nBorder = raster->GetFrame();
        }
        if (CWnd* border = GetDlgItem(IDC_AOI_BORDER))
            border->EnableWindow(raster != nullptr);
    }
    if (GetSafeHwnd() != nullptr)
        UpdateData(FALSE);
}

void CAOIDlg::MoveAOI(int dx, int dy)
{
    if (!HasAOIs())
        return;
    CAOIDoc* doc = m_pOwner->GetAOIDoc();
    const CRect image = ImageRect();
    m_nX += dx;
    m_nY += dy;
    if (m_nSelect == 0) {
        if (CAOI* aoi = doc->GetActiveAOI(true))
            aoi->SetPosition(m_nX, m_nY, 0, 0, image.left, image.top, image.right, image.bottom, kMoveFlags);
    } else {
        for (int i = 0; i < doc->GetAOICount(); ++i) {
            CAOI* aoi = doc->GetAOI(i);
            aoi->SetPosition(aoi->GetLeft() + dx, aoi->GetTop() + dy, 0, 0, image.left, image.top, image.right,
                             image.bottom, kMoveFlags);
        }
    }
    RefreshFromActiveAOI();
    Repaint();
}

void CAOIDlg::OnModify()
{
    // Without areas the fields show zeros and nothing is there to change.
    if (!HasAOIs() || !UpdateData(TRUE))
        return;
    CAOI* aoi = m_pOwner->GetAOIDoc()->GetActiveAOI(true);
    if (aoi == nullptr)
        return;
    if (aoi->GetType() == CAOI::typeRing) {
        auto* ring = static_cast<CAOIRing*>(aoi);
        ring->SetRingWidth(m_nRingWidth);
        // The hole follows the new width.
        ring->SetFromCorners(ring->GetLeft(), ring->GetTop(), ring->GetLeft() + ring->GetWidth(),
                             ring->GetTop() + ring->GetHeight());
    }
    const CRect image = ImageRect();
    aoi->SetPosition(m_nX, m_nY, m_nWidth, m_nHeight, image.left, image.top, image.right, image.bottom,
                     kMoveSizeFlags);
    if (aoi->GetType() == CAOI::typeRectangle)
        aoi->CreateRaster(m_nRasterX, m_nRasterY, m_nBorder);
    RefreshFromActiveAOI();
    Repaint();
}

void CAOIDlg::OnOK()
{
    if (HasAOIs()) {
        if (!UpdateData(TRUE))
            return;
        CAOI* aoi = m_pOwner->GetAOIDoc()->GetActiveAOI(true);
        if (aoi != nullptr && aoi->GetType() == CAOI::typeRectangle) {
            aoi->CreateRaster(m_nRasterX, m_nRasterY, m_nBorder);
            aoi->m_bModified = TRUE;
        }
    }
    DestroyWindow();
}

void CAOIDlg::OnCancel()
{
    DestroyWindow();
}

void CAOIDlg::OnDestroy()
{
    CDialog::OnDestroy();
    if (m_hOwner != nullptr)
        ::PostMessage(m_hOwner, kCloseReport, 1, kReportId);
}

void CAOIDlg::ToggleAdd()
{
    m_bAdd = m_bAdd != 0 ? 0 : 1;
    SetDlgItemText(IDC_AOI_ADD, m_bAdd != 0 ? "Add on" : "Add off");
}

void CAOIDlg::CopyActiveAOITo(int x, int y)
{
    if (m_bAdd == 0 || !HasAOIs())
        return;
    CAOIDoc* doc = m_pOwner->GetAOIDoc();
    CAOI* active = doc->GetActiveAOI(true);
    if (active == nullptr)
        return;
    const int w = m_nWidth;
    const int h = m_nHeight;
    const int x1 = x - w / 2;
    const int y1 = y - h / 2;
    const int x2 = w % 2 == 0 ? x + w / 2 - 1 : x + w / 2;
    const int y2 = h % 2 == 0 ? y + h / 2 - 1 : y + h / 2;
    std::unique_ptr<CAOI> copy;
    switch (active->GetType()) {
    case CAOI::typeRectangle: {
        auto rectangle = std::make_unique<CAOI2>();
        rectangle->SetRectFromCorners(x1, y1, x2, y2);
        copy = std::move(rectangle);
        break;
    }
    case CAOI::typeEllipse: {
        auto ellipse = std::make_unique<CAOIEllipse>();
        ellipse->SetFromCorners(x1, y1, x2, y2);
        copy = std::move(ellipse);
        break;
    }
    case CAOI::typeRing: {
        auto ring = std::make_unique<CAOIRing>();
        ring->SetRingWidth(m_nRingWidth);
        ring->SetFromCorners(x1, y1, x2, y2);
        copy = std::move(ring);
        break;
    }
    default:
        AfxMessageBox("Copy of this AOI Type not possible");
        RefreshFromActiveAOI();
        return;
    }
    doc->AddAOI(copy);
    Repaint();
    RefreshFromActiveAOI();
}

void CAOIDlg::BackupActiveEllipse()
{
    if (!HasAOIs())
        return;
    CWaitCursor wait;
    m_pStoredEllipse.reset();
    CAOI* active = m_pOwner->GetAOIDoc()->GetActiveAOI(true);
    if (active != nullptr && active->GetType() == CAOI::typeEllipse) {
        m_pStoredEllipse = std::make_unique<CAOIEllipse>();
        m_pStoredEllipse->Assign(*static_cast<const CAOIEllipse*>(active));
    }
}

void CAOIDlg::AddStoredEllipseCopy()
{
    CAOIDoc* doc = m_pOwner != nullptr ? m_pOwner->GetAOIDoc() : nullptr;
    if (!m_pStoredEllipse || doc == nullptr)
        return;
    CWaitCursor wait;
    auto ellipse = std::make_unique<CAOIEllipse>();
    ellipse->Assign(*m_pStoredEllipse);
    const CRect image = doc->GetImageRect();
    ellipse->SetPosition(5, 5, 0, 0, image.left, image.top, image.right, image.bottom, kMoveFlags);
    std::unique_ptr<CAOI> copy = std::move(ellipse);
    doc->AddAOI(copy);
    RefreshFromActiveAOI();
}

void CAOIDlg::OnColor()
{
    CAOIDoc* doc = m_pOwner != nullptr ? m_pOwner->GetAOIDoc() : nullptr;
    if (doc == nullptr)
        return;
    CColorDialog dialog(doc->m_AOIColor, 0, this);
    if (dialog.DoModal() != IDOK)
        return;
    doc->m_AOIColor = dialog.GetColor();
    Repaint();
    ShowColor();
}

void CAOIDlg::ShowColor()
{
    CAOIDoc* doc = m_pOwner != nullptr ? m_pOwner->GetAOIDoc() : nullptr;
    if (m_pSwatch != nullptr && doc != nullptr)
        m_pSwatch->SetColor(doc->m_AOIColor);
}

void CAOIDlg::OnSelect()
{
    UpdateData(TRUE);
}

bool CAOIDlg::HandleKey(UINT nChar, bool bTab)
{
    switch (nChar) {
    case VK_LEFT:
        MoveAOI(-1, 0);
        return true;
    case VK_UP:
        MoveAOI(0, -1);
        return true;
    case VK_RIGHT:
        MoveAOI(1, 0);
        return true;
    case VK_DOWN:
        MoveAOI(0, 1);
        return true;
    case VK_TAB:
        if (!bTab)
            return false;
        // The area after the active one, the first again after the last
        // (SelectNextAOI would keep a valid active area where it is).
        if (CAOIDoc* doc = m_pOwner != nullptr ? m_pOwner->GetAOIDoc() : nullptr) {
            const int next = doc->GetEnabledAOIFrom(doc->GetActiveIndex() + 1);
            if (next >= 0)
                doc->SetActiveAOI(next);
        }
        Repaint();
        RefreshFromActiveAOI();
        return true;
    default:
        return false;
    }
}

BOOL CAOIDlg::PreTranslateMessage(MSG* pMsg)
{
    // The arrows move the area before the dialog's own navigation sees them.
    if (pMsg->message == WM_KEYDOWN && HandleKey(static_cast<UINT>(pMsg->wParam), pMsg->hwnd == GetSafeHwnd()))
        return TRUE;
    return CDialog::PreTranslateMessage(pMsg);
}

void CAOIDlg::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (!HandleKey(nChar, true))
        CDialog::OnKeyDown(nChar, nRepCnt, nFlags);
}
