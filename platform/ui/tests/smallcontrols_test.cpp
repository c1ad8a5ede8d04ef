// The small shared pieces: the font line of the profile, the caption strip,
// the coloured status panes, the folder chooser, the colour page and the
// tool bar with combo boxes.

#include "platform/core/dc.h"
#include "platform/core/folders.h"
#include "platform/core/profile.h"
#include "platform/core/testing/scripted_message_boxes.h"
#include "platform/ui/coloredstatusbarctrl.h"
#include "platform/ui/colordlg.h"
#include "platform/ui/comboboxtoolbar.h"
#include "platform/ui/fontui.h"
#include "platform/ui/gradientstatic.h"
#include "platform/ui/listboxes.h"
#include "platform/ui/pathdialog.h"
#include "platform/ui/qtdc.h"
#include "platform/ui/systemlook.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QPixmap>
#include <QWidget>
#include <QTimer>
#include <QToolBar>

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <vector>

namespace {

QImage shot(QWidget* widget)
{
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Pixels of the area whose colour lies within tolerance of the colour.
int countNear(const QImage& image, const QRect& area, QColor color, int tolerance = 0)
{
    int count = 0;
    const QRect inside = area & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - color.red()) <= tolerance && std::abs(c.green() - color.green()) <= tolerance &&
                std::abs(c.blue() - color.blue()) <= tolerance)
                ++count;
        }
    }
    return count;
}

class SmallControlsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_parent.CreateEx(0, nullptr, "main", WS_OVERLAPPED, CRect(0, 0, 640, 400), nullptr, 0));
        m_parent.ShowWindow(SW_SHOW);
    }

    CWnd m_parent;
};

// ---- CFontUI ---------------------------------------------------------------------

TEST(FontUI, WritesFaceSizeWeightItalicAndReadsTheSameFontBack)
{
    kestrun::SetApplicationProfile(kestrun::DataFolder() + "/fonts.ini");
    QImage page(10, 10, QImage::Format_RGB32);
    CQtDC dc(page);
    const int dpi = dc.GetDeviceCaps(LOGPIXELSY);

    LOGFONT description{};
    description.lfHeight = -(10 * dpi + 36) / 72; // 10 points
    description.lfWeight = FW_BOLD;
    description.lfItalic = 1;
    SetFaceName(description, "Courier New");
    CFont font;
    ASSERT_TRUE(font.CreateFontIndirect(&description));

    const CFontUI fonts;
    ASSERT_TRUE(fonts.FontToString("Fonts", "Table", font, &dc));
    EXPECT_EQ(GetProfileString("Fonts", "Table"), "Courier New,10,700,1");

    CFont read;
    ASSERT_TRUE(fonts.StringToFont("Fonts", "Table", read, &dc));
    EXPECT_EQ(read.LogFont().lfHeight, description.lfHeight);
    EXPECT_EQ(read.LogFont().lfWeight, FW_BOLD);
    EXPECT_EQ(read.LogFont().lfItalic, 1);
    EXPECT_STREQ(read.LogFont().lfFaceName, "Courier New");
    EXPECT_EQ(read.LogFont().lfCharSet, DEFAULT_CHARSET);

    // A face with a digit, a missing field or no text at all: the font stays.
    for (const char* stored : {"Arial1,10,400,0", "Arial,10,400", ""}) {
        WriteProfileString("Fonts", "Bad", stored);
        EXPECT_FALSE(fonts.StringToFont("Fonts", "Bad", read, &dc)) << stored;
        EXPECT_STREQ(read.LogFont().lfFaceName, "Courier New") << stored;
    }
    kestrun::SetApplicationProfile("");
}

TEST(FontUI, SizeStepsGrowWithTheSize)
{
    struct Step
    {
        int size;
        BOOL up;
        int next;
    };
    for (const Step s : {Step{8, TRUE, 9}, Step{12, TRUE, 13}, Step{13, TRUE, 15}, Step{13, FALSE, 11},
                         Step{31, TRUE, 33}, Step{32, TRUE, 36}, Step{32, FALSE, 28}, Step{47, TRUE, 51},
                         Step{48, TRUE, 56}, Step{48, FALSE, 40}, Step{12, FALSE, 11}}) {
        EXPECT_EQ(CFontUI::StepSize(s.size, s.up), s.next) << s.size << (s.up ? " up" : " down");
    }
}

// ---- CGradientStatic ---------------------------------------------------------------

