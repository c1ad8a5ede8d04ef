// "Count and measure objects" (command 45032) from the image document to
// its result table: a page of discs of two sizes and two colours in an
// area laid out in two sub-areas, counted, learned, counted again and
// classified, with the filter chain run for the count only; and a profile
// step that is not in this build told to the user once per count.

#include "imaging/tests/dibdocextesting.h"

#include "analysis/aoiraster.h"
#include "analysis/objdata.h"
#include "analysis/objedge.h"
#include "analysis/objectfilter.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

using kestrun::testing::CDIBDocExTest;
using kestrun::testing::CResultListDoc;

constexpr COLORREF kRed = RGB(60, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 60);

struct sDisc
{
    cv::Point centre;
    int radius;
    COLORREF colour;
    const char* className; // the class it is taught as, "NC" for none
    int pixels = 0;
};

class CountObjectsTest : public CDIBDocExTest
{
protected:
    void SetUp() override
    {
        CDIBDocExTest::SetUp();
        m_doc = NewDocument(1600, 900);
        // Sub-areas x 20..799 and 801..1580, the grid line at 800.
        std::unique_ptr<CAOI> area = std::make_unique<CAOI2>(CRect(20, 20, 1580, 880));
        area->CreateRaster(2, 1, 0);
        m_engine.m_AOIDoc.SetImageSize(1600, 900, true);
        ASSERT_EQ(m_engine.m_AOIDoc.AddAOI(area), 1);
        for (sDisc& disc : m_discs)
            disc.pixels = DrawDisc(*m_doc, disc.centre, disc.radius, disc.colour);
        m_original = Pixels(*m_doc);
        m_engine.GetSettings().m_FormThres.m_Type |= featureColors;
        // Smoothing for the count: the page must come back unfiltered.
        m_engine.AddFilterSelection(filterSmooth);
    }

    CResultListDoc* Table() const { return dynamic_cast<CResultListDoc*>(m_doc->GetResultDoc()); }

    // The disc whose centre lies within 3 pixels of the record's centroid.
    const sDisc* DiscOf(const CObjData& record) const
    {
        for (const sDisc& disc : m_discs)
            if (std::abs(record.m_ptCentroid.x - disc.centre.x) <= 3 &&
                std::abs(record.m_ptCentroid.y - disc.centre.y) <= 3)
                return &disc;
        return nullptr;
    }

    // Teaches the classes from the counted objects as the learn dialog
    // does: per class the area and the red and blue mean colour.
    void Learn()
    {
        CClasses& classes = m_engine.m_Classes;
        for (const char* name : {"Small red", "Large blue"}) {
            ASSERT_TRUE(classes.AddClass(name));
            CVectorNormal& added = classes[classes.GetCount() - 1];
            added.AddFeature("Area", 1, 0.0, 1.0);
            added.AddFeature("Color Red", 32, 0.0, 1.0);
            added.AddFeature("Color Blue", 128, 0.0, 1.0);
            added.ResetFeatures();
        }
        classes[0].m_Color = RGB(255, 0, 255);
        classes[1].m_Color = RGB(0, 255, 255);
        CResultListDoc* table = Table();
        for (int i = 0; i < table->GetCount(); ++i) {
            const auto* record = dynamic_cast<CObjData*>(table->GetAt(i));
            const sDisc* disc = record ? DiscOf(*record) : nullptr;
            ASSERT_NE(disc, nullptr);
            for (CVectorNormal& vector : classes) {
                if (vector.m_strName != disc->className)
                    continue;
                vector.AddSample(record->GetArea(), 0);
                vector.AddSample(GetRValue(record->m_MeanColor), 1);
                vector.AddSample(GetBValue(record->m_MeanColor), 2);
            }
        }
    }

