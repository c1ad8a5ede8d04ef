#pragma once
// The dam pixels of the watershed of one contour after another: the mask,
// its area and the flooding keep their storage from one contour to the
// next, so cutting a page allocates per run, not per object.

#include "analysis/aoi.h"
#include "analysis/watershed.h"
#include "platform/core/arrays.h"

#include <opencv2/core.hpp>

class CRPolygon;

class CContourDams
{
public:
    // The dam pixels of the contour with its holes cut out, in page
    // coordinates, appended to dams. False when the contour gives no mask.
    bool Collect(const CRPolygon& contour, const CArray<CRPolygon*, CRPolygon*>& holes, CArray<POINT, POINT>& dams);

private:
    // The mask as CreateMask draws it with a margin of one pixel, object
    // pixels as the watershed reads them (254).
    bool FillMask(const CRPolygon& contour, const CArray<CRPolygon*, CRPolygon*>& holes);
    void FillRuns(const CAOI& area, int dx, int dy, uint8_t value, bool interior);

    CAOI4 m_Area;
    cv::Mat m_Store; // grows only; the mask is its upper left part
    cv::Mat m_Mask;
    CWatershed m_Shed;
};
