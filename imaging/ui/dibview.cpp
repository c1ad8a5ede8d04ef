// CDIBView: construction and profile, the page display (update, drawing,
// context preparation), the display rectangle and the marked object.

#include "imaging/ui/dibview.h"

#include "imaging/ui/dibviewcommands.h"
#include "imaging/dibdoc.h"

#include "analysis/aoidoc.h"
#include "analysis/bv.h"
#include "analysis/objdata.h"
#include "analysis/ui/infodlgs.h"
#include "analysis/ui/infolearnclass.h"
#include "outside/grabwell/fgboard.h"
#include "series/objdatadoc.h"

#include "platform/core/messages.h"
#include "platform/core/profile.h"
#include "platform/core/recording_dc.h"
#include "platform/core/resources.h"
#include "platform/ui/fontui.h"
#include "platform/ui/frame.h"
#include "platform/ui/mdi.h"
#include "platform/ui/winapp.h"

#include <algorithm>
#include <cstring>
#include <memory>

IMPLEMENT_DYNCREATE(CDIBView, CScrollView)

UINT CDIBView::s_msgToDIBView = 0;
UINT CDIBView::s_msgGrabwellToApp = 0;
UINT CDIBView::s_msgGrabber = 0;

namespace {

constexpr const char* kSection = "DIBView";
constexpr int kBlankPageSize = 100;
// The window the view tells that it is gone (wParam 0, lParam the document).
constexpr UINT kViewGone = WM_USER + 5;

CString profileString(const char* key, const char* def)
{
    if (CWinApp* app = AfxGetApp())
        return app->GetProfileString(kSection, key, def);
    return GetProfileString(kSection, key, def);
}

int profileInt(const char* key, int def)
{
    if (CWinApp* app = AfxGetApp())
        return static_cast<int>(app->GetProfileInt(kSection, key, def));
    return static_cast<int>(GetProfileInt(kSection, key, def));
}

void writeProfileString(const char* key, const CString& value)
{
    if (CWinApp* app = AfxGetApp())
        app->WriteProfileString(kSection, key, value);
    else
        WriteProfileString(kSection, key, value);
}

void writeProfileInt(const char* key, int value)
{
    if (CWinApp* app = AfxGetApp())
        app->WriteProfileInt(kSection, key, value);
    else
        WriteProfileInt(kSection, key, value);
}

// The texts of the string table the views use, unless the program has them.
void RegisterViewStrings()
{
    const std::pair<UINT, const char*> texts[] = {
        {IDS_RESET_ZOOM, "Reset zoom "},
        {IDS_CLIPBOARD_FORMAT, "Clipboard data with wrong format"},
        {IDS_CALIBRATION_LINE, "Move to 1st mark, keep mouse button down and draw line to 2nd mark"},
    };
    for (const auto& [id, text] : texts)
        if (AfxLoadString(id) == nullptr)
            AfxRegisterString(id, text);
}

// The bounding rectangle of a record, by its kind: measured objects and
// clusters (4, 5) and fitted ellipses (13) their rectangle, contour
// segments (12) the bounds of their polygon; empty for any other kind.
CRect RecordRect(const CBaseObj& record)
{
    const auto* object = dynamic_cast<const CObjData*>(&record);
    if (object == nullptr)
        return CRect();
    switch (record.m_ID) {
    case 4:
    case 5:
    case 13:
        return object->m_Rect;
    case 12: {
        const CRPolygon& polygon = object->m_Polygon;
        if (polygon.IsEmpty())
            return CRect();
        CRect bounds(polygon[0].x, polygon[0].y, polygon[0].x, polygon[0].y);
        for (const POINT& p : polygon) {
            bounds.left = std::min<int>(bounds.left, p.x);
            bounds.top = std::min<int>(bounds.top, p.y);
            bounds.right = std::max<int>(bounds.right, p.x);
            bounds.bottom = std::max<int>(bounds.bottom, p.y);
        }
        return bounds;
    }
    default:
        return CRect();
    }
}

} // namespace

