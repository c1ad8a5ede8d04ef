// CDIBView: the tool loop that the drawing tools share - a nested loop of
// the window layer that runs while the document's drawing mode is 1.

#include "imaging/ui/dibview.h"

#include "imaging/dibdoc.h"

#include "platform/core/messages.h"
#include "platform/ui/messagepump.h"
#include "platform/ui/uitext.h"

#include <QWidget>

namespace {

// The mouse and the cross cursor belong to the view while the loop runs;
// both are given back on every way out, unless the view has gone (its
// widget released them as it went).
class CToolLoopCapture
{
public:
    CToolLoopCapture(CWnd& view, const CString& strPrompt) : m_view(view), m_hWnd(view.GetSafeHwnd())
    {
        m_view.SetCapture();
        if (QWidget* client = m_view.GetClientWidget()) {
            client->setCursor(Qt::CrossCursor);
            client->setToolTip(kestrun::ToQString(strPrompt));
        }
    }
    ~CToolLoopCapture()
    {
        if (!IsWindow(m_hWnd))
            return;
        if (CWnd::GetCapture() == &m_view)
            ReleaseCapture();
        if (QWidget* client = m_view.GetClientWidget()) {
            client->unsetCursor();
            client->setToolTip(QString());
        }
    }
    CToolLoopCapture(const CToolLoopCapture&) = delete;
    CToolLoopCapture& operator=(const CToolLoopCapture&) = delete;

private:
    CWnd& m_view;
    HWND m_hWnd;
};

} // namespace

bool CDIBView::CollectPoints(int nPointMode, std::vector<CPoint>& points, const CString& strPrompt)
{
    points.clear();
    CDIBDoc* doc = GetDocument();
    if (doc == nullptr)
        return true;
    // A loop already running ends without a result; this one puts back
    // what that one would have.
    const int saved = m_nToolLoop != 0 ? m_nToolSavedMode : doc->m_nDrawMode;
    const int loop = ++m_nToolLoops;
    m_nToolLoop = loop;
    m_nToolSavedMode = saved;
    doc->m_Points.Start(nPointMode);
    if (nPointMode == CPoints::modePolygon) {
        doc->m_RubberPolygon.RemoveAll();
        doc->m_RubberPolygon.SetFirstMove();
        doc->m_RubberPolygon.SetActive(TRUE);
    }
    doc->m_nDrawMode = kDrawCollecting;

    const HWND self = m_hWnd;
    {
        const CToolLoopCapture capture(*this, strPrompt);
        const bool viewLives = kestrun::RunNestedLoop(
            self, [doc, this, loop] { return doc->m_nDrawMode == kDrawCollecting && m_nToolLoop == loop; });
        if (!viewLives)
            return false;
    }
    if (m_nToolLoop != loop)
        return true; // a newer tool took over
    m_nToolLoop = 0;
    doc->m_nDrawMode = saved;
    CPoints& collected = doc->m_Points;
    if (collected.IsComplete()) {
        if (collected.GetMode() == CPoints::modePolygon) {
            for (INT_PTR i = 0; i < doc->m_RubberPolygon.GetSize(); ++i)
                points.emplace_back(doc->m_RubberPolygon[i].x, doc->m_RubberPolygon[i].y);
        } else {
            for (INT_PTR i = 0; i < collected.GetSize(); ++i)
                points.emplace_back(collected[i].x, collected[i].y);
        }
    }
    collected.Start(0);
    doc->m_RubberPolygon.SetActive(FALSE);
    Invalidate(TRUE);
    return true;
}
