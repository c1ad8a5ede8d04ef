// CDIBView: the commands on the objects of the bound result table - add,
// delete, include, exclude, show, and cutting an object in two or joining
// the parts again.

#include "imaging/ui/dibview.h"

#include "imaging/dibdoc.h"

#include "analysis/ui/infodlgs.h"
#include "objectmodel/linepoints.h"
#include "objectmodel/rpointarray.h"
#include "series/objdatadoc.h"

#include "platform/ui/cmdtarget.h"

#include <memory>

bool CDIBView::IsEllipseTable() const
{
    const CObjDataDoc* results = GetResultDoc();
    return results && results->m_nFirstType == CGridDoc2::kTypeContourSegment;
}

bool CDIBView::CurrentObjectExcluded(bool bExcluded) const
{
    const CObjDataDoc* results = GetResultDoc();
    if (results == nullptr)
        return false;
    const int current = results->GetCurrentIndex();
    return current >= 0 && (results->IsSelected(current) != FALSE) == bExcluded;
}

// "&Add Object": an excluded object is shown again. In a table of fitted
// ellipses it opens the threshold-learning window, which this build does
// not have yet; the command is disabled there.
void CDIBView::OnObjectAdd()
{
    CObjDataDoc* results = GetResultDoc();
    if (results == nullptr)
        return;
    if (IsEllipseTable()) {
        // Contours are corrected by clicks while the prompt is open.
        if (m_pLearnThresDlg) {
            MessageBeep(MB_ICONASTERISK);
            return;
        }
        auto dialog = std::make_unique<CInfoLearnThres>(this);
        if (!dialog->Create())
            return;
        m_pLearnThresDlg = std::move(dialog);
        if (CDIBDoc* doc = GetDocument())
            doc->m_nDrawMode = kDrawLearnThresholds;
        return;
    }
    CRect rect;
    if (results->IncludeCurrentObject(rect))
        Invalidate(FALSE);
}

void CDIBView::OnUpdateObjectAdd(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(IsEllipseTable() || CurrentObjectExcluded(true));
}

void CDIBView::OnObjectDelete()
{
    CObjDataDoc* results = GetResultDoc();
    if (results == nullptr)
        return;
    CRect rect;
    if (!results->ExcludeCurrentObject(rect))
        return;
    if (!IsEllipseTable()) {
        Invalidate(FALSE);
        return;
    }
    // An ellipse is deleted: the windows that show it learn which one.
    const int current = results->GetCurrentIndex();
    SendToAllWindows(m_nHitObjectMsg, static_cast<WPARAM>(current), reinterpret_cast<LPARAM>(this));
    if (current == -1)
        ShowObject(-1);
}

void CDIBView::OnUpdateObjectDelete(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(CurrentObjectExcluded(false));
}

void CDIBView::OnObjectShow()
{
    m_bShowObjects = !m_bShowObjects;
    Invalidate(FALSE);
}

void CDIBView::OnUpdateObjectShow(CCmdUI* pCmdUI)
{
    pCmdUI->SetCheck(m_bShowObjects ? 1 : 0);
}

void CDIBView::OnObjectExclude()
{
    CObjDataDoc* results = GetResultDoc();
    CRect rect;
    if (results && results->ExcludeCurrentObject(rect))
        Invalidate(FALSE);
}

void CDIBView::OnUpdateObjectExclude(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(CurrentObjectExcluded(false));
}

void CDIBView::OnObjectInclude()
{
    CObjDataDoc* results = GetResultDoc();
    CRect rect;
    if (results && results->IncludeCurrentObject(rect))
        Invalidate(FALSE);
}

void CDIBView::OnUpdateObjectInclude(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(CurrentObjectExcluded(true));
}

// "Add &Cut": the user draws a line; the current object is split along it.
void CDIBView::OnObjectAddCut()
{
    CDIBDoc* doc = GetDocument();
    if (doc == nullptr || GetResultDoc() == nullptr)
        return;
    std::vector<CPoint> points;
    if (!CollectPoints(2, points))
        return;
    doc->m_nDrawMode = kDrawFinished;
    // The table may have gone while the line was drawn.
    CObjDataDoc* results = GetResultDoc();
    if (points.size() < 2 || results == nullptr)
        return;
    CLinePoints line;
    line.Init(points[0].x, points[0].y, points[1].x, points[1].y);
    CRPointArray cut;
    for (const POINT& p : line.Points())
        cut.Add(p);
    results->SplitObjectAt(cut);
}

void CDIBView::OnUpdateObjectAddCut(CCmdUI* pCmdUI)
{
    const CObjDataDoc* results = GetResultDoc();
    pCmdUI->Enable(results && !IsEllipseTable() && results->GetCurrentIndex() >= 0);
}

void CDIBView::OnObjectDeleteCut()
{
    CObjDataDoc* results = GetResultDoc();
    if (results && results->JoinObjects())
        ShowObject(results->GetCurrentIndex());
}

void CDIBView::OnUpdateObjectDeleteCut(CCmdUI* pCmdUI)
{
    const CObjDataDoc* results = GetResultDoc();
    pCmdUI->Enable(results && results->m_nSelected != -1);
}
