// Measurements through the program: "New" after the kind and the file, the
// set-up sheet, a run on the run clock, saving and reopening, the
// growth-rate view and the lid scanner following the video input.

#include "app/tests/apptesting.h"

#include "app/registeredmessages.h"
#include "app/resource.h"
#include "app/selectdlg.h"

#include "dialogtesting.h"
#include "imaging/uwscanner.h"
#include "outside/grabwell/fgboard.h"
#include "platform/core/clock.h"
#include "platform/core/library.h"
#include "platform/core/messages.h"
#include "platform/ui/doctemplate.h"
#include "platform/ui/mdi.h"
#include "platform/ui/propsheet.h"
#include "platform/ui/widgetbridge.h"
#include "series/curvechart.h"
#include "series/kestrundoc.h"
#include "series/runhost.h"
#include "series/ui/datadlgs.h"
#include "series/ui/linedataview.h"
#include "series/ui/rgrview.h"

#include <QApplication>
#include <QTimer>

#include <filesystem>
#include <fstream>
#include <functional>

namespace kestrun::testing {

namespace {

namespace fs = std::filesystem;

// The run clock moved by hand, with the program's sheet.
class CManualRunHost : public CRunHost
{
public:
    IClock& Clock() override { return m_clock; }
    std::time_t Now() override { return m_now; }
    bool EditSetup(CMeasurementSetup& setup) override { return EditMeasurementSetup(setup, AfxGetMainWnd()); }

    ManualClock m_clock{10000};
    std::time_t m_now = 1772352000;
};

// Steps on the property sheet as soon as one shows (it follows other
// dialogs, so it is looked for until it is there).
void WhenSheetShows(std::function<void(CPropertySheet&)> steps, int triesLeft = 200)
{
    QTimer::singleShot(5, [steps = std::move(steps), triesLeft]() mutable {
        if (auto* sheet = WindowOf<CPropertySheet>(QApplication::activeModalWidget())) {
            steps(*sheet);
            return;
        }
        if (triesLeft > 0)
            WhenSheetShows(std::move(steps), triesLeft - 1);
        else
            ADD_FAILURE() << "no sheet shows";
    });
}

class MeasurementTest : public CStartedAppTest<CKestrunApp>
{
protected:
    void SetUp() override
    {
        CStartedAppTest<CKestrunApp>::SetUp();
        SetRunHost(&m_host);
        // File dialogs answer m_answer (cancelled while empty) and are kept.
        m_previousFiles = SetCommonDialogHandler([this](CCommonDialog& dialog) -> INT_PTR {
            auto* files = dynamic_cast<CFileDialog*>(&dialog);
            if (files == nullptr)
                return IDCANCEL;
            m_fileDialogs.push_back(files->Filter() + " / " + (files->m_ofn.lpstrTitle ? files->m_ofn.lpstrTitle : ""));
            if (m_answer.IsEmpty())
                return IDCANCEL;
            files->SetResult({m_answer});
            return IDOK;
        });
    }
    void TearDown() override
    {
        SetCommonDialogHandler(m_previousFiles);
        SetRunHost(nullptr);
        CStartedAppTest<CKestrunApp>::TearDown();
    }

    // "New" with the kind's button (0: Cancel), the file (empty: the file
    // dialog is cancelled) and, when a sheet shows, OK or Cancel.
    void New(UINT button, const CString& file, bool acceptSheet)
    {
        OnNextDialog([button](CDialog& select) { Press(select, button != 0 ? button : IDCANCEL); });
        m_answer = file;
        if (button == IDC_MEASURE_BV && !file.IsEmpty())
            WhenSheetShows([acceptSheet](CPropertySheet& sheet) {
                sheet.PressButton(acceptSheet ? PSBTN_OK : PSBTN_CANCEL);
            });
        Frame().SendMessage(WM_COMMAND, ID_NEW_MEASUREMENT);
    }

    const std::vector<CDocument*>& Measurements() const { return m_app.m_pMainTemplate->Documents(); }
    CString File(const char* name) const { return (m_folder / name).c_str(); }

