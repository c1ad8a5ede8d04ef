#include "series/curvechart.h"

#include "series/chartrange.h"
#include "series/growthrate.h"

#include "platform/core/dc.h"
#include "platform/core/exceptions.h"

#include <opencv2/core.hpp>

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>

namespace {

constexpr double kNoValue = std::numeric_limits<double>::quiet_NaN();

// Kinds 0-2 are the axes' label modes; 4 and the rest are drawn as real.
int LabelModeOfKind(int kind)
{
    return kind >= CAxis::labelInteger && kind <= CAxis::labelTime ? kind : CAxis::labelReal;
}

void SetAxisRange(CAxis& axis, double low, double high)
{
    kestrun::WidenToUnitSpan(low, high);
    axis.SetRange(low, high);
}

int PenStyleOfLine(DWORD line)
{
    switch (line) {
    case CCurveChart::kLineDashed: return PS_DASH;
    case CCurveChart::kLineDotted: return PS_DOT;
    default: return PS_SOLID;
    }
}

// One pixel column's values of a run: where it entered, its extremes and
// where it left, so a spike among a million values still shows. Kept as
// values; only these four are mapped to pixels.
template <class Value>
bool ColumnRangeOneByOne(std::span<const Value> values, Value& lowest, Value& highest)
{
    bool finite = true;
    for (const Value v : values) {
        lowest = v < lowest ? v : lowest;
        highest = highest < v ? v : highest;
        finite = finite && std::isfinite(v);
    }
    return finite;
}

struct CColumn
{
    int x = INT_MIN;
    double first = 0.0;
    double low = 0.0;
    double high = 0.0;
    double last = 0.0;

    void Start(int column, double v)
    {
        x = column;
        first = low = high = last = v;
    }
    void Add(double v)
    {
        low = std::min(low, v);
        high = std::max(high, v);
        last = v;
    }
    void AppendTo(std::vector<CPoint>& points, const CAxis& axis) const
    {
        for (const double v : {first, low, high, last}) {
            const CPoint p(x, axis.PointAt(axis.ValueToPixel(v)).y);
            if (points.empty() || points.back() != p)
                points.push_back(p);
        }
    }
};

// The lowest and highest of the values; false when one is no number or
// infinite. Long float runs go through OpenCV's vector code.
bool ColumnRange(std::span<const float> values, float& lowest, float& highest)
{
    if (values.size() < 16 || values.size() > static_cast<size_t>(INT_MAX))
        return ColumnRangeOneByOne(values, lowest, highest);
    const cv::Mat row(1, static_cast<int>(values.size()), CV_32F, const_cast<float*>(values.data()));
    if (!cv::checkRange(row, true))
        return false;
    double low = 0.0;
    double high = 0.0;
    cv::minMaxIdx(row, &low, &high);
    lowest = static_cast<float>(low);
    highest = static_cast<float>(high);
    return true;
}

bool ColumnRange(std::span<const double> values, double& lowest, double& highest)
{
    return ColumnRangeOneByOne(values, lowest, highest);
}

} // namespace

CCurveChart::CCurveChart()
{
    m_LeftAxis.SetStyle(CAxisBase::kReversed, CAxisBase::kOrientationMask);
}

double CCurveChart::Finite(double v)
{
    if (!std::isfinite(v))
        AfxThrowInvalidArgException();
    return v;
}

CChartCurve& CCurveChart::Curve(int curve)
{
    if (curve < 0 || curve >= GetCurveCount())
        AfxThrowInvalidArgException();
    return m_data.m_Curves[static_cast<size_t>(curve)];
}

const CChartCurve& CCurveChart::Curve(int curve) const
{
    if (curve < 0 || curve >= GetCurveCount())
        AfxThrowInvalidArgException();
    return m_data.m_Curves[static_cast<size_t>(curve)];
}