BEGIN_MESSAGE_MAP(CDIBView, CScrollView)
    ON_REGISTERED_MESSAGE(s_msgToDIBView, OnToDIBView)
    ON_REGISTERED_MESSAGE(s_msgGrabwellToApp, OnGrabwellToApp)
    ON_REGISTERED_MESSAGE(s_msgGrabber, OnGrabber)
    ON_COMMAND(ID_OBJECT_ADD, OnObjectAdd)
    ON_UPDATE_COMMAND_UI(ID_OBJECT_ADD, OnUpdateObjectAdd)
    ON_COMMAND(ID_OBJECT_DELETE, OnObjectDelete)
    ON_UPDATE_COMMAND_UI(ID_OBJECT_DELETE, OnUpdateObjectDelete)
    ON_COMMAND(ID_OBJECT_SHOW, OnObjectShow)
    ON_UPDATE_COMMAND_UI(ID_OBJECT_SHOW, OnUpdateObjectShow)
    ON_COMMAND(ID_OBJECT_EXCLUDE, OnObjectExclude)
    ON_UPDATE_COMMAND_UI(ID_OBJECT_EXCLUDE, OnUpdateObjectExclude)
    ON_COMMAND(ID_OBJECT_INCLUDE, OnObjectInclude)
    ON_UPDATE_COMMAND_UI(ID_OBJECT_INCLUDE, OnUpdateObjectInclude)
    ON_COMMAND(ID_OBJECT_ADD_CUT, OnObjectAddCut)
    ON_UPDATE_COMMAND_UI(ID_OBJECT_ADD_CUT, OnUpdateObjectAddCut)
    ON_COMMAND(ID_OBJECT_DELETE_CUT, OnObjectDeleteCut)
    ON_UPDATE_COMMAND_UI(ID_OBJECT_DELETE_CUT, OnUpdateObjectDeleteCut)
    ON_COMMAND(ID_CANCEL_TOOL, OnCancelTool)
    ON_COMMAND(ID_FILE_PRINT, OnFilePrint)
    ON_COMMAND(ID_FILE_PRINT_PREVIEW, OnFilePrintPreview)
END_MESSAGE_MAP()

// ---- construction ------------------------------------------------------------------------------

CDIBView::CDIBView() : m_nHitObjectMsg(RegisterWindowMessage("HIT_OBJECT"))
{
    s_msgToDIBView = RegisterWindowMessage("MSG_TO_DIBVIEW");
    s_msgGrabwellToApp = RegisterWindowMessage("MSG_GRABWELL_TO_APP");
    s_msgGrabber = RegisterWindowMessage("MSG_GRABBER");
    RegisterViewStrings();

    m_lfText.lfHeight = 12;
    m_lfText.lfWidth = 6;
    m_lfText.lfWeight = FW_NORMAL;
    m_lfText.lfPitchAndFamily = 0x20;
    std::strncpy(m_lfText.lfFaceName, "Arial", LF_FACESIZE - 1);
    ReadProfile();
    ResetMargins();
    BuildMessageMap();
}

CDIBView::~CDIBView()
{
    writeProfileString("Font", CFontUI::FormatFont(m_lfText, CFontUI::PixelsPerInchY(nullptr)));
    if (CWnd* main = AfxGetMainWnd(); main && main->GetSafeHwnd())
        main->SendMessage(kViewGone, 0, reinterpret_cast<LPARAM>(m_pDocument));
}

void CDIBView::ReadProfile()
{
    const CString font = profileString("Font", "");
    LOGFONT read = m_lfText;
    if (!font.IsEmpty() && CFontUI::ParseFont(font, CFontUI::PixelsPerInchY(nullptr), read))
        m_lfText = read;
    m_bShrinkToFit = profileInt("ShrinkToFit", 1) != 0;
    m_bDrawRulers = profileInt("DrawRulers", 0) != 0;
    m_nMarkRectColor = profileInt("MarkRectColor", 0);
}

void CDIBView::WriteProfile()
{
    writeProfileInt("ShrinkToFit", m_bShrinkToFit ? 1 : 0);
    writeProfileInt("DrawRulers", m_bDrawRulers ? 1 : 0);
    writeProfileInt("MarkRectColor", m_nMarkRectColor);
}

// ---- parts -------------------------------------------------------------------------------------

CDIBDoc* CDIBView::GetDocument() const
{
    return dynamic_cast<CDIBDoc*>(m_pDocument);
}

CObjDataDoc* CDIBView::GetResultDoc() const
{
    CDIBDoc* doc = GetDocument();
    return doc ? dynamic_cast<CObjDataDoc*>(doc->GetResultDoc()) : nullptr;
}

CAOIDoc* CDIBView::GetAOIDoc() const
{
    CDIBDoc* doc = GetDocument();
    if (doc == nullptr)
        return nullptr;
    if (CAOIDoc* areas = doc->GetDataDoc())
        return areas;
    CBV* engine = doc->GetEngine();
    return engine ? &engine->m_AOIDoc : nullptr;
}

FGBoard* CDIBView::VideoBoard() const
{
    CDIBDoc* doc = GetDocument();
    return doc && doc->IsVideo() ? GetFG() : nullptr;
}

