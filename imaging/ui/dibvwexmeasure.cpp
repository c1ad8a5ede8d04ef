// CDIBVwEx: the measuring tool windows - focus, raster, image integration
// and the illumination wizard - opened once each and closed by their
// reports or with the view.

#include "imaging/ui/dibvwex.h"

#include "imaging/ui/focusdlg.h"
#include "imaging/ui/integrationdlg.h"
#include "imaging/ui/rasterdlg.h"
#include "imaging/ui/settingwizard.h"
#include "imaging/dibdoc.h"

#include "platform/core/messagebox.h"
#include "platform/ui/appservices.h"
#include "platform/ui/propsheet.h"

namespace {

constexpr const char* kReferenceImage = "ReferenceImage.jpg";

// Opens a tool window of the view once: a second command brings it up.
template <class Dialog, class Make>
void OpenOnce(std::unique_ptr<Dialog>& slot, Make make, const char* failure)
{
    if (slot) {
        slot->BringWindowToTop();
        return;
    }
    std::unique_ptr<Dialog> dialog = make();
    if (!dialog) {
        AfxMessageBox(failure);
        return;
    }
    slot = std::move(dialog);
}

} // namespace

void CDIBVwEx::OnToolFocus()
{
    CDIBDoc* doc = GetDocument();
    if (doc == nullptr)
        return;
    OpenOnce(
        m_pFocusDlg,
        [this, doc] {
            auto dialog = std::make_unique<CFocusDlg>(this);
            return dialog->Create(doc) ? std::move(dialog) : nullptr;
        },
        "Cannot create window");
}

void CDIBVwEx::OnToolRaster()
{
    CDIBDoc* doc = GetDocument();
    if (doc == nullptr)
        return;
    OpenOnce(
        m_pRasterDlg,
        [this, doc] {
            auto dialog = std::make_unique<CRasterDlg>(this);
            return dialog->Create(doc) ? std::move(dialog) : nullptr;
        },
        "Cannot create window");
}

void CDIBVwEx::OnToolIntegration()
{
    CDIBDoc* doc = GetDocument();
    if (doc == nullptr || !doc->IsVideo())
        return;
    OpenOnce(
        m_pIntegrationDlg,
        [this, doc] {
            auto dialog = std::make_unique<CIntegrationDlg>(this);
            return dialog->Create(doc) ? std::move(dialog) : nullptr;
        },
        "Cannot create Image Integration Dialog");
}

void CDIBVwEx::OnUpdateToolIntegration(CCmdUI* pCmdUI)
{
    CDIBDoc* doc = GetDocument();
    pCmdUI->Enable(doc != nullptr && doc->IsVideo());
}

void CDIBVwEx::OnToolCheckIllumination()
{
    CDIBDoc* doc = GetDocument();
    if (doc == nullptr)
        return;
    if (m_pSetupSheet) {
        m_pSetupSheet->BringWindowToTop();
        return;
    }
    auto first = std::make_unique<CSettingWizard1>();
    first->m_pDoc = doc;
    first->m_pOwnerView = this;
    CAppServices* services = kestrun::AppServices();
    first->m_strReferencePath = (services != nullptr ? services->GetImageDir() : CString()) + kReferenceImage;
    auto second = std::make_unique<CSettingWizard2>();
    second->m_pDoc = doc;
    second->m_pOwnerView = this;
    auto sheet = std::make_unique<CPropertySheet>("Settings", this, 0);
    sheet->AddPage(first.get());
    sheet->AddPage(second.get());
    sheet->SetWizardMode();
    // The pages must outlive the sheet's window, also when it fails.
    m_pSetupPage1 = std::move(first);
    m_pSetupPage2 = std::move(second);
    if (!sheet->Create(this)) {
        sheet.reset();
        CloseSetupWizard();
        AfxMessageBox("Cannot create window");
        return;
    }
    m_pSetupSheet = std::move(sheet);
}

bool CDIBVwEx::MeasureWindowClosed(WPARAM wParam, LPARAM lParam)
{
    switch (lParam) {
    case CFocusDlg::kReportId:
        CToolLoopDlg::Release(m_pFocusDlg);
        return true;
    case CRasterDlg::kReportId:
        m_pRasterDlg.reset();
        return true;
    case CIntegrationDlg::kReportId:
        CToolLoopDlg::Release(m_pIntegrationDlg);
        return true;
    case CSettingWizard1::kReportId:
        if (wParam != 0)
            return false;
        CloseSetupWizard();
        return true;
    default:
        return false;
    }
}

void CDIBVwEx::CloseMeasureWindows()
{
    CToolLoopDlg::Release(m_pFocusDlg);
    CToolLoopDlg::Release(m_pIntegrationDlg);
    if (m_pRasterDlg) {
        m_pRasterDlg->ForgetOwnerWindow();
        m_pRasterDlg.reset();
    }
    CloseSetupWizard();
}

void CDIBVwEx::CloseSetupWizard()
{
    // The sheet's window goes first: the pages stop their worker with it.
    if (m_pSetupSheet && m_pSetupSheet->GetSafeHwnd() != nullptr)
        m_pSetupSheet->DestroyWindow();
    m_pSetupSheet.reset();
    m_pSetupPage1.reset();
    m_pSetupPage2.reset();
}

void CDIBVwEx::RefreshSetupWizard()
{
    if (m_pSetupPage1 && m_pSetupPage1->GetSafeHwnd() != nullptr)
        m_pSetupPage1->RefreshArea();
}
