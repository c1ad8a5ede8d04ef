#include "analysis/aoi.h"

#include <algorithm>

IMPLEMENT_SERIAL(CAOIRing, CAOI2, VERSIONABLE_SCHEMA | CAOI::storeSchema)

namespace {

constexpr int kMaxRingWidth = 65535;

} // namespace

CAOIRing::CAOIRing() : CAOI2(typeRing) {}

void CAOIRing::SetFromCorners(int x1, int y1, int x2, int y2)
{
    SetRectFromCorners(x1, y1, x2, y2);
    LayEllipses();
}

void CAOIRing::LayEllipses()
{
    // Both ellipses from the normalised rectangle, so that the hole stays
    // centred whichever corners were given and wherever the ring moved.
    const int left = m_nLeft;
    const int top = m_nTop;
    const int right = m_nLeft + m_nWidth;
    const int bottom = m_nTop + m_nHeight;
    m_Outer.SetFromCorners(left, top, right, bottom);
    if (m_Outer.GetWidth() == 0) {
        m_nWidth = 0;
        m_nHeight = 0;
        m_Inner.SetFromCorners(left, top, left, top);
        return;
    }
    const int w = m_nRingWidth;
    if (right - left - 2 * w > 2 && bottom - top - 2 * w > 2)
        m_Inner.SetFromCorners(left + w, top + w, right - w, bottom - w);
    else
        m_Inner.SetFromCorners(left, top, left, top);
}

void CAOIRing::OnRectChanged(int, int, int, int)
{
    LayEllipses();
}

bool CAOIRing::RowCrossesHole(int y) const
{
    const int top = m_Inner.GetTop();
    if (m_Inner.GetHeight() <= 0 || y < top || y > top + m_Inner.GetHeight() - 1)
        return false;
    // Where the inner ellipse has no pixel between its borders there is no
    // hole on the row: two runs would meet or overlap and count pixels twice.
    return m_Inner.GetRowRight(y) - m_Inner.GetRowLeft(y) >= 2;
}

int CAOIRing::GetRowLeft(int y) const
{
    return m_Outer.GetRowLeft(y);
}

int CAOIRing::GetRowRight(int y) const
{
    return m_Outer.GetRowRight(y);
}

// A row through the hole has two runs; the hole's border pixels belong to them.
bool CAOIRing::GetRunStart(int k, int y, int& x) const
{
    if (k == 0) {
        x = m_Outer.GetRowLeft(y);
        return true;
    }
    if (k == 1 && RowCrossesHole(y)) {
        x = m_Inner.GetRowRight(y);
        return true;
    }
    return false;
}

bool CAOIRing::GetRunEnd(int k, int y, int& x) const
{
    const bool hole = RowCrossesHole(y);
    if (k == 0) {
        x = hole ? m_Inner.GetRowLeft(y) : m_Outer.GetRowRight(y);
        return true;
    }
    if (k == 1 && hole) {
        x = m_Outer.GetRowRight(y);
        return true;
    }
    return false;
}

bool CAOIRing::Contains(int x, int y) const
{
    return m_Outer.Contains(x, y);
}

void CAOIRing::SetAngle(double) {}

void CAOIRing::Draw(CDC* pDC) const
{
    m_Outer.Draw(pDC);
    m_Inner.Draw(pDC);
}

void CAOIRing::DrawIntoImage(Device& image, COLORREF color) const
{
    m_Outer.DrawIntoImage(image, color);
    m_Inner.DrawIntoImage(image, color);
}

void CAOIRing::SerializeShape(CArchive& ar, UINT)
{
    if (ar.IsStoring()) {
        ar.WriteClass(RUNTIME_CLASS(CAOIRing));
        ar << static_cast<std::int32_t>(m_nRingWidth);
        m_Outer.Serialize(ar);
        m_Inner.Serialize(ar);
        return;
    }
    UINT schema = 0;
    ar.ReadClass(RUNTIME_CLASS(CAOIRing), &schema);
    std::int32_t ringWidth = m_nRingWidth;
    if (schema >= 2) {
        ar >> ringWidth;
        if (ringWidth < 0 || ringWidth > kMaxRingWidth)
            AfxThrowArchiveException(CArchiveException::genericException, ar.m_strFileName);
    }
    CAOIEllipse outer;
    CAOIEllipse inner;
    outer.Serialize(ar);
    inner.Serialize(ar);
    m_nRingWidth = ringWidth;
    m_Outer.Assign(outer);
    m_Inner.Assign(inner);
    // The ring's rows are the outer ellipse's.
    m_nLeft = m_Outer.GetLeft();
    m_nTop = m_Outer.GetTop();
    m_nWidth = m_Outer.GetWidth();
    m_nHeight = m_Outer.GetHeight();
}
