#pragma once
// The object filter's contour-feature settings as the contour steps use
// them: a stored profile may hold values its dialog never allows, so each
// is held to the dialog's range first.

class CObjectFilter;

struct sContourFeatureSettings
{
    int method = 0;             // 0 isthmus (concave peaks), 1 corner (convex peaks)
    int fit = 5;                // curvature fit width, points
    double low = 0.0;           // peaks from this curvature on, degrees
    double high = 0.0;          // up to this one
    int segmentFit = 5;         // segmentation window, points
    double segmentThres = 0.0;  // chord per window point that counts as straight
    int lineFit = 10;           // radius (pixels) beyond which an arc counts as straight
};

// contourPoints: the points of the contour the settings are used on; the
// fit width never exceeds it.
sContourFeatureSettings ClampContourFeatureSettings(const CObjectFilter& filter, int contourPoints);