CDIB* CDIBView::PageToDraw() const
{
    CDIBDoc* doc = GetDocument();
    if (doc == nullptr || doc->GetPageCount() == 0)
        return nullptr;
    if (CDIB* preview = doc->GetPreviewImage())
        return preview;
    return doc->GetActiveDIB();
}

void CDIBView::ResetMargins()
{
    if (m_bDrawRulers) {
        m_nMarginLeft = kRulerLeft;
        m_nMarginTop = kRulerTop;
        m_nMarginRight = kRulerRight;
        m_nMarginBottom = kRulerBottom;
    } else {
        m_nMarginLeft = m_nMarginTop = m_nMarginRight = m_nMarginBottom = 0;
    }
}

// ---- update and drawing ------------------------------------------------------------------------

void CDIBView::OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint)
{
    CDIBDoc* doc = GetDocument();
    if (doc == nullptr)
        return;
    m_sizeImage = doc->GetPageCount() > 0 ? doc->GetImageSize() : CSize(0, 0);
    ResetMargins();
    if (m_bEmbedded && !m_bShrinkToFit) {
        // A form's view larger than the image centres it.
        CRect window;
        GetWindowRect(&window);
        if (m_nMarginLeft + m_nMarginRight + m_sizeImage.cx + 1 < window.Width())
            m_nMarginLeft = m_nMarginRight = (window.Width() - m_sizeImage.cx) / 2;
        if (m_nMarginTop + m_nMarginBottom + m_sizeImage.cy + 1 < window.Height())
            m_nMarginTop = m_nMarginBottom = (window.Height() - m_sizeImage.cy) / 2;
        if (FGBoard* board = VideoBoard()) {
            CRect display;
            GetDisplayRect(display);
            board->SetDisplayRect(display);
        }
    }
    CSize total = m_sizeImage;
    if (m_bDrawRulers)
        total += CSize(m_nMarginLeft + m_nMarginRight, m_nMarginTop + m_nMarginBottom);
    if (m_bShrinkToFit)
        SetScaleToFitSize(total);
    else
        SetScrollSizes(MM_TEXT, total);
    if (m_bEmbedded) {
        if (CWnd* parent = GetParent())
            parent->Invalidate(TRUE);
    }
    // The hint carries no rectangle in this program: the whole view repaints.
    Invalidate(!m_bShrinkToFit);
    CScrollView::OnUpdate(pSender, lHint, pHint);
}

void CDIBView::OnDraw(CDC* pDC)
{
    FGBoard* board = VideoBoard();
    // A live display the board does not run, or paints itself, is not ours to draw.
    if (board && (!board->IsDisplayRunning() || board->PaintsWindow()))
        return;
    CDIB* page = PageToDraw();
    if (page == nullptr)
        return;
    if (board && !board->LockBuffer(5))
        return;
    if (!m_bShrinkToFit && !pDC->IsPrinting())
        page->PaintDIB(pDC);
    else
        page->StretchDIB(pDC, CRect(0, 0, m_sizeImage.cx, m_sizeImage.cy));
    if (board) {
        board->PaintOverlay(*pDC);
        board->UnlockBuffer();
    }
}

void CDIBView::OnPrepareDC(CDC* pDC, CPrintInfo* pInfo)
{
    if (pDC == nullptr || GetDocument() == nullptr)
        return;
    CScrollView::OnPrepareDC(pDC, pInfo);
    const int cx = std::max<int>(m_sizeImage.cx, 1);
    const int cy = std::max<int>(m_sizeImage.cy, 1);
    if (pDC->IsPrinting()) {
        // The area fills the page's width and keeps its proportions.
        CRect area(0, 0, cx, cy);
        if (pDC->GetMapMode() != MM_ANISOTROPIC) {
            pDC->SetMapMode(MM_ANISOTROPIC);
            GetClientRect(&area);
            area.OffsetRect(GetScrollPosition());
        }
        const int width = std::max<int>(area.Width(), 1);
        const int height = std::max<int>(area.Height(), 1);
        const int pageWidth = pDC->GetDeviceCaps(HORZRES);
        const long long pageHeight = static_cast<long long>(height) * pageWidth * pDC->GetDeviceCaps(LOGPIXELSY) /
                                     (static_cast<long long>(width) * pDC->GetDeviceCaps(LOGPIXELSX));
        pDC->SetWindowOrg(area.TopLeft());
        pDC->SetWindowExt(width, height);
        pDC->SetViewportOrg(0, 0);
        pDC->SetViewportExt(pageWidth, static_cast<int>(pageHeight));
    }
    if (m_bUnitMapping) {
        pDC->SetMapMode(MM_ANISOTROPIC);
        pDC->SetWindowOrg(0, 0);
        pDC->SetViewportOrg(0, 0);
        pDC->SetWindowExt(cx, cy);
        pDC->SetViewportExt(cx, cy);
    }
    m_dDisplayOffsetX = m_dDisplayOffsetY = 0.0;
    m_dDisplayScaleX = m_dDisplayScaleY = 1.0;
}