    CDIBDocEx* m_doc = nullptr;
    std::vector<sDisc> m_discs = {
        {{200, 200}, 130, kRed, "Small red"},
        {{800, 250}, 130, kRed, "Small red"}, // over the grid line
        {{560, 650}, 180, kBlue, "Large blue"},
        {{1150, 600}, 180, kBlue, "Large blue"},
        {{1400, 200}, 150, kRed, "NC"}, // too large for the red class
    };
    cv::Mat m_original;
};

TEST_F(CountObjectsTest, DiscsAreCountedMeasuredLearnedAndClassified)
{
    Command(*m_doc, ID_IMAGE_SEARCH_OBJECTS);

    CResultListDoc* table = Table();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->GetDocTemplate(), m_templates.GetTemplate(CSRC::kObjTemplate));
    EXPECT_EQ(m_doc->m_nDrawMode, CDIBDoc::kDrawModeResult);
    ASSERT_EQ(table->GetCount(), static_cast<int>(m_discs.size()));
    for (int i = 0; i < table->GetCount(); ++i) {
        const auto* record = dynamic_cast<CObjData*>(table->GetAt(i));
        ASSERT_NE(record, nullptr);
        const sDisc* disc = DiscOf(*record);
        ASSERT_NE(disc, nullptr) << record->m_ptCentroid.x << ", " << record->m_ptCentroid.y;
        EXPECT_NEAR(record->GetArea(), disc->pixels, 0.01 * disc->pixels) << disc->centre.x;
    }
    // The page shows the image as it was, not the smoothed one the count saw.
    EXPECT_TRUE(Same(Pixels(*m_doc), m_original));
    EXPECT_EQ(m_doc->GetUndoCount(), 0);

    Learn();
    Command(*m_doc, ID_IMAGE_SEARCH_OBJECTS);

    // The same table, emptied and filled again.
    ASSERT_EQ(m_doc->GetResultDoc(), table);
    ASSERT_EQ(table->GetCount(), static_cast<int>(m_discs.size()));
    for (int i = 0; i < table->GetCount(); ++i) {
        const auto* record = dynamic_cast<CObjData*>(table->GetAt(i));
        const sDisc* disc = DiscOf(*record);
        ASSERT_NE(disc, nullptr);
        EXPECT_EQ(record->m_strClassName, disc->className) << disc->centre.x;
        EXPECT_NE(record->m_Type & 0x80000000u, 0u);
        if (CString(disc->className) == "NC") {
            EXPECT_EQ(record->m_dClass, 0);
            EXPECT_EQ(record->m_ClassColor, 255u);
        } else {
            const bool isSmall = CString(disc->className) == "Small red";
            EXPECT_EQ(record->m_ClassColor, isSmall ? RGB(255, 0, 255) : RGB(0, 255, 255));
        }
    }
    EXPECT_TRUE(Same(Pixels(*m_doc), m_original));
}

TEST_F(CountObjectsTest, TheCountKeepsTheUsersOwnLastEdit)
{
    // The user darkens the image; the count with its filter chain must
    // neither undo that nor use up the undo copy.
    Command(*m_doc, ID_IMAGE_DARKER);
    ASSERT_EQ(m_doc->GetUndoCount(), 1);
    const cv::Mat darkened = Pixels(*m_doc);
    ASSERT_FALSE(Same(darkened, m_original));

    Command(*m_doc, ID_IMAGE_SEARCH_OBJECTS);
    Command(*m_doc, ID_IMAGE_SEARCH_OBJECTS);

    EXPECT_EQ(Table()->GetCount(), static_cast<int>(m_discs.size()));
    EXPECT_TRUE(Same(Pixels(*m_doc), darkened));
    ASSERT_EQ(m_doc->GetUndoCount(), 1);
    m_doc->PopUndo(CDIBDoc::undoPop);
    EXPECT_TRUE(Same(Pixels(*m_doc), m_original));
}

