// The measurement views over documents of a real template: the run's
// timer and commands, closing through "DELETE_INTERFACE", a stored
// document, printing, the set-up sheet's pages and the growth-rate view.

#include "series/tests/measurementtesting.h"
#include "series/ui/datadlgs.h"
#include "series/ui/linedataview.h"
#include "series/ui/rgrview.h"
#include "series/ui/windowrunhost.h"

#include "analysis/ui/tests/dialogtesting.h"
#include "platform/core/messages.h"
#include "platform/core/profile.h"
#include "platform/core/recording_dc.h"
#include "platform/core/resources.h"
#include "platform/ui/doctemplate.h"
#include "platform/ui/listboxes.h"
#include "platform/ui/mdi.h"
#include "platform/ui/printing.h"
#include "platform/ui/widgetbridge.h"
#include "series/curvechart.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <functional>
#include <memory>

namespace kestrun::testing {
namespace {

constexpr UINT kMainResource = 7610;
constexpr UINT kMeasurementResource = 7611;

// Whether the target's update handler enables the command.
BOOL QueryCommand(CWnd& target, UINT nID)
{
    CCmdUI ui;
    ui.m_nID = nID;
    ui.DoUpdate(&target, TRUE);
    return ui.m_bEnabled;
}

// Steps on the next modal property sheet once it shows.
void OnNextSheet(std::function<void(CPropertySheet&)> steps)
{
    QTimer::singleShot(0, [steps = std::move(steps)] {
        auto* sheet = WindowOf<CPropertySheet>(QApplication::activeModalWidget());
        if (sheet == nullptr) {
            ADD_FAILURE() << "no sheet shows";
            return;
        }
        steps(*sheet);
    });
}

// The test's clocks with the program's sheet.
class CSheetRunHost : public CTestRunHost
{
public:
    bool EditSetup(CMeasurementSetup& setup) override { return EditMeasurementSetup(setup, AfxGetMainWnd()); }
};

class MeasurementViewTest : public CMeasurementTest
{
protected:
    void SetUp() override
    {
        CMeasurementTest::SetUp();
        AfxRegisterString(kMainResource, "Measurement Test");
        AfxRegisterString(kMeasurementResource, kKestrunDocStrings);
        m_mdi = new CMDIFrameWnd;
        ASSERT_TRUE(m_mdi->LoadFrame(kMainResource));
        m_app.m_pMainWnd = m_mdi;
        m_mdi->MoveWindow(0, 0, 900, 700);
        m_mdi->ShowWindow(SW_SHOW);
        m_template = std::make_unique<CMultiDocTemplate>(kMeasurementResource, RUNTIME_CLASS(CKestrunDoc),
                                                         RUNTIME_CLASS(CMDIChildWnd), RUNTIME_CLASS(CAreaView));
        m_growth = std::make_unique<CMultiDocTemplate>(kMeasurementResource, RUNTIME_CLASS(CKestrunDoc),
                                                       RUNTIME_CLASS(CMDIChildWnd), RUNTIME_CLASS(CRGRView));
    }

    void TearDown() override
    {
        m_template->CloseAllDocuments(FALSE);
        m_mdi->DestroyWindow();
        m_app.m_pMainWnd = m_main;
        PumpMessages();
        CMeasurementTest::TearDown();
    }

    // A new measurement document of the template over the test's board
    // and clocks, not yet set up.
    CKestrunDoc& NewDocument(CRunHost& host)
    {
        auto* doc = dynamic_cast<CKestrunDoc*>(m_template->CreateNewDocument());
        doc->SetRunHost(&host);
        doc->SetBoard(m_board.get());
        doc->LoadSettings(CLineDataDoc::kindImage, &m_engine, nullptr, nullptr);
        return *doc;
    }

    // Set up as "AreaAOI" every second for a minute; the set-up opens the view.
    CKestrunDoc& OpenMeasurement()
    {
        CKestrunDoc& doc = NewDocument(m_host);
        EXPECT_TRUE(doc.ApplySetup(Setup(doc, "AreaAOI", 1)));
        return doc;
    }

