// The automatic threshold search and the operations that the matching and
// check tools ask of the image document.

#include "imaging/tests/dibdocextesting.h"

#include "analysis/aoiimaging.h"
#include "analysis/aoipatterns.h"
#include "platform/core/exceptions.h"

#include <opencv2/imgproc.hpp>

#include <vector>

namespace {

using kestrun::testing::CDIBDocExTest;

class AutoThresholdTest : public CDIBDocExTest
{
protected:
    void SetUp() override
    {
        CDIBDocExTest::SetUp();
        m_doc = NewDocument(200, 150);
        DrawDisc(*m_doc, {50, 50}, 12, RGB(50, 50, 50));
        DrawDisc(*m_doc, {140, 90}, 12, RGB(50, 50, 50));
        m_original = Pixels(*m_doc);
        m_engine.GetSettings().m_SegThres = CSegThres(RGB(20, 20, 20), RGB(250, 250, 250), CSegThres::modeDark);
        m_engine.m_nFieldMode = 2;
    }

    // The area of the first disc's outline, as the trials measure it, with
    // a threshold that takes the discs whole.
    double OutlineArea(BYTE limit)
    {
        const CSegThres kept = m_engine.GetSettings().m_SegThres;
        m_engine.GetSettings().m_SegThres.SetLower(RGB(limit, limit, limit));
        m_engine.CollectObjectPositions(m_doc->GetActiveDIB(), nullptr);
        m_engine.GetSettings().m_SegThres = kept;
        const double area = m_engine.m_arrPrevPositions.empty() ? 0.0 : m_engine.m_arrPrevPositions[0].calibratedArea;
        m_engine.m_arrPrevPositions.clear();
        return area;
    }

    // A class that learned areas around a mean of which the discs are 0.7.
    void LearnAreas(BYTE limit = 50)
    {
        m_area = OutlineArea(limit);
        ASSERT_GT(m_area, 0.0);
        CClasses& classes = m_engine.m_Classes;
        ASSERT_TRUE(classes.AddClass("Disc"));
        CVectorNormal& disc = classes[0];
        disc.AddFeature("Area", 1, 0.0, 1.0);
        disc.ResetFeatures();
        const double mean = m_area / 0.7;
        disc.AddSample(m_area - 10.0, 0);
        disc.AddSample(2.0 * mean - (m_area - 10.0), 0);
    }

