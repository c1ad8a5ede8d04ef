#include "database/reportvalues.h"

#include "database/dbfields.h"
#include "platform/core/messagebox.h"
#include "platform/core/variant.h"

#include <algorithm>
#include <climits>

std::vector<CString> BuildReportTitleList(int formMode)
{
    std::vector<CString> titles = {"Index",          "Glas",           "Bezeichnung",
                                   "Datum/Zeit",     "Messtag",        "Fläche (Total)",
                                   "Anzahl (Fronds)", "Fläche (Fronds)", "Fläche (Mittel)",
                                   "Fläche (Std.Abw.)", "Normal [%]",   "Hellgrün [%]"};
    if (formMode == 1) {
        titles.emplace_back("Gelblich [%]");
        titles.emplace_back("Ausgebleicht [%]");
    }
    titles.emplace_back("BildName");
    return titles;
}

CString FormatDecimalComma(const char* format, double value)
{
    CString text = FormatString(format, value);
    const int dot = text.Find('.');
    if (dot >= 0)
        text.SetAt(dot, ',');
    return text;
}

void AppendReportValues(const _RecordsetPtr& rs, int formMode, int nIndex,
                        const std::function<CString(long glasNr)>& dilutionText, std::vector<CString>& values)
{
    const int vessel = GetFieldInt(rs, "GlasNr");
    const int manual = GetFieldInt(rs, "Anzahl_Manuell");
    values.push_back(FormatString("%d", nIndex));
    values.push_back(FormatString("%d", vessel));
    values.push_back(formMode == 1 && dilutionText ? dilutionText(vessel) : GetFieldString(rs, "Comment"));
    values.push_back(GetFieldString(rs, "DatumZeit"));
    values.push_back(FormatString("%d", GetFieldInt(rs, "Messtag")));
    values.push_back(FormatDecimalComma("%.2lf", GetFieldDouble(rs, "Flaeche_Total")));
    values.push_back(FormatString("%d", manual > 0 ? manual : GetFieldInt(rs, "Anzahl")));
    values.push_back(FormatDecimalComma("%.2lf", GetFieldDouble(rs, "Flaeche_Fronds")));
    values.push_back(FormatDecimalComma("%.2lf", GetFieldDouble(rs, "Flaeche_MittelWert")));
    values.push_back(FormatDecimalComma("%.2lf", GetFieldDouble(rs, "Flaeche_Standardabw")));
    values.push_back(FormatDecimalComma("%.1lf", GetFieldDouble(rs, "Prozent_Normal")));
    values.push_back(FormatDecimalComma("%.1lf", GetFieldDouble(rs, "Prozent_Hell")));
    if (formMode == 1) {
        values.push_back(FormatDecimalComma("%.1lf", GetFieldDouble(rs, "Prozent_Gelblich")));
        values.push_back(FormatDecimalComma("%.1lf", GetFieldDouble(rs, "Prozent_Ausgebleicht")));
    }
    values.push_back(GetFieldString(rs, "Bildname"));
}

namespace {

// The array variant the argument holds or refers to; null for none.
COleVariant* ArrayOf(COleVariant& argument)
{
    COleVariant& target = argument.Deref();
    if (target.vt == (VT_ARRAY | VT_VARIANT))
        return &target;
    if (target.vt == (VT_BYREF | VT_VARIANT) && target.pvarVal != nullptr && target.pvarVal->IsArray())
        return &target.pvarVal->Deref();
    return nullptr;
}

} // namespace

short FillScriptArray(COleVariant& argument, const std::vector<CString>& strings, short nResult, long nResize)
{
    if (strings.empty())
        return 0;
    COleVariant* array = ArrayOf(argument);
    if (array == nullptr) {
        AfxMessageBox("Data type not array");
        return 0;
    }
    CVariantArray& elements = array->GetArray();
    if (elements.GetDims() != 1) {
        AfxMessageBox("Array has wrong dimensions");
        return 0;
    }
    const LONG count = static_cast<LONG>(std::min<size_t>(strings.size(), LONG_MAX));
    try {
        if (elements.GetBounds()[0].m_nCount != count)
            elements.Redim({{elements.GetLBound(1), nResize > 0 ? static_cast<LONG>(nResize) : count}}, true);
    } catch (const CException&) {
        return 0;
    }
    const size_t filled = std::min(strings.size(), elements.Elements().size());
    for (size_t i = 0; i < filled; ++i)
        elements.Elements()[i] = COleVariant(strings[i]);
    return nResult;
}

sCountMatrix BuildCountMatrixCells(const std::vector<sMatrixRecord>& records)
{
    sCountMatrix matrix;
    for (const sMatrixRecord& record : records) {
        matrix.days.push_back(record.day);
        matrix.vessels.push_back(record.vessel);
    }
    for (std::vector<int>* list : {&matrix.days, &matrix.vessels}) {
        std::ranges::sort(*list);
        list->erase(std::unique(list->begin(), list->end()), list->end());
    }
    matrix.counts.assign(matrix.vessels.size(), std::vector<int>(matrix.days.size(), 0));
    const auto indexOf = [](const std::vector<int>& list, int value) {
        return static_cast<size_t>(std::ranges::lower_bound(list, value) - list.begin());
    };
    for (const sMatrixRecord& record : records)
        matrix.counts[indexOf(matrix.vessels, record.vessel)][indexOf(matrix.days, record.day)] = record.count;
    return matrix;
}
