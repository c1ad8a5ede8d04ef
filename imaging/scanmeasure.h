#pragma once
// The measures of the scanning control between two positions of an image:
// the grey profile along the row of the first position, and per image row
// the object's width found by edge search ("Differenz") or by the colour
// thresholds ("Width"). Headless, so that a still image and a live frame
// are measured alike.

#include "analysis/scanrayparams.h"
#include "platform/core/geometry.h"

#include <vector>

class CSegThres;
class Device;

struct sScanCurve
{
    std::vector<float> values;
    // The two points found on the row of the first position (modes 1 and 2).
    std::vector<CPoint> ends;
    // Mode 2: the first and the last passing pixel of every row.
    std::vector<CPoint> left;
    std::vector<CPoint> right;
};

class CScanMeasure
{
public:
    enum
    {
        modeGrey = 0,
        modeDifference = 1,
        modeWidth = 2,
    };

    // The point moved into the image.
    static CPoint ClampToImage(const Device& image, CPoint point);
    // One value per x from the first position up to the second (excluded)
    // on the first position's row: the grey value. Empty for x2 <= x1.
    static sScanCurve MeasureGrayProfile(const Device& image, CPoint first, CPoint second);
    // One value per row of image: the distance between the last edge found
    // from the first x towards the second and the one found back.
    static sScanCurve MeasureDifference(const Device& image, CPoint first, CPoint second);
    // One value per row of image: the distance between the first and the
    // last pixel between the two x that pass the thresholds (0 for none).
    static sScanCurve MeasureWidth(const Device& image, CPoint first, CPoint second, const CSegThres& thresholds);
};
