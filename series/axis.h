#pragma once
// The axes of the charts the program draws itself (CChart): a line in a
// pen of its own (CLine), what every axis has (CAxisBase), the numeric
// axis with its value-to-pixel mapping, tick steps and label texts (CAxis),
// and the two-state axis (CAxisBinary). Headless: they draw through CDC.
//
// The style word of an axis:
//   bits 0-3   orientation: 0 horizontal, any other value vertical; 1 also
//              turns the pixel direction, so that larger values lie higher
//   bits 8-11  ticks and labels: 0 ticks below (right of a vertical axis),
//              0x100 ticks below (left) with right-aligned labels and half
//              the scale, 0x200 ticks above (left) with labels above them
//   bits 12-15 0x1000: a logarithmic axis, its range taken in decades
//   bits 16-19 any: binary steps; 0x20000 also starts half a unit in
//   bits 20-23 0x100000: a tick exactly at the range end, and labels that
//              would overlap the previous one are left out

#include "platform/core/cstring.h"
#include "platform/core/geometry.h"
#include "platform/core/object.h"

#include <vector>

class CDC;
class CDataArray;
class CStringArray;

class CLine : public CObject
{
public:
    CLine(int nPenStyle, int nPenWidth, COLORREF crColor);

    // A line from the current position to the point in this pen; the pen
    // selected before comes back.
    void Draw(CDC* pDC, POINT to) const;

    int m_nPenStyle;
    int m_nPenWidth;
    COLORREF m_crColor;
};

class CAxisBase : public CLine
{
public:
    static constexpr DWORD kOrientationMask = 0xF;
    static constexpr DWORD kReversed = 0x1;
    static constexpr DWORD kTickMask = 0xF00;
    static constexpr DWORD kTickRightAligned = 0x100;
    static constexpr DWORD kTickAbove = 0x200;
    static constexpr DWORD kLogMask = 0xF000;
    static constexpr DWORD kLogarithmic = 0x1000;
    static constexpr DWORD kBinaryMask = 0xF0000;
    static constexpr DWORD kHalfUnitStart = 0x20000;
    static constexpr DWORD kEndMask = 0xF00000;
    static constexpr DWORD kEndTick = 0x100000;

    CAxisBase();

    // Only the bits of mask change.
    void SetStyle(DWORD dwStyle, DWORD dwMask = 0xFFFFFFFF) { m_dwStyle = (m_dwStyle & ~dwMask) | (dwStyle & dwMask); }
    DWORD GetStyle() const { return m_dwStyle; }
    bool IsVertical() const { return (m_dwStyle & kOrientationMask) != 0; }
    bool IsReversed() const { return (m_dwStyle & kOrientationMask) == kReversed; }
    DWORD TickPlacement() const { return m_dwStyle & kTickMask; }

    // Pixel offset of a value from the axis origin.
    virtual int ValueToPixel(double v) const = 0;
    // Measures the labels in the context and keeps the largest extent.
    virtual void MeasureLabels(CDC* pDC, double dMin, double dMax) = 0;
    // Places the axis along a side of the plot: origin is the plot's
    // top-left corner. Tick lengths come from the label height.
    virtual void Layout(CPoint ptOrigin, int nWidth, int nHeight, int nLabelHeight);
    // The axis line, its ticks, labels and title in the selected font.
    virtual void Draw(CDC* pDC) const = 0;
    // Grid lines across the plot; nothing unless the grid flag is set.
    virtual void DrawGrid(CDC* /*pDC*/, const CLine& /*major*/, const CLine& /*minor*/) const {}
    // The title as the axis shows it.
    virtual CString GetTitleText() const { return m_strTitle; }

    // Where the axis runs: its pixel line in the context.
    CPoint GetOrigin() const { return m_ptOrigin; }
    // The point of a pixel offset along the axis.
    CPoint PointAt(int nOffset) const;

    DWORD m_dwStyle = 0;
    // A vertical axis on the right side of the plot.
    BOOL m_bRightSide = FALSE;
    CString m_strTitle;
    int m_nPixelStep = 0;
    // The display words: shown, labels shown, label gap, title gap, grid
    // lines at the major ticks, grid lines at the minor ticks.
    BOOL m_bShow = TRUE;
    BOOL m_bShowLabels = TRUE;
    int m_nLabelGap = 2;
    int m_nTitleGap = 2;
    BOOL m_bGrid = FALSE;
    BOOL m_bMinorGrid = FALSE;

