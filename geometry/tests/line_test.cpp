#include "geometry/line.h"

#include "geometry/tests/angles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <sstream>

namespace {

using geometry_test::kDegree;
using geometry_test::kPi;


TEST(GeometryPoint, ValidityFollowsTheMarkedCoordinates)
{
    point p;
    EXPECT_EQ(p.IsValid(), 0);
    EXPECT_EQ(p.getx(), kNoCoordinate);
    p.setx(3.0);
    EXPECT_EQ(p.IsValid(), 0) << "y still has no value";
    p.sety(4.0);
    EXPECT_EQ(p.IsValid(), 1);

    point q(1.5, -2.5);
    q = CPoint(7, 8);
    EXPECT_EQ(q.getx(), 7.0);
    EXPECT_EQ(q.IsValid(), 1) << "an integer point leaves the flag";
    point sum = q + point();
    EXPECT_EQ(sum.IsValid(), 0) << "adding an invalid point invalidates";
    EXPECT_DOUBLE_EQ(point(0, 0).Distance(&p), 5.0);
    EXPECT_EQ(point(-2.7, 3.9).MFCPOINT(), CPoint(-2, 3));
    EXPECT_EQ(point(1e300, -1e300).MFCPOINT(), CPoint(2147483647, -2147483647 - 1));
}

TEST(GeometryPoint, DirectionCopiesAreValid)
{
    Point p(1.0, 2.0);
    p.SetValid(0);
    const Direction d(p);
    EXPECT_EQ(d.IsValid(), 1);
    EXPECT_EQ(d.GetY(), 2.0);
    EXPECT_DOUBLE_EQ(Point(0, 0).GetDistance(Point(3, 4)), 5.0);
}

TEST(GeometryLine, EndsAndDirections)
{
    Line line;
    EXPECT_EQ(line.IsValid(), 0);
    line.SetStart(0.0, 0.0);
    line.SetEnd(3.0, 4.0);
    EXPECT_DOUBLE_EQ(line.GetDirection().GetX(), 0.6);
    EXPECT_DOUBLE_EQ(line.GetDirection().GetY(), 0.8);
    EXPECT_DOUBLE_EQ(line.GetLambdaMax(), 5.0);
    EXPECT_NEAR(line.GetEnd().GetX(), 3.0, 1e-12);
    EXPECT_NEAR(line.GetEnd().GetY(), 4.0, 1e-12);

    // Unbounded lines end one direction from the start, vertical ones too.
    struct Case
    {
        double dx, dy, endX, endY;
    };
    for (const Case& c : {Case{0.6, 0.8, 1.6, 2.8}, Case{0.0, 1.0, 1.0, 3.0}, Case{0.0, -1.0, 1.0, 1.0}}) {
        Line unbounded(Point(1.0, 2.0), Direction(c.dx, c.dy), -1.0);
        const Point end = unbounded.GetEnd();
        EXPECT_NEAR(end.GetX(), c.endX, 1e-12) << c.dx << "," << c.dy;
        EXPECT_NEAR(end.GetY(), c.endY, 1e-12) << c.dx << "," << c.dy;
    }

    Line cached(Point(0, 0), Direction(1, 0), 2.0);
    EXPECT_DOUBLE_EQ(cached.GetAtan2Direction(), 0.0);
    cached.SetDirection(0.0, -2.0);
    EXPECT_DOUBLE_EQ(cached.GetAtan2Direction(), -1.570796326795) << "a new direction resets the angle";
    cached.NormDirection(1);
    EXPECT_DOUBLE_EQ(cached.GetLambdaMax(), 4.0);
    cached.Lengthen(1.0);
    EXPECT_DOUBLE_EQ(cached.GetLambdaMax(), 6.0);
    EXPECT_DOUBLE_EQ(cached.GetStart().GetY(), 1.0);
}

TEST(GeometryLine, IntersectionResults)
{
    const double r = std::sqrt(0.5);
    struct Case
    {
        const char* name;
        Line first, second;
        int bounded;
        WORD result;
        double x, y;
    };
    const Case cases[] = {
        {"crossing ahead", Line(Point(0, 0), Direction(1, 0), -1), Line(Point(5, -5), Direction(0, 1), -1), 0, 1, 5, 0},
        {"steep first line", Line(Point(5, -5), Direction(0, 1), -1), Line(Point(0, 0), Direction(1, 0), -1), 0, 1, 5, 0},
        {"parallel", Line(Point(0, 0), Direction(1, 0), -1), Line(Point(0, 3), Direction(1, 0), -1), 0, 0, 0, 0},
        {"antiparallel diagonal", Line(Point(0, 0), Direction(r, r), -1), Line(Point(1, 0), Direction(-r, -r), -1), 0, 0, 0, 0},
        {"behind the other's start", Line(Point(0, 0), Direction(1, 0), -1), Line(Point(5, 5), Direction(0, 1), -1), 0, 2, 5, 0},
        {"behind this start", Line(Point(10, 0), Direction(1, 0), -1), Line(Point(5, -5), Direction(0, 1), -1), 0, 2, 5, 0},
        {"beyond the other's length", Line(Point(0, 0), Direction(1, 0), -1), Line(Point(5, -5), Direction(0, 1), 4), 1, 0, 0, 0},
        {"beyond this length", Line(Point(0, 0), Direction(1, 0), 4), Line(Point(5, -5), Direction(0, 1), -1), 1, 0, 0, 0},
        {"unbounded test of bounded lines", Line(Point(0, 0), Direction(1, 0), 4), Line(Point(5, -5), Direction(0, 1), 4), 0, 1, 5, 0},
        {"direction not a unit", Line(Point(0, 0), Direction(2, 0), -1), Line(Point(5, -5), Direction(0, 1), -1), 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const Point p = c.first.IntersectionPointWithLine(c.second, c.bounded);
        EXPECT_EQ(p.IsValid(), c.result) << c.name;
        if (c.result != 0) {
            EXPECT_NEAR(p.GetX(), c.x, 1e-9) << c.name;
            EXPECT_NEAR(p.GetY(), c.y, 1e-9) << c.name;
        }
    }
}

TEST(GeometryLine, IntersectionAngles)
{
    struct Case
    {
        double first, second, expected; // degrees
    };
    for (const Case& c : {Case{350, 10, -20}, Case{10, 350, 20}, Case{90, 0, 90}, Case{0, 180, 180}, Case{180, 0, 180},
                          Case{270, 80, -170}}) {
        Line a(Point(0, 0), Direction(0, 0), -1);
        a.SetAngleDirection(c.first * kDegree);
        Line b(Point(0, 0), Direction(0, 0), -1);
        b.SetAngleDirection(c.second * kDegree);
        EXPECT_NEAR(a.IntersectionAngleWithLine(b), c.expected * kDegree, 1e-9) << c.first << " - " << c.second;
    }
    Line unnormalised(Point(0, 0), Direction(0, 3), -1);
    Line other(Point(0, 0), Direction(2, 0), -1);
    EXPECT_NEAR(unnormalised.IntersectionAngleWithLine(other), 90 * kDegree, 1e-9);
    EXPECT_DOUBLE_EQ(unnormalised.GetDirection().GetY(), 1.0) << "normalised in place";
}

TEST(GeometryLine, SaveAndLoad)
{
    const Line original(Point(1.0 / 3.0, -2e-7), Direction(0.6, -0.8), 123.456789012345);
    std::stringstream text;
    ASSERT_EQ(original.Save(text), 1);
    Line read;
    ASSERT_EQ(read.Load(text), 1);
    EXPECT_EQ(read.GetStart().GetX(), original.GetStart().GetX());
    EXPECT_EQ(read.GetStart().GetY(), original.GetStart().GetY());
    EXPECT_EQ(read.GetDirection().GetY(), -0.8);
    EXPECT_EQ(read.GetLambdaMax(), original.GetLambdaMax());
    EXPECT_EQ(read.GetStart().IsValid(), 1);

    std::ostringstream failed;
    failed.setstate(std::ios::failbit);
    EXPECT_EQ(original.Save(failed), 0);

    // A short or broken text leaves the line as it was.
    for (const char* broken : {"", "1 2 3 4", "1 2 x 4 5", "1 2 3 4 nan", "1 2 3 4 1e999", "1,5 2 3 4 5",
                               "1 2 3 4 123456789012345678901234567890123456789012345678901234567890123456789"}) {
        Line kept(Point(9, 8), Direction(1, 0), 7.0);
        std::istringstream in(broken);
        EXPECT_EQ(kept.Load(in), 0) << '"' << broken << '"';
        EXPECT_EQ(kept.GetStart().GetX(), 9.0) << '"' << broken << '"';
        EXPECT_EQ(kept.GetLambdaMax(), 7.0) << '"' << broken << '"';
    }
}

} // namespace
