#include "analysis/scanrayresult.h"

#include "analysis/tests/drawruns.h"
#include "platform/core/exceptions.h"
#include "platform/core/recording_dc.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

// Eight rays around (50, 50); ray k at radius radii[k], counter-clockwise
// from east.
CScanRayResult3 Fan(const int (&radii)[8])
{
    static const POINT directions[8] = {{1, 0}, {1, -1}, {0, -1}, {-1, -1}, {-1, 0}, {-1, 1}, {0, 1}, {1, 1}};
    CScanRayResult3 result;
    result.m_nCenterX = 50;
    result.m_nCenterY = 50;
    for (int k = 0; k < 8; ++k)
        result.m_arrHits1.Add(POINT{50 + directions[k].x * radii[k], 50 + directions[k].y * radii[k]});
    return result;
}

TEST(ScanRayResultTest, LongestRayAndDiameters)
{
    CScanRayResult3 result = Fan({10, 10, 10, 10, 10, 10, 20, 10});
    // A second candidate nearer than the first replaces it; a farther one
    // does not.
    for (int k = 0; k < 8; ++k)
        result.m_arrHits2.Add(result.m_arrHits1[k]);
    result.m_arrHits2[0] = POINT{55, 50};
    result.m_arrHits2[4] = POINT{10, 50};
    result.KeepNearerHits();
    EXPECT_EQ(result.m_nRayIndex, 6);
    EXPECT_EQ(result.m_nRayIndex2, 6);
    EXPECT_EQ(CPoint(result.m_arrHits1[0]), CPoint(55, 50));
    EXPECT_EQ(CPoint(result.m_arrHits1[4]), CPoint(40, 50));
    // Long diameter 6 - 2, cross diameter 0 - 4.
    EXPECT_EQ(CPoint(result.m_ptDiameter[0]), CPoint(50, 70));
    EXPECT_EQ(CPoint(result.m_ptDiameter[1]), CPoint(50, 40));
    EXPECT_EQ(CPoint(result.m_ptDiameter[2]), CPoint(55, 50));
    EXPECT_EQ(CPoint(result.m_ptDiameter[3]), CPoint(40, 50));
    EXPECT_EQ(result.GetDiameterEnd(0), CPoint(50, 70));
    EXPECT_EQ(result.GetDiameterEnd(1), CPoint(50, 40));
    EXPECT_EQ(result.GetDiameterEnd(5), CPoint(0, 0));

    CArray<double, double> radii;
    radii.SetSize(8);
    result.GetRadii(radii);
    EXPECT_DOUBLE_EQ(radii[6], 20.0);
    EXPECT_DOUBLE_EQ(radii[1], std::hypot(10.0, 10.0));
    radii.SetSize(7);
    EXPECT_THROW(result.GetRadii(radii), CInvalidArgException);
}

TEST(ScanRayResultTest, EdgeCasesOfTheRays)
{
    // The second list is used only with one hit per ray; the first of
    // equal maxima wins.
    CScanRayResult3 result = Fan({10, 30, 10, 30, 10, 10, 10, 10});
    result.m_arrHits2.Add(POINT{50, 50});
    result.KeepNearerHits();
    EXPECT_EQ(result.m_nRayIndex, 1);
    EXPECT_EQ(CPoint(result.m_arrHits1[0]), CPoint(60, 50));

    // Every hit on the centre: no ray, no diameter.
    CScanRayResult3 centred = Fan({0, 0, 0, 0, 0, 0, 0, 0});
    centred.KeepNearerHits();
    EXPECT_EQ(centred.m_nRayIndex, -1);
    EXPECT_EQ(CPoint(centred.m_ptDiameter[0]), CPoint(0, 0));
    EXPECT_THROW(centred.GetDiameterEnd(0), CInvalidArgException);
    EXPECT_THROW(centred.GetDiameterEnd(1), CInvalidArgException);

    CScanRayResult3 empty;
    empty.KeepNearerHits();
    EXPECT_EQ(empty.GetDiameterEnd(1), CPoint(0, 0));
}

