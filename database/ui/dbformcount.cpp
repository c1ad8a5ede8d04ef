// The count and the area measurement of a growth-test record.
#include "database/ui/countresults.h"
#include "database/ui/dbform.h"
#include "database/ui/formcount.h"

#include "analysis/bv.h"
#include "database/dbfields.h"
#include "imaging/dibdocex.h"
#include "imaging/imagecommands.h"
#include "imaging/src.h"
#include "platform/core/messagebox.h"
#include "platform/core/messages.h"
#include "platform/ui/appservices.h"
#include "platform/ui/doctemplate.h"
#include "series/datadoc.h"

namespace {

CString ActiveProfileName()
{
    CAppServices* services = kestrun::AppServices();
    return services ? services->GetCurrentProfileName() : CString();
}

} // namespace

using namespace kestrun::dbui;

void CDBForm::CloseResultDocuments(int slot)
{
    CAppServices* services = kestrun::AppServices();
    CSRC* templates = services ? services->GetTemplates() : nullptr;
    if (CMultiDocTemplate* tables = templates ? templates->GetTemplate(slot) : nullptr)
        tables->CloseAllDocuments(FALSE);
}

void CDBForm::OnCount()
{
    try {
        if (!HasRecords()) {
            AfxMessageBox(kNoDatasetText);
            return;
        }
    } catch (const _com_error& e) {
        DatabaseFailed(e);
        return;
    }
    CloseResultDocuments(CSRC::kObjGridTemplate);
    kestrun::PumpMessages();
    if (m_pImageDoc == nullptr) {
        AfxMessageBox(kNoImageText);
        return;
    }
    if (!CountModelFits()) {
        AfxMessageBox(kWrongModelText);
        return;
    }
    m_pImageDoc->GrabIfNotLive();
    if (m_bSaveImage)
        OnSaveImage();
    if (CheckBackground() == 1 && m_pImageDoc != nullptr) {
        m_pImageDoc->OnCmdMsg(ID_IMAGE_SEARCH_OBJECTS, CN_COMMAND, nullptr, nullptr);
        if (m_pImageDoc != nullptr && m_pImageDoc->GetResultDoc() != nullptr)
            OnDataChanged(0, reinterpret_cast<LPARAM>(m_pImageDoc->GetResultDoc()));
    }
    SendStateToBox(3);
}

void CDBForm::OnNewCount()
{
    if (m_pImageDoc == nullptr) {
        AfxMessageBox(kNoImageText);
        return;
    }
    m_pImageDoc->Grab(TRUE);
    OnNewRecord();
    OnCount();
}

void CDBForm::OnAreaAndCount()
{
    OnCount();
    kestrun::PumpMessages();
    MeasureArea();
}

LRESULT CDBForm::OnDataChanged(WPARAM wParam, LPARAM lParam)
{
    if (!CountModelFits()) {
        AfxMessageBox(kWrongModelText);
        return 0;
    }
    try {
        if (!HasCurrentRecord())
            return 0;
        const _RecordsetPtr& rs = m_pMessungen;
        if (lParam == 0) {
            rs->PutCollect("Anzahl_Manuell", COleVariant(static_cast<short>(wParam)));
            rs->Update();
            UpdateData(FALSE);
            return 0;
        }
        CDataDoc* table = OwnResultDocument(m_pImageDoc, lParam);
        if (table == nullptr)
            return 0;
        const CCountResults results = ComputeCountResults(ShownRecords(*table));
        if (results.kind == 4) {
            rs->PutCollect("Flaeche_Total", COleVariant(results.total));
        } else {
            rs->PutCollect("Anzahl", COleVariant(static_cast<short>(results.count)));
            rs->PutCollect("GlasNr", COleVariant(static_cast<short>(m_nVessel)));
            const char* shares[4] = {"Prozent_Normal", "Prozent_Hell", "Prozent_Gelblich", "Prozent_Ausgebleicht"};
            for (int i = 0; i < 4; ++i)
                rs->PutCollect(shares[i], COleVariant(static_cast<float>(results.percent[i])));
            rs->PutCollect("Flaeche_Fronds", COleVariant(results.sum));
            rs->PutCollect("Flaeche_MittelWert", COleVariant(static_cast<float>(results.mean)));
            rs->PutCollect("Flaeche_Standardabw", COleVariant(static_cast<float>(results.deviation)));
            rs->PutCollect("Flaeche_Median", COleVariant(static_cast<float>(results.median)));
        }
        rs->PutCollect("Messparameter", COleVariant(ActiveProfileName()));
        rs->Update();
    } catch (const _com_error& e) {
        DatabaseFailed(e);
    }
    UpdateData(FALSE);
    return 0;
}

void CDBForm::MeasureArea()
{
    if (m_nFormMode == 0) {
        OnNewCount();
        return;
    }
    CloseResultDocuments(CSRC::kObjTemplate);
    kestrun::PumpMessages();
    if (m_pImageDoc == nullptr) {
        AfxMessageBox(kNoImageText);
        return;
    }
    try {
        if (!HasCurrentRecord()) {
            AfxMessageBox(kNoDatasetText);
            return;
        }
        const COleVariant previous = m_pMessungen->GetCollect("Flaeche_Total");
        if (previous.vt != VT_EMPTY && previous.vt != VT_NULL && GetFieldDouble(m_pMessungen, "Flaeche_Total") != 0.0 &&
            AfxMessageBox("Overwrite previous measurement?", MB_OKCANCEL) != IDOK)
            return;
        m_pImageDoc->GrabIfNotLive();
        m_pImageDoc->OnCmdMsg(ID_IMAGE_SEARCH_BLOBS, CN_COMMAND, nullptr, nullptr);
        // Records the table hides are no part of the area.
        auto* table = m_pImageDoc ? dynamic_cast<CDataDoc*>(m_pImageDoc->GetResultDoc()) : nullptr;
        const double total = table ? ShownAreaSum(*table) : 0.0;
        m_pMessungen->PutCollect("Flaeche_Total", COleVariant(total));
        const CString profile = ActiveProfileName();
        if (!profile.IsEmpty())
            m_pMessungen->PutCollect("Messparameter", COleVariant(profile));
        m_pMessungen->Update();
    } catch (const _com_error& e) {
        DatabaseFailed(e);
    }
    UpdateData(FALSE);
}
