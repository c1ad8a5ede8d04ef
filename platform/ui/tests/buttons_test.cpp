// The owner-drawn buttons: how they look in each state, the check-box
// mode, and the image variants.

#include "platform/core/testing/scripted_message_boxes.h"
#include "platform/ui/bitmapbutton.h"
#include "platform/ui/buttonst.h"
#include "platform/ui/colbutton.h"
#include "platform/ui/signalpictures.h"
#include "platform/ui/colorbutton.h"
#include "platform/ui/staticedit.h"
#include "platform/ui/systemlook.h"

#include <QApplication>
#include <QEvent>
#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

QColor qcolor(COLORREF c)
{
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

QColor sys(int index)
{
    return qcolor(GetSysColor(index));
}

QImage shot(CWnd& wnd)
{
    return wnd.GetWidget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

class CClickRecorder : public CWnd
{
public:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        m_log.push_back(std::to_string(LOWORD(wParam)) + "/" + std::to_string(HIWORD(wParam)));
        return CWnd::OnCommand(wParam, lParam);
    }
    std::vector<std::string> m_log;
};

class ButtonsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_parent.CreateEx(0, nullptr, "form", WS_OVERLAPPED, CRect(0, 0, 300, 200), nullptr, 0));
        // Keeps the focus away from the buttons, which draw it.
        ASSERT_TRUE(m_focus.Create(WS_CHILD | WS_VISIBLE, CRect(200, 150, 290, 170), &m_parent, 99));
        m_parent.ShowWindow(SW_SHOW);
        m_focus.SetFocus();
    }

    CClickRecorder m_parent;
    CEdit m_focus;
};

