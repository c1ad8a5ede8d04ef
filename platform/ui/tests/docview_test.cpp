// Documents, views and templates in an MDI main window: what a template
// creates, how commands and update requests travel through view,
// document, template, child frame, application and main frame, and how
// documents save, open and close.

#include "platform/core/file.h"
#include "platform/core/folders.h"
#include "platform/core/recording_dc.h"
#include "platform/core/resources.h"
#include "platform/core/testing/scripted_message_boxes.h"
#include "platform/ui/commondialogs.h"
#include "platform/ui/controlbar.h"
#include "platform/ui/button.h"
#include "platform/ui/ddx.h"
#include "platform/ui/doctemplate.h"
#include "platform/ui/formview.h"
#include "platform/ui/document.h"
#include "platform/ui/mdi.h"
#include "platform/ui/scrollview.h"
#include "platform/ui/winapp.h"

#include <QImage>
#include <QWidget>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr UINT IDR_MAINFRAME = 7100;
constexpr UINT IDR_PROBE = 7101;

// Each command is handled by the first target of the route that knows it:
// the view knows A, the document A-B, the template A-C, the child frame
// A-D, the application A-E, the main frame A-F.
enum : UINT
{
    ID_CMD_A = 33001,
    ID_CMD_B,
    ID_CMD_C,
    ID_CMD_D,
    ID_CMD_E,
    ID_CMD_F,
    ID_CMD_NOBODY,
};

std::vector<std::string> g_log;

void handled(const char* who, UINT id)
{
    g_log.push_back(std::string(who) + ":" + std::to_string(id - ID_CMD_A));
}

class CProbeDoc : public CDocument
{
    DECLARE_DYNCREATE(CProbeDoc)
    DECLARE_MESSAGE_MAP()

public:
    CProbeDoc() { BuildMessageMap(); }
    ~CProbeDoc() override { ++s_destroyed; }

    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring())
            ar << m_value;
        else
            ar >> m_value;
    }
    void OnCmd(UINT id) { handled("document", id); }
    void OnUpdateB(CCmdUI* ui) { ui->SetCheck(1); }

    int m_value = 0;
    static int s_destroyed;
};
int CProbeDoc::s_destroyed = 0;

IMPLEMENT_DYNCREATE(CProbeDoc, CDocument)
BEGIN_MESSAGE_MAP(CProbeDoc, CDocument)
    ON_COMMAND_RANGE(ID_CMD_A, ID_CMD_B, OnCmd)
    ON_UPDATE_COMMAND_UI(ID_CMD_B, OnUpdateB)
END_MESSAGE_MAP()

class CProbeView : public CScrollView
{
    DECLARE_DYNCREATE(CProbeView)
    DECLARE_MESSAGE_MAP()

public:
    CProbeView() { BuildMessageMap(); }

    void OnDraw(CDC* pDC) override
    {
        ++m_draws;
        CBrush black(RGB(0, 0, 0));
        pDC->FillRect(CRect(0, 0, 10, 10), &black);
    }
    void OnInitialUpdate() override
    {
        ++m_initialUpdates;
        SetScrollSizes(MM_TEXT, CSize(1000, 800));
        CScrollView::OnInitialUpdate();
    }
    void OnUpdate(CView* sender, LPARAM hint, CObject* object) override
    {
        m_lastHint = hint;
        CScrollView::OnUpdate(sender, hint, object);
    }
    void OnCmd() { handled("view", ID_CMD_A); }
    void OnUpdateA(CCmdUI* ui) { ui->Enable(FALSE); }
    void OnUpdateC(CCmdUI* ui) { ui->ContinueRouting(); }

    int m_initialUpdates = 0;
    int m_draws = 0;
    LPARAM m_lastHint = -1;
};

