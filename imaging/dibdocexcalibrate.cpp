// Camera calibration from chessboard views of the frame grabber, for the
// undistortion filter.

#include "imaging/dibdocex.h"

#include "imaging/framebufferlock.h"

#include "analysis/cameracalibration.h"
#include "analysis/cvcalibfilter.h"
#include "outside/grabwell/fgboard.h"
#include "platform/core/exceptions.h"
#include "platform/core/messagebox.h"
#include "platform/ui/cmdtarget.h"

#include <opencv2/imgproc.hpp>

#include <cstring>

namespace {

// 6 x 9 squares of 1.375 units: 5 x 8 inner corners.
constexpr int kSquaresAcross = 6;
constexpr int kSquaresDown = 9;
constexpr double kSquareSize = 1.375;
// Frames without a board before the calibration gives up, in all.
constexpr int kMaxMisses = 30;
constexpr DWORD kMissTone = 1000;
constexpr DWORD kFoundTone = 5000;
constexpr DWORD kToneLength = 250;

} // namespace

cv::Mat CDIBDocEx::GrabToIplImage()
{
    FGBoard* board = GetFG();
    if (board == nullptr || board->GrabFrame(0) == 0.0)
        return {};
    CDIB* page = board->GetDIB();
    const CFrameBufferLock hold(board, page);
    if (page == nullptr || page->GetWidth() == 0 || page->GetHeight() == 0)
        return {};
    const int channels = page->GetBytes();
    cv::Mat image(page->GetHeight(), page->GetWidth(), CV_8UC(channels));
    // Row by row: a page's rows are padded to whole words, the image's not.
    const size_t rowBytes = static_cast<size_t>(page->GetWidth()) * static_cast<size_t>(channels);
    for (int y = 0; y < image.rows; ++y)
        std::memcpy(image.ptr(y), page->GetRow(y).data(), rowBytes);
    if (channels == 1) {
        cv::Mat colour;
        cv::cvtColor(image, colour, cv::COLOR_GRAY2BGR);
        return colour;
    }
    return image;
}

BOOL CDIBDocEx::CalibrateCamera()
{
    const CString path = CCameraCalibration::DefaultPath();
    CvCalibFilter filter;
    if (filter.LoadCameraParams(path) &&
        AfxMessageBox("Camera already calibrated. Overwrite calibration data?", MB_OKCANCEL) == IDCANCEL)
        return TRUE;
    AfxMessageBox("Start camera calibration: checkerboard must be in view, then click OK");

    filter.SetEtalon(kSquaresAcross, kSquaresDown, kSquareSize);
    int misses = 0;
    while (!filter.IsCalibrated()) {
        const cv::Mat frame = GrabToIplImage();
        // The board has told why it has no frame.
        if (frame.empty()) {
            AfxMessageBox("Calibration failed");
            return FALSE;
        }
        if (!filter.FindEtalon(frame)) {
            Beep(kMissTone, kToneLength);
            if (++misses >= kMaxMisses) {
                AfxMessageBox("Calibration failed");
                return FALSE;
            }
            continue;
        }
        const bool fitted = filter.Push();
        Beep(kFoundTone, kToneLength);
        if (!fitted) {
            AfxMessageBox("Calibration failed");
            return FALSE;
        }
    }
    try {
        filter.SaveCameraParams(path);
    } catch (const CException& e) {
        AfxMessageBox(FormatString("The calibration cannot be saved to %s. %s", path.GetString(),
                                   e.GetErrorMessage().GetString()),
                      MB_ICONEXCLAMATION);
        return FALSE;
    }
    AfxMessageBox("Calibrated");
    return TRUE;
}

void CDIBDocEx::OnCalibrateCamera()
{
    CalibrateCamera();
}

void CDIBDocEx::OnUpdateCalibrateCamera(CCmdUI* pCmdUI)
{
    // Camera plug-ins take pictures, not a stream of chessboard views.
    FGBoard* board = GetFG();
    pCmdUI->Enable(board != nullptr && !board->IsPlugInSource());
}
