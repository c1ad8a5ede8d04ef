#pragma once
// CCaptureSource: frames through OpenCV's capture, from a V4L2 camera or
// from a video file. A camera paces itself; a file is played at its own
// frame rate by the board and starts over at its end.

#include "outside/grabwell/videosource.h"

#include <memory>

namespace cv {
class VideoCapture;
}

namespace kestrun {

class CCaptureSource final : public CVideoSource
{
public:
    enum class Kind
    {
        camera,
        file,
    };

    // path: the camera's device node, or the video file.
    CCaptureSource(Kind kind, const CString& path);
    ~CCaptureSource() override;

    bool Open() override;
    bool ReadFrame(cv::Mat& frame) override;
    void Apply(const CBoardSettings& settings) override;

    CSize GetFrameSize() const override { return m_frameSize; }
    double GetFrameRate() const override { return m_frameRate; }
    bool IsSelfPaced() const override { return m_kind == Kind::camera; }
    bool IsPlayback() const override { return m_kind == Kind::file; }
    int GetRecordedFrames() const override { return m_frameCount; }
    int GetBoardType() const override { return m_kind == Kind::camera ? 1 : 0; }

    // The first V4L2 device node below deviceFolder ("video0", "video1",
    // ...), empty when there is none.
    static CString FindCamera(const CString& deviceFolder);

private:
    bool Grab(cv::Mat& frame);

    Kind m_kind;
    CString m_path;
    std::unique_ptr<cv::VideoCapture> m_capture;
    CSize m_frameSize;
    double m_frameRate = 0.0;
    int m_frameCount = 0;
};

} // namespace kestrun
