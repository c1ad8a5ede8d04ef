#include "database/ui/bvformview.h"

#include "analysis/aoi.h"
#include "analysis/aoipatterns.h"
#include "analysis/bv.h"
#include "imaging/dibdocex.h"
#include "platform/core/testing/scripted_message_boxes.h"
#include "platform/ui/testing/fake_app_services.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using kestrun::testing::ScopedMessageBoxes;

class CProbeForm : public CBVFormView
{
public:
    CProbeForm() : CBVFormView(1) {}
    BOOL CreateImageView(BOOL) override { return TRUE; }
    void Adopt(CDIBDocEx* doc) { m_pImageDoc = doc; }
};

constexpr CRect kLearned(60, 50, 100, 90);

// A bright bump in the middle of the learned area: the border differs more
// the farther the area lies from it.
class CheckBackgroundTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_services.m_pEngine = &m_engine;
        m_previous = kestrun::SetAppServices(&m_services);
        m_doc = new CDIBDocEx;
        auto page = std::make_unique<CDIB>();
        ASSERT_TRUE(page->InitDIB(200, 160, 24));
        cv::Mat pixels = page->GetMat();
        for (int y = 0; y < 160; ++y) {
            for (int x = 0; x < 200; ++x) {
                const double r2 = (x - 80.0) * (x - 80.0) + (y - 70.0) * (y - 70.0);
                const auto v = static_cast<uchar>(20.0 + 230.0 * std::exp(-r2 / (2.0 * 25.0 * 25.0)));
                pixels.at<cv::Vec3b>(y, x) = cv::Vec3b(v, v, v);
            }
        }
        m_doc->AddPage(std::move(page));
        m_engine.m_AOIDoc.ClearAOIs();
        m_engine.m_AOIDoc.SetImageSize(200, 160, true);
        std::unique_ptr<CAOI> area = std::make_unique<CAOI2>(kLearned);
        auto pattern = std::make_unique<CDIB>();
        ASSERT_TRUE(LearnBorderPattern(*area, *m_doc->GetActiveDIB(), pattern.get()));
        area->AddPattern(std::move(pattern), 0);
        m_area = area.get();
        ASSERT_NE(m_engine.m_AOIDoc.AddAOI(area), 0);
        m_form.Adopt(m_doc);
    }

    void TearDown() override
    {
        m_form.DetachImageView();
        kestrun::SetAppServices(m_previous);
    }

    void MoveArea(int x, int y) { m_area->SetPosition(x, y, 40, 40, 0, 0, 200, 160, CAOI::setPosition); }
    void DarkenPage() { m_doc->GetActiveDIB()->GetMat().setTo(cv::Scalar::all(0)); }

    CBV m_engine;
    kestrun::testing::CFakeAppServices m_services;
    CAppServices* m_previous = nullptr;
    CDIBDocEx* m_doc = nullptr;
    CAOI* m_area = nullptr;
    CProbeForm m_form;
    ScopedMessageBoxes m_boxes;
};

TEST_F(CheckBackgroundTest, SwitchOffSearchesNothing)
{
    MoveArea(66, 52);
    EXPECT_EQ(m_form.CheckBackground(), 1);
    EXPECT_EQ(m_area->GetRect(), CRect(66, 52, 106, 92));
    EXPECT_TRUE(m_boxes->Texts().empty());
}

TEST_F(CheckBackgroundTest, MatchingBackgroundLeavesTheAreaWhereItFitsBest)
{
    m_doc->m_nCheckBackground = 1;
    MoveArea(66, 52);
    EXPECT_EQ(m_form.CheckBackground(), 1);
    EXPECT_EQ(m_area->GetRect(), kLearned);
    EXPECT_TRUE(m_boxes->Texts().empty());
}

TEST_F(CheckBackgroundTest, ThresholdDecidesWhetherTheOperatorIsAsked)
{
    struct Case
    {
        const char* what;
        bool darken;
        double threshold;
        int answer;
        int result;
        bool asked;
    };
    const Case cases[] = {
        {"threshold 0 never asks", true, 0.0, 0, 1, false},
        {"a match passes the default", false, 0.7, 0, 1, false},
        {"a mismatch, No", true, 0.7, IDNO, 0, true},
        {"a mismatch, Yes", true, 0.7, IDYES, 1, true},
        {"above 1 + 1/255 always asks", false, 1.0 + 2.0 / 255.0, IDYES, 1, true},
        {"an undefined threshold never asks", true, std::nan(""), 0, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TearDown();
        SetUp();
        m_doc->m_nCheckBackground = 1;
        m_doc->m_dAOIMatchThreshold = c.threshold;
        MoveArea(64, 50);
        if (c.darken)
            DarkenPage();
        ScopedMessageBoxes boxes;
        if (c.asked)
            boxes->QueueAnswer(c.answer);
        EXPECT_EQ(m_form.CheckBackground(), c.result);
        ASSERT_EQ(boxes->Texts().size(), c.asked ? 1U : 0U);
        if (c.asked) {
            EXPECT_EQ(boxes->Texts()[0],
                      CString("Background mismatch - do you really like to carry out this measurement?"));
            // The area goes back to where it was before the search.
            EXPECT_EQ(m_area->GetRect(), CRect(64, 50, 104, 90));
        }
    }
}

// The form's own image document: made on first need, gone after a failure.
TEST(BVFormView, ImagesComeAndAFailureLeavesNoDocument)
{
    ScopedMessageBoxes boxes;
    CProbeForm form;
    CDIBDocEx* made = form.AcquireImage(nullptr);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made, form.GetImageDocument());
    EXPECT_EQ(form.GetImageDocument()->GetPageCount(), 0);
    auto page = std::make_unique<CDIB>();
    ASSERT_TRUE(page->InitDIB(30, 20, 24));
    CDIBDocEx* doc = form.AcquireImage(std::move(page));
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->GetPageCount(), 1);
    EXPECT_EQ(doc->GetActiveDIB()->GetWidth(), 30);

    // A page without pixels is a failed import.
    EXPECT_EQ(form.AcquireImage(std::make_unique<CDIB>()), nullptr);
    EXPECT_EQ(form.GetImageDocument(), nullptr);

    EXPECT_EQ(form.OpenImageFile("/no/such/folder/plate.jpg"), nullptr);
    EXPECT_EQ(form.GetImageDocument(), nullptr);
    EXPECT_EQ(boxes->Texts().size(), 1U);
}

} // namespace
