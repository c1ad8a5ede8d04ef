#include "objectmodel/rpolygon.h"
#include "objectmodel/rscanpolygon.h"
#include "platform/core/file.h"

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

#include <random>
#include <vector>

namespace {

CRPointArray MakeContour(std::initializer_list<POINT> points)
{
    CRPointArray contour;
    for (const POINT& p : points)
        contour.Add(p);
    return contour;
}

std::vector<CPoint> ListPoints(const CRPointArray& list)
{
    return {list.begin(), list.end()};
}

// The clockwise outline of a w x h rectangle of pixels at (x0, y0).
CRPointArray RectangleContour(int x0, int y0, int w, int h)
{
    CRPointArray contour;
    for (int x = 0; x < w; ++x)
        contour.Add(x0 + x, y0);
    for (int y = 1; y < h; ++y)
        contour.Add(x0 + w - 1, y0 + y);
    for (int x = w - 2; x >= 0 && h > 1; --x)
        contour.Add(x0 + x, y0 + h - 1);
    for (int y = h - 2; y >= 1 && w > 1; --y)
        contour.Add(x0, y0 + y);
    return contour;
}

} // namespace

TEST(CRScanPolygonTest, SquareGivesOneRunPerRow)
{
    const CRPointArray square = MakeContour({{0, 0}, {1, 0}, {2, 0}, {2, 1}, {2, 2}, {1, 2}, {0, 2}, {0, 1}});
    CRScanPolygon scan;
    ASSERT_TRUE(scan.SetFromPolygon(square));
    EXPECT_EQ(ListPoints(scan), (std::vector<CPoint>{{0, 0}, {2, 0}, {0, 1}, {2, 1}, {0, 2}, {2, 2}}));
    EXPECT_EQ(scan.GetRowCount(), 3);

    // Both run ends are inside, one pixel beyond is not.
    for (int y = 0; y < 3; ++y) {
        EXPECT_TRUE(scan.IsInside(0, y));
        EXPECT_TRUE(scan.IsInside(2, y));
        EXPECT_FALSE(scan.IsInside(-1, y));
        EXPECT_FALSE(scan.IsInside(3, y));
    }
    EXPECT_FALSE(scan.IsInside(1, -1));
    EXPECT_FALSE(scan.IsInside(1, 3));
}

TEST(CRScanPolygonTest, RowQueries)
{
    // A U shape: two runs on the upper rows, one on the bottom row.
    CRPolygon u(MakeContour({{0, 0}, {1, 0}, {1, 2}, {3, 2}, {3, 0}, {4, 0}, {4, 3}, {0, 3}}));
    CRScanPolygon scan;
    ASSERT_TRUE(scan.SetFromPolygon(u));

    EXPECT_EQ(scan.GetRowFirstX(0), 0);
    EXPECT_EQ(scan.GetRowLastX(0), 4);
    EXPECT_EQ(scan.GetRowLastIndex(0) - scan.GetRowFirstIndex(0) + 1, 4);
    int x = -1;
    EXPECT_TRUE(scan.GetRunStart(1, 1, x));
    EXPECT_EQ(x, 3);
    EXPECT_TRUE(scan.GetRunEnd(1, 1, x));
    EXPECT_EQ(x, 4);
    EXPECT_FALSE(scan.GetRunStart(2, 1, x)) << "past the row's runs";
    EXPECT_TRUE(scan.GetRunEnd(0, 3, x));
    EXPECT_EQ(x, 4);
    EXPECT_FALSE(scan.GetRunStart(1, 3, x)) << "past the end of the list";

    EXPECT_TRUE(scan.IsInside(1, 1));
    EXPECT_FALSE(scan.IsInside(2, 1)) << "the gap between the arms";
    EXPECT_TRUE(scan.IsInside(2, 3));

    EXPECT_EQ(scan.GetRowFirstIndex(-5), 0) << "rows above the top count as the top row";
    EXPECT_THROW(scan.GetRowFirstIndex(4), CInvalidArgException);
    EXPECT_THROW(scan.GetRunStart(0, 9, x), CInvalidArgException);
}

TEST(CRScanPolygonTest, DegenerateContours)
{
    // A single row: no rule adds a run end, the top row is filled in.
    CRScanPolygon scan;
    EXPECT_FALSE(scan.SetFromPolygon(MakeContour({{2, 5}, {3, 5}, {4, 5}, {3, 5}}))) << "fewer than 3 points";
    EXPECT_EQ(ListPoints(scan), (std::vector<CPoint>{{2, 5}, {4, 5}}));
    EXPECT_TRUE(scan.IsInside(3, 5));

    EXPECT_FALSE(scan.SetFromPolygon(CRPointArray()));
    EXPECT_TRUE(scan.IsEmpty());
    EXPECT_FALSE(scan.IsInside(0, 0));
}

TEST(CRScanPolygonTest, StartInsideAHorizontalRun)
{
    // The contour starts in the middle of its flat bottom, so the run that
    // ends at vertex 1 began on the right side going down.
    const CRPointArray rect = RectangleContour(0, 0, 5, 4);
    CRPointArray rotated;
    const int n = static_cast<int>(rect.GetSize());
    const int start = rect.FindPoint(2, 3);
    for (int i = 0; i < n; ++i)
        rotated.Add(rect[(start + i) % n]);

    CRScanPolygon expected;
    CRScanPolygon scan;
    ASSERT_TRUE(expected.SetFromPolygon(rect));
    ASSERT_TRUE(scan.SetFromPolygon(rotated));
    EXPECT_EQ(ListPoints(scan), ListPoints(expected));
}

