// Menus, tool bars and the status bar of a frame.

#include "platform/core/resources.h"
#include "platform/ui/commandicons.h"
#include "platform/ui/controlbar.h"
#include "platform/ui/listboxes.h"
#include "platform/ui/menu.h"
#include "platform/ui/rangectrls.h"
#include "platform/ui/winapp.h"

#include <QAction>
#include <QEnterEvent>
#include <QIcon>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

constexpr UINT IDR_BARFRAME = 7300;
enum : UINT
{
    ID_BAR_OPEN = 34001,
    ID_BAR_GRAB,
    ID_BAR_LIVE,
    ID_BAR_COMBO = 34,
};

class CBarFrame : public CFrameWnd
{
    DECLARE_MESSAGE_MAP()

public:
    CBarFrame() { BuildMessageMap(); }

    void OnGrab() { ++m_grabs; }
    void OnUpdateLive(CCmdUI* ui) { ui->SetCheck(m_live ? 1 : 0); }
    void OnComboChange() { ++m_comboChanges; }
    void OnComboClick(NMHDR*, LRESULT* pResult) { *pResult = 7; }

    CToolBar m_toolBar;
    CStatusBar m_statusBar;
    CComboBox m_combo;
    int m_grabs = 0;
    int m_comboChanges = 0;
    bool m_live = true;

protected:
    int OnCreate(LPCREATESTRUCT lpcs) override
    {
        if (CFrameWnd::OnCreate(lpcs) == -1)
            return -1;
        if (!m_toolBar.Create(this) || !m_toolBar.LoadToolBar(IDR_BARFRAME))
            return -1;
        // A gap of 130 pixels that the combo box fills.
        m_toolBar.SetButtonInfo(1, ID_BAR_COMBO, TBBS_SEPARATOR, 130);
        CRect rect;
        m_toolBar.GetItemRect(1, &rect);
        if (!m_combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, rect, &m_toolBar, ID_BAR_COMBO))
            return -1;
        const UINT indicators[] = {ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM};
        if (!m_statusBar.Create(this) || !m_statusBar.SetIndicators(indicators, 3))
            return -1;
        return 0;
    }
};

BEGIN_MESSAGE_MAP(CBarFrame, CFrameWnd)
    ON_COMMAND(ID_BAR_GRAB, OnGrab)
    ON_UPDATE_COMMAND_UI(ID_BAR_LIVE, OnUpdateLive)
    ON_CBN_SELCHANGE(ID_BAR_COMBO, OnComboChange)
    ON_NOTIFY(NM_CLICK, ID_BAR_COMBO, OnComboClick)
END_MESSAGE_MAP()

// A bar that handles its own combo box's choice.
class CChoosingBar : public CToolBar
{
    DECLARE_MESSAGE_MAP()

public:
    CChoosingBar() { BuildMessageMap(); }
    void OnChoice() { ++m_choices; }
    int m_choices = 0;
};

BEGIN_MESSAGE_MAP(CChoosingBar, CToolBar)
    ON_CBN_SELCHANGE(ID_BAR_COMBO, OnChoice)
END_MESSAGE_MAP()

class BarsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        using namespace kestrun;
        AfxRegisterString(IDR_BARFRAME, "Bars");
        AfxRegisterString(ID_BAR_GRAB, "Grab one frame\nSnapshot");
        AfxRegisterString(ID_BAR_LIVE, "Show the live picture\nLive");
        RegisterCommandIcon(ID_BAR_GRAB, "snapshot");
        RegisterToolBarResource(IDR_BARFRAME, {ID_BAR_OPEN, ID_SEPARATOR, ID_BAR_GRAB, ID_BAR_LIVE});
        RegisterMenuResource(IDR_BARFRAME, {
                                               Popup("&Video", {MenuItem("&Snapshot", ID_BAR_GRAB),
                                                                MenuSeparator(),
                                                                MenuItem("&Live\tCtrl+L", ID_BAR_LIVE)}),
                                               Popup("&Help", {MenuItem("&About", ID_APP_ABOUT)}),
                                           });
        m_frame = new CBarFrame;
        ASSERT_TRUE(m_frame->LoadFrame(IDR_BARFRAME));
        m_frame->ShowWindow(SW_SHOW);
    }
    void TearDown() override
    {
        if (m_frame)
            m_frame->DestroyWindow();
    }

    CBarFrame* m_frame = nullptr;
};

