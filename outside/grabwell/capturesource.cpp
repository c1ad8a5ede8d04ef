#include "outside/grabwell/capturesource.h"

#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace kestrun {

CCaptureSource::CCaptureSource(Kind kind, const CString& path) : m_kind(kind), m_path(path) {}

CCaptureSource::~CCaptureSource() = default;

CString CCaptureSource::FindCamera(const CString& deviceFolder)
{
    namespace fs = std::filesystem;
    std::error_code error;
    std::vector<std::string> nodes;
    for (fs::directory_iterator it(deviceFolder.str(), error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.starts_with("video") && name.size() > 5 &&
            std::all_of(name.begin() + 5, name.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
            it->is_character_file(error)) {
            nodes.push_back(it->path().string());
        }
    }
    if (nodes.empty())
        return {};
    // video2 before video10.
    std::sort(nodes.begin(), nodes.end(), [](const std::string& a, const std::string& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    return CString(nodes.front());
}

bool CCaptureSource::Open()
{
    if (m_capture && m_capture->isOpened())
        return true;
    std::error_code error;
    if (m_path.IsEmpty() || !std::filesystem::exists(m_path.str(), error)) {
        return Fail(m_kind == Kind::camera ? CString("No video camera is connected.")
                                           : FormatString("The video file \"%s\" does not exist.", m_path.GetString()));
    }
    auto capture = std::make_unique<cv::VideoCapture>();
    bool opened = false;
    try {
        opened = m_kind == Kind::camera ? capture->open(m_path.str(), cv::CAP_V4L2) : capture->open(m_path.str());
    } catch (const cv::Exception& e) {
        return Fail(FormatString("\"%s\" cannot be opened for video: %s", m_path.GetString(), e.what()));
    }
    if (!opened || !capture->isOpened())
        return Fail(FormatString("\"%s\" cannot be opened for video.", m_path.GetString()));
    m_frameSize = CSize(static_cast<int>(capture->get(cv::CAP_PROP_FRAME_WIDTH)),
                        static_cast<int>(capture->get(cv::CAP_PROP_FRAME_HEIGHT)));
    const double rate = capture->get(cv::CAP_PROP_FPS);
    m_frameRate = std::isfinite(rate) && rate > 0.0 ? rate : 0.0;
    const double count = capture->get(cv::CAP_PROP_FRAME_COUNT);
    m_frameCount = m_kind == Kind::file && std::isfinite(count) && count > 0.0 ? static_cast<int>(count) : 0;
    m_capture = std::move(capture);
    return true;
}

bool CCaptureSource::ReadFrame(cv::Mat& frame)
{
    if (!Open())
        return false;
    if (Grab(frame))
        return true;
    if (m_kind == Kind::file) {
        // At the end of the file: from the start again.
        m_capture->set(cv::CAP_PROP_POS_FRAMES, 0);
        if (Grab(frame))
            return true;
    }
    return Fail(FormatString("\"%s\" delivers no more frames.", m_path.GetString()));
}

void CCaptureSource::Apply(const CBoardSettings& /*settings*/)
{
    // The device or file decides size and rate.
}

bool CCaptureSource::Grab(cv::Mat& frame)
{
    cv::Mat read;
    try {
        if (!m_capture->read(read))
            return false;
    } catch (const cv::Exception&) {
        return false; // reported by the caller as no more frames
    }
    if (read.empty() || read.depth() != CV_8U)
        return false;
    switch (read.channels()) {
    case 1:
        cv::cvtColor(read, frame, cv::COLOR_GRAY2BGR);
        break;
    case 4:
        cv::cvtColor(read, frame, cv::COLOR_BGRA2BGR);
        break;
    case 3:
        frame = read;
        break;
    default:
        return false;
    }
    m_frameSize = CSize(frame.cols, frame.rows);
    return true;
}

} // namespace kestrun
