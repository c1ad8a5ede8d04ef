// CDIBVwEx: construction, context preparation with rulers and zoom, the
// registered messages and the commands.

#include "imaging/ui/dibvwex.h"

#include "imaging/ui/dibviewcommands.h"
#include "imaging/ui/matchdlg0.h"
#include "imaging/ui/matchdlg8.h"
#include "imaging/ui/focusdlg.h"
#include "imaging/ui/integrationdlg.h"
#include "imaging/ui/perspectivetransformdlg.h"
#include "imaging/ui/rasterdlg.h"
#include "imaging/ui/scandlg.h"
#include "imaging/ui/settingwizard.h"
#include "imaging/dibdoc.h"

#include "analysis/aoidoc.h"
#include "analysis/ui/aoidlg.h"
#include "analysis/ui/aoiowner.h"
#include "analysis/ui/formsheet.h"
#include "analysis/ui/infodlgs.h"
#include "analysis/ui/infolearnclass.h"
#include "analysis/ui/thresdlg.h"
#include "analysis/ui/thresowner.h"
#include "objectmodel/baseobj.h"
#include "outside/grabwell/fgboard.h"
#include "series/objdatadoc.h"

#include "platform/core/messages.h"
#include "platform/ui/appservices.h"
#include "platform/ui/clipboard.h"
#include "platform/ui/colordlg.h"
#include "platform/ui/commondialogs.h"
#include "platform/ui/printing.h"
#include "platform/ui/propsheet.h"
#include "platform/ui/qtdc.h"

#include <QImage>

#include <algorithm>
#include <cmath>

IMPLEMENT_DYNCREATE(CDIBVwEx, CDIBView)

UINT CDIBVwEx::s_msgDeleteDocument = 0;
UINT CDIBVwEx::s_msgGridSelected = 0;

namespace {

// The ruler axes' styles and the bits of them that are set.
constexpr DWORD kRulerStyleX = 0x100220;
constexpr DWORD kRulerStyleY = 0x100222;
constexpr DWORD kRulerStyleMask = 0xFFFFF;

// The font dialog's flags: screen fonts, from the given font, effects.
constexpr DWORD kFontDialogFlags = 0x141;

double ratio(int numerator, int denominator)
{
    return denominator != 0 ? static_cast<double>(numerator) / denominator : 1.0;
}

const CCalibration& AppCalibration()
{
    if (CAppServices* services = kestrun::AppServices())
        if (const CCalibration* calibration = services->GetCalibration())
            return *calibration;
    return CBaseObj::SystemCalibration;
}

} // namespace