void CDIBView::GetDisplayRect(RECT& rect) const
{
    if (!m_bShrinkToFit) {
        rect = CRect(m_nMarginLeft, m_nMarginTop, m_nMarginLeft + m_sizeImage.cx, m_nMarginTop + m_sizeImage.cy);
        return;
    }
    CRect client;
    GetClientRect(&client);
    client.DeflateRect(m_nMarginLeft + 1, m_nMarginTop + 1, m_nMarginRight + 1, m_nMarginBottom + 1);
    rect = client;
}

void CDIBView::DrawShrunk(CDC* pDC)
{
    m_bShrinkToFit = TRUE;
    OnUpdate(nullptr, 0, nullptr);
    OnPrepareDC(pDC, nullptr);
    OnDraw(pDC);
}

void CDIBView::SetPickMode(BOOL bPick)
{
    if (CDIBDoc* doc = GetDocument())
        doc->m_nDrawMode = bPick ? kDrawPickColour : kDrawNone;
}

// ---- coordinates -------------------------------------------------------------------------------

void CDIBView::PrepareMappingDC(CDC& dc)
{
    CRect client;
    GetClientRect(&client);
    if (auto* recording = dynamic_cast<CRecordingDC*>(&dc))
        recording->SetDeviceSize(std::max<int>(client.Width(), 1), std::max<int>(client.Height(), 1));
    OnPrepareDC(&dc, nullptr);
}

CPoint CDIBView::ImageToClient(CPoint point)
{
    CRecordingDC dc;
    PrepareMappingDC(dc);
    dc.LPtoDP(&point);
    return point;
}

CPoint CDIBView::ClientToImage(CPoint point)
{
    CRecordingDC dc;
    PrepareMappingDC(dc);
    dc.DPtoLP(&point);
    return point;
}

CRect CDIBView::ImageToClient(const CRect& rect)
{
    CRecordingDC dc;
    PrepareMappingDC(dc);
    CRect device = rect;
    dc.LPtoDP(&device);
    device.NormalizeRect();
    return device;
}

void CDIBView::InvalidateImageRect(const CRect& rect, int nInflate)
{
    // Edges are part of the mark: the device rectangle reaches one beyond.
    CRect device = ImageToClient(CRect(rect.left, rect.top, rect.right + 1, rect.bottom + 1));
    device.InflateRect(nInflate, nInflate);
    InvalidateRect(&device, FALSE);
}

void CDIBView::GetAOIRectDevice(CAOI* /*pAOI*/, RECT& /*rect*/)
{
}

// ---- the marked object -------------------------------------------------------------------------

void CDIBView::ShowObject(int nIndex)
{
    CObjDataDoc* results = GetResultDoc();
    if (results == nullptr)
        return;
    results->SetCurrentIndex(nIndex);
    if (nIndex == -1) {
        if (!m_rectMark.IsRectNull())
            InvalidateImageRect(m_rectMark, 2);
        m_rectMark.SetRectEmpty();
        return;
    }
    if (nIndex < 0 || nIndex >= results->GetCount())
        return;
    const CRect mark = RecordRect(*results->GetAt(nIndex));
    if (!m_rectMark.IsRectNull())
        InvalidateImageRect(m_rectMark, 2);
    m_rectMark = mark;
    InvalidateImageRect(m_rectMark, 1);

    // Scroll when the mark is not wholly in sight (a shrunk view shows it all).
    if (IsScaleToFit())
        return;
    CRect client;
    GetClientRect(&client);
    const CRect device = ImageToClient(CRect(m_rectMark.left, m_rectMark.top, m_rectMark.right + 1, m_rectMark.bottom + 1));
    CRect both;
    both.UnionRect(client, device);
    if (both == client)
        return;
    const CSize total = GetTotalSize();
    const CPoint centre = m_rectMark.CenterPoint();
    const int x = std::max(0, std::min<int>(centre.x - client.Width() / 2, total.cx - client.Width() / 2));
    const int y = std::max(0, std::min<int>(centre.y - client.Height() / 2, total.cy - client.Height() / 2));
    SetScrollPos(SB_HORZ, x, TRUE);
    SetScrollPos(SB_VERT, y, TRUE);
    Invalidate(TRUE);
}

// ---- initial update, activation, destruction ---------------------------------------------------

