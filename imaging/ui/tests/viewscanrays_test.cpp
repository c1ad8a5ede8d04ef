// The image view's measures along scan rays.

#include "imaging/ui/tests/viewtesting.h"

#include "imaging/dibdocex.h"
#include "imaging/ui/dibviewcommands.h"

#include "analysis/scanrayresult.h"
#include "platform/core/recording_dc.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>

namespace {

using kestrun::testing::CImageViewTest;

using CViewScanRaysTest = CImageViewTest;

TEST_F(CViewScanRaysTest, SearchEdgeAddsTheThinPartAsADrawnResult)
{
    // The program's image documents are the extended ones.
    m_imageTemplate->m_pDocClass = RUNTIME_CLASS(CDIBDocEx);
    auto* doc = dynamic_cast<CDIBDocEx*>(OpenPlate());
    ASSERT_NE(doc, nullptr);
    CDIBVwEx* view = ViewOf(doc);
    // A colony in the middle with a thin tail of 40 pixels to the right.
    cv::Mat pixels = doc->GetActiveDIB()->GetMat();
    pixels.setTo(cv::Scalar(205, 215, 200));
    cv::circle(pixels, {160, 120}, 30, cv::Scalar(20, 35, 70), cv::FILLED, cv::LINE_8);
    cv::rectangle(pixels, cv::Rect(190, 119, 40, 3), cv::Scalar(20, 35, 70), cv::FILLED);

    view->SendMessage(WM_COMMAND, ID_TOOL_SEARCH_EDGE, 0);
    ASSERT_EQ(doc->GetResults().size(), 1u);
    const auto* result = dynamic_cast<const CScanRayResult2*>(doc->GetResults().front().get());
    ASSERT_NE(result, nullptr);
    EXPECT_NEAR(result->m_Path.m_fValue1, 40.0, 4.0);
    ASSERT_GE(result->m_Path.m_Points.GetSize(), 2);

    // The view draws it: the rays in blue, the path in cyan.
    CRecordingDC dc;
    Render(view, dc);
    const auto& records = dc.Records();
    const auto lines = [&](COLORREF colour) {
        return std::count_if(records.begin(), records.end(), [colour](const CDCRecord& r) {
            return r.op == "LineTo" && r.pen.lopnColor == colour;
        });
    };
    EXPECT_GE(lines(RGB(0, 255, 255)), 1);
    EXPECT_GE(lines(RGB(0, 0, 255)), 64);
}

} // namespace