void CCurveChart::SetXRange(double start, double end, double step)
{
    if (!(step > 0.0) || !std::isfinite(step) || !std::isfinite(start) || !std::isfinite(end))
        AfxThrowInvalidArgException();
    m_data.m_dXMin = start;
    m_data.m_dXMax = end;
    m_data.m_dXStart = start;
    m_data.m_dXStep = step;
    for (CChartCurve& curve : m_data.m_Curves) {
        curve.m_Values.SetX0(start);
        curve.m_Values.SetDX(step);
    }
}

SHORT CCurveChart::GetShort(int property) const
{
    if (property < 2 || property > 4)
        AfxThrowInvalidArgException();
    return m_data.m_nShort[property - 2];
}

void CCurveChart::SetShort(int property, SHORT value)
{
    if (property < 2 || property > 4 || (property == 4 && (value < 0 || value >= kestrun::growthMethodCount)))
        AfxThrowInvalidArgException();
    m_data.m_nShort[property - 2] = value;
}

void CCurveChart::SetFilter(WORD type, SHORT width)
{
    if (type > CDataFilter::filterRegressionTrend || width < 0 || width > kMaxFilterWidth)
        AfxThrowInvalidArgException();
    m_data.m_nFilterType = type;
    m_data.m_nFilterWidth = width;
    for (CChartCurve& curve : m_data.m_Curves)
        curve.m_Values.SetFilter(type, width);
}

int CCurveChart::AddCurve(const CString& name, COLORREF colour)
{
    CChartCurve& curve = m_data.m_Curves.emplace_back();
    curve.m_strName = name;
    curve.m_Color = colour;
    curve.m_Values.SetX0(m_data.m_dXStart);
    curve.m_Values.SetDX(m_data.m_dXStep);
    curve.m_Values.SetFilter(m_data.m_nFilterType, m_data.m_nFilterWidth);
    return GetCurveCount() - 1;
}

void CCurveChart::AddValue(float value, int curve)
{
    Curve(curve).m_Values.AddDouble(value);
}

int CCurveChart::SetCurveValues(std::span<const float> values, int curve)
{
    if (curve < 0) {
        ClearCurves();
        return 0;
    }
    CDataFilter& series = Curve(curve).m_Values;
    series.RewindWrite();
    series.SetSize(static_cast<int>(values.size()));
    for (const float v : values)
        series.AddDouble(v);
    return series.GetUsedCount();
}

void CCurveChart::ClearCurves()
{
    m_data.m_Curves.clear();
}

double CCurveChart::XPerRateUnit() const
{
    return m_data.m_nXKind == CAxis::labelTime ? kestrun::kSecondsPerDay : 1.0;
}

std::vector<double> CCurveChart::ShownValues(int curve) const
{
    return kestrun::EvaluateGrowth(GetMethod(), Curve(curve).m_Values, XPerRateUnit());
}

int CCurveChart::GetPointCount(int curve, bool bDrawable) const
{
    if (!bDrawable)
        return Curve(curve).m_Values.GetUsedCount();
    const std::vector<double> values = ShownValues(curve);
    return static_cast<int>(std::count_if(values.begin(), values.end(), [](double v) { return std::isfinite(v); }));
}

float CCurveChart::GetValue(int curve, int point, bool bShown) const
{
    const CDataFilter& series = Curve(curve).m_Values;
    if (point < 0 || point >= series.GetUsedCount())
        AfxThrowInvalidArgException();
    if (!bShown)
        return static_cast<float>(series.CDataArray::GetAt(point));
    return static_cast<float>(kestrun::EvaluateGrowthAt(GetMethod(), series, XPerRateUnit(), point));
}