BEGIN_MESSAGE_MAP(CDIBVwEx, CDIBView)
    ON_REGISTERED_MESSAGE(s_msgDeleteDocument, OnDeleteDocument)
    ON_REGISTERED_MESSAGE(s_msgGridSelected, OnGridSelected)
    ON_REGISTERED_MESSAGE(s_msgGrabwellToApp, OnGrabwellToAppEx)
    ON_COMMAND(ID_VIEW_DIRECT, OnViewDirect)
    ON_UPDATE_COMMAND_UI(ID_VIEW_DIRECT, OnUpdateViewDirect)
    ON_COMMAND(ID_VIEW_RULERS, OnViewRulers)
    ON_UPDATE_COMMAND_UI(ID_VIEW_RULERS, OnUpdateViewRulers)
    ON_UPDATE_COMMAND_UI(ID_VIEW_ZOOM, OnUpdateViewZoom)
    ON_COMMAND(ID_VIEW_MARK_COLOR, OnViewMarkColor)
    ON_COMMAND(ID_VIEW_FONT, OnViewFont)
    ON_COMMAND(ID_EDIT_COPY, OnEditCopy)
    ON_UPDATE_COMMAND_UI(ID_EDIT_COPY, OnUpdateEditCopy)
    ON_COMMAND(ID_EDIT_PASTE, OnEditPaste)
    ON_UPDATE_COMMAND_UI(ID_EDIT_PASTE, OnUpdateEditPaste)
    ON_COMMAND(ID_EDIT_UNDO, OnEditUndo)
    ON_UPDATE_COMMAND_UI(ID_EDIT_UNDO, OnUpdateEditUndo)
    ON_COMMAND(ID_TOOL_FORM_PARAMETER, OnToolFormParameter)
    ON_COMMAND(ID_TOOL_CALIBRATION, OnToolCalibration)
    ON_COMMAND(ID_TOOL_THRESHOLDS, OnToolThresholds)
    ON_REGISTERED_MESSAGE(CThresDlg::LiveFrameMessage(), OnThresLiveFrame)
    ON_COMMAND(ID_TOOL_CLASS_DEFINITION, OnToolClassDefinition)
    ON_COMMAND(ID_TOOL_COUNT_MANUALLY, OnToolCountManually)
    ON_MESSAGE(CFormSheet::kCloseReport, OnToolWindowClosed)
    ON_UPDATE_COMMAND_UI_RANGE(ID_AOI_FIRST, ID_AOI_LAST, OnUpdateNotAvailable)
    RegisterAOICommands();
    RegisterMatchCommands();
    ON_COMMAND(ID_TOOL_SEARCH_EDGE, OnToolSearchEdge)
    ON_COMMAND(ID_TOOL_SCAN_CONTINUOUS, OnToolScanContinuous)
    ON_COMMAND(ID_TOOL_PERSPECTIVE, OnToolPerspective)
    ON_COMMAND(ID_TOOL_FOCUS, OnToolFocus)
    ON_COMMAND(ID_TOOL_RASTER, OnToolRaster)
    ON_COMMAND(ID_TOOL_IMAGE_INTEGRATION, OnToolIntegration)
    ON_UPDATE_COMMAND_UI(ID_TOOL_IMAGE_INTEGRATION, OnUpdateToolIntegration)
    ON_COMMAND(ID_TOOL_CHECK_ILLUMINATION, OnToolCheckIllumination)
    RegisterDrawingTools();
END_MESSAGE_MAP()

CDIBVwEx::CDIBVwEx()
{
    s_msgDeleteDocument = RegisterWindowMessage("DELETE_DOCUMENT");
    s_msgGridSelected = RegisterWindowMessage("GridSelected");
    s_msgGrabwellToApp = RegisterWindowMessage("MSG_GRABWELL_TO_APP");
    BuildMessageMap();
}

CDIBVwEx::~CDIBVwEx() = default;

// ---- context preparation and rulers ------------------------------------------------------------

void CDIBVwEx::OnPrepareDC(CDC* pDC, CPrintInfo* pInfo)
{
    CDIBView::OnPrepareDC(pDC, pInfo);
    if (pDC == nullptr || GetDocument() == nullptr)
        return;
    const int cx = std::max<int>(m_sizeImage.cx, 1);
    const int cy = std::max<int>(m_sizeImage.cy, 1);
    if (pDC->IsPrinting()) {
        const double sx = ratio(pDC->GetViewportExt().cx, pDC->GetWindowExt().cx);
        const double sy = ratio(pDC->GetViewportExt().cy, pDC->GetWindowExt().cy);
        pDC->SetViewportOrg(static_cast<int>(m_nMarginLeft * sx), static_cast<int>(m_nMarginTop * sy));
        if (m_bShrinkToFit)
            pDC->SetViewportExt(static_cast<int>((cx - m_nMarginLeft - m_nMarginRight) * sx),
                                static_cast<int>((cy - m_nMarginTop - m_nMarginBottom) * sy));
    } else if (m_bShrinkToFit) {
        // The image fills the space between the rulers, whatever its proportions.
        CRect client;
        GetClientRect(&client);
        pDC->SetMapMode(MM_ANISOTROPIC);
        pDC->SetWindowOrg(0, 0);
        pDC->SetWindowExt(cx, cy);
        pDC->SetViewportOrg(m_nMarginLeft, m_nMarginTop);
        pDC->SetViewportExt(std::max(client.Width() - m_nMarginLeft - m_nMarginRight, 1),
                            std::max(client.Height() - m_nMarginTop - m_nMarginBottom, 1));
    } else {
        const CPoint scroll = GetDeviceScrollPosition();
        pDC->SetViewportOrg(m_nMarginLeft - scroll.x, m_nMarginTop - scroll.y);
    }

    CAOIDoc* areas = GetAOIDoc();
    if (m_bShrinkToFit && m_bZoom && areas && areas->GetAOICount() > 0) {
        if (CAOI* active = areas->GetActiveAOI(true)) {
            const CRect r = active->GetRect();
            m_dDisplayOffsetX += static_cast<double>(r.left) / cx * m_dDisplayScaleX;
            m_dDisplayOffsetY += static_cast<double>(r.top) / cy * m_dDisplayScaleY;
            m_dDisplayScaleX *= static_cast<double>(r.Width()) / cx;
            m_dDisplayScaleY *= static_cast<double>(r.Height()) / cy;
            if (!r.IsRectEmpty()) {
                pDC->SetWindowOrg(r.TopLeft());
                pDC->SetWindowExt(r.Size());
            }
        }
    }
    if (m_bDrawRulers)
        UpdateRulerAxes();
}