TEST(CRScanPolygonTest, SpikeAlongARowReachesItsTip)
{
    // A 5 x 5 square whose left side sends a one-pixel spike out along row
    // 2 and comes back over the same pixels.
    const CRPointArray spiked = MakeContour({{5, 0}, {6, 0}, {7, 0}, {8, 0}, {9, 0}, {9, 1}, {9, 2}, {9, 3}, {9, 4},
                                             {8, 4}, {7, 4}, {6, 4}, {5, 4}, {5, 3}, {5, 2}, {4, 2}, {3, 2}, {2, 2},
                                             {3, 2}, {4, 2}, {5, 1}});
    CRScanPolygon scan;
    ASSERT_TRUE(scan.SetFromPolygon(spiked));
    EXPECT_EQ(ListPoints(scan), (std::vector<CPoint>{{5, 0}, {9, 0}, {5, 1}, {9, 1}, {2, 2}, {9, 2}, {5, 3}, {9, 3}, {5, 4}, {9, 4}}));
}

TEST(CRScanPolygonTest, RowTableHoldsMoreThan65535Points)
{
    // 40,000 rows of two run ends each.
    const CRPointArray tall = RectangleContour(3, 0, 2, 40000);
    CRScanPolygon scan;
    ASSERT_TRUE(scan.SetFromPolygon(tall));
    ASSERT_EQ(scan.GetSize(), 80000);
    EXPECT_EQ(scan.GetRowFirstIndex(39999), 79998);
    EXPECT_TRUE(scan.IsInside(4, 39999));
    EXPECT_FALSE(scan.IsInside(5, 39999));
}

TEST(CRScanPolygonTest, LoadRebuildsTheRowTable)
{
    CRScanPolygon scan;
    ASSERT_TRUE(scan.SetFromPolygon(RectangleContour(10, 20, 4, 3)));
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        scan.Serialize(ar);
    }
    file.SeekToBegin();
    CRScanPolygon loaded;
    CArchive ar(&file, CArchive::load);
    loaded.Serialize(ar);
    EXPECT_EQ(ListPoints(loaded), ListPoints(scan));
    EXPECT_TRUE(loaded.IsInside(12, 21));
    EXPECT_FALSE(loaded.IsInside(14, 21));
}

// The scan form of traced outlines against OpenCV's polygon fill of the
// same outline. fillPoly counts every pixel the outline passes through as
// inside, as the scan form's inclusive run ends do.
TEST(CRScanPolygonTest, MatchesOpenCvFillOnRandomContours)
{
    std::mt19937 random(20240611);
    constexpr int kSize = 40;
    int contours = 0;
    int mismatches = 0;
    for (int image = 0; contours < 1000; ++image) {
        cv::Mat blob = cv::Mat::zeros(kSize, kSize, CV_8U);
        std::uniform_int_distribution<int> coord(4, kSize - 5);
        std::uniform_int_distribution<int> radius(0, 9);
        std::uniform_int_distribution<int> shapes(1, 4);
        std::uniform_int_distribution<int> angle(0, 179);
        for (int s = shapes(random); s > 0; --s) {
            const cv::Point centre(coord(random), coord(random));
            if (random() % 2 == 0) {
                cv::ellipse(blob, centre, cv::Size(radius(random), radius(random)), angle(random), 0, 360, 255, cv::FILLED);
            } else {
                std::vector<cv::Point> corners;
                for (int k = 0; k < 5; ++k)
                    corners.emplace_back(coord(random), coord(random));
                cv::fillPoly(blob, std::vector<std::vector<cv::Point>>{corners}, 255);
            }
        }
        std::vector<std::vector<cv::Point>> found;
        cv::findContours(blob, found, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_NONE);
        for (const std::vector<cv::Point>& outline : found) {
            ++contours;
            // OpenCV's outer contours run counter-clockwise on screen; the
            // scan form takes either way round, so every other one is
            // handed over reversed.
            CRPointArray contour;
            if (contours % 2 == 0) {
                for (auto it = outline.rbegin(); it != outline.rend(); ++it)
                    contour.Add(it->x, it->y);
            } else {
                for (const cv::Point& p : outline)
                    contour.Add(p.x, p.y);
            }
            CRScanPolygon scan;
            scan.SetFromPolygon(contour);

            cv::Mat reference = cv::Mat::zeros(kSize, kSize, CV_8U);
            cv::fillPoly(reference, std::vector<std::vector<cv::Point>>{outline}, 255);
            int wrong = 0;
            for (int y = 0; y < kSize; ++y) {
                for (int x = 0; x < kSize; ++x)
                    wrong += (reference.at<uchar>(y, x) != 0) != scan.IsInside(x, y);
            }
            if (wrong != 0) {
                ++mismatches;
                ADD_FAILURE() << "image " << image << ": " << wrong << " pixels differ for a contour of "
                              << outline.size() << " points starting at (" << outline[0].x << ", " << outline[0].y << ")";
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}