TEST(ScanRayResultTest, OutlineBoxAndLength)
{
    CScanRayResult3 result;
    EXPECT_TRUE(CRect(result.GetBoundingRect()).IsRectNull());
    EXPECT_EQ(result.GetOutlineLength(), 0.0);
    result.m_arrLeft.Add(POINT{10, 10});
    result.m_arrLeft.Add(POINT{13, 14}); // 5
    EXPECT_EQ(result.GetOutlineLength(), 5.0);
    EXPECT_EQ(result.GetBoundingRect(), CRect(10, 10, 13, 14));
    result.m_arrRight.Add(POINT{10, 16});
    result.m_arrRight.Add(POINT{10, 20}); // 4, and 6 between the starts
    EXPECT_EQ(result.GetOutlineLength(), 15.0);
    EXPECT_EQ(result.GetBoundingRect(), CRect(10, 10, 13, 20));
    // A first point at (0, 0) counts like any other.
    CScanRayResult3 origin;
    origin.m_arrRight.Add(POINT{0, 0});
    origin.m_arrRight.Add(POINT{4, 3});
    EXPECT_EQ(origin.GetBoundingRect(), CRect(0, 0, 4, 3));
}

TEST(ScanRayResultTest, DrawsSidesAndCentreInDevicePixels)
{
    CScanRayResult3 result;
    result.m_nCenterX = 20;
    result.m_nCenterY = 20;
    result.m_arrLeft.Add(POINT{10, 10});
    result.m_arrLeft.Add(POINT{12, 10});
    CRecordingDC dc;
    result.Draw(&dc);
    EXPECT_TRUE(dc.Records().empty()); // no ray chosen yet

    result.m_nRayIndex = 0;
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowExt(1, 1);
    dc.SetViewportExt(2, 2); // zoom 2
    const CPen* before = dc.GetCurrentPen();
    result.Draw(&dc);
    // Red crosses at the points, blue between them, white at the centre.
    EXPECT_EQ(drawruns::Runs(dc),
              (std::vector<std::string>{"line 0000FF", "line FF0000", "line 0000FF", "line FFFFFF"}));
    // The side's segment joins the device points; the crosses keep 7 pixels.
    for (const CDCRecord& r : dc.Records()) {
        if (r.op == "LineTo" && r.pen.lopnColor == RGB(0, 0, 255)) {
            EXPECT_EQ(r.points.front(), CPoint(20, 20));
            EXPECT_EQ(r.points.back(), CPoint(24, 20));
        }
    }
    EXPECT_EQ(dc.GetMapMode(), MM_ANISOTROPIC);
    EXPECT_EQ(dc.GetCurrentPen(), before);
}

TEST(ScanRayResultTest, Result2DrawsInItsOrder)
{
    CScanRayResult2 result;
    CRecordingDC dc;
    result.Draw(&dc);
    EXPECT_TRUE(dc.Records().empty()); // no points yet

    result.m_nCenterX = 20;
    result.m_nCenterY = 20;
    result.m_arrHits1.Add(POINT{30, 20});
    result.m_arrHits1.Add(POINT{20, 10});
    result.m_arrHits2.Add(POINT{28, 20});
    result.KeepNearerHits();
    result.m_Quadrilateral.m_nCenterX = 20;
    result.m_Quadrilateral.m_nCenterY = 20;
    result.m_Quadrilateral.m_Corners[0] = POINT{10, 10};
    result.m_Quadrilateral.m_Corners[1] = POINT{30, 10};
    result.m_Quadrilateral.m_Corners[2] = POINT{30, 30};
    result.m_Quadrilateral.m_Corners[3] = POINT{10, 30};
    result.m_Path.m_Points.Add(POINT{40, 40});
    result.m_Path.m_Points.Add(POINT{50, 40});
    const CPen* before = dc.GetCurrentPen();
    result.Draw(&dc);
    // Red crosses, blue crosses with the quadrilateral and the rays, the
    // long diameter green, the cross diameter red, then the path in cyan
    // with red crosses.
    EXPECT_EQ(drawruns::Runs(dc), (std::vector<std::string>{"line 0000FF", "line FF0000", "line 00FF00",
                                                             "line 0000FF", "line FFFF00", "line 0000FF"}));
    EXPECT_EQ(dc.GetCurrentPen(), before);
}

} // namespace
