#include "app/programpictures.h"

#include <cmath>
#include <functional>
#include <numbers>

namespace {

struct CColour
{
    std::uint8_t red, green, blue;
};

CProgramPicture Paint(int width, int height, const std::function<CColour(int x, int y)>& colourAt)
{
    CProgramPicture picture;
    picture.nWidth = width;
    picture.nHeight = height;
    picture.bits.resize(static_cast<size_t>(picture.Stride()) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const CColour colour = colourAt(x, y);
            std::uint8_t* pixel = &picture.bits[static_cast<size_t>(y) * picture.Stride() + 3 * x];
            pixel[0] = colour.blue;
            pixel[1] = colour.green;
            pixel[2] = colour.red;
        }
    }
    return picture;
}

bool OnFrame(int x, int y, int width, int height)
{
    return x < 2 || y < 2 || x >= width - 2 || y >= height - 2;
}

// A dark blue field brightening to the right, a light band under the
// title, a thin frame.
CProgramPicture Splash()
{
    constexpr int kWidth = 420, kHeight = 200;
    return Paint(kWidth, kHeight, [](int x, int y) -> CColour {
        if (OnFrame(x, y, kWidth, kHeight))
            return {30, 60, 90};
        if (y >= 96 && y < 100)
            return {200, 220, 230};
        const double across = static_cast<double>(x) / (kWidth - 1);
        return {static_cast<std::uint8_t>(140 + 70 * across), static_cast<std::uint8_t>(170 + 60 * across),
                static_cast<std::uint8_t>(200 + 55 * across)};
    });
}

// A signal over time: axes and a damped wave.
CProgramPicture MeasureAD()
{
    constexpr int kWidth = 96, kHeight = 64;
    return Paint(kWidth, kHeight, [](int x, int y) -> CColour {
        if (OnFrame(x, y, kWidth, kHeight))
            return {60, 60, 60};
        if (x == 10 || y == kHeight - 10)
            return {0, 0, 0};
        const double t = (x - 10) / 80.0;
        const double wave = kHeight / 2.0 - 20 * std::exp(-1.5 * t) * std::sin(2 * std::numbers::pi * 2.5 * t);
        if (x > 10 && std::abs(y - wave) < 1.5)
            return {200, 0, 0};
        return {255, 255, 255};
    });
}

// Particles in an image: dark discs on a grey field.
CProgramPicture MeasureBV()
{
    constexpr int kWidth = 96, kHeight = 64;
    struct Disc
    {
        int x, y, r;
    };
    static constexpr Disc kDiscs[] = {{24, 20, 8}, {60, 16, 6}, {44, 42, 10}, {78, 44, 7}};
    return Paint(kWidth, kHeight, [](int x, int y) -> CColour {
        if (OnFrame(x, y, kWidth, kHeight))
            return {60, 60, 60};
        for (const Disc& disc : kDiscs) {
            if ((x - disc.x) * (x - disc.x) + (y - disc.y) * (y - disc.y) <= disc.r * disc.r)
                return {40, 70, 40};
        }
        return {190, 190, 180};
    });
}

} // namespace

const CProgramPicture* FindProgramPicture(const CString& strName)
{
    static const CProgramPicture splash = Splash();
    static const CProgramPicture measureAD = MeasureAD();
    static const CProgramPicture measureBV = MeasureBV();
    if (strName == "SPLASH")
        return &splash;
    if (strName == "MEASURE_AD")
        return &measureAD;
    if (strName == "MEASURE_BV")
        return &measureBV;
    return nullptr;
}