TEST_F(BarsTest, MenuFromTheResourceAsksItsItemsBeforeItOpens)
{
    CMenu* menu = m_frame->GetMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->GetMenuItemCount(), 2);
    CMenu* video = menu->GetSubMenu(0);
    ASSERT_NE(video, nullptr);
    EXPECT_EQ(video->GetMenuItemID(0), ID_BAR_GRAB);
    EXPECT_EQ(video->GetMenuItemID(1), 0u);
    EXPECT_EQ(menu->GetMenuItemID(0), 0xFFFFFFFFu);
    CString text;
    menu->GetMenuString(ID_BAR_LIVE, text, MF_BYCOMMAND);
    EXPECT_EQ(text, "&Live\tCtrl+L");
    EXPECT_EQ(menu->CheckMenuItem(ID_BAR_LIVE, MF_CHECKED), MF_UNCHECKED);
    EXPECT_EQ(menu->GetMenuState(ID_BAR_LIVE, MF_BYCOMMAND) & MF_CHECKED, MF_CHECKED);

    // The menu bar shows the menu; opening it runs the update handlers.
    QMenuBar* bar = m_frame->MainWindow()->menuBar();
    ASSERT_EQ(bar->actions().size(), 2);
    QMenu* shown = bar->actions()[0]->menu();
    ASSERT_NE(shown, nullptr);
    Q_EMIT shown->aboutToShow();
    const QList<QAction*> items = shown->actions();
    ASSERT_EQ(items.size(), 3);
    EXPECT_TRUE(items[0]->isEnabled());
    EXPECT_TRUE(items[2]->isChecked());
    EXPECT_EQ(items[2]->shortcut(), QKeySequence("Ctrl+L"));
    m_frame->m_live = false;
    Q_EMIT shown->aboutToShow();
    EXPECT_FALSE(items[2]->isChecked());

    // Choosing an item posts the command to the frame.
    items[0]->trigger();
    EXPECT_EQ(m_frame->m_grabs, 0);
    kestrun::PumpMessages();
    EXPECT_EQ(m_frame->m_grabs, 1);
}

TEST_F(BarsTest, ToolBarButtonsCarryTheirCommandsAndAChildFillsItsGap)
{
    CToolBar& bar = m_frame->m_toolBar;
    EXPECT_EQ(bar.GetCount(), 4);
    EXPECT_EQ(bar.CommandToIndex(ID_BAR_GRAB), 2);
    EXPECT_EQ(bar.GetItemID(1), ID_BAR_COMBO);

    // The combo box sits where the gap was, as wide as the gap.
    EXPECT_EQ(m_frame->m_combo.GetParent(), &bar);
    CRect rect;
    bar.GetItemRect(1, &rect);
    EXPECT_EQ(rect.Width(), 130);
    EXPECT_EQ(m_frame->m_combo.GetWidget()->width(), 130);

    m_frame->OnIdleUpdateCmdUI();
    EXPECT_NE(bar.GetButtonStyle(0) & TBBS_DISABLED, 0u); // nobody handles it
    EXPECT_EQ(bar.GetButtonStyle(2) & TBBS_DISABLED, 0u);
    EXPECT_NE(bar.GetButtonStyle(3) & TBBS_CHECKED, 0u);

    auto* grab = qobject_cast<QToolBar*>(bar.GetWidget())->actions()[2];
    grab->trigger();
    EXPECT_EQ(m_frame->m_grabs, 1);

    // The status-bar command hides the bar and its update shows the state.
    m_frame->SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(ID_VIEW_STATUS_BAR), 0), 0);
    EXPECT_FALSE(m_frame->m_statusBar.IsWindowVisible());
    CCmdUI ui;
    ui.m_nID = ID_VIEW_STATUS_BAR;
    ui.DoUpdate(m_frame, TRUE);
    EXPECT_EQ(ui.m_nCheck, 0);
}

TEST_F(BarsTest, ToolBarPassesItsControlsNoticesToTheFrame)
{
    m_frame->m_combo.NotifyParent(CBN_SELCHANGE);
    EXPECT_EQ(m_frame->m_comboChanges, 1);
    NMHDR click{};
    click.code = NM_CLICK;
    EXPECT_EQ(m_frame->m_combo.NotifyParent(click), 7);

    // What the bar handles itself stays there.
    CChoosingBar bar;
    ASSERT_TRUE(bar.Create(m_frame, WS_CHILD | WS_VISIBLE | CBRS_TOP, AFX_IDW_TOOLBAR + 1));
    CComboBox combo;
    ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, CRect(0, 0, 80, 100), &bar, ID_BAR_COMBO));
    combo.NotifyParent(CBN_SELCHANGE);
    EXPECT_EQ(bar.m_choices, 1);
    EXPECT_EQ(m_frame->m_comboChanges, 1);
}