    template <class TView>
    static TView* ViewOf(const CDocument& doc)
    {
        for (CView* view : doc.Views())
            if (auto* found = dynamic_cast<TView*>(view))
                return found;
        return nullptr;
    }

    CRGRView& OpenGrowthView(CDocument& doc)
    {
        CFrameWnd* frame = m_growth->CreateNewFrame(&doc, nullptr);
        EXPECT_NE(frame, nullptr);
        m_growth->InitialUpdateFrame(frame, &doc);
        return *ViewOf<CRGRView>(doc);
    }

    // The clock moves one timer period and the timer fires.
    void Tick(CView& view, DWORD period = 500)
    {
        m_host.Advance(period);
        view.SendMessage(WM_TIMER, CLineDataDoc::kTimerId);
    }

    CMDIFrameWnd* m_mdi = nullptr;
    std::unique_ptr<CMultiDocTemplate> m_template;
    std::unique_ptr<CMultiDocTemplate> m_growth;
};

TEST_F(MeasurementViewTest, StartRunsOnTheViewTimerAndStopEndsIt)
{
    CKestrunDoc& doc = OpenMeasurement();
    auto* view = ViewOf<CAreaView>(doc);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(&view->GetViewChart(), doc.GetChart(0));
    EXPECT_TRUE(QueryCommand(*view, ID_MEASUREMENT_START));
    // Timed runs take no single steps.
    EXPECT_FALSE(QueryCommand(*view, ID_MEASUREMENT_STEP));

    view->SendMessage(WM_COMMAND, ID_MEASUREMENT_START);
    ASSERT_TRUE(view->IsTimerSet());
    EXPECT_EQ(doc.m_nTimerID, CLineDataDoc::kTimerId);
    EXPECT_FALSE(QueryCommand(*view, ID_MEASUREMENT_START)) << "disabled while running";
    const int first = doc.GetChart(0)->GetPointCount(0, false);
    for (int i = 0; i < 4; ++i)
        Tick(*view);
    EXPECT_EQ(doc.GetChart(0)->GetPointCount(0, false), first + 2) << "one value a second";

    view->SendMessage(WM_COMMAND, ID_MEASUREMENT_STOP);
    EXPECT_FALSE(view->IsTimerSet());
    EXPECT_FALSE(doc.m_bRunning);
    EXPECT_EQ(doc.m_nTimerID, 0);
    EXPECT_EQ(m_host.m_status.back(), "Measurement stopped!");
    EXPECT_TRUE(QueryCommand(*view, ID_MEASUREMENT_START));

    // The run ends by itself at its run time, and its timer with it.
    m_boxes->QueueAnswer(IDOK); // overwrite the previous values
    view->SendMessage(WM_COMMAND, ID_MEASUREMENT_START);
    for (int i = 0; i < 200 && doc.m_bRunning; ++i)
        Tick(*view);
    EXPECT_FALSE(doc.m_bRunning);
    EXPECT_FALSE(view->IsTimerSet());
}

TEST_F(MeasurementViewTest, GraphKeepsTheFirstCurvesStyle)
{
    CKestrunDoc& doc = OpenMeasurement();
    auto* view = ViewOf<CAreaView>(doc);
    doc.GetChart(0)->SetCurveStyle(0, CCurveChart::kLineDashed | 3);
    OnNextDialog([](CDialog& dialog) { dialog.SendMessage(WM_COMMAND, IDOK); });
    view->SendMessage(WM_COMMAND, ID_MEASUREMENT_GRAPH);
    EXPECT_EQ(GetProfileInt("LineChart", "Style", 0), CCurveChart::kLineDashed | 3);
}

TEST_F(MeasurementViewTest, CountAxisStepsOneAtATime)
{
    CKestrunDoc& doc = NewDocument(m_host);
    CMeasurementSetup setup = Setup(doc, "AreaAOI", 1);
    setup.m_nXAxis = CMeasurementSetup::axisCount;
    setup.m_nCount = 3;
    ASSERT_TRUE(doc.ApplySetup(setup));
    auto* view = ViewOf<CAreaView>(doc);
    ASSERT_TRUE(QueryCommand(*view, ID_MEASUREMENT_STEP));
    view->SendMessage(WM_COMMAND, ID_MEASUREMENT_STEP);
    view->SendMessage(WM_COMMAND, ID_MEASUREMENT_STEP);
    EXPECT_EQ(doc.GetChart(0)->GetPointCount(0, false), 2);
}

TEST_F(MeasurementViewTest, StoredDocumentShowsItsFileWithoutTheFilterKeys)
{
    CKestrunDoc& doc = OpenMeasurement();
    auto* view = ViewOf<CAreaView>(doc);
    view->SendMessage(WM_COMMAND, ID_MEASUREMENT_START);
    for (int i = 0; i < 6; ++i)
        Tick(*view);
    view->SendMessage(WM_COMMAND, ID_MEASUREMENT_STOP);
    const CString path = PathOf("stored.cht");
    ASSERT_TRUE(doc.OnSaveDocument(path));
    const std::vector<double> saved = doc.GetChart(0)->ShownValues(0);
    doc.OnCloseDocument();
    // Closing wrote the view's filter back; another filter now waits.
    EXPECT_EQ(GetProfileInt("BV-Document", kChartFilterTypeKey, -1), 0u);
    WriteProfileInt("BV-Document", kChartFilterTypeKey, 2);
    WriteProfileInt("BV-Document", kChartFilterWidthKey, 5);

    auto* stored = dynamic_cast<CKestrunDoc*>(m_template->OpenDocumentFile(path));
    ASSERT_NE(stored, nullptr);
    auto* reopened = ViewOf<CAreaView>(*stored);
    ASSERT_NE(reopened, nullptr);
    EXPECT_EQ(reopened->GetViewChart().ShownValues(0), saved);
    EXPECT_EQ(reopened->GetViewChart().Data().m_nFilterWidth, 1) << "the file's filter, not the profile's";
    EXPECT_FALSE(QueryCommand(*reopened, ID_MEASUREMENT_START));
    EXPECT_FALSE(QueryCommand(*reopened, ID_MEASUREMENT_STEP));

    // A new measurement takes the kind's filter.
    CKestrunDoc& fresh = OpenMeasurement();
    EXPECT_EQ(ViewOf<CAreaView>(fresh)->GetViewChart().Data().m_nFilterWidth, 5);
}

TEST_F(MeasurementViewTest, DeleteInterfaceStopsThenCloses)
{
    const UINT deleteInterface = RegisterWindowMessage("DELETE_INTERFACE");
    CKestrunDoc& doc = OpenMeasurement();
    auto* view = ViewOf<CAreaView>(doc);
    view->SendMessage(WM_COMMAND, ID_MEASUREMENT_START);
    ASSERT_TRUE(doc.m_bRunning);
    view->SendMessage(deleteInterface);
    EXPECT_FALSE(doc.m_bRunning) << "stopped at once";
    EXPECT_EQ(m_template->Documents().size(), 1u) << "closed after the handler";
    PumpMessages();
    EXPECT_TRUE(m_template->Documents().empty());

    // Asked while a step pumps messages, the close waits for the step.
    CKestrunDoc& busy = OpenMeasurement();
    auto* busyView = ViewOf<CAreaView>(busy);
    busyView->SendMessage(WM_COMMAND, ID_MEASUREMENT_START);
    bool closedUnderStep = false;
    bool asked = false;
    m_host.m_onPump = [&] {
        if (asked || !busy.m_bRunning)
            return;
        asked = true;
        busyView->SendMessage(deleteInterface);
        PumpMessages();
        closedUnderStep = m_template->Documents().empty();
    };
    for (int i = 0; i < 4 && !m_template->Documents().empty(); ++i)
        Tick(*busyView);
    m_host.m_onPump = nullptr;
    EXPECT_TRUE(asked);
    EXPECT_FALSE(closedUnderStep);
    PumpMessages();
    EXPECT_TRUE(m_template->Documents().empty());
}

TEST_F(MeasurementViewTest, PrintedPageHasTheTitleThenEveryChart)
{
    CKestrunDoc& doc = OpenMeasurement();
    doc.SetTitle("Lab run");
    OpenGrowthView(doc);
    CRecordingDC dc;
    CPrintInfo info;
    info.m_rectDraw = CRect(0, 0, 800, 1000);
    ViewOf<CAreaView>(doc)->OnPrint(&dc, &info);
    std::vector<CString> texts;
    for (const CDCRecord& record : dc.Records())
        if (record.op == "TextOut" || record.op == "DrawText")
            texts.push_back(record.text);
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.front(), "Lab run");
    const CString valueTitle = doc.GetChart(0)->GetYTitle();
    EXPECT_NE(std::find(texts.begin(), texts.end(), valueTitle), texts.end()) << "the measurement's chart";
    EXPECT_NE(std::find(texts.begin(), texts.end(), CString("RGR")), texts.end()) << "the growth-rate chart";

