// The camera calibration file and the undistortion filter that reads it.

#include "analysis/cameracalibration.h"
#include "analysis/cvcalibfilter.h"
#include "analysis/cvfilters.h"
#include "platform/core/exceptions.h"
#include "platform/core/testing/scripted_message_boxes.h"
#include "platform/core/tests/scratch_folder.h"

#include <gtest/gtest.h>

#include <opencv2/calib3d.hpp>
#include <opencv2/imgproc.hpp>

#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

using kestrun::testing::ScopedMessageBoxes;

sCameraParams Camera(double k1, double cx = 40.0, double cy = 30.0)
{
    sCameraParams c;
    c.imgSize = {81.0, 61.0};
    c.matrix = {120.0, 0.0, cx, 0.0, 118.5, cy, 0.0, 0.0, 1.0};
    c.distortion = {k1, 0.0125, 0.001, -0.002};
    c.rotMatr = {1.0, 0.0, 0.0, 0.0, 0.5, -0.8660254038, 0.0, 0.8660254038, 0.5};
    c.transVect = {1.5, -2.25, 300.0};
    return c;
}

void WriteText(const std::filesystem::path& path, const std::string& text)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

template <size_t N>
void ExpectValues(const std::array<double, N>& actual, const std::array<double, N>& expected, double tolerance)
{
    for (size_t i = 0; i < N; ++i)
        EXPECT_NEAR(actual[i], expected[i], tolerance) << i;
}

void ExpectCamera(const sCameraParams& actual, const sCameraParams& expected, double tolerance)
{
    ExpectValues(actual.imgSize, expected.imgSize, tolerance);
    ExpectValues(actual.matrix, expected.matrix, tolerance);
    ExpectValues(actual.distortion, expected.distortion, tolerance);
    ExpectValues(actual.rotMatr, expected.rotMatr, tolerance);
    ExpectValues(actual.transVect, expected.transVect, tolerance);
}

// 27 numbers of one camera as text.
std::string CameraText(double k1)
{
    const sCameraParams c = Camera(k1);
    std::string text;
    const auto add = [&](const auto& values) {
        for (double v : values)
            text += std::to_string(v) + " ";
    };
    add(c.imgSize);
    add(c.matrix);
    add(c.distortion);
    add(c.rotMatr);
    add(c.transVect);
    return text;
}

TEST(CameraCalibrationFile, RoundTripsEveryCamera)
{
    CScratchFolder folder;
    const std::filesystem::path path = folder.Path() / "calib" / "camera.txt";
    CCameraCalibration written;
    written.m_Cameras = {Camera(-0.25), Camera(0.125, 41.0, 29.5)};
    written.Save(path.c_str());

    const std::string text = ReadBytes(path);
    EXPECT_EQ(text.rfind("2\n\n  81.0000000000   61.0000000000  120.0000000000 ", 0), 0U) << text;

    CCameraCalibration read;
    ASSERT_TRUE(read.Load(path.c_str()));
    ASSERT_EQ(read.m_Cameras.size(), 2U);
    ExpectCamera(read.m_Cameras[0], written.m_Cameras[0], 1e-10);
    ExpectCamera(read.m_Cameras[1], written.m_Cameras[1], 1e-10);
}

TEST(CameraCalibrationFile, IgnoresWhatFollowsTheCameras)
{
    CScratchFolder folder;
    const std::filesystem::path path = folder.Path() / "camera.txt";
    WriteText(path, "1\n\n" + CameraText(-0.5) + "\n\n 0 0 0 stereo block, notes, anything\n1e999 nan\n");
    CCameraCalibration read;
    ASSERT_TRUE(read.Load(path.c_str()));
    ASSERT_EQ(read.m_Cameras.size(), 1U);
    ExpectCamera(read.m_Cameras[0], Camera(-0.5), 1e-6);
}

