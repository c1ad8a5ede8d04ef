#include "platform/core/dc.h"

#include "platform/core/exceptions.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

IMPLEMENT_DYNAMIC(CDC, CObject)

namespace {

LONG clampToLong(__int128 value)
{
    constexpr __int128 lo = std::numeric_limits<LONG>::min();
    constexpr __int128 hi = std::numeric_limits<LONG>::max();
    return static_cast<LONG>(std::clamp(value, lo, hi));
}

// num / den rounded to the nearest integer, halves away from zero. Wide, so
// that coordinate times extent never overflows.
__int128 roundDiv(__int128 num, __int128 den)
{
    if (den < 0) {
        num = -num;
        den = -den;
    }
    const __int128 magnitude = (2 * (num < 0 ? -num : num) + den) / (2 * den);
    return num < 0 ? -magnitude : magnitude;
}

LONG scaleLength(LONG length, LONG toExt, LONG fromExt)
{
    return clampToLong(roundDiv(static_cast<__int128>(length) * std::abs(toExt), std::abs(fromExt)));
}

LONG mapAxis(LONG value, LONG fromOrg, LONG fromExt, LONG toExt, LONG toOrg)
{
    const __int128 offset = static_cast<__int128>(value) - fromOrg;
    return clampToLong(roundDiv(offset * toExt, fromExt) + toOrg);
}

int sign(LONG v) { return v < 0 ? -1 : 1; }

// Logical units per inch of the fixed modes; 0 for the others.
int unitsPerInch(int mode)
{
    switch (mode) {
    case MM_LOMETRIC:
        return 254;
    case MM_HIMETRIC:
        return 2540;
    case MM_LOENGLISH:
        return 100;
    case MM_HIENGLISH:
        return 1000;
    case MM_TWIPS:
        return 1440;
    default:
        return 0;
    }
}

CRect normalized(CRect rect)
{
    rect.NormalizeRect();
    return rect;
}

int millimetres(int pixels, int dpi) { return dpi > 0 ? static_cast<int>((pixels * 254LL + dpi * 5LL) / (dpi * 10LL)) : 0; }

} // namespace

CDC::CDC()
{
    m_state.pen = static_cast<CPen*>(GetStockObject(BLACK_PEN));
    m_state.brush = static_cast<CBrush*>(GetStockObject(WHITE_BRUSH));
    m_state.font = static_cast<CFont*>(GetStockObject(SYSTEM_FONT));
    m_state.logPen = m_state.pen->LogPen();
    m_state.logBrush = m_state.brush->LogBrush();
    m_state.logFont = m_state.font->LogFont();
}

CDC::~CDC() = default;

// ---------------------------------------------------------------- objects

CPen* CDC::SelectObject(CPen* pen)
{
    if (pen == nullptr || pen->GetSafeHandle() == nullptr)
        return nullptr;
    CPen* previous = m_state.pen;
    m_state.pen = pen;
    m_state.logPen = pen->LogPen();
    return previous;
}

CBrush* CDC::SelectObject(CBrush* brush)
{
    if (brush == nullptr || brush->GetSafeHandle() == nullptr)
        return nullptr;
    CBrush* previous = m_state.brush;
    m_state.brush = brush;
    m_state.logBrush = brush->LogBrush();
    return previous;
}

CFont* CDC::SelectObject(CFont* font)
{
    if (font == nullptr || font->GetSafeHandle() == nullptr)
        return nullptr;
    CFont* previous = m_state.font;
    m_state.font = font;
    m_state.logFont = font->LogFont();
    return previous;
}

CGdiObject* CDC::SelectObject(CGdiObject* object)
{
    if (object == nullptr)
        return nullptr;
    switch (object->GetObjectType()) {
    case OBJ_PEN:
        return SelectObject(static_cast<CPen*>(object));
    case OBJ_BRUSH:
        return SelectObject(static_cast<CBrush*>(object));
    case OBJ_FONT:
        return SelectObject(static_cast<CFont*>(object));
    default:
        return nullptr;
    }
}

CGdiObject* CDC::SelectStockObject(int index) { return SelectObject(GetStockObject(index)); }

CPen* CDC::GetCurrentPen() const { return m_state.pen; }
CBrush* CDC::GetCurrentBrush() const { return m_state.brush; }
CFont* CDC::GetCurrentFont() const { return m_state.font; }