TEST_F(ButtonsTest, FlatButtonShowsItsBorderOnlyWhileTheMouseIsOverIt)
{
    CButtonST button;
    ASSERT_TRUE(button.Create("", WS_CHILD | WS_VISIBLE, CRect(10, 10, 90, 40), &m_parent, 100));
    EXPECT_EQ(button.GetButtonStyle() & BS_TYPEMASK, BS_OWNERDRAW);
    EXPECT_EQ(shot(button).pixelColor(0, 0), sys(COLOR_BTNFACE));

    button.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(button.IsHovering());
    QImage hovered = shot(button);
    EXPECT_EQ(hovered.pixelColor(0, 0), sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(hovered.pixelColor(79, 29), sys(COLOR_BTNSHADOW));

    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(button.GetWidget(), &leave);
    EXPECT_FALSE(button.IsHovering());
    EXPECT_EQ(shot(button).pixelColor(0, 0), sys(COLOR_BTNFACE));
}

TEST_F(ButtonsTest, RaisedButtonFramesByItsStyle)
{
    struct Case
    {
        DWORD style;
        QColor corner;
        QColor inner;
    };
    const Case cases[] = {
        {BS_PUSHBUTTON, sys(COLOR_BTNHIGHLIGHT), sys(COLOR_3DLIGHT)},
        // A default button gets a black frame around the raised one.
        {BS_DEFPUSHBUTTON, QColor(0, 0, 0), sys(COLOR_BTNHIGHLIGHT)},
    };
    UINT id = 110;
    for (const Case& c : cases) {
        CButtonST button;
        ASSERT_TRUE(button.Create("", WS_CHILD | WS_VISIBLE | c.style, CRect(10, 10, 90, 40), &m_parent, id++));
        button.SetFlat(FALSE);
        const QImage image = shot(button);
        EXPECT_EQ(image.pixelColor(0, 0), c.corner) << c.style;
        EXPECT_EQ(image.pixelColor(1, 1), c.inner) << c.style;
    }
}

TEST_F(ButtonsTest, BitmapButtonShowsItsPictureByLookAndTakesItsSize)
{
    CButton fromLayout;
    ASSERT_TRUE(fromLayout.Create("", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(10, 10, 20, 20), &m_parent, 130));
    CBitmapButton button;
    ASSERT_TRUE(button.SubclassDlgItem(130, &m_parent));
    // An unknown name loads nothing and keeps what was there.
    EXPECT_FALSE(button.LoadBitmaps("SIGNAL_IO", nullptr, nullptr, "NO_SUCH_PICTURE"));
    EXPECT_TRUE(button.GetBitmap(CBitmapButton::lookUp).isNull());
    ASSERT_TRUE(button.LoadBitmaps("SIGNAL_IO", nullptr, nullptr, "SIGNAL_NIO"));
    button.SizeToContent();
    CRect rect;
    button.GetClientRect(&rect);
    EXPECT_EQ(rect.Size(), CSize(button.GetBitmap(CBitmapButton::lookUp).width(),
                                 button.GetBitmap(CBitmapButton::lookUp).height()));
    // The lamp's middle: green while enabled, red once disabled; a look
    // without a picture shows the up picture.
    const QPoint middle(rect.Width() / 2 - 6, rect.Height() / 2);
    QColor lit = shot(button).pixelColor(middle);
    EXPECT_GT(lit.green(), 150);
    EXPECT_LT(lit.red(), 60);
    EXPECT_EQ(&button.GetBitmap(CBitmapButton::lookDown), &button.GetBitmap(CBitmapButton::lookUp));
    button.EnableWindow(FALSE);
    lit = shot(button).pixelColor(middle);
    EXPECT_GT(lit.red(), 150);
    EXPECT_LT(lit.green(), 60);
}

TEST_F(ButtonsTest, SignsAndLampsAreDrawnByName)
{
    for (const char* name : {"SIGNAL_IO", "SIGNAL_NIO", "GO", "STOP"})
        EXPECT_FALSE(kestrun::NamedPicture(name).isNull()) << name;
    EXPECT_TRUE(kestrun::NamedPicture("go").isNull());
    // GO is green and STOP red at their middles.
    const QImage go = kestrun::NamedPicture("GO");
    const QImage stop = kestrun::NamedPicture("STOP");
    EXPECT_GT(go.pixelColor(6, go.height() / 2).green(), 120);
    EXPECT_GT(stop.pixelColor(6, stop.height() / 2).red(), 150);
}

TEST_F(ButtonsTest, PressedStyleRefusesUnknownValues)
{
    CButtonST button;
    EXPECT_EQ(button.SetPressedStyle(2), static_cast<DWORD>(CButtonST::BTNST_INVALIDPRESSEDSTYLE));
    EXPECT_EQ(button.SetPressedStyle(CButtonST::BTNST_PRESSED_TOPBOTTOM), static_cast<DWORD>(CButtonST::BTNST_OK));
    EXPECT_EQ(button.SetColor(CButtonST::BTNST_MAX_COLORS, 0), static_cast<DWORD>(CButtonST::BTNST_INVALIDINDEX));
}

TEST_F(ButtonsTest, CheckBoxModeTogglesOnEachClickBeforeTheParentHears)
{
    CButtonST button;
    ASSERT_TRUE(button.Create("Live", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, CRect(10, 10, 90, 40), &m_parent, 120));
    EXPECT_TRUE(button.IsCheckBoxMode());
    button.Click();
    EXPECT_EQ(button.GetCheck(), BST_CHECKED);
    EXPECT_EQ(m_parent.IsDlgButtonChecked(120), 1u);
    EXPECT_EQ(m_parent.m_log, std::vector<std::string>{"120/0"});
    // Checked looks pressed: the flat button's sunken frame.
    EXPECT_EQ(shot(button).pixelColor(0, 0), sys(COLOR_BTNSHADOW));
    button.Click();
    EXPECT_EQ(button.GetCheck(), BST_UNCHECKED);
    m_parent.CheckDlgButton(120, BST_INDETERMINATE);
    EXPECT_EQ(button.GetCheck(), BST_CHECKED);
}

TEST_F(ButtonsTest, ButtonTakenOverFromTheDialogLayoutHandlesEachClickOnce)
{
    CButton fromLayout;
    ASSERT_TRUE(
        fromLayout.Create("Live", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, CRect(10, 10, 90, 40), &m_parent, 121));
    CButtonST button;
    ASSERT_TRUE(button.SubclassDlgItem(121, &m_parent));
    EXPECT_TRUE(button.IsCheckBoxMode());
    EXPECT_EQ(button.GetButtonStyle() & BS_TYPEMASK, BS_OWNERDRAW);
    button.Click();
    EXPECT_EQ(button.GetCheck(), BST_CHECKED);
    EXPECT_EQ(m_parent.m_log, std::vector<std::string>{"121/0"});
    // Flat and checked: the sunken frame shows that it paints itself.
    EXPECT_EQ(shot(button).pixelColor(0, 0), sys(COLOR_BTNSHADOW));
}

TEST_F(ButtonsTest, GreyAndDarkerVariantsKeepTheTransparentColour)
{
    const COLORREF magenta = RGB(255, 0, 255);
    QImage image(2, 1, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(255, 0, 255));
    image.setPixel(1, 0, qRgb(100, 150, 200));
    const QImage grey = CButtonST::GrayImage(image, magenta);
    const QImage darker = CButtonST::DarkerImage(image, magenta);
    EXPECT_EQ(grey.pixelColor(0, 0), QColor(255, 0, 255));
    EXPECT_EQ(grey.pixelColor(1, 0), QColor(140, 140, 140)); // 140.75 truncated
    EXPECT_EQ(darker.pixelColor(0, 0), QColor(255, 0, 255));
    EXPECT_EQ(darker.pixelColor(1, 0), QColor(75, 112, 150));
}

TEST_F(ButtonsTest, BitmapShowsTheOutVariantUntilHoveredAndLetsTheTransparentColourThrough)
{
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(qRgb(100, 150, 200));
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x)
            image.setPixel(x, y, qRgb(255, 0, 255));
    }
    CButtonST button;
    ASSERT_TRUE(button.Create("", WS_CHILD | WS_VISIBLE, CRect(10, 10, 50, 50), &m_parent, 130));
    EXPECT_EQ(button.SetBitmaps(image, RGB(255, 0, 255), CButtonST::BTNST_AUTO_GRAY),
              static_cast<DWORD>(CButtonST::BTNST_OK));
    // Centred: the image covers 16..24.
    QImage out = shot(button);
    EXPECT_EQ(out.pixelColor(17, 17), sys(COLOR_BTNFACE));
    EXPECT_EQ(out.pixelColor(22, 22), QColor(140, 140, 140));
    button.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(20, 20));
    EXPECT_EQ(shot(button).pixelColor(22, 22), QColor(100, 150, 200));

    EXPECT_EQ(button.SetBitmaps(QImage(), 0), static_cast<DWORD>(CButtonST::BTNST_INVALIDRESOURCE));
    EXPECT_EQ(shot(button).pixelColor(22, 22), sys(COLOR_BTNFACE));
}

