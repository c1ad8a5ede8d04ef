#include "outside/grabwell/aviwriter.h"

#include <opencv2/videoio.hpp>

#include <algorithm>
#include <system_error>

namespace kestrun {

CAviWriter::CAviWriter() = default;

CAviWriter::~CAviWriter() { Abandon(); }

bool CAviWriter::Open(const CString& target, const cv::Size& size, double framesPerSecond, int quality)
{
    Abandon();
    if (size.width < 1 || size.height < 1 || !(framesPerSecond > 0.0))
        return false;
    m_target = std::filesystem::path(target.GetString());
    m_partial = m_target;
    m_partial += ".part.avi";
    m_writer = std::make_unique<cv::VideoWriter>();
    if (!m_writer->open(m_partial.string(), cv::CAP_OPENCV_MJPEG, cv::VideoWriter::fourcc('M', 'J', 'P', 'G'),
                        framesPerSecond, size, true)) {
        Abandon();
        return false;
    }
    m_writer->set(cv::VIDEOWRITER_PROP_QUALITY, std::clamp(quality, 1, 100));
    m_size = size;
    m_frames = 0;
    return true;
}

bool CAviWriter::IsOpen() const { return m_writer != nullptr; }

bool CAviWriter::Write(const cv::Mat& frame)
{
    if (!m_writer || frame.size() != m_size || frame.type() != CV_8UC3)
        return false;
    m_writer->write(frame);
    ++m_frames;
    return true;
}

bool CAviWriter::Commit()
{
    if (!m_writer)
        return false;
    m_writer->release();
    m_writer.reset();
    std::error_code error;
    std::filesystem::rename(m_partial, m_target, error);
    if (error) {
        std::filesystem::remove(m_partial, error);
        return false;
    }
    return true;
}

void CAviWriter::Abandon()
{
    if (!m_writer)
        return;
    m_writer->release();
    m_writer.reset();
    std::error_code error;
    std::filesystem::remove(m_partial, error);
}

} // namespace kestrun
