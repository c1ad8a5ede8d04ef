#pragma once
// CvCalibFilter: the chessboard calibration of one camera. Frames are
// searched for the chessboard (its inner corners to a tenth of a pixel);
// the corners of each view found are pushed, and once kViewsNeeded views
// are in, the lens is fitted (focal lengths, principal point, k1 k2 p1
// p2). The camera parameters keep the calibration file's convention (rows
// from the bottom, see CCameraCalibration), so the undistortion filter
// reads them as it reads every calibration file.

#include "analysis/cameracalibration.h"

#include <opencv2/core/mat.hpp>
#include <opencv2/core/types.hpp>

#include <vector>

class CvCalibFilter
{
public:
    static constexpr int kViewsNeeded = 10;
    // A fit whose corners land further than this from where they were
    // seen (root mean square, pixels) did not find the lens.
    static constexpr double kMaxReprojectionError = 5.0;

    // squaresAcross x squaresDown squares of side squareSize: their inner
    // corners are (squaresAcross - 1) x (squaresDown - 1). Drops the views
    // taken so far and the calibration.
    void SetEtalon(int squaresAcross, int squaresDown, double squareSize);

    // Looks for the chessboard in a top-down 8-bit frame of 1 or 3
    // channels; the corners found become the latest points. False without
    // a whole board, or when the frame's size differs from the views'.
    bool FindEtalon(const cv::Mat& frame);
    const std::vector<cv::Point2f>& GetLatestPoints() const { return m_latest; }

    // Adds the latest points (or the points given, one per inner corner,
    // row by row) as a view; with the last view needed the lens is fitted.
    // False when the fit gave values no lens has (the views are dropped,
    // and the filter stays uncalibrated).
    bool Push() { return Push(m_latest); }
    bool Push(const std::vector<cv::Point2f>& points);
    int GetViewCount() const { return static_cast<int>(m_views.size()); }

    bool IsCalibrated() const { return m_bCalibrated; }
    // Valid while calibrated.
    const sCameraParams& GetCameraParams() const { return m_camera; }

    // FALSE, and uncalibrated, when the file is missing or damaged.
    bool LoadCameraParams(const CString& path);
    // Throws CFileException (the file then stays as it was) and
    // CInvalidArgException while uncalibrated.
    void SaveCameraParams(const CString& path) const;

    // Focal lengths positive and at most 100 times the picture's larger
    // side, the principal point inside the picture, distortion
    // coefficients within +-100, every value finite.
    static bool IsPlausible(const sCameraParams& camera);

private:
    // The fitted top-down lens and the last view's pose, turned into the
    // file's rows-from-the-bottom convention.
    static sCameraParams ToFileConvention(const cv::Size& size, const cv::Matx33d& matrix,
                                          const cv::Mat& distortion, const cv::Mat& rotation,
                                          const cv::Mat& translation);
    bool Calibrate();

    cv::Size m_patternSize{5, 8};
    double m_squareSize = 1.0;
    cv::Size m_imageSize;
    std::vector<cv::Point2f> m_latest;
    std::vector<std::vector<cv::Point2f>> m_views;
    sCameraParams m_camera;
    bool m_bCalibrated = false;
};
