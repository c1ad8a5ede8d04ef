#include "platform/ui/clipboard.h"

#include "platform/core/exceptions.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// The first width * bytes of each row of a block.
std::vector<BYTE> rows(const BYTE* bits, int width, int height, int stride, int bytesPerPixel)
{
    std::vector<BYTE> result;
    for (int y = 0; y < height; ++y)
        result.insert(result.end(), bits + y * stride, bits + y * stride + width * bytesPerPixel);
    return result;
}

} // namespace

TEST(ClipboardTest, TextRoundTripsAsUtf8)
{
    ASSERT_TRUE(kestrun::SetClipboardText("Fläche 12,5 µm²"));
    EXPECT_TRUE(kestrun::ClipboardHasText());
    EXPECT_FALSE(kestrun::ClipboardHasImage());
    EXPECT_EQ(kestrun::GetClipboardText(), CString("Fläche 12,5 µm²"));

    ASSERT_TRUE(kestrun::EmptyClipboard());
    EXPECT_FALSE(kestrun::ClipboardHasText());
    EXPECT_EQ(kestrun::GetClipboardText(), CString());
}

TEST(ClipboardTest, ColourImagesRoundTripAsBlueGreenRedRows)
{
    // Three by two, rows padded to twelve bytes; the padding is not part of the picture.
    const BYTE bgr[] = {
        1, 2, 3, 4, 5, 6, 7, 8, 9, 0xEE, 0xEE, 0xEE,
        10, 11, 12, 13, 14, 15, 16, 17, 18, 0xEE, 0xEE, 0xEE,
    };
    ASSERT_TRUE(kestrun::SetClipboardImage(3, 2, bgr, 12, 24));
    EXPECT_TRUE(kestrun::ClipboardHasImage());

    const auto image = kestrun::GetClipboardImage();
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->width, 3);
    EXPECT_EQ(image->height, 2);
    EXPECT_EQ(image->bitsPerPixel, 24);
    EXPECT_EQ(image->stride % 4, 0);
    EXPECT_EQ(rows(image->bits.data(), 3, 2, image->stride, 3), rows(bgr, 3, 2, 12, 3));

    // Thirty-two bits come back as twenty-four.
    const BYTE bgrx[] = {1, 2, 3, 0, 4, 5, 6, 0};
    ASSERT_TRUE(kestrun::SetClipboardImage(2, 1, bgrx, 8, 32));
    const auto wide = kestrun::GetClipboardImage();
    ASSERT_TRUE(wide.has_value());
    EXPECT_EQ(wide->bitsPerPixel, 24);
    EXPECT_EQ(rows(wide->bits.data(), 2, 1, wide->stride, 3), (std::vector<BYTE>{1, 2, 3, 4, 5, 6}));
}

TEST(ClipboardTest, PaletteImagesKeepTheirIndicesAndColours)
{
    const BYTE indices[] = {0, 1, 2, 0, 2, 1, 0, 0};
    const COLORREF palette[] = {RGB(0, 0, 0), RGB(255, 0, 0), RGB(0, 128, 255)};
    ASSERT_TRUE(kestrun::SetClipboardImage(3, 2, indices, 4, 8, palette));
    const auto image = kestrun::GetClipboardImage();
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->bitsPerPixel, 8);
    EXPECT_EQ(rows(image->bits.data(), 3, 2, image->stride, 1), rows(indices, 3, 2, 4, 1));
    ASSERT_GE(image->palette.size(), 3u);
    EXPECT_EQ(std::vector<COLORREF>(image->palette.begin(), image->palette.begin() + 3),
              std::vector<COLORREF>(std::begin(palette), std::end(palette)));

    // Without a palette the indices are grey levels.
    const BYTE grey[] = {7, 200, 0, 0};
    ASSERT_TRUE(kestrun::SetClipboardImage(2, 1, grey, 4, 8));
    const auto levels = kestrun::GetClipboardImage();
    ASSERT_TRUE(levels.has_value());
    EXPECT_EQ(levels->palette.at(levels->bits[1]), RGB(200, 200, 200));
}

TEST(ClipboardTest, ABlockThatDoesNotAddUpIsRefusedAndChangesNothing)
{
    ASSERT_TRUE(kestrun::SetClipboardText("kept"));
    const BYTE bits[16] = {};
    const COLORREF palette[] = {RGB(1, 1, 1)};
    EXPECT_THROW(kestrun::SetClipboardImage(3, 1, bits, 8, 24), CInvalidArgException); // stride below 9
    EXPECT_THROW(kestrun::SetClipboardImage(2, 2, bits, 8, 16), CInvalidArgException);
    EXPECT_THROW(kestrun::SetClipboardImage(0, 1, bits, 8, 24), CInvalidArgException);
    EXPECT_THROW(kestrun::SetClipboardImage(2, 1, nullptr, 8, 24), CInvalidArgException);
    EXPECT_THROW(kestrun::SetClipboardImage(2, 1, bits, 8, 24, palette), CInvalidArgException);
    EXPECT_EQ(kestrun::GetClipboardText(), CString("kept"));
    EXPECT_FALSE(kestrun::GetClipboardImage().has_value());
}
