// The JPEG-quality chooser of AVI files: offered value, slider, range
// check and Cancel.

#include "imaging/avi.h"
#include "imaging/ui/aviqualitydlg.h"

#include "analysis/ui/tests/dialogtesting.h"
#include "platform/core/testing/scripted_message_boxes.h"

#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace kestrun::testing {
namespace {

namespace fs = std::filesystem;

TEST(AviQualityDlgTest, TheDialogChoosesTheQualityAndCancelWritesNothing)
{
    ScopedMessageBoxes boxes;
    const fs::path folder = fs::path(std::getenv("KESTRUN_DATA_ROOT")) / "AviQualityDlgTest";
    fs::remove_all(folder);
    fs::create_directories(folder);
    const fs::path image = folder / "frame.bmp";
    ASSERT_TRUE(cv::imwrite(image.string(), cv::Mat(24, 32, CV_8UC3, cv::Scalar(90, 120, 150))));
    CStringArray files;
    files.Add(image.c_str());
    const CString output = (folder / "run.avi").c_str();

    InstallAviQualityChooser();
    OnNextDialog([](CDialog& dialog) {
        EXPECT_EQ(TextOf(dialog, CAviQualityDlg::IDC_QUALITY_EDIT), "95") << "the default offered";
        Type(dialog, CAviQualityDlg::IDC_QUALITY_EDIT, "150");
        dialog.SendMessage(WM_COMMAND, IDOK);
        ASSERT_NE(dialog.GetSafeHwnd(), nullptr) << "refused, the dialog stays";
        Slide(dialog, CAviQualityDlg::IDC_QUALITY_SLIDER, 40);
        EXPECT_EQ(TextOf(dialog, CAviQualityDlg::IDC_QUALITY_EDIT), "40");
        dialog.SendMessage(WM_COMMAND, IDOK);
    });
    EXPECT_TRUE(CAVI().CreateFromImageFiles(output, files));
    EXPECT_EQ(boxes->Texts().size(), 1u) << "the range message";
    EXPECT_TRUE(fs::exists(output.GetString()));

    fs::remove(output.GetString());
    OnNextDialog([](CDialog& dialog) { dialog.SendMessage(WM_COMMAND, IDCANCEL); });
    EXPECT_FALSE(CAVI().CreateFromImageFiles(output, files));
    EXPECT_FALSE(fs::exists(output.GetString()));
    RemoveAviQualityChooser();
}

} // namespace
} // namespace kestrun::testing
