// Camera calibration through the image document: chessboard views of the
// board's simulated camera, a lens fitted and stored for the undistortion
// filter; and the grab into an OpenCV image it is built on.

#include "imaging/tests/boardprobe.h"
#include "imaging/tests/dibdocextesting.h"

#include "analysis/cameracalibration.h"
#include "analysis/cvfilters.h"
#include "outside/grabwell/fgboard.h"
#include "outside/grabwell/simulatedcamera.h"
#include "platform/core/tests/scratch_folder.h"

#include <opencv2/calib3d.hpp>

#include <filesystem>
#include <vector>

namespace {

using kestrun::CSimulatedCamera;
namespace fgparam = kestrun::fgparam;

class CalibrateCameraTest : public kestrun::testing::CDIBDocExTest
{
protected:
    void SetUp() override
    {
        CDIBDocExTest::SetUp();
        m_board = GetFG();
        ASSERT_TRUE(kestrun::testing::UseSimulatedBoard(*m_board, m_clock));
        std::filesystem::remove(CalibrationFile());
        m_doc = NewDocument(64, 48);
    }
    void TearDown() override
    {
        m_board->SetParameter(fgparam::kSimulatedScene, 0);
        m_board->SetParameter(fgparam::kLiveWidth, 640);
        m_board->SetParameter(fgparam::kLiveHeight, 480);
        m_board->SetClock(nullptr);
        std::filesystem::remove(CalibrationFile());
        CDIBDocExTest::TearDown();
    }

    void Film(int scene, int width, int height)
    {
        ASSERT_TRUE(m_board->SetParameter(fgparam::kSimulatedScene, scene));
        ASSERT_TRUE(m_board->SetParameter(fgparam::kLiveWidth, width));
        ASSERT_TRUE(m_board->SetParameter(fgparam::kLiveHeight, height));
    }

    static std::filesystem::path CalibrationFile() { return CCameraCalibration::DefaultPath().GetString(); }

    // The largest distance of a chessboard corner from the straight line
    // through its row or column of corners.
    static double WorstBend(const cv::Mat& frame)
    {
        const cv::Size inner(CSimulatedCamera::kBoardSquaresAcross - 1, CSimulatedCamera::kBoardSquaresDown - 1);
        cv::Mat grey;
        cv::cvtColor(frame, grey, cv::COLOR_BGR2GRAY);
        std::vector<cv::Point2f> corners;
        EXPECT_TRUE(cv::findChessboardCorners(grey, inner, corners));
        if (corners.size() != static_cast<size_t>(inner.area()))
            return 1e9;
        cv::cornerSubPix(grey, corners, cv::Size(5, 5), cv::Size(-1, -1),
                         cv::TermCriteria(cv::TermCriteria::EPS | cv::TermCriteria::COUNT, 50, 0.001));
        double worst = 0.0;
        const auto bend = [&](const std::vector<cv::Point2f>& line) {
            cv::Vec4f fit;
            cv::fitLine(line, fit, cv::DIST_L2, 0, 0.01, 0.01);
            for (const cv::Point2f& p : line)
                worst = std::max(worst, double(std::abs((p.x - fit[2]) * fit[1] - (p.y - fit[3]) * fit[0])));
        };
        for (int row = 0; row < inner.height; ++row)
            bend({corners.begin() + row * inner.width, corners.begin() + (row + 1) * inner.width});
        for (int column = 0; column < inner.width; ++column) {
            std::vector<cv::Point2f> line;
            for (int row = 0; row < inner.height; ++row)
                line.push_back(corners[static_cast<size_t>(row * inner.width + column)]);
            bend(line);
        }
        return worst;
    }