    // On paper: one page through the print path with the margins' mapping.
    const CString pdf = PathOf("run.pdf");
    ASSERT_TRUE(PrintViewToPdf(*ViewOf<CAreaView>(doc), pdf));
    EXPECT_GT(std::filesystem::file_size(pdf.GetString()), 0u);
}

// ---- the set-up sheet ----------------------------------------------------------------

class MeasurementSheetTest : public MeasurementViewTest
{
protected:
    CSheetRunHost m_sheetHost;
};

TEST_F(MeasurementSheetTest, RefusedFieldsKeepTheirPageOpen)
{
    using D1 = CDataDlg1;
    using D3 = CDataDlg3;
    const struct
    {
        int page;
        std::vector<std::pair<UINT, const char*>> entries;
        const char* message;
    } cases[] = {
        {0, {{D1::IDC_INTERVAL_SEC, "0"}, {D1::IDC_INTERVAL_MSEC, "50"}}, "Select a 20 ms or a 40 ms interval"},
        {0, {{D1::IDC_RUN_DAYS, "32"}}, "Run time days: please enter a whole number from 0 to 31."},
        {0,
         {{D1::IDC_INTERVAL_SEC, "0"}, {D1::IDC_INTERVAL_MSEC, "20"}, {D1::IDC_RUN_HOURS, "6"}},
         "Too much data!\n Decrease runtime or increase interval"},
        {2, {{D3::IDC_DELAY2, "100001"}}, "Close System (Pin1): please enter a whole number from 0 to 100000."},
    };
    for (const auto& c : cases) {
        CKestrunDoc& doc = NewDocument(m_sheetHost);
        m_boxes->Clear();
        bool stayed = false;
        OnNextSheet([&](CPropertySheet& sheet) {
            sheet.SetActivePage(c.page);
            CPropertyPage& page = *sheet.GetActivePage();
            for (const auto& [id, text] : c.entries)
                Type(page, id, text);
            sheet.PressButton(PSBTN_OK);
            stayed = sheet.GetSafeHwnd() != nullptr && sheet.GetActivePage() == &page;
            // Put right, the sheet is accepted.
            Type(page, D1::IDC_INTERVAL_SEC, "1");
            Type(page, D1::IDC_INTERVAL_MSEC, "0");
            Type(page, D1::IDC_RUN_DAYS, "0");
            Type(page, D1::IDC_RUN_HOURS, "0");
            Type(page, D3::IDC_DELAY2, "0");
            sheet.PressButton(PSBTN_OK);
        });
        EXPECT_EQ(doc.ConfigureMeasurement(), 1) << c.message;
        EXPECT_TRUE(stayed) << c.message;
        EXPECT_EQ(m_boxes->Texts(), std::vector<CString>{c.message});
        doc.OnCloseDocument();
    }
}

TEST_F(MeasurementSheetTest, AcceptedPagesSetUpTheRunAndCancelChangesNothing)
{
    CKestrunDoc& doc = NewDocument(m_sheetHost);
    OnNextSheet([](CPropertySheet& sheet) {
        EXPECT_EQ(sheet.GetPageCount(), 3);
        CPropertyPage& options = *sheet.GetPage(0);
        EXPECT_EQ(options.GetCaption(), "Measurement Options");
        auto* methods = DYNAMIC_DOWNCAST(CComboBox, options.GetDlgItem(CDataDlg1::IDC_METHOD));
        ASSERT_NE(methods, nullptr);
        const int growth = methods->FindStringExact(-1, "Growth");
        ASSERT_GE(growth, 0);
        methods->SetCurSel(growth);
        options.SendMessage(WM_COMMAND, MAKEWPARAM(CDataDlg1::IDC_METHOD, CBN_SELCHANGE),
                            reinterpret_cast<LPARAM>(methods->GetSafeHwnd()));
        Type(options, CDataDlg1::IDC_INTERVAL_SEC, "10");
        Type(options, CDataDlg1::IDC_RUN_MIN, "2");
        sheet.SetActivePage(1);
        sheet.GetActivePage()->CheckDlgButton(CDataDlg2::IDC_WRITE_AVI, BST_CHECKED);
        sheet.SetActivePage(2);
        Type(*sheet.GetActivePage(), CDataDlg3::IDC_DELAY1, "250");
        Type(*sheet.GetActivePage(), CDataDlg3::IDC_DELAY2, "750");
        sheet.PressButton(PSBTN_OK);
    });
    ASSERT_EQ(doc.ConfigureMeasurement(), 1);
    EXPECT_EQ(doc.GetMethodName(), "Growth");
    EXPECT_EQ(doc.m_bWriteAVI, 1);
    EXPECT_EQ(doc.m_nDelay1, 250);
    EXPECT_EQ(doc.m_nDelay2, 750);
    EXPECT_EQ(doc.m_TimeMarks.GetRunTime(), 120000u + 750u);
    EXPECT_EQ(doc.m_TimeMarks.GetCount(), 4) << "\"Save\" joins at 10 s";
    ASSERT_NE(ViewOf<CAreaView>(doc), nullptr) << "the set-up opened the view";

    OnNextSheet([](CPropertySheet& sheet) {
        Type(*sheet.GetPage(0), CDataDlg1::IDC_INTERVAL_SEC, "2");
        sheet.PressButton(PSBTN_CANCEL);
    });
    EXPECT_EQ(doc.ConfigureMeasurement(), 2);
    EXPECT_EQ(doc.m_TimeMarks.GetMinInterval(), 10000u);
}

// ---- the growth-rate view ------------------------------------------------------------

TEST_F(MeasurementViewTest, GrowthViewFollowsItsMethodPage)
{
    CKestrunDoc& doc = OpenMeasurement();
    auto* area = ViewOf<CAreaView>(doc);
    area->SendMessage(WM_COMMAND, ID_MEASUREMENT_START);
    for (int i = 0; i < 6; ++i)
        Tick(*area);

    // A first opening: method 1, "RGR", the document's curves and values.
    CRGRView& view = OpenGrowthView(doc);
    CCurveChart& chart = view.GetViewChart();
    EXPECT_EQ(view.GetMethod(), 1);
    EXPECT_EQ(chart.GetYTitle(), "RGR");
    EXPECT_EQ(chart.GetMethod(), 1);
    ASSERT_EQ(chart.GetCurveCount(), doc.GetChart(0)->GetCurveCount());
    EXPECT_EQ(chart.GetCurveName(0), doc.GetChart(0)->GetCurveName(0));
    EXPECT_EQ(chart.GetPointCount(0, false), doc.GetChart(0)->GetPointCount(0, false));
    // Further steps reach it.
    for (int i = 0; i < 2; ++i)
        Tick(*area);
    EXPECT_EQ(chart.GetPointCount(0, false), doc.GetChart(0)->GetPointCount(0, false));

    const auto choose = [](int method, bool ok, const char* caption) {
        OnNextSheet([=](CPropertySheet& sheet) {
            CString text;
            sheet.GetWindowText(text);
            EXPECT_EQ(text, caption);
            CPropertyPage& page = *sheet.GetActivePage();
            auto* list = DYNAMIC_DOWNCAST(CListBox, page.GetDlgItem(CRGRDlg::IDC_METHOD_LIST));
            ASSERT_NE(list, nullptr);
            EXPECT_EQ(list->GetCount(), 4);
            list->SetCurSel(method);
            page.SendMessage(WM_COMMAND, MAKEWPARAM(CRGRDlg::IDC_METHOD_LIST, LBN_SELCHANGE),
                             reinterpret_cast<LPARAM>(list->GetSafeHwnd()));
            sheet.PressButton(ok ? PSBTN_OK : PSBTN_CANCEL);
        });
    };
    const struct
    {
        bool rightClick;
        int method;
        bool ok;
        int expectedMethod;
        const char* expectedTitle;
    } steps[] = {
        {false, 0, true, 0, "Undefined"},  // "No Factor"
        {true, 3, false, 0, "Undefined"},  // a cancelled right click
        {true, 2, true, 2, "Undefined"},   // the parameter keeps the title
        {false, 3, true, 3, "Linear Rate"},
    };
    for (const auto& s : steps) {
        choose(s.method, s.ok, s.rightClick ? "Set Parameter" : "Select Method");
        if (s.rightClick)
            view.SendMessage(WM_RBUTTONDOWN, 0, MAKELPARAM(10, 10));
        else
            view.SendMessage(WM_COMMAND, CRGRView::ID_RGR_METHOD);
        EXPECT_EQ(view.GetMethod(), s.expectedMethod);
        EXPECT_EQ(chart.GetMethod(), s.expectedMethod);
        EXPECT_EQ(chart.GetYTitle(), s.expectedTitle);
    }

    // Closing remembers the method for the kind.
    view.GetParentFrame()->DestroyWindow();
    EXPECT_EQ(GetProfileInt("BV-Document", "Method", -1), 3u);
    EXPECT_EQ(doc.GetChart(1), nullptr) << "its chart left the document";
    EXPECT_EQ(OpenGrowthView(doc).GetMethod(), 3);
}

TEST_F(MeasurementViewTest, GrowthViewOfAChartWithoutCurves)
{
    CKestrunDoc& doc = NewDocument(m_host);
    CRGRView& view = OpenGrowthView(doc);
    EXPECT_EQ(view.GetViewChart().GetCurveCount(), 0);
    EXPECT_EQ(view.GetViewChart().GetYTitle(), "RGR");
    EXPECT_EQ(CRGRView::MethodTitle(7), "Undefined");
    doc.UpdateAllViews(nullptr, CLineDataDoc::kHintValues);
    view.UpdateWindow();
}

// ---- the window layer's run host --------------------------------------------------------

TEST(WindowRunHostTest, EscapeFollowsTheKeyboard)
{
    CWindowRunHost host;
    QWidget target;
    EXPECT_FALSE(host.IsEscapeDown());
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&target, &press);
    EXPECT_TRUE(host.IsEscapeDown());
    QKeyEvent other(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier);
    QApplication::sendEvent(&target, &other);
    EXPECT_TRUE(host.IsEscapeDown());
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&target, &release);
    EXPECT_FALSE(host.IsEscapeDown());
    // Pressed and let go between two looks: seen once.
    QApplication::sendEvent(&target, &press);
    QApplication::sendEvent(&target, &release);
    EXPECT_TRUE(host.IsEscapeDown());
    EXPECT_FALSE(host.IsEscapeDown());
}

} // namespace
} // namespace kestrun::testing
