#pragma once
// CAviWriter: 24-bit frames into a Motion-JPEG AVI file through OpenCV's
// own writer, so that the bytes are the same on every machine and no codec
// library is needed. Frames go into "<target>.part.avi"; Commit renames it
// over the target, and a writer that is not committed removes it, so that
// the target is either complete or as it was.

#include "platform/core/cstring.h"

#include <opencv2/core/mat.hpp>

#include <filesystem>
#include <memory>

namespace cv {
class VideoWriter;
}

namespace kestrun {

class CAviWriter
{
public:
    CAviWriter();
    ~CAviWriter();
    CAviWriter(const CAviWriter&) = delete;
    CAviWriter& operator=(const CAviWriter&) = delete;

    // Frames of this size at this rate, JPEG quality 1..100. False when
    // the file cannot be made.
    bool Open(const CString& target, const cv::Size& size, double framesPerSecond, int quality);
    bool IsOpen() const;
    const cv::Size& GetFrameSize() const { return m_size; }
    int GetFrameCount() const { return m_frames; }

    // False, and nothing written, for a frame that is not 8-bit BGR of the
    // writer's size.
    bool Write(const cv::Mat& frame);
    // Closes the file and puts it in place of the target; false (and the
    // target as it was) when that fails.
    bool Commit();
    // Closes the file and removes it.
    void Abandon();

private:
    std::unique_ptr<cv::VideoWriter> m_writer;
    std::filesystem::path m_target;
    std::filesystem::path m_partial;
    cv::Size m_size;
    int m_frames = 0;
};

} // namespace kestrun
