// The charts of the tables: a track table's speeds ("Show Chart"), an
// object table's area distribution, or the curvature profile of an object
// or a contour segment ("Show Histogram").

#include "series/chartdoc.h"
#include "series/barchart.h"
#include "series/curvechart.h"
#include "series/objdatadoc.h"

#include "analysis/bv.h"
#include "analysis/contourfeaturesettings.h"
#include "analysis/objdata.h"
#include "analysis/objsegments.h"
#include "objectmodel/curvature32.h"
#include "objectmodel/rpolygon.h"
#include "platform/ui/cmdtarget.h"
#include "platform/ui/doctemplate.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <numbers>
#include <vector>

namespace {

// A table needs this many columns for its speed chart (the speeds are
// column 9).
constexpr int kChartMinColumns = 9;
constexpr int kSpeedColumn = 9;
constexpr double kSpeedMax = 10.0;
constexpr int kHistogramBars = 20;

// A cell's number; a cell that holds no number is a gap.
float CellValue(const CString& text)
{
    const char* begin = text.GetString();
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(begin, &end);
    while (end != nullptr && (*end == ' ' || *end == '\t'))
        ++end;
    if (end == begin || end == nullptr || *end != '\0' || errno == ERANGE)
        return std::numeric_limits<float>::quiet_NaN();
    return static_cast<float>(value);
}

// The shown range the values need, kept when there are none.
void FitValueRange(CCurveChart& chart)
{
    double low = 0.0;
    double high = 0.0;
    if (chart.GetNeededRange(low, high)) {
        chart.SetYMin(low);
        chart.SetYMax(high);
    }
}

// The current record when it is a contour segment.
const CKonturSegment* CurrentSegment(const CDataDoc& doc)
{
    const int current = doc.GetCurrentIndex();
    const auto* segment = current >= 0 ? dynamic_cast<const CKonturSegment*>(doc.GetAt(current)) : nullptr;
    return segment != nullptr && segment->m_ID == CKonturSegment::kind ? segment : nullptr;
}

} // namespace

// ---- the speed chart of a table ---------------------------------------------------------------

void CGridDoc2::AttachSources(CMultiDocTemplate* pChartTemplate, CMultiDocTemplate* /*pTableTemplate*/,
                              CBV* /*pEngine*/)
{
    m_pChartTemplate = pChartTemplate;
}

void CGridDoc2::OnShowChart()
{
    if (m_pChartTemplate == nullptr || GetColumnCount() < kChartMinColumns)
        return;
    CChartDoc* chartDoc = kestrun::OpenChartDocument(m_pChartTemplate, CChartDoc::kLineChart);
    CCurveChart* chart = chartDoc != nullptr ? chartDoc->GetChartControl() : nullptr;
    if (chart == nullptr)
        return;
    int rows = CountUnselected();
    if (m_bSingleTrack) {
        const CBaseObj* track = GetCurrentTrack();
        rows = track != nullptr ? track->GetRowCount() : 0;
    }
    // Positions are row numbers, not times.
    chart->SetXKind(CAxis::labelInteger);
    chart->SetXRange(0.0, rows, 1.0);
    chart->SetXMin(0.0);
    chart->SetXMax(rows);
    chart->SetYMin(0.0);
    chart->SetYMax(kSpeedMax);
    chart->SetXTitle("Position");
    chart->SetYTitle("Speed");
    const int curve = chart->AddCurve("Speed1", RGB(255, 0, 0));
    chart->SetCurveStyle(curve, 255);
    std::vector<float> values;
    for (int row = 1; row < rows; ++row)
        values.push_back(CellValue(GetCellText(row, kSpeedColumn)));
    chart->SetCurveValues(values, curve);
    chartDoc->UpdateAllViews(nullptr);
}

void CGridDoc2::OnUpdateShowChart(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_pChartTemplate != nullptr && GetColumnCount() >= kChartMinColumns);
}

