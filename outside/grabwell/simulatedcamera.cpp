#include "outside/grabwell/simulatedcamera.h"

#include <opencv2/calib3d.hpp>
#include <opencv2/imgproc.hpp>

#include <cmath>
#include <cstdint>
#include <random>

namespace kestrun {

namespace {

constexpr int kObjectCount = 12;
constexpr int kInputChannels = 4;
const cv::Scalar kBackground(214, 218, 220);

// The chessboard scene: texture pixels per square, a white border of one
// square around the squares, and the grey wall behind the board.
constexpr int kBoardPixels = 32;
constexpr int kBoardBorder = 1;
constexpr uchar kDarkSquare = 35;
constexpr uchar kLightSquare = 225;
const cv::Scalar kWall(110, 110, 110);
constexpr double kPi = 3.14159265358979323846;

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
      m_channel(settings.inputChannel), m_boardType(settings.simulatedBoardType), m_scene(settings.simulatedScene),
      m_frameRate(settings.frameRate)
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
                              settings.simulatedSeed != m_seed || settings.simulatedScene != m_scene;
    m_width = settings.simulatedWidth;
    m_height = settings.simulatedHeight;
    m_seed = settings.simulatedSeed;
    m_scene = settings.simulatedScene;
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
    m_rays.release();
    m_board.release();
    if (m_width < 1 || m_height < 1)
        return;
    if (m_scene == 1) {
        // Each pixel's ray through the lens, found once per frame size.
        const CSimulatedLens lens = ChessboardLens(m_width, m_height);
        cv::Mat pixels(m_height * m_width, 1, CV_64FC2);
        for (int y = 0; y < m_height; ++y)
            for (int x = 0; x < m_width; ++x)
                pixels.at<cv::Vec2d>(y * m_width + x) = cv::Vec2d(x, y);
        const cv::Matx33d camera(lens.fx, 0.0, lens.cx, 0.0, lens.fy, lens.cy, 0.0, 0.0, 1.0);
        const cv::Vec4d distortion(lens.k1, 0.0, 0.0, 0.0);
        cv::undistortPoints(pixels, m_rays, camera, distortion, cv::noArray(), cv::noArray(),
                            cv::TermCriteria(cv::TermCriteria::COUNT | cv::TermCriteria::EPS, 50, 1e-12));
        m_rays = m_rays.reshape(2, m_height);

        const int across = kBoardSquaresAcross + 2 * kBoardBorder;
        const int down = kBoardSquaresDown + 2 * kBoardBorder;
        m_board.create(down * kBoardPixels, across * kBoardPixels, CV_8UC1);
        m_board.setTo(kLightSquare);
        for (int row = 0; row < kBoardSquaresDown; ++row)
            for (int column = 0; column < kBoardSquaresAcross; ++column)
                if ((row + column) % 2 == 0)
                    m_board(cv::Rect((column + kBoardBorder) * kBoardPixels, (row + kBoardBorder) * kBoardPixels,
                                     kBoardPixels, kBoardPixels))
                        .setTo(kDarkSquare);
        return;
    }
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
    if (m_scene == 1)
        RenderChessboard(index, frame);
    else
        RenderObjects(index, frame);
}

CSimulatedLens CSimulatedCamera::ChessboardLens(int width, int height)
{
    // Off the centre in both directions, so that a calibration that mixes
    // up rows from the top and from the bottom shows.
    CSimulatedLens lens;
    lens.fx = 0.95 * width;
    lens.fy = 0.96 * width;
    lens.cx = 0.52 * width;
    lens.cy = 0.46 * height;
    lens.k1 = -0.3;
    return lens;
}

void CSimulatedCamera::RenderChessboard(long long index, cv::Mat& frame) const
{
    // A pose per frame: tilted up to 28 degrees each way, turned up to 15,
    // and moved about while the whole board stays in view.
    const double n = static_cast<double>(index);
    const double toRadians = kPi / 180.0;
    const cv::Vec3d turn(28.0 * toRadians * std::sin(1.7 * n + 0.3), 28.0 * toRadians * std::cos(1.1 * n + 0.5),
                         15.0 * toRadians * std::sin(0.9 * n));
    cv::Matx33d rotation;
    cv::Rodrigues(turn, rotation);

    const CSimulatedLens lens = ChessboardLens(m_width, m_height);
    const double square = kBoardSquareSize;
    const double boardWidth = (kBoardSquaresAcross + 2 * kBoardBorder) * square;
    const double boardHeight = (kBoardSquaresDown + 2 * kBoardBorder) * square;
    // Far enough for the board to fill at most 70 % of the picture.
    const double distance = std::max(lens.fx * boardWidth / (0.7 * m_width), lens.fy * boardHeight / (0.7 * m_height));
    const double spanX = 0.5 * m_width / lens.fx - 0.5 * boardWidth / distance;
    const double spanY = 0.5 * m_height / lens.fy - 0.5 * boardHeight / distance;
    const cv::Vec3d shift(0.45 * spanX * distance * std::sin(2.3 * n + 1.0),
                          0.35 * spanY * distance * std::cos(1.9 * n + 0.2), distance);
    // The board's centre in the picture: the lens' centre moved.
    const cv::Vec3d centre = shift + cv::Vec3d((0.5 * m_width - lens.cx) / lens.fx * distance,
                                               (0.5 * m_height - lens.cy) / lens.fy * distance, 0.0);

    // Texture pixel -> board point -> ray: the inverse maps rays to texture.
    const double scale = square / kBoardPixels;
    const cv::Matx33d textureToBoard(scale, 0.0, 0.5 * scale - 0.5 * boardWidth, 0.0, scale,
                                     0.5 * scale - 0.5 * boardHeight, 0.0, 0.0, 1.0);
    const cv::Matx33d boardToRay(rotation(0, 0), rotation(0, 1), centre[0], rotation(1, 0), rotation(1, 1), centre[1],
                                 rotation(2, 0), rotation(2, 1), centre[2]);
    const cv::Matx33d rayToTexture = (boardToRay * textureToBoard).inv();

    cv::Mat texture;
    cv::perspectiveTransform(m_rays, texture, rayToTexture);
    cv::Mat map;
    texture.convertTo(map, CV_32FC2);
    cv::Mat grey;
    cv::remap(m_board, grey, map, cv::noArray(), cv::INTER_LINEAR, cv::BORDER_CONSTANT, kWall);
    cv::cvtColor(grey, frame, cv::COLOR_GRAY2BGR);
}

void CSimulatedCamera::RenderObjects(long long index, cv::Mat& frame) const
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
