// The frame and dialog bases that keep placements and sizes in the
// profile, and the dialog that names a profile.

#include "app/tests/apptesting.h"

#include "platform/ui/persistentdlg.h"
#include "platform/ui/persistentframe.h"
#include "platform/ui/resizingdialog.h"
#include "app/resource.h"
#include "app/saveprofiledlg.h"
#include "platform/ui/scaledlg.h"

#include "platform/core/profile.h"
#include "platform/ui/doctemplate.h"
#include "platform/ui/document.h"
#include "platform/ui/staticedit.h"
#include "platform/ui/view.h"

namespace kestrun::testing {

class CPlacedView : public CView
{
    DECLARE_DYNCREATE(CPlacedView)

public:
    void OnDraw(CDC*) override {}
};

class CPlacedDoc : public CDocument
{
    DECLARE_DYNCREATE(CPlacedDoc)
};

IMPLEMENT_DYNCREATE(CPlacedView, CView)
IMPLEMENT_DYNCREATE(CPlacedDoc, CDocument)

namespace {

constexpr UINT IDD_TEST_RESIZING = 0x7a10;
constexpr UINT IDD_TEST_SCALE = 0x7a11;
constexpr UINT IDD_TEST_PLACED = 0x7a12;
constexpr UINT IDC_TEST_LIST = 3001;
constexpr UINT IDC_TEST_BUTTON = 3002;
constexpr UINT IDR_TEST_PLACED = 7390;

CRect WindowRect(const CWnd& wnd)
{
    CRect rect;
    wnd.GetWindowRect(&rect);
    return rect;
}

CRect NormalRect(const CWnd& wnd)
{
    WINDOWPLACEMENT state{};
    wnd.GetWindowPlacement(&state);
    return state.rcNormalPosition;
}

// The client area on the screen, which a top-level window's placement keeps.
CRect ClientOnScreen(const CWnd& wnd)
{
    CRect rect;
    wnd.GetClientRect(&rect);
    wnd.ClientToScreen(&rect);
    return rect;
}

CRect ChildRect(const CWnd& parent, int nID)
{
    CRect rect;
    parent.GetDlgItem(nID)->GetWindowRect(&rect);
    parent.ScreenToClient(&rect);
    return rect;
}

class BasesTest : public CAppTest
{
protected:
    void SetUp() override
    {
        CAppTest::SetUp();
        Start(m_app);
        RegisterDialogTemplate(IDD_TEST_RESIZING, {"Resizing",
                                                   {0, 0, 200, 120},
                                                   {ListBox(IDC_TEST_LIST, 7, 7, 120, 80),
                                                    PushButton("Close", IDC_TEST_BUTTON, 140, 98, 50, 14)}});
        RegisterDialogTemplate(IDD_TEST_PLACED, {"Placed", {0, 0, 80, 40}, {}});
    }
    void TearDown() override
    {
        Stop(m_app);
        CAppTest::TearDown();
    }