void CDIBVwEx::UpdateRulerAxes()
{
    CDIBDoc* doc = GetDocument();
    CDIB* page = doc ? doc->GetActiveDIB() : nullptr;
    if (page == nullptr)
        return;
    const CCalibration& calibration = AppCalibration();
    const double f = calibration.m_dFactor;
    const double w = page->GetWidth();
    const double h = page->GetHeight();
    const double x0 = std::trunc(m_dDisplayOffsetX * w * f);
    const double y0 = std::trunc(m_dDisplayOffsetY * h * f);
    m_Chart.SetDisplay(FALSE, TRUE);
    m_Chart.GetXAxis().SetStyle(kRulerStyleX, kRulerStyleMask);
    m_Chart.GetLeftAxis().SetStyle(kRulerStyleY, kRulerStyleMask);
    m_Chart.GetXAxis().SetRange(x0, std::trunc(x0 + w * m_dDisplayScaleX * f));
    m_Chart.GetLeftAxis().SetRange(y0, std::trunc(y0 + h * m_dDisplayScaleY * f));
    m_Chart.GetXAxis().m_strTitle = calibration.GetUnitText(1);
}

void CDIBVwEx::OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint)
{
    CDIBView::OnUpdate(pSender, lHint, pHint);
    if (m_bDrawRulers) {
        UpdateRulerAxes();
        if (FGBoard* board = VideoBoard())
            board->Stretch(m_bShrinkToFit);
    }
}

BOOL CDIBVwEx::OnPreparePrinting(CPrintInfo* pInfo)
{
    pInfo->SetMaxPage(1);
    return DoPreparePrinting(pInfo);
}

void CDIBVwEx::GetAOIRectDevice(CAOI* pAOI, RECT& rect)
{
    if (pAOI == nullptr)
        return;
    rect = ImageToClient(pAOI->GetRect());
}

void CDIBVwEx::CancelTool()
{
    CloseInfoWindows();
    CDIBView::CancelTool();
}

// ---- messages ----------------------------------------------------------------------------------

void CDIBVwEx::OnDestroy()
{
    if (const FGBoard* board = GetFG())
        HandOverGrabberProfile(*board);
    // The tool windows go first: the threshold dialog's worker stops
    // before the board's display is taken from the view.
    CancelTool();
    CloseToolWindows();
    CDIBView::OnDestroy();
}

void CDIBVwEx::HandOverGrabberProfile(const FGBoard& board)
{
    CAppServices* services = kestrun::AppServices();
    if (services == nullptr)
        return;
    // A board that never selected or saved a profile knows none; the
    // application keeps the one its profile names, so that the next save
    // does not store it empty.
    const CString name = board.GetParameterString(kestrun::fgparam::kProfile);
    if (!name.IsEmpty())
        services->SetGrabberProfileName(name);
}

