// The growth-test form's reports: the titles and values of the series'
// records, the script object "DBFront" that report scripts read them
// through, Print Report's workbook route and Show Table.
#include "database/ui/dbform.h"

#include "database/comerrorbox.h"
#include "database/dbdocado.h"
#include "database/dbfields.h"
#include "database/reportvalues.h"
#include "database/ui/reportroutes.h"
#include "platform/automation/dispatchmap.h"
#include "platform/core/messagebox.h"

#include <algorithm>
#include <climits>

namespace {

using Args = std::span<const COleVariant>;

constexpr const char* kNoMeasurements = "No measurement set available.";
// Table mode of the record table (chooses its frame title).
constexpr int kRecordTableMode = 3;

CString MeasurementsQuery(long seriesId, const char* order)
{
    return FormatString("SELECT * FROM Messungen WHERE Messungen.MessreihenID = %ld ORDER BY %s", seriesId, order);
}

} // namespace

// ---- the report's titles and values ----------------------------------------------------------

int CDBForm::BuildReportTitles(std::vector<CString>& titles)
{
    titles = BuildReportTitleList(m_nFormMode);
    m_nReportColumns = static_cast<int>(titles.size());
    return m_nReportColumns;
}

long CDBForm::BuildReportRows(std::vector<CString>& values)
{
    CDBDocADO* doc = GetDocument();
    if (doc == nullptr || !IsOpen())
        return 0;
    const long seriesId = doc->GetFieldValue();
    const long currentId = HasCurrentRecord() ? GetFieldInt(m_pMessungen, "ID") : 0;
    const long dilution = m_nFormMode == 1 ? doc->OpenDilutionSteps() : 0;
    long records = 0;
    try {
        _RecordsetPtr rs = CAdoRecordset::Create();
        rs->PutCursorLocation(adUseClient);
        rs->Open(MeasurementsQuery(seriesId, "GlasNr, Messtag, DatumZeit"), doc->GetConnection(), adOpenKeyset,
                 adLockOptimistic, adCmdText);
        const auto dilutionText = [doc, dilution](long vessel) { return doc->GetDilutionStepText(dilution, vessel); };
        values.reserve(values.size() + static_cast<size_t>(m_nReportColumns) *
                                           static_cast<size_t>(std::max(0L, rs->GetRecordCount())));
        if (rs->GetRecordCount() > 0)
            rs->MoveFirst();
        while (!rs->GetEOF()) {
            AppendReportValues(rs, m_nFormMode, static_cast<int>(records) + 1, dilutionText, values);
            ++records;
            rs->MoveNext();
        }
        rs->Close();
    } catch (const _com_error& e) {
        DatabaseFailed(e);
        return 0;
    }
    // The form stays on the record it showed.
    if (currentId > 0)
        MoveToRecord(currentId);
    return records;
}

void CDBForm::MoveToRecord(long id)
{
    try {
        m_pMessungen->Requery();
        if (m_pMessungen->GetRecordCount() <= 0)
            return;
        m_pMessungen->MoveFirst();
        m_pMessungen->Find(FormatString("ID = %ld", id), 0, adSearchForward);
        if (m_pMessungen->GetEOF())
            m_pMessungen->MoveFirst();
    } catch (const _com_error& e) {
        DatabaseFailed(e);
    }
    ShowCurrent();
}

// ---- "DBFront" --------------------------------------------------------------------------------

const kestrun::CDispatchMap& CDBForm::GetDispatchMap() const
{
    static const kestrun::CDispatchMap map =
        kestrun::CDispatchMapBuilder<CDBForm>("DBFront", kDBFrontClassId)
            .ReadOnlyProperty("ReportColumns", VT_I2,
                              [](CDBForm& form, Args) { return static_cast<short>(form.m_nReportColumns); })
            .Method("GetReportTitles", VT_I2, {VT_VARIANT},
                    [](CDBForm& form, Args args) {
                        COleVariant target = args[0];
                        return form.GetReportTitles(target);
                    })
            .Method("GetReportValues", VT_I2, {VT_VARIANT},
                    [](CDBForm& form, Args args) {
                        COleVariant target = args[0];
                        return form.GetReportValues(target);
                    })
            .Method("GetReportInfo", VT_VARIANT, {VT_I2},
                    [](CDBForm& form, Args args) { return form.GetReportInfo(args[0].iVal); })
            .Build();
    return map;
}

short CDBForm::GetReportTitles(COleVariant& target)
{
    std::vector<CString> titles;
    const int count = BuildReportTitles(titles);
    return FillScriptArray(target, titles, static_cast<short>(count));
}

short CDBForm::GetReportValues(COleVariant& target)
{
    std::vector<CString> titles;
    BuildReportTitles(titles);
    std::vector<CString> values;
    const long records = BuildReportRows(values);
    return FillScriptArray(target, values, static_cast<short>(std::min<long>(records, SHRT_MAX)));
}

