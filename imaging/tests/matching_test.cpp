// The pattern matching and the area pattern check on seeded pages: limits
// and judgements, learning and matching, the profile and the moves of the
// areas.

#include "imaging/tests/dibdocextesting.h"

#include "imaging/areapatterncheck.h"
#include "imaging/patternmatch.h"

#include "analysis/aoidoc.h"
#include "analysis/aoiraster.h"

#include <opencv2/imgproc.hpp>

#include <cmath>
#include <vector>

namespace {

using kestrun::testing::CDIBDocExTest;

class MatchingTest : public CDIBDocExTest
{
protected:
    static constexpr int kWidth = 400;
    static constexpr int kHeight = 300;

    void SetUp() override
    {
        CDIBDocExTest::SetUp();
        m_doc = NewDocument(kWidth, kHeight);
        m_engine.m_AOIDoc.SetImageSize(kWidth, kHeight, true);
    }

    CAOI* AddArea(const CRect& rect)
    {
        std::unique_ptr<CAOI> area = std::make_unique<CAOI2>(rect);
        CAOI* added = area.get();
        EXPECT_EQ(m_engine.m_AOIDoc.AddAOI(area), 1);
        return added;
    }

    // Grey noise of the seed over the whole page.
    void SeedNoise(unsigned seed)
    {
        cv::Mat pixels = m_doc->GetActiveDIB()->GetMat();
        cv::RNG rng(seed);
        rng.fill(pixels, cv::RNG::UNIFORM, cv::Scalar::all(40), cv::Scalar::all(220));
    }

