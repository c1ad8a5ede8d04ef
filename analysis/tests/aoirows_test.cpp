// The row model of every area kind against a brute-force rasterisation of
// the same figure, pixel by pixel, over several sizes, angles and positions
// (negative positions too: areas may hang over the image's edge).

#include "analysis/aoi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

using Pixel = std::pair<int, int>; // (y, x): sorted by row, then x
using PixelSet = std::set<Pixel>;

// The pixels of the area's runs; checks on the way that the runs of a row
// are ordered and apart and lie between the row's borders.
PixelSet RunPixels(const CAOI& aoi)
{
    PixelSet pixels;
    for (int y = aoi.GetTop(); y < aoi.GetTop() + aoi.GetHeight(); ++y) {
        int previousEnd = INT32_MIN;
        int start = 0;
        int end = 0;
        int k = 0;
        for (; aoi.GetRunStart(k, y, start); ++k) {
            EXPECT_TRUE(aoi.GetRunEnd(k, y, end)) << "row " << y << " run " << k;
            EXPECT_LE(start, end) << "row " << y << " run " << k;
            EXPECT_GT(start, previousEnd + 1) << "row " << y << " run " << k;
            if (k == 0) {
                EXPECT_EQ(start, aoi.GetRowLeft(y)) << "row " << y;
            }
            previousEnd = end;
            for (int x = start; x <= end; ++x)
                pixels.insert({y, x});
        }
        EXPECT_FALSE(aoi.GetRunEnd(k, y, end)) << "row " << y;
        if (k > 0) {
            EXPECT_EQ(previousEnd, aoi.GetRowRight(y)) << "row " << y;
        }
    }
    return pixels;
}

std::string Describe(const PixelSet& expected, const PixelSet& actual)
{
    std::string text;
    int shown = 0;
    for (const Pixel& p : expected) {
        if (!actual.count(p) && shown++ < 8)
            text += " missing (" + std::to_string(p.second) + "," + std::to_string(p.first) + ")";
    }
    for (const Pixel& p : actual) {
        if (!expected.count(p) && shown++ < 16)
            text += " extra (" + std::to_string(p.second) + "," + std::to_string(p.first) + ")";
    }
    return text;
}

// The inside test and the pixel count agree with the runs.
void ExpectQueriesAgree(const CAOI& aoi, const PixelSet& pixels)
{
    EXPECT_EQ(aoi.GetPixelCount(), static_cast<int>(pixels.size()));
    for (int y = aoi.GetTop() - 1; y <= aoi.GetTop() + aoi.GetHeight(); ++y)
        for (int x = aoi.GetLeft() - 1; x <= aoi.GetLeft() + aoi.GetWidth(); ++x)
            ASSERT_EQ(aoi.Contains(x, y), pixels.count({y, x}) == 1) << "(" << x << "," << y << ")";
}

// --- reference figures -----------------------------------------------------------------

// Ellipse of axes w x h in its box at (left, top): semi-axes w/2 and
// (h - 1)/2 about column w/2 (integer) and row (h - 1)/2. A pixel belongs
// when the point half a pixel nearer the centre column lies inside or on
// the ellipse; a single row is the full width.
bool InEllipse(int w, int h, int u, int i)
{
    if (u < 0 || u >= w || i < 0 || i >= h)
        return false;
    const double a = w / 2.0;
    const double b = (h - 1) / 2.0;
    const double dx = std::max(std::abs(u - w / 2) - 0.5, 0.0);
    const double dy = i - b;
    const double ry = b > 0.0 ? (dy / b) * (dy / b) : 0.0;
    return (dx / a) * (dx / a) + ry <= 1.0 + 1e-12;
}

PixelSet EllipsePixels(int left, int top, int w, int h)
{
    PixelSet pixels;
    for (int i = 0; i < h; ++i)
        for (int u = 0; u < w; ++u)
            if (InEllipse(w, h, u, i))
                pixels.insert({top + i, left + u});
    return pixels;
}