IMPLEMENT_DYNCREATE(CProbeView, CScrollView)
BEGIN_MESSAGE_MAP(CProbeView, CScrollView)
    ON_COMMAND(ID_CMD_A, OnCmd)
    ON_UPDATE_COMMAND_UI(ID_CMD_A, OnUpdateA)
    ON_UPDATE_COMMAND_UI(ID_CMD_C, OnUpdateC)
END_MESSAGE_MAP()

class CProbeChild : public CMDIChildWnd
{
    DECLARE_DYNCREATE(CProbeChild)
    DECLARE_MESSAGE_MAP()

public:
    CProbeChild() { BuildMessageMap(); }
    void OnCmd(UINT id) { handled("child", id); }
};

IMPLEMENT_DYNCREATE(CProbeChild, CMDIChildWnd)
BEGIN_MESSAGE_MAP(CProbeChild, CMDIChildWnd)
    ON_COMMAND_RANGE(ID_CMD_A, ID_CMD_D, OnCmd)
END_MESSAGE_MAP()

class CProbeTemplate : public CMultiDocTemplate
{
    DECLARE_MESSAGE_MAP()

public:
    CProbeTemplate()
        : CMultiDocTemplate(IDR_PROBE, RUNTIME_CLASS(CProbeDoc), RUNTIME_CLASS(CProbeChild), RUNTIME_CLASS(CProbeView))
    {
        BuildMessageMap();
    }
    void OnCmd(UINT id) { handled("template", id); }
    void OnUpdateC(CCmdUI* ui) { ui->SetText("from template"); }
};

BEGIN_MESSAGE_MAP(CProbeTemplate, CMultiDocTemplate)
    ON_COMMAND_RANGE(ID_CMD_A, ID_CMD_C, OnCmd)
    ON_UPDATE_COMMAND_UI(ID_CMD_C, OnUpdateC)
END_MESSAGE_MAP()

class CProbeMain : public CMDIFrameWnd
{
    DECLARE_MESSAGE_MAP()

public:
    CProbeMain() { BuildMessageMap(); }
    void OnCmd(UINT id) { handled("main", id); }

    CToolBar m_toolBar;

protected:
    int OnCreate(LPCREATESTRUCT lpcs) override
    {
        if (CMDIFrameWnd::OnCreate(lpcs) == -1)
            return -1;
        const UINT buttons[] = {ID_CMD_A, ID_SEPARATOR, ID_CMD_B, ID_CMD_F, ID_CMD_NOBODY};
        if (!m_toolBar.Create(this) || !m_toolBar.SetButtons(buttons, 5))
            return -1;
        return 0;
    }
};

BEGIN_MESSAGE_MAP(CProbeMain, CMDIFrameWnd)
    ON_COMMAND_RANGE(ID_CMD_A, ID_CMD_F, OnCmd)
END_MESSAGE_MAP()

class CProbeApp : public CWinApp
{
    DECLARE_MESSAGE_MAP()

public:
    CProbeApp() : CWinApp("Probe") { BuildMessageMap(); }
    void OnCmd(UINT id) { handled("app", id); }
};

BEGIN_MESSAGE_MAP(CProbeApp, CWinApp)
    ON_COMMAND_RANGE(ID_CMD_A, ID_CMD_E, OnCmd)
END_MESSAGE_MAP()

constexpr UINT IDR_FORM = 7102;
constexpr UINT IDC_FORM_VALUE = 1200;
constexpr UINT IDC_FORM_APPLY = 1201;

// A form: a dialog layout inside a view, with its data exchange.
class CProbeForm : public CFormView
{
    DECLARE_DYNCREATE(CProbeForm)
    DECLARE_MESSAGE_MAP()

public:
    CProbeForm() : CFormView(IDR_FORM) { BuildMessageMap(); }

    void DoDataExchange(CDataExchange* pDX) override { DDX_Text(pDX, IDC_FORM_VALUE, m_value); }
    void OnApply()
    {
        UpdateData(TRUE);
        static_cast<CProbeDoc*>(GetDocument())->m_value = m_value;
    }