TEST_F(SmallControlsTest, CaptionStripRunsFromStartToEndColourUnderItsText)
{
    CGradientStatic caption;
    ASSERT_TRUE(caption.Create("Tray", WS_CHILD | WS_VISIBLE, CRect(0, 0, 200, 30), &m_parent, 2317));
    caption.SetColor(RGB(255, 0, 0));
    caption.SetGradientColor(RGB(0, 0, 255));
    caption.SetTextColor(RGB(255, 255, 255));
    QImage image = shot(caption.GetWidget());
    EXPECT_EQ(image.pixelColor(0, 1), QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor(199, 1), QColor(0, 0, 255));
    EXPECT_EQ(image.pixelColor(100, 1), QColor(127, 0, 128));
    // The text starts 10 pixels in, or sits in the middle when centred.
    EXPECT_GT(countNear(image, QRect(10, 0, 40, 30), Qt::white, 40), 0);
    EXPECT_EQ(countNear(image, QRect(0, 0, 9, 30), Qt::white, 40), 0);
    caption.SetCenter(TRUE);
    image = shot(caption.GetWidget());
    EXPECT_EQ(countNear(image, QRect(0, 0, 60, 30), Qt::white, 40), 0);
    EXPECT_GT(countNear(image, QRect(70, 0, 60, 30), Qt::white, 40), 0);
}

TEST_F(SmallControlsTest, CaptionStripWithoutGradientShowsItsTextOnTheNormalBackground)
{
    CGradientStatic caption;
    ASSERT_TRUE(caption.Create("Tray", WS_CHILD | WS_VISIBLE, CRect(0, 0, 200, 30), &m_parent, 2317));
    caption.SetColor(RGB(255, 0, 0));
    caption.SetGradientColor(RGB(0, 0, 255));
    caption.EnableGradient(FALSE);
    const QImage image = shot(caption.GetWidget());
    EXPECT_EQ(countNear(image, image.rect(), QColor(255, 0, 0)), 0);
    EXPECT_EQ(countNear(image, image.rect(), QColor(0, 0, 255)), 0);
    const COLORREF text = GetSysColor(COLOR_BTNTEXT);
    EXPECT_GT(countNear(image, QRect(10, 0, 40, 30), QColor(GetRValue(text), GetGValue(text), GetBValue(text)), 40), 0);
    EXPECT_EQ(caption.GetText(), "Tray");
}

// ---- CColoredStatusBarCtrl ------------------------------------------------------------

TEST_F(SmallControlsTest, OwnerDrawnStatusPanesPaintTheirColours)
{
    CColoredStatusBarCtrl bar;
    ASSERT_TRUE(bar.Create(&m_parent));
    const UINT indicators[] = {ID_SEPARATOR, 0xE7F1, 0xE7F2, 0xE7F3, 0xE7F4};
    ASSERT_TRUE(bar.SetIndicators(indicators, 5));
    for (int pane = 0; pane < 4; ++pane)
        bar.SetPaneInfo(pane, indicators[pane], SBPS_OWNERDRAW, 110);
    for (int pane = 0; pane < 3; ++pane)
        bar.SetPaneText(pane, "HHHH");
    bar.SetPane4Text("HHHH");
    bar.SetPaneText(4, "plain");
    bar.GetWidget()->resize(600, 26);

    QCoreApplication::processEvents(); // the new panes show
    const QImage image = shot(bar.GetWidget());
    struct Expect
    {
        QColor text;
        QColor back;
    };
    const Expect expected[] = {
        {QColor(0, 0, 0), QColor(255, 75, 75)},
        {QColor(255, 0, 0), QColor(255, 255, 255)},
        {QColor(0, 128, 64), QColor(255, 255, 255)},
        {QColor(0, 0, 0), QColor(255, 255, 255)},
    };
    for (int pane = 0; pane < 4; ++pane) {
        CRect rect;
        bar.GetItemRect(pane, &rect);
        const QRect cell(rect.left + 2, rect.top + 1, 20, 10);
        EXPECT_GT(countNear(image, cell, expected[pane].back), 0) << pane;
        EXPECT_GT(countNear(image, cell, expected[pane].text, 24), 0) << pane;
        // Nothing left of the text's cell.
        EXPECT_EQ(countNear(image, QRect(rect.left + 1, rect.top + 3, 1, 6), expected[pane].text, 24), 0) << pane;
    }
    // A pane that is not owner-drawn shows its text as usual, uncoloured.
    CRect plain;
    bar.GetItemRect(4, &plain);
    EXPECT_EQ(countNear(image, QRect(plain.left, plain.top, plain.Width(), plain.Height()), QColor(255, 75, 75)), 0);
}

