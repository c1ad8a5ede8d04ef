#pragma once
// CCameraCalibration: the camera calibration file that the chessboard
// calibration writes and the undistortion filter reads. Text: the camera
// count ("%d"), then per camera 27 numbers ("%15.10f "): image width and
// height, the 3 x 3 camera matrix, k1 k2 p1 p2, the 3 x 3 rotation and the
// translation. Whatever follows the camera blocks is ignored on reading.
//
// Rows count from the bottom of the picture, as in the files the program
// has always written: the principal point's y and p1 refer to the picture
// turned upside down. The undistortion filter turns the page accordingly;
// a calibration from top-down frames must be turned before it is stored.

#include "platform/core/cstring.h"

#include <array>
#include <vector>

struct sCameraParams
{
    std::array<double, 2> imgSize{};    // width, height
    std::array<double, 9> matrix{};     // fx 0 cx / 0 fy cy / 0 0 1, row by row
    std::array<double, 4> distortion{}; // k1 k2 p1 p2
    std::array<double, 9> rotMatr{};
    std::array<double, 3> transVect{};
};

class CCameraCalibration
{
public:
    static constexpr int kMaxCameras = 3;
    static constexpr int kValuesPerCamera = 27;

    // "halvorn_camera_calibration.txt" in the program's data folder.
    static CString DefaultPath();

    // FALSE, and the cameras unchanged, when the file is missing, its count
    // is not 1 to kMaxCameras, or a camera block is short, not a number,
    // or not finite.
    bool Load(const CString& path);
    // Writes through a temporary file (creating the folder when missing),
    // then the zero stereo block that older readers expect after the
    // cameras. Throws CFileException; an existing file then stays. Throws
    // CInvalidArgException without cameras or with more than kMaxCameras.
    void Save(const CString& path) const;

    // Whether camera 0 can undistort: focal lengths non-zero.
    bool IsUsable() const;

    std::vector<sCameraParams> m_Cameras;
};