    int m_value = 12;
};

IMPLEMENT_DYNCREATE(CProbeForm, CFormView)
BEGIN_MESSAGE_MAP(CProbeForm, CFormView)
    ON_BN_CLICKED(IDC_FORM_APPLY, OnApply)
END_MESSAGE_MAP()

class DocViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        AfxRegisterString(IDR_MAINFRAME, "Probe Lab");
        AfxRegisterString(IDR_PROBE, "\nProbe\nProbe Document\nProbe Files (*.prb)\n.prb;.PRX\nProbe.Document\nProbe Document");
        g_log.clear();
        CProbeDoc::s_destroyed = 0;
        m_main = new CProbeMain;
        ASSERT_TRUE(m_main->LoadFrame(IDR_MAINFRAME));
        m_app.m_pMainWnd = m_main;
        m_main->ShowWindow(SW_SHOW);
        m_template = new CProbeTemplate;
        m_app.AddDocTemplate(m_template);
    }

    void TearDown() override
    {
        if (m_app.m_pMainWnd)
            m_app.m_pMainWnd->DestroyWindow();
    }

    CProbeView* ViewOf(CDocument* doc) const
    {
        return doc && !doc->Views().empty() ? static_cast<CProbeView*>(doc->Views().front()) : nullptr;
    }

    UINT Route(UINT id)
    {
        g_log.clear();
        m_main->SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), 0), 0);
        return static_cast<UINT>(g_log.size());
    }

    kestrun::testing::ScopedMessageBoxes m_boxes;
    CProbeApp m_app;
    CProbeMain* m_main = nullptr;
    CProbeTemplate* m_template = nullptr;
};

TEST_F(DocViewTest, TemplateCreatesTheDocumentWithItsViewInAnMdiChild)
{
    CDocument* doc = m_template->OpenDocumentFile(nullptr);
    ASSERT_NE(doc, nullptr);
    EXPECT_TRUE(doc->IsKindOf(RUNTIME_CLASS(CProbeDoc)));
    EXPECT_EQ(doc->GetTitle(), "Probe1");
    EXPECT_EQ(doc->GetDocTemplate(), m_template);
    ASSERT_EQ(doc->Views().size(), 1u);

    CProbeView* view = ViewOf(doc);
    EXPECT_EQ(view->GetDocument(), doc);
    EXPECT_EQ(view->m_initialUpdates, 1);
    auto* child = DYNAMIC_DOWNCAST(CProbeChild, view->GetParentFrame());
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(child->GetMDIFrame(), m_main);
    EXPECT_EQ(child->GetActiveView(), view);
    EXPECT_EQ(m_main->MDIGetActive(), child);
    EXPECT_EQ(m_main->GetActiveDocument(), doc);
    EXPECT_TRUE(child->IsWindowVisible());
    CString title;
    child->GetWindowText(title);
    EXPECT_EQ(title, "Probe1");

    // The second document gets the next number and becomes the active one.
    CDocument* second = m_template->OpenDocumentFile(nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->GetTitle(), "Probe2");
    EXPECT_EQ(m_main->MDIChildren().size(), 2u);
    EXPECT_EQ(m_main->GetActiveDocument(), second);

    // Closing a child frame closes its document.
    view->GetParentFrame()->SendMessage(WM_CLOSE);
    EXPECT_EQ(CProbeDoc::s_destroyed, 1);
    EXPECT_EQ(m_template->Documents().size(), 1u);
    EXPECT_EQ(m_main->MDIChildren().size(), 1u);
    EXPECT_EQ(m_main->GetActiveDocument(), second);
}