TEST_F(CountObjectsTest, WithoutAFrameTheTableLivesOnItsOwn)
{
    // A template that makes no frames, as long as there is no table view.
    m_templates.SetTemplate(CSRC::kObjTemplate,
                            new CMultiDocTemplate(kestrun::testing::IDR_TEST_TABLE, RUNTIME_CLASS(CResultListDoc),
                                                  nullptr, nullptr));
    m_doc->SearchObjects();
    CResultListDoc* table = Table();
    ASSERT_NE(table, nullptr);
    EXPECT_TRUE(table->Views().empty());
    EXPECT_EQ(table->GetCount(), static_cast<int>(m_discs.size()));
    m_doc->ReleaseDocument(table);
    table->OnCloseDocument();
}

// Two touching discs and one apart, counted with conglomerate cutting.
class CuttingCountTest : public CDIBDocExTest
{
protected:
    void SetUp() override
    {
        CDIBDocExTest::SetUp();
        m_doc = NewDocument(400, 200);
        m_pair = DrawDisc(*m_doc, {80, 100}, 35, RGB(40, 40, 40));
        DrawDisc(*m_doc, {140, 100}, 35, RGB(40, 40, 40));
        m_single = DrawDisc(*m_doc, {300, 100}, 30, RGB(40, 40, 40));
    }

    CResultListDoc* Table() const { return dynamic_cast<CResultListDoc*>(m_doc->GetResultDoc()); }
    CString StatusText() const { return m_main->m_wndStatusBar.GetPaneText(0); }

    std::vector<double> Areas() const
    {
        std::vector<double> areas;
        for (int i = 0; i < Table()->GetCount(); ++i)
            areas.push_back(dynamic_cast<CObjData&>(*Table()->GetAt(i)).GetArea());
        std::sort(areas.begin(), areas.end());
        return areas;
    }

    CDIBDocEx* m_doc = nullptr;
    int m_single = 0;
    int m_pair = 0; // one disc of the pair
};

TEST_F(CuttingCountTest, TouchingObjectsGetARowEach)
{
    // Both methods; the whole page, and an area in two sub-areas (one run
    // per cell): the pair lies in the first, the single disc in the second.
    for (const int type : {CObjectFilter::conCutConvexDefects, CObjectFilter::conCutWatershed}) {
        m_engine.GetSettings().m_ObjectFilter.m_ConCutType = type;
        for (const bool subAreas : {false, true}) {
            SCOPED_TRACE(std::to_string(type) + (subAreas ? " sub-areas" : " page"));
            m_engine.m_AOIDoc.ClearAOIs();
            if (subAreas) {
                std::unique_ptr<CAOI> area = std::make_unique<CAOI2>(CRect(10, 10, 390, 190));
                area->CreateRaster(2, 1, 0);
                m_engine.m_AOIDoc.SetImageSize(400, 200, true);
                ASSERT_EQ(m_engine.m_AOIDoc.AddAOI(area), 1);
            }
            m_boxes->Clear();

            Command(*m_doc, ID_IMAGE_SEARCH_OBJECTS);

            EXPECT_TRUE(m_boxes->Texts().empty());
            EXPECT_EQ(StatusText(), "");
            ASSERT_NE(Table(), nullptr);
            ASSERT_EQ(Table()->GetCount(), 3);
            const std::vector<double> areas = Areas();
            EXPECT_NEAR(areas[0], m_single, 0.06 * m_single);
            for (const double area : {areas[1], areas[2]})
                EXPECT_NEAR(area, m_pair * 0.95, 0.1 * m_pair);
        }
    }

    // Without cutting the pair is one row, measured whole.
    m_engine.m_AOIDoc.ClearAOIs();
    m_engine.GetSettings().m_ObjectFilter.m_ConCutType = CObjectFilter::conCutOff;
    Command(*m_doc, ID_IMAGE_SEARCH_OBJECTS);
    EXPECT_EQ(Table()->GetCount(), 2);
}

