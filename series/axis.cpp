#include "series/axis.h"

#include "objectmodel/dataarray.h"
#include "platform/core/arrays.h"
#include "platform/core/dc.h"
#include "platform/core/gdi.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace {

// Ticks beyond this many are not drawn: a step far too small for its range.
constexpr int kMaxTicks = 10000;
// Comparisons of tick values with the range ends.
constexpr double kTickEpsilon = 1e-9;

int Truncate(double v)
{
    // Truncation as the mapping does it, without overflowing an int.
    if (v >= 2147483647.0)
        return 2147483647;
    if (v <= -2147483648.0)
        return -2147483647 - 1;
    return static_cast<int>(v);
}

int RoundPixels(double v)
{
    return Truncate(v + 0.5);
}

struct sTimeStep
{
    double seconds;
    int divisions;
};

constexpr std::array<sTimeStep, 19> kTimeSteps = {{
    {0.01, 1},   {0.05, 1},    {0.1, 1},    {0.25, 1},   {0.5, 1},   {1, 1},       {5, 5},
    {10, 10},    {20, 4},      {60, 6},     {120, 4},    {300, 5},   {600, 5},     {900, 3},
    {3600, 6},   {21600, 3},   {86400, 4},  {172800, 2}, {432000, 2},
}};

// Draws text with its top-left corner at the point, whatever the context's
// alignment and background were.
void TextAt(CDC* pDC, int x, int y, const CString& text)
{
    const UINT oldAlign = pDC->SetTextAlign(TA_LEFT | TA_TOP);
    const int oldMode = pDC->SetBkMode(TRANSPARENT);
    pDC->TextOut(x, y, text);
    pDC->SetBkMode(oldMode);
    pDC->SetTextAlign(oldAlign);
}

} // namespace

// ---- CLine -------------------------------------------------------------------------------------

CLine::CLine(int nPenStyle, int nPenWidth, COLORREF crColor)
    : m_nPenStyle(nPenStyle), m_nPenWidth(nPenWidth), m_crColor(crColor)
{
}

void CLine::Draw(CDC* pDC, POINT to) const
{
    CPen pen(m_nPenStyle, m_nPenWidth, m_crColor);
    CPen* old = pDC->SelectObject(&pen);
    pDC->LineTo(to);
    pDC->SelectObject(old);
}

// ---- CAxisBase ---------------------------------------------------------------------------------

CAxisBase::CAxisBase() : CLine(PS_SOLID, 1, RGB(0, 0, 0))
{
}

void CAxisBase::Layout(CPoint ptOrigin, int nWidth, int nHeight, int nLabelHeight)
{
    m_nMinorTick = nLabelHeight / 4;
    m_nMajorTick = nLabelHeight / 2;
    if (!IsVertical()) {
        m_nLength = nWidth;
        m_nPlotDepth = nHeight;
        const int y = TickPlacement() == kTickAbove ? ptOrigin.y : ptOrigin.y + nHeight;
        m_ptOrigin = CPoint(ptOrigin.x, y);
    } else {
        m_nLength = nHeight;
        m_nPlotDepth = nWidth;
        const int x = m_bRightSide ? ptOrigin.x + nWidth : ptOrigin.x;
        m_ptOrigin = CPoint(x, IsReversed() ? ptOrigin.y + nHeight : ptOrigin.y);
    }
}

CPoint CAxisBase::PointAt(int nOffset) const
{
    return IsVertical() ? CPoint(m_ptOrigin.x, m_ptOrigin.y + nOffset) : CPoint(m_ptOrigin.x + nOffset, m_ptOrigin.y);
}

// ---- CAxis: mapping ----------------------------------------------------------------------------

int CAxis::ValueToPixel(double v) const
{
    double from = m_dMin;
    if (IsLogarithmic()) {
        // Decades from the lower end; values at or below 0 stay at the end.
        const double low = m_dMin > 0.0 ? m_dMin : 1.0;
        from = std::log10(low);
        v = v > 0.0 ? std::log10(v) : from;
    }
    int p = Truncate((v - from) * m_dScale + 0.5);
    if (IsReversed())
        p = -p;
    if (m_dSpan < 0.0)
        p = -p;
    return p;
}

