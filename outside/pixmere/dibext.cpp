#include "outside/pixmere/dibext.h"

#include "outside/pixmere/dib.h"

#include "platform/core/exceptions.h"

#include <opencv2/core.hpp>

#include <algorithm>
#include <new>
#include <vector>

namespace {

constexpr int kMaxSide = 65535;

} // namespace

CDIBExt::CDIBExt(const CDIBExt& other) : Device(other), m_sums(other.m_sums.clone()), m_count(other.m_count) {}

CDIBExt& CDIBExt::operator=(const CDIBExt& other)
{
    if (this != &other) {
        cv::Mat sums = other.m_sums.clone();
        Device::operator=(other);
        m_sums = sums;
        m_count = other.m_count;
    }
    return *this;
}

CDIBExt::~CDIBExt() = default;

BOOL CDIBExt::InitDIB(int width, int height, int bitsPerPixel)
{
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide)
        return FALSE;
    if (bitsPerPixel < 1 || (bitsPerPixel > 8 && bitsPerPixel != 24))
        return FALSE;
    try {
        m_sums = cv::Mat::zeros(height, width, bitsPerPixel == 24 ? CV_16UC3 : CV_16UC1);
    } catch (const std::bad_alloc&) {
        return FALSE;
    } catch (const cv::Exception&) {
        return FALSE;
    }
    m_count = 0;
    return TRUE;
}

void CDIBExt::Add(const CDIB& page)
{
    const cv::Mat pixels = page.GetMat();
    if (m_sums.empty() || pixels.size() != m_sums.size() || pixels.channels() != m_sums.channels())
        AfxThrowInvalidArgException();
    cv::Mat wide;
    pixels.convertTo(wide, m_sums.type());
    cv::add(m_sums, wide, m_sums); // saturates at 65535
    ++m_count;
}

int CDIBExt::WriteBack(CDIB& page, int mode) const
{
    if (mode != WriteAverage && mode != WriteSum)
        AfxThrowInvalidArgException();
    if (m_sums.empty())
        return 0;
    if (!page.IsValid() && !page.InitDIB(GetWidth(), GetHeight(), m_sums.channels() * 8))
        AfxThrowMemoryException();
    cv::Mat target = page.GetMat();
    if (target.size() != m_sums.size() || target.channels() < m_sums.channels())
        AfxThrowInvalidArgException();

    const int channels = m_sums.channels();
    const int divisor = mode == WriteAverage ? std::max(m_count, 1) : 1;
    cv::Mat values(m_sums.size(), CV_8UC(channels));
    for (int y = 0; y < m_sums.rows; ++y) {
        const WORD* sums = m_sums.ptr<WORD>(y);
        BYTE* out = values.ptr<BYTE>(y);
        for (int i = 0; i < m_sums.cols * channels; ++i)
            out[i] = static_cast<BYTE>(std::min((sums[i] + divisor / 2) / divisor, 255));
    }
    if (channels != target.channels())
        cv::merge(std::vector<cv::Mat>(3, values), values);
    values.copyTo(target);
    return 1;
}

BOOL CDIBExt::IncreaseDynamic()
{
    if (m_sums.empty())
        return FALSE;
    double low = 0.0, high = 0.0;
    cv::minMaxLoc(m_sums.reshape(1), &low, &high);
    if (high <= low)
        return FALSE;
    const double scale = 255.0 / (high - low);
    m_sums.convertTo(m_sums, m_sums.type(), scale, -low * scale);
    m_count = 1;
    return TRUE;
}

COLORREF CDIBExt::GetPalEntry(int index) const
{
    if (m_sums.channels() != 1 || index < 0 || index > 255)
        return 0;
    return RGB(index, index, index);
}

COLORREF CDIBExt::GetPixel(int x, int y) const
{
    if (!Inside(x, y))
        return 0;
    if (m_sums.channels() == 1)
        return m_sums.at<WORD>(y, x);
    const cv::Vec3w& v = m_sums.at<cv::Vec3w>(y, x);
    const auto byte = [](WORD w) { return std::min<int>(w, 255); };
    return RGB(byte(v[2]), byte(v[1]), byte(v[0]));
}

void CDIBExt::SetPixel(int x, int y, COLORREF value)
{
    if (!Inside(x, y))
        return;
    if (m_sums.channels() == 1)
        m_sums.at<WORD>(y, x) = static_cast<WORD>(std::min<COLORREF>(value, 0xFFFF));
    else
        m_sums.at<cv::Vec3w>(y, x) = cv::Vec3w(GetBValue(value), GetGValue(value), GetRValue(value));
}
