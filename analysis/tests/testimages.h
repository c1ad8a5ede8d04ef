#pragma once
// Small 24-bit pages painted by a function of (x, y), for the statistics
// and image-helper tests.

#include "outside/pixmere/dib.h"

#include <gtest/gtest.h>

#include <functional>

namespace testimages {

inline CDIB MakeImage(int width, int height, const std::function<COLORREF(int, int)>& color)
{
    CDIB image;
    EXPECT_TRUE(image.InitDIB(width, height, 24));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.SetPixel(x, y, color(x, y));
    return image;
}

} // namespace testimages
