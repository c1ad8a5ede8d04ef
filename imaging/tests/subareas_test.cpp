// An area laid out in sub-areas: "Binarize" (45055) and the filter chain's
// sub-area step turn each cell black where the threshold accepts a pixel
// and white elsewhere; a count groups what lies close across the cells.

#include "imaging/tests/dibdocextesting.h"

#include "analysis/aoiraster.h"
#include "analysis/objcluster.h"
#include "analysis/region.h"

#include <vector>

namespace {

using kestrun::testing::CDIBDocExTest;
using kestrun::testing::CResultListDoc;

constexpr COLORREF kSubAreaDark = RGB(30, 30, 30);

class SubAreaCommandsTest : public CDIBDocExTest
{
protected:
    void SetUp() override
    {
        CDIBDocExTest::SetUp();
        m_doc = NewDocument(120, 90);
        DrawDisc(*m_doc, {40, 40}, 15, kSubAreaDark);
        DrawDisc(*m_doc, {90, 50}, 10, kSubAreaDark);
        m_original = Pixels(*m_doc);
    }

    void AddRasterArea(const CRect& rect)
    {
        std::unique_ptr<CAOI> area = std::make_unique<CAOI2>(rect);
        area->CreateRaster(2, 2, 0);
        m_engine.m_AOIDoc.SetImageSize(120, 90, true);
        ASSERT_EQ(m_engine.m_AOIDoc.AddAOI(area), 1);
    }

    // Inside the cells black where the original was dark, white
    // elsewhere; outside them (the grid lines too) the original.
    void ExpectCellsBinarized()
    {
        const CAOIRaster& cells = *m_engine.m_AOIDoc.GetActiveAOI(true)->GetRaster();
        const CDIB& page = *m_doc->GetActiveDIB();
        int changed = 0;
        for (int y = 0; y < page.GetHeight(); ++y) {
            for (int x = 0; x < page.GetWidth(); ++x) {
                const cv::Vec3b was = m_original.at<cv::Vec3b>(y, x);
                COLORREF expected = RGB(was[2], was[1], was[0]);
                for (INT_PTR i = 0; i < cells.GetSize(); ++i)
                    if (cells[i].GetRect().PtInRect(CPoint(x, y)))
                        expected = was[0] < 100 ? RGB(0, 0, 0) : RGB(255, 255, 255);
                ASSERT_EQ(page.GetPixel(x, y), expected) << x << ", " << y;
                changed += expected != RGB(was[2], was[1], was[0]) ? 1 : 0;
            }
        }
        EXPECT_GT(changed, 1000);
    }

    CDIBDocEx* m_doc = nullptr;
    cv::Mat m_original;
};

TEST_F(SubAreaCommandsTest, BinarizeTurnsEachCellBlackAndWhiteAsOneUndoStep)
{
    AddRasterArea(CRect(10, 10, 100, 80));
    EXPECT_TRUE(IsEnabled(*m_doc, ID_IMAGE_BINARIZE));
    Command(*m_doc, ID_IMAGE_BINARIZE);
    ExpectCellsBinarized();
    EXPECT_EQ(m_doc->GetUndoCount(), 1);
    m_doc->PopUndo(CDIBDoc::undoPop);
    EXPECT_TRUE(Same(Pixels(*m_doc), m_original));
}

TEST_F(SubAreaCommandsTest, TheFilterStepDoesTheSameAndCellsOutsideThePageWorkOnTheirInside)
{
    // The grid reaches 30 pixels beyond the page to the right and below.
    AddRasterArea(CRect(60, 30, 150, 120));
    m_engine.AddFilterSelection(filterRasterAutoThreshold);
    ASSERT_TRUE(m_doc->RunImageFilter());
    EXPECT_TRUE(m_boxes->Texts().empty());
    ExpectCellsBinarized();
}

TEST_F(SubAreaCommandsTest, WithoutSubAreasTheFilterStepLeavesThePage)
{
    m_engine.AddFilterSelection(filterRasterAutoThreshold);
    ASSERT_TRUE(m_doc->RunImageFilter());
    EXPECT_TRUE(m_boxes->Texts().empty());
    EXPECT_TRUE(Same(Pixels(*m_doc), m_original));
}

TEST_F(SubAreaCommandsTest, ColourHistogramsOfARectangleOnThePage)
{
    m_doc->GetActiveDIB()->SetPixel(0, 0, RGB(1, 2, 3));
    const CColorHistogram histogram = CRegion::ColorHistogram(*m_doc->GetActiveDIB(), CRect(-5, -5, 2, 1));
    EXPECT_EQ(histogram[0][1], 1u);
    EXPECT_EQ(histogram[1][2], 1u);
    EXPECT_EQ(histogram[2][3], 1u);
    EXPECT_EQ(histogram[0][240], 1u);
    EXPECT_EQ(histogram[2][240], 1u);
}

TEST_F(SubAreaCommandsTest, ACountGroupsCloseObjectsAcrossTheCells)
{
    // Two discs either side of the vertical grid line at about x 55, 8
    // pixels apart; the disc at (90, 50) stays alone.
    m_doc->GetActiveDIB()->GetMat().setTo(cv::Scalar::all(kestrun::testing::kGround));
    DrawDisc(*m_doc, {44, 30}, 6, kSubAreaDark);
    DrawDisc(*m_doc, {64, 30}, 6, kSubAreaDark);
    DrawDisc(*m_doc, {90, 60}, 8, kSubAreaDark);
    AddRasterArea(CRect(10, 10, 100, 80));
    m_engine.GetSettings().m_FormThres.m_Parameter |= 0x20;
    m_engine.GetSettings().m_FormThres.m_MaxDistance = 10;

    m_doc->SearchObjects();

    auto* table = dynamic_cast<CResultListDoc*>(m_doc->GetResultDoc());
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->GetCount(), 2);
    const auto* cluster = dynamic_cast<const CObjCluster*>(table->GetAt(0));
    ASSERT_NE(cluster, nullptr);
    EXPECT_EQ(cluster->GetMemberCount(), 2);
    EXPECT_EQ(dynamic_cast<const CObjData&>(*table->GetAt(1)).GetMemberCount(), 0);
}

} // namespace
