#pragma once
// CAreaPatternCheck: what the area pattern check does with the image
// document, apart from its window. A pattern is learned from the active
// area of interest - its left and right border pixels ("Border") or its
// whole rectangle ("Area") - and every area is compared with it: "Area"
// searches the pattern around each area, judges the match against the
// threshold, frames the failed areas in the document's line list and
// moves every area to where the pattern fits; "Border" scores each area's
// border against the pattern and moves the active area to its best
// position, coarse to fine.

#include "platform/core/geometry.h"

#include <vector>

class CDIBDocEx;

class CAreaPatternCheck
{
public:
    enum Method
    {
        methodOff = 0,
        methodBorder = 1,
        methodArea = 2,
    };
    enum Direction
    {
        judgeLow = 0,  // "Failed" at or below the threshold
        judgeHigh = 1, // "Failed" at or above it
    };
    enum Result
    {
        done,
        noAreas,     // "No region of interest defined"
        noPattern,   // "No pattern defined"
        wrongMethod, // "Wrong method selected"
    };

    // Any other direction judges every value "OK".
    static bool IsFailed(double value, double threshold, int direction);

    // The active area loses its patterns first, whatever the method.
    Result Learn(CDIBDocEx& doc, int method);
    Result Match(CDIBDocEx& doc, int method, double threshold, int direction);

    // Per area of the last match: its value and where its pattern fitted.
    const std::vector<double>& GetValues() const { return m_values; }
    const std::vector<CPoint>& GetPositions() const { return m_positions; }

    // The search around each area for "Area", in pixels each way.
    static constexpr int kSearchMargin = 5;
    // "Border": (range, step) of the passes, coarse to fine.
    static constexpr int kBorderPasses[3][2] = {{400, 20}, {200, 10}, {10, 1}};

private:
    void MatchAreas(CDIBDocEx& doc, double threshold, int direction);
    void MatchBorders(CDIBDocEx& doc);

    std::vector<double> m_values;
    std::vector<CPoint> m_positions;
};
