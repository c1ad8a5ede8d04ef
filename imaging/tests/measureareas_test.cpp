// "&Measure OIs" (45034) and "Search &Defects" (45035): the areas of a
// seeded page measured into a table with their colour classes, and the
// one spot on a noisy page found.

#include "imaging/tests/dibdocextesting.h"

#include "analysis/aoistat.h"
#include "analysis/objsegments.h"
#include "analysis/vectornormal.h"

#include <opencv2/core.hpp>

namespace {

using kestrun::testing::CCountingView;
using kestrun::testing::CDIBDocExTest;
using kestrun::testing::CResultListDoc;

constexpr COLORREF kLeafColour = RGB(100, 20, 20);
constexpr COLORREF kSkyColour = RGB(20, 20, 100);

class MeasureAreasTest : public CDIBDocExTest
{
protected:
    void SetUp() override
    {
        CDIBDocExTest::SetUp();
        m_templates.SetTemplate(CSRC::kGridTemplate,
                                new CMultiDocTemplate(kestrun::testing::IDR_TEST_TABLE, RUNTIME_CLASS(CResultListDoc),
                                                      RUNTIME_CLASS(CMDIChildWnd),
                                                      RUNTIME_CLASS(CCountingView)));
    }

    static void LearnColour(CClasses& classes, int id, const char* name, COLORREF colour, COLORREF shown)
    {
        CVectorNormal learned(id, name);
        const double channels[3] = {double(GetRValue(colour)), double(GetGValue(colour)), double(GetBValue(colour))};
        const char* names[3] = {"Red", "Green", "Blue"};
        for (int k = 0; k < 3; ++k)
            learned.AddFeature(names[k], 32 << k, channels[k] - 10.0, channels[k] + 10.0);
        learned.m_Color = shown;
        classes.Add(learned);
    }

    static CResultListDoc* Table(CDIBDocEx& doc) { return dynamic_cast<CResultListDoc*>(doc.GetResultDoc()); }
};

TEST_F(MeasureAreasTest, EveryAreaIsARowWithItsPixelsSortedIntoTheLearnedClasses)
{
    CDIBDocEx* doc = NewDocument(200, 100);
    const int leaf = DrawDisc(*doc, {35, 35}, 12, kLeafColour);
    const int sky = DrawDisc(*doc, {125, 40}, 8, kSkyColour);
    // A few sky pixels in the first area too, and a dark pixel of no class.
    const int strays = DrawDisc(*doc, {15, 55}, 1, kSkyColour);
    doc->GetActiveDIB()->SetPixel(50, 15, RGB(5, 5, 5));
    m_engine.m_AOIDoc.SetImageSize(200, 100, true);
    std::unique_ptr<CAOI> first = std::make_unique<CAOI2>(CRect(10, 10, 60, 60));
    std::unique_ptr<CAOI> second = std::make_unique<CAOI2>(CRect(100, 20, 150, 70));
    ASSERT_EQ(m_engine.m_AOIDoc.AddAOI(first), 1);
    ASSERT_EQ(m_engine.m_AOIDoc.AddAOI(second), 1);
    LearnColour(m_engine.m_Classes, 1, "Leaf", kLeafColour, RGB(0, 255, 0));
    LearnColour(m_engine.m_Classes, 2, "Sky", kSkyColour, RGB(0, 0, 255));

    EXPECT_TRUE(IsEnabled(*doc, ID_IMAGE_MEASURE_AOIS));
    Command(*doc, ID_IMAGE_MEASURE_AOIS);
    CResultListDoc* table = Table(*doc);
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->GetCount(), 2);
    EXPECT_EQ(table->GetCurrentIndex(), 2);
    EXPECT_EQ(doc->m_nDrawMode, CDIBDoc::kDrawModeResult);