void CAxis::SetRange(double dMin, double dMax)
{
    if (IsLogarithmic()) {
        // Whole decades around the values; a range not above 0 becomes the
        // decade below its upper end.
        const double high = dMax > 0.0 ? dMax : 10.0;
        const double low = dMin > 0.0 ? dMin : high / 10.0;
        dMin = std::pow(10.0, std::floor(std::log10(low)));
        dMax = std::pow(10.0, std::ceil(std::log10(high)));
        if (dMax <= dMin)
            dMax = dMin * 10.0;
        m_dMin = dMin;
        m_dMax = dMax;
        m_dSpan = std::log10(dMax) - std::log10(dMin);
    } else {
        m_dMin = dMin;
        m_dMax = dMax;
        m_dSpan = dMax - dMin;
    }
    SetTimePartsFromSpan();
}

void CAxis::SetScale(int nWidth, int nHeight)
{
    if (m_dSpan == 0.0)
        return;
    m_dScale = (IsVertical() ? nHeight : nWidth) / std::fabs(m_dSpan);
    if ((m_dwStyle & kTickMask) == kTickRightAligned)
        m_dScale /= 2.0;
}

void CAxis::SetTimePartsFromSpan()
{
    const double span = std::fabs(m_dSpan);
    std::fill(std::begin(m_bTimeParts), std::end(m_bTimeParts), FALSE);
    if (span >= 86400.0) {
        m_bTimeParts[timeDays] = m_bTimeParts[timeHours] = TRUE;
    } else if (span >= 3600.0) {
        m_bTimeParts[timeHours] = m_bTimeParts[timeMinutes] = TRUE;
    } else if (span >= 60.0) {
        m_bTimeParts[timeMinutes] = m_bTimeParts[timeSeconds] = TRUE;
    } else {
        m_bTimeParts[timeMinutes] = m_bTimeParts[timeSeconds] = m_bTimeParts[timeMilliseconds] = TRUE;
    }
}

// ---- CAxis: steps ------------------------------------------------------------------------------

void CAxis::StepForCount()
{
    m_dStep = m_nDivisions == 0 ? m_dSpan : m_dSpan / (m_nDivisions + 1);
    if (m_nLabelMode == labelInteger) {
        m_dStep = std::trunc(m_dStep + 0.5);
        if (m_dStep == 0.0)
            m_dStep = 1.0;
    }
}

double CAxis::StartDecade() const
{
    if (m_nLabelMode == labelInteger)
        return 10.0;
    const double span = std::fabs(m_dSpan);
    if (span < 0.001)
        return 1e7;
    if (span < 0.01)
        return 1e6;
    if (span < 0.1)
        return 100000.0;
    if (span < 1.0)
        return 10000.0;
    if (span < 10.0)
        return 1000.0;
    if (span < 100.0)
        return 100.0;
    return 1.0;
}

void CAxis::NiceStep(int nMinPixels)
{
    // Without a scale or a range every step is as long as any other.
    if (m_dScale == 0.0 || m_dSpan == 0.0)
        return;
    const int target = nMinPixels + nMinPixels / 4;
    m_dDecade = StartDecade();
    // Steps are m * 10^e with m 1, 2 or 5, computed from whole numbers so
    // that they are the decimal values themselves.
    int exponent = -static_cast<int>(std::lround(std::log10(m_dDecade)));
    int mantissa = 1;
    auto value = [](int m, int e) { return e >= 0 ? m * std::pow(10.0, e) : m / std::pow(10.0, -e); };
    for (int decades = 0; RoundPixels(value(mantissa, exponent) * m_dScale) < target && decades < 400; ++decades) {
        const std::pair<int, int> tries[] = {{2, exponent}, {5, exponent}, {1, exponent + 1}};
        const std::pair<int, int>* found = nullptr;
        for (const auto& t : tries) {
            if (RoundPixels(value(t.first, t.second) * m_dScale) >= target) {
                found = &t;
                break;
            }
        }
        if (found) {
            mantissa = found->first;
            exponent = found->second;
        } else {
            mantissa = 1;
            ++exponent;
        }
    }
    double step = value(mantissa, exponent);
    if (m_nLabelMode == labelInteger) {
        step = std::trunc(step + 0.5);
        if (step == 0.0)
            step = 1.0;
    }
    m_dStep = step;

    // A step of 1, 10, 100 ... gets nine minor ticks, any other four.
    double leading = step;
    while (leading / 10.0 >= 1.0)
        leading /= 10.0;
    if (leading == 1.0) {
        m_bMinor = 1;
        m_nMinorCount = 9;
    } else {
        m_bMinor = 0;
        m_nMinorCount = 4;
    }
    if (RoundPixels(step / (m_nMinorCount + 1) * m_dScale) < 3)
        m_nMinorCount = 0;
}