TEST_F(DocViewTest, MainTitleNamesTheActiveDocumentAndTheProgramAloneAfterTheLastCloses)
{
    auto mainTitle = [&] {
        CString title;
        m_main->GetWindowText(title);
        return title;
    };
    CDocument* first = m_template->OpenDocumentFile(nullptr);
    CDocument* second = m_template->OpenDocumentFile(nullptr);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(mainTitle(), "Probe Lab - Probe2");
    second->SetTitle("renamed");
    EXPECT_EQ(mainTitle(), "Probe Lab - renamed");

    second->OnCloseDocument();
    EXPECT_EQ(mainTitle(), "Probe Lab - Probe1");
    ViewOf(first)->GetParentFrame()->SendMessage(WM_CLOSE);
    EXPECT_TRUE(m_main->MDIChildren().empty());
    EXPECT_EQ(mainTitle(), "Probe Lab");
}

TEST_F(DocViewTest, CommandsTakeTheRouteFromViewToMainFrame)
{
    ASSERT_NE(m_template->OpenDocumentFile(nullptr), nullptr);
    struct Case
    {
        UINT id;
        const char* handler;
    };
    // The class library asks the application before the main frame when
    // a child frame is active.
    const Case cases[] = {
        {ID_CMD_A, "view:0"}, {ID_CMD_B, "document:1"}, {ID_CMD_C, "template:2"},
        {ID_CMD_D, "child:3"}, {ID_CMD_E, "app:4"},     {ID_CMD_F, "main:5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.handler);
        // A disabled command does not run from the menu: A is disabled by
        // the view, so it goes through the control path here.
        g_log.clear();
        m_main->SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(c.id), 0), reinterpret_cast<LPARAM>(m_main->m_hWnd));
        ASSERT_EQ(g_log.size(), 1u);
        EXPECT_EQ(g_log[0], c.handler);
    }
    EXPECT_EQ(Route(ID_CMD_NOBODY), 0u);
    // From a menu (lParam 0) the view's update handler disables A.
    EXPECT_EQ(Route(ID_CMD_A), 0u);
}

TEST_F(DocViewTest, WithoutActiveChildTheMainFrameComesBeforeTheApplication)
{
    EXPECT_EQ(Route(ID_CMD_E), 1u);
    EXPECT_EQ(g_log[0], "main:4");
}

TEST_F(DocViewTest, UpdateHandlersAnswerAlongTheSameRoute)
{
    ASSERT_NE(m_template->OpenDocumentFile(nullptr), nullptr);
    auto ask = [&](UINT id) {
        auto ui = std::make_unique<CCmdUI>();
        ui->m_nID = id;
        ui->DoUpdate(m_main, TRUE);
        return ui;
    };
    EXPECT_FALSE(ask(ID_CMD_A)->m_bEnabled);
    const auto b = ask(ID_CMD_B);
    EXPECT_TRUE(b->m_bEnabled);
    EXPECT_EQ(b->m_nCheck, 1);
    // The view lets the update go on; the template names the item.
    const auto c = ask(ID_CMD_C);
    EXPECT_TRUE(c->m_bTextChanged);
    EXPECT_EQ(c->m_strText, "from template");
    // No update handler, but a command handler: enabled; neither: disabled.
    EXPECT_TRUE(ask(ID_CMD_F)->m_bEnabled);
    EXPECT_FALSE(ask(ID_CMD_NOBODY)->m_bEnabled);
    EXPECT_TRUE(g_log.empty());

    // The tool bar asks the same way when the program is idle.
    m_app.OnIdle(0);
    EXPECT_NE(m_main->m_toolBar.GetButtonStyle(0) & TBBS_DISABLED, 0u);
    EXPECT_NE(m_main->m_toolBar.GetButtonStyle(2) & TBBS_CHECKED, 0u);
    EXPECT_EQ(m_main->m_toolBar.GetButtonStyle(3) & TBBS_DISABLED, 0u);
    EXPECT_NE(m_main->m_toolBar.GetButtonStyle(4) & TBBS_DISABLED, 0u);
}

