// The watershed flooding on small masks: basins, dams, joined peaks, the
// border that is never flooded and labels deeper than 8 bits.

#include "analysis/watershed.h"

#include "outside/pixmere/dib.h"

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace watershedtest {

cv::Mat Discs(int width, int height, const std::vector<cv::Vec3i>& discs)
{
    cv::Mat mask(height, width, CV_8UC1, cv::Scalar(0));
    for (const cv::Vec3i& d : discs)
        cv::circle(mask, {d[0], d[1]}, d[2], cv::Scalar(254), cv::FILLED);
    return mask;
}

int Basins(const CWatershed& shed, int width, int height)
{
    cv::Mat flooded(height, width, CV_8UC1, cv::Scalar(0));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (shed.GetValue(x, y) == CWatershed::kFlooded)
                flooded.at<uint8_t>(y, x) = 1;
    cv::Mat labels;
    return cv::connectedComponents(flooded, labels, 8) - 1;
}

struct sCase
{
    std::string name;
    cv::Mat mask;
    std::function<void(CWatershed&, const CArray<POINT, POINT>&)> check;
};

// Two isolated object pixels (dx, dy) apart beside a deep disc: they are
// peaks of level 1 that no basin reaches.
sCase PeakPair(int dx, int dy, bool joined)
{
    cv::Mat mask = Discs(60, 40, {{15, 20, 10}});
    mask.at<uint8_t>(20, 40) = 254;
    mask.at<uint8_t>(20 + dy, 40 + dx) = 254;
    const std::string name = "peaks " + std::to_string(dx) + "," + std::to_string(dy);
    return {name, mask, [=](CWatershed& shed, const CArray<POINT, POINT>&) {
                int flooded = 0;
                for (int y = 15; y < 30; ++y)
                    for (int x = 35; x < 50; ++x)
                        flooded += shed.GetValue(x, y) == CWatershed::kFlooded ? 1 : 0;
                const int line = std::max(std::abs(dx), std::abs(dy)) + 1;
                EXPECT_EQ(flooded, joined ? line : 2);
            }};
}

} // namespace watershedtest

using namespace watershedtest;

TEST(Watershed, FloodingCases)
{
    std::vector<sCase> cases;
    cases.push_back({"one disc", Discs(50, 50, {{25, 25, 15}}), [](CWatershed& shed, const CArray<POINT, POINT>& dam) {
                         EXPECT_EQ(Basins(shed, 50, 50), 1);
                         EXPECT_EQ(dam.GetSize(), 0);
                     }});
    // Two overlapping discs, straight and at an angle: the dam lies on the
    // chord through the intersection points.
    for (const cv::Vec4i& pair : {cv::Vec4i{30, 30, 60, 30}, cv::Vec4i{30, 30, 51, 52}}) {
        cases.push_back({"two discs", Discs(90, 85, {{pair[0], pair[1], 18}, {pair[2], pair[3], 18}}),
                         [pair](CWatershed& shed, const CArray<POINT, POINT>& dam) {
                             EXPECT_EQ(Basins(shed, 90, 85), 2);
                             ASSERT_GT(dam.GetSize(), 0);
                             const double ux = pair[2] - pair[0];
                             const double uy = pair[3] - pair[1];
                             const double length = std::hypot(ux, uy);
                             const double mx = (pair[0] + pair[2]) / 2.0;
                             const double my = (pair[1] + pair[3]) / 2.0;
                             for (const POINT& p : dam)
                                 EXPECT_LE(std::abs(((p.x - mx) * ux + (p.y - my) * uy) / length), 1.5)
                                     << p.x << "," << p.y;
                         }});
    }
    // Joined: more than 1 and less than 4 pixels apart.
    for (const auto& [dx, dy, joined] : std::vector<std::tuple<int, int, bool>>{
             {1, 0, false}, {1, 1, true}, {2, 0, true}, {2, 2, true}, {3, 0, true}, {3, 2, true}, {0, 3, true},
             {4, 0, false}, {3, 3, false}, {0, 4, false}})
        cases.push_back(PeakPair(dx, dy, joined));
    // Background only in the top and bottom rows: the middle row is the
    // seed; the other pixels of the side columns stay unflooded.
    {
        cv::Mat band(7, 15, CV_8UC1, cv::Scalar(254));
        band.row(0).setTo(0);
        band.row(6).setTo(0);
        cases.push_back({"border", band, [](CWatershed& shed, const CArray<POINT, POINT>& dam) {
                             for (int y = 1; y < 6; ++y)
                                 for (int x = 0; x < 15; ++x) {
                                     const bool side = (x == 0 || x == 14) && y != 3;
                                     EXPECT_EQ(shed.GetValue(x, y) == CWatershed::kFlooded, !side) << x << "," << y;
                                 }
                             EXPECT_EQ(dam.GetSize(), 8);
                         }});
    }
    cases.push_back({"empty mask", cv::Mat(20, 20, CV_8UC1, cv::Scalar(0)),
                     [](CWatershed&, const CArray<POINT, POINT>& dam) { EXPECT_EQ(dam.GetSize(), 0); }});
    // 299 levels: 8-bit labels would run into the markers.
    {
        cv::Mat strip(3, 300, CV_8UC1, cv::Scalar(254));
        strip.col(0).setTo(0);
        cases.push_back({"long strip", strip, [](CWatershed& shed, const CArray<POINT, POINT>&) {
                             for (int x = 1; x < 300; ++x)
                                 EXPECT_EQ(shed.GetValue(x, 1), CWatershed::kFlooded) << x;
                             EXPECT_EQ(shed.GetValue(260, 0), 260);
                         }});
    }

    // One object also floods mask after mask, as the cutting of a run
    // uses it, with the result of a fresh one.
    CWatershed reused;
    for (sCase& c : cases) {
        SCOPED_TRACE(c.name);
        CWatershed shed;
        shed.SetMask(c.mask);
        shed.Segment();
        CArray<POINT, POINT> dam;
        shed.CollectDamPoints(dam, 0, 0);
        c.check(shed, dam);
        reused.SetMask(c.mask);
        reused.Segment();
        for (int y = 0; y < c.mask.rows; ++y)
            for (int x = 0; x < c.mask.cols; ++x)
                ASSERT_EQ(reused.GetValue(x, y), shed.GetValue(x, y)) << x << "," << y;
    }
}

