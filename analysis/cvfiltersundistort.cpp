// Lens undistortion with the stored camera calibration.

#include "analysis/cvfilters.h"

#include "analysis/cameracalibration.h"
#include "analysis/cvfilterentry.h"

#include <opencv2/calib3d.hpp>

#include <atomic>

using namespace kestrun::filters;

namespace {

// The filter chain runs per frame: a missing calibration is told once,
// and again only after one has loaded in between.
std::atomic<bool> s_bMissingReported{false};

} // namespace

BOOL UndistortFilter(CDIB* page)
{
    constexpr const char* kName = "Undistort filter";
    return Guarded(kName, FALSE, [&]() -> BOOL {
        const cv::Mat image = PageImage(kName, page);
        CCameraCalibration calibration;
        if (!calibration.Load(CCameraCalibration::DefaultPath()) || !calibration.IsUsable()) {
            if (!s_bMissingReported.exchange(true))
                AfxMessageBox("Camera not calibrated, Undistort filter will be ignored!", MB_OK);
            return FALSE;
        }
        s_bMissingReported = false;

        const sCameraParams& camera = calibration.m_Cameras.front();
        const cv::Mat matrix(3, 3, CV_64F, const_cast<double*>(camera.matrix.data()));
        const cv::Mat distortion(1, 4, CV_64F, const_cast<double*>(camera.distortion.data()));
        // The calibration counts rows from the bottom.
        cv::Mat bottomUp;
        cv::flip(image, bottomUp, 0);
        cv::Mat undistorted;
        cv::undistort(bottomUp, undistorted, matrix, distortion);
        cv::Mat result;
        cv::flip(undistorted, result, 0);
        page->AssignMat(result);
        return TRUE;
    });
}