TEST(CameraCalibrationFile, RefusesDamagedFilesAndKeepsWhatItHad)
{
    CScratchFolder folder;
    const std::string good = CameraText(0.1);
    const std::string shortBlock = good.substr(0, good.rfind(' ', good.size() - 2));
    std::string word = good;
    word.replace(word.find(' ', 40), 1, " abc ");
    struct Case
    {
        const char* name;
        std::string text;
    };
    for (const Case& c : {Case{"no cameras", "0\n" + good}, Case{"too many cameras", "4\n" + good},
                          Case{"count not a number", "x1\n" + good}, Case{"short block", "1\n" + shortBlock},
                          Case{"a word inside", "1\n" + word}, Case{"not finite", "1\n nan " + good},
                          Case{"trailing letters", "1\n1.5x " + good}, Case{"empty", ""}}) {
        SCOPED_TRACE(c.name);
        const std::filesystem::path path = folder.Path() / "camera.txt";
        WriteText(path, c.text);
        CCameraCalibration calibration;
        calibration.m_Cameras = {Camera(0.7)};
        EXPECT_FALSE(calibration.Load(path.c_str()));
        ASSERT_EQ(calibration.m_Cameras.size(), 1U);
        EXPECT_EQ(calibration.m_Cameras[0].distortion[0], 0.7);
    }
    CCameraCalibration missing;
    EXPECT_FALSE(missing.Load((folder.Path() / "none.txt").c_str()));
}

TEST(CameraCalibrationFile, SavingNothingIsRefused)
{
    CScratchFolder folder;
    CCameraCalibration empty;
    EXPECT_THROW(empty.Save((folder.Path() / "camera.txt").c_str()), CInvalidArgException);
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "camera.txt"));
}

// ------------------------------------------------------------------ undistortion

class UndistortFilterTest : public ::testing::Test
{
protected:
    void SetUp() override { std::filesystem::remove(Path()); }
    void TearDown() override { std::filesystem::remove(Path()); }

    static std::filesystem::path Path() { return CCameraCalibration::DefaultPath().GetString(); }
    static void Calibrate(const sCameraParams& camera)
    {
        CCameraCalibration calibration;
        calibration.m_Cameras = {camera};
        calibration.Save(CCameraCalibration::DefaultPath());
    }
    static CDIB PageFrom(const cv::Mat& image)
    {
        CDIB page;
        page.AssignMat(image);
        return page;
    }
    static cv::Mat Pattern()
    {
        cv::Mat image(61, 81, CV_8UC3);
        for (int y = 0; y < image.rows; ++y)
            for (int x = 0; x < image.cols; ++x)
                image.at<cv::Vec3b>(y, x) = cv::Vec3b(uchar(x * 3), uchar(y * 4), uchar((x * y) % 251));
        return image;
    }
};

TEST_F(UndistortFilterTest, WithoutDistortionThePageStays)
{
    sCameraParams camera = Camera(0.0);
    camera.distortion = {0.0, 0.0, 0.0, 0.0};
    Calibrate(camera);
    const cv::Mat image = Pattern();
    CDIB page = PageFrom(image);
    ASSERT_TRUE(UndistortFilter(&page));
    EXPECT_EQ(cv::norm(page.GetMat(), image, cv::NORM_INF), 0.0);
}

TEST_F(UndistortFilterTest, AgreesWithOpenCvOnThePictureTurnedUpsideDown)
{
    const sCameraParams camera = Camera(-0.3);
    Calibrate(camera);
    const cv::Mat image = Pattern();
    CDIB page = PageFrom(image);
    ASSERT_TRUE(UndistortFilter(&page));

    cv::Mat turned;
    cv::flip(image, turned, 0);
    cv::Mat undistorted;
    cv::undistort(turned, undistorted, cv::Mat(3, 3, CV_64F, const_cast<double*>(camera.matrix.data())),
                  cv::Mat(1, 4, CV_64F, const_cast<double*>(camera.distortion.data())));
    cv::Mat expected;
    cv::flip(undistorted, expected, 0);
    EXPECT_EQ(cv::norm(page.GetMat(), expected, cv::NORM_INF), 0.0);
}

TEST_F(UndistortFilterTest, TheDistortionCentreCountsRowsFromTheBottom)
{
    // Centre at file row 10 = page row 50 of 61: a dot there stays, its
    // mirror image at page row 10 moves.
    sCameraParams camera = Camera(2.0, 40.0, 10.0);
    camera.distortion = {2.0, 0.0, 0.0, 0.0};
    Calibrate(camera);
    cv::Mat image = cv::Mat::zeros(61, 81, CV_8UC1);
    image(cv::Rect(39, 49, 3, 3)).setTo(255);
    image(cv::Rect(39, 9, 3, 3)).setTo(255);
    CDIB page = PageFrom(image);
    ASSERT_TRUE(UndistortFilter(&page));
    EXPECT_EQ(page.GetMat().at<uchar>(50, 40), 255);
    EXPECT_EQ(page.GetMat().at<uchar>(10, 40), 0);
}