    struct sExpected
    {
        DWORD passing;
        int leaf;
        int sky;
    };
    const sExpected expected[] = {{static_cast<DWORD>(leaf + strays + 1), leaf, strays}, {static_cast<DWORD>(sky), 0, sky}};
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        auto* area = dynamic_cast<CAOIStat*>(table->GetAt(i));
        ASSERT_NE(area, nullptr);
        EXPECT_EQ(area->m_nPixels, 2500u);
        EXPECT_EQ(area->m_nObjectPixels, expected[i].passing);
        ASSERT_EQ(area->GetClassCount(), 2);
        EXPECT_EQ(area->GetClassName(0), "Leaf");
        EXPECT_EQ(area->GetClassColor(1), RGB(0, 0, 255));
        EXPECT_EQ(area->GetClass(0).GetPointCount(), expected[i].leaf);
        EXPECT_EQ(area->GetClass(1).GetPointCount(), expected[i].sky);
        // The pixel of no class stays with the area's own class.
        EXPECT_EQ(area->GetClass(2).GetPointCount(), i == 0 ? 1 : 0);
    }
}

TEST_F(MeasureAreasTest, WithoutAreasTheWholeImageCountsAndWithoutAPageNothingHappens)
{
    CDIBDocEx* doc = NewDocument(40, 30);
    DrawDisc(*doc, {20, 15}, 3, kLeafColour);
    Command(*doc, ID_IMAGE_MEASURE_AOIS);
    CResultListDoc* table = Table(*doc);
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->GetCount(), 1);
    auto* area = dynamic_cast<CAOIStat*>(table->GetAt(0));
    ASSERT_NE(area, nullptr);
    EXPECT_EQ(area->m_nPixels, 1200u);
    EXPECT_EQ(area->GetClassCount(), 0);
    // A second run adds to the bound table.
    Command(*doc, ID_IMAGE_MEASURE_AOIS);
    EXPECT_EQ(table->GetCount(), 2);

    auto* empty = dynamic_cast<CDIBDocEx*>(m_exTemplate->OpenDocumentFile(nullptr));
    ASSERT_NE(empty, nullptr);
    Command(*empty, ID_IMAGE_MEASURE_AOIS);
    Command(*empty, ID_IMAGE_SEARCH_DEFECTS);
    EXPECT_EQ(empty->GetResultDoc(), nullptr);
}

TEST_F(MeasureAreasTest, TheDefectIsTheSpotOnANoisyPage)
{
    struct sSpot
    {
        cv::Point at;
        CRect area; // empty: no area of interest
    };
    const sSpot spots[] = {{{70, 40}, CRect()}, {{23, 61}, CRect()}, {{150, 20}, CRect(100, 5, 190, 60)}};
    for (const sSpot& spot : spots) {
        SCOPED_TRACE(spot.at.x);
        CDIBDocEx* doc = NewDocument(200, 100);
        cv::Mat page = doc->GetActiveDIB()->GetMat();
        cv::RNG rng(27);
        cv::Mat noise(page.size(), CV_8UC3);
        rng.fill(noise, cv::RNG::NORMAL, cv::Scalar::all(128), cv::Scalar::all(8));
        noise.copyTo(page);
        cv::circle(page, spot.at, 3, cv::Scalar::all(170), cv::FILLED);
        m_engine.m_AOIDoc.ClearAOIs();
        m_engine.m_AOIDoc.SetImageSize(200, 100, true);
        if (!spot.area.IsRectNull()) {
            // A brighter spot outside the area is not looked at.
            cv::circle(page, {20, 80}, 3, cv::Scalar::all(250), cv::FILLED);
            std::unique_ptr<CAOI> area = std::make_unique<CAOI2>(spot.area);
            ASSERT_EQ(m_engine.m_AOIDoc.AddAOI(area), 1);
        }
        EXPECT_TRUE(IsEnabled(*doc, ID_IMAGE_SEARCH_DEFECTS));
        Command(*doc, ID_IMAGE_SEARCH_DEFECTS);
        CResultListDoc* table = Table(*doc);
        ASSERT_NE(table, nullptr);
        ASSERT_EQ(table->GetCount(), 1);
        auto* defect = dynamic_cast<CDefect*>(table->GetAt(0));
        ASSERT_NE(defect, nullptr);
        EXPECT_LE(std::abs(defect->m_ptPos.x - spot.at.x), 2);
        EXPECT_LE(std::abs(defect->m_ptPos.y - spot.at.y), 2);
        EXPECT_GT(defect->m_dIntensity, 3.0);
    }
}

} // namespace