// ---- the histogram of an object table ---------------------------------------------------------

void CObjDataDoc::OnShowHistogram()
{
    if (GetCount() == 0 || m_pChartTemplate == nullptr)
        return;
    const CBaseObj* first = GetAt(0);
    if (first != nullptr && first->m_ID == kTypeObject) {
        std::vector<double> areas;
        areas.reserve(static_cast<size_t>(GetCount()));
        for (int i = 0; i < GetCount(); ++i) {
            const auto* object = dynamic_cast<const CObjData*>(GetAt(i));
            areas.push_back(object != nullptr ? object->GetArea() : std::numeric_limits<double>::quiet_NaN());
        }
        CChartDoc* histogramDoc =
            kestrun::OpenChartDocument(m_pChartTemplate, CChartDoc::kHistogram, "Histogramm");
        CBarChart* bars = histogramDoc != nullptr ? histogramDoc->GetHistogramControl() : nullptr;
        if (bars == nullptr)
            return;
        bars->SetTitle("Area Distribution");
        bars->SetValues(areas, 0);
        bars->SetBarCount(kHistogramBars);
        histogramDoc->UpdateAllViews(nullptr);
        return;
    }
    std::vector<float> values;
    if (const CObjData* object = GetCurrentObject()) {
        if (!CurvatureOfObject(*object, values))
            return;
    } else if (const auto* segment = CurrentSegment(*this)) {
        // A contour segment carries its curvature series itself.
        values.resize(static_cast<size_t>(segment->m_Curvature.GetSize()));
        for (int i = 0; i < segment->m_Curvature.GetSize(); ++i)
            values[static_cast<size_t>(i)] = static_cast<float>(segment->m_Curvature.GetAt(i));
    } else {
        return;
    }
    if (values.empty())
        return;
    ShowCurvatureChart(values);
}

bool CObjDataDoc::CurvatureOfObject(const CObjData& object, std::vector<float>& values)
{
    // The first hole's outline when there is one, else the outer contour.
    CRPolygon contour;
    if (object.GetHoleCount() > 0)
        contour = CRPolygon(object.GetHole(0));
    else if (!GetContour(object, contour))
        return false;
    if (contour.GetSize() < 3)
        return false;
    static const CObjectFilter defaults;
    const CObjectFilter& filter = m_pEngine != nullptr ? m_pEngine->GetSettings().m_ObjectFilter : defaults;
    const sContourFeatureSettings settings =
        ClampContourFeatureSettings(filter, static_cast<int>(contour.GetSize()));
    CCurvature32 curvature;
    curvature.CalcContourCurvature(contour, settings.fit);
    values.resize(static_cast<size_t>(curvature.GetSize()));
    for (int i = 0; i < curvature.GetSize(); ++i)
        values[static_cast<size_t>(i)] = static_cast<float>(curvature.GetAt(i));
    return true;
}

void CObjDataDoc::ShowCurvatureChart(const std::vector<float>& values)
{
    CChartDoc* chartDoc = kestrun::OpenChartDocument(m_pChartTemplate, CChartDoc::kLineChart);
    CCurveChart* chart = chartDoc != nullptr ? chartDoc->GetChartControl() : nullptr;
    if (chart == nullptr)
        return;
    // The profile runs once round the contour: 0 to 6.28.
    constexpr double turn = 6.28;
    chart->SetXKind(CAxis::labelReal);
    chart->SetXRange(0.0, turn, turn / static_cast<double>(values.size()));
    chart->SetXMin(0.0);
    chart->SetXMax(turn);
    chart->SetXTitle("Intensity");
    chart->SetYTitle("--y--");
    const int curve = chart->AddCurve("Curvature", 255);
    chart->SetCurveValues(values, curve);
    FitValueRange(*chart);
    chartDoc->UpdateAllViews(nullptr);
}

void CObjDataDoc::OnUpdateShowHistogram(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(GetCount() > 0 && m_pChartTemplate != nullptr);
}