    CKestrunApp m_app;
};

TEST_F(BasesTest, MainWindowPlacementIsSavedAndRestored)
{
    CMainFrame& frame = MainFrame(m_app);
    // The first start had no values: maximised, as the program asks.
    EXPECT_TRUE(frame.IsZoomed());
    frame.ShowWindow(SW_SHOWNORMAL);
    frame.MoveWindow(40, 30, 600, 450);
    frame.m_persist.SaveWindowPlacement();
    const CRect client = ClientOnScreen(frame);
    EXPECT_EQ(GetProfileString("MainFrame", "Rect", ""),
              FormatString("%04d %04d %04d %04d", client.left, client.top, client.right, client.bottom));
    EXPECT_EQ(GetProfileInt("MainFrame", "max", 9), 0u);
    EXPECT_EQ(GetProfileInt("MainFrame", "tool", 9), 1u);
    EXPECT_EQ(GetProfileInt("MainFrame", "status", 9), 1u);

    // Only the first load counts.
    EXPECT_FALSE(frame.m_persist.LoadWindowPlacement(TRUE));
    CPersistentFrame again;
    again.Attach(&frame, "MainFrame");
    WriteProfileInt("MainFrame", "tool", 0);
    ASSERT_TRUE(again.LoadWindowPlacement(TRUE));
    EXPECT_FALSE(frame.IsZoomed());
    EXPECT_EQ(NormalRect(frame).Size(), CSize(600, 450));
    EXPECT_FALSE(frame.m_wndToolBar.IsWindowVisible());
    EXPECT_TRUE(frame.m_wndStatusBar.IsWindowVisible());
}

TEST_F(BasesTest, MinimisedWindowIsRestoredMinimised)
{
    CMainFrame& frame = MainFrame(m_app);
    WriteProfileString("Minimised", "Rect", "0010 0010 0500 0400");
    WriteProfileInt("Minimised", "icon", 1);
    WriteProfileInt("Minimised", "max", 1);
    CPersistentFrame placement;
    placement.Attach(&frame, "Minimised");
    ASSERT_TRUE(placement.LoadWindowPlacement(FALSE));
    EXPECT_TRUE(frame.IsIconic());
    placement.SaveWindowPlacement();
    EXPECT_EQ(GetProfileInt("Minimised", "icon", 0), 1u);
    EXPECT_EQ(ClientOnScreen(frame).Size(), CSize(490, 390));
}

TEST_F(BasesTest, ChildFrameTakesItsRectangleOrTheDefault)
{
    auto* views = new CMultiDocTemplate(IDR_TEST_PLACED, RUNTIME_CLASS(CPlacedDoc), RUNTIME_CLASS(CMDIChildWnd),
                                        RUNTIME_CLASS(CPlacedView));
    m_app.AddDocTemplate(views);
    struct Case
    {
        const char* stored;
        CRect expected;
    };
    const Case cases[] = {
        {"0010 0010 0500 0400", CRect(10, 10, 500, 400)},
        {"0020 0030 0300 0200", CRect(20, 30, 300, 200)},
        {"0010 0010 9000 0400", CRect(10, 10, 500, 400)},
        {"-010 0010 0300 0200", CRect(10, 10, 500, 400)},
        {"", CRect(10, 10, 500, 400)},
    };
    for (const Case& c : cases) {
        CDocument* doc = views->OpenDocumentFile(nullptr);
        ASSERT_NE(doc, nullptr);
        CView* view = doc->Views().front();
        WriteProfileString("ChartView", "Rect", c.stored);
        WriteProfileInt("ChartView", "max", 0);
        CPersistentFrame placement;
        placement.Attach(view, "ChartView");
        ASSERT_TRUE(placement.LoadWindowPlacement(FALSE));
        EXPECT_EQ(NormalRect(*view->GetParent()), c.expected) << c.stored;
        placement.SaveWindowPlacement();
        EXPECT_EQ(GetProfileString("ChartView", "Rect", ""),
                  FormatString("%04d %04d %04d %04d", c.expected.left, c.expected.top, c.expected.right,
                               c.expected.bottom))
            << c.stored;
        doc->OnCloseDocument();
    }
}

TEST_F(BasesTest, DialogPositionIsRestoredOnlyWhenItFitsTheScreen)
{
    struct Case
    {
        const char* stored;
        bool moved;
    };
    for (const Case c : {Case{"0030 0040", true}, Case{"0000 0120", false}, Case{"0030 9000", false}}) {
        CDialog dialog(IDD_TEST_PLACED);
        ASSERT_TRUE(dialog.Create(IDD_TEST_PLACED, &MainFrame(m_app)));
        dialog.SetWindowPos(nullptr, 5, 6, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        WriteProfileString("Placed", "Position", c.stored);
        CPersistentDlg placement;
        placement.Attach(&dialog, "Placed");
        ASSERT_TRUE(placement.RestorePlacement());
        EXPECT_FALSE(placement.RestorePlacement());
        EXPECT_EQ(WindowRect(dialog).TopLeft(), c.moved ? CPoint(30, 40) : CPoint(5, 6)) << c.stored;
        placement.SavePlacement();
        EXPECT_EQ(GetProfileString("Placed", "Position", ""), c.moved ? "0030 0040" : "0005 0006");
        dialog.DestroyWindow();
    }
}

TEST_F(BasesTest, ResizingDialogMovesItsAnchoredControlsAndKeepsItsSize)
{
    CSize grown;
    {
        CResizingDialog dialog(IDD_TEST_RESIZING);
        dialog.AddAnchor(IDC_TEST_LIST, CResizingDialog::kStretchX | CResizingDialog::kStretchY);
        dialog.AddAnchor(IDC_TEST_BUTTON, CResizingDialog::kMoveX | CResizingDialog::kMoveY);
        dialog.AddAnchor(IDC_TEST_BUTTON, 0);
        ASSERT_TRUE(dialog.Create(IDD_TEST_RESIZING, &MainFrame(m_app)));
        CRect client;
        dialog.GetClientRect(&client);
        const CRect list = ChildRect(dialog, IDC_TEST_LIST);
        const CRect button = ChildRect(dialog, IDC_TEST_BUTTON);
        // The first size change only records the size.
        dialog.SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.Width(), client.Height()));
        dialog.SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.Width() + 40, client.Height() + 30));
        CRect stretched = list;
        stretched.right += 40;
        stretched.bottom += 30;
        EXPECT_EQ(ChildRect(dialog, IDC_TEST_LIST), stretched);
        EXPECT_EQ(ChildRect(dialog, IDC_TEST_BUTTON), button + CPoint(40, 30));
        dialog.SetWindowPos(nullptr, 0, 0, client.Width() + 40, client.Height() + 30, SWP_NOMOVE | SWP_NOZORDER);
        CRect resized;
        dialog.GetClientRect(&resized);
        grown = resized.Size();
        dialog.DestroyWindow();
    }
    EXPECT_EQ(GetProfileInt("7a10", "CX", 0), static_cast<UINT>(grown.cx));
    EXPECT_EQ(GetProfileInt("7a10", "CY", 0), static_cast<UINT>(grown.cy));

    // The next one opens at that size; untouched, it writes nothing.
    WriteProfileString("7a10", nullptr, nullptr);
    WriteProfileInt("7a10", "CX", grown.cx);
    WriteProfileInt("7a10", "CY", grown.cy + 10);
    CResizingDialog next(IDD_TEST_RESIZING);
    ASSERT_TRUE(next.Create(IDD_TEST_RESIZING, &MainFrame(m_app)));
    CRect client;
    next.GetClientRect(&client);
    EXPECT_EQ(client.Size(), CSize(grown.cx, grown.cy + 10));
    WriteProfileString("7a10", nullptr, nullptr);
    next.DestroyWindow();
    EXPECT_EQ(GetProfileInt("7a10", "CX", 0), 0u);
}

