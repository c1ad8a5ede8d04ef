#include "analysis/cvcalibfilter.h"

#include "platform/core/exceptions.h"

#include <opencv2/calib3d.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kMaxFocalToSide = 100.0;
constexpr double kMaxDistortion = 100.0;

template <size_t N>
bool AllFinite(const std::array<double, N>& values)
{
    return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

} // namespace

void CvCalibFilter::SetEtalon(int squaresAcross, int squaresDown, double squareSize)
{
    if (squaresAcross < 3 || squaresDown < 3 || !(squareSize > 0.0) || !std::isfinite(squareSize))
        AfxThrowInvalidArgException();
    m_patternSize = cv::Size(squaresAcross - 1, squaresDown - 1);
    m_squareSize = squareSize;
    m_imageSize = cv::Size();
    m_latest.clear();
    m_views.clear();
    m_bCalibrated = false;
}

bool CvCalibFilter::FindEtalon(const cv::Mat& frame)
{
    m_latest.clear();
    if (frame.empty() || frame.depth() != CV_8U || (frame.channels() != 1 && frame.channels() != 3))
        return false;
    if (!m_views.empty() && frame.size() != m_imageSize)
        return false;
    cv::Mat grey;
    if (frame.channels() == 3)
        cv::cvtColor(frame, grey, cv::COLOR_BGR2GRAY);
    else
        grey = frame;
    std::vector<cv::Point2f> corners;
    if (!cv::findChessboardCorners(grey, m_patternSize, corners,
                                   cv::CALIB_CB_ADAPTIVE_THRESH | cv::CALIB_CB_NORMALIZE_IMAGE))
        return false;
    cv::cornerSubPix(grey, corners, cv::Size(5, 5), cv::Size(-1, -1),
                     cv::TermCriteria(cv::TermCriteria::EPS | cv::TermCriteria::COUNT, 30, 0.01));
    m_latest = std::move(corners);
    m_imageSize = frame.size();
    return true;
}

bool CvCalibFilter::Push(const std::vector<cv::Point2f>& points)
{
    if (points.size() != static_cast<size_t>(m_patternSize.area()) || m_imageSize.empty())
        return true;
    m_views.push_back(points);
    if (static_cast<int>(m_views.size()) < kViewsNeeded)
        return true;
    const bool calibrated = Calibrate();
    m_views.clear();
    return calibrated;
}

bool CvCalibFilter::Calibrate()
{
    std::vector<cv::Point3f> board;
    for (int y = 0; y < m_patternSize.height; ++y)
        for (int x = 0; x < m_patternSize.width; ++x)
            board.emplace_back(static_cast<float>(x * m_squareSize), static_cast<float>(y * m_squareSize), 0.0f);
    cv::Mat matrix;
    cv::Mat distortion;
    std::vector<cv::Mat> rotations;
    std::vector<cv::Mat> translations;
    double error = 0.0;
    try {
        error = cv::calibrateCamera(std::vector<std::vector<cv::Point3f>>(m_views.size(), board), m_views,
                                    m_imageSize, matrix, distortion, rotations, translations, cv::CALIB_FIX_K3);
    } catch (const cv::Exception&) {
        return false;
    }
    if (!std::isfinite(error) || error > kMaxReprojectionError || rotations.empty())
        return false;
    const sCameraParams camera =
        ToFileConvention(m_imageSize, cv::Matx33d(matrix), distortion, rotations.back(), translations.back());
    if (!IsPlausible(camera))
        return false;
    m_camera = camera;
    m_bCalibrated = true;
    return true;
}

sCameraParams CvCalibFilter::ToFileConvention(const cv::Size& size, const cv::Matx33d& matrix,
                                              const cv::Mat& distortion, const cv::Mat& rotation,
                                              const cv::Mat& translation)
{
    // Rows from the bottom: y -> (height - 1) - y. The principal point's y
    // follows, p1 (the term odd in y) changes sign, and the camera's y axis
    // turns round.
    const double lastRow = size.height - 1.0;
    sCameraParams camera;
    camera.imgSize = {static_cast<double>(size.width), static_cast<double>(size.height)};
    camera.matrix = {matrix(0, 0), -matrix(0, 1), matrix(0, 2), 0.0, matrix(1, 1), lastRow - matrix(1, 2),
                     0.0,          0.0,           1.0};
    const cv::Mat coefficients = distortion.reshape(1, 1);
    for (int i = 0; i < 4 && i < coefficients.cols; ++i)
        camera.distortion[static_cast<size_t>(i)] = coefficients.at<double>(0, i);
    camera.distortion[2] = -camera.distortion[2];

    cv::Matx33d turn;
    cv::Rodrigues(rotation, turn);
    const cv::Matx33d flipY(1.0, 0.0, 0.0, 0.0, -1.0, 0.0, 0.0, 0.0, 1.0);
    const cv::Matx33d turned = flipY * turn;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            camera.rotMatr[static_cast<size_t>(r * 3 + c)] = turned(r, c);
    const cv::Mat shift = translation.reshape(1, 3);
    camera.transVect = {shift.at<double>(0), -shift.at<double>(1), shift.at<double>(2)};
    return camera;
}

bool CvCalibFilter::IsPlausible(const sCameraParams& camera)
{
    if (!AllFinite(camera.imgSize) || !AllFinite(camera.matrix) || !AllFinite(camera.distortion) ||
        !AllFinite(camera.rotMatr) || !AllFinite(camera.transVect))
        return false;
    const double width = camera.imgSize[0];
    const double height = camera.imgSize[1];
    if (!(width >= 1.0 && height >= 1.0))
        return false;
    const double maxFocal = kMaxFocalToSide * std::max(width, height);
    const double fx = camera.matrix[0];
    const double fy = camera.matrix[4];
    const double cx = camera.matrix[2];
    const double cy = camera.matrix[5];
    if (!(fx > 0.0 && fx <= maxFocal && fy > 0.0 && fy <= maxFocal))
        return false;
    if (!(cx >= 0.0 && cx <= width && cy >= 0.0 && cy <= height))
        return false;
    return std::all_of(camera.distortion.begin(), camera.distortion.end(),
                       [](double k) { return std::abs(k) <= kMaxDistortion; });
}

bool CvCalibFilter::LoadCameraParams(const CString& path)
{
    CCameraCalibration calibration;
    m_bCalibrated = calibration.Load(path) && calibration.IsUsable();
    if (m_bCalibrated)
        m_camera = calibration.m_Cameras.front();
    return m_bCalibrated;
}

void CvCalibFilter::SaveCameraParams(const CString& path) const
{
    if (!m_bCalibrated)
        AfxThrowInvalidArgException();
    CCameraCalibration calibration;
    calibration.m_Cameras = {m_camera};
    calibration.Save(path);
}