    CDIBDocEx* m_doc = nullptr;
    double m_area = 0.0;
    cv::Mat m_original;
};

TEST_F(AutoThresholdTest, TheThresholdWhoseObjectsFitTheLearnedAreaIsKept)
{
    LearnAreas();
    Command(*m_doc, ID_IMAGE_AUTO_THRESHOLDS);

    // Loosened by 5 a step from 20: at 50 the discs appear with the area
    // sought; looser thresholds do no better.
    EXPECT_EQ(m_engine.GetSettings().m_SegThres.GetLower(), RGB(50, 50, 50));
    EXPECT_TRUE(Same(Pixels(*m_doc), m_original));
    EXPECT_EQ(m_doc->GetUndoCount(), 0);
    EXPECT_EQ(m_main->m_wndStatusBar.GetPaneText(0).Find("Run:"), 0);
}

TEST_F(AutoThresholdTest, FieldImagesAreDeinterlacedFirstAndMayBeRestored)
{
    LearnAreas();
    m_engine.m_nFieldMode = 1;
    Command(*m_doc, ID_IMAGE_AUTO_THRESHOLDS);
    EXPECT_FALSE(Same(Pixels(*m_doc), m_original));
    EXPECT_EQ(m_doc->GetUndoCount(), 1);
    m_doc->PopUndo(CDIBDoc::undoPop);

    // The application asks for the page as it was.
    m_services.m_bAutoThreshold = TRUE;
    m_engine.GetSettings().m_SegThres.SetLower(RGB(20, 20, 20));
    Command(*m_doc, ID_IMAGE_AUTO_THRESHOLDS);
    EXPECT_TRUE(Same(Pixels(*m_doc), m_original));
    EXPECT_EQ(m_doc->GetUndoCount(), 0);
    EXPECT_EQ(m_engine.GetSettings().m_SegThres.GetLower(), RGB(50, 50, 50));
}

TEST_F(AutoThresholdTest, OnABimodalPageTheThresholdLandsInTheValley)
{
    // Noisy discs around grey 60 on a noisy background around 200.
    cv::theRNG().state = 7u;
    cv::Mat pixels = m_doc->GetActiveDIB()->GetMat();
    cv::Mat noise(pixels.size(), CV_8U);
    cv::randn(noise, cv::Scalar(200), cv::Scalar(8));
    cv::Mat discs(pixels.size(), CV_8U, cv::Scalar(0));
    for (const cv::Point centre : {cv::Point(40, 40), cv::Point(100, 40), cv::Point(160, 40), cv::Point(40, 110),
                                   cv::Point(100, 110), cv::Point(160, 110)})
        cv::circle(discs, centre, 14, cv::Scalar(255), cv::FILLED);
    cv::Mat dark(pixels.size(), CV_8U);
    cv::randn(dark, cv::Scalar(60), cv::Scalar(8));
    dark.copyTo(noise, discs);
    cv::cvtColor(noise, pixels, cv::COLOR_GRAY2BGR);
    const cv::Mat page = Pixels(*m_doc);
    LearnAreas(130);

    EXPECT_TRUE(m_doc->SearchAutoThreshold());
    const int lower = GetRValue(m_engine.GetSettings().m_SegThres.GetLower());
    EXPECT_GE(lower, 80);
    EXPECT_LE(lower, 170);
    EXPECT_TRUE(m_engine.m_arrPrevPositions.empty());
    EXPECT_TRUE(Same(Pixels(*m_doc), page));
}

TEST_F(AutoThresholdTest, WithoutALearnedAreaNothingChanges)
{
    EXPECT_FALSE(m_doc->SearchAutoThreshold());
    EXPECT_EQ(m_boxes->Texts().size(), 1u);
    EXPECT_EQ(m_engine.GetSettings().m_SegThres.GetLower(), RGB(20, 20, 20));
    EXPECT_TRUE(Same(Pixels(*m_doc), m_original));
}

// ---- tools ----------------------------------------------------------------------------------------

class ToolOperationsTest : public CDIBDocExTest
{
protected:
    void SetUp() override
    {
        CDIBDocExTest::SetUp();
        m_doc = NewDocument(120, 100);
        // Seeded noise: every place looks different.
        cv::theRNG().state = 11u;
        cv::Mat pixels = m_doc->GetActiveDIB()->GetMat();
        cv::randu(pixels, cv::Scalar::all(0), cv::Scalar::all(256));
        m_engine.m_AOIDoc.SetImageSize(120, 100, true);
    }

