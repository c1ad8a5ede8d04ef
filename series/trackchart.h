#pragma once
// CTrackChart: the chart of the image views - its axes are the rulers
// around the image - and of tracked objects, whose track segments it draws
// in the plot through its axes.

#include "series/chart.h"

#include "objectmodel/cross.h"

class CTrackChart : public CChart
{
public:
    CTrackChart();

    // A segment from (x1, y1) to (x2, y2) in the axes' units (times the
    // coordinate factor), in a solid pen of width 1.
    virtual void DrawTrackSegment(CDC* pDC, double x1, double y1, double x2, double y2, COLORREF crColour);

    CCross m_Cross;
    double m_dFactor = 1.0;
    int m_nValue = 6;
};
