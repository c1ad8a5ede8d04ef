// CDIBVwEx: the class window (drawing mode 4), the manual counter (256)
// and the contour editing of "Add Object" in tables of ellipses (64) - the
// clicks over the image that go to them.

#include "imaging/ui/dibvwex.h"

#include "imaging/dibdoc.h"

#include "analysis/bv.h"
#include "analysis/classes.h"
#include "analysis/objdatabase.h"
#include "analysis/ui/infodlgs.h"
#include "analysis/ui/infolearnclass.h"
#include "outside/pixmere/dib.h"
#include "series/objdatadoc.h"

#include "platform/core/messagebox.h"
#include "platform/ui/windowdc.h"

#include <memory>

namespace {

constexpr WORD kKindObject = 5;
constexpr WORD kKindEllipse = 13;

} // namespace

void CDIBVwEx::OnToolClassDefinition()
{
    CDIBDoc* doc = GetDocument();
    CBV* engine = doc != nullptr ? doc->GetEngine() : nullptr;
    if (engine == nullptr || doc->m_nDrawMode == kDrawClassDefinition || m_pLearnClassDlg)
        return;
    auto dialog = std::make_unique<CInfoLearnClass>(this, engine->m_Classes);
    if (!dialog->Create()) {
        AfxMessageBox("Cannot create window");
        return;
    }
    m_pLearnClassDlg = std::move(dialog);
    doc->m_nDrawMode = kDrawClassDefinition;
}

void CDIBVwEx::OnToolCountManually()
{
    CDIBDoc* doc = GetDocument();
    if (doc == nullptr || doc->m_nDrawMode == kDrawManualCount)
        return;
    doc->m_nDrawMode = kDrawManualCount;
    if (m_pManualCountDlg)
        return;
    auto dialog = std::make_unique<CInfoManualCount>(this);
    if (dialog->Create())
        m_pManualCountDlg = std::move(dialog);
    else
        AfxMessageBox("Cannot create window");
}

void CDIBVwEx::LearnClassColourAt(CPoint ptImage)
{
    COLORREF colour = 0;
    if (m_pLearnClassDlg && ColourAt(ptImage, colour))
        m_pLearnClassDlg->LearnColor(colour);
}

void CDIBVwEx::EditContourAt(CPoint ptImage)
{
    CObjDataDoc* results = GetResultDoc();
    if (results == nullptr || results->EditContour(ptImage) == 0)
        return;
    Invalidate(FALSE);
    // The object is edited in place: its own row is the one to show.
    const int edited = results->GetCurrentIndex();
    for (CView* table : results->Views())
        table->SendMessage(m_nHitObjectMsg, static_cast<WPARAM>(edited),
                           reinterpret_cast<LPARAM>(static_cast<CDocument*>(results)));
}

void CDIBVwEx::CountAt(CPoint ptImage)
{
    if (!m_pManualCountDlg)
        return;
    m_pManualCountDlg->AddPoint(ptImage.x, ptImage.y);
    if (GetClientWidget() == nullptr)
        return;
    CClientDC dc(this);
    OnPrepareDC(&dc);
    DrawManualCount(&dc);
}

void CDIBVwEx::DrawManualCount(CDC* pDC)
{
    if (!m_pManualCountDlg || m_pManualCountDlg->GetSafeHwnd() == nullptr)
        return;
    CFont font;
    font.CreateFontIndirect(&m_lfText);
    CFont* old = pDC->SelectObject(&font);
    const COLORREF oldColour = pDC->SetTextColor(m_crText);
    m_pManualCountDlg->DrawPoints(pDC, m_crManualCount);
    pDC->SetTextColor(oldColour);
    pDC->SelectObject(old);
}

void CDIBVwEx::TellClassWindow(CBaseObj& record)
{
    if (!m_pLearnClassDlg)
        return;
    const int current = m_pLearnClassDlg->GetCurrentClass();
    CDIBDoc* doc = GetDocument();
    CBV* engine = doc != nullptr ? doc->GetEngine() : nullptr;
    if ((record.m_ID == kKindObject || record.m_ID == kKindEllipse) && engine != nullptr && current >= 0 &&
        current < engine->m_Classes.GetCount()) {
        const CVectorNormal& cls = engine->m_Classes[current];
        record.m_dClass = static_cast<WORD>(cls.m_nClass);
        record.m_strClassName = cls.m_strName;
        record.m_ClassColor = cls.m_Color;
    }
    m_pLearnClassDlg->OnObjectClicked(dynamic_cast<const CObjDataBase*>(&record));
}

void CDIBVwEx::CloseInfoWindows()
{
    if (m_pManualCountDlg) {
        m_pManualCountDlg->ForgetOwnerWindow();
        m_pManualCountDlg.reset();
        if (GetSafeHwnd() != nullptr)
            Invalidate(FALSE);
    }
}