// One pixel per step along the longer axis, the other coordinate in 16.16
// fixed point from one half, both ends included.
std::vector<POINT> FixedPointLine(POINT a, POINT b)
{
    const long long dx = b.x - a.x;
    const long long dy = b.y - a.y;
    const long long n = std::max(std::llabs(dx), std::llabs(dy));
    std::vector<POINT> line;
    for (long long t = 0; t <= n; ++t) {
        if (n == 0) {
            line.push_back(a);
            break;
        }
        if (std::llabs(dx) >= std::llabs(dy)) {
            const long long y = (static_cast<long long>(a.y) * 65536 + 32768 + t * (dy * 65536 / n)) >> 16;
            line.push_back({static_cast<LONG>(a.x + t * (dx > 0 ? 1 : -1)), static_cast<LONG>(y)});
        } else {
            const long long x = (static_cast<long long>(a.x) * 65536 + 32768 + t * (dx * 65536 / n)) >> 16;
            line.push_back({static_cast<LONG>(x), static_cast<LONG>(a.y + t * (dy > 0 ? 1 : -1))});
        }
    }
    return line;
}

double Cross(POINT a, POINT b, double px, double py)
{
    return (b.x - a.x) * (py - a.y) - (b.y - a.y) * (px - a.x);
}

// Parallelogram A, B, C, C - B + A: the pixels of its edges and every pixel
// whose centre lies strictly inside.
PixelSet ParallelogramPixels(POINT a, POINT b, POINT c)
{
    const POINT corners[4] = {a, b, c, {c.x - b.x + a.x, c.y - b.y + a.y}};
    PixelSet pixels;
    int minX = a.x, maxX = a.x, minY = a.y, maxY = a.y;
    for (int i = 0; i < 4; ++i) {
        for (const POINT& p : FixedPointLine(corners[i], corners[(i + 1) % 4]))
            pixels.insert({p.y, p.x});
        minX = std::min<int>(minX, corners[i].x);
        maxX = std::max<int>(maxX, corners[i].x);
        minY = std::min<int>(minY, corners[i].y);
        maxY = std::max<int>(maxY, corners[i].y);
    }
    for (int y = minY; y <= maxY; ++y) {
        for (int x = minX; x <= maxX; ++x) {
            int positive = 0;
            int negative = 0;
            for (int i = 0; i < 4; ++i) {
                const double s = Cross(corners[i], corners[(i + 1) % 4], x, y);
                positive += s > 0;
                negative += s < 0;
            }
            if (positive == 4 || negative == 4)
                pixels.insert({y, x});
        }
    }
    return pixels;
}

// Closed pixel contour: its pixels and every pixel whose centre lies inside
// it by the crossing rule.
PixelSet ContourPixels(const std::vector<POINT>& contour)
{
    PixelSet pixels;
    int minX = contour[0].x, maxX = minX, minY = contour[0].y, maxY = minY;
    for (const POINT& p : contour) {
        pixels.insert({p.y, p.x});
        minX = std::min<int>(minX, p.x);
        maxX = std::max<int>(maxX, p.x);
        minY = std::min<int>(minY, p.y);
        maxY = std::max<int>(maxY, p.y);
    }
    const size_t n = contour.size();
    for (int y = minY; y <= maxY; ++y) {
        for (int x = minX; x <= maxX; ++x) {
            bool inside = false;
            for (size_t i = 0; i < n; ++i) {
                const POINT& p = contour[i];
                const POINT& q = contour[(i + 1) % n];
                // Half-open in y, so that a vertex on the row counts once.
                if ((p.y > y) != (q.y > y)) {
                    const double cx = p.x + static_cast<double>(y - p.y) * (q.x - p.x) / (q.y - p.y);
                    if (x < cx)
                        inside = !inside;
                }
            }
            if (inside)
                pixels.insert({y, x});
        }
    }
    return pixels;
}

std::vector<POINT> PixelContourThrough(const std::vector<POINT>& vertices)
{
    std::vector<POINT> contour;
    for (size_t i = 0; i < vertices.size(); ++i) {
        const std::vector<POINT> line = FixedPointLine(vertices[i], vertices[(i + 1) % vertices.size()]);
        contour.insert(contour.end(), line.begin(), line.end() - 1);
    }
    return contour;
}