TEST_F(DocViewTest, UpdateAllViewsSkipsTheSender)
{
    CDocument* doc = m_template->OpenDocumentFile(nullptr);
    CProbeView* view = ViewOf(doc);
    doc->UpdateAllViews(nullptr, 7);
    EXPECT_EQ(view->m_lastHint, 7);
    doc->UpdateAllViews(view, 9);
    EXPECT_EQ(view->m_lastHint, 7);
}

TEST_F(DocViewTest, SavedDocumentOpensAgainAndAnOpenOneIsFound)
{
    CDocument* doc = m_template->OpenDocumentFile(nullptr);
    static_cast<CProbeDoc*>(doc)->m_value = 4711;
    const CString path = kestrun::DataFolder() + "/probe.prb";
    ASSERT_TRUE(doc->OnSaveDocument(path));
    doc->SetPathName(path, FALSE);

    CDocument* match = nullptr;
    EXPECT_EQ(m_template->MatchDocType(path, match), CDocTemplate::yesAlreadyOpen);
    EXPECT_EQ(match, doc);
    // The application hands back the open document instead of a second one.
    EXPECT_EQ(m_app.OpenDocumentFile(path), doc);

    doc->OnCloseDocument();
    CDocument* reopened = m_app.OpenDocumentFile(path);
    ASSERT_NE(reopened, nullptr);
    EXPECT_EQ(static_cast<CProbeDoc*>(reopened)->m_value, 4711);
    EXPECT_EQ(reopened->GetTitle(), "probe.prb");
    EXPECT_FALSE(reopened->IsModified());
}

TEST_F(DocViewTest, AFileThatCannotBeOpenedLeavesNothingBehind)
{
    EXPECT_EQ(m_template->OpenDocumentFile(kestrun::DataFolder() + "/missing.prb"), nullptr);
    EXPECT_TRUE(m_template->Documents().empty());
    EXPECT_TRUE(m_main->MDIChildren().empty());
    EXPECT_EQ(m_boxes->Texts().size(), 1u);
}

TEST_F(DocViewTest, MatchDocTypeComparesExtensionsWithoutCase)
{
    struct Case
    {
        const char* path;
        CDocTemplate::Confidence expected;
    };
    const Case cases[] = {
        {"/data/a.prb", CDocTemplate::yesAttemptNative},
        {"/data/a.PRB", CDocTemplate::yesAttemptNative},
        {"/data/a.prx", CDocTemplate::yesAttemptNative},
        {"/data/a.bmp", CDocTemplate::yesAttemptForeign},
        {"/data.prb/a", CDocTemplate::yesAttemptForeign},
    };
    for (const Case& c : cases) {
        CDocument* match = nullptr;
        EXPECT_EQ(m_template->MatchDocType(c.path, match), c.expected) << c.path;
    }
    CString field;
    EXPECT_TRUE(m_template->GetDocString(field, CDocTemplate::filterName));
    EXPECT_EQ(field, "Probe Files (*.prb)");
    EXPECT_FALSE(m_template->GetDocString(field, static_cast<CDocTemplate::DocStringIndex>(9)));
}

TEST_F(DocViewTest, ClosingAChangedDocumentAsksAndCancelKeepsIt)
{
    CDocument* doc = m_template->OpenDocumentFile(nullptr);
    doc->SetModifiedFlag(TRUE);
    m_boxes->QueueAnswer(IDCANCEL);
    ViewOf(doc)->GetParentFrame()->SendMessage(WM_CLOSE);
    ASSERT_EQ(m_boxes->Texts().size(), 1u);
    EXPECT_EQ(m_boxes->Texts()[0], "Save changes to Probe1?");
    EXPECT_EQ(CProbeDoc::s_destroyed, 0);

    // "Yes" saves under a chosen name before closing.
    const CString path = kestrun::DataFolder() + "/chosen";
    auto previous = kestrun::SetCommonDialogHandler([&](CCommonDialog& dlg) {
        static_cast<CFileDialog&>(dlg).SetResult({path});
        return static_cast<INT_PTR>(IDOK);
    });
    m_boxes->QueueAnswer(IDYES);
    ViewOf(doc)->GetParentFrame()->SendMessage(WM_CLOSE);
    kestrun::SetCommonDialogHandler(previous);
    EXPECT_EQ(CProbeDoc::s_destroyed, 1);
    CFile saved;
    EXPECT_TRUE(saved.Open(path + ".prb", CFile::modeRead));
}

