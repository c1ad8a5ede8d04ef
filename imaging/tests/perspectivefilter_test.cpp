// The filter chain's perspective step: a slanted view of a 2:1 rectangle
// straightened into the second page before it is counted.

#include "imaging/tests/dibdocextesting.h"

#include "analysis/aoi.h"
#include "analysis/objdata.h"
#include "analysis/objectfilter.h"

#include <vector>

namespace {

using kestrun::testing::CDIBDocExTest;
using kestrun::testing::CResultListDoc;
using kestrun::testing::kGround;

constexpr int kWidth = 400;
constexpr int kHeight = 480;
// The upright 2:1 field (200 x 100) and the trapezoid the camera sees.
const cv::Rect kField(100, 300, 200, 100);
const std::vector<cv::Point2f> kUprightCorners{{100, 400}, {300, 400}, {100, 300}, {300, 300}};
const std::vector<cv::Point2f> kSlantedCorners{{100, 400}, {300, 400}, {150, 320}, {250, 320}};
// Straightened, all of this comes from inside the camera's picture.
const cv::Rect kAround(70, 220, 260, 205);
constexpr double kSlantedArea = (200.0 + 100.0) / 2.0 * 80.0;

class PerspectiveFilterTest : public CDIBDocExTest
{
protected:
    void SetUp() override
    {
        CDIBDocExTest::SetUp();
        // The count looks around the field only: the straightened page is
        // black where it sees beyond the camera's picture (below row 433
        // and far to the sides).
        m_engine.m_AOIDoc.SetImageSize(kWidth, kHeight, true);
        std::unique_ptr<CAOI> area = std::make_unique<CAOI2>(CRect(kAround.x, kAround.y, kAround.br().x, kAround.br().y));
        ASSERT_EQ(m_engine.m_AOIDoc.AddAOI(area), 1);
    }

    // A new document whose page is a dark field seen at a slant.
    void OpenSlanted()
    {
        m_doc = NewDocument(kWidth, kHeight);
        cv::Mat upright(kHeight, kWidth, CV_8UC3, cv::Scalar::all(kGround));
        cv::rectangle(upright, kField, cv::Scalar::all(30), cv::FILLED);
        cv::warpPerspective(upright, m_doc->GetActiveDIB()->GetMat(),
                            cv::getPerspectiveTransform(kUprightCorners, kSlantedCorners), upright.size(),
                            cv::INTER_NEAREST, cv::BORDER_CONSTANT, cv::Scalar::all(kGround));
        m_original = Pixels(*m_doc);
    }

    void Calibrate(double width, double height)
    {
        m_engine.GetSettings().m_Perspective.Set(CPoint(100, 400), CPoint(300, 400), CPoint(150, 320),
                                                 CPoint(250, 320), width, height);
    }

    CResultListDoc* Table() const { return dynamic_cast<CResultListDoc*>(m_doc->GetResultDoc()); }

    CDIBDocEx* m_doc = nullptr;
    cv::Mat m_original;
};

TEST_F(PerspectiveFilterTest, TheStepStraightensIntoTheSecondPageWhenCalibrated)
{
    struct sCase
    {
        const char* what;
        bool step;
        double width, height;
        int pages, active;
        std::vector<CString> told;
    };
    const sCase cases[] = {
        {"step on", true, 200.0, 100.0, 2, 1, {}},
        {"step off", false, 200.0, 100.0, 1, 0, {}},
        {"not calibrated", true, 0.0, 100.0, 1, 0, {"Not calibrated for Perspective filter!"}},
        {"beyond 100 megapixels", true, 1.0, 1e6, 1, 0,
         {"Perspective filter: the straightened image would be too large!"}},
    };
    for (const sCase& c : cases) {
        SCOPED_TRACE(c.what);
        OpenSlanted();
        m_boxes->Clear();
        m_engine.GetSettings().m_ObjectFilter.m_arrayFilter.RemoveAll();
        if (c.step)
            m_engine.AddFilterSelection(filterPerspective);
        // A later step works on the straightened page.
        m_engine.AddFilterSelection(filterSmooth);
        Calibrate(c.width, c.height);

        EXPECT_TRUE(m_doc->RunImageFilter());
        EXPECT_EQ(m_boxes->Texts(), c.told);
        ASSERT_EQ(m_doc->GetPageCount(), c.pages);
        EXPECT_EQ(m_doc->GetActiveIndex(), c.active);
        if (c.pages < 2)
            continue;
        // The field upright, to 1 px, and smoothed after the straightening.
        cv::Mat dark;
        cv::inRange(m_doc->GetPage(1)->GetMat(), cv::Scalar::all(1), cv::Scalar::all(100), dark);
        const cv::Rect box = cv::boundingRect(dark(kAround)) + kAround.tl();
        EXPECT_NEAR(box.x, kField.x, 1);
        EXPECT_NEAR(box.y, kField.y, 1);
        EXPECT_NEAR(box.br().x, kField.br().x, 1);
        EXPECT_NEAR(box.br().y, kField.br().y, 1);
        const cv::Vec3b edge = m_doc->GetPage(1)->GetMat().at<cv::Vec3b>(kField.y + 50, kField.x);
        EXPECT_GT(edge[0], 30);
        EXPECT_LT(edge[0], kGround);
        EXPECT_EQ(m_doc->GetPage(1)->GetWidth(), kWidth);
        EXPECT_EQ(m_doc->GetPage(1)->GetHeight(), kHeight);
        EXPECT_TRUE(Same(m_doc->GetPage(0)->GetMat(), m_original)) << "the camera's page stays";
    }
}

TEST_F(PerspectiveFilterTest, ACountMeasuresTheStraightenedField)
{
    struct sCase
    {
        const char* what;
        bool step;
        double area;
        double aspect;
        double tolerance;
    };
    // Unstraightened, the trapezoid's outline is only roughly its area.
    const sCase cases[] = {
        {"step on", true, kField.area(), 2.0, 0.02},
        {"step off", false, kSlantedArea, 2.5, 0.05},
    };
    for (const sCase& c : cases) {
        SCOPED_TRACE(c.what);
        OpenSlanted();
        m_engine.GetSettings().m_ObjectFilter.m_arrayFilter.RemoveAll();
        if (c.step)
            m_engine.AddFilterSelection(filterPerspective);
        Calibrate(200.0, 100.0);
        Command(*m_doc, ID_IMAGE_SEARCH_OBJECTS);

        CResultListDoc* table = Table();
        ASSERT_NE(table, nullptr);
        ASSERT_EQ(table->GetCount(), 1);
        const auto* record = dynamic_cast<CObjData*>(table->GetAt(0));
        ASSERT_NE(record, nullptr);
        EXPECT_NEAR(record->GetArea(), c.area, c.tolerance * c.area);
        EXPECT_NEAR(double(record->m_Rect.Width()) / record->m_Rect.Height(), c.aspect, c.tolerance * c.aspect);
        // The page the camera took comes back as it was.
        EXPECT_TRUE(Same(m_doc->GetPage(0)->GetMat(), m_original));
    }
}

} // namespace
