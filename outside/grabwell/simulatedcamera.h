#pragma once
// CSimulatedCamera: a camera without hardware. It films a scene of coloured
// discs and ellipses on a light background that drift and bounce off the
// edges from frame to frame, or (scene 1) a chessboard of 6 x 9 squares in
// a new pose every frame, seen through a known lens (ChessboardLens), for
// the camera calibration. The scene follows from the settings alone, and
// frame n always looks the same, so tests can rely on what they get.

#include "outside/grabwell/videosource.h"

#include <vector>

namespace kestrun {

// A pinhole lens with radial distortion: pixel = principal point + focal
// length x (1 + k1 r^2) x normalised point; rows count from the top.
struct CSimulatedLens
{
    double fx = 0.0;
    double fy = 0.0;
    double cx = 0.0;
    double cy = 0.0;
    double k1 = 0.0;
};

class CSimulatedCamera final : public CVideoSource
{
public:
    explicit CSimulatedCamera(const CBoardSettings& settings);

    bool Open() override;
    bool ReadFrame(cv::Mat& frame) override;
    void Apply(const CBoardSettings& settings) override;

    CSize GetFrameSize() const override { return CSize(m_width, m_height); }
    double GetFrameRate() const override { return m_frameRate; }
    int GetBoardType() const override { return m_boardType; }
    void SetInputChannel(int channel) override;

    // The picture of frame `index` without advancing the camera.
    void Render(long long index, cv::Mat& frame) const;

    // The lens the chessboard scene is filmed through at that frame size.
    static CSimulatedLens ChessboardLens(int width, int height);
    // The chessboard's squares across and down, and their side in board units.
    static constexpr int kBoardSquaresAcross = 6;
    static constexpr int kBoardSquaresDown = 9;
    static constexpr double kBoardSquareSize = 1.375;

private:
    struct CObject
    {
        bool ellipse;
        double x0, y0;   // centre at frame 0
        double vx, vy;   // pixels per frame
        int rx, ry;      // half axes
        double angle;    // degrees
        cv::Vec3b colour;
    };

    void BuildScene();
    void RenderObjects(long long index, cv::Mat& frame) const;
    void RenderChessboard(long long index, cv::Mat& frame) const;

    int m_width;
    int m_height;
    int m_seed;
    int m_channel;
    int m_boardType;
    int m_scene;
    double m_frameRate;
    long long m_frameIndex = 0;
    std::vector<CObject> m_objects;
    // The chessboard scene: each pixel's undistorted normalised ray (x, y).
    cv::Mat m_rays;
    // The board's picture, squares and white border, kBoardPixels a square.
    cv::Mat m_board;
};

} // namespace kestrun