void CAxis::BinaryStep(int nMinPixels)
{
    const int target = nMinPixels + nMinPixels / 4;
    double step = 1.0;
    if (m_dScale > 0.0) {
        while (RoundPixels(step * m_dScale) < target)
            step *= 2.0;
    }
    m_dStep = step;
    m_nMinorCount = 0;
}

void CAxis::TimeStep(int nMinPixels)
{
    const int target = nMinPixels + nMinPixels / 4;
    const sTimeStep* chosen = &kTimeSteps.front();
    if (m_dScale != 0.0) {
        chosen = &kTimeSteps.back();
        for (const sTimeStep& s : kTimeSteps) {
            const int pixels = Truncate(s.seconds * m_dScale + 0.5);
            if (pixels >= target && pixels >= 1) {
                chosen = &s;
                break;
            }
        }
    }
    m_dStep = chosen->seconds;
    m_nMinorCount = chosen->divisions - 1;
}

void CAxis::ChooseStep(int nMinPixels)
{
    if ((m_dwStyle & kBinaryMask) != 0)
        BinaryStep(nMinPixels);
    else if (m_nLabelMode == labelTime)
        TimeStep(nMinPixels);
    else if (m_bAutoStep)
        NiceStep(nMinPixels);
    else
        StepForCount();
}

// ---- CAxis: labels -----------------------------------------------------------------------------

CString CAxis::FormatLabel(double value, int nPrecision) const
{
    if (value > 0.0 && value < 1e-14)
        value = 0.0;
    CString text;
    const double divisor = m_dUnitDivisor != 0.0 ? m_dUnitDivisor : 1.0;
    switch (m_nLabelMode) {
    case labelInteger:
        text.Format("%ld", static_cast<long>(std::trunc(value / divisor)));
        break;
    case labelReal:
        text.Format("%.*f", std::clamp(nPrecision, 0, 15), value / divisor);
        break;
    default: {
        const long long ms = static_cast<long long>(std::trunc(value * 1000.0));
        long long seconds = 0;
        long long millis = 0;
        if (ms >= 1) {
            seconds = ms / 1000;
            millis = ms - 1000 * seconds;
        } else {
            seconds = static_cast<long long>(std::trunc(value));
        }
        long long minutes = seconds / 60;
        seconds %= 60;
        long long hours = minutes / 60;
        minutes %= 60;
        const long long days = hours / 24;
        hours %= 24;
        // The largest part shown carries what the parts above it would.
        long long parts[timePartCount] = {days, hours, minutes, seconds, millis};
        static constexpr long long kUnits[timePartCount] = {0, 24, 60, 60, 1000};
        for (int i = 0; i < timeMilliseconds; ++i) {
            if (m_bTimeParts[i])
                break;
            parts[i + 1] += parts[i] * kUnits[i + 1];
            parts[i] = 0;
        }
        static constexpr const char* kFormats[timePartCount] = {"%lld ", "%lld", "%02lld", "%02lld", "%02lld"};
        for (int i = 0; i < timePartCount; ++i) {
            if (!m_bTimeParts[i])
                continue;
            text.AppendFormat(kFormats[i], parts[i]);
            if (i + 1 < timePartCount && m_bTimeParts[i + 1])
                text += ":";
        }
        break;
    }
    }
    return text;
}

int CAxis::LabelPrecision() const
{
    if (m_nLabelMode != labelReal || m_dStep <= 0.0 || m_dStep >= 1.0)
        return 0;
    return std::clamp(static_cast<int>(std::ceil(-std::log10(m_dStep) - kTickEpsilon)), 0, 10);
}

CString CAxis::GetTitleText() const
{
    if (m_dUnitDivisor == 1.0)
        return m_strTitle;
    CString text;
    text.Format("%s [x%d]", m_strTitle.GetString(), static_cast<int>(m_dUnitDivisor));
    return text;
}

// ---- CAxis: ticks ------------------------------------------------------------------------------