// ---------------------------------------------------------------- colours and modes

COLORREF CDC::SetTextColor(COLORREF color) { return std::exchange(m_state.textColor, color); }
COLORREF CDC::SetBkColor(COLORREF color) { return std::exchange(m_state.bkColor, color); }

int CDC::SetBkMode(int mode)
{
    if (mode != TRANSPARENT && mode != OPAQUE)
        return 0;
    return std::exchange(m_state.bkMode, mode);
}

UINT CDC::SetTextAlign(UINT align) { return std::exchange(m_state.textAlign, align); }

int CDC::SetROP2(int rop)
{
    if (rop < R2_BLACK || rop > R2_WHITE)
        return 0;
    return std::exchange(m_state.rop2, rop);
}

int CDC::SetPolyFillMode(int mode)
{
    if (mode != ALTERNATE && mode != WINDING)
        return 0;
    return std::exchange(m_state.polyFillMode, mode);
}

// ---------------------------------------------------------------- mapping

int CDC::SetMapMode(int mode)
{
    if (mode < MM_TEXT || mode > MM_ANISOTROPIC)
        return 0;
    const int previous = std::exchange(m_state.mapMode, mode);
    if (mode == MM_TEXT) {
        m_state.windowExt = CSize(1, 1);
        m_state.viewportExt = CSize(1, 1);
    } else if (const int units = unitsPerInch(mode)) {
        const CDeviceInfo device = GetDeviceInfo();
        m_state.windowExt = CSize(units, units);
        m_state.viewportExt = CSize(device.dpiX, -device.dpiY);
    } else {
        // The scalable modes start from the extents of the mode before.
        AdjustIsotropic();
    }
    return previous;
}

CPoint CDC::SetWindowOrg(int x, int y) { return std::exchange(m_state.windowOrg, CPoint(x, y)); }

CPoint CDC::OffsetWindowOrg(int dx, int dy) { return SetWindowOrg(m_state.windowOrg.x + dx, m_state.windowOrg.y + dy); }

CSize CDC::SetWindowExt(int cx, int cy)
{
    if (!IsScalableMode() || cx == 0 || cy == 0)
        return CSize();
    const CSize previous = std::exchange(m_state.windowExt, CSize(cx, cy));
    AdjustIsotropic();
    return previous;
}

CSize CDC::ScaleWindowExt(int xNum, int xDenom, int yNum, int yDenom)
{
    if (xDenom == 0 || yDenom == 0)
        return CSize();
    const CSize ext = m_state.windowExt;
    return SetWindowExt(static_cast<int>(static_cast<long long>(ext.cx) * xNum / xDenom),
                        static_cast<int>(static_cast<long long>(ext.cy) * yNum / yDenom));
}

CPoint CDC::SetViewportOrg(int x, int y) { return std::exchange(m_state.viewportOrg, CPoint(x, y)); }

CPoint CDC::OffsetViewportOrg(int dx, int dy)
{
    return SetViewportOrg(m_state.viewportOrg.x + dx, m_state.viewportOrg.y + dy);
}

CSize CDC::SetViewportExt(int cx, int cy)
{
    if (!IsScalableMode() || cx == 0 || cy == 0)
        return CSize();
    const CSize previous = std::exchange(m_state.viewportExt, CSize(cx, cy));
    AdjustIsotropic();
    return previous;
}

CSize CDC::ScaleViewportExt(int xNum, int xDenom, int yNum, int yDenom)
{
    if (xDenom == 0 || yDenom == 0)
        return CSize();
    const CSize ext = m_state.viewportExt;
    return SetViewportExt(static_cast<int>(static_cast<long long>(ext.cx) * xNum / xDenom),
                          static_cast<int>(static_cast<long long>(ext.cy) * yNum / yDenom));
}

// Equal physical scales on both axes: the viewport extent of the axis with
// the larger scale shrinks, its sign kept.
void CDC::AdjustIsotropic()
{
    if (m_state.mapMode != MM_ISOTROPIC)
        return;
    const CDeviceInfo device = GetDeviceInfo();
    CSize& vp = m_state.viewportExt;
    const CSize& win = m_state.windowExt;
    const double xScale = std::abs(static_cast<double>(vp.cx)) / (device.dpiX * std::abs(static_cast<double>(win.cx)));
    const double yScale = std::abs(static_cast<double>(vp.cy)) / (device.dpiY * std::abs(static_cast<double>(win.cy)));
    if (xScale > yScale) {
        const double shrunk = std::abs(static_cast<double>(vp.cx)) * yScale / xScale;
        vp.cx = sign(vp.cx) * std::max(1, static_cast<int>(std::lround(shrunk)));
    } else if (yScale > xScale) {
        const double shrunk = std::abs(static_cast<double>(vp.cy)) * xScale / yScale;
        vp.cy = sign(vp.cy) * std::max(1, static_cast<int>(std::lround(shrunk)));
    }
}