// The rotated ellipse: the unrotated figure's boundary walked down its left
// side and up its right side, each point turned about the axes' centre
// (rounded half up), rows skipped between two points filled
// with line pixels, and the box moved to the area's corner. The figure is
// convex: on every row it spans from its leftmost to its rightmost boundary
// pixel.
PixelSet RotatedEllipsePixels(int left, int top, int w, int h, double angle)
{
    std::vector<POINT> contour;
    std::vector<POINT> right;
    for (int i = 0; i < h; ++i) {
        int first = -1, last = -1;
        for (int u = 0; u < w; ++u) {
            if (InEllipse(w, h, u, i)) {
                if (first < 0)
                    first = u;
                last = u;
            }
        }
        contour.push_back({first, i});
        right.push_back({last, i});
    }
    contour.insert(contour.end(), right.rbegin(), right.rend());
    const int cx = w / 2;
    const int cy = h / 2;
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    for (POINT& p : contour) {
        const double x = p.x - cx;
        const double y = p.y - cy;
        p = {cx + static_cast<LONG>(std::floor(c * x + s * y + 0.5)),
             cy + static_cast<LONG>(std::floor(y * c - x * s + 0.5))};
    }
    std::vector<POINT> boundary;
    for (size_t i = 0; i < contour.size(); ++i) {
        const POINT a = contour[i];
        const POINT b = contour[(i + 1) % contour.size()];
        boundary.push_back(a);
        if (std::abs(b.y - a.y) > 1) {
            const std::vector<POINT> line = FixedPointLine(a, b);
            boundary.insert(boundary.end(), line.begin() + 1, line.end() - 1);
        }
    }
    int minX = boundary[0].x, minY = boundary[0].y;
    for (const POINT& p : boundary) {
        minX = std::min<int>(minX, p.x);
        minY = std::min<int>(minY, p.y);
    }
    PixelSet pixels;
    for (const POINT& p : boundary) {
        for (const POINT& q : boundary) {
            if (q.y == p.y && q.x >= p.x) {
                for (int x = p.x; x <= q.x; ++x)
                    pixels.insert({p.y - minY + top, x - minX + left});
            }
        }
    }
    return pixels;
}

const int kOffsets[][2] = {{0, 0}, {37, 21}, {-15, -9}, {-40, 5}};

} // namespace

TEST(AOIRowsTest, RectangleRowsAreItsRectangle)
{
    for (const auto& offset : kOffsets) {
        for (const CRect& r : {CRect(0, 0, 1, 1), CRect(3, 4, 20, 9), CRect(-5, -5, 30, 40)}) {
            const CAOI2 aoi(r + CPoint(offset[0], offset[1]));
            PixelSet expected;
            for (int y = aoi.GetTop(); y < aoi.GetTop() + r.Height(); ++y)
                for (int x = aoi.GetLeft(); x < aoi.GetLeft() + r.Width(); ++x)
                    expected.insert({y, x});
            const PixelSet actual = RunPixels(aoi);
            EXPECT_EQ(actual, expected) << Describe(expected, actual);
            ExpectQueriesAgree(aoi, expected);
        }
    }
}

TEST(AOIRowsTest, EllipseRowsMatchThePointInEllipseTest)
{
    const int sizes[][2] = {{3, 3}, {4, 3}, {10, 7}, {7, 10}, {31, 12}, {16, 16}, {60, 41}, {5, 80}};
    for (const auto& offset : kOffsets) {
        for (const auto& size : sizes) {
            CAOIEllipse aoi;
            aoi.SetFromCorners(offset[0], offset[1], offset[0] + size[0], offset[1] + size[1]);
            ASSERT_EQ(aoi.GetWidth(), size[0]);
            ASSERT_EQ(aoi.GetHeight(), size[1]);
            ASSERT_EQ(aoi.GetOutlinePoints().GetSize(), 2 * size[1]);
            const PixelSet expected = EllipsePixels(offset[0], offset[1], size[0], size[1]);
            const PixelSet actual = RunPixels(aoi);
            EXPECT_EQ(actual, expected) << size[0] << "x" << size[1] << Describe(expected, actual);
            ExpectQueriesAgree(aoi, expected);
        }
    }
    // Centre and radii: the box is twice the radii.
    CAOIEllipse circle;
    circle.SetCenterAndRadii(-3, 10, 12, 12);
    EXPECT_EQ(circle.GetLeft(), -15);
    EXPECT_EQ(circle.GetTop(), -2);
    EXPECT_EQ(RunPixels(circle), EllipsePixels(-15, -2, 24, 24));
}