BOOL CCurveChart::GetNeededRange(double& dMin, double& dMax) const
{
    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    const bool log = m_LeftAxis.IsLogarithmic();
    for (int i = 0; i < GetCurveCount(); ++i) {
        if (!m_data.m_Curves[static_cast<size_t>(i)].m_bShown)
            continue;
        for (const double v : ShownValues(i)) {
            if (!std::isfinite(v) || (log && v <= 0.0))
                continue;
            low = std::min(low, v);
            high = std::max(high, v);
        }
    }
    if (low > high)
        return FALSE;
    kestrun::WidenToUnitSpan(low, high);
    dMin = low;
    dMax = high;
    return TRUE;
}

double CCurveChart::GetCurveMin(int curve) const
{
    double low = kNoValue;
    for (const double v : ShownValues(curve))
        if (std::isfinite(v) && !(v >= low))
            low = v;
    return low;
}

double CCurveChart::GetCurveMax(int curve) const
{
    double high = kNoValue;
    for (const double v : ShownValues(curve))
        if (std::isfinite(v) && !(v <= high))
            high = v;
    return high;
}

double CCurveChart::GetCurveMean(int curve) const
{
    double sum = 0.0;
    int count = 0;
    for (const double v : ShownValues(curve)) {
        if (std::isfinite(v)) {
            sum += v;
            ++count;
        }
    }
    return count > 0 ? sum / count : kNoValue;
}

void CCurveChart::PrepareAxes()
{
    m_XAxis.m_strTitle = m_data.m_strXTitle;
    m_XAxis.m_nLabelMode = LabelModeOfKind(m_data.m_nXKind);
    SetAxisRange(m_XAxis, m_data.m_dXMin, m_data.m_dXMax);
    m_LeftAxis.m_strTitle = m_data.m_strYTitle;
    m_LeftAxis.m_nLabelMode = LabelModeOfKind(m_data.m_nYKind);
    SetAxisRange(m_LeftAxis, m_data.m_dYMin, m_data.m_dYMax);
}

BOOL CCurveChart::DrawTo(CDC* pDC, const CRect& rect)
{
    PrepareAxes();
    if (!Layout(pDC, rect))
        return FALSE;
    Draw(pDC);
    DrawCurves(pDC);
    std::vector<CLegendEntry> legend;
    for (const CChartCurve& curve : m_data.m_Curves) {
        if (curve.m_bShown)
            legend.push_back({curve.m_strName, curve.m_Color});
    }
    DrawLegend(pDC, legend);
    return TRUE;
}

void CCurveChart::DrawCurves(CDC* pDC) const
{
    if (m_rectPlot.IsRectEmpty())
        return;
    for (int i = 0; i < GetCurveCount(); ++i) {
        const CChartCurve& curve = m_data.m_Curves[static_cast<size_t>(i)];
        if (!curve.m_bShown)
            continue;
        const CDataFilter& series = curve.m_Values;
        // Values shown as written are read where they lie, without a copy.
        const bool raw = GetMethod() == kestrun::growthValues &&
                         (series.GetFilterKind() == CDataFilter::filterOff || series.GetFilterWidth() <= 1);
        const std::span<const float> floats = series.GetFloatValues();
        if (raw && static_cast<int>(floats.size()) == series.GetUsedCount()) {
            DrawCurve(pDC, curve, floats);
        } else {
            const std::vector<double> values = ShownValues(i);
            DrawCurve(pDC, curve, std::span<const double>(values));
        }
    }
}