TEST_F(ButtonsTest, ColorButtonFillsWithItsColourInsideARaisedFrame)
{
    CColorButton button;
    ASSERT_TRUE(button.Create("", WS_CHILD | WS_VISIBLE, CRect(10, 10, 110, 40), &m_parent, 140));
    button.SetColors(RGB(255, 255, 0), RGB(0, 0, 128));
    QImage image = shot(button);
    EXPECT_EQ(image.pixelColor(0, 0), sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(image.pixelColor(99, 29), sys(COLOR_3DDKSHADOW));
    EXPECT_EQ(image.pixelColor(98, 28), sys(COLOR_BTNSHADOW));
    EXPECT_EQ(image.pixelColor(5, 5), QColor(0, 0, 128));

    button.EnableWindow(FALSE);
    EXPECT_EQ(shot(button).pixelColor(5, 5), sys(COLOR_BTNFACE));
}

TEST_F(ButtonsTest, ColourSwatchShowsTwoFramesWhenSelected)
{
    CColButton swatch;
    ASSERT_TRUE(swatch.Create("", WS_CHILD | WS_VISIBLE, CRect(200, 20, 220, 40), &m_parent, 1000));
    swatch.SetColor(RGB(255, 0, 0));
    EXPECT_EQ(shot(swatch).pixelColor(2, 2), QColor(255, 0, 0));
    swatch.SetSelected(TRUE);
    const QImage image = shot(swatch);
    EXPECT_EQ(image.pixelColor(2, 2), sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(image.pixelColor(3, 3), sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(image.pixelColor(17, 17), sys(COLOR_BTNSHADOW));
    EXPECT_EQ(image.pixelColor(4, 4), QColor(255, 0, 0));
}

} // namespace