TEST(AOIRowsTest, RotatedEllipseRowsMatchItsTurnedBoundary)
{
    const int sizes[][2] = {{9, 5}, {40, 12}, {25, 25}, {13, 44}, {81, 31}};
    const double angles[] = {0.1, 0.5, 0.785398, 1.2, 1.5707963, 2.7, -0.4, 4.0};
    for (const auto& offset : kOffsets) {
        for (const auto& size : sizes) {
            for (double angle : angles) {
                CAOIEllipse aoi;
                aoi.SetFromCorners(offset[0], offset[1], offset[0] + size[0], offset[1] + size[1]);
                aoi.SetAngle(angle);
                const PixelSet expected = RotatedEllipsePixels(offset[0], offset[1], size[0], size[1], angle);
                const PixelSet actual = RunPixels(aoi);
                EXPECT_EQ(actual, expected) << size[0] << "x" << size[1] << " at " << angle << Describe(expected, actual);
                ExpectQueriesAgree(aoi, expected);
            }
        }
    }
}

TEST(AOIRowsTest, RotationTurnsTheFigure)
{
    CAOIEllipse aoi;
    aoi.SetFromCorners(0, 0, 61, 15);
    aoi.SetAngle(1.5707963);
    EXPECT_NEAR(aoi.GetWidth(), 15, 1);
    EXPECT_NEAR(aoi.GetHeight(), 61, 1);
    aoi.SetAngle(0.785398);
    EXPECT_NEAR(aoi.GetWidth(), aoi.GetHeight(), 2);
    // Back to 0: the unturned figure again.
    aoi.SetAngle(0.0);
    EXPECT_EQ(RunPixels(aoi), EllipsePixels(0, 0, 61, 15));
}

TEST(AOIRowsTest, RingRowsAreTheOuterEllipseLessTheHoleInterior)
{
    const int sizes[][3] = {{20, 20, 4}, {41, 25, 6}, {30, 60, 3}, {12, 12, 5}, {50, 31, 1}};
    for (const auto& offset : kOffsets) {
        for (const auto& size : sizes) {
            CAOIRing ring;
            ring.SetRingWidth(size[2]);
            // Corners given in either order.
            ring.SetFromCorners(offset[0] + size[0], offset[1], offset[0], offset[1] + size[1]);
            const int w = size[2];
            const PixelSet outer = EllipsePixels(offset[0], offset[1], size[0], size[1]);
            const bool hole = size[0] - 2 * w > 2 && size[1] - 2 * w > 2;
            const PixelSet inner =
                hole ? EllipsePixels(offset[0] + w, offset[1] + w, size[0] - 2 * w, size[1] - 2 * w) : PixelSet{};
            // The hole is the inner ellipse without its border pixels on each row.
            PixelSet expected;
            for (const Pixel& p : outer) {
                const bool interior = inner.count(p) && inner.count({p.first, p.second - 1}) &&
                                      inner.count({p.first, p.second + 1});
                if (!interior)
                    expected.insert(p);
            }
            const PixelSet actual = RunPixels(ring);
            EXPECT_EQ(actual, expected) << size[0] << "x" << size[1] << " w " << w << Describe(expected, actual);
            // Borders, inside test and count are the outer ellipse's.
            EXPECT_EQ(ring.GetPixelCount(), static_cast<int>(outer.size()));
            for (const Pixel& p : outer)
                ASSERT_TRUE(ring.Contains(p.second, p.first));
        }
    }
}