std::vector<double> CAxis::MajorTicks() const
{
    std::vector<double> ticks;
    if (m_dSpan == 0.0)
        return ticks;
    const double lo = std::min(m_dMin, m_dMax);
    const double hi = std::max(m_dMin, m_dMax);
    if (IsLogarithmic()) {
        for (double v = lo; v <= hi * (1.0 + kTickEpsilon) && ticks.size() < kMaxTicks; v *= 10.0)
            ticks.push_back(v);
        return ticks;
    }
    if (m_dStep <= 0.0 || (hi - lo) / m_dStep > kMaxTicks)
        return ticks;
    const double d = m_dDecade > 0.0 ? m_dDecade : 1.0;
    const double divisor = std::trunc(m_dStep * d);
    // The ticks lie on whole steps; the first one at or above the minimum.
    double first = lo;
    if (m_bAutoStep && divisor != 0.0)
        first = lo - std::fmod(std::trunc(lo * d), divisor) / d;
    first += m_dStartOffset;
    const double eps = m_dStep * kTickEpsilon;
    while (first < lo - eps)
        first += m_dStep;
    for (int k = 0; k <= kMaxTicks; ++k) {
        const double v = first + k * m_dStep;
        if (v > hi + eps)
            break;
        ticks.push_back(v);
    }
    if ((m_dwStyle & kEndMask) == kEndTick && (ticks.empty() || ticks.back() < hi - eps))
        ticks.push_back(hi);
    return ticks;
}

std::vector<double> CAxis::MinorTicks() const
{
    std::vector<double> ticks;
    const std::vector<double> majors = MajorTicks();
    if (majors.empty())
        return ticks;
    const double lo = std::min(m_dMin, m_dMax);
    const double hi = std::max(m_dMin, m_dMax);
    if (IsLogarithmic()) {
        const int count = m_bMinor ? 9 : std::max(0, m_nMinorCount);
        for (double decade : majors)
            for (int k = 2; k <= count && k < 10; ++k)
                if (decade * k < hi)
                    ticks.push_back(decade * k);
        return ticks;
    }
    if (m_nMinorCount <= 0)
        return ticks;
    const double minor = m_dStep / (m_nMinorCount + 1);
    const double eps = m_dStep * kTickEpsilon;
    for (int m = -1; m < static_cast<int>(majors.size()); ++m) {
        const double base = m < 0 ? majors.front() - m_dStep : majors[static_cast<size_t>(m)];
        for (int k = 1; k <= m_nMinorCount; ++k) {
            const double v = base + k * minor;
            if (v > lo + eps && v < hi - eps)
                ticks.push_back(v);
        }
    }
    return ticks;
}

// ---- CAxis: layout and drawing -----------------------------------------------------------------

void CAxis::MeasureLabels(CDC* pDC, double dMin, double dMax)
{
    if (dMin == 0.0 && dMax == 0.0) {
        dMin = m_dMin;
        dMax = m_dMax;
    }
    const int precision = LabelPrecision();
    const CSize first = pDC->GetTextExtent(FormatLabel(dMin, precision));
    const CSize last = pDC->GetTextExtent(FormatLabel(dMax, precision));
    CSize largest(std::max(first.cx, last.cx), std::max(first.cy, last.cy));
    ChooseStep(IsVertical() ? largest.cy : largest.cx);
    const int tickPrecision = LabelPrecision();
    for (double v : MajorTicks()) {
        const CSize extent = pDC->GetTextExtent(FormatLabel(v, tickPrecision));
        largest.cx = std::max(largest.cx, extent.cx);
        largest.cy = std::max(largest.cy, extent.cy);
    }
    m_sizeLabel = largest;
}

void CAxis::Layout(CPoint ptOrigin, int nWidth, int nHeight, int nLabelHeight)
{
    CAxisBase::Layout(ptOrigin, nWidth, nHeight, nLabelHeight);
    m_dStartOffset = (m_dwStyle & kBinaryMask) == kHalfUnitStart ? 0.5 : 0.0;
    SetScale(nWidth, nHeight);
    if (IsLogarithmic()) {
        m_dDecade = 1.0;
        return;
    }
    m_dDecade = StartDecade();
    const int spacing = IsVertical() ? m_sizeLabel.cy : m_sizeLabel.cx;
    ChooseStep(spacing > 0 ? spacing : nLabelHeight);
    m_dFirstTick = 0.0;
    if (m_bAutoStep == 1) {
        const double divisor = std::trunc(m_dStep * m_dDecade);
        // A step below one decade unit has no whole divisor: no offset then.
        if (divisor != 0.0)
            m_dFirstTick = std::fmod(std::trunc(m_dMin * m_dDecade), divisor) / m_dDecade;
    } else {
        SetTimePartsFromSpan();
    }
}