// A status bar that fills its owner-drawn panes and writes down what it
// was asked to paint.
class CFillingStatusBar : public CStatusBar
{
public:
    struct CAsked
    {
        UINT pane;
        UINT id;
        HWND window;
        CString text;
    };

    void DrawItem(LPDRAWITEMSTRUCT item) override
    {
        m_asked.push_back({item->itemID, item->CtlID, item->hwndItem, reinterpret_cast<const char*>(item->itemData)});
        item->hDC->FillSolidRect(&item->rcItem, RGB(0, 0, 255));
    }

    std::vector<CAsked> m_asked;
};

TEST_F(SmallControlsTest, StatusBarPaintsItsOwnerDrawnPanesThroughDrawItem)
{
    constexpr UINT kBarId = 0xE801;
    CFillingStatusBar bar;
    ASSERT_TRUE(bar.Create(&m_parent, WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, kBarId));
    const UINT indicators[] = {ID_SEPARATOR, 0xE7F1, 0xE7F2};
    ASSERT_TRUE(bar.SetIndicators(indicators, 3));
    bar.SetPaneInfo(1, indicators[1], SBPS_OWNERDRAW, 60);
    bar.SetPaneText(1, "styled");
    bar.SetPaneInfo(2, indicators[2], SBPS_NORMAL, 60);
    bar.GetStatusBarCtrl().SetText("typed", 2, SBT_OWNERDRAW);
    bar.GetWidget()->resize(400, 26);
    QCoreApplication::processEvents();

    const QImage image = shot(bar.GetWidget());
    ASSERT_FALSE(bar.m_asked.empty());
    std::set<UINT> panes;
    for (const CFillingStatusBar::CAsked& asked : bar.m_asked) {
        panes.insert(asked.pane);
        EXPECT_EQ(asked.id, kBarId);
        EXPECT_EQ(asked.window, bar.m_hWnd);
        EXPECT_EQ(asked.text, asked.pane == 1 ? "styled" : "typed");
    }
    EXPECT_EQ(panes, (std::set<UINT>{1, 2}));

    // The bar paints inside the pane's border; other panes stay as they are.
    for (int pane = 0; pane < 3; ++pane) {
        CRect rect;
        bar.GetItemRect(pane, &rect);
        const QRect area(rect.left, rect.top, rect.Width(), rect.Height());
        const int blue = countNear(image, area, QColor(0, 0, 255));
        if (pane == 0) {
            EXPECT_EQ(blue, 0);
            continue;
        }
        EXPECT_EQ(blue, (rect.Width() - 2) * (rect.Height() - 2)) << pane;
    }
}

// ---- CPathDialog ---------------------------------------------------------------------------

class PathDialogTest : public SmallControlsTest
{
protected:
    void SetUp() override
    {
        SmallControlsTest::SetUp();
        m_root = kestrun::DataFolder();
        m_dialog = std::make_unique<CPathDialog>("Select Directory", "Please select directory:", m_root, &m_parent);
        m_window = std::make_unique<CPathDialogSub>(*m_dialog);
        ASSERT_TRUE(m_window->Create(0, &m_parent));
    }

    kestrun::testing::ScopedMessageBoxes m_boxes;
    CString m_root;
    std::unique_ptr<CPathDialog> m_dialog;
    std::unique_ptr<CPathDialogSub> m_window;
};

TEST_F(PathDialogTest, OnlyAFolderOfTheFileSystemCanBeTaken)
{
    CString text;
    m_window->GetWindowText(text);
    EXPECT_EQ(text, "Select Directory");
    m_window->PathEdit()->GetWindowText(text);
    EXPECT_EQ(text, m_root);
    EXPECT_TRUE(m_window->IsOkEnabled());

    m_window->SelectionChanged(""); // a folder without a path
    EXPECT_FALSE(m_window->IsOkEnabled());
    m_window->PathEdit()->SetWindowText(m_root + "/typed");
    EXPECT_TRUE(m_window->IsOkEnabled());
    EXPECT_EQ(m_dialog->GetPathName(), m_root + "/typed");
}

TEST_F(PathDialogTest, MissingFolderIsCreatedOnlyWhenTheUserSaysYes)
{
    const CString missing = m_root + "/new/inner";
    m_window->PathEdit()->SetWindowText(missing);

    m_boxes->QueueAnswer(IDNO);
    m_window->SendMessage(WM_COMMAND, IDOK);
    ASSERT_EQ(m_boxes->Texts().size(), 1u);
    EXPECT_EQ(m_boxes->Texts()[0],
              "The folder:\n\n" + missing + "\n\ndoes not exist. Do you want the folder to be created?");
    EXPECT_TRUE(m_window->IsWindowVisible());
    EXPECT_EQ(m_window->GetWidget()->focusWidget(), m_window->PathEdit()->GetWidget());
    EXPECT_FALSE(QDir(QString::fromUtf8(missing.GetString())).exists());

    m_boxes->QueueAnswer(IDYES);
    m_window->SendMessage(WM_COMMAND, IDOK);
    EXPECT_FALSE(m_window->IsWindowVisible());
    EXPECT_TRUE(QDir(QString::fromUtf8(missing.GetString())).exists());
    EXPECT_EQ(m_dialog->GetPathName(), missing);
}