    CDIBDocEx* m_doc = nullptr;
};

TEST_F(ToolOperationsTest, ReferenceComparisonByMeasureCode)
{
    CDIB reference(*m_doc->GetActiveDIB());
    CAOI2 area(CRect(20, 20, 60, 50));
    m_doc->GetActiveDIB()->GetMat()(cv::Rect(0, 0, 120, 100)).setTo(cv::Scalar(120, 80, 100)); // B, G, R
    reference.GetMat().setTo(cv::Scalar(120, 87, 130));

    EXPECT_DOUBLE_EQ(m_doc->CompareWithReference(&area, &reference, 18, 0), 30.0);
    EXPECT_DOUBLE_EQ(m_doc->CompareWithReference(&area, &reference, 18, 2), 0.0);
    EXPECT_DOUBLE_EQ(m_doc->CompareWithReference(&area, &reference, 18, 3), 0.0);
    // Channel 4: green is the page's darkest.
    EXPECT_DOUBLE_EQ(m_doc->CompareWithReference(&area, &reference, 18, 4), 7.0);
    // Uniform areas: no spread, and the same texture.
    EXPECT_DOUBLE_EQ(m_doc->CompareWithReference(&area, &reference, 34, 0), 0.0);
    EXPECT_DOUBLE_EQ(m_doc->CompareWithReference(&area, &reference, 17, 1), 0.0);
    EXPECT_DOUBLE_EQ(m_doc->CompareWithReference(&area, &reference, 19, 0), 0.0);
    area.m_bExcluded = TRUE;
    EXPECT_DOUBLE_EQ(m_doc->CompareWithReference(&area, &reference, 18, 0), 0.0);
}

TEST_F(ToolOperationsTest, PatternIsFoundAroundTheGivenCorner)
{
    CAOI2 area(CRect(30, 25, 50, 45));
    auto pattern = std::make_unique<CDIB>();
    ASSERT_TRUE(CopyImageArea(area, pattern.get(), *m_doc->GetActiveDIB()));
    area.AddPattern(std::move(pattern), 0);

    CPoint position(-1, -1);
    EXPECT_NEAR(m_doc->MatchPattern(CRect(33, 23, 53, 43), &area, 0, 6, 6, position), 0.0, 1e-6);
    EXPECT_EQ(position, CPoint(30, 25));
    EXPECT_EQ(m_main->m_wndStatusBar.GetPaneText(0).Find("Val: 0.00, Pos: 30, 25, Zeit: "), 0);
    EXPECT_DOUBLE_EQ(m_doc->MatchPattern(CRect(33, 23, 53, 43), &area, 1, 6, 6, position), -1.0);
}

TEST_F(ToolOperationsTest, CoverageEdgeIsMarkedAcrossTheImage)
{
    // Objects (dark) cover the area from x = 60 on.
    m_doc->GetActiveDIB()->GetMat().setTo(cv::Scalar::all(kestrun::testing::kGround));
    m_doc->GetActiveDIB()->GetMat()(cv::Rect(60, 0, 60, 100)).setTo(cv::Scalar::all(10));
    CAOI2 area(CRect(10, 10, 110, 90));
    CPoint edge(-1, -1);
    m_doc->FindCoverageEdge(&area, edge, 0);
    EXPECT_EQ(edge, CPoint(60, -1));
    ASSERT_EQ(m_doc->m_arrPoints1.GetSize(), 2);
    EXPECT_EQ(m_doc->m_arrPoints1[0], CPoint(edge.x, 0));
    EXPECT_EQ(m_doc->m_arrPoints1[1], CPoint(edge.x, 100));
    EXPECT_EQ(m_main->m_wndStatusBar.GetPaneText(0).Find("Percent0: "), 0);
}

TEST_F(ToolOperationsTest, BestPositionReturnsTheAreaToItsLearnedPlace)
{
    CAOI2 area(CRect(40, 30, 80, 70));
    EXPECT_DOUBLE_EQ(m_doc->GetBorderScore(&area), -1.0);
    EXPECT_DOUBLE_EQ(m_doc->FindBestPosition(&area, 6, 1), -1.0);
    auto pattern = std::make_unique<CDIB>();
    ASSERT_TRUE(LearnBorderPattern(area, *m_doc->GetActiveDIB(), pattern.get()));
    area.AddPattern(std::move(pattern), 0);
    EXPECT_DOUBLE_EQ(m_doc->GetBorderScore(&area), 0.0);

    area.SetPosition(44, 28, 40, 40, 0, 0, 120, 100, CAOI::setPosition);
    EXPECT_GT(m_doc->GetBorderScore(&area), 10.0);
    EXPECT_DOUBLE_EQ(m_doc->FindBestPosition(&area, 6, 2), 0.0);
    EXPECT_EQ(area.GetRect(), CRect(40, 30, 80, 70));
    EXPECT_THROW(m_doc->FindBestPosition(&area, 6, 0), CInvalidArgException);
}

} // namespace
