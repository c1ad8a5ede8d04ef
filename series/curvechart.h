#pragma once
// CCurveChart: the line-chart control the measurement views, the chart
// windows and the profile and histogram tools feed. Curves of float values
// (CDataFilter, so the chart's filter smooths what it shows) over an x axis
// start + i * step, drawn through CDC over the chart's axes, so screen,
// printer, clipboard and recording contexts get the same picture. Long runs
// are drawn as each pixel column's first, lowest, highest and last value.
// NaN and infinity are gaps; on a logarithmic value axis so are values <= 0.
//
// The style word of a curve: bits 24-31 the line (0 none, 1 solid,
// 2 dashed, 3 dotted), bits 0-7 a marker's size in pixels (at most 9).

#include "series/chart.h"

#include "objectmodel/datafilter.h"

#include <span>
#include <vector>

struct CChartCurve
{
    CString m_strName;
    COLORREF m_Color = 255;
    DWORD m_dwStyle = 0x1000000;
    BOOL m_bShown = TRUE;
    CDataFilter m_Values{CDataArray::typeFloat};
};

// Everything a chart shows and its ".cht" file holds.
struct CCurveChartData
{
    static constexpr int kShortCount = 3; // properties 2, 3 and 4

    CString m_strXTitle;
    CString m_strYTitle;
    int m_nXKind = CAxis::labelTime;
    int m_nYKind = CAxis::labelReal;
    double m_dXMin = 0.0;
    double m_dXMax = 100.0;
    double m_dYMin = 0.0;
    double m_dYMax = 10.0;
    // The x of value i: x start + i * x step.
    double m_dXStart = 0.0;
    double m_dXStep = 1.0;
    // Properties 2 and 3 as the hosts set them; 4 is the growth method.
    SHORT m_nShort[kShortCount] = {0, 0, 0};
    // Property 16, an automation date (days since 30 December 1899).
    double m_dDate = 0.0;
    WORD m_nFilterType = CDataFilter::filterOff;
    SHORT m_nFilterWidth = 1;
    std::vector<CChartCurve> m_Curves;
};

class CCurveChart : public CChart
{
public:
    static constexpr DWORD kLineMask = 0xFF000000;
    static constexpr DWORD kLineSolid = 0x1000000;
    static constexpr DWORD kLineDashed = 0x2000000;
    static constexpr DWORD kLineDotted = 0x3000000;
    static constexpr DWORD kMarkerMask = 0xFF;
    static constexpr int kMaxMarker = 9;
    // Wider filters are refused, so that every chart saved loads again.
    static constexpr int kMaxFilterWidth = 1000;

    CCurveChart();

    // --- what the hosts set and read (one wrapper member each) ---
    void SetXTitle(const CString& title) { m_data.m_strXTitle = title; }
    const CString& GetXTitle() const { return m_data.m_strXTitle; }
    void SetYTitle(const CString& title) { m_data.m_strYTitle = title; }
    const CString& GetYTitle() const { return m_data.m_strYTitle; }
    // Kinds are the axes' label modes (0 integer, 1 real, 2 time); 4 is
    // drawn as real.
    void SetXKind(int kind) { m_data.m_nXKind = kind; }
    int GetXKind() const { return m_data.m_nXKind; }
    void SetYKind(int kind) { m_data.m_nYKind = kind; }
    int GetYKind() const { return m_data.m_nYKind; }
    // Ranges and the date must be numbers (else an invalid argument).
    void SetXMin(double v) { m_data.m_dXMin = Finite(v); }
    double GetXMin() const { return m_data.m_dXMin; }
    void SetXMax(double v) { m_data.m_dXMax = Finite(v); }
    double GetXMax() const { return m_data.m_dXMax; }
    void SetYMin(double v) { m_data.m_dYMin = Finite(v); }
    void SetYMax(double v) { m_data.m_dYMax = Finite(v); }
    // Shown range from start to end, values step apart; a step that is
    // not a positive number is an invalid argument.
    void SetXRange(double start, double end, double step);
    // Properties 2 to 4 (index 2, 3, 4); 4 is the growth method, 0-3.
    SHORT GetShort(int property) const;
    void SetShort(int property, SHORT value);
    int GetMethod() const { return m_data.m_nShort[2]; }
    void SetMethod(int method) { SetShort(4, static_cast<SHORT>(method)); }
    double GetDate() const { return m_data.m_dDate; }
    void SetDate(double date) { m_data.m_dDate = Finite(date); }
    // The filter every curve is read through; a width outside
    // 0..kMaxFilterWidth is an invalid argument.
    void SetFilter(WORD type, SHORT width);

    // --- curves; every curve or point index is checked (invalid argument) ---
    // The new curve's index.
    int AddCurve(const CString& name, COLORREF colour);
    void AddValue(float value, int curve);
    // Curve n takes the values; with no curves at all every curve goes
    // (the reset of the tools). Answers the curve's value count.
    int SetCurveValues(std::span<const float> values, int curve);
    void ClearCurves();
    int GetCurveCount() const { return static_cast<int>(m_data.m_Curves.size()); }
    // Values written; with bDrawable only those not gaps.
    int GetPointCount(int curve, bool bDrawable) const;
    // Value as shown (filtered, evaluated by the method) or raw.
    float GetValue(int curve, int point, bool bShown) const;
    // The value range the shown curves need; a range of one value gets a
    // unit span around it. FALSE, range unchanged, without values.
    BOOL GetNeededRange(double& dMin, double& dMax) const;
    double GetCurveMin(int curve) const;
    double GetCurveMax(int curve) const;
    double GetCurveMean(int curve) const;
    const CString& GetCurveName(int curve) const { return Curve(curve).m_strName; }
    COLORREF GetCurveColour(int curve) const { return Curve(curve).m_Color; }
    DWORD GetCurveStyle(int curve) const { return Curve(curve).m_dwStyle; }
    void SetCurveStyle(int curve, DWORD style) { Curve(curve).m_dwStyle = style; }
    void SetCurveShown(int curve, BOOL bShown) { Curve(curve).m_bShown = bShown; }

    // The curve's values as drawn: filtered and evaluated by the method.
    std::vector<double> ShownValues(int curve) const;

    // --- drawing ---
    // Lays the chart out in rect and draws axes, grid, curves and, for two
    // or more shown curves, their legend; FALSE when the rectangle leaves
    // no plot.
    BOOL DrawTo(CDC* pDC, const CRect& rect);
    // The curves in the laid-out plot.
    void DrawCurves(CDC* pDC) const;

    const CCurveChartData& Data() const { return m_data; }
    // Takes a whole chart over (a loaded file).
    void SetData(CCurveChartData data) { m_data = std::move(data); }

private:
    // The value; no number or infinity is an invalid argument.
    static double Finite(double v);
    // x units of a rate's time unit: a day on a time axis.
    double XPerRateUnit() const;
    CChartCurve& Curve(int curve);
    const CChartCurve& Curve(int curve) const;
    // Axes from the settings.
    void PrepareAxes();
    template <class Value>
    void DrawCurve(CDC* pDC, const CChartCurve& curve, std::span<const Value> values) const;

    CCurveChartData m_data;
};
