#include "outside/grabwell/simulatedcamera.h"

#include <gtest/gtest.h>
#include <opencv2/calib3d.hpp>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <vector>

namespace {

using kestrun::CBoardSettings;
using kestrun::CSimulatedCamera;

bool same(const cv::Mat& a, const cv::Mat& b)
{
    return a.size() == b.size() && a.type() == b.type() && cv::norm(a, b, cv::NORM_INF) == 0.0;
}

cv::Mat frameOf(const CBoardSettings& settings, long long index)
{
    cv::Mat frame;
    CSimulatedCamera(settings).Render(index, frame);
    return frame;
}

} // namespace

TEST(SimulatedCameraTest, FramesFollowFromSeedChannelAndIndexAlone)
{
    CBoardSettings settings;
    CSimulatedCamera camera(settings);
    cv::Mat first;
    cv::Mat second;
    ASSERT_TRUE(camera.ReadFrame(first));
    ASSERT_TRUE(camera.ReadFrame(second));
    EXPECT_EQ(first.size(), cv::Size(640, 480));
    EXPECT_EQ(first.type(), CV_8UC3);

    // Another camera with the same settings films the same scene...
    EXPECT_TRUE(same(first, frameOf(settings, 0)));
    EXPECT_TRUE(same(second, frameOf(settings, 1)));
    // ...which drifts from frame to frame.
    EXPECT_FALSE(same(first, second));

    CBoardSettings otherSeed = settings;
    otherSeed.simulatedSeed = 2;
    EXPECT_FALSE(same(first, frameOf(otherSeed, 0)));
    CBoardSettings otherChannel = settings;
    otherChannel.inputChannel = 1;
    EXPECT_FALSE(same(first, frameOf(otherChannel, 0)));
}

TEST(SimulatedCameraTest, ObjectsStandOutFromTheBackgroundInEveryFrame)
{
    // A long run: objects bounce off the edges and never leave the picture.
    CBoardSettings settings;
    settings.simulatedWidth = 160;
    settings.simulatedHeight = 120;
    CSimulatedCamera camera(settings);
    const cv::Vec3b background(214, 218, 220);
    for (long long index : {0LL, 7LL, 500LL, 12345LL}) {
        cv::Mat frame;
        camera.Render(index, frame);
        cv::Mat isBackground;
        cv::inRange(frame, cv::Scalar(background[0], background[1], background[2]),
                    cv::Scalar(background[0], background[1], background[2]), isBackground);
        const int objectPixels = frame.rows * frame.cols - cv::countNonZero(isBackground);
        EXPECT_GT(objectPixels, 200) << "frame " << index;
        EXPECT_LT(objectPixels, frame.rows * frame.cols / 2) << "frame " << index;
    }
}

TEST(SimulatedCameraTest, AppliesNewSizeAndRefusesAnEmptyOne)
{
    CBoardSettings settings;
    CSimulatedCamera camera(settings);
    settings.simulatedWidth = 200;
    settings.simulatedHeight = 100;
    camera.Apply(settings);
    cv::Mat frame;
    ASSERT_TRUE(camera.ReadFrame(frame));
    EXPECT_EQ(frame.size(), cv::Size(200, 100));

    settings.simulatedWidth = 0;
    camera.Apply(settings);
    EXPECT_FALSE(camera.Open());
    EXPECT_FALSE(camera.GetLastError().IsEmpty());
}

TEST(SimulatedCameraTest, TheChessboardSceneShowsTheWholeBoardInANewPoseThroughItsLens)
{
    CBoardSettings settings;
    settings.simulatedScene = 1;
    CSimulatedCamera camera(settings);
    const cv::Size inner(CSimulatedCamera::kBoardSquaresAcross - 1, CSimulatedCamera::kBoardSquaresDown - 1);
    std::vector<cv::Point3f> board;
    for (int y = 0; y < inner.height; ++y)
        for (int x = 0; x < inner.width; ++x)
            board.emplace_back(float(x * CSimulatedCamera::kBoardSquareSize),
                               float(y * CSimulatedCamera::kBoardSquareSize), 0.0f);

    std::vector<std::vector<cv::Point2f>> views;
    for (int index = 0; index < 14; ++index) {
        cv::Mat frame;
        ASSERT_TRUE(camera.ReadFrame(frame));
        ASSERT_EQ(frame.size(), cv::Size(640, 480));
        cv::Mat grey;
        cv::cvtColor(frame, grey, cv::COLOR_BGR2GRAY);
        std::vector<cv::Point2f> corners;
        ASSERT_TRUE(cv::findChessboardCorners(grey, inner, corners)) << "frame " << index;
        cv::cornerSubPix(grey, corners, cv::Size(5, 5), cv::Size(-1, -1),
                         cv::TermCriteria(cv::TermCriteria::EPS | cv::TermCriteria::COUNT, 30, 0.01));
        if (!views.empty()) {
            EXPECT_GT(cv::norm(corners, views.back(), cv::NORM_INF), 5.0) << "frame " << index;
        }
        views.push_back(corners);
    }
    cv::Mat matrix;
    cv::Mat distortion;
    std::vector<cv::Mat> rotations;
    std::vector<cv::Mat> translations;
    const double error = cv::calibrateCamera(std::vector<std::vector<cv::Point3f>>(views.size(), board), views,
                                             cv::Size(640, 480), matrix, distortion, rotations, translations,
                                             cv::CALIB_FIX_K3);
    EXPECT_LT(error, 0.5);
    const kestrun::CSimulatedLens lens = CSimulatedCamera::ChessboardLens(640, 480);
    EXPECT_NEAR(matrix.at<double>(0, 0), lens.fx, 0.01 * lens.fx);
    EXPECT_NEAR(matrix.at<double>(1, 1), lens.fy, 0.01 * lens.fy);
    EXPECT_NEAR(matrix.at<double>(0, 2), lens.cx, 2.0);
    EXPECT_NEAR(matrix.at<double>(1, 2), lens.cy, 2.0);
    EXPECT_NEAR(distortion.at<double>(0), lens.k1, 0.03);
}
