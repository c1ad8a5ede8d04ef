#include "analysis/aoiimaging.h"

#include "analysis/aoiwalk.h"
#include "analysis/colorpositionarray.h"
#include "analysis/segthres.h"
#include "objectmodel/rpolygon.h"
#include "outside/pixmere/dib.h"
#include "platform/core/exceptions.h"

#include <algorithm>

bool CopyLineToDIB(const CAOI& aoi, const Device& image, CDIB* out, CPoint point, bool horizontal)
{
    if (out == nullptr)
        return false;
    const int length = horizontal ? aoi.GetWidth() : aoi.GetHeight();
    if (!out->InitDIB(length, 1, image.GetBitCount()))
        return false;
    for (int i = 0; i < length; ++i) {
        const COLORREF c = horizontal ? image.GetPixel(aoi.GetLeft() + i, point.y)
                                      : image.GetPixel(point.x, aoi.GetTop() + i);
        out->SetPixel(i, 0, c);
    }
    return true;
}

BOOL CopyImageArea(const CAOI& aoi, CDIB* out, const CDIB& image)
{
    if (out == nullptr)
        return FALSE;
    return image.CopyDIB(aoi.GetRect(), *out);
}

void FillInto(const CAOI& aoi, Device& target, int dx, int dy, COLORREF color)
{
    const int left = aoi.GetLeft();
    const int top = aoi.GetTop();
    kestrun::ForEachRunPixel(aoi, [&](int x, int y) { target.SetPixel(x - left + dx, y - top + dy, color); });
}

void FillInteriorInto(const CAOI& aoi, Device& target, int dx, int dy, COLORREF color)
{
    const int left = aoi.GetLeft();
    const int top = aoi.GetTop();
    for (int y = top + 1; y <= top + aoi.GetHeight() - 2; ++y) {
        int start = 0;
        int end = 0;
        for (int k = 0; aoi.GetRunStart(k, y, start) && aoi.GetRunEnd(k, y, end); ++k)
            for (int x = start + 1; x <= end - 1; ++x)
                target.SetPixel(x - left + dx, y - top + dy, color);
    }
}

CSize MaskSize(const CRect& box, int border)
{
    // One pixel wider than the box, rounded up to whole 32-bit words.
    return CSize(((2 * border + box.right - box.left) * 8 + 39) / 32 * 4, 2 * border + box.bottom - box.top + 1);
}

bool CreateMask(CAOI4& aoi, CDIB* mask, const CRPolygon* polygon, const CArray<CRPolygon*, CRPolygon*>* holes,
                int border)
{
    if (mask == nullptr)
        return false;
    const CRect box = polygon ? CRect(polygon->GetBoundingRect()) : aoi.GetRect();
    const CSize size = MaskSize(box, border);
    if (!mask->InitDIB(size.cx, size.cy, 8))
        return false;
    if (polygon && !aoi.SetPolygon(*polygon))
        return false;
    FillInto(aoi, *mask, border, border, RGB(255, 255, 255));
    if (holes == nullptr)
        return true;
    for (const CRPolygon* hole : *holes) {
        if (hole == nullptr || hole->IsEmpty() || !aoi.Contains((*hole)[0].x, (*hole)[0].y))
            continue;
        CAOI4 holeArea;
        if (!holeArea.SetPolygon(*hole))
            continue;
        FillInteriorInto(holeArea, *mask, holeArea.GetLeft() - box.left + border,
                         holeArea.GetTop() - box.top + border, RGB(0, 0, 0));
    }
    return true;
}

namespace {

bool IsBorderInObject(const CAOI& circle, const Device& image, const CSegThres& threshold, const CRect& imageRect)
{
    const auto passes = [&](int x, int y) {
        return imageRect.PtInRect(CPoint(x, y)) && threshold.IsObjectColor(image.GetPixel(x, y));
    };
    const int bottom = circle.GetTop() + circle.GetHeight();
    for (int y = circle.GetTop(); y < bottom; ++y)
        if (!passes(circle.GetRowLeft(y), y) || !passes(circle.GetRowRight(y), y))
            return false;
    return true;
}

} // namespace

void GrowLargestCircle(CAOIEllipse& circle, CPoint& centre, const Device& image, const CSegThres& threshold,
                       const CRect& imageRect)
{
    static constexpr CPoint kMoves[] = {{2, 0}, {2, -2}, {0, -2}, {-2, -2}, {-2, 0}, {-2, 2}, {0, 2}, {2, 2}};
    // The border must lie inside the image rectangle, so no circle that
    // fits is larger than it; the caps only guard against a shape that
    // reports no rows.
    const int maxRadius = std::max(imageRect.Width(), imageRect.Height()) + 2;
    const int maxMoves = 2 * maxRadius;

    int r = 1;
    circle.SetCenterAndRadii(centre.x, centre.y, r, r);
    for (int moves = 0;; ++moves) {
        const int before = r;
        while (r <= maxRadius && IsBorderInObject(circle, image, threshold, imageRect)) {
            r += 2;
            circle.SetCenterAndRadii(centre.x, centre.y, r, r);
        }
        // A move is only worth it when the circle grew there; otherwise two
        // positions could hand the centre back and forth for ever.
        if ((moves > 0 && r == before) || moves >= maxMoves || r > maxRadius)
            return;
        bool moved = false;
        for (const CPoint& d : kMoves) {
            circle.SetCenterAndRadii(centre.x + d.x, centre.y + d.y, r, r);
            if (IsBorderInObject(circle, image, threshold, imageRect)) {
                centre.Offset(d.x, d.y);
                moved = true;
                break;
            }
        }
        if (!moved)
            return;
    }
}

void CollectBrightPositions(const CAOI& aoi, CColorPositionArray& positions, const Device& image, int greenLimit,
                            int step)
{
    if (step < 1)
        AfxThrowInvalidArgException();
    const int bottom = aoi.GetTop() + aoi.GetHeight();
    for (int y = aoi.GetTop(); y < bottom; y += step) {
        int start = 0;
        int end = 0;
        for (int k = 0; aoi.GetRunStart(k, y, start) && aoi.GetRunEnd(k, y, end); ++k) {
            for (int x = start; x <= end; x += step) {
                if (!kestrun::IsInImage(image, x, y))
                    continue;
                const COLORREF c = image.GetPixel(x, y);
                if (GetGValue(c) > greenLimit)
                    positions.Add(c, x, y);
            }
        }
    }
}
