#include "outside/grabwell/simulatedcamera.h"

#include <opencv2/imgproc.hpp>

#include <cmath>
#include <cstdint>
#include <random>

namespace kestrun {

namespace {

constexpr int kObjectCount = 12;
constexpr int kInputChannels = 4;
const cv::Scalar kBackground(214, 218, 220);

// Raw engine output only: the standard distributions differ between
// libraries, and the scene must not.
class CSceneRandom
{
public:
    explicit CSceneRandom(std::uint32_t seed) : m_engine(seed) {}
    // lo .. hi inclusive.
    int Next(int lo, int hi) { return lo + static_cast<int>(m_engine() % static_cast<std::uint32_t>(hi - lo + 1)); }

private:
    std::mt19937 m_engine;
};

// Position on [lo, hi] of a point moving at constant speed and bouncing off
// both ends.
double bounce(double start, double speed, long long frame, double lo, double hi)
{
    const double span = hi - lo;
    if (span <= 0.0)
        return lo;
    double q = std::fmod(start - lo + speed * static_cast<double>(frame), 2.0 * span);
    if (q < 0.0)
        q += 2.0 * span;
    return lo + (q > span ? 2.0 * span - q : q);
}

} // namespace

CSimulatedCamera::CSimulatedCamera(const CBoardSettings& settings)
    : m_width(settings.simulatedWidth), m_height(settings.simulatedHeight), m_seed(settings.simulatedSeed),
      m_channel(settings.inputChannel), m_boardType(settings.simulatedBoardType), m_frameRate(settings.frameRate)
{
    BuildScene();
}

bool CSimulatedCamera::Open()
{
    if (m_width < 1 || m_height < 1)
        return Fail(FormatString("The simulated camera cannot film %d x %d pixels.", m_width, m_height));
    return true;
}

bool CSimulatedCamera::ReadFrame(cv::Mat& frame)
{
    if (!Open())
        return false;
    Render(m_frameIndex++, frame);
    return true;
}

void CSimulatedCamera::Apply(const CBoardSettings& settings)
{
    const bool sceneChanged = settings.simulatedWidth != m_width || settings.simulatedHeight != m_height ||
                              settings.simulatedSeed != m_seed;
    m_width = settings.simulatedWidth;
    m_height = settings.simulatedHeight;
    m_seed = settings.simulatedSeed;
    m_boardType = settings.simulatedBoardType;
    m_frameRate = settings.frameRate;
    if (sceneChanged)
        BuildScene();
    SetInputChannel(settings.inputChannel);
}

void CSimulatedCamera::SetInputChannel(int channel)
{
    if (channel == m_channel || channel < 0 || channel >= kInputChannels)
        return;
    m_channel = channel;
    BuildScene();
}

void CSimulatedCamera::BuildScene()
{
    m_objects.clear();
    if (m_width < 1 || m_height < 1)
        return;
    CSceneRandom random(static_cast<std::uint32_t>(m_seed) * 4u + static_cast<std::uint32_t>(m_channel));
    const int shorter = std::min(m_width, m_height);
    const int maxRadius = std::max(2, shorter / 16);
    const int minRadius = std::max(1, maxRadius / 3);
    for (int i = 0; i < kObjectCount; ++i) {
        CObject object{};
        object.ellipse = random.Next(0, 2) == 0;
        object.rx = random.Next(minRadius, maxRadius);
        object.ry = object.ellipse ? random.Next(minRadius, maxRadius) : object.rx;
        object.x0 = random.Next(0, m_width - 1);
        object.y0 = random.Next(0, m_height - 1);
        // Never at rest, so that every frame differs from the last.
        object.vx = random.Next(5, 30) / 10.0 * (random.Next(0, 1) ? 1.0 : -1.0);
        object.vy = random.Next(5, 30) / 10.0 * (random.Next(0, 1) ? 1.0 : -1.0);
        object.angle = random.Next(0, 179);
        // Saturated colours, each with one dark channel, apart from the
        // light background.
        const int dark = random.Next(0, 2);
        for (int c = 0; c < 3; ++c)
            object.colour[c] = static_cast<uchar>(c == dark ? random.Next(0, 60) : random.Next(40, 230));
        m_objects.push_back(object);
    }
}

void CSimulatedCamera::Render(long long index, cv::Mat& frame) const
{
    frame.create(m_height, m_width, CV_8UC3);
    frame.setTo(kBackground);
    for (const CObject& object : m_objects) {
        const int reach = std::max(object.rx, object.ry);
        const double x = bounce(object.x0, object.vx, index, reach, m_width - 1 - reach);
        const double y = bounce(object.y0, object.vy, index, reach, m_height - 1 - reach);
        const cv::Point centre(static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y)));
        const cv::Scalar colour(object.colour[0], object.colour[1], object.colour[2]);
        if (object.ellipse)
            cv::ellipse(frame, centre, cv::Size(object.rx, object.ry), object.angle, 0, 360, colour, cv::FILLED);
        else
            cv::circle(frame, centre, object.rx, colour, cv::FILLED);
    }
}

} // namespace kestrun