TEST(Watershed, LabelsAreTheStepsToTheBackground)
{
    // Seeded masks of discs, plain or with a flooded pixel that the layers
    // go round; the labels of object pixels are the fewest 8-neighbour
    // steps over object pixels to a background pixel, found here by
    // relaxing until nothing changes.
    cv::RNG rng(104);
    for (int round = 0; round < 12; ++round) {
        const int width = rng.uniform(3, 40);
        const int height = rng.uniform(3, 40);
        cv::Mat mask(height, width, CV_8UC1, cv::Scalar(0));
        for (int i = rng.uniform(1, 4); i > 0; --i)
            cv::circle(mask, {rng.uniform(0, width), rng.uniform(0, height)}, rng.uniform(1, 15), cv::Scalar(254),
                       cv::FILLED);
        if (round % 2 == 1)
            mask.at<uint8_t>(rng.uniform(0, height), rng.uniform(0, width)) = 255;
        cv::Mat steps(height, width, CV_32SC1, cv::Scalar(CWatershed::kUnlabelled));
        steps.setTo(0, mask == 0);
        for (bool changed = true; changed;) {
            changed = false;
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    for (int k = 0; k < 9 && mask.at<uint8_t>(y, x) == 254; ++k) {
                        const int nx = x + k % 3 - 1;
                        const int ny = y + k / 3 - 1;
                        if (nx < 0 || ny < 0 || nx >= width || ny >= height || mask.at<uint8_t>(ny, nx) == 255 ||
                            steps.at<int>(ny, nx) + 1 >= steps.at<int>(y, x))
                            continue;
                        steps.at<int>(y, x) = steps.at<int>(ny, nx) + 1;
                        changed = true;
                    }
        }
        SCOPED_TRACE(round);
        CWatershed shed;
        shed.SetMask(mask);
        shed.LabelDistances();
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                if (mask.at<uint8_t>(y, x) == 254) {
                    ASSERT_EQ(shed.GetValue(x, y), steps.at<int>(y, x)) << x << "," << y;
                }
            }
    }
}

TEST(Watershed, LabelsAndPageInterface)
{
    cv::Mat strip(3, 300, CV_8UC1, cv::Scalar(254));
    strip.col(0).setTo(0);
    CDIB page;
    ASSERT_TRUE(page.InitDIB(300, 3, 8));
    for (int x = 1; x < 300; ++x)
        for (int y = 0; y < 3; ++y)
            page.SetPixel(x, y, RGB(254, 254, 254));

    CWatershed shed;
    shed.SetImage(page);
    EXPECT_EQ(shed.LabelDistances(), 299);
    for (int x = 1; x < 300; ++x)
        ASSERT_EQ(shed.GetValue(x, 1), x);

    // Written back, a label keeps meaning a dam, whatever its depth.
    CDIB out;
    ASSERT_EQ(shed.WriteBack(out), 1);
    EXPECT_EQ(out.GetPixel(280, 1) & 0xFF, 253u);
    EXPECT_EQ(out.GetPixel(0, 1) & 0xFF, 0u);
    shed.MarkSeeds(299);
    ASSERT_EQ(shed.WriteBack(out), 1);
    EXPECT_EQ(out.GetPixel(0, 1) & 0xFF, 254u);
    EXPECT_EQ(out.GetPixel(299, 1) & 0xFF, 255u);

    // Step by step as the dialog runs it: the same as Segment.
    CWatershed stepped;
    stepped.SetImage(page);
    stepped.Prepare();
    EXPECT_EQ(stepped.GetLevel(), 298);
    while (stepped.GetLevel() > 0) {
        stepped.FloodLevel();
        stepped.Step();
    }
    for (int x = 1; x < 300; ++x)
        ASSERT_EQ(stepped.GetValue(x, 1), CWatershed::kFlooded);
}

TEST(Watershed, JoinTableIsMirrorSymmetric)
{
    // Entry 244 is chosen like its mirror images; the table has no
    // asymmetry under the vertical mirror.
    const std::array<int, 256>& table = CWatershed::JoinTable();
    const auto mirror = [](int code) {
        // Rows swap: upper (0xE0) with lower (0x07), each kept left to right.
        return ((code & 0xE0) >> 5) | ((code & 0x07) << 5) | (code & 0x18);
    };
    for (int code = 0; code < 256; ++code)
        EXPECT_EQ(table[static_cast<size_t>(code)], table[static_cast<size_t>(mirror(code))]) << code;
    EXPECT_EQ(table[244], 1);
}