    // Filled by MeasureLabels and Layout.
    CSize m_sizeLabel;
    int m_nMajorTick = 0;
    int m_nMinorTick = 0;

protected:
    CPoint m_ptOrigin;   // where value min lies (the far end for a reversed axis)
    int m_nLength = 0;   // pixels along the axis
    int m_nPlotDepth = 0; // pixels across the plot, for grid lines
};

class CAxis : public CAxisBase
{
public:
    enum LabelMode : int
    {
        labelInteger = 0,
        labelReal = 1,
        labelTime = 2, // values in seconds
    };
    enum TimePart : int
    {
        timeDays,
        timeHours,
        timeMinutes,
        timeSeconds,
        timeMilliseconds,
        timePartCount
    };

    CAxis() = default;

    // Pixels from the origin: (v - min) * scale + 0.5, truncated; negated
    // for a reversed axis and once more for a range that runs downwards.
    int ValueToPixel(double v) const override;
    // Stores the range (a logarithmic axis in whole decades) and, for a
    // time axis, the parts its labels show.
    virtual void SetRange(double dMin, double dMax);
    // Pixels per unit for a plot of that size; a span of 0 leaves it.
    void SetScale(int nWidth, int nHeight);

    // The step choices; each sets the step and the minor ticks.
    void StepForCount();
    // Decimal steps 1, 2, 5 times a power of ten, the first at least
    // minPixels + minPixels/4 pixels long. Scale or span 0 leave the step.
    void NiceStep(int nMinPixels);
    void BinaryStep(int nMinPixels);
    void TimeStep(int nMinPixels);
    // The starting decade of NiceStep for the current span and mode.
    double StartDecade() const;
    // The step a drawing takes with labels minPixels apart, by the style
    // and the label mode.
    void ChooseStep(int nMinPixels);

    // The label of a value: mode 0 whole units, 1 with nPrecision decimals,
    // 2 the time parts shown ("01:30"); divided by the unit divisor.
    CString FormatLabel(double value, int nPrecision) const;
    // The decimals real labels take at the current step.
    int LabelPrecision() const;
    // "title [x100]" when the unit divisor is not 1.
    CString GetTitleText() const override;
    void SetTimePartsFromSpan();

    void MeasureLabels(CDC* pDC, double dMin, double dMax) override;
    void Layout(CPoint ptOrigin, int nWidth, int nHeight, int nLabelHeight) override;
    void Draw(CDC* pDC) const override;
    void DrawGrid(CDC* pDC, const CLine& major, const CLine& minor) const override;

    // The label of the major tick of that index and value: from the
    // label series or texts when one is given, else FormatLabel. Empty
    // for an index past the texts.
    CString TickLabel(int index, double value, int nPrecision) const;

    // The values of the major ticks inside the range, in order.
    std::vector<double> MajorTicks() const;
    // The values of the minor ticks strictly inside the range.
    std::vector<double> MinorTicks() const;
    bool IsLogarithmic() const { return (m_dwStyle & kLogMask) == kLogarithmic; }

    double m_dMin = 0.0;
    double m_dMax = 0.0;
    double m_dSpan = 0.0;
    double m_dUnitDivisor = 1.0;
    double m_dScale = 0.0;
    double m_dStep = 10.0;
    double m_dDecade = 1.0;
    int m_bAutoStep = 1;
    int m_nDivisions = 9;
    int m_bMinor = 1;
    int m_nMinorCount = 10;
    int m_nLabelMode = labelInteger;
    BOOL m_bTimeParts[timePartCount] = {};
    // Offset of the first major tick below the minimum (see Layout).
    double m_dFirstTick = 0.0;
    double m_dStartOffset = 0.0;
    // Labels taken from elsewhere (kept alive by the caller): the series'
    // x at the tick's index, or its reserved reading 1 or 2 with the
    // binary style 0x10000 or 0x20000; else the text of the tick's index.
    const CDataArray* m_pLabelSeries = nullptr;
    const CStringArray* m_pLabelTexts = nullptr;

private:
    void DrawTicks(CDC* pDC) const;
    void DrawLabel(CDC* pDC, int nOffset, const CString& text) const;
    void DrawTitle(CDC* pDC) const;
};

class CAxisBinary : public CAxisBase
{
public:
    CAxisBinary();

    // State 0 at the origin, state 1 one pixel step away.
    int ValueToPixel(double v) const override;
    void MeasureLabels(CDC* pDC, double dMin, double dMax) override;
    void Layout(CPoint ptOrigin, int nWidth, int nHeight, int nLabelHeight) override;
    void Draw(CDC* pDC) const override;

    CString m_strLow = "low";
    CString m_strHigh = "high";
    double m_dFraction = 0.9;
    double m_dMargin = 0.05;
    BOOL m_bFlag = TRUE;
};