void CAxis::Draw(CDC* pDC) const
{
    if (!m_bShow)
        return;
    pDC->MoveTo(PointAt(0));
    CLine::Draw(pDC, PointAt(IsReversed() ? -m_nLength : m_nLength));
    DrawTicks(pDC);
    DrawTitle(pDC);
}

CString CAxis::TickLabel(int index, double value, int nPrecision) const
{
    if (m_pLabelSeries != nullptr) {
        switch (m_dwStyle & kBinaryMask) {
        case 0x10000: value = m_pLabelSeries->ReservedReading1(index); break;
        case 0x20000: value = m_pLabelSeries->ReservedReading2(index); break;
        default: value = m_pLabelSeries->GetXAt(index); break;
        }
    } else if (m_pLabelTexts != nullptr) {
        return index < m_pLabelTexts->GetSize() ? m_pLabelTexts->GetAt(index) : CString();
    }
    return FormatLabel(value, nPrecision);
}

void CAxis::DrawTicks(CDC* pDC) const
{
    // Ticks point away from the plot unless placed inside it.
    int dx = 0;
    int dy = 0;
    if (IsVertical())
        dx = (TickPlacement() == 0) != static_cast<bool>(m_bRightSide) ? 1 : -1;
    else
        dy = TickPlacement() == kTickAbove ? -1 : 1;

    for (double v : MinorTicks()) {
        const CPoint at = PointAt(ValueToPixel(v));
        pDC->MoveTo(at);
        CLine::Draw(pDC, CPoint(at.x + dx * m_nMinorTick, at.y + dy * m_nMinorTick));
    }
    const int precision = LabelPrecision();
    const bool skipOverlaps = (m_dwStyle & kEndMask) == kEndTick;
    bool haveLabel = false;
    int lastLabel = 0;
    int index = -1;
    for (double v : MajorTicks()) {
        ++index;
        const int offset = ValueToPixel(v);
        const CPoint at = PointAt(offset);
        pDC->MoveTo(at);
        CLine::Draw(pDC, CPoint(at.x + dx * m_nMajorTick, at.y + dy * m_nMajorTick));
        if (!m_bShowLabels)
            continue;
        const CString text = TickLabel(index, v, precision);
        if (text.IsEmpty())
            continue;
        const CSize extent = pDC->GetTextExtent(text);
        if (skipOverlaps && haveLabel && std::abs(offset - lastLabel) < (IsVertical() ? extent.cy : extent.cx))
            continue;
        DrawLabel(pDC, offset, text);
        haveLabel = true;
        lastLabel = offset;
    }
}

void CAxis::DrawLabel(CDC* pDC, int nOffset, const CString& text) const
{
    const CPoint at = PointAt(nOffset);
    const CSize extent = pDC->GetTextExtent(text);
    const int reach = m_nMajorTick + m_nLabelGap;
    int x = 0;
    int y = 0;
    if (!IsVertical()) {
        switch (TickPlacement()) {
        case kTickAbove:
            x = at.x - extent.cx / 2;
            y = at.y - reach - extent.cy;
            break;
        case kTickRightAligned:
            x = at.x - extent.cx;
            y = at.y + reach;
            break;
        default:
            x = at.x - extent.cx / 2;
            y = at.y + reach;
            break;
        }
    } else {
        const bool outward = TickPlacement() != 0;
        const bool toTheLeft = outward != static_cast<bool>(m_bRightSide);
        x = toTheLeft ? at.x - reach - extent.cx : at.x + reach;
        y = TickPlacement() == kTickAbove ? at.y - extent.cy : at.y - extent.cy / 2;
    }
    TextAt(pDC, x, y, text);
}

