#pragma once
// CSimulatedCamera: a camera without hardware. It films a scene of coloured
// discs and ellipses on a light background that drift and bounce off the
// edges from frame to frame. The scene follows from the seed and the input
// channel alone, and frame n always looks the same, so tests can rely on
// what they get.

#include "outside/grabwell/videosource.h"

#include <vector>

namespace kestrun {

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

    int m_width;
    int m_height;
    int m_seed;
    int m_channel;
    int m_boardType;
    double m_frameRate;
    long long m_frameIndex = 0;
    std::vector<CObject> m_objects;
};

} // namespace kestrun
