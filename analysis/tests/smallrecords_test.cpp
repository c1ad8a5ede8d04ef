// The small records beside the area statistics: colours of doubles, colour
// positions, the image axis, line intersections and the profile peaks.

#include "analysis/aoi.h"
#include "analysis/colordouble.h"
#include "analysis/colorpositionarray.h"
#include "analysis/imageaxis.h"
#include "analysis/intersectlines.h"
#include "analysis/profilepeakfinder.h"
#include "outside/pixmere/dib.h"
#include "platform/core/archive.h"
#include "platform/core/file.h"
#include "platform/core/testing/scripted_message_boxes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <optional>

namespace {

using kestrun::testing::ScopedMessageBoxes;

TEST(ColorDoubleTest, GrayAndArchiveRoundTrip)
{
    const Color_Double c(100.0, 50.0, 10.5);
    EXPECT_DOUBLE_EQ(c.GetGray(), 0.299 * 100.0 + 0.587 * 50.0 + 0.114 * 10.5);

    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        Color_Double copy = c;
        copy.Serialize(ar);
    }
    ASSERT_EQ(file.GetLength(), 24u); // three doubles, nothing else
    file.SeekToBegin();
    CArchive ar(&file, CArchive::load);
    Color_Double loaded;
    loaded.Serialize(ar);
    EXPECT_EQ(loaded.red, 100.0);
    EXPECT_EQ(loaded.green, 50.0);
    EXPECT_EQ(loaded.blue, 10.5);
}

TEST(ColorPositionArrayTest, AddSkipsSaturatedValuesAndPaintSetsThePixels)
{
    CColorPositionArray positions;
    positions.Add(RGB(254, 9, 9), 1, 2);
    positions.Add(RGB(255, 0, 0), 3, 3); // low byte 255: left out
    positions.Add(RGB(0, 0, 0), 4, 0);
    ASSERT_EQ(positions.GetSize(), 2);
    EXPECT_THROW(positions.Add(0, -1, 0), CInvalidArgException);
    EXPECT_THROW(positions.Add(0, 0, 70000), CInvalidArgException);

    CColorPositionArray copy = positions;
    ASSERT_EQ(copy.GetSize(), 2);
    EXPECT_EQ(copy[1].xFirst, 4);
    EXPECT_EQ(copy[1].y, 0);

    CDIB image;
    ASSERT_TRUE(image.InitDIB(6, 4, 24));
    copy.Paint(image, RGB(1, 2, 3));
    int painted = 0;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            painted += image.GetPixel(x, y) == RGB(1, 2, 3);
    EXPECT_EQ(painted, 2);
    EXPECT_EQ(image.GetPixel(1, 2), RGB(1, 2, 3));
    EXPECT_EQ(image.GetPixel(4, 0), RGB(1, 2, 3));
}

TEST(ImageAxisTest, ProjectsOntoTheLine)
{
    const struct
    {
        CImageAxis axis;
        POINT point;
        POINT foot;
    } cases[] = {
        {CImageAxis(0, 5, 0.0), {7, 40}, {7, 5}},                       // horizontal
        {CImageAxis(3, 0, CImageAxis::verticalSlope), {7, 40}, {3, 40}}, // vertical
        {CImageAxis(0, 0, 1.0), {4, 0}, {2, 2}},                        // diagonal
        {CImageAxis(0, 10, -1.0), {0, 0}, {5, 5}},
        {CImageAxis(0, 0, 2.0), {5, 0}, {1, 2}}, // (1, 2) exactly
    };
    for (const auto& c : cases) {
        const CPoint foot = c.axis.ProjectPoint(c.point.x, c.point.y);
        EXPECT_EQ(foot.x, c.foot.x) << c.axis.m_dSlope;
        EXPECT_EQ(foot.y, c.foot.y) << c.axis.m_dSlope;
    }
    // Slopes too extreme for the system still land on the line.
    EXPECT_EQ(CImageAxis(0, 7, 1e-320).ProjectPoint(4, 9), CPoint(4, 7));
    EXPECT_EQ(CImageAxis(0, 7, 1e300).ProjectPoint(4, 9).x, 0);
}

