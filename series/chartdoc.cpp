// CChartDoc: the chart window's document and its ".cht" file.

#include "series/chartdoc.h"

#include "series/chartfile.h"
#include "series/curvechart.h"

#include "platform/core/exceptions.h"
#include "platform/core/messagebox.h"
#include "platform/core/messages.h"
#include "platform/ui/doctemplate.h"
#include "platform/ui/frame.h"
#include "platform/ui/view.h"
#include "platform/ui/winapp.h"
#include "platform/ui/wnd.h"

#include <exception>

IMPLEMENT_DYNCREATE(CChartDoc, CDocument)

CChartDoc::CChartDoc() = default;

CChartDoc::~CChartDoc()
{
    try {
        if (CWnd* main = AfxGetMainWnd())
            main->SendMessage(RegisterWindowMessage("DELETE_DOCUMENT"), 0,
                              reinterpret_cast<LPARAM>(static_cast<CDocument*>(this)));
    } catch (const CException& e) {
        e.ReportError();
    } catch (const std::exception& e) {
        AfxMessageBox(e.what(), MB_ICONEXCLAMATION);
    }
}

CChartControls* CChartDoc::FirstControls() const
{
    POSITION pos = GetFirstViewPosition();
    CView* view = pos != nullptr ? GetNextView(pos) : nullptr;
    return dynamic_cast<CChartControls*>(view);
}

CCurveChart* CChartDoc::GetChartControl() const
{
    CChartControls* controls = FirstControls();
    return controls != nullptr ? controls->GetLineChart() : nullptr;
}

CBarChart* CChartDoc::GetHistogramControl() const
{
    CChartControls* controls = FirstControls();
    return controls != nullptr ? controls->GetBarChart() : nullptr;
}

BOOL CChartDoc::OnOpenDocument(LPCTSTR lpszPathName)
{
    const CString path(lpszPathName != nullptr ? lpszPathName : "");
    CCurveChart* chart = GetChartControl();
    if (chart == nullptr) {
        AfxMessageBox("Cannot open " + path + ": the chart window has no line chart.", MB_ICONEXCLAMATION);
        return FALSE;
    }
    try {
        kestrun::LoadChartFile(*chart, path);
    } catch (const CException& e) {
        ReportSaveLoadException(path, &e, FALSE, AFX_IDP_FAILED_TO_OPEN_DOC);
        return FALSE;
    }
    m_nChartKind = kLineChart;
    SetModifiedFlag(FALSE);
    UpdateAllViews(nullptr);
    return TRUE;
}

BOOL CChartDoc::OnSaveDocument(LPCTSTR lpszPathName)
{
    const CString path(lpszPathName != nullptr ? lpszPathName : "");
    const CCurveChart* chart = m_nChartKind == kLineChart ? GetChartControl() : nullptr;
    if (chart == nullptr) {
        // A histogram has no ".cht" file: saying so beats an empty file.
        AfxMessageBox("Only line charts are saved as chart files.", MB_ICONEXCLAMATION);
        return FALSE;
    }
    try {
        kestrun::SaveChartFile(*chart, path);
    } catch (const CException& e) {
        ReportSaveLoadException(path, &e, TRUE, AFX_IDP_FAILED_TO_SAVE_DOC);
        return FALSE;
    }
    SetModifiedFlag(FALSE);
    return TRUE;
}

namespace kestrun {

CChartDoc* OpenChartDocument(CDocTemplate* pTemplate, int nKind, LPCTSTR lpszTitle)
{
    if (pTemplate == nullptr)
        return nullptr;
    CDocument* made = pTemplate->CreateNewDocument();
    auto* doc = dynamic_cast<CChartDoc*>(made);
    if (doc == nullptr) {
        delete made;
        return nullptr;
    }
    doc->m_nChartKind = nKind;
    const BOOL autoDelete = doc->m_bAutoDelete;
    doc->m_bAutoDelete = FALSE;
    CFrameWnd* frame = pTemplate->CreateNewFrame(doc, nullptr);
    doc->m_bAutoDelete = autoDelete;
    if (frame == nullptr) {
        delete doc;
        return nullptr;
    }
    if (lpszTitle != nullptr)
        doc->SetTitle(lpszTitle);
    else
        pTemplate->SetDefaultTitle(doc);
    pTemplate->InitialUpdateFrame(frame, doc, TRUE);
    return doc;
}

} // namespace kestrun