COleVariant CDBForm::GetReportInfo(short nIndex) const
{
    return nIndex == 0 ? COleVariant(m_strSeriesName) : COleVariant();
}

// ---- Print Report -----------------------------------------------------------------------------

void CDBForm::OnPrintReport()
{
    CWaitCursor wait;
    std::vector<CString> titles;
    BuildReportTitles(titles);
    if (kestrun::dbui::IsWorkbookTemplate(m_strReportTemplate)) {
        kestrun::dbui::RunWorkbookReport(*this, m_strReportTemplate, m_strSeriesName, m_strWorkbook);
        return;
    }
    std::vector<CString> values;
    BuildReportRows(values);
    kestrun::dbui::RunHtmlReport(this, m_strReportTemplate, m_strSeriesName, m_strSample,
                                 static_cast<int>(titles.size()), values);
}

// ---- Show Table -------------------------------------------------------------------------------

void CDBForm::OnShowTable()
{
    CDBDocADO* doc = GetDocument();
    if (doc == nullptr || !IsOpen())
        return;
    std::vector<std::vector<CString>> rows;
    std::vector<CString> titles;
    try {
        _RecordsetPtr rs = CAdoRecordset::Create();
        rs->PutCursorLocation(adUseClient);
        const long seriesId = doc->GetFieldValue();
        rs->Open(MeasurementsQuery(seriesId, m_nFormMode == 1 ? "GlasNr, DatumZeit" : "DatumZeit"),
                 doc->GetConnection(), adOpenKeyset, adLockOptimistic, adCmdText);
        if (m_nFormMode == 1)
            BuildCountMatrix(rs, titles, rows);
        else
            BuildRecordTable(rs, titles, rows);
        rs->Close();
    } catch (const _com_error& e) {
        DatabaseFailed(e);
        return;
    }
    if (rows.empty()) {
        AfxMessageBox(kNoMeasurements);
        return;
    }
    kestrun::dbui::ShowRecordTable(titles, rows, m_nFormMode == 1 ? 0 : kRecordTableMode);
}

void CDBForm::BuildRecordTable(const _RecordsetPtr& rs, std::vector<CString>& titles,
                               std::vector<std::vector<CString>>& rows)
{
    titles = {"Index",        "Vessel",     "-- Date/Time --", "Day",      "Area (Total)",
              "Area",         "Area (Avg)", "Area (Dev)",      "Count",    "Count (Manual)",
              "% Normal",     "% Class1",   "% Class2",        "% Class3"};
    if (rs->GetRecordCount() <= 0)
        return;
    rs->MoveFirst();
    for (int index = 1; !rs->GetEOF(); ++index, rs->MoveNext()) {
        rows.push_back({FormatString("%d", index), FormatString("%d", GetFieldInt(rs, "GlasNr")),
                        GetFieldString(rs, "DatumZeit"), FormatString("%d", GetFieldInt(rs, "Messtag")),
                        FormatDecimalComma("%.2lf", GetFieldDouble(rs, "Flaeche_Total")),
                        FormatDecimalComma("%.2lf", GetFieldDouble(rs, "Flaeche_Fronds")),
                        FormatDecimalComma("%.2lf", GetFieldDouble(rs, "Flaeche_MittelWert")),
                        FormatDecimalComma("%.2lf", GetFieldDouble(rs, "Flaeche_Standardabw")),
                        FormatString("%d", GetFieldInt(rs, "Anzahl")),
                        FormatString("%d", GetFieldInt(rs, "Anzahl_Manuell")),
                        FormatDecimalComma("%.1lf", GetFieldDouble(rs, "Prozent_Normal")),
                        FormatDecimalComma("%.1lf", GetFieldDouble(rs, "Prozent_Hell")),
                        FormatDecimalComma("%.1lf", GetFieldDouble(rs, "Prozent_Gelblich")),
                        FormatDecimalComma("%.1lf", GetFieldDouble(rs, "Prozent_Ausgebleicht"))});
    }
}

void CDBForm::BuildCountMatrix(const _RecordsetPtr& rs, std::vector<CString>& titles,
                               std::vector<std::vector<CString>>& rows)
{
    std::vector<sMatrixRecord> records;
    if (rs->GetRecordCount() > 0) {
        rs->MoveFirst();
        for (; !rs->GetEOF(); rs->MoveNext())
            records.push_back(
                {GetFieldInt(rs, "GlasNr"), GetFieldInt(rs, "Messtag"), GetFieldInt(rs, "Anzahl")});
    }
    const sCountMatrix matrix = BuildCountMatrixCells(records);
    titles = {"Index", "Glas"};
    for (int day : matrix.days)
        titles.push_back(FormatString("Count/Tag%d", day));
    for (size_t v = 0; v < matrix.vessels.size(); ++v) {
        std::vector<CString> cells = {"1", FormatString("%d", matrix.vessels[v])};
        for (int count : matrix.counts[v])
            cells.push_back(FormatString("%d", count));
        rows.push_back(std::move(cells));
    }
}