BOOL CDIBVwEx::OnScroll(UINT nScrollCode, UINT nPos, BOOL bDoScroll)
{
    if (VideoBoard())
        m_ptLastScroll = GetScrollPosition();
    return CDIBView::OnScroll(nScrollCode, nPos, bDoScroll);
}

LRESULT CDIBVwEx::OnDeleteDocument(WPARAM /*wParam*/, LPARAM lParam)
{
    CDIBDoc* doc = GetDocument();
    auto* gone = reinterpret_cast<CDocument*>(lParam);
    if (doc == nullptr || gone == nullptr || gone == doc)
        return 0;
    const bool wasResult = doc->GetResultDoc() == gone;
    // Only the step the closed table's own search pushed goes back; a
    // count pushes none, and the user's edits stay.
    if (wasResult)
        doc->PopUndoStepOf(gone);
    doc->ReleaseDocument(gone);
    if (wasResult) {
        doc->m_nDrawMode = kDrawNone;
        doc->UpdateImageViews();
        m_rectMark.SetRectEmpty();
        // The class window stays open for the objects of the next count.
        if (m_pLearnClassDlg) {
            m_pLearnClassDlg->SetObjectSource(CInfoLearnClass::objectsGone);
            m_pLearnClassDlg->ShowPrompt();
            doc->m_nDrawMode = kDrawFinished;
        }
    }
    return 0;
}

LRESULT CDIBVwEx::OnGridSelected(WPARAM wParam, LPARAM lParam)
{
    CObjDataDoc* results = GetResultDoc();
    CDIBDoc* doc = GetDocument();
    if (results == nullptr)
        return 0;
    const auto* sender = reinterpret_cast<const CDocument*>(lParam);
    if (sender != static_cast<const CDocument*>(results) && sender != doc)
        return 0;
    const auto row = static_cast<INT_PTR>(wParam);
    if (row < 0 || row >= results->GetCount())
        return 0;
    ShowObject(results->FindNthUnselected(static_cast<int>(row)));
    return 0;
}

LRESULT CDIBVwEx::OnGrabwellToAppEx(WPARAM wParam, LPARAM lParam)
{
    CDIBView::OnGrabwellToApp(wParam, lParam);
    if (wParam != kestrun::fgevent::kInputChanged)
        return 0;
    CWaitCursor wait;
    if (m_pMatchDlg8 && m_pMatchDlg8->GetSafeHwnd() != nullptr)
        m_pMatchDlg8->SendMessage(s_msgGrabwellToApp, wParam, lParam);
    FGBoard* board = GetFG();
    if (board == nullptr)
        return 0;
    if (board->IsDisplayRunning())
        board->GrabFrame(0);
    Invalidate(FALSE);
    if (CDIBDoc* doc = GetDocument(); doc && doc->IsVideo()) {
        CString title;
        title.Format("%s - Channel:%d", board->GetName().GetString(), board->GetInpChannel() + 1);
        doc->SetTitle(title);
    }
    return 0;
}

// ---- commands ----------------------------------------------------------------------------------

bool CDIBVwEx::IsVideoWithoutDisplay() const
{
    FGBoard* board = VideoBoard();
    return board && !board->IsDisplayRunning();
}

void CDIBVwEx::UpdateBoardDisplay()
{
    if (FGBoard* board = VideoBoard()) {
        CRect display;
        GetDisplayRect(display);
        board->SetDisplayRect(display);
    }
}

void CDIBVwEx::OnViewDirect()
{
    m_bShrinkToFit = !m_bShrinkToFit;
    if (CDIBDoc* doc = GetDocument())
        doc->UpdateAllViews(nullptr);
    UpdateBoardDisplay();
}

