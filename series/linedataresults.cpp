// CLineDataDoc: the result commands - the chart as tab-separated text, the
// result table and the curves' frequencies.

#include "series/linedatadoc.h"

#include "series/curvechart.h"
#include "series/datadoc.h"
#include "series/runtablerow.h"

#include "analysis/objsegments.h"
#include "objectmodel/freqanal.h"
#include "platform/core/atomicfile.h"
#include "platform/core/exceptions.h"
#include "platform/core/messagebox.h"
#include "platform/ui/commondialogs.h"
#include "platform/ui/doctemplate.h"
#include "platform/ui/frame.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <filesystem>
#include <iomanip>
#include <locale>
#include <sstream>

namespace {

// Days from the automation date's origin (30 December 1899) to 1970.
constexpr double kUnixEpochDate = 25569.0;

int PointCount(const CCurveChart& chart)
{
    int points = 0;
    for (int c = 0; c < chart.GetCurveCount(); ++c)
        points = std::max(points, chart.GetPointCount(c, false));
    return points;
}

// The chart's date, a local wall time, as the user's locale writes it.
std::string FormatChartDate(double date)
{
    const double seconds = std::round((date - kUnixEpochDate) * 86400.0);
    std::tm fields{};
    if (std::isfinite(seconds)) {
        const auto t = static_cast<std::time_t>(seconds);
        gmtime_r(&t, &fields);
    }
    std::ostringstream out;
    try {
        out.imbue(std::locale(""));
    } catch (const std::runtime_error&) {
        // An unknown locale in the environment: the classic one stays.
    }
    out << std::put_time(&fields, "%c");
    return out.str();
}

const char* GrowthTitleFormat(int method)
{
    switch (method) {
    case 1:
        return "%s %d        ";
    case 2:
        return "%s %d   ";
    case 3:
        return "%s %d";
    default:
        return "%s %d  ";
    }
}

const char* GrowthTitleName(int method)
{
    switch (method) {
    case 1:
        return "RGR";
    case 2:
        return "Gradient";
    case 3:
        return "Linear rate";
    default:
        return "Undefined";
    }
}

} // namespace

void CLineDataDoc::WriteTextExport(std::ostream& out) const
{
    const CCurveChart& chart = *m_Charts.front();
    out << chart.GetYTitle().GetString() << '\n';
    out << FormatChartDate(chart.GetDate()) << '\n';
    if (chart.GetXKind() == 2)
        out << "Time[m:s:ms]\t";
    for (int c = 0; c < chart.GetCurveCount(); ++c)
        out << chart.GetCurveName(c).GetString() << '\t';
    out << '\n';
    const CCurveChartData& data = chart.Data();
    const int points = PointCount(chart);
    for (int i = 0; i < points; ++i) {
        out << (data.m_dXStart + i * data.m_dXStep) * 1000.0 << '\t';
        for (int c = 0; c < chart.GetCurveCount(); ++c) {
            if (c > 0)
                out << '\t';
            if (i < chart.GetPointCount(c, false))
                out << chart.GetValue(c, i, false);
        }
        out << '\n';
    }
}

void CLineDataDoc::ExportText()
{
    std::filesystem::path suggested(m_strPathName.GetString());
    suggested.replace_extension(".txt");
    CFileDialog dialog(FALSE, "txt", suggested.string().c_str(), OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY,
                       "ASCII File (*.txt) |*.txt||");
    dialog.m_ofn.lpstrTitle = "Create File";
    if (dialog.DoModal() != IDOK)
        return;
    std::ostringstream text;
    WriteTextExport(text);
    const std::string bytes = text.str();
    try {
        kestrun::CAtomicFileWriter file(dialog.GetPathName());
        file.Write(bytes.data(), bytes.size());
        file.Commit();
    } catch (const CFileException&) {
        AfxMessageBox("Fehler: Exportfunktion kann Datei nicht öffnen", MB_ICONEXCLAMATION);
    }
}

CDocument* CLineDataDoc::OpenTable(const CString& title)
{
    if (m_pTableTemplate == nullptr)
        return nullptr;
    CDocument* doc = m_pTableTemplate->CreateNewDocument();
    if (doc == nullptr)
        return nullptr;
    if (dynamic_cast<CDataDoc*>(doc) == nullptr || !doc->OnNewDocument()) {
        doc->OnCloseDocument();
        return nullptr;
    }
    doc->SetTitle(title);
    return doc;
}

namespace {

void ShowTableFrame(CDocTemplate& tables, CDocument& doc)
{
    if (CFrameWnd* frame = tables.CreateNewFrame(&doc, nullptr))
        tables.InitialUpdateFrame(frame, &doc, TRUE);
}

} // namespace

CDocument* CLineDataDoc::ShowTable()
{
    CDocument* doc = OpenTable(GetTitle() + " Table");
    if (doc == nullptr)
        return nullptr;
    auto& table = dynamic_cast<CDataDoc&>(*doc);
    const CCurveChart& chart = *m_Charts.front();
    const CCurveChart* rates = GetChart(1);
    const bool time = chart.GetXKind() == 2;

    CStringArray titles;
    titles.Add("Index");
    if (time)
        titles.Add("Time[d:h:m:s]");
    for (int c = 0; c < chart.GetCurveCount(); ++c)
        titles.Add(chart.GetCurveName(c));
    if (rates != nullptr)
        for (int c = 0; c < rates->GetCurveCount(); ++c)
            titles.Add(FormatString(GrowthTitleFormat(rates->GetMethod()), GrowthTitleName(rates->GetMethod()), c));

    const CCurveChartData& data = chart.Data();
    // The x origin read as a calendar time; the run's own start stays.
    const auto origin = static_cast<std::time_t>(std::llround(data.m_dXStart));
    const int points = PointCount(chart);
    for (int i = 0; i < points; ++i) {
        CStringArray values;
        values.Add(FormatString("%d", i));
        if (time) {
            const std::time_t at = origin + static_cast<std::time_t>(std::llround(i * data.m_dXStep));
            std::tm local{};
            if (localtime_r(&at, &local) != nullptr)
                values.Add(FormatString("%d:%d:%d:%d", local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec));
            else
                values.Add("-1:-1:-1:-1");
        }
        for (int c = 0; c < chart.GetCurveCount(); ++c)
            values.Add(i < chart.GetPointCount(c, false) ? FormatString("%f", chart.GetValue(c, i, false)) : CString());
        if (rates != nullptr)
            for (int c = 0; c < rates->GetCurveCount(); ++c)
                values.Add(i < rates->GetPointCount(c, false) ? FormatString("%f", rates->GetValue(c, i, true))
                                                              : CString());
        table.AddObject(new CRunTableRow(titles, values));
    }
    ShowTableFrame(*m_pTableTemplate, *doc);
    return doc;
}

CDocument* CLineDataDoc::SearchPeaks()
{
    CDocument* doc = OpenTable(GetTitle() + " Peaks");
    if (doc == nullptr)
        return nullptr;
    auto& table = dynamic_cast<CDataDoc&>(*doc);
    const CCurveChart& chart = *m_Charts.front();
    for (int c = 0; c < chart.GetCurveCount(); ++c) {
        CDataArray values = chart.Data().m_Curves[static_cast<size_t>(c)].m_Values;
        values.SetDX(chart.Data().m_dXStep);
        CFreqAnal analysis;
        const std::optional<float> frequency = analysis.CalcFrequency(values);
        table.AddObject(new CFrequencyData(chart.GetCurveName(c), frequency.value_or(0.0F)));
    }
    ShowTableFrame(*m_pTableTemplate, *doc);
    return doc;
}