template <class Value>
void CCurveChart::DrawCurve(CDC* pDC, const CChartCurve& curve, std::span<const Value> values) const
{
    const DWORD line = curve.m_dwStyle & kLineMask;
    const int marker = std::min<int>(curve.m_dwStyle & kMarkerMask, kMaxMarker);
    if (line == 0 && marker == 0)
        return;
    const bool log = m_LeftAxis.IsLogarithmic();
    const double xLow = std::min(m_XAxis.m_dMin, m_XAxis.m_dMax);
    const double xHigh = std::max(m_XAxis.m_dMin, m_XAxis.m_dMax);
    const double yLow = std::min(m_LeftAxis.m_dMin, m_LeftAxis.m_dMax);
    const double yHigh = std::max(m_LeftAxis.m_dMin, m_LeftAxis.m_dMax);

    CPen pen(PenStyleOfLine(line), 1, curve.m_Color);
    CPen* oldPen = pDC->SelectObject(&pen);
    std::vector<CPoint> run;
    const auto drawRun = [&]() {
        if (line != 0) {
            if (run.size() > 1)
                pDC->Polyline(run.data(), static_cast<int>(run.size()));
            else if (run.size() == 1)
                pDC->SetPixelV(run.front(), curve.m_Color);
        }
        if (marker > 0)
            for (const CPoint& p : run)
                pDC->FillSolidRect(p.x - marker / 2, p.y - marker / 2, marker, marker, curve.m_Color);
        run.clear();
    };
    CColumn column;
    const auto endColumn = [&]() {
        if (column.x != INT_MIN)
            column.AppendTo(run, m_LeftAxis);
        column.x = INT_MIN;
    };
    // x = i * dx + x0, as the series has it, without a call per value.
    const double x0 = curve.m_Values.GetX0();
    const double dx = curve.m_Values.GetDX();
    const size_t n = values.size();
    const auto inRange = [&](size_t i) {
        const double x = static_cast<double>(i) * dx + x0;
        return x >= xLow && x <= xHigh;
    };
    const auto pixelOf = [&](size_t i) {
        return m_XAxis.PointAt(m_XAxis.ValueToPixel(static_cast<double>(i) * dx + x0)).x;
    };
    // On a linear x axis with x growing the pixel columns follow the index,
    // so a column's end is searched for, not worked out for every value.
    const bool monotonic = dx > 0.0 && !m_XAxis.IsLogarithmic();
    const auto columnEnd = [&](size_t first, int px) {
        if (!monotonic)
            return first + 1;
        size_t same = first;
        size_t step = 1;
        size_t other = n;
        while (same + step < n) {
            const size_t probe = same + step;
            if (!inRange(probe) || pixelOf(probe) != px) {
                other = probe;
                break;
            }
            same = probe;
            step *= 2;
        }
        while (other - same > 1) {
            const size_t middle = same + (other - same) / 2;
            if (inRange(middle) && pixelOf(middle) == px)
                same = middle;
            else
                other = middle;
        }
        return other;
    };
    for (size_t i = 0; i < n;) {
        if (!inRange(i)) {
            endColumn();
            drawRun();
            ++i;
            continue;
        }
        const int px = pixelOf(i);
        const size_t end = columnEnd(i, px);
        // A column without gaps is its first, lowest, highest and last
        // value: one pass without a branch per value.
        Value lowest = values[i];
        Value highest = values[i];
        const bool gap = !ColumnRange(values.subspan(i, end - i), lowest, highest);
        if (!gap && !(log && lowest <= Value(0))) {
            const double first = std::clamp(static_cast<double>(values[i]), yLow, yHigh);
            if (px != column.x) {
                endColumn();
                column.Start(px, first);
            } else {
                column.Add(first);
            }
            column.Add(std::clamp(static_cast<double>(lowest), yLow, yHigh));
            column.Add(std::clamp(static_cast<double>(highest), yLow, yHigh));
            column.Add(std::clamp(static_cast<double>(values[end - 1]), yLow, yHigh));
            i = end;
            continue;
        }
        for (; i < end; ++i) {
            const double v = static_cast<double>(values[i]);
            if (!std::isfinite(v) || (log && v <= 0.0)) {
                endColumn();
                drawRun();
                continue;
            }
            const double clamped = std::clamp(v, yLow, yHigh);
            if (px == column.x) {
                column.Add(clamped);
            } else {
                endColumn();
                column.Start(px, clamped);
            }
        }
    }
    endColumn();
    drawRun();
    pDC->SelectObject(oldPen);
}