CPoint CDC::ToDevice(int x, int y) const
{
    const CState& s = m_state;
    return CPoint(mapAxis(x, s.windowOrg.x, s.windowExt.cx, s.viewportExt.cx, s.viewportOrg.x),
                  mapAxis(y, s.windowOrg.y, s.windowExt.cy, s.viewportExt.cy, s.viewportOrg.y));
}

CRect CDC::ToDeviceRect(int left, int top, int right, int bottom) const
{
    return normalized(CRect(ToDevice(left, top), ToDevice(right, bottom)));
}

void CDC::LPtoDP(POINT* points, int count) const
{
    if (points == nullptr && count > 0)
        AfxThrowInvalidArgException();
    for (int i = 0; i < count; ++i)
        points[i] = ToDevice(points[i].x, points[i].y);
}

void CDC::LPtoDP(RECT* rect) const
{
    if (rect == nullptr)
        AfxThrowInvalidArgException();
    LPtoDP(reinterpret_cast<POINT*>(rect), 2);
}

void CDC::LPtoDP(SIZE* size) const
{
    if (size == nullptr)
        AfxThrowInvalidArgException();
    const CState& s = m_state;
    size->cx = scaleLength(size->cx, s.viewportExt.cx, s.windowExt.cx);
    size->cy = scaleLength(size->cy, s.viewportExt.cy, s.windowExt.cy);
}

void CDC::DPtoLP(POINT* points, int count) const
{
    if (points == nullptr && count > 0)
        AfxThrowInvalidArgException();
    const CState& s = m_state;
    for (int i = 0; i < count; ++i) {
        points[i] = CPoint(mapAxis(points[i].x, s.viewportOrg.x, s.viewportExt.cx, s.windowExt.cx, s.windowOrg.x),
                           mapAxis(points[i].y, s.viewportOrg.y, s.viewportExt.cy, s.windowExt.cy, s.windowOrg.y));
    }
}

void CDC::DPtoLP(RECT* rect) const
{
    if (rect == nullptr)
        AfxThrowInvalidArgException();
    DPtoLP(reinterpret_cast<POINT*>(rect), 2);
}

void CDC::DPtoLP(SIZE* size) const
{
    if (size == nullptr)
        AfxThrowInvalidArgException();
    const CState& s = m_state;
    size->cx = scaleLength(size->cx, s.windowExt.cx, s.viewportExt.cx);
    size->cy = scaleLength(size->cy, s.windowExt.cy, s.viewportExt.cy);
}

// ---------------------------------------------------------------- saved states

int CDC::SaveDC()
{
    m_saved.push_back(m_state);
    return static_cast<int>(m_saved.size());
}

BOOL CDC::RestoreDC(int savedDC)
{
    const int saved = static_cast<int>(m_saved.size());
    const int level = savedDC < 0 ? saved + savedDC + 1 : savedDC;
    if (savedDC == 0 || level < 1 || level > saved)
        return FALSE;
    m_state = m_saved[static_cast<size_t>(level - 1)];
    m_saved.resize(static_cast<size_t>(level - 1));
    return TRUE;
}

// ---------------------------------------------------------------- device

int CDC::GetDeviceCaps(int index) const
{
    const CDeviceInfo device = GetDeviceInfo();
    switch (index) {
    case TECHNOLOGY:
        return device.technology;
    case HORZSIZE:
        return millimetres(device.width, device.dpiX);
    case VERTSIZE:
        return millimetres(device.height, device.dpiY);
    case HORZRES:
    case PHYSICALWIDTH:
        return device.width;
    case VERTRES:
    case PHYSICALHEIGHT:
        return device.height;
    case BITSPIXEL:
    case COLORRES:
        return device.bitsPerPixel;
    case PLANES:
        return 1;
    case NUMCOLORS:
        return device.bitsPerPixel <= 8 ? 1 << device.bitsPerPixel : -1;
    case LOGPIXELSX:
        return device.dpiX;
    case LOGPIXELSY:
        return device.dpiY;
    default:
        return 0;
    }
}