    CDIBDocEx* m_doc = nullptr;
};

TEST(PatternMatchLimits, RowsOfTheRasterLowerTheLimitStepByStep)
{
    struct Case
    {
        int rows;
        int columns;
        std::vector<double> limits;
    };
    const Case cases[] = {
        {3, 3, {40, 40, 40, 30, 30, 30, 20, 20, 20}},
        // The row of a cell counts by the columns.
        {2, 4, {40, 40, 40, 40, 25, 25, 25, 25}},
        // Without a raster the lower threshold holds for every area.
        {0, 0, {10, 10, 10}},
    };
    for (const Case& c : cases)
        for (size_t i = 0; i < c.limits.size(); ++i)
            EXPECT_DOUBLE_EQ(CPatternMatch::Limit(static_cast<int>(i), c.rows, c.columns, 10.0f, 40.0f), c.limits[i])
                << c.rows << "x" << c.columns << " cell " << i;
}

TEST(PatternMatchLimits, AValueAtItsLimitFailsWithoutAFrame)
{
    struct Case
    {
        double value;
        bool raster;
        bool ok;
        bool framed;
    };
    const Case cases[] = {
        {29.9, true, true, false}, {30.0, true, false, false}, {30.1, true, false, true},
        // -1 is no value: never "OK", never framed without a raster.
        {-1.0, false, false, false}, {-1.0, true, true, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CPatternMatch::IsOK(c.value, 30.0, c.raster), c.ok) << c.value;
        EXPECT_EQ(CPatternMatch::IsFramed(c.value, 30.0, c.raster), c.framed) << c.value;
    }
}

TEST_F(MatchingTest, LearnAndMatchFlagTheOneDisturbedCellAndFrameIt)
{
    SeedNoise(38);
    CAOI* active = AddArea(CRect(100, 80, 300, 240));
    active->CreateRaster(2, 2, 0);
    ASSERT_EQ(active->GetRaster()->GetSize(), 4);

    CPatternMatch match;
    match.m_fLower = 5.0f;
    match.m_fUpper = 5.0f;
    ASSERT_TRUE(match.Learn(*m_doc));
    ASSERT_EQ(active->GetPatternCount(), 1);

    // Cell 2 (second row, first column) turns flat grey.
    const CRect disturbed = active->GetRaster()->GetAt(2).GetRect();
    cv::rectangle(m_doc->GetActiveDIB()->GetMat(), cv::Rect(disturbed.left, disturbed.top, disturbed.Width(),
                                                            disturbed.Height()),
                  cv::Scalar::all(128), cv::FILLED);
    match.Run(*m_doc);

    ASSERT_EQ(match.GetAreaCount(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(match.IsOK(i), i != 2) << i << ": " << match.GetValues()[static_cast<size_t>(i)];
        EXPECT_EQ(match.IsFramed(i), i == 2) << i;
    }
    // Its four frame lines, in the view's list of line pairs.
    const CAOI2& cell = active->GetRaster()->GetAt(2);
    const CPoint lt(cell.GetLeft(), cell.GetTop());
    const CPoint rt(cell.GetRight(), cell.GetTop());
    const CPoint rb(cell.GetRight(), cell.GetBottom());
    const CPoint lb(cell.GetLeft(), cell.GetBottom());
    const std::vector<CPoint> expected{lt, rt, rt, rb, rb, lb, lb, lt};
    ASSERT_EQ(m_doc->m_arrPoints2.GetSize(), 8);
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(m_doc->m_arrPoints2[static_cast<INT_PTR>(i)], expected[i]) << i;

    // The running statistics of the four values.
    double sum = 0.0;
    double squares = 0.0;
    double low = 1e300;
    double high = -1e300;
    for (double v : match.GetValues()) {
        sum += v;
        squares += v * v;
        low = std::min(low, v);
        high = std::max(high, v);
    }
    const double mean = sum / 4;
    const double deviation = std::sqrt(std::fabs(squares - sum * sum / 4) / 3);
    CString expectedText;
    expectedText.Format("n:%d  mean:%lf  stddev:%lf  min:%lf  max:%lf  rng:%lf", 1, mean, deviation, low, high,
                        high - low);
    EXPECT_EQ(match.GetStatusText(), expectedText);
}

TEST_F(MatchingTest, APatternOfAnotherSizeIsNotWrittenIntoTheReference)
{
    SeedNoise(7);
    CAOI* active = AddArea(CRect(50, 50, 150, 130));
    // A stored pattern of another size: the area is compared with itself.
    auto pattern = std::make_unique<CDIB>();
    ASSERT_TRUE(pattern->InitDIB(100, 79, 24));
    active->AddPattern(std::move(pattern), 0);
    CPatternMatch match;
    match.Run(*m_doc);
    ASSERT_EQ(match.GetAreaCount(), 1);
    EXPECT_EQ(match.GetValues()[0], 0.0);
}

TEST_F(MatchingTest, WithoutAreasLearnDoesNothingAndARunCountsWithZeros)
{
    CPatternMatch match;
    EXPECT_FALSE(match.Learn(*m_doc));
    match.Run(*m_doc);
    match.Run(*m_doc);
    EXPECT_EQ(match.GetAreaCount(), 0);
    EXPECT_EQ(match.GetStatusText(),
              "n:2  mean:0.000000  stddev:0.000000  min:0.000000  max:0.000000  rng:0.000000");
}

TEST_F(MatchingTest, TheProfileStartsWhereTheGreyRisesAfterADarkStretch)
{
    // Along the middle row: bright 0-59, dark 60-149 (below a third of
    // 90), bright again from 150. Down the middle column: dark from the
    // top, bright from row 200.
    cv::Mat pixels = m_doc->GetActiveDIB()->GetMat();
    pixels.setTo(cv::Scalar::all(200));
    cv::rectangle(pixels, cv::Rect(60, 0, 90, kHeight / 2 + 1), cv::Scalar::all(20), cv::FILLED);
    cv::rectangle(pixels, cv::Rect(kWidth / 2, 0, 1, 200), cv::Scalar::all(20), cv::FILLED);
    CPoint start(-1, -1);
    ASSERT_TRUE(m_doc->FindProfileStart(0, 90.0, 30.0, start));
    EXPECT_EQ(start, CPoint(150, kHeight / 2));
    ASSERT_TRUE(m_doc->FindProfileStart(1, 90.0, 30.0, start));
    EXPECT_EQ(start, CPoint(kWidth / 2, 200));
    // Never dark enough: no start, and the point stays.
    EXPECT_FALSE(m_doc->FindProfileStart(0, 90.0, 10.0, start));
    EXPECT_EQ(start, CPoint(kWidth / 2, 200));
}

TEST_F(MatchingTest, LearnProfileSavesThePositionsThatMoveBackRestores)
{
    cv::Mat pixels = m_doc->GetActiveDIB()->GetMat();
    cv::rectangle(pixels, cv::Rect(0, 0, kWidth, kHeight), cv::Scalar(10, 20, 30), cv::FILLED);
    cv::line(pixels, cv::Point(0, 77), cv::Point(kWidth - 1, 77), cv::Scalar(200, 150, 100));
    CAOI* first = AddArea(CRect(20, 30, 80, 90));
    CAOI* second = AddArea(CRect(200, 100, 260, 140));

    CPatternMatch match;
    match.m_bPatternSearch = 1;
    match.m_nSearchDirection = 1;
    match.m_nProfilePosition = 77;
    match.LearnProfile(*m_doc);
    // The row at the position is the profile, drawn across the image.
    ASSERT_EQ(match.GetProfile().GetWidth(), kWidth);
    EXPECT_EQ(match.GetProfile().GetPixel(5, 0), RGB(100, 150, 200));
    ASSERT_EQ(m_doc->m_arrPoints2.GetSize(), 2);
    EXPECT_EQ(m_doc->m_arrPoints2[0], CPoint(0, 77));
    EXPECT_EQ(m_doc->m_arrPoints2[1], CPoint(kWidth - 1, 77));

    first->SetPosition(5, 5, 60, 60, 0, 0, kWidth, kHeight, CAOI::setPosition);
    second->SetPosition(300, 200, 60, 40, 0, 0, kWidth, kHeight, CAOI::setPosition);
    second->m_bExcluded = TRUE;
    match.MoveBack(*m_doc);
    EXPECT_EQ(first->GetRect(), CRect(20, 30, 80, 90));
    EXPECT_EQ(second->GetRect(), CRect(200, 100, 260, 140));
    EXPECT_FALSE(second->m_bExcluded);
}

TEST(AreaPatternCheckJudgement, LowAndHighFailAtTheThresholdAndNoDirectionNever)
{
    struct Case
    {
        double value;
        int direction;
        bool failed;
    };
    const Case cases[] = {
        {0.7, CAreaPatternCheck::judgeLow, true},   {0.69, CAreaPatternCheck::judgeLow, true},
        {0.71, CAreaPatternCheck::judgeLow, false}, {0.7, CAreaPatternCheck::judgeHigh, true},
        {0.71, CAreaPatternCheck::judgeHigh, true}, {0.69, CAreaPatternCheck::judgeHigh, false},
        {0.7, -1, false},                           {0.0, 2, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CAreaPatternCheck::IsFailed(c.value, 0.7, c.direction), c.failed) << c.value << " " << c.direction;
}

TEST_F(MatchingTest, AreaMethodBringsShiftedAreasBackToTheirPattern)
{
    // Three copies of one soft blob on a dark page; the areas sit 15
    // pixels off them, and each Match moves them at most 5 pixels.
    cv::Mat pixels = m_doc->GetActiveDIB()->GetMat();
    pixels.setTo(cv::Scalar::all(30));
    cv::Mat blob(60, 60, CV_8UC3);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 60; ++x) {
            const double d2 = (x - 29.5) * (x - 29.5) + (y - 29.5) * (y - 29.5);
            blob.at<cv::Vec3b>(y, x) = cv::Vec3b::all(static_cast<uchar>(30 + 200 * std::exp(-d2 / (2 * 14.0 * 14.0))));
        }
    const std::vector<CPoint> places{CPoint(40, 40), CPoint(200, 60), CPoint(120, 200)};
    for (const CPoint& p : places)
        blob.copyTo(pixels(cv::Rect(p.x, p.y, 60, 60)));

    std::vector<CAOI*> areas;
    for (const CPoint& p : places)
        areas.push_back(AddArea(CRect(p.x, p.y, p.x + 60, p.y + 60)));
    m_engine.m_AOIDoc.SetActiveAOI(0);
    CAreaPatternCheck check;
    ASSERT_EQ(check.Learn(*m_doc, CAreaPatternCheck::methodArea), CAreaPatternCheck::done);

    const std::vector<CPoint> shifts{CPoint(15, 0), CPoint(0, -15), CPoint(-15, 15)};
    for (size_t i = 0; i < areas.size(); ++i)
        areas[i]->SetPosition(places[i].x + shifts[i].x, places[i].y + shifts[i].y, 60, 60, 0, 0, kWidth, kHeight,
                              CAOI::setPosition);
    for (int run = 0; run < 3; ++run)
        ASSERT_EQ(check.Match(*m_doc, CAreaPatternCheck::methodArea, 0.05, CAreaPatternCheck::judgeHigh),
                  CAreaPatternCheck::done);
    for (size_t i = 0; i < areas.size(); ++i) {
        EXPECT_LE(std::abs(areas[i]->GetLeft() - places[i].x), 1) << i;
        EXPECT_LE(std::abs(areas[i]->GetTop() - places[i].y), 1) << i;
    }
    // In place, every area matches: no frames.
    ASSERT_EQ(check.GetValues().size(), 3u);
    for (double v : check.GetValues())
        EXPECT_LT(v, 0.05);
    EXPECT_EQ(m_doc->m_arrPoints2.GetSize(), 0);
}

TEST_F(MatchingTest, AreaMethodFramesTheAreasItJudgesFailed)
{
    SeedNoise(5);
    AddArea(CRect(40, 40, 100, 100));
    AddArea(CRect(200, 150, 260, 210));
    m_engine.m_AOIDoc.SetActiveAOI(0);
    CAreaPatternCheck check;
    ASSERT_EQ(check.Learn(*m_doc, CAreaPatternCheck::methodArea), CAreaPatternCheck::done);
    // The second area holds other noise: a poor match, framed under "high".
    ASSERT_EQ(check.Match(*m_doc, CAreaPatternCheck::methodArea, 0.05, CAreaPatternCheck::judgeHigh),
              CAreaPatternCheck::done);
    EXPECT_LT(check.GetValues()[0], 0.05);
    EXPECT_GE(check.GetValues()[1], 0.05);
    ASSERT_EQ(m_doc->m_arrPoints2.GetSize(), 8);
    // The frame where the area was; the area then moves to the best place.
    EXPECT_EQ(m_doc->m_arrPoints2[0], CPoint(200, 150));
    EXPECT_EQ(m_engine.m_AOIDoc.GetAOI(1)->GetRect().TopLeft(), check.GetPositions()[1]);
}

TEST_F(MatchingTest, BorderMethodFindsTheBestPositionCoarseToFine)
{
    // Red rises to the right, green downwards: every shift changes the
    // border pixels, more the farther it goes.
    cv::Mat pixels = m_doc->GetActiveDIB()->GetMat();
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            pixels.at<cv::Vec3b>(y, x) = cv::Vec3b(100, static_cast<uchar>(y * 255 / (kHeight - 1)),
                                                   static_cast<uchar>(x * 255 / (kWidth - 1)));
    CAOI* active = AddArea(CRect(150, 110, 210, 170));
    CAreaPatternCheck check;
    ASSERT_EQ(check.Learn(*m_doc, CAreaPatternCheck::methodBorder), CAreaPatternCheck::done);
    ASSERT_EQ(active->GetPattern(0)->GetWidth() * active->GetPattern(0)->GetHeight(), 2 * 60);

    // Farther than the fine pass reaches on its own.
    active->SetPosition(187, 87, 60, 60, 0, 0, kWidth, kHeight, CAOI::setPosition);
    ASSERT_EQ(check.Match(*m_doc, CAreaPatternCheck::methodBorder, 0.7, CAreaPatternCheck::judgeLow),
              CAreaPatternCheck::done);
    EXPECT_LE(std::abs(active->GetLeft() - 150), 1);
    EXPECT_LE(std::abs(active->GetTop() - 110), 1);
}

TEST_F(MatchingTest, CheckRefusesWithoutAreasPatternOrMethod)
{
    CAreaPatternCheck check;
    EXPECT_EQ(check.Learn(*m_doc, CAreaPatternCheck::methodArea), CAreaPatternCheck::noAreas);
    EXPECT_EQ(check.Match(*m_doc, CAreaPatternCheck::methodArea, 0.7, 0), CAreaPatternCheck::noAreas);
    CAOI* active = AddArea(CRect(10, 10, 50, 50));
    EXPECT_EQ(check.Match(*m_doc, CAreaPatternCheck::methodArea, 0.7, 0), CAreaPatternCheck::noPattern);
    ASSERT_EQ(check.Learn(*m_doc, CAreaPatternCheck::methodArea), CAreaPatternCheck::done);
    // "Off" takes the patterns away first.
    EXPECT_EQ(check.Learn(*m_doc, CAreaPatternCheck::methodOff), CAreaPatternCheck::wrongMethod);
    EXPECT_EQ(active->GetPatternCount(), 0);
}

} // namespace