TEST_F(DocViewTest, ViewPaintsThroughOnPrepareDCAndOnDraw)
{
    CDocument* doc = m_template->OpenDocumentFile(nullptr);
    CProbeView* view = ViewOf(doc);
    view->GetParentFrame()->MoveWindow(0, 0, 300, 200);
    view->ScrollToPosition(CPoint(5, 5));
    const QImage shot = view->GetClientWidget()->grab().toImage();
    EXPECT_GE(view->m_draws, 1);
    // The square at (0, 0)-(10, 10) shows moved up and left by the scroll.
    EXPECT_EQ(shot.pixelColor(2, 2), QColor(Qt::black));
    EXPECT_NE(shot.pixelColor(7, 7), QColor(Qt::black));
}

TEST_F(DocViewTest, ScrollViewMapsByScrollPositionOrScalesToFit)
{
    CDocument* doc = m_template->OpenDocumentFile(nullptr);
    CProbeView* view = ViewOf(doc);
    view->GetParentFrame()->MoveWindow(0, 0, 300, 200);
    view->ScrollToPosition(CPoint(100, 50));
    EXPECT_EQ(view->GetScrollPosition(), CPoint(100, 50));
    {
        CRecordingDC dc;
        view->OnPrepareDC(&dc);
        CPoint p(100, 50);
        dc.LPtoDP(&p);
        EXPECT_EQ(p, CPoint(0, 0));
    }
    // A position past the end stops at the end.
    view->ScrollToPosition(CPoint(5000, 5000));
    CRect client;
    view->GetClientRect(&client);
    EXPECT_EQ(view->GetScrollPosition(), CPoint(1000 - client.Width(), 800 - client.Height()));

    view->SetScaleToFitSize(CSize(200, 100));
    EXPECT_EQ(view->GetScrollPosition(), CPoint(0, 0));
    view->GetClientRect(&client);
    CRecordingDC dc;
    view->OnPrepareDC(&dc);
    CPoint corner(200, 100);
    dc.LPtoDP(&corner);
    EXPECT_EQ(corner, CPoint(client.Width(), client.Height()));
}

TEST_F(DocViewTest, FormViewShowsItsLayoutAndTakesItsButtons)
{
    kestrun::RegisterDialogTemplate(IDR_FORM, {"", CRect(0, 0, 200, 60),
                                               {
                                                   kestrun::EditText(IDC_FORM_VALUE, 7, 7, 50, 12),
                                                   kestrun::PushButton("Apply", IDC_FORM_APPLY, 60, 7, 50, 14),
                                               }});
    auto* forms = new CMultiDocTemplate(IDR_FORM, RUNTIME_CLASS(CProbeDoc), RUNTIME_CLASS(CMDIChildWnd), RUNTIME_CLASS(CProbeForm));
    m_app.AddDocTemplate(forms);
    CDocument* doc = forms->OpenDocumentFile(nullptr);
    ASSERT_NE(doc, nullptr);
    auto* form = static_cast<CProbeForm*>(doc->Views().front());
    CString text;
    form->GetDlgItemText(IDC_FORM_VALUE, text);
    EXPECT_EQ(text, "12");
    EXPECT_GT(form->GetTotalSize().cx, 0);

    form->SetDlgItemText(IDC_FORM_VALUE, "34");
    static_cast<CButton*>(form->GetDlgItem(IDC_FORM_APPLY))->Click();
    EXPECT_EQ(static_cast<CProbeDoc*>(doc)->m_value, 34);
}

} // namespace