TEST_F(BasesTest, ScaleDialogScalesItsChildren)
{
    class CScaled : public CScaleDlg
    {
    public:
        CScaled() : CScaleDlg(IDD_TEST_SCALE) {}
        void FillWith(UINT nID) { m_nFillControl = nID; }

    protected:
        void OnCreateControls() override
        {
            auto edit = std::make_unique<CEdit>();
            edit->Create(WS_CHILD | WS_VISIBLE, CRect(10, 10, 60, 30), this, IDC_TEST_LIST);
            AddControl(std::move(edit));
            auto other = std::make_unique<CEdit>();
            other->Create(WS_CHILD | WS_VISIBLE, CRect(70, 10, 90, 30), this, IDC_TEST_BUTTON);
            AddControl(std::move(other));
        }
    };
    RegisterDialogTemplate(IDD_TEST_SCALE, {"Scaled", {0, 0, 0, 0}, {}});
    CScaled dialog;
    ASSERT_TRUE(dialog.Create(IDD_TEST_SCALE, &MainFrame(m_app)));
    CRect client;
    dialog.GetClientRect(&client);
    dialog.SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.Width() * 2, client.Height() * 2));
    EXPECT_DOUBLE_EQ(dialog.GetScaleX(), 2.0);
    EXPECT_EQ(ChildRect(dialog, IDC_TEST_LIST), CRect(20, 20, 120, 60));

    // A fill control takes the whole client area; the others hide.
    dialog.FillWith(IDC_TEST_LIST);
    dialog.SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(300, 200));
    EXPECT_EQ(ChildRect(dialog, IDC_TEST_LIST), CRect(0, 0, 300, 200));
    EXPECT_FALSE(dialog.GetDlgItem(IDC_TEST_BUTTON)->IsWindowVisible());
    dialog.DestroyWindow();
}

TEST_F(BasesTest, SaveProfileDialogWantsAName)
{
    CSaveProfileDlg dialog(&MainFrame(m_app));
    ASSERT_TRUE(dialog.Create(IDD_SAVE_PROFILE, &MainFrame(m_app)));
    EXPECT_FALSE(dialog.GetDlgItem(IDOK)->IsWindowEnabled());
    dialog.SetDlgItemText(IDC_PROFILE_NAME, "Lab");
    EXPECT_TRUE(dialog.GetDlgItem(IDOK)->IsWindowEnabled());
    dialog.SetDlgItemText(IDC_PROFILE_NAME, "");
    EXPECT_FALSE(dialog.GetDlgItem(IDOK)->IsWindowEnabled());
    dialog.DestroyWindow();
}

} // namespace

} // namespace kestrun::testing
