// The watershed dialog on a handed mask: "Step" and "Peak" flood level by
// level until a dam parts two touching discs.

#include "dialogtesting.h"

#include "analysis/ui/analysisdlgresources.h"
#include "analysis/ui/watersheddlg.h"

#include <opencv2/imgproc.hpp>

#include <gtest/gtest.h>

namespace {

using namespace kestrun::analysisui;
using kestrun::testing::OnNextDialog;
using kestrun::testing::Press;

// Two discs of radius 12 whose centres lie 20 pixels apart.
CDIB touchingDiscs()
{
    CDIB image;
    EXPECT_TRUE(image.InitDIB(64, 40, 8));
    cv::Mat mat = image.GetMat();
    cv::circle(mat, cv::Point(20, 20), 12, cv::Scalar(254), cv::FILLED);
    cv::circle(mat, cv::Point(40, 20), 12, cv::Scalar(254), cv::FILLED);
    return image;
}

TEST(WatershedDialogTest, StepAndPeakFloodUntilADamPartsTheDiscs)
{
    CWatershedDlg dialog(touchingDiscs());
    int presses = 0;
    BYTE neckBefore = 0;
    OnNextDialog([&](CDialog& d) {
        auto& shown = dynamic_cast<CWatershedDlg&>(d);
        neckBefore = shown.GetImage().GetPixelIndex(30, 20);
        while (shown.GetWatershed().GetLevel() > 0 && presses < 200) {
            Press(d, IDC_WATERSHED_STEP);
            Press(d, IDC_WATERSHED_PEAK);
            presses += 2;
        }
        Press(d, IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_GT(presses, 2);
    const CDIB& image = dialog.GetImage();
    // Prepared: the neck is still an unflooded label.
    EXPECT_LT(neckBefore, 254);
    // Flooded: both centres belong to basins, the neck between them is a dam.
    EXPECT_EQ(image.GetPixelIndex(20, 20), 255);
    EXPECT_EQ(image.GetPixelIndex(40, 20), 255);
    int dams = 0;
    for (int x = 20; x <= 40; ++x) {
        const BYTE value = image.GetPixelIndex(x, 20);
        dams += value > 0 && value < 254 ? 1 : 0;
    }
    EXPECT_GT(dams, 0);
    // The background around them.
    EXPECT_EQ(image.GetPixelIndex(1, 1), 254);
}

} // namespace