    kestrun::ManualClock m_clock;
    FGBoard* m_board = nullptr;
    CDIBDocEx* m_doc = nullptr;
};

TEST_F(CalibrateCameraTest, TheGrabEqualsTheBoardsPageRowByRow)
{
    // Widths whose rows are not whole words are padded in the page.
    for (const cv::Size size : {cv::Size(3, 5), cv::Size(3, 1), cv::Size(5, 4), cv::Size(641, 3)}) {
        SCOPED_TRACE(size.width);
        Film(0, size.width, size.height);
        const cv::Mat image = CDIBDocEx::GrabToIplImage();
        const cv::Mat page = m_board->GetDIB()->GetMat();
        ASSERT_EQ(image.size(), size);
        ASSERT_EQ(image.type(), CV_8UC3);
        ASSERT_EQ(page.size(), size);
        EXPECT_EQ(cv::norm(image, page, cv::NORM_INF), 0.0);
    }
}

TEST_F(CalibrateCameraTest, FindsTheLensAndTheFilterStraightensTheBoardWithIt)
{
    // An old calibration answered OK is replaced.
    CCameraCalibration old;
    old.m_Cameras.resize(1);
    old.m_Cameras[0].matrix = {100.0, 0.0, 32.0, 0.0, 100.0, 24.0, 0.0, 0.0, 1.0};
    old.Save(CCameraCalibration::DefaultPath());
    Film(1, 640, 480);
    m_boxes->QueueAnswer(IDOK);

    ASSERT_TRUE(m_doc->CalibrateCamera());
    EXPECT_EQ(m_boxes->Texts(), (std::vector<CString>{"Camera already calibrated. Overwrite calibration data?",
                                                      "Start camera calibration: checkerboard must be in view, then click OK",
                                                      "Calibrated"}));
    EXPECT_EQ(m_boxes->Tones(), std::vector<DWORD>(10, 5000));

    CCameraCalibration stored;
    ASSERT_TRUE(stored.Load(CCameraCalibration::DefaultPath()));
    ASSERT_EQ(stored.m_Cameras.size(), 1U);
    const sCameraParams& camera = stored.m_Cameras[0];
    const kestrun::CSimulatedLens lens = CSimulatedCamera::ChessboardLens(640, 480);
    EXPECT_EQ(camera.imgSize, (std::array<double, 2>{640.0, 480.0}));
    EXPECT_NEAR(camera.matrix[0], lens.fx, 0.02 * lens.fx);
    EXPECT_NEAR(camera.matrix[4], lens.fy, 0.02 * lens.fy);
    EXPECT_NEAR(camera.matrix[2], lens.cx, 3.0);
    // Rows from the bottom.
    EXPECT_NEAR(camera.matrix[5], 479.0 - lens.cy, 3.0);
    EXPECT_NEAR(camera.distortion[0], lens.k1, 0.03);

    // Frames the calibration has not seen.
    double bentBefore = 0.0;
    for (int frame = 0; frame < 4; ++frame) {
        ASSERT_DOUBLE_EQ(m_board->GrabFrame(0), 1.0);
        CDIB page = *m_board->GetDIB();
        bentBefore = std::max(bentBefore, WorstBend(page.GetMat()));
        ASSERT_TRUE(UndistortFilter(&page));
        EXPECT_LT(WorstBend(page.GetMat()), 0.5) << "frame " << frame;
    }
    // The lens bends the lines beyond what the filter's result may keep.
    EXPECT_GT(bentBefore, 0.5);
}

TEST_F(CalibrateCameraTest, WithoutAChessboardItFailsAfterThirtyMissesAndWritesNothing)
{
    Film(0, 160, 120);
    const int frames = m_board->GetFrameCount();
    EXPECT_FALSE(m_doc->CalibrateCamera());
    EXPECT_EQ(m_board->GetFrameCount() - frames, 30);
    EXPECT_EQ(m_boxes->Tones(), std::vector<DWORD>(30, 1000));
    EXPECT_EQ(m_boxes->Texts(), (std::vector<CString>{"Start camera calibration: checkerboard must be in view, then click OK",
                                                      "Calibration failed"}));
    EXPECT_FALSE(std::filesystem::exists(CalibrationFile()));
}

TEST_F(CalibrateCameraTest, TheCommandOnAnExistingCalibrationAnsweredCancelGrabsNothing)
{
    CCameraCalibration old;
    old.m_Cameras.resize(1);
    old.m_Cameras[0].matrix = {100.0, 0.0, 32.0, 0.0, 100.0, 24.0, 0.0, 0.0, 1.0};
    old.Save(CCameraCalibration::DefaultPath());
    const std::string before = ReadBytes(CalibrationFile());
    Film(1, 640, 480);
    const int frames = m_board->GetFrameCount();
    m_boxes->QueueAnswer(IDCANCEL);

    ASSERT_TRUE(IsEnabled(*m_doc, ID_IMAGE_CALIBRATE_CAMERA));
    Command(*m_doc, ID_IMAGE_CALIBRATE_CAMERA);
    EXPECT_EQ(m_board->GetFrameCount(), frames);
    EXPECT_EQ(m_boxes->Texts(), std::vector<CString>{"Camera already calibrated. Overwrite calibration data?"});
    EXPECT_TRUE(m_boxes->Tones().empty());
    EXPECT_EQ(ReadBytes(CalibrationFile()), before);
}

} // namespace