TEST(IntersectLinesTest, CrossingsAndParallels)
{
    ScopedMessageBoxes boxes;
    const double pi = std::numbers::pi;
    // A horizontal line through (0, 10) and a vertical one through (5, 0).
    // The 45-degree line rises to the right (y up): y = x - 5 upwards, that
    // is 5 - x in image rows, which meets row 10 at x = -5.
    for (const double a1 : {0.0, 2 * pi, -4 * pi}) {
        const std::optional<CPoint> p = IntersectLines(0, 10, a1, 5, 0, pi / 4);
        ASSERT_TRUE(p) << a1;
        EXPECT_NEAR(p->x, -5, 1) << a1;
        EXPECT_NEAR(p->y, 10, 1) << a1;
    }
    // Perpendicular lines: the foot of (20, 20) on the horizontal through y 3.
    const std::optional<CPoint> foot = IntersectLines(0, 3, 0.0, 20, 20, 1.5707963705062866);
    ASSERT_TRUE(foot);
    EXPECT_NEAR(foot->x, 20, 1);
    EXPECT_EQ(foot->y, 3);

    const struct
    {
        double a1;
        double a2;
    } parallels[] = {
        {0.0, 0.0},
        {0.3, 0.3},
        {0.0, 3.1415927410125732}, // half a turn in single precision
        {1.0, 1.0 + std::numbers::pi},
    };
    for (const auto& c : parallels)
        EXPECT_FALSE(IntersectLines(0, 0, c.a1, 3, 7, c.a2)) << c.a1 << " " << c.a2;
    EXPECT_FALSE(IntersectLines(0, 0, std::nan(""), 3, 7, 1.0));
    // Parallel lines are an ordinary answer: no message box.
    EXPECT_TRUE(boxes->Texts().empty());
}

// A ring of points reading the green values of one image row.
class PeakFinderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_image.InitDIB(60, 3, 24));
        for (int x = 0; x < 60; ++x) {
            m_points.Add(POINT{x, 1});
            m_image.SetPixel(x, 1, RGB(0, 10, 0));
        }
    }

    CDIB m_image;
    CArray<POINT, const POINT&> m_points;
    CAOI2 m_aoi{CRect(0, 0, 60, 3)};
};

TEST_F(PeakFinderTest, NarrowPeakWinsOverWideOne)
{
    // A narrow bright peak at 20 and a wide, higher plateau from 35 to 55.
    for (int x = 19; x <= 21; ++x)
        m_image.SetPixel(x, 1, RGB(0, 100, 0));
    for (int x = 35; x <= 55; ++x)
        m_image.SetPixel(x, 1, RGB(0, 250, 0));
    CProfilePeakFinder finder;
    EXPECT_EQ(finder.GetMinPeak(), 50.0);
    EXPECT_EQ(finder.GetMaxPeak(), 255.0);
    finder.FindPeak(m_image, m_points, m_aoi, 1);
    EXPECT_GT(finder.GetBestValue(), 0.0);
    EXPECT_NEAR(finder.GetBestPoint().x, 20, 1);
    EXPECT_EQ(finder.GetBestPoint().y, 1);
    EXPECT_LT(finder.GetPeakWidth(), CProfilePeakFinder::maxPeakWidth);
    EXPECT_EQ(finder.GetPoints().GetSize(), 1);
}

TEST_F(PeakFinderTest, DarkReadingTurnsPeaksIntoValleys)
{
    for (int x = 19; x <= 21; ++x)
        m_image.SetPixel(x, 1, RGB(0, 100, 0));
    CProfilePeakFinder finder;
    finder.FindPeak(m_image, m_points, m_aoi, 1);
    EXPECT_NEAR(finder.GetBestPoint().x, 20, 1);
    // Read as 255 minus the value, the same profile has no peak, and the
    // earlier result is cleared.
    finder.FindPeak(m_image, m_points, m_aoi, 0);
    EXPECT_EQ(finder.GetBestValue(), 0.0);
    EXPECT_EQ(finder.GetBestPoint(), CPoint(0, 0));
    EXPECT_TRUE(finder.GetPoints().IsEmpty());
}

TEST_F(PeakFinderTest, PointsOutsideTheAreaContinueTheProfile)
{
    for (int x = 19; x <= 21; ++x)
        m_image.SetPixel(x, 1, RGB(0, 100, 0));
    // The area leaves out the first five points: they take the ring's last
    // value and make no step.
    CAOI2 aoi(CRect(5, 0, 60, 3));
    CProfilePeakFinder finder;
    finder.FindPeak(m_image, m_points, aoi, 1);
    EXPECT_NEAR(finder.GetBestPoint().x, 20, 1);

    // No point inside: nothing found, nothing read.
    CAOI2 elsewhere(CRect(0, 2, 60, 3));
    finder.FindPeak(m_image, m_points, elsewhere, 1);
    EXPECT_EQ(finder.GetBestValue(), 0.0);
    EXPECT_EQ(finder.GetBestPoint(), CPoint(0, 0));
}

} // namespace
