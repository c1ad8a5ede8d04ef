// CDIBVwEx: the tool windows - the form-parameter sheet and the
// calibration line.

#include "imaging/ui/dibvwex.h"

#include "imaging/ui/dibviewcommands.h"
#include "imaging/ui/matchdlg0.h"
#include "imaging/ui/matchdlg8.h"
#include "imaging/ui/perspectivetransformdlg.h"
#include "imaging/dibdoc.h"

#include "analysis/bv.h"
#include "analysis/ui/aoidlg.h"
#include "analysis/ui/formsheet.h"
#include "analysis/ui/thresdlg.h"
#include "outside/pixmere/dib.h"

#include "platform/core/messagebox.h"
#include "platform/core/messages.h"
#include "platform/core/resources.h"
#include "platform/ui/appservices.h"
#include "platform/ui/winapp.h"

#include <algorithm>
#include <cmath>

void CDIBVwEx::OnToolFormParameter()
{
    CDIBDoc* doc = GetDocument();
    CBV* engine = doc != nullptr ? doc->GetEngine() : nullptr;
    if (engine == nullptr)
        return;
    if (m_pFormSheet) {
        m_pFormSheet->BringWindowToTop();
        return;
    }
    auto sheet = std::make_unique<CFormSheet>("Formparameter", this, 0);
    sheet->m_FormThres = engine->GetSettings().m_FormThres;
    if (!sheet->Create(this)) {
        AfxMessageBox("Cannot create window");
        return;
    }
    m_pFormSheet = std::move(sheet);
}

LRESULT CDIBVwEx::OnToolWindowClosed(WPARAM wParam, LPARAM lParam)
{
    CancelTool();
    if (lParam == CThresDlg::kReportId)
        ThresholdsClosed(wParam);
    if (lParam == CAOIDlg::kReportId)
        m_pAOIDlg.reset();
    if (lParam == CPerspectiveTransformDlg::kReportId)
        m_pPerspectiveDlg.reset();
    if (lParam == CMatchDlg0::IDD)
        m_pMatchDlg0.reset();
    if (lParam == CMatchDlg8::IDD)
        m_pMatchDlg8.reset();
    MeasureWindowClosed(wParam, lParam);
    if (lParam == CFormSheet::kReportForm && m_pFormSheet) {
        CDIBDoc* doc = GetDocument();
        CBV* engine = doc != nullptr ? doc->GetEngine() : nullptr;
        if (wParam == 1 && engine != nullptr) {
            CFormThres& profile = engine->GetSettings().m_FormThres;
            if (m_pFormSheet->m_FormThres.Differs(profile)) {
                if (CAppServices* services = kestrun::AppServices())
                    services->SetSettingsChanged();
            }
            profile.Copy(m_pFormSheet->m_FormThres);
            if (CWnd* main = AfxGetMainWnd())
                main->SendMessageToDescendants(RegisterWindowMessage("PARAMETER_CHANGED"), 0, 0);
        }
        m_pFormSheet.reset();
    }
    Invalidate(TRUE);
    return 0;
}

void CDIBVwEx::CloseToolWindows()
{
    if (m_pAOIDlg) {
        m_pAOIDlg->ForgetOwnerWindow();
        m_pAOIDlg.reset();
    }
    if (m_pThresDlg) {
        m_pThresDlg->ForgetOwnerWindow();
        m_pThresDlg.reset();
    }
    if (m_pFormSheet) {
        m_pFormSheet->ForgetOwner();
        m_pFormSheet.reset();
    }
    if (m_pPerspectiveDlg) {
        m_pPerspectiveDlg->ForgetOwnerWindow();
        m_pPerspectiveDlg.reset();
    }
    CloseMatchWindows();
    CloseMeasureWindows();
}

void CDIBVwEx::OnToolCalibration()
{
    CDIBDoc* doc = GetDocument();
    if (doc == nullptr)
        return;
    doc->GrabIfNotLive();
    const char* prompt = AfxLoadString(IDS_CALIBRATION_LINE);
    SetStatusText(prompt != nullptr ? prompt : "");
    std::vector<CPoint> points;
    const bool collected = CollectPoints(2, points, prompt != nullptr ? prompt : "");
    if (!collected)
        return; // the view went meanwhile
    doc->m_nDrawMode = kDrawFinished;
    SetStatusText("");
    const CDIB* page = doc->GetActiveDIB();
    CBV* engine = doc->GetEngine();
    if (points.size() < 2 || page == nullptr || engine == nullptr)
        return;
    const double dx = points[1].x - points[0].x;
    const double dy = points[1].y - points[0].y;
    const int length = std::max(1, static_cast<int>(std::sqrt(dx * dx + dy * dy)));
    engine->EditCalibration(page->GetWidth(), page->GetHeight(), length);
    // The form around an embedded view shows the calibration too.
    if (m_bEmbedded) {
        if (CWnd* form = GetParent())
            form->SendMessage(RegisterWindowMessage("Update"));
    }
    doc->UpdateAllViews(nullptr);
}
