// The main window: its bars, menus and video-source combo box, the commands
// it routes or disables, the registered messages it handles, and what a
// count shows in it (progress, steps not in this build).

#include "app/tests/apptesting.h"

#include "app/registeredmessages.h"
#include "app/resource.h"

#include "analysis/aoi.h"
#include "analysis/bv.h"
#include "analysis/objectfilter.h"
#include "analysis/resultdocument.h"
#include "analysis/segthres.h"
#include "imaging/dibdoc.h"
#include "imaging/resulttable.h"
#include "imaging/ui/dibvwex.h"
#include "imaging/ui/integrationdlg.h"
#include "outside/grabwell/fgboard.h"
#include "outside/pixmere/dib.h"
#include "platform/core/messages.h"
#include "platform/core/resources.h"
#include "platform/ui/commandicons.h"
#include "platform/ui/doctemplate.h"
#include "platform/ui/rangectrls.h"
#include "platform/ui/view.h"

#include <QAction>
#include <QFile>
#include <QIcon>
#include <QMainWindow>
#include <QToolBar>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <QMenuBar>
#include <QWidget>

#include <fstream>

namespace kestrun::testing {

// An image document that counts the counts it is asked for.
class CCountingImageDoc : public CDIBDoc
{
    DECLARE_DYNCREATE(CCountingImageDoc)

public:
    CCountingImageDoc() { BuildMessageMap(); }
    void OnSearchObjects() { ++m_nCounts; }
    int m_nCounts = 0;

protected:
    DECLARE_MESSAGE_MAP()
};

class CPlainImageView : public CView
{
    DECLARE_DYNCREATE(CPlainImageView)

public:
    void OnDraw(CDC*) override {}
};

IMPLEMENT_DYNCREATE(CCountingImageDoc, CDIBDoc)
IMPLEMENT_DYNCREATE(CPlainImageView, CView)

BEGIN_MESSAGE_MAP(CCountingImageDoc, CDIBDoc)
    ON_COMMAND(ID_SEARCH_OBJECTS, OnSearchObjects)
END_MESSAGE_MAP()

namespace {

namespace fs = std::filesystem;

// A window below the main window that records one registered message.
class CListener : public CWnd
{
public:
    CListener(CWnd& parent, UINT message)
    {
        AddMessageHandler(message, [this](WPARAM wParam, LPARAM lParam) {
            m_received.emplace_back(wParam, lParam);
            return LRESULT(0);
        });
        Create(nullptr, "listener", WS_CHILD, CRect(0, 0, 10, 10), &parent, 4712);
    }
    std::vector<std::pair<WPARAM, LPARAM>> m_received;
};

using MainFrameTest = CStartedAppTest<CKestrunApp>;

TEST_F(MainFrameTest, ComesUpWithMenusToolBarsVideoSourcesAndStatusBar)
{
    CMainFrame& frame = Frame();
    EXPECT_TRUE(frame.IsWindowVisible());
    EXPECT_EQ(frame.GetTitle(), "Halvorn - Numbrel");

    CMenu* menu = frame.GetMenu();
    ASSERT_NE(menu, nullptr);
    CString first;
    CString last;
    menu->GetMenuString(0, first, MF_BYPOSITION);
    menu->GetMenuString(menu->GetMenuItemCount() - 1, last, MF_BYPOSITION);
    EXPECT_EQ(first, "&File");
    EXPECT_EQ(last, "&Help");
    EXPECT_EQ(frame.MainWindow()->menuBar()->actions().size(), menu->GetMenuItemCount());
    CString item;
    EXPECT_GT(menu->GetMenuString(ID_SEARCH_OBJECTS, item, MF_BYCOMMAND), 0);
    EXPECT_EQ(item, "Search &Objects");

    // 29 buttons; the eighth became the video-source combo box.
    CComboBoxToolBar& bar = frame.m_wndToolBar;
    EXPECT_EQ(bar.GetCount(), 29);
    EXPECT_EQ(bar.GetItemID(7), IDC_VIDEO_SOURCE);
    EXPECT_EQ(bar.GetItemID(0), static_cast<UINT>(ID_FILE_NEW));
    EXPECT_EQ(bar.GetItemID(28), static_cast<UINT>(ID_CONTEXT_HELP));
    CComboBox& combo = bar.m_wndComboBox1;
    EXPECT_EQ(combo.GetParent(), &bar);
    std::vector<CString> sources;
    for (int source = 0; source < FGBoard::kSourceSlots; ++source) {
        if (const CString name = GetFG()->GetVideoSourceNameAt(source); !name.IsEmpty())
            sources.push_back(name);
    }
    ASSERT_EQ(combo.GetCount(), static_cast<int>(sources.size()));
    for (int i = 0; i < combo.GetCount(); ++i) {
        CString text;
        combo.GetLBText(i, text);
        EXPECT_EQ(text, sources[static_cast<size_t>(i)]);
    }
    ASSERT_GE(combo.GetCurSel(), 0);
    EXPECT_EQ(static_cast<int>(combo.GetItemData(combo.GetCurSel())), GetFG()->GetVideoSource());

    EXPECT_EQ(frame.m_wndDBToolBar.GetDlgCtrlID(), static_cast<int>(IDW_DBTOOLBAR));
    EXPECT_FALSE(frame.m_wndDBToolBar.IsWindowVisible());
    EXPECT_TRUE(bar.IsWindowVisible());

    EXPECT_EQ(frame.m_wndStatusBar.GetCount(), 4);
    EXPECT_EQ(frame.m_wndStatusBar.GetItemID(1), static_cast<UINT>(ID_INDICATOR_CAPS));
    EXPECT_EQ(frame.m_wndStatusBar.GetItemID(3), static_cast<UINT>(ID_INDICATOR_SCRL));
}

TEST_F(MainFrameTest, CommandsOfMissingPartsAreDisabled)
{
    const UINT disabled[] = {
        ID_OPEN_DATABASE, ID_PASTE_NEW_IMAGE, ID_MACRO_RUN, ID_EXTENDED_VIEW, ID_HELP_INDEX,
        ID_HELP_USING, ID_CONTEXT_HELP,
        // Routed to windows that are not open.
        ID_IMPORT, ID_RECORD_FIRST, ID_DB_COMMAND_FIRST, ID_IMAGE_INTEGRATION, ID_THRESHOLDS, ID_SEARCH_OBJECTS, ID_ZOOM,
        ID_EXPORT_CSV,
        // Hardware type -1.
        ID_SENSOR_SETUP, ID_DEVICE_CTRL, ID_UW_SCANNER,
    };
    for (UINT id : disabled)
        EXPECT_FALSE(QueryCommand(Frame(), id).enabled) << id;
    for (UINT id : {static_cast<UINT>(ID_FILE_OPEN), ID_NEW_MEASUREMENT, ID_DATABASE_TOOLBAR, ID_INPUT_CHANNEL_0, ID_SCAN_CHAMBER,
                    ID_CURVATURE, ID_CONVEX_CONCAVE, ID_CONGLOMERATE_CUTTING, ID_USER_LEVEL, ID_CHANGE_PASSWORD,
                    ID_SYSTEM_OPTIONS, ID_HARDWARE_SELECT, ID_APP_ABOUT, ID_AUTO_IMAGE_INPUT})
        EXPECT_TRUE(QueryCommand(Frame(), id).enabled) << id;

    // A disabled menu command is not carried out.
    m_app.m_nADType = 1;
    Frame().SendMessage(WM_COMMAND, ID_SENSOR_SETUP);
    EXPECT_TRUE(m_boxes->Texts().empty());
    m_app.m_nADType = 2;
    EXPECT_TRUE(QueryCommand(Frame(), ID_SENSOR_SETUP).enabled);
    Frame().SendMessage(WM_COMMAND, ID_SENSOR_SETUP);
    EXPECT_EQ(m_boxes->Texts(), std::vector<CString>{"LoadLibrary with adudas.dll failed"});
}

TEST_F(MainFrameTest, CountCommandReachesTheActiveImageDocument)
{
    auto* images = new CMultiDocTemplate(IDR_DIBDOCEX, RUNTIME_CLASS(CCountingImageDoc), RUNTIME_CLASS(CMDIChildWnd),
                                         RUNTIME_CLASS(CPlainImageView));
    m_app.AddDocTemplate(images);
    auto* doc = DYNAMIC_DOWNCAST(CCountingImageDoc, images->OpenDocumentFile(nullptr));
    ASSERT_NE(doc, nullptr);
    ASSERT_NE(Frame().MDIGetActive(), nullptr);

    EXPECT_TRUE(QueryCommand(Frame(), ID_SEARCH_OBJECTS).enabled);
    Frame().SendMessage(WM_COMMAND, ID_SEARCH_OBJECTS);
    EXPECT_EQ(doc->m_nCounts, 1);
    EXPECT_EQ(m_app.GetImageView(), doc->Views().front());

    doc->OnCloseDocument();
    EXPECT_FALSE(QueryCommand(Frame(), ID_SEARCH_OBJECTS).enabled);
    EXPECT_EQ(m_app.GetImageView(), nullptr);
}

TEST_F(MainFrameTest, ImageIntegrationReachesTheViewOfAVideoDocument)
{
    cv::Mat page(120, 160, CV_8UC3, cv::Scalar(90, 90, 90));
    const fs::path file = m_folder / "grey.png";
    ASSERT_TRUE(cv::imwrite(file.string(), page));
    auto* doc = DYNAMIC_DOWNCAST(CDIBDoc, m_app.OpenDocumentFile(file.c_str()));
    ASSERT_NE(doc, nullptr);
    EXPECT_FALSE(QueryCommand(Frame(), ID_IMAGE_INTEGRATION).enabled);
    ASSERT_TRUE(doc->InitVideoPages());
    EXPECT_TRUE(QueryCommand(Frame(), ID_IMAGE_INTEGRATION).enabled);
    Frame().SendMessage(WM_COMMAND, ID_IMAGE_INTEGRATION);
    POSITION pos = doc->GetFirstViewPosition();
    auto* view = dynamic_cast<CDIBVwEx*>(doc->GetNextView(pos));
    ASSERT_NE(view, nullptr);
    EXPECT_NE(view->m_pIntegrationDlg, nullptr);
    doc->SetModifiedFlag(FALSE);
    doc->OnCloseDocument();
    PumpMessages();
}

TEST_F(MainFrameTest, CountCommandFillsTheTableOfTheOpenedImage)
{
    // Seven dark discs on a light page, written as an image file.
    cv::Mat page(600, 800, CV_8UC3, cv::Scalar(240, 240, 240));
    const cv::Point centres[] = {{100, 100}, {300, 120}, {520, 90}, {700, 150}, {150, 400}, {420, 380}, {650, 480}};
    for (const cv::Point& centre : centres)
        cv::circle(page, centre, 25, cv::Scalar(60, 60, 60), cv::FILLED);
    const fs::path file = m_folder / "discs.png";
    ASSERT_TRUE(cv::imwrite(file.string(), page));
    m_app.GetEngine()->GetSettings().m_SegThres = CSegThres(RGB(145, 145, 145), RGB(250, 250, 250), CSegThres::modeDark);

    auto* doc = DYNAMIC_DOWNCAST(CDIBDoc, m_app.OpenDocumentFile(file.c_str()));
    ASSERT_NE(doc, nullptr);
    Frame().SendMessage(WM_COMMAND, ID_SEARCH_OBJECTS);
    PumpMessages();

    ASSERT_NE(doc->GetResultTable(), nullptr);
    EXPECT_EQ(doc->GetResultTable()->GetCount(), static_cast<int>(std::size(centres)));
    EXPECT_TRUE(m_boxes->Texts().empty());
}

TEST_F(MainFrameTest, CountWithCuttingAndLengthsShowsEveryObjectAndNoNote)
{
    // Two touching discs and three apart; cutting is asked for.
    cv::Mat page(400, 600, CV_8UC3, cv::Scalar(240, 240, 240));
    for (const cv::Point& centre : {cv::Point(100, 100), cv::Point(150, 100), cv::Point(400, 100),
                                    cv::Point(150, 300), cv::Point(450, 300)})
        cv::circle(page, centre, 30, cv::Scalar(60, 60, 60), cv::FILLED);
    const fs::path file = m_folder / "touching.png";
    ASSERT_TRUE(cv::imwrite(file.string(), page));
    CBV& engine = *m_app.GetEngine();
    engine.GetSettings().m_SegThres = CSegThres(RGB(145, 145, 145), RGB(250, 250, 250), CSegThres::modeDark);
    engine.GetSettings().m_ObjectFilter.m_ConCutType = CObjectFilter::conCutWatershed;
    engine.GetSettings().m_FormThres.m_Type |= featureLength;

    auto* doc = DYNAMIC_DOWNCAST(CDIBDoc, m_app.OpenDocumentFile(file.c_str()));
    ASSERT_NE(doc, nullptr);
    Frame().SendMessage(WM_COMMAND, ID_SEARCH_OBJECTS);
    PumpMessages();

    EXPECT_TRUE(m_boxes->Texts().empty());
    EXPECT_EQ(Frame().m_wndStatusBar.GetPaneText(0).Find("Not done"), -1);
    ASSERT_NE(doc->GetResultTable(), nullptr);
    EXPECT_EQ(doc->GetResultTable()->GetCount(), 5);
}

TEST_F(MainFrameTest, ARunShowsItsProgressOverTheStatusBar)
{
    // Looks at the status bar while the run hands over its records.
    class CProbe : public CResultObjectList
    {
    public:
        explicit CProbe(CMainFrame& frame) : m_frame(frame) {}
        void AddObject(std::unique_ptr<CBaseObj> object) override
        {
            const CProgressCtrl* bar = m_frame.m_progress.GetProgressCtrl();
            m_bars.push_back(bar ? bar->GetPos() : -1);
            if (bar) {
                CRect pane;
                m_frame.m_wndStatusBar.GetItemRect(0, &pane);
                const QRect g = bar->GetWidget()->geometry();
                // Across the message pane (the bar may grow a little
                // around it once it holds the progress).
                m_overPane = bar->GetParent() == &m_frame.m_wndStatusBar && bar->IsWindowVisible() &&
                             g.left() == pane.left && g.width() == pane.Width() && g.top() >= pane.top &&
                             g.top() + g.height() <= pane.bottom;
            }
            CResultObjectList::AddObject(std::move(object));
        }
        CMainFrame& m_frame;
        std::vector<int> m_bars;
        bool m_overPane = false;
    };
    CDIB page;
    ASSERT_TRUE(page.InitDIB(200, 100, 24));
    page.GetMat().setTo(cv::Scalar::all(240));
    cv::circle(page.GetMat(), {50, 50}, 20, cv::Scalar::all(60), cv::FILLED);
    cv::circle(page.GetMat(), {150, 50}, 20, cv::Scalar::all(60), cv::FILLED);
    CBV& engine = *m_app.GetEngine();
    engine.GetSettings().m_SegThres = CSegThres(RGB(145, 145, 145), RGB(250, 250, 250), CSegThres::modeDark);
    CAOI2 aoi(CRect(0, 0, 200, 100));

    CProbe quiet(Frame());
    engine.Analyse(&page, &aoi, &quiet, 0);
    EXPECT_EQ(quiet.m_bars, (std::vector<int>{-1, -1}));

    CProbe shown(Frame());
    engine.Analyse(&page, &aoi, &shown, 1);
    // The search is over when the records are handed over.
    EXPECT_EQ(shown.m_bars, (std::vector<int>{100, 100}));
    EXPECT_TRUE(shown.m_overPane);
    EXPECT_EQ(Frame().m_progress.GetProgressCtrl(), nullptr);
}

TEST_F(MainFrameTest, RegisteredMessagesAreFoundByName)
{
    for (const CAppMessageName& entry : AppMessageNames()) {
        const char* name = entry.stringId ? AfxLoadString(entry.stringId) : entry.name;
        ASSERT_NE(name, nullptr) << entry.name;
        EXPECT_STREQ(name, entry.name);
        EXPECT_EQ(RegisteredMessageName(RegisterWindowMessage(entry.name)), entry.name);
    }
    const CAppMessages& messages = AppMessages();
    EXPECT_EQ(messages.runMacro, RegisterWindowMessage("Message RunMacro "));
    EXPECT_NE(messages.runMacro, RegisterWindowMessage("Message RunMacro"));
    EXPECT_EQ(messages.camBoxPosition, RegisterWindowMessage("MSC_CAMBOX_POSITION"));
}

TEST_F(MainFrameTest, NoticesOfTheBoardAndTheBoxReachTheirTargets)
{
    CMainFrame& frame = Frame();
    const CAppMessages& messages = AppMessages();
    CListener listener(frame, messages.grabwellToApp);

    // A status text is kept by the bar: the sender's copy may go.
    std::string text = "Frame 12 of 40";
    frame.SendMessage(messages.grabwellToApp, fgevent::kStatusText, reinterpret_cast<LPARAM>(text.c_str()));
    text = "gone";
    int type = 0;
    EXPECT_EQ(frame.m_wndStatusBar.GetStatusBarCtrl().GetText(0, &type), "Frame 12 of 40");
    EXPECT_EQ(type & SBT_OWNERDRAW, SBT_OWNERDRAW);
    // A changed input goes to every window below.
    frame.SendMessage(messages.grabwellToApp, fgevent::kInputChanged, 2);
    EXPECT_EQ(listener.m_received, (std::vector<std::pair<WPARAM, LPARAM>>{{fgevent::kInputChanged, 2}}));

    frame.SendMessage(messages.stateToKiste, 3, 0);
    EXPECT_NE(BoxLog().find("SetParam:State=3;"), std::string::npos);

    // Messages without an effect here.
    const std::string before = BoxLog();
    EXPECT_EQ(frame.SendMessage(messages.camBoxPosition, 2, 0), 0);
    EXPECT_EQ(frame.SendMessage(messages.camBoxButtonPressed, 0, 0), 0);
    EXPECT_EQ(frame.SendMessage(messages.filterChanged, 0, 0), 0);
    EXPECT_EQ(frame.SendMessage(messages.deleteInterface, 0, 0), 0);
    EXPECT_EQ(BoxLog(), before);
    EXPECT_EQ(listener.m_received.size(), 1u);

    CListener gone(frame, messages.deleteDocument);
    frame.SendMessage(messages.deleteDocument, 0, 77);
    EXPECT_EQ(gone.m_received, (std::vector<std::pair<WPARAM, LPARAM>>{{0, 77}}));

    CWnd scannerDialog;
    m_app.m_pUwScannerDlg = &scannerDialog;
    frame.SendMessage(WM_UWSCANNER_GONE, 1, 124);
    EXPECT_EQ(m_app.m_pUwScannerDlg, &scannerDialog);
    frame.SendMessage(WM_UWSCANNER_GONE, 1, IDD_UWSCANNER);
    EXPECT_EQ(m_app.m_pUwScannerDlg, nullptr);
}

TEST_F(MainFrameTest, RefusedVideoSourceIsTakenBack)
{
    CComboBox& combo = Frame().m_wndToolBar.m_wndComboBox1;
    const int before = combo.GetCurSel();
    const int board = GetFG()->GetVideoSource();
    int videoFile = -1;
    for (int i = 0; i < combo.GetCount(); ++i) {
        if (combo.GetItemData(i) == 3)
            videoFile = i;
    }
    ASSERT_GE(videoFile, 0);
    // No video file is set: the board refuses the source.
    combo.SetCurSel(videoFile);
    combo.NotifyParent(CBN_SELCHANGE);
    EXPECT_EQ(GetFG()->GetVideoSource(), board);
    EXPECT_EQ(combo.GetCurSel(), before);
}

} // namespace

class ToolBarPicturesTest : public CAppTest
{
protected:
    void SetUp() override
    {
        CAppTest::SetUp();
        // Without a desktop theme every button shows our own picture, which
        // the test can compare with the resource it names.
        m_searchPaths = QIcon::themeSearchPaths();
        m_themeName = QIcon::themeName();
        QIcon::setThemeSearchPaths({});
        QIcon::setThemeName("no-theme");
    }
    void TearDown() override
    {
        QIcon::setThemeSearchPaths(m_searchPaths);
        QIcon::setThemeName(m_themeName);
        CAppTest::TearDown();
    }

