// The image document's commands that edit the analysis profile in the
// engine's dialogs: the filter steps, the contour smoothing and the page
// filters' settings, and the settings report.

#include "imaging/dibdocex.h"

#include "analysis/bv.h"
#include "analysis/filterparams.h"
#include "analysis/settingsreport.h"
#include "analysis/ui/filtersettingsdlg.h"
#include "imaging/src.h"
#include "imaging/textdoc.h"
#include "platform/ui/appservices.h"
#include "platform/ui/doctemplate.h"
#include "platform/ui/frame.h"

void CDIBDocEx::OnSelection()
{
    if (CBV* engine = GetEngine())
        engine->GetSettings().m_ObjectFilter.EditFilters();
}

void CDIBDocEx::OnSmoothContour()
{
    if (CBV* engine = GetEngine())
        engine->GetSettings().m_ObjectFilter.EditSmoothing();
}

void CDIBDocEx::OnFilterSettings()
{
    CFilterSettingsDlg::Edit(sFilterParams);
}

void CDIBDocEx::OnShowParameter()
{
    CBV* engine = GetEngine();
    CSRC* templates = GetTemplates();
    CMultiDocTemplate* texts = templates ? templates->GetTemplate(CSRC::kTextTemplate) : nullptr;
    if (engine == nullptr || texts == nullptr)
        return;
    CAppServices* services = kestrun::AppServices();
    const CString profile = services ? services->GetCurrentProfileName() : CString();
    auto* doc = DYNAMIC_DOWNCAST(CTextDoc, texts->CreateNewDocument());
    if (doc == nullptr)
        return;
    // While the frame is made, a failure must not take the document along.
    const BOOL autoDelete = doc->m_bAutoDelete;
    doc->m_bAutoDelete = FALSE;
    CFrameWnd* frame = texts->CreateNewFrame(doc, nullptr);
    doc->m_bAutoDelete = autoDelete;
    if (frame == nullptr) {
        delete doc;
        return;
    }
    texts->SetDefaultTitle(doc);
    doc->OnNewDocument();
    doc->SetText(FormatSettingsReport(engine->GetSettings(), profile));
    texts->InitialUpdateFrame(frame, doc);
}
