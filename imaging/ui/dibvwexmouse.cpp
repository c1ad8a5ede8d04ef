// CDIBVwEx and the mouse: the pixel under the mouse in the status bar,
// points collected for a tool, objects picked by a click (with their
// roughness on Ctrl+click), the areas of interest chosen by a click, and
// the object menu of the right button.

#include "imaging/ui/dibvwex.h"

#include "imaging/ui/matchdlg.h"

#include "imaging/ui/dibviewcommands.h"
#include "imaging/dibdoc.h"

#include "analysis/aoidoc.h"
#include "analysis/objdata.h"
#include "analysis/ui/infolearnclass.h"
#include "series/objdatadoc.h"

#include "platform/ui/menu.h"
#include "platform/ui/winapp.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace {

constexpr WORD kKindObject = 5;

} // namespace

void CDIBVwEx::OnMouseMove(UINT nFlags, CPoint point)
{
    CRect client;
    GetClientRect(&client);
    CDIBDoc* doc = GetDocument();
    if (!client.PtInRect(point) || doc == nullptr) {
        CDIBView::OnMouseMove(nFlags, point);
        return;
    }
    const CPoint image = ClientToImage(point);
    CDIB* page = doc->GetActiveDIB();
    if (page && image.x >= 0 && image.y >= 0 && image.x < page->GetWidth() && image.y < page->GetHeight()) {
        CString text;
        if (doc->m_nDrawMode == kDrawClassDefinition) {
            text = " - Click over object; End with ESC -";
        } else if (doc->m_nDrawMode == kDrawPickColour) {
            text = " - Hold down left mouse button and move over object; End with ESC -";
        } else {
            const COLORREF colour = page->GetPixel(image.x, image.y);
            text.Format("x:%d y:%d  RGB:%d %d %d", image.x, image.y, GetRValue(colour), GetGValue(colour),
                        GetBValue(colour));
        }
        SetStatusText(text);
    }
    if (doc->m_nDrawMode == kDrawPickColour && (nFlags & MK_LBUTTON))
        LearnThresholdAt(image);
    if (doc->m_nDrawMode == kDrawClassDefinition && (nFlags & MK_LBUTTON) && m_pLearnClassDlg && !GetResultDoc())
        m_pLearnClassDlg->OnImageChanged();
    if (doc->m_nDrawMode == kDrawCollecting)
        CollectMouseMove(nFlags, image);
    if (doc->m_nDrawMode == kDrawNone)
        UpdateTrackerCursor(point);
    CDIBView::OnMouseMove(nFlags, point);
}

void CDIBVwEx::OnLButtonDown(UINT nFlags, CPoint point)
{
    CDIBDoc* doc = GetDocument();
    if (doc == nullptr) {
        CDIBView::OnLButtonDown(nFlags, point);
        return;
    }
    const CPoint image = ClientToImage(point);

    // The tracker is hit where the active area is, before a click
    // elsewhere makes another area active.
    SyncTrackerRect();
    const bool onTracker = MakeTracker().HitTest(point) != CRectTracker::hitNothing;
    // A click inside an area of interest makes it the active one.
    bool areaFound = false;
    if (CAOIDoc* areas = GetAOIDoc(); areas && areas->GetAOICount() > 0 && areas->FindAOIAtPoint(image.x, image.y)) {
        areaFound = true;
        if (CAOI* active = areas->GetActiveAOI(false)) {
            CRect changed = m_rectTracker;
            m_rectTracker = ImageToClient(active->GetRect());
            changed.UnionRect(changed, m_rectTracker);
            changed.InflateRect(10, 10, 0, 0);
            InvalidateRect(&changed, FALSE);
        }
    }

    switch (doc->m_nDrawMode) {
    case kDrawNone:
        if (AddPerspectiveCorner(image) || PlaceAOICopyAt(image))
            break;
        if (CAOIDoc* areas = GetAOIDoc(); areaFound && areas && areas->GetActiveIndex() >= 0 &&
                                         areas->GetActiveIndex() < areas->GetAOICount())
            NotifyPatternMatching(CMatchDlg::noticeAreaChosen, areas->GetActiveIndex());
        if (onTracker && !TrackActiveArea(point))
            return; // the view went during the drag
        RefreshAOIDialog();
        break;
    case kDrawCollecting:
        CollectButtonDown(point, image);
        break;
    case kDrawClassDefinition:
        if (GetResultDoc() != nullptr)
            SelectObjectAt(nFlags, image);
        else
            LearnClassColourAt(image);
        break;
    case kDrawFinished:
        SelectObjectAt(nFlags, image);
        break;
    case kDrawLearnThresholds:
        EditContourAt(image);
        break;
    case kDrawManualCount:
        CountAt(image);
        break;
    default:
        break;
    }
    CDIBView::OnLButtonDown(nFlags, point);
}

