#include "geometry/ellipse.h"

#include "platform/core/recording_dc.h"

#include "geometry/tests/angles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

namespace {

using geometry_test::kDegree;
using geometry_test::kPi;


CEllipse Make(double a, double b, double cx, double cy, double rotation)
{
    return CEllipse(a, b, point(cx, cy), rotation);
}

TEST(GeometryEllipse, DefaultsRectangleAndRegistry)
{
    const CEllipse ellipse;
    EXPECT_DOUBLE_EQ(ellipse.GetRadius(), 50.0);
    EXPECT_DOUBLE_EQ(ellipse.GetAxisRelation(), 1.0);
    EXPECT_EQ(ellipse.GetCenter()->getx(), 50.0);

    CEllipse fromRect(10, 20, 31, 61, 3);
    EXPECT_EQ(fromRect.GetCenter()->getx(), 20.0) << "integer centre";
    EXPECT_EQ(fromRect.GetCenter()->gety(), 40.0);
    EXPECT_EQ(fromRect.GetXAxis(), 10.5);
    EXPECT_EQ(fromRect.GetYAxis(), 20.5);
    EXPECT_EQ(fromRect.ValToRect(), CRect(9, 19, 30, 60));

    const CEllipse copy(fromRect);
    EXPECT_EQ(copy.GetYAxis(), 20.5);
    EXPECT_NE(const_cast<CEllipse&>(copy).GetpDGO(), fromRect.GetpDGO()) << "each ellipse owns its optimiser";

    const CRuntimeClass* cls = CRuntimeClass::FromName("CEllipse");
    ASSERT_NE(cls, nullptr) << "registered when the library loads";
    EXPECT_FALSE(cls->IsStorable());
    EXPECT_TRUE(ellipse.IsKindOf(RUNTIME_CLASS(CObject)));
}

TEST(GeometryEllipse, ForcedRelationFollowsEitherAxis)
{
    CEllipse ellipse = Make(20, 10, 0, 0, 0);
    ellipse.SetAxisRelation(2.0);
    EXPECT_EQ(ellipse.SwitchForceCircle(), 1);
    ellipse.SetXAxis(30);
    EXPECT_EQ(ellipse.GetYAxis(), 15);
    ellipse.SetYAxis(4);
    EXPECT_EQ(ellipse.GetXAxis(), 8);
}

TEST(GeometryEllipse, PointsAndDistances)
{
    const CEllipse flat = Make(20, 10, 50, 50, 0);
    const CEllipse turned = Make(20, 10, 50, 50, kPi / 2);
    struct Case
    {
        const char* name;
        point p, expected;
    };
    const Case cases[] = {
        {"t 0", flat.GetPointOnEllipse(0.0), point(70, 50)},
        {"90 degrees", flat.GetPointOnEllipse(90), point(50, 60)},
        {"turned t 0", turned.GetPointOnEllipse(0.0), point(50, 70)},
        {"polar pi", flat.GetPolarPoint(kPi), point(30, 50)},
        {"polar -pi", flat.GetPolarPoint(-kPi), point(30, 50)},
        {"polar 45 degrees", flat.GetPolarPoint(kPi / 4), point(50 + std::sqrt(80.0), 50 + std::sqrt(80.0))},
        {"polar 3 pi / 2", flat.GetPolarPoint(1.5 * kPi), point(50, 40)},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(c.p.getx(), c.expected.getx(), 1e-9) << c.name;
        EXPECT_NEAR(c.p.gety(), c.expected.gety(), 1e-9) << c.name;
    }

    struct Where
    {
        const CEllipse* ellipse;
        point p;
        double distance;
    };
    const Where wheres[] = {
        {&flat, point(50, 50), -20}, {&flat, point(75, 50), 5}, {&flat, point(50, 38), 2},
        {&flat, point(40, 50), -10}, {&turned, point(50, 75), 5}, {&turned, point(62, 50), 2},
    };
    for (const Where& w : wheres)
        EXPECT_NEAR(w.ellipse->WhereIsPoint(&w.p), w.distance, 1e-9) << w.p.getx() << "," << w.p.gety();
    EXPECT_EQ(flat.WhereIsPoint(nullptr), kNoCoordinate);

    const point quadrants[] = {point(60, 50), point(50, 60), point(40, 50), point(50, 40), point(50, 50)};
    for (int q = 0; q < 5; ++q)
        EXPECT_EQ(flat.QCheck(&quadrants[q]), (q + 1) % 5) << q;

    const CPoint inside(69, 50), outside(69, 59);
    EXPECT_TRUE(flat.IsPointInEllipse(&inside));
    EXPECT_FALSE(flat.IsPointInEllipse(&outside));
}

TEST(GeometryEllipse, IntersectionsWithLines)
{
    const CEllipse flat = Make(20, 10, 50, 50, 0);
    const double c30 = std::cos(kPi / 6), s30 = std::sin(kPi / 6);
    const CEllipse turned = Make(20, 10, 50, 50, kPi / 6);
    struct Case
    {
        const char* name;
        const CEllipse* ellipse;
        Line line;
        int count;
        double x1, y1, d1;
    };
    const Case cases[] = {
        {"through, from the left", &flat, Line(Point(0, 50), Direction(1, 0), -1), 2, 30, 50, 30},
        {"through, from the right", &flat, Line(Point(100, 50), Direction(-1, 0), -1), 2, 70, 50, 30},
        {"both behind", &flat, Line(Point(100, 50), Direction(1, 0), -1), 0, 0, 0, 0},
        {"from inside", &flat, Line(Point(50, 50), Direction(1, 0), -1), 2, 70, 50, 20},
        {"tangent", &flat, Line(Point(0, 60), Direction(1, 0), -1), 1, 50, 60, 50},
        {"miss", &flat, Line(Point(0, 70), Direction(1, 0), -1), 0, 0, 0, 0},
        {"vertical", &flat, Line(Point(50, 0), Direction(0, 1), -1), 2, 50, 40, 40},
        {"on the ellipse, going in", &flat, Line(Point(30, 50), Direction(1, 0), -1), 2, 70, 50, 40},
        {"on the ellipse, going out", &flat, Line(Point(30, 50), Direction(-1, 0), -1), 2, 30, 50, 0},
        {"along the turned major axis", &turned, Line(Point(50 - 40 * c30, 50 - 40 * s30), Direction(c30, s30), -1), 2,
         50 - 20 * c30, 50 - 20 * s30, 20},
        {"vertical in the turned frame", &turned,
         Line(Point(50 + 5 * c30 - 30 * s30, 50 + 5 * s30 + 30 * c30), Direction(s30, -c30), -1), 2,
         50 + 5 * c30 - std::sqrt(93.75) * s30, 50 + 5 * s30 + std::sqrt(93.75) * c30, 30 - std::sqrt(93.75)},
    };
    for (const Case& c : cases) {
        Line line = c.line;
        point p1, p2;
        double d1 = -1, d2 = -1;
        EXPECT_EQ(c.ellipse->InterSectionWLine(&line, &p1, &p2, &d1, &d2), c.count) << c.name;
        if (c.count == 0)
            continue;
        EXPECT_NEAR(p1.getx(), c.x1, 1e-9) << c.name;
        EXPECT_NEAR(p1.gety(), c.y1, 1e-9) << c.name;
        EXPECT_NEAR(d1, c.d1, 1e-9) << c.name;
        EXPECT_NEAR(c.ellipse->WhereIsPoint(&p2), 0.0, 1e-9) << c.name;
    }
    EXPECT_EQ(flat.InterSectionWLine(nullptr, nullptr, nullptr), 0);
}

TEST(GeometryEllipse, ExtremesAndXRange)
{
    for (const double rotation : {0.0, 0.4, kPi / 2, -1.1, 2.5}) {
        const CEllipse ellipse = Make(30, 12, 40, -20, rotation);
        point bottom, top, left, right;
        ASSERT_EQ(ellipse.GetBoundingPositions(&bottom, &top, &left, &right), 1);
        // Against a dense walk round the ellipse.
        double minY = 1e9, maxY = -1e9, minX = 1e9, maxX = -1e9;
        for (int k = 0; k < 100000; ++k) {
            const point p = ellipse.GetPointOnEllipse(2 * kPi * k / 100000);
            minY = std::min(minY, p.gety());
            maxY = std::max(maxY, p.gety());
            minX = std::min(minX, p.getx());
            maxX = std::max(maxX, p.getx());
        }
        EXPECT_NEAR(bottom.gety(), maxY, 1e-6) << rotation;
        EXPECT_NEAR(top.gety(), minY, 1e-6) << rotation;
        EXPECT_NEAR(left.getx(), minX, 1e-6) << rotation;
        EXPECT_NEAR(right.getx(), maxX, 1e-6) << rotation;

        double x1 = 0, x2 = 0;
        EXPECT_EQ(ellipse.GetXVal(top.gety(), &x1, &x2), 1) << rotation;
        EXPECT_EQ(x1, x2);
        EXPECT_EQ(x1, top.getx());
        EXPECT_EQ(ellipse.GetXVal(bottom.gety(), &x1, &x2), 1) << rotation;
        EXPECT_EQ(x1, bottom.getx());
        EXPECT_EQ(ellipse.GetXVal(top.gety() - 1e-9, &x1, &x2), 0) << rotation;
        EXPECT_EQ(ellipse.GetXVal(bottom.gety() + 1e-9, &x1, &x2), 0) << rotation;
        for (const double y : {top.gety() + 1e-12, -20.0, bottom.gety() - 3.0}) {
            ASSERT_EQ(ellipse.GetXVal(y, &x1, &x2), 2) << rotation << " at " << y;
            EXPECT_LE(x1, x2);
            const point p1(x1, y), p2(x2, y);
            EXPECT_NEAR(ellipse.WhereIsPoint(&p1), 0.0, 1e-5) << rotation << " at " << y;
            EXPECT_NEAR(ellipse.WhereIsPoint(&p2), 0.0, 1e-5) << rotation << " at " << y;
        }
    }
    const CEllipse flat = Make(20, 0, 0, 0, 0.3);
    point p;
    double x1 = 0, x2 = 0;
    EXPECT_EQ(flat.GetBoundingPositions(&p, &p, &p, &p), 0);
    EXPECT_EQ(flat.GetXVal(0.0, &x1, &x2), 0);
}

TEST(GeometryEllipse, HandlesAndEditing)
{
    CEllipse ellipse = Make(20, 10, 50, 50, 0);
    const CPoint centre(50, 50);
    EXPECT_EQ(ellipse.GetPointPos(&centre), CEllipse::noHandle) << "no handles without a grab size";
    ellipse.SetGrabSize(5);
    struct Case
    {
        CPoint p;
        int handle;
    };
    for (const Case& c : {Case{{50, 50}, 1}, Case{{50, 40}, 2}, Case{{52, 61}, 3}, Case{{30, 50}, 4}, Case{{70, 50}, 5},
                          Case{{60, 60}, 0}})
        EXPECT_EQ(ellipse.GetPointPos(&c.p), c.handle) << c.p.x << "," << c.p.y;
    EXPECT_EQ(ellipse.GetPos(2), CPoint(50, 40));
    EXPECT_EQ(ellipse.GetPos(0), CPoint(50, 50));

    // A point inside the centre handle and a side handle belongs to the
    // centre.
    CEllipse small = Make(4, 3, 50, 50, 0);
    small.SetGrabSize(5);
    const CPoint both(52, 50);
    EXPECT_EQ(small.GetPointPos(&both), CEllipse::centerHandle);

    // Side handles follow the rotation.
    CEllipse turned = Make(20, 10, 50, 50, kPi / 2);
    turned.SetGrabSize(3);
    EXPECT_EQ(turned.GetPos(5), CPoint(50, 70));

    // The top handle moves the top edge; the bottom edge stays.
    const CPoint up(50, 30);
    ellipse.SetNewVal(&up, CEllipse::topHandle);
    EXPECT_EQ(ellipse.GetYAxis(), 15);
    EXPECT_EQ(ellipse.GetCenter()->gety(), 45);
    EXPECT_DOUBLE_EQ(ellipse.GetAxisRelation(), 20.0 / 15.0);
    ellipse.SetForceRel(1);
    ellipse.SetAxisRelation(2.0);
    const CPoint right(90, 45);
    ellipse.SetNewVal(&right, CEllipse::rightHandle);
    EXPECT_EQ(ellipse.GetXAxis(), 30);
    EXPECT_EQ(ellipse.GetCenter()->getx(), 60);
    EXPECT_EQ(ellipse.GetYAxis(), 15) << "the forced relation";
    const CPoint moved(10, 12);
    ellipse.SetNewVal(&moved, CEllipse::centerHandle);
    EXPECT_EQ(ellipse.GetCenter()->getx(), 10);
}

TEST(GeometryEllipse, DrawsOutlineHandlesAndCross)
{
    struct Case
    {
        const char* name;
        double rotation;
        int segments;
        size_t polylinePoints; // 0: a platform ellipse
    };
    const Case cases[] = {
        {"unrotated ignores segments", 0.0, 360, 0}, {"unrotated", 0.0, 0, 0},
        {"rotated, no segments", 0.3, 0, 0},         {"rotated 360", 0.3, 360, 361},
        {"rotated 7", 0.3, 7, 8},                    {"clamped above", 0.3, 1000, 361},
        {"clamped below", 0.3, -4, 2},
    };
    for (const Case& c : cases) {
        CEllipse ellipse = Make(20, 10, 50, 50, c.rotation);
        CRecordingDC dc;
        const LOGPEN penBefore = dc.GetCurrentLogPen();
        ellipse.Draw(&dc, RGB(1, 2, 3), 2, c.segments, 0);
        ASSERT_EQ(dc.Records().size(), 1u) << c.name;
        const CDCRecord& r = dc.Records()[0];
        EXPECT_EQ(r.pen.lopnColor, RGB(1, 2, 3)) << c.name;
        EXPECT_EQ(r.pen.lopnWidth.x, 2) << c.name;
        EXPECT_EQ(r.brush.lbStyle, BS_NULL) << c.name;
        EXPECT_EQ(dc.GetCurrentLogPen().lopnColor, penBefore.lopnColor) << "pen restored";
        if (c.polylinePoints == 0) {
            EXPECT_EQ(r.op, "Ellipse") << c.name;
            EXPECT_EQ(r.args, (std::vector<int>{30, 40, 70, 60})) << c.name;
            continue;
        }
        EXPECT_EQ(r.op, "Polyline") << c.name;
        ASSERT_EQ(r.points.size(), c.polylinePoints) << c.name;
        EXPECT_EQ(r.points.front(), r.points.back()) << c.name << ": closed";
        EXPECT_EQ(r.points.front(), ellipse.GetPointOnEllipse(0.0).MFCPOINT()) << c.name;
    }

    CEllipse handles = Make(20, 10, 50, 50, 0);
    handles.SetGrabSize(2);
    CRecordingDC dc;
    handles.Draw(&dc, RGB(0, 0, 0), 1, 0, 4, 2.0);
    EXPECT_EQ(dc.Ops(), (std::vector<CString>{"Ellipse", "Rectangle", "Rectangle", "Rectangle", "Rectangle",
                                               "Rectangle", "MoveTo", "LineTo", "MoveTo", "LineTo"}));
    EXPECT_EQ(dc.Records()[0].args, (std::vector<int>{60, 80, 140, 120})) << "scaled";
    EXPECT_EQ(dc.Records()[6].args, (std::vector<int>{96, 100})) << "cross at the scaled centre";

    CEllipse broken = Make(std::numeric_limits<double>::quiet_NaN(), 10, 50, 50, 0.3);
    dc.Clear();
    broken.Draw(&dc, RGB(0, 0, 0), 1, 360, 4);
    EXPECT_TRUE(dc.Records().empty()) << "a shape that is not finite draws nothing";
}

TEST(GeometryEllipse, DrawsInOtherMappingModes)
{
    CEllipse ellipse = Make(20, 10, 50, 50, 0);
    ellipse.SetGrabSize(2);
    CRecordingDC dc;
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowExt(100, 100);
    dc.SetViewportExt(200, 50);
    ellipse.DrawNotMM_TEXT(&dc, RGB(0, 0, 0), 1, 0, 3);
    EXPECT_EQ(dc.Ops(), (std::vector<CString>{"Ellipse", "MoveTo", "LineTo", "MoveTo", "LineTo"}))
        << "no handles after a mode change, the cross always";
    EXPECT_EQ(dc.Records()[0].points, (std::vector<CPoint>{{60, 20}, {140, 30}})) << "drawn in device pixels";
    EXPECT_EQ(dc.GetMapMode(), MM_ANISOTROPIC);
    EXPECT_EQ(dc.GetWindowExt(), CSize(100, 100));
    EXPECT_EQ(dc.GetViewportExt(), CSize(200, 50));

    dc.SetMapMode(MM_TEXT);
    dc.Clear();
    ellipse.DrawNotMM_TEXT(&dc, RGB(0, 0, 0), 1, 0, 0);
    EXPECT_EQ(dc.Ops().size(), 6u) << "the ellipse and its five handles";

    double sx = 7, sy = 7;
    EXPECT_FALSE(CEllipse::ScaleFromExtents(CSize(10, 10), CSize(0, 10), &sx, &sy)) << "zero window extent";
    EXPECT_FALSE(CEllipse::ScaleFromExtents(CSize(10, 10), CSize(10, 0), &sx, &sy));
    EXPECT_EQ(sx, 7);
    EXPECT_TRUE(CEllipse::ScaleFromExtents(CSize(30, -10), CSize(10, 10), &sx, &sy));
    EXPECT_EQ(sx, 3);
    EXPECT_EQ(sy, -1);
}

} // namespace
