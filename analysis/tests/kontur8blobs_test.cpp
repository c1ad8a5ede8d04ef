// The tracer against OpenCV's contour search on a page of a few hundred
// separated blobs, found the way the engine finds them: the area's object
// search gives a start pixel, the tracer follows and paints the contour, and
// the search skips painted objects.
//
// Area definitions:
// - the tracer: Green's theorem over its chain code, i.e. the area of the
//   polygon through the centres of the object's boundary pixels, computed
//   as a doubled integer and halved in integer arithmetic (an odd doubled
//   area loses its half);
// - OpenCV: contourArea of the findContours boundary (RETR_EXTERNAL,
//   CHAIN_APPROX_NONE), the area of the same polygon in floating point.
// So the two agree within 0.5 wherever they follow the same boundary
// pixels. Both are smaller than the pixel count (moments m00 of the mask)
// by about half the perimeter: for a simple contour of n steps,
// pixels = area + n / 2 + 1 (Pick's theorem).

#include "analysis/kontur8.h"

#include "analysis/tests/tracepage.h"

#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

#include <cmath>
#include <map>
#include <random>
#include <set>
#include <tuple>
#include <utility>
#include <vector>

using namespace tracetest;

namespace {

struct Blob
{
    CRect box;
    int steps;
    long long doubledArea;
    bool closed;
    bool simple; // no boundary pixel visited twice
};

// Ellipses of random size and angle, one per cell of a grid, each well
// inside its cell.
cv::Mat DrawBlobs(int columns, int rows, int cell, unsigned seed)
{
    cv::Mat mask(rows * cell, columns * cell, CV_8UC1, cv::Scalar(0));
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> axis(1, cell / 2 - 4);
    std::uniform_int_distribution<int> jitter(-2, 2);
    std::uniform_real_distribution<double> angle(0.0, 180.0);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const cv::Point centre(c * cell + cell / 2 + jitter(random), r * cell + cell / 2 + jitter(random));
            cv::ellipse(mask, centre, cv::Size(axis(random), axis(random)), angle(random), 0, 360, cv::Scalar(255), cv::FILLED);
        }
    }
    return mask;
}

std::tuple<int, int, int, int> Key(const CRect& box)
{
    return {box.left, box.top, box.right, box.bottom};
}

TEST(KonturBlobsTest, EveryBlobOnceWithOpenCVsArea)
{
    constexpr int kColumns = 20;
    constexpr int kRows = 15;
    const cv::Mat mask = DrawBlobs(kColumns, kRows, 40, 20240611u);

    CMaskScene scene(mask);
    CKontur8& tracer = scene.tracer;
    std::vector<Blob> traced;
    SearchObjects(scene.aoi, scene.page, scene.threshold, [&](int x, int y) {
        tracer.Reset();
        tracer.Trace(x, y, TRUE, 0);
        // The doubled area before CalcChainMeasures halves it.
        const CRPolygon& points = tracer.GetPoints();
        long long doubled = 0;
        std::set<std::pair<int, int>> distinct;
        for (INT_PTR i = 0; i + 1 < points.GetSize(); ++i) {
            doubled += static_cast<long long>(points[i].x) * points[i + 1].y - static_cast<long long>(points[i + 1].x) * points[i].y;
            distinct.emplace(points[i].x, points[i].y);
        }
        tracer.CalcChainMeasures();
        EXPECT_EQ(tracer.m_nArea, doubled / 2);
        traced.push_back(Blob{CRect(tracer.GetBoundingRect()), tracer.GetLastIndex(), doubled, tracer.IsClosed() != FALSE,
                              static_cast<int>(distinct.size()) == tracer.GetLastIndex()});
    });

    std::vector<std::vector<cv::Point>> contours;
    cv::findContours(mask, contours, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_NONE);
    ASSERT_EQ(contours.size(), static_cast<size_t>(kColumns * kRows));
    ASSERT_EQ(traced.size(), contours.size()); // every blob once

    std::map<std::tuple<int, int, int, int>, const Blob*> byBox;
    for (const Blob& blob : traced)
        byBox[Key(blob.box)] = &blob;
    ASSERT_EQ(byBox.size(), traced.size());

    for (const std::vector<cv::Point>& contour : contours) {
        const cv::Rect r = cv::boundingRect(contour);
        const auto found = byBox.find(Key(CRect(r.x, r.y, r.x + r.width - 1, r.y + r.height - 1)));
        ASSERT_NE(found, byBox.end()) << "no trace of the blob at " << r.x << "," << r.y;
        const Blob& blob = *found->second;
        const double area = cv::contourArea(contour);
        EXPECT_LE(std::fabs(static_cast<double>(blob.doubledArea / 2) - area), 0.5) << "blob at " << r.x << "," << r.y;
        EXPECT_EQ(blob.doubledArea, std::llround(2.0 * area));
        if (contour.size() == 1) {
            EXPECT_FALSE(blob.closed); // a single pixel has no area
            continue;
        }
        EXPECT_EQ(static_cast<size_t>(blob.steps), contour.size()) << "blob at " << r.x << "," << r.y;

        // Pick's theorem links both to the pixel count of a simple contour.
        if (blob.simple) {
            EXPECT_EQ(cv::countNonZero(mask(r)), (blob.doubledArea + blob.steps) / 2 + 1) << "blob at " << r.x << "," << r.y;
        }
    }
}

} // namespace
