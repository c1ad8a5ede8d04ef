#include "analysis/contourdams.h"

#include "analysis/aoiimaging.h"
#include "objectmodel/rpolygon.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

// The flooding never reaches the outer pixels of its image.
constexpr int kMargin = 1;
constexpr uint8_t kObject = 254;

} // namespace

bool CContourDams::Collect(const CRPolygon& contour, const CArray<CRPolygon*, CRPolygon*>& holes,
                           CArray<POINT, POINT>& dams)
{
    if (!FillMask(contour, holes))
        return false;
    m_Shed.SetMask(m_Mask);
    m_Shed.Segment();
    const CRect box(contour.GetBoundingRect());
    m_Shed.CollectDamPoints(dams, box.left - kMargin, box.top - kMargin);
    return true;
}

bool CContourDams::FillMask(const CRPolygon& contour, const CArray<CRPolygon*, CRPolygon*>& holes)
{
    const CRect box(contour.GetBoundingRect());
    const CSize size = MaskSize(box, kMargin);
    // The limits of a page, which CreateMask's mask is.
    constexpr int kMaxSide = 65535;
    if (size.cx < 1 || size.cy < 1 || size.cx > kMaxSide || size.cy > kMaxSide || !m_Area.SetPolygon(contour))
        return false;
    if (m_Store.cols < size.cx || m_Store.rows < size.cy) {
        // No memory for the mask: no cut, as when no page can be made.
        try {
            m_Store.create(std::max(m_Store.rows, size.cy), std::max(m_Store.cols, size.cx), CV_8UC1);
        } catch (const std::bad_alloc&) {
            m_Store.release();
            return false;
        } catch (const cv::Exception&) {
            m_Store.release();
            return false;
        }
    }
    m_Mask = m_Store(cv::Rect(0, 0, size.cx, size.cy));
    // Row by row: setTo's dispatch costs more than a small mask's bytes.
    for (int y = 0; y < m_Mask.rows; ++y)
        std::memset(m_Mask.ptr<uint8_t>(y), 0, static_cast<size_t>(m_Mask.cols));
    // The object from the area's corner, its holes from the box's, as
    // CreateMask places them.
    FillRuns(m_Area, kMargin, kMargin, kObject, false);
    for (const CRPolygon* hole : holes) {
        if (hole == nullptr || hole->IsEmpty() || !m_Area.Contains((*hole)[0].x, (*hole)[0].y))
            continue;
        CAOI4 holeArea;
        if (holeArea.SetPolygon(*hole))
            FillRuns(holeArea, holeArea.GetLeft() - box.left + kMargin, holeArea.GetTop() - box.top + kMargin, 0, true);
    }
    return true;
}

void CContourDams::FillRuns(const CAOI& area, int dx, int dy, uint8_t value, bool interior)
{
    // FillInto, or with interior FillInteriorInto, straight into the rows;
    // what falls outside the mask is left out as a page leaves it out.
    const int left = area.GetLeft();
    const int top = area.GetTop();
    const int inset = interior ? 1 : 0;
    for (int y = top + inset; y <= top + area.GetHeight() - 1 - inset; ++y) {
        const int row = y - top + dy;
        if (row < 0 || row >= m_Mask.rows)
            continue;
        auto* pixels = m_Mask.ptr<uint8_t>(row);
        int start = 0;
        int end = 0;
        for (int k = 0; area.GetRunStart(k, y, start) && area.GetRunEnd(k, y, end); ++k) {
            const int from = std::max(start + inset - left + dx, 0);
            const int to = std::min(end - inset - left + dx, m_Mask.cols - 1);
            if (from <= to)
                std::memset(pixels + from, value, static_cast<size_t>(to - from + 1));
        }
    }
}