    CManualRunHost m_host;
    CString m_answer;
    std::vector<CString> m_fileDialogs; // filter / title
    CommonDialogHandler m_previousFiles;
};

TEST_F(MeasurementTest, NewAsksTheKindThenTheFileAndCancelMakesNothing)
{
    EXPECT_TRUE(QueryCommand(Frame(), ID_NEW_MEASUREMENT).enabled);
    const struct
    {
        UINT button;
        const char* file;
        bool acceptSheet;
        std::vector<CString> messages;
    } cancelled[] = {
        {0, "a.cht", true, {}},                                    // the kind
        {IDC_MEASURE_BV, "", true, {}},                            // the file
        {IDC_MEASURE_BV, "b.cht", false, {}},                      // the sheet
        {IDC_MEASURE_AD, "c.cht", true, {"Function not available"}}, // A/D has no set-up
    };
    for (const auto& c : cancelled) {
        m_boxes->Clear();
        m_fileDialogs.clear();
        New(c.button, *c.file != '\0' ? File(c.file) : CString(), c.acceptSheet);
        EXPECT_TRUE(Measurements().empty()) << c.button << c.file;
        EXPECT_TRUE(m_app.GetTemplates()->GetTemplate(CSRC::kLineDataTemplate)->Documents().empty());
        EXPECT_EQ(m_boxes->Texts(), c.messages) << c.file;
        if (*c.file != '\0') {
            EXPECT_FALSE(fs::exists(File(c.file).GetString())) << c.file;
        }
        const char* offered = c.button == IDC_MEASURE_AD ? "AD Measurement File(*.cht) |*.cht|| / Open New File"
                                                         : "Video Measurement File(*.cht) |*.cht|| / Open New File";
        EXPECT_EQ(m_fileDialogs, c.button != 0 ? std::vector<CString>{offered} : std::vector<CString>{}) << c.file;
    }

    New(IDC_MEASURE_BV, File("video.cht"), true);
    ASSERT_EQ(Measurements().size(), 1u);
    auto* doc = dynamic_cast<CKestrunDoc*>(Measurements().front());
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->GetPathName(), File("video.cht"));
    EXPECT_TRUE(doc->IsNewMeasurement());
    ASSERT_EQ(doc->Views().size(), 1u);
    EXPECT_NE(dynamic_cast<CAreaView*>(doc->Views().front()), nullptr);
    EXPECT_EQ(Frame().GetActiveDocument(), doc);
    EXPECT_FALSE(fs::exists(File("video.cht").GetString())) << "written by the first save";