int CDC::GetClipBox(RECT* rect) const
{
    if (rect == nullptr)
        AfxThrowInvalidArgException();
    const CDeviceInfo device = GetDeviceInfo();
    CRect box(0, 0, device.width, device.height);
    DPtoLP(&box);
    box.NormalizeRect();
    *rect = box;
    return box.IsRectEmpty() ? NULLREGION : SIMPLEREGION;
}

int CDC::GetDevicePenWidth() const
{
    SIZE width{m_state.logPen.lopnWidth.x, 0};
    LPtoDP(&width);
    return std::max(1, static_cast<int>(std::abs(width.cx)));
}

int CDC::GetDeviceFontHeight() const
{
    SIZE height{0, m_state.logFont.lfHeight};
    LPtoDP(&height);
    return height.cy;
}

CSize CDC::UnitThickness() const
{
    SIZE unit{1, 1};
    LPtoDP(&unit);
    return CSize(std::max(1, static_cast<int>(unit.cx)), std::max(1, static_cast<int>(unit.cy)));
}

// ---------------------------------------------------------------- lines and shapes

CPoint CDC::MoveTo(int x, int y)
{
    const int args[] = {x, y};
    const CPoint previous = std::exchange(m_state.position, CPoint(x, y));
    DeviceMoveTo({"MoveTo", args}, ToDevice(x, y));
    return previous;
}

BOOL CDC::LineTo(int x, int y)
{
    const int args[] = {x, y};
    const CPoint from = ToDevice(m_state.position.x, m_state.position.y);
    m_state.position = CPoint(x, y);
    DeviceLine({"LineTo", args}, from, ToDevice(x, y));
    return TRUE;
}

namespace {

void checkPoints(const POINT* points, int count)
{
    if (count < 0 || (points == nullptr && count > 0))
        AfxThrowInvalidArgException();
}

} // namespace

BOOL CDC::Polyline(const POINT* points, int count)
{
    checkPoints(points, count);
    if (count < 2)
        return FALSE;
    const std::span<const POINT> logical(points, static_cast<size_t>(count));
    std::vector<CPoint> device;
    device.reserve(logical.size());
    for (const POINT& p : logical)
        device.push_back(ToDevice(p.x, p.y));
    DevicePolyline({"Polyline", {}, logical}, device);
    return TRUE;
}

BOOL CDC::Polygon(const POINT* points, int count)
{
    checkPoints(points, count);
    if (count < 2)
        return FALSE;
    const std::span<const POINT> logical(points, static_cast<size_t>(count));
    std::vector<CPoint> device;
    device.reserve(logical.size());
    for (const POINT& p : logical)
        device.push_back(ToDevice(p.x, p.y));
    DevicePolygon({"Polygon", {}, logical}, device);
    return TRUE;
}

BOOL CDC::Rectangle(int left, int top, int right, int bottom)
{
    const int args[] = {left, top, right, bottom};
    DeviceRectangle({"Rectangle", args}, ToDeviceRect(left, top, right, bottom));
    return TRUE;
}

BOOL CDC::Rectangle(const RECT* rect)
{
    if (rect == nullptr)
        AfxThrowInvalidArgException();
    return Rectangle(*rect);
}

BOOL CDC::Ellipse(int left, int top, int right, int bottom)
{
    const int args[] = {left, top, right, bottom};
    DeviceEllipse({"Ellipse", args}, ToDeviceRect(left, top, right, bottom));
    return TRUE;
}

BOOL CDC::Ellipse(const RECT* rect)
{
    if (rect == nullptr)
        AfxThrowInvalidArgException();
    return Ellipse(*rect);
}

// ---------------------------------------------------------------- fills

void CDC::FillRect(const RECT* rect, CBrush* brush)
{
    if (rect == nullptr || brush == nullptr || brush->GetSafeHandle() == nullptr)
        AfxThrowInvalidArgException();
    const int args[] = {rect->left, rect->top, rect->right, rect->bottom};
    DeviceFillRect({"FillRect", args}, ToDeviceRect(rect->left, rect->top, rect->right, rect->bottom), brush->LogBrush());
}

