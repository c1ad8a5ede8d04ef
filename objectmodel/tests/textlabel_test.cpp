#include "objectmodel/textlabel.h"

#include "platform/core/recording_dc.h"

#include <gtest/gtest.h>


TEST(TextLabelTest, DrawsWithItsOwnLookAndRestoresTheContext)
{
    CRecordingDC dc;
    dc.SetTextAlign(TA_RIGHT | TA_BOTTOM);
    dc.SetBkMode(TRANSPARENT);
    CFont* font = dc.GetCurrentFont();

    CTextLabel label("12");
    label.m_nBkMode = OPAQUE;
    label.m_crTextColor = RGB(255, 255, 0);
    LOGFONT face{};
    face.lfHeight = -20;
    SetFaceName(face, "Arial");
    label.SetFont(face);
    label.Draw(&dc, 30, 40);

    ASSERT_EQ(dc.Records().size(), 1u);
    const CDCRecord& text = dc.Records()[0];
    EXPECT_EQ(text.op, CString("TextOut"));
    EXPECT_EQ(text.args, (std::vector<int>{30, 40}));
    EXPECT_EQ(text.text, CString("12"));
    EXPECT_EQ(text.textColor, RGB(255, 255, 0));
    EXPECT_EQ(text.bkMode, OPAQUE);
    EXPECT_EQ(text.fontFace, CString("Arial"));
    EXPECT_EQ(text.textAlign, TA_LEFT | TA_TOP);

    EXPECT_EQ(dc.GetCurrentFont(), font);
    EXPECT_EQ(dc.GetTextAlign(), TA_RIGHT | TA_BOTTOM);
    EXPECT_EQ(dc.GetBkMode(), TRANSPARENT);
    EXPECT_EQ(dc.GetTextColor(), RGB(0, 0, 0));
}

TEST(TextLabelTest, ExtentUsesTheLabelsFont)
{
    CRecordingDC dc;
    CTextLabel label("abc");
    const CSize plain = label.GetExtent(&dc);
    LOGFONT big{};
    big.lfHeight = -40;
    label.SetFont(big);
    const CSize large = label.GetExtent(&dc);
    EXPECT_GT(large.cy, plain.cy);
    EXPECT_EQ(large.cy, 40);
    label.ClearFont();
    EXPECT_EQ(label.GetExtent(&dc), plain);
}