void CDIBVwEx::OnUpdateViewDirect(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(!IsVideoWithoutDisplay());
    pCmdUI->SetCheck(m_bShrinkToFit ? 0 : 1);
}

void CDIBVwEx::OnViewRulers()
{
    m_bDrawRulers = !m_bDrawRulers;
    if (CDIBDoc* doc = GetDocument())
        doc->UpdateImageViews();
    UpdateBoardDisplay();
}

void CDIBVwEx::OnUpdateViewRulers(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(!IsVideoWithoutDisplay());
    pCmdUI->SetCheck(m_bDrawRulers ? 1 : 0);
}

void CDIBVwEx::OnViewMarkColor()
{
    CColorDlg colours;
    colours.m_arrNames.Add("Object Rect Mark");
    colours.m_arrColors.Add(static_cast<DWORD>(m_nMarkRectColor));
    CPropertySheet sheet("Chart Properties", this);
    sheet.AddPage(&colours);
    if (sheet.DoModal() != IDOK)
        return;
    m_nMarkRectColor = static_cast<int>(colours.GetColor(0));
    Invalidate(FALSE);
}

void CDIBVwEx::OnViewFont()
{
    CFontDialog dialog(&m_lfText, kFontDialogFlags);
    dialog.m_cf.rgbColors = m_crText;
    if (dialog.DoModal() != IDOK)
        return;
    dialog.GetCurrentFont(&m_lfText);
    m_crText = dialog.GetColor();
    Invalidate(TRUE);
}

void CDIBVwEx::OnEditCopy()
{
    // With the area dialog open, copy and paste work on its ellipse.
    if (m_pAOIDlg) {
        m_pAOIDlg->BackupActiveEllipse();
        return;
    }
    // With objects shown, the picture as the view shows it.
    if (GetResultDoc() != nullptr)
        CopyView();
    else
        CopyPage();
}

void CDIBVwEx::OnUpdateEditCopy(CCmdUI* pCmdUI)
{
    CDIBDoc* doc = GetDocument();
    pCmdUI->Enable(doc && doc->GetActiveDIB() != nullptr);
}

BOOL CDIBVwEx::CopyView()
{
    CRect client;
    GetClientRect(&client);
    if (client.IsRectEmpty())
        return FALSE;
    QImage image(client.Width(), client.Height(), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        CQtDC dc(image);
        OnPrepareDC(&dc, nullptr);
        OnDraw(&dc);
        dc.End();
    }
    if (!kestrun::SetClipboardImage(image.width(), image.height(), image.constBits(),
                                    static_cast<int>(image.bytesPerLine()), 32)) {
        AfxMessageBox("Cannot open Clipboard");
        return FALSE;
    }
    return TRUE;
}

void CDIBVwEx::OnEditPaste()
{
    if (m_pAOIDlg) {
        m_pAOIDlg->AddStoredEllipseCopy();
        NotifyPatternMatching(CMatchDlg::noticeAreasChanged, 0);
        Invalidate(FALSE);
        return;
    }
    PastePage();
}

void CDIBVwEx::OnUpdateEditPaste(CCmdUI* pCmdUI)
{
    if (m_pAOIDlg)
        pCmdUI->Enable(m_pAOIDlg->HasStoredEllipse());
    else
        pCmdUI->Enable(kestrun::ClipboardHasImage());
}

void CDIBVwEx::OnEditUndo()
{
    if (CDIBDoc* doc = GetDocument()) {
        doc->PopUndo(CDIBDoc::undoPop);
        doc->UpdateAllViews(nullptr);
    }
}

void CDIBVwEx::OnUpdateEditUndo(CCmdUI* pCmdUI)
{
    CDIBDoc* doc = GetDocument();
    pCmdUI->Enable(doc && doc->GetUndoCount() > 0);
}

void CDIBVwEx::OnUpdateNotAvailable(CCmdUI* pCmdUI)
{
    // A disabled command is not carried out from menus, tool bars or keys.
    pCmdUI->Enable(FALSE);
}