// "&Run Watershed" paints the separation of the touching pair into the
// page as one undo step; a count without cutting then finds them apart.
TEST_F(CuttingCountTest, RunWatershedPaintsTheSeparationAsOneUndoStep)
{
    ASSERT_TRUE(IsEnabled(*m_doc, ID_IMAGE_RUN_WATERSHED));
    m_engine.GetSettings().m_ObjectFilter.m_ConCutType = CObjectFilter::conCutOff;
    // An earlier step of the user's stays on the stack.
    m_doc->PushUndo(TRUE);
    const int before = m_doc->GetUndoCount();
    const cv::Mat original = Pixels(*m_doc);

    Command(*m_doc, ID_IMAGE_RUN_WATERSHED);

    EXPECT_TRUE(m_boxes->Texts().empty());
    EXPECT_EQ(m_doc->GetUndoCount(), before + 1);
    const cv::Mat painted = Pixels(*m_doc);
    cv::Mat changed;
    cv::compare(painted.reshape(1), original.reshape(1), changed, cv::CMP_NE);
    EXPECT_GT(cv::countNonZero(changed), 0);
    // Only the separation, in 0xFEFEFE, between the two discs of the pair.
    for (int y = 0; y < painted.rows; ++y)
        for (int x = 0; x < painted.cols; ++x)
            if (painted.at<cv::Vec3b>(y, x) != original.at<cv::Vec3b>(y, x)) {
                ASSERT_EQ(painted.at<cv::Vec3b>(y, x), cv::Vec3b(254, 254, 254)) << x << "," << y;
                ASSERT_NEAR(x, 110, 3) << y;
            }

    Command(*m_doc, ID_IMAGE_SEARCH_OBJECTS);
    EXPECT_EQ(Table()->GetCount(), 3);

    m_doc->PopUndo(CDIBDoc::undoPop);
    EXPECT_TRUE(Same(Pixels(*m_doc), original));
    EXPECT_EQ(m_doc->GetUndoCount(), before);
}

class EmptyCountTest : public CDIBDocExTest
{
};

TEST_F(EmptyCountTest, ACountThatFindsNothingSaysSoInTheStatusBar)
{
    CDIBDocEx* doc = NewDocument(200, 100);
    Command(*doc, ID_IMAGE_SEARCH_OBJECTS);
    auto* table = dynamic_cast<CResultListDoc*>(doc->GetResultDoc());
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->GetCount(), 0);
    EXPECT_EQ(m_main->m_wndStatusBar.GetPaneText(0), "No object was found");
    EXPECT_TRUE(m_boxes->Texts().empty());

    // Once something is found the line goes.
    DrawDisc(*doc, {50, 50}, 20, RGB(40, 40, 40));
    Command(*doc, ID_IMAGE_SEARCH_OBJECTS);
    EXPECT_EQ(table->GetCount(), 1);
    EXPECT_EQ(m_main->m_wndStatusBar.GetPaneText(0), "");
}

// "Model" 1: the count measures the edge object of the working area.
class EdgeObjectCountTest : public CDIBDocExTest
{
};

TEST_F(EdgeObjectCountTest, ABandGivesOneEdgeRow)
{
    CDIBDocEx* doc = NewDocument(400, 320);
    cv::Mat pixels = doc->GetActiveDIB()->GetMat();
    pixels.setTo(cv::Scalar::all(40));
    cv::rectangle(pixels, cv::Rect(0, 120, 400, 80), cv::Scalar::all(210), cv::FILLED);
    m_engine.GetSettings().m_SegThres = CSegThres(RGB(100, 100, 100), RGB(128, 128, 128), CSegThres::modeBright);
    m_engine.GetSettings().m_FormThres.m_Model = CFormThres::modelEdgeObject;

    Command(*doc, ID_IMAGE_SEARCH_OBJECTS);

    auto* table = dynamic_cast<CResultListDoc*>(doc->GetResultDoc());
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->GetCount(), 1);
    auto* edge = dynamic_cast<CEdgeObj*>(table->GetAt(0));
    ASSERT_NE(edge, nullptr);
    EXPECT_EQ(edge->GetColumnValues(1), "32");
    EXPECT_EQ(edge->GetColumnValues(4), "0°");
}

} // namespace