    static QImage Drawn(const QIcon& icon)
    {
        return icon.pixmap(24, 24).toImage().convertToFormat(QImage::Format_ARGB32);
    }

    QStringList m_searchPaths;
    QString m_themeName;
};

TEST_F(ToolBarPicturesTest, EveryButtonHasItsOwnPictureTipAndPromptInEveryMode)
{
    for (const int mode : {0, 1, 2, 3, 4}) {
        WriteMode(mode);
        m_boxes->Clear();
        CKestrunApp app;
        Start(app);
        CMainFrame& frame = MainFrame(app);
        std::map<UINT, QImage> pictures;
        for (CToolBar* bar : {static_cast<CToolBar*>(&frame.m_wndToolBar), &frame.m_wndDBToolBar}) {
            const QList<QAction*> actions = qobject_cast<QToolBar*>(bar->GetWidget())->actions();
            ASSERT_EQ(actions.size(), bar->GetCount());
            for (int i = 0; i < bar->GetCount(); ++i) {
                UINT id = 0;
                UINT style = 0;
                int image = 0;
                bar->GetButtonInfo(i, id, style, image);
                if (style & TBBS_SEPARATOR)
                    continue;
                const QAction& action = *actions[i];
                SCOPED_TRACE(::testing::Message() << "mode " << mode << ", command " << id);
                EXPECT_FALSE(action.toolTip().isEmpty());
                EXPECT_FALSE(action.statusTip().isEmpty());
                const QString path = kestrun::CommandPictogramPath(id);
                ASSERT_TRUE(QFile::exists(path)) << path.toStdString();
                const QImage drawn = Drawn(action.icon());
                ASSERT_FALSE(drawn.isNull());
                EXPECT_EQ(drawn, Drawn(QIcon(path)));
                for (const auto& [other, picture] : pictures)
                    EXPECT_TRUE(other == id || picture != drawn) << "shares its picture with " << other;
                pictures.emplace(id, drawn);
            }
        }
        EXPECT_EQ(pictures.size(), 24u);
        Stop(app);
    }
}

} // namespace kestrun::testing