TEST(AOIRowsTest, ParallelogramRowsMatchItsEdgesAndInside)
{
    const POINT shapes[][3] = {
        {{0, 0}, {20, 0}, {25, 10}},   {{0, 0}, {10, 3}, {4, 20}},   {{5, 5}, {30, 12}, {22, 40}},
        {{0, 10}, {10, 0}, {30, 20}},  {{40, 3}, {3, 9}, {12, 30}},  {{0, 0}, {17, 29}, {-12, 36}},
        {{10, 10}, {11, 40}, {3, 41}}, {{0, 0}, {50, 7}, {52, 11}},  {{0, 0}, {0, 15}, {9, 15}},
        {{-4, 0}, {7, -13}, {19, -2}}, {{0, 0}, {33, -33}, {40, -26}}};
    for (const auto& offset : kOffsets) {
        for (const auto& shape : shapes) {
            POINT p[3];
            for (int i = 0; i < 3; ++i)
                p[i] = {shape[i].x + offset[0], shape[i].y + offset[1]};
            CAOI3 aoi;
            aoi.SetFromPoints(p[0], p[1], p[2]);
            const PixelSet expected = ParallelogramPixels(p[0], p[1], p[2]);
            const PixelSet actual = RunPixels(aoi);
            EXPECT_EQ(actual, expected) << "(" << p[0].x << "," << p[0].y << ") (" << p[1].x << "," << p[1].y
                                        << ") (" << p[2].x << "," << p[2].y << ")" << Describe(expected, actual);
            ExpectQueriesAgree(aoi, expected);
        }
    }
}

TEST(AOIRowsTest, PolygonRowsMatchTheFilledContour)
{
    const std::vector<std::vector<POINT>> shapes = {
        {{0, 0}, {30, 0}, {30, 20}, {0, 20}},                                  // rectangle
        {{0, 0}, {40, 10}, {15, 35}},                                          // triangle
        {{0, 0}, {30, 0}, {30, 8}, {10, 8}, {10, 30}, {0, 30}},                // L
        {{0, 0}, {10, 0}, {10, 20}, {20, 20}, {20, 0}, {30, 0}, {30, 30}, {0, 30}}, // U open at the top
        {{15, 0}, {19, 11}, {30, 12}, {21, 19}, {25, 30}, {15, 23}, {5, 30}, {9, 19}, {0, 12}, {11, 11}}, // star
        {{0, 5}, {20, 0}, {12, 10}, {25, 22}, {2, 18}},                        // dent on the right
    };
    for (const auto& offset : kOffsets) {
        for (const auto& shape : shapes) {
            for (bool reversed : {false, true}) {
                std::vector<POINT> vertices;
                for (const POINT& v : shape)
                    vertices.push_back({v.x + offset[0], v.y + offset[1]});
                if (reversed)
                    std::reverse(vertices.begin(), vertices.end());
                CRPolygon polygon;
                for (const POINT& v : vertices)
                    polygon.Add(v);
                CAOI4 aoi;
                ASSERT_TRUE(aoi.SetPolygon(polygon));
                int left = vertices[0].x;
                int top = vertices[0].y;
                for (const POINT& v : vertices) {
                    left = std::min<int>(left, v.x);
                    top = std::min<int>(top, v.y);
                }
                EXPECT_EQ(aoi.GetLeft(), left);
                EXPECT_EQ(aoi.GetTop(), top);

                // The outline the area scans: the vertices joined by straight pixel lines.
                CRPolygon joined;
                joined.SetFromVertices(polygon);
                std::vector<POINT> contour(joined.begin(), joined.end());
                if (contour.size() > 1 && contour.back().x == contour.front().x && contour.back().y == contour.front().y)
                    contour.pop_back();
                const PixelSet expected = ContourPixels(contour);
                const PixelSet actual = RunPixels(aoi);
                EXPECT_EQ(actual, expected) << "shape of " << shape.size() << " reversed " << reversed
                                            << Describe(expected, actual);
                ExpectQueriesAgree(aoi, expected);
            }
        }
    }
}

TEST(AOIRowsTest, PolygonFromAPixelContourKeepsItsPixels)
{
    // A traced outline comes as 8-connected pixels already.
    const std::vector<POINT> contour = PixelContourThrough({{3, 2}, {25, 6}, {18, 28}, {6, 20}});
    CRPolygon polygon;
    for (const POINT& p : contour)
        polygon.Add(p);
    CAOI4 aoi;
    ASSERT_TRUE(aoi.SetPolygon(polygon));
    const PixelSet expected = ContourPixels(contour);
    const PixelSet actual = RunPixels(aoi);
    EXPECT_EQ(actual, expected) << Describe(expected, actual);
}