void CDC::FillSolidRect(const RECT* rect, COLORREF color)
{
    if (rect == nullptr)
        AfxThrowInvalidArgException();
    const int args[] = {rect->left, rect->top, rect->right, rect->bottom};
    DeviceFillRect({"FillSolidRect", args}, ToDeviceRect(rect->left, rect->top, rect->right, rect->bottom),
                   LOGBRUSH{BS_SOLID, color, 0});
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF color)
{
    const CRect rect(x, y, x + cx, y + cy);
    FillSolidRect(&rect, color);
}

void CDC::FrameRect(const RECT* rect, CBrush* brush)
{
    if (rect == nullptr || brush == nullptr || brush->GetSafeHandle() == nullptr)
        AfxThrowInvalidArgException();
    const int args[] = {rect->left, rect->top, rect->right, rect->bottom};
    const CRect d = ToDeviceRect(rect->left, rect->top, rect->right, rect->bottom);
    const CSize t = UnitThickness();
    const std::array<CRect, 4> edges = {
        CRect(d.left, d.top, d.right, d.top + t.cy),
        CRect(d.left, d.bottom - t.cy, d.right, d.bottom),
        CRect(d.left, d.top + t.cy, d.left + t.cx, d.bottom - t.cy),
        CRect(d.right - t.cx, d.top + t.cy, d.right, d.bottom - t.cy),
    };
    for (const CRect& edge : edges) {
        if (!edge.IsRectEmpty())
            DeviceFillRect({"FrameRect", args}, edge, brush->LogBrush());
    }
}

void CDC::InvertRect(const RECT* rect)
{
    if (rect == nullptr)
        AfxThrowInvalidArgException();
    const int args[] = {rect->left, rect->top, rect->right, rect->bottom};
    DeviceInvertRect({"InvertRect", args}, ToDeviceRect(rect->left, rect->top, rect->right, rect->bottom));
}

void CDC::Draw3dRect(const RECT* rect, COLORREF topLeft, COLORREF bottomRight)
{
    if (rect == nullptr)
        AfxThrowInvalidArgException();
    const int args[] = {rect->left, rect->top, rect->right, rect->bottom};
    const CRect d = ToDeviceRect(rect->left, rect->top, rect->right, rect->bottom);
    const CSize t = UnitThickness();
    const LOGBRUSH light{BS_SOLID, topLeft, 0};
    const LOGBRUSH dark{BS_SOLID, bottomRight, 0};
    const std::array<std::pair<CRect, const LOGBRUSH*>, 4> edges = {{
        {CRect(d.left, d.top, d.right - t.cx, d.top + t.cy), &light},
        {CRect(d.left, d.top, d.left + t.cx, d.bottom - t.cy), &light},
        {CRect(d.right - t.cx, d.top, d.right, d.bottom), &dark},
        {CRect(d.left, d.bottom - t.cy, d.right, d.bottom), &dark},
    }};
    for (const auto& [edge, brush] : edges) {
        if (!edge.IsRectEmpty())
            DeviceFillRect({"Draw3dRect", args}, edge, *brush);
    }
}

void CDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight)
{
    const CRect rect(x, y, x + cx, y + cy);
    Draw3dRect(&rect, topLeft, bottomRight);
}

// ---------------------------------------------------------------- pixels

COLORREF CDC::SetPixel(int x, int y, COLORREF color)
{
    const int args[] = {x, y};
    return DeviceSetPixel({"SetPixel", args}, ToDevice(x, y), color);
}

BOOL CDC::SetPixelV(int x, int y, COLORREF color)
{
    const int args[] = {x, y};
    return DeviceSetPixel({"SetPixelV", args}, ToDevice(x, y), color) != CLR_INVALID;
}

COLORREF CDC::GetPixel(int x, int y) const { return DeviceGetPixel(ToDevice(x, y)); }

// ---------------------------------------------------------------- text

BOOL CDC::TextOut(int x, int y, const CString& text)
{
    const int args[] = {x, y};
    const bool updateCP = (m_state.textAlign & TA_UPDATECP) != 0;
    const CPoint at = updateCP ? m_state.position : CPoint(x, y);
    DeviceTextOut({"TextOut", args}, ToDevice(at.x, at.y), text);
    if (updateCP) {
        // The position moves along the writing direction of the device.
        const int advance = GetTextExtent(text).cx * sign(m_state.viewportExt.cx) * sign(m_state.windowExt.cx);
        const UINT horizontal = m_state.textAlign & TA_CENTER;
        if (horizontal == TA_LEFT)
            m_state.position.x += advance;
        else if (horizontal == TA_RIGHT)
            m_state.position.x -= advance;
    }
    return TRUE;
}