void CDIBVwEx::OnLButtonUp(UINT nFlags, CPoint point)
{
    CDIBDoc* doc = GetDocument();
    if (doc && doc->m_nDrawMode == kDrawCollecting) {
        // A release outside the window counts at its edge.
        CRect client;
        GetClientRect(&client);
        point.x = std::clamp<int>(point.x, client.left, std::max<int>(client.left, client.right - 1));
        point.y = std::clamp<int>(point.y, client.top, std::max<int>(client.top, client.bottom - 1));
        CollectButtonUp(ClientToImage(point));
    } else if (doc && doc->m_nDrawMode == kDrawPickColour) {
        LearnThresholdAt(ClientToImage(point));
    }
    CDIBView::OnLButtonUp(nFlags, point);
}

void CDIBVwEx::OnRButtonDown(UINT nFlags, CPoint point)
{
    CDIBDoc* doc = GetDocument();
    if (doc && doc->m_nDrawMode == kDrawCollecting)
        CollectRightButton(point, ClientToImage(point));
    if (doc && doc->m_nDrawMode == kDrawFinished) {
        CMenu menu;
        if (menu.CreatePopupMenu()) {
            menu.AppendMenu(MF_STRING, ID_OBJECT_ADD, "&Add Object");
            menu.AppendMenu(MF_STRING, ID_OBJECT_DELETE, "&Delete Object");
            menu.AppendMenu(MF_STRING, ID_OBJECT_ADD_CUT, "Add &Cut");
            menu.AppendMenu(MF_STRING, ID_OBJECT_DELETE_CUT, "Delete C&ut");
            menu.AppendMenu(MF_STRING, ID_OBJECT_SHOW, "&Show Objects");
            CPoint screen = point;
            ClientToScreen(&screen);
            menu.TrackPopupMenu(TPM_RIGHTBUTTON, screen.x, screen.y, AfxGetMainWnd());
        }
    }
    CDIBView::OnRButtonDown(nFlags, point);
}

void CDIBVwEx::SelectObjectAt(UINT nFlags, CPoint ptImage)
{
    CObjDataDoc* results = GetResultDoc();
    if (results == nullptr)
        return;
    const int index = results->HitTestObject(ptImage);
    if (index < 0)
        return;
    if (results->IsSelected(index)) {
        // An excluded object is only shown.
        ShowObject(index);
        return;
    }
    CBaseObj* record = results->GetAt(index);
    if (record->m_ID == kKindObject)
        results->SetSelectedObject(ptImage, index);
    TellClassWindow(*record);
    // The table's windows select the object's row.
    const std::vector<CView*> tables = results->Views();
    for (CView* table : tables)
        table->SendMessage(m_nHitObjectMsg, static_cast<WPARAM>(index),
                           reinterpret_cast<LPARAM>(static_cast<CDocument*>(results)));

    if (!(nFlags & MK_CONTROL) || record->m_ID != kKindObject)
        return;
    auto* object = dynamic_cast<CObjData*>(record);
    if (object == nullptr)
        return;
    double roughness = 0.0;
    if (MeasureRoughness(*object, roughness)) {
        CString text;
        text.Format("Roughness = %.3f", roughness);
        AfxMessageBox(text);
    }
}

bool CDIBVwEx::MeasureRoughness(const CObjData& object, double& roughness)
{
    CDIBDoc* doc = GetDocument();
    CAOIDoc* areas = GetAOIDoc();
    const bool hasContour = !object.m_Polygon.IsEmpty() || !object.m_Chain.IsEmpty();
    if (doc == nullptr || areas == nullptr || areas->GetAOICount() < 1 || !hasContour) {
        MessageBeep(MB_ICONASTERISK);
        return false;
    }
    CAOI* area = areas->GetActiveAOI(true);
    if (area == nullptr)
        return false;
    const CRPolygon contour = object.m_Polygon.IsEmpty() ? CRPolygon(object.m_Chain) : object.m_Polygon;
    std::vector<std::pair<int, int>> pairs;
    if (contour.FindBorderTransitions(*area, pairs) == 0 || pairs.empty())
        return false;

    // The stretch whose ends lie farthest apart; a later one only when strictly farther.
    double best = -1.0;
    std::pair<int, int> chosen = pairs.front();
    for (const auto& pair : pairs) {
        const CPoint a = contour.GetPointAt(pair.first);
        const CPoint b = contour.GetPointAt(pair.second);
        const double d = std::hypot(static_cast<double>(b.x - a.x), static_cast<double>(b.y - a.y));
        if (d > best) {
            best = d;
            chosen = pair;
        }
    }
    const CPoint a = contour.GetPointAt(chosen.first);
    const CPoint b = contour.GetPointAt(chosen.second);
    doc->m_arrPoints1.SetSize(2);
    doc->m_arrPoints1[0] = a;
    doc->m_arrPoints1[1] = b;
    Invalidate(FALSE);

    const double length = contour.PathLength(chosen.first, chosen.second);
    roughness = best > 0.0 ? length / best : -1.0;
    return true;
}