    // The measurement window's menu and what its handlers enable.
    CMDIChildWnd* child = Frame().MDIGetActive();
    ASSERT_NE(child, nullptr);
    ASSERT_NE(child->SharedMenu(), nullptr);
    CString text;
    child->SharedMenu()->GetMenuString(ID_MEASUREMENT_START, text, MF_BYCOMMAND);
    EXPECT_EQ(text, "&Start");
    for (UINT id : {ID_NEW_MEASUREMENT, ID_MEASUREMENT_OPTIONS, ID_MEASUREMENT_START, ID_MEASUREMENT_STOP,
                    ID_MEASUREMENT_GRAPH, ID_MEASUREMENT_ASCII, ID_MEASUREMENT_SHOW_TABLE, ID_MEASUREMENT_PEAKS,
                    ID_MEASUREMENT_ARRANGE, ID_EXTENDED_VIEW})
        EXPECT_TRUE(QueryCommand(Frame(), id).enabled) << id;
    // Timed runs take no single steps; the method belongs to the growth view.
    for (UINT id : {ID_MEASUREMENT_STEP, CRGRView::ID_RGR_METHOD})
        EXPECT_FALSE(QueryCommand(Frame(), id).enabled) << id;
}

TEST_F(MeasurementTest, NewRunSaveAndReopen)
{
    New(IDC_MEASURE_BV, File("run.cht"), true);
    ASSERT_EQ(Measurements().size(), 1u);
    auto* doc = dynamic_cast<CKestrunDoc*>(Measurements().front());
    CView* view = doc->Views().front();
    ASSERT_TRUE(QueryCommand(Frame(), ID_MEASUREMENT_START).enabled);
    Frame().SendMessage(WM_COMMAND, ID_MEASUREMENT_START);
    ASSERT_TRUE(doc->m_bRunning);
    for (int i = 0; i < 10; ++i) {
        m_host.m_clock.Advance(500);
        view->SendMessage(WM_TIMER, CLineDataDoc::kTimerId);
    }
    Frame().SendMessage(WM_COMMAND, ID_MEASUREMENT_STOP);
    EXPECT_FALSE(doc->m_bRunning);
    const CCurveChart& chart = *doc->GetChart(0);
    ASSERT_GT(chart.GetCurveCount(), 0);
    const int points = chart.GetPointCount(0, false);
    EXPECT_GE(points, 5);
    const CString curve = chart.GetCurveName(0);
    const int curves = chart.GetCurveCount();

    Frame().SendMessage(WM_COMMAND, ID_FILE_SAVE);
    ASSERT_TRUE(fs::exists(File("run.cht").GetString()));
    EXPECT_FALSE(doc->IsModified());
    doc->OnCloseDocument();

    auto* stored = dynamic_cast<CKestrunDoc*>(m_app.OpenDocumentFile(File("run.cht")));
    ASSERT_NE(stored, nullptr) << "the measurement template opens \".cht\" files";
    ASSERT_EQ(stored->GetChart(0)->GetCurveCount(), curves);
    EXPECT_EQ(stored->GetChart(0)->GetCurveName(0), curve);
    EXPECT_EQ(stored->GetChart(0)->GetPointCount(0, false), points);
    EXPECT_FALSE(QueryCommand(Frame(), ID_MEASUREMENT_START).enabled) << "a stored measurement";
    stored->OnCloseDocument();

    // A damaged file: one message naming it, no window.
    {
        std::ofstream(File("bad.cht").GetString()) << "<Chart version=\"1\"><XAxis";
    }
    m_boxes->Clear();
    EXPECT_EQ(m_app.OpenDocumentFile(File("bad.cht")), nullptr);
    ASSERT_EQ(m_boxes->Texts().size(), 1u);
    EXPECT_NE(m_boxes->Texts().front().Find("bad.cht"), -1);
    EXPECT_TRUE(Measurements().empty());
}

TEST_F(MeasurementTest, ExtendedViewOpensOneGrowthViewPerDocument)
{
    New(IDC_MEASURE_BV, File("growth.cht"), true);
    ASSERT_EQ(Measurements().size(), 1u);
    CDocument* doc = Measurements().front();
    ASSERT_TRUE(QueryCommand(Frame(), ID_EXTENDED_VIEW).enabled);
    const auto growthViews = [doc] {
        int count = 0;
        for (CView* view : doc->Views())
            count += dynamic_cast<CRGRView*>(view) != nullptr ? 1 : 0;
        return count;
    };
    Frame().SendMessage(WM_COMMAND, ID_EXTENDED_VIEW);
    EXPECT_EQ(growthViews(), 1);
    Frame().SendMessage(WM_COMMAND, ID_EXTENDED_VIEW);
    EXPECT_EQ(growthViews(), 1) << "the open one is activated";

    doc->OnCloseDocument();
    EXPECT_FALSE(QueryCommand(Frame(), ID_EXTENDED_VIEW).enabled);
}

TEST_F(MeasurementTest, LidScannerFollowsTheVideoInput)
{
    CUwScanner scanner(KESTRUN_UWS_LIBRARY, CString(m_folder.c_str()));
    scanner.Load();
    ASSERT_TRUE(scanner.IsLoaded());
    Frame().m_pUwScanner = &scanner;
    HMODULE library = LoadLibrary(KESTRUN_UWS_LIBRARY);
    ASSERT_NE(library, nullptr);
    auto selected = reinterpret_cast<int (*)()>(GetProcAddress(library, "UwsSelectedVideo"));
    ASSERT_NE(selected, nullptr);

    const UINT message = AppMessages().grabwellToApp;
    const struct
    {
        LPARAM input;
        int video; // 0: unchanged
    } cases[] = {{0, 1}, {2, 3}, {1, 2}, {3, 0}, {-1, 0}};
    for (const auto& c : cases) {
        const int before = selected();
        const ULONGLONG start = m_host.m_clock.NowMs();
        Frame().SendMessage(message, fgevent::kInputChanged, c.input);
        EXPECT_EQ(selected(), c.video != 0 ? c.video : before) << c.input;
        EXPECT_EQ(m_host.m_clock.NowMs() - start, c.video != 0 ? static_cast<ULONGLONG>(scanner.GetDelay()) : 0u)
            << c.input;
    }
    FreeLibrary(library);
    Frame().m_pUwScanner = nullptr;
}

} // namespace

} // namespace kestrun::testing