void CDIBView::OnInitialUpdate()
{
    CDIBDoc* doc = GetDocument();
    if (doc == nullptr) {
        CScrollView::OnInitialUpdate();
        return;
    }
    if (doc->GetPageCount() == 0) {
        auto blank = std::make_unique<CDIB>();
        blank->InitDIB(kBlankPageSize, kBlankPageSize, 24);
        doc->AddPage(std::move(blank));
        doc->SetActiveIndex(0);
    }
    if (doc->IsVideo()) {
        m_nTimer = SetTimer(kFrameRateTimer, kFrameRatePeriod);
        // The top-right corner of the screen.
        const CSize page = doc->GetPageSize();
        const int screen = GetSystemMetrics(SM_CXSCREEN);
        m_rectDefaultPlacement.SetRect(screen - page.cx - (m_bDrawRulers ? 50 : 0), 0, screen,
                                       page.cy + (m_bDrawRulers ? 40 : 0));
    }
    if (!m_bEmbedded) {
        m_placement.SetDefaultRect(m_rectDefaultPlacement);
        m_placement.Attach(this, doc->IsVideo() ? "VideoView" : "DIBView");
        m_placement.LoadWindowPlacement(FALSE);
    }
    CScrollView::OnInitialUpdate();
    if (!m_bEmbedded)
        FitFrame();
    if (doc->IsVideo()) {
        if (CFrameWnd* frame = GetParentFrame(); frame && !m_bEmbedded)
            frame->ModifyStyle(WS_MAXIMIZEBOX, 0);
        StartVideo();
    }
}

void CDIBView::FitFrame()
{
    CFrameWnd* frame = GetParentFrame();
    if (frame == nullptr)
        return;
    CRect client;
    GetClientRect(&client);
    if (client.Size() != m_sizeImage)
        frame->RecalcLayout();
    GetClientRect(&client);
    if (m_rectDefaultPlacement.Width() < client.Width() &&
        (m_sizeImage.cx < client.Width() || m_sizeImage.cy < client.Height()))
        ResizeParentToFit(TRUE);
    CDIBDoc* doc = GetDocument();
    CWnd* main = AfxGetMainWnd();
    if (doc && doc->IsVideo() && main && main != frame) {
        // Top edge of the main window's client area, 4 pixels from its right edge.
        CRect mainClient;
        if (auto* mdi = dynamic_cast<CMDIFrameWnd*>(main))
            mdi->GetMDIClientRect(&mainClient);
        else
            main->GetClientRect(&mainClient);
        CRect placed;
        frame->GetWindowRect(&placed);
        frame->SetWindowPos(nullptr, mainClient.right - 4 - placed.Width(), mainClient.top, 0, 0,
                            SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void CDIBView::OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView)
{
    CScrollView::OnActivateView(bActivate, pActivateView, pDeactiveView);
    CDIBDoc* doc = GetDocument();
    if (!bActivate || doc == nullptr)
        return;
    if (CDIB* page = doc->GetActiveDIB())
        if (CAOIDoc* areas = GetAOIDoc())
            areas->SetImageSize(page->GetWidth(), page->GetHeight(), true);
}

void CDIBView::OnDestroy()
{
    if (FGBoard* board = VideoBoard(); board && board->IsInit())
        board->DisconnectDisplay();
    WriteProfile();
    if (m_nTimer != 0) {
        KillTimer(m_nTimer);
        m_nTimer = 0;
    }
    if (!m_bEmbedded)
        m_placement.SaveWindowPlacement();
    CScrollView::OnDestroy();
}

void CDIBView::CancelTool()
{
    if (m_pLearnThresDlg) {
        m_pLearnThresDlg->ForgetOwnerWindow();
        m_pLearnThresDlg.reset();
    }
    if (m_pLearnClassDlg) {
        m_pLearnClassDlg->ForgetOwnerWindow();
        m_pLearnClassDlg.reset();
    }
    CDIBDoc* doc = GetDocument();
    if (doc == nullptr)
        return;
    doc->m_nDrawMode = doc->m_nDrawMode == kDrawLearnThresholds ? kDrawFinished : kDrawNone;
}

void CDIBView::OnCancelTool()
{
    CancelTool();
}

// ---- helpers -----------------------------------------------------------------------------------

void CDIBView::SetStatusText(const CString& text)
{
    if (auto* frame = dynamic_cast<CFrameWnd*>(AfxGetMainWnd()))
        frame->SetMessageText(text);
}

void CDIBView::SendToAllWindows(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (CWnd* main = AfxGetMainWnd())
        main->SendMessageToDescendants(message, wParam, lParam);
}
