#include "platform/core/recording_dc.h"

#include "platform/core/exceptions.h"

#include <cstdlib>
#include <ostream>

IMPLEMENT_DYNAMIC(CRecordingDC, CDC)

namespace {

constexpr int kDefaultLineHeight = 16;

int codePoints(const CString& text)
{
    int count = 0;
    for (const char c : text.view()) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
            ++count;
    }
    return count;
}

std::vector<CPoint> corners(const CRect& rect) { return {rect.TopLeft(), rect.BottomRight()}; }

} // namespace

CString CDCRecord::ToString() const
{
    CString s = op + "(";
    for (size_t i = 0; i < args.size(); ++i)
        s.AppendFormat(i == 0 ? "%d" : ",%d", args[i]);
    s += ") dev=";
    for (const CPoint& p : points)
        s.AppendFormat("(%d,%d)", static_cast<int>(p.x), static_cast<int>(p.y));
    if (!text.IsEmpty() || op == "TextOut" || op == "DrawText")
        s.AppendFormat(" \"%s\" fmt=0x%X", text.GetString(), format);
    if (op == "SetPixel" || op == "SetPixelV")
        s.AppendFormat(" color=0x%06X", color);
    s.AppendFormat(" pen=%u/%d/0x%06X brush=%u/0x%06X/%u font=\"%s\"/%d text=0x%06X bk=0x%06X/%d align=%u rop2=%d",
                   pen.lopnStyle, static_cast<int>(pen.lopnWidth.x), pen.lopnColor, brush.lbStyle, brush.lbColor,
                   brush.lbHatch, fontFace.GetString(), static_cast<int>(fontHeight), textColor, bkColor, bkMode,
                   textAlign, rop2);
    return s;
}

std::ostream& operator<<(std::ostream& out, const CDCRecord& record) { return out << record.ToString().str(); }

std::vector<CString> CRecordingDC::Ops() const
{
    std::vector<CString> ops;
    ops.reserve(m_records.size());
    for (const CDCRecord& record : m_records)
        ops.push_back(record.op);
    return ops;
}

void CRecordingDC::SetDeviceSize(int width, int height)
{
    if (width < 1 || height < 1)
        AfxThrowInvalidArgException();
    m_device.width = width;
    m_device.height = height;
}

void CRecordingDC::SetResolution(int dpiX, int dpiY)
{
    if (dpiX < 1 || dpiY < 1)
        AfxThrowInvalidArgException();
    m_device.dpiX = dpiX;
    m_device.dpiY = dpiY;
}

CDCRecord& CRecordingDC::Record(const CDrawCall& call, std::vector<CPoint> points)
{
    CDCRecord record;
    record.op = call.op;
    record.args.assign(call.args.begin(), call.args.end());
    for (const POINT& p : call.points) {
        record.args.push_back(p.x);
        record.args.push_back(p.y);
    }
    record.points = std::move(points);
    record.pen = GetCurrentLogPen();
    record.brush = GetCurrentLogBrush();
    record.fontFace = GetCurrentLogFont().lfFaceName;
    record.fontHeight = GetCurrentLogFont().lfHeight;
    record.textColor = GetTextColor();
    record.bkColor = GetBkColor();
    record.bkMode = GetBkMode();
    record.textAlign = GetTextAlign();
    record.rop2 = GetROP2();
    return m_records.emplace_back(std::move(record));
}

bool CRecordingDC::OnDevice(CPoint point) const
{
    return point.x >= 0 && point.y >= 0 && point.x < m_device.width && point.y < m_device.height;
}

void CRecordingDC::DeviceMoveTo(const CDrawCall& call, CPoint to) { Record(call, {to}); }

void CRecordingDC::DeviceLine(const CDrawCall& call, CPoint from, CPoint to) { Record(call, {from, to}); }

void CRecordingDC::DevicePolyline(const CDrawCall& call, std::span<const CPoint> points)
{
    Record(call, {points.begin(), points.end()});
}

void CRecordingDC::DevicePolygon(const CDrawCall& call, std::span<const CPoint> points)
{
    Record(call, {points.begin(), points.end()});
}

void CRecordingDC::DeviceRectangle(const CDrawCall& call, const CRect& rect) { Record(call, corners(rect)); }

void CRecordingDC::DeviceEllipse(const CDrawCall& call, const CRect& rect) { Record(call, corners(rect)); }

void CRecordingDC::DeviceFillRect(const CDrawCall& call, const CRect& rect, const LOGBRUSH& brush)
{
    Record(call, corners(rect)).brush = brush;
}

void CRecordingDC::DeviceInvertRect(const CDrawCall& call, const CRect& rect) { Record(call, corners(rect)); }

COLORREF CRecordingDC::DeviceSetPixel(const CDrawCall& call, CPoint point, COLORREF color)
{
    Record(call, {point}).color = color;
    if (!OnDevice(point))
        return CLR_INVALID;
    m_pixels[{point.x, point.y}] = color;
    return color;
}

COLORREF CRecordingDC::DeviceGetPixel(CPoint point) const
{
    const auto it = m_pixels.find({point.x, point.y});
    return it == m_pixels.end() ? CLR_INVALID : it->second;
}

void CRecordingDC::DeviceTextOut(const CDrawCall& call, CPoint point, const CString& text)
{
    Record(call, {point}).text = text;
}

void CRecordingDC::DeviceDrawText(const CDrawCall& call, const CString& text, const CRect& rect, UINT format)
{
    CDCRecord& record = Record(call, corners(rect));
    record.text = text;
    record.format = format;
}

CSize CRecordingDC::DeviceTextExtent(const CString& text) const
{
    int height = std::abs(GetDeviceFontHeight());
    if (height == 0)
        height = kDefaultLineHeight;
    SIZE width{GetCurrentLogFont().lfWidth, 0};
    LPtoDP(&width);
    const int charWidth = width.cx != 0 ? std::abs(static_cast<int>(width.cx)) : (height + 1) / 2;
    return CSize(charWidth * codePoints(text), height);
}

void CRecordingDC::DeviceStretchDIBits(const CDrawCall& call, const CRect& dest, const CPixelBlock& /*block*/)
{
    Record(call, corners(dest));
}