TEST_F(UndistortFilterTest, AMissingCalibrationIsToldOnceUntilOneLoads)
{
    ScopedMessageBoxes boxes;
    const cv::Mat image = Pattern();
    CDIB page = PageFrom(image);
    const CString text = "Camera not calibrated, Undistort filter will be ignored!";

    Calibrate(Camera(-0.1));
    ASSERT_TRUE(UndistortFilter(&page)); // whatever came before, the next loss is told
    std::filesystem::remove(Path());
    page = PageFrom(image);
    EXPECT_FALSE(UndistortFilter(&page));
    EXPECT_FALSE(UndistortFilter(&page));
    WriteText(Path(), "0\n");
    EXPECT_FALSE(UndistortFilter(&page));
    EXPECT_EQ(cv::norm(page.GetMat(), image, cv::NORM_INF), 0.0);
    EXPECT_EQ(boxes->Texts(), std::vector<CString>{text});

    Calibrate(Camera(-0.1));
    EXPECT_TRUE(UndistortFilter(&page));
    std::filesystem::remove(Path());
    EXPECT_FALSE(UndistortFilter(&page));
    EXPECT_EQ(boxes->Texts(), (std::vector<CString>{text, text}));
}

// ------------------------------------------------------------------ the calibration filter

TEST(CvCalibFilter, OnlyValuesALensCanHaveArePlausible)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case
    {
        const char* name;
        int index; // into matrix (0..8) or distortion (10..13); -1 none
        double value;
        bool plausible;
    };
    for (const Case& c : {Case{"as measured", -1, 0.0, true}, Case{"long focus", 0, 8000.0, true},
                          Case{"focal length zero", 0, 0.0, false}, Case{"negative focal length", 4, -120.0, false},
                          Case{"focal length far beyond the picture", 4, 1e5, false},
                          Case{"focal length not a number", 0, nan, false},
                          Case{"principal point left of the picture", 2, -1.0, false},
                          Case{"principal point below the picture", 5, 62.0, false},
                          Case{"strong barrel", 10, -5.0, true}, Case{"distortion absurd", 11, 3e4, false},
                          Case{"distortion infinite", 12, std::numeric_limits<double>::infinity(), false}}) {
        SCOPED_TRACE(c.name);
        sCameraParams camera = Camera(-0.2);
        if (c.index >= 10)
            camera.distortion[static_cast<size_t>(c.index - 10)] = c.value;
        else if (c.index >= 0)
            camera.matrix[static_cast<size_t>(c.index)] = c.value;
        EXPECT_EQ(CvCalibFilter::IsPlausible(camera), c.plausible);
    }
}

TEST(CvCalibFilter, ViewsThatAreNoChessboardGiveNoCalibration)
{
    // Corners scattered at random: no lens maps one board onto them.
    CvCalibFilter filter;
    filter.SetEtalon(6, 9, 1.375);
    std::mt19937 random(7);
    std::uniform_real_distribution<float> x(0.0f, 639.0f);
    std::uniform_real_distribution<float> y(0.0f, 479.0f);
    cv::Mat frame = cv::Mat::zeros(480, 640, CV_8UC1);
    EXPECT_FALSE(filter.FindEtalon(frame));
    // A straight board sets the frame size.
    cv::Mat board(480, 640, CV_8UC1, cv::Scalar(255));
    for (int row = 0; row < 9; ++row)
        for (int column = 0; column < 6; ++column)
            if ((row + column) % 2 == 0)
                board(cv::Rect(100 + column * 30, 60 + row * 30, 30, 30)).setTo(0);
    ASSERT_TRUE(filter.FindEtalon(board));
    EXPECT_EQ(filter.GetLatestPoints().size(), 40U);
    bool pushed = true;
    for (int view = 0; view < CvCalibFilter::kViewsNeeded; ++view) {
        std::vector<cv::Point2f> points(40);
        for (cv::Point2f& p : points)
            p = cv::Point2f(x(random), y(random));
        pushed = filter.Push(points);
    }
    EXPECT_FALSE(pushed);
    EXPECT_FALSE(filter.IsCalibrated());
    EXPECT_EQ(filter.GetViewCount(), 0);
    CScratchFolder folder;
    EXPECT_THROW(filter.SaveCameraParams((folder.Path() / "camera.txt").c_str()), CInvalidArgException);
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "camera.txt"));
}

} // namespace
