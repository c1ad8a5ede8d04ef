#include "outside/grabwell/boardoverlay.h"

#include <algorithm>
#include <vector>

namespace kestrun {

namespace {

std::vector<POINT> asPoints(const std::vector<CPoint>& points)
{
    return {points.begin(), points.end()};
}

void replay(CDC& target, const CDCRecord& record)
{
    CPen pen;
    pen.CreatePenIndirect(&record.pen);
    CBrush brush;
    brush.CreateBrushIndirect(&record.brush);
    CFont font;
    LOGFONT logFont{};
    logFont.lfHeight = record.fontHeight;
    SetFaceName(logFont, record.fontFace);
    font.CreateFontIndirect(&logFont);

    const int saved = target.SaveDC();
    target.SelectObject(&pen);
    target.SelectObject(&brush);
    target.SelectObject(&font);
    target.SetROP2(record.rop2);
    target.SetTextColor(record.textColor);
    target.SetBkColor(record.bkColor);
    target.SetBkMode(record.bkMode);
    target.SetTextAlign(record.textAlign & ~TA_UPDATECP);

    const std::vector<POINT> points = asPoints(record.points);
    const auto corners = [&points] { return CRect(points[0].x, points[0].y, points[1].x, points[1].y); };
    const CString& op = record.op;
    if (op == "LineTo" && points.size() == 2) {
        target.MoveTo(points[0]);
        target.LineTo(points[1]);
    } else if (op == "Polyline") {
        target.Polyline(points.data(), static_cast<int>(points.size()));
    } else if (op == "Polygon") {
        target.Polygon(points.data(), static_cast<int>(points.size()));
    } else if (op == "Rectangle" && points.size() == 2) {
        target.Rectangle(corners());
    } else if (op == "Ellipse" && points.size() == 2) {
        target.Ellipse(corners());
    } else if ((op == "FillRect" || op == "FillSolidRect" || op == "FrameRect" || op == "Draw3dRect") && points.size() == 2) {
        const CRect rect = corners();
        target.FillRect(&rect, &brush);
    } else if (op == "InvertRect" && points.size() == 2) {
        target.InvertRect(corners());
    } else if ((op == "SetPixel" || op == "SetPixelV") && points.size() == 1) {
        target.SetPixelV(points[0], record.color);
    } else if (op == "TextOut" && points.size() == 1) {
        target.TextOut(points[0].x, points[0].y, record.text);
    } else if (op == "DrawText" && points.size() == 2) {
        CRect rect = corners();
        target.DrawText(record.text, &rect, record.format);
    }
    target.RestoreDC(saved);
}

} // namespace

CDC* CBoardOverlay::Begin(CSize pageSize)
{
    m_lock.Lock();
    if (m_users++ == 0) {
        m_dc.SetDeviceSize(std::max(1, static_cast<int>(pageSize.cx)), std::max(1, static_cast<int>(pageSize.cy)));
        m_savedState = m_dc.SaveDC();
    }
    return &m_dc;
}

void CBoardOverlay::End(CDC* dc)
{
    if (dc != &m_dc || !m_lock.Lock(0))
        return;
    if (m_users > 0) {
        if (--m_users == 0)
            m_dc.RestoreDC(m_savedState);
        m_lock.Unlock(); // the lock Begin took
    }
    m_lock.Unlock();
}

void CBoardOverlay::Clear()
{
    CSingleLock lock(&m_lock, TRUE);
    m_dc.Clear();
}

bool CBoardOverlay::TryClear()
{
    CSingleLock lock(&m_lock);
    if (!lock.Lock(0))
        return false;
    m_dc.Clear();
    return true;
}

void CBoardOverlay::Paint(CDC& target)
{
    CSingleLock lock(&m_lock, TRUE);
    for (const CDCRecord& record : m_dc.Records())
        replay(target, record);
}

size_t CBoardOverlay::GetItemCount()
{
    CSingleLock lock(&m_lock, TRUE);
    return m_dc.Records().size();
}

} // namespace kestrun
