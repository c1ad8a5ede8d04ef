#include "analysis/lineobj.h"

#include "analysis/aoi.h"
#include "analysis/segthres.h"
#include "objectmodel/linepoints.h"
#include "outside/pixmere/dib.h"

IMPLEMENT_DYNAMIC(CLineObj, CSegObj)

CLineObj::CLineObj(const CSegObj& source)
{
    SetImage(source.GetImage(), source.GetAOI(), source.GetThreshold());
}

int CLineObj::IsLineInside(POINT p1, POINT p2) const
{
    const CDIB& image = BoundImage();
    const CAOI& aoi = BoundAOI();
    const CSegThres& threshold = BoundThreshold();
    CLinePoints line;
    line.Init(p1.x, p1.y, p2.x, p2.y);
    for (const POINT& point : line.Points()) {
        if (!aoi.Contains(point.x, point.y))
            return 0;
        const COLORREF colour = image.GetPixelColor(point.x, point.y);
        if (!threshold.IsObjectColor(colour) && !threshold.IsMarkColor(colour))
            return 0;
    }
    return 1;
}