TEST_F(BarsTest, StatusBarPanesAndAProgressBarOverTheFirstPane)
{
    CStatusBar& bar = m_frame->m_statusBar;
    EXPECT_EQ(bar.GetCount(), 3);
    EXPECT_EQ(bar.GetPaneText(1), "CAP");
    EXPECT_EQ(bar.CommandToIndex(ID_INDICATOR_NUM), 2);

    m_frame->SetMessageText("Frame Rate:25.000000");
    EXPECT_EQ(bar.GetPaneText(0), "Frame Rate:25.000000");
    CString copy = "transient";
    bar.GetStatusBarCtrl().SetText(copy, 0, SBT_OWNERDRAW);
    copy = "changed";
    EXPECT_EQ(bar.GetStatusBarCtrl().GetText(0), "transient");

    CRect pane;
    bar.GetItemRect(0, &pane);
    ASSERT_FALSE(pane.IsRectEmpty());
    CRect other;
    bar.GetItemRect(1, &other);
    EXPECT_GE(other.left, pane.right);

    CProgressCtrl progress;
    ASSERT_TRUE(progress.Create(WS_CHILD | WS_VISIBLE, pane, &bar, 1));
    progress.SetRange32(0, 100);
    progress.SetPos(40);
    EXPECT_EQ(progress.GetParent(), &bar);
    const QRect g = progress.GetWidget()->geometry();
    EXPECT_EQ(CRect(g.left(), g.top(), g.left() + g.width(), g.top() + g.height()), pane);
    EXPECT_EQ(progress.GetWidget()->parentWidget(), bar.GetWidget());

    // Indicators without handlers are shown greyed.
    m_frame->OnIdleUpdateCmdUI();
    EXPECT_NE(bar.GetPaneStyle(1) & SBPS_DISABLED, 0u);
}

QImage Drawn(const QIcon& icon)
{
    return icon.pixmap(24, 24).toImage().convertToFormat(QImage::Format_ARGB32);
}

TEST_F(BarsTest, ButtonsShowTheirPictureTipAndPromptWhichGivesBackThePaneText)
{
    auto* bar = qobject_cast<QToolBar*>(m_frame->m_toolBar.GetWidget());
    QAction* grab = bar->actions()[2];
    EXPECT_EQ(grab->toolTip(), "Snapshot");
    EXPECT_EQ(grab->statusTip(), "Grab one frame");
    EXPECT_EQ(Drawn(grab->icon()), Drawn(kestrun::Pictogram("snapshot")));
    EXPECT_FALSE(Drawn(grab->icon()).isNull());

    // A command without a picture shows its name, never an empty button.
    QAction* live = bar->actions()[3];
    EXPECT_TRUE(live->icon().isNull());
    EXPECT_EQ(live->text(), "Live");

    // The prompt takes the message pane while the pointer is over the
    // button, and what the pane said comes back when it leaves.
    m_frame->SetMessageText("Objects: 108");
    QWidget* button = bar->widgetForAction(grab);
    ASSERT_NE(button, nullptr);
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QCoreApplication::sendEvent(button, &enter);
    EXPECT_EQ(m_frame->m_statusBar.GetPaneText(0), "Grab one frame");
    EXPECT_EQ(m_frame->m_statusBar.GetPaneText(1), "CAP"); // the other panes stay
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(button, &leave);
    EXPECT_EQ(m_frame->m_statusBar.GetPaneText(0), "Objects: 108");
}

// The desktop's theme gives the picture when it has a readable one of the
// same meaning; otherwise the button keeps ours.
TEST(CommandIcons, ThemePictureWhenReadableOursOtherwise)
{
    namespace fs = std::filesystem;
    const fs::path root = fs::temp_directory_path() / "kestrun-icon-theme-test";
    fs::remove_all(root);
    const fs::path size16 = root / "probe" / "16x16";
    fs::create_directories(size16);
    std::ofstream(root / "probe" / "index.theme") << "[Icon Theme]\nName=probe\nDirectories=16x16\n\n"
                                                     "[16x16]\nSize=16\nType=Fixed\n";
    QPixmap red(16, 16);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(QString::fromStdString((size16 / "document-open.png").string())));
    std::ofstream(size16 / "edit-cut.png") << "not a picture";

    const QStringList searchPaths = QIcon::themeSearchPaths();
    const QString themeName = QIcon::themeName();
    QIcon::setThemeSearchPaths({QString::fromStdString(root.string())});
    QIcon::setThemeName("probe");

    EXPECT_EQ(kestrun::CommandIcon(ID_FILE_OPEN).pixmap(16, 16).toImage().pixelColor(8, 8), QColor(Qt::red));
    EXPECT_EQ(Drawn(kestrun::CommandIcon(ID_EDIT_CUT)), Drawn(kestrun::Pictogram("edit-cut")));
    EXPECT_EQ(Drawn(kestrun::CommandIcon(ID_FILE_SAVE)), Drawn(kestrun::Pictogram("document-save")));
    EXPECT_EQ(kestrun::CommandPictogramPath(ID_FILE_OPEN), ":/icons/document-open.svg");

    QIcon::setThemeSearchPaths(searchPaths);
    QIcon::setThemeName(themeName);
    fs::remove_all(root);
}

} // namespace