TEST_F(SmallControlsTest, PathDialogAnswersOkWithTheChosenFolder)
{
    const CString root = kestrun::DataFolder();
    CPathDialog dialog("Select Directory", "Please select directory:", nullptr, &m_parent);
    QTimer::singleShot(0, [&] {
        ASSERT_NE(dialog.GetWindow(), nullptr);
        dialog.GetWindow()->SelectFolder(root);
        dialog.GetWindow()->SendMessage(WM_COMMAND, IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.GetPathName(), root);
    QTimer::singleShot(0, [&] { dialog.GetWindow()->SendMessage(WM_COMMAND, IDCANCEL); });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
}

// ---- CColorDlg -------------------------------------------------------------------------------

TEST_F(SmallControlsTest, ColourPageMarksTheEntrysSwatchAndStoresTheChosenOne)
{
    CPropertySheet sheet("Configuration", &m_parent);
    CColorDlg page;
    page.m_arrNames.Add("Contour");
    page.m_arrNames.Add("Holes");
    page.m_arrColors.Add(RGB(255, 0, 0));
    page.m_arrColors.Add(RGB(1, 2, 3));
    sheet.AddPage(&page);
    ASSERT_TRUE(sheet.Create(&m_parent));

    EXPECT_EQ(page.GetSelectedSwatch(), 2); // red
    auto* swatch = DYNAMIC_DOWNCAST(CColButton, page.GetDlgItem(1005));
    ASSERT_NE(swatch, nullptr);
    EXPECT_EQ(swatch->GetColor(), RGB(255, 255, 0));
    EXPECT_EQ(swatch->GetWidget()->geometry(), QRect(220, 40, 20, 20));

    auto* list = DYNAMIC_DOWNCAST(CComboBox, page.GetDlgItem(CColorDlg::IDC_ITEM_LIST));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->GetCount(), 2);
    qobject_cast<QComboBox*>(list->GetWidget())->setCurrentIndex(1);
    EXPECT_EQ(page.GetSelectedSwatch(), -1); // not a standard colour

    static_cast<CButton*>(page.GetDlgItem(1004))->Click();
    EXPECT_EQ(page.GetColor(1), RGB(0, 0, 255));
    EXPECT_EQ(page.GetSelectedSwatch(), 4);
    EXPECT_TRUE(static_cast<CColButton*>(page.GetDlgItem(1004))->IsSelected());
    EXPECT_EQ(page.GetColor(0), RGB(255, 0, 0));
    EXPECT_EQ(page.GetColor(2), 0u);
}

// ---- CComboBoxToolBar ---------------------------------------------------------------------------

TEST_F(SmallControlsTest, ToolBarCarriesItsComboBoxInTheGapWithTheBarsFont)
{
    constexpr UINT kBar = 7390;
    kestrun::RegisterToolBarResource(kBar, {34001, 34002, 34003});
    CComboBoxToolBar bar;
    ASSERT_TRUE(bar.Create(&m_parent));
    ASSERT_TRUE(bar.LoadToolBar(kBar));
    LOGFONT description{};
    description.lfHeight = -12;
    description.lfWeight = FW_BOLD;
    SetFaceName(description, "MS Sans Serif");
    ASSERT_TRUE(bar.m_font.CreateFontIndirect(&description));
    ASSERT_TRUE(bar.CreateComboBox(bar.m_wndComboBox1, 1, 34, 130));

    EXPECT_EQ(bar.GetItemID(1), 34u);
    EXPECT_EQ(bar.m_wndComboBox1.GetFont(), &bar.m_font);
    EXPECT_EQ(bar.m_wndComboBox1.GetWidget()->width(), 130);
    auto* toolBar = qobject_cast<QToolBar*>(bar.GetWidget());
    ASSERT_NE(toolBar, nullptr);
    EXPECT_TRUE(toolBar->isAncestorOf(bar.m_wndComboBox1.GetWidget()));
    EXPECT_FALSE(bar.CreateComboBox(bar.m_wndComboBox2, 9, 35, 100));
}

} // namespace
