// New and deleted records of the growth-test form, and the area correction
// factors by fill level.
#include "database/ui/dbform.h"

#include "database/comerrorbox.h"
#include "database/dbdocado.h"
#include "database/dbfields.h"
#include "database/ui/correctiondlg.h"
#include "database/ui/dbdlgresources.h"
#include "database/ui/dbformdlgs.h"
#include "database/ui/formcount.h"
#include "platform/core/messagebox.h"
#include "platform/ui/appservices.h"

#include <cstdlib>

namespace {

constexpr int kDefaultFillLevel = 100;

} // namespace

float CDBForm::GetBandFactor(int fillLevel) const
{
    return m_fBandFactor[static_cast<size_t>(FillLevelBand(fillLevel))];
}

void CDBForm::ExchangeCorrectionFactors(bool store)
{
    CDBDocADO* doc = GetDocument();
    if (doc == nullptr || !doc->GetConnection())
        return;
    try {
        ::ExchangeCorrectionFactors(doc->GetConnection(), m_fBandFactor, store);
    } catch (const _com_error& e) {
        DumpComError(e);
    }
}

void CDBForm::EditCorrectionFactors()
{
    CCorrectionDlg dlg(this);
    for (size_t i = 0; i < m_fBandFactor.size(); ++i)
        dlg.m_fFactor[i] = m_fBandFactor[i];
    if (dlg.DoModal() != IDOK)
        return;
    for (size_t i = 0; i < m_fBandFactor.size(); ++i)
        m_fBandFactor[i] = dlg.m_fFactor[i];
    StoreCorrectionFactors();
    UpdateData(FALSE);
}

void CDBForm::OnNewRecord()
{
    CDBDocADO* doc = GetDocument();
    if (doc == nullptr || !IsOpen())
        return;
    const long seriesId = doc->GetFieldValue();
    if (seriesId <= 0) {
        AfxMessageBox(kestrun::dbui::kNoSeriesText);
        return;
    }
    int fillLevel = kDefaultFillLevel;
    int vessel = 0;
    if (m_nFormMode == 1) {
        CNeueMessungDlg dlg(this);
        dlg.m_pConnection = doc->GetConnection();
        try {
            dlg.m_nDilutionSeriesID = GetFieldInt(doc->GetSeriesRecordset(), "V_ReiheID");
        } catch (const _com_error& e) {
            DumpComError(e);
            return;
        }
        dlg.m_nVesselIndex = m_nVessel;
        dlg.m_nTestDay = m_nMeasurementDay;
        dlg.m_nFillLevelIndex = m_nFillLevel;
        if (dlg.DoModal() != IDOK)
            return;
        m_nVessel = dlg.m_nVesselIndex + 1;
        m_nMeasurementDay = dlg.m_nTestDay;
        m_nFillLevel = dlg.m_nFillLevelIndex;
        if (!dlg.m_strFillLevel.IsEmpty())
            fillLevel = std::atoi(dlg.m_strFillLevel);
        vessel = std::atoi(dlg.m_strVessel);
    } else {
        CNeueMessDescrDlg dlg(this);
        if (dlg.DoModal() != IDOK)
            return;
        m_strDescription = dlg.m_strDescription;
        vessel = ++m_nVessel;
    }
    CString profile;
    if (CAppServices* services = kestrun::AppServices())
        profile = services->GetCurrentProfileName();
    try {
        const _RecordsetPtr& rs = m_pMessungen;
        rs->AddNew();
        rs->PutCollect("MessreihenID", COleVariant(static_cast<LONG>(seriesId)));
        rs->PutCollect("GlasNr", COleVariant(static_cast<short>(vessel)));
        rs->PutCollect("Messtag", COleVariant(static_cast<short>(m_nMeasurementDay)));
        rs->PutCollect("Fuellstand", COleVariant(static_cast<short>(fillLevel)));
        rs->PutCollect("Korrekturfaktor", COleVariant(static_cast<double>(GetBandFactor(fillLevel))));
        rs->PutCollect("Messparameter", COleVariant(profile));
        rs->PutCollect("Comment", COleVariant(m_strDescription));
        rs->PutCollect("Anzahl_Manuell", COleVariant(static_cast<short>(0)));
        const int id = kestrun::dbui::StoreNewRecord(rs);
        rs->Requery();
        rs->Find(FormatString("ID = %d", id));
        if (rs->GetEOF())
            rs->MoveLast();
    } catch (const _com_error& e) {
        DatabaseFailed(e);
    }
    UpdateData(FALSE);
    OnLoadImage();
}

void CDBForm::OnDeleteRecord()
{
    try {
        if (!HasCurrentRecord())
            return;
        m_pMessungen->Delete();
    } catch (const _com_error& e) {
        DatabaseFailed(e);
        return;
    }
    OnRecordNext();
    UpdateData(FALSE);
}