BOOL CDC::TextOut(int x, int y, const char* text, int count)
{
    if (count < 0 || (text == nullptr && count > 0))
        AfxThrowInvalidArgException();
    return TextOut(x, y, CString(text, count));
}

std::vector<CString> CDC::SplitLines(const CString& text, UINT format) const
{
    if (format & DT_SINGLELINE)
        return {text};
    std::vector<CString> lines;
    int start = 0;
    for (;;) {
        const int end = text.Find('\n', start);
        CString line = text.Mid(start, (end < 0 ? text.GetLength() : end) - start);
        line.TrimRight('\r');
        lines.push_back(std::move(line));
        if (end < 0)
            return lines;
        start = end + 1;
    }
}

int CDC::DrawText(const CString& text, RECT* rect, UINT format)
{
    if (rect == nullptr)
        AfxThrowInvalidArgException();
    int width = 0;
    int lineHeight = 0;
    const std::vector<CString> lines = SplitLines(text, format);
    for (const CString& line : lines) {
        const CSize extent = GetTextExtent(line);
        width = std::max(width, static_cast<int>(extent.cx));
        lineHeight = std::max(lineHeight, static_cast<int>(extent.cy));
    }
    const int height = lineHeight * static_cast<int>(lines.size());
    if (format & DT_CALCRECT) {
        const CState& s = m_state;
        rect->right = rect->left + width * sign(s.viewportExt.cx) * sign(s.windowExt.cx);
        rect->bottom = rect->top + height * sign(s.viewportExt.cy) * sign(s.windowExt.cy);
        return height;
    }
    const int args[] = {rect->left, rect->top, rect->right, rect->bottom};
    DeviceDrawText({"DrawText", args}, text, ToDeviceRect(rect->left, rect->top, rect->right, rect->bottom), format);
    if (format & DT_SINGLELINE) {
        const int rectHeight = std::abs(static_cast<int>(rect->bottom - rect->top));
        if (format & DT_BOTTOM)
            return rectHeight;
        if (format & DT_VCENTER)
            return (rectHeight - height) / 2 + height;
    }
    return height;
}

int CDC::DrawText(const char* text, int count, RECT* rect, UINT format)
{
    if (text == nullptr && count != 0)
        AfxThrowInvalidArgException();
    if (count < 0)
        return DrawText(CString(text), rect, format);
    return DrawText(CString(text, count), rect, format);
}

CSize CDC::GetTextExtent(const CString& text) const
{
    CSize extent = DeviceTextExtent(text);
    DPtoLP(&extent);
    return CSize(std::abs(extent.cx), std::abs(extent.cy));
}

CSize CDC::GetTextExtent(const char* text, int count) const
{
    if (count < 0 || (text == nullptr && count > 0))
        AfxThrowInvalidArgException();
    return GetTextExtent(CString(text, count));
}

// ---------------------------------------------------------------- pixel blocks

BOOL CDC::StretchDIBits(const RECT& dest, int width, int height, const void* bits, int stride, int bitsPerPixel,
                        std::span<const COLORREF> palette)
{
    const bool indexed = bitsPerPixel == 8;
    if (width < 1 || height < 1 || bits == nullptr || (!indexed && bitsPerPixel != 24))
        AfxThrowInvalidArgException();
    if (static_cast<long long>(stride) < static_cast<long long>(width) * (bitsPerPixel / 8))
        AfxThrowInvalidArgException();
    if (indexed ? (palette.empty() || palette.size() > 256) : !palette.empty())
        AfxThrowInvalidArgException();

    const CRect device(ToDevice(dest.left, dest.top), ToDevice(dest.right, dest.bottom));
    if (device.left == device.right || device.top == device.bottom)
        return FALSE;
    const int args[] = {dest.left, dest.top, dest.right, dest.bottom, width, height, bitsPerPixel};
    const CPixelBlock block{width, height, static_cast<const BYTE*>(bits), stride, bitsPerPixel, palette};
    DeviceStretchDIBits({"StretchDIBits", args}, device, block);
    return TRUE;
}