void CAxis::DrawTitle(CDC* pDC) const
{
    const CString title = GetTitleText();
    if (title.IsEmpty())
        return;
    const CSize extent = pDC->GetTextExtent(title);
    const int reach = m_nMajorTick + m_nLabelGap;
    if (!IsVertical()) {
        // Before the start of the axis, on the line of its labels.
        const int x = m_ptOrigin.x - m_sizeLabel.cx / 2 - m_nTitleGap - extent.cx;
        const int y = TickPlacement() == kTickAbove ? m_ptOrigin.y - reach - extent.cy : m_ptOrigin.y + reach;
        TextAt(pDC, x, y, title);
    } else {
        // Above the upper end of the axis, beside its labels.
        const int top = std::min(m_ptOrigin.y, PointAt(IsReversed() ? -m_nLength : m_nLength).y);
        const bool toTheLeft = (TickPlacement() != 0) != static_cast<bool>(m_bRightSide);
        const int x = toTheLeft ? m_ptOrigin.x - reach - extent.cx : m_ptOrigin.x + reach;
        TextAt(pDC, x, top - m_sizeLabel.cy - m_nTitleGap - extent.cy, title);
    }
}

void CAxis::DrawGrid(CDC* pDC, const CLine& major, const CLine& minor) const
{
    if (!m_bShow || !m_bGrid)
        return;
    // Across the plot, away from the side the axis lies on.
    int dx = 0;
    int dy = 0;
    if (IsVertical())
        dx = m_bRightSide ? -m_nPlotDepth : m_nPlotDepth;
    else
        dy = TickPlacement() == kTickAbove ? m_nPlotDepth : -m_nPlotDepth;
    auto line = [&](const CLine& pen, double v) {
        const CPoint at = PointAt(ValueToPixel(v));
        pDC->MoveTo(at);
        pen.Draw(pDC, CPoint(at.x + dx, at.y + dy));
    };
    const double lo = std::min(m_dMin, m_dMax);
    const double hi = std::max(m_dMin, m_dMax);
    for (double v : MajorTicks())
        if (v > lo && v < hi)
            line(major, v);
    if (m_bMinorGrid || IsLogarithmic())
        for (double v : MinorTicks())
            line(minor, v);
}

// ---- CAxisBinary -------------------------------------------------------------------------------

CAxisBinary::CAxisBinary()
{
    m_dwStyle = 2; // vertical
}

int CAxisBinary::ValueToPixel(double v) const
{
    const int p = Truncate(v) * m_nPixelStep;
    return IsReversed() ? -p : p;
}

void CAxisBinary::MeasureLabels(CDC* pDC, double /*dMin*/, double /*dMax*/)
{
    m_sizeLabel = pDC->GetTextExtent(m_strHigh);
    const CSize low = pDC->GetTextExtent(m_strLow);
    m_sizeLabel.cx = std::max(m_sizeLabel.cx, low.cx);
    m_nMinorTick = m_sizeLabel.cy / 4;
    m_nMajorTick = m_sizeLabel.cy / 2;
}

void CAxisBinary::Layout(CPoint ptOrigin, int nWidth, int nHeight, int nLabelHeight)
{
    CAxisBase::Layout(ptOrigin, nWidth, nHeight, nLabelHeight);
    m_nPixelStep = Truncate(m_nLength * m_dFraction);
}

void CAxisBinary::Draw(CDC* pDC) const
{
    if (!m_bShow)
        return;
    pDC->MoveTo(PointAt(0));
    CLine::Draw(pDC, PointAt(IsReversed() ? -m_nLength : m_nLength));
    const int dx = IsVertical() ? (m_bRightSide ? 1 : -1) : 0;
    const int dy = IsVertical() ? 0 : 1;
    for (int state = 0; state <= 1; ++state) {
        const CPoint at = PointAt(ValueToPixel(state));
        pDC->MoveTo(at);
        CLine::Draw(pDC, CPoint(at.x + dx * m_nMajorTick, at.y + dy * m_nMajorTick));
        if (!m_bShowLabels)
            continue;
        const CString& text = state == 0 ? m_strLow : m_strHigh;
        const CSize extent = pDC->GetTextExtent(text);
        const int reach = m_nMajorTick + m_nLabelGap;
        if (IsVertical())
            TextAt(pDC, m_bRightSide ? at.x + reach : at.x - reach - extent.cx, at.y - extent.cy / 2, text);
        else
            TextAt(pDC, at.x - extent.cx / 2, at.y + reach, text);
    }
}
