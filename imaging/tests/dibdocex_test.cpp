// The image commands of CDIBDocEx: undo steps, the filter chain, the
// region search, the classification of an object, the settings it keeps
// and the commands that stay off in this build.

#include "imaging/tests/dibdocextesting.h"
#include "imaging/tests/boardprobe.h"

#include "analysis/aoiraster.h"
#include "analysis/filterparams.h"
#include "analysis/ui/analysisdlgresources.h"
#include "analysis/ui/infodlgresources.h"
#include "analysis/ui/infodlgs.h"
#include "analysis/objdata.h"
#include "objectmodel/toolfunctions.h"
#include "outside/grabwell/fgboard.h"
#include "platform/core/clock.h"
#include "platform/core/messages.h"
#include "platform/core/profile.h"
#include "platform/ui/listboxes.h"
#include "platform/ui/widgetbridge.h"

#include <QApplication>
#include <QTimer>

#include <cmath>
#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>

namespace kestrun::testing {

// On every update, whether another thread could have taken the board's
// frame buffer at that moment, i.e. written a live frame into the page.
class CBufferProbeView : public CView
{
    DECLARE_DYNCREATE(CBufferProbeView)

public:
    void OnDraw(CDC*) override {}
    std::vector<bool> m_bufferFree;

protected:
    void OnUpdate(CView*, LPARAM, CObject*) override
    {
        m_bufferFree.push_back(IsBufferFree(*GetFG()));
    }
};

IMPLEMENT_DYNCREATE(CBufferProbeView, CView)

} // namespace kestrun::testing

namespace {

using kestrun::testing::CBufferProbeView;
using kestrun::testing::CDIBDocExTest;
using kestrun::testing::CResultListDoc;

class ImageCommandsTest : public CDIBDocExTest
{
protected:
    void SetUp() override
    {
        CDIBDocExTest::SetUp();
        m_doc = NewDocument(120, 90);
        DrawDisc(*m_doc, {40, 40}, 15, RGB(30, 30, 30));
        DrawDisc(*m_doc, {90, 50}, 10, RGB(50, 20, 20));
        m_original = Pixels(*m_doc);
    }

    CDIBDocEx* m_doc = nullptr;
    cv::Mat m_original;
};

TEST_F(ImageCommandsTest, UndoReturnsToTheImageBeforeTheFirstOfSeveralCommands)
{
    Command(*m_doc, ID_IMAGE_SOFTEN);
    const cv::Mat softened = Pixels(*m_doc);
    EXPECT_FALSE(Same(softened, m_original));
    Command(*m_doc, ID_IMAGE_MEDIAN);
    Command(*m_doc, ID_IMAGE_INVERSE);
    EXPECT_EQ(m_doc->GetUndoCount(), 1);
    m_doc->PopUndo(CDIBDoc::undoPop);
    EXPECT_TRUE(Same(Pixels(*m_doc), m_original));

    // Deinterlacing and removing the marked pixels leave no undo copy.
    Command(*m_doc, ID_IMAGE_DEINTERLACE);
    Command(*m_doc, ID_IMAGE_REMOVE_MARKED);
    EXPECT_EQ(m_doc->GetUndoCount(), 0);
    // The marked pixels are those of the threshold: green 254 now.
    EXPECT_EQ(GetGValue(m_doc->GetActiveDIB()->GetPixel(40, 40)), 254);
}

TEST_F(ImageCommandsTest, BrighterMarksWhatTheNextThresholdStepDropsInOneUndoStep)
{
    // Grey 30 passes a dark threshold of 40 but not one tightened by 25.
    m_engine.GetSettings().m_SegThres = CSegThres(RGB(40, 40, 40), RGB(240, 240, 240), CSegThres::modeDark);
    Command(*m_doc, ID_IMAGE_BRIGHTER);
    EXPECT_EQ(m_doc->GetUndoCount(), 1);
    EXPECT_EQ(m_doc->GetActiveDIB()->GetPixel(40, 40), RGB(241, 241, 241));
    EXPECT_EQ(m_doc->GetActiveDIB()->GetPixel(5, 5), m_doc->GetActiveDIB()->GetPixel(6, 5));
    EXPECT_EQ(m_engine.GetSettings().m_SegThres.GetLower(), RGB(40, 40, 40));
    m_doc->PopUndo(CDIBDoc::undoPop);
    EXPECT_TRUE(Same(Pixels(*m_doc), m_original));
}

TEST_F(ImageCommandsTest, ErodeAndDilateWorkOnTheObjectsWhateverTheirBrightness)
{
    // Dark objects shrink when the image is dilated.
    Command(*m_doc, ID_IMAGE_ERODE);
    EXPECT_EQ(m_doc->GetActiveDIB()->GetPixel(25, 40), RGB(240, 240, 240));
    m_doc->PopUndo(CDIBDoc::undoPop);
    Command(*m_doc, ID_IMAGE_DILATE);
    EXPECT_EQ(m_doc->GetActiveDIB()->GetPixel(24, 40), RGB(30, 30, 30));
    m_doc->PopUndo(CDIBDoc::undoPop);

    // Bright objects shrink when it is eroded.
    m_engine.GetSettings().m_SegThres.m_Mode = CSegThres::modeBright;
    Command(*m_doc, ID_IMAGE_ERODE);
    EXPECT_EQ(m_doc->GetActiveDIB()->GetPixel(24, 40), RGB(30, 30, 30));
}

TEST_F(ImageCommandsTest, WithoutFilterStepsNothingRunsAndNothingIsKept)
{
    EXPECT_FALSE(m_doc->RunImageFilter());
    Command(*m_doc, ID_IMAGE_RUN_FILTERS);
    m_doc->SearchObjects();
    EXPECT_EQ(m_doc->GetUndoCount(), 0);
    EXPECT_TRUE(m_boxes->Texts().empty());
    ASSERT_NE(m_doc->GetResultTable(), nullptr);
    EXPECT_EQ(m_doc->GetResultTable()->GetCount(), 2);
    EXPECT_TRUE(Same(Pixels(*m_doc), m_original));
}

TEST_F(ImageCommandsTest, FilterStepsRunInOrderAndMissingOnesAreToldOnce)
{
    m_engine.AddFilterSelection(filterPerspective);
    m_engine.AddFilterSelection(filterSmooth);
    m_engine.AddFilterSelection(filterPerspective);
    m_engine.AddFilterSelection(filterBinarize);
    CDIB* preview = m_doc->EnsurePreviewImage();
    ASSERT_NE(preview, nullptr);

    Command(*m_doc, ID_IMAGE_RUN_FILTERS);

    // Not calibrated: told once, the chain goes on without the step.
    EXPECT_EQ(m_boxes->Texts(), std::vector<CString>{"Not calibrated for Perspective filter!"});
    EXPECT_EQ(m_doc->GetPageCount(), 1);
    EXPECT_EQ(m_doc->GetUndoCount(), 1);
    EXPECT_FALSE(Same(Pixels(*m_doc), m_original));
    // The threshold mask of the smoothed page went to the preview.
    EXPECT_EQ(preview->GetMat().at<BYTE>(40, 40), 0);
    EXPECT_EQ(preview->GetMat().at<BYTE>(5, 5), 255);
    // The information window says so and closes itself when its timer fires.
    ASSERT_NE(m_doc->m_pInfoDlg, nullptr);
    EXPECT_EQ(m_doc->m_pInfoDlg->GetText(), "Running filter operation ...");
    CString shown;
    m_doc->m_pInfoDlg->GetDlgItemText(kestrun::analysisui::IDC_INFO_TEXT, shown);
    EXPECT_EQ(shown, "Running filter operation ...");
    ASSERT_NE(m_doc->m_pInfoDlg->GetTimer(), 0U);
    m_doc->m_pInfoDlg->SendMessage(WM_TIMER, CInfoDlg::kTimerId, 0);
    EXPECT_EQ(m_doc->m_pInfoDlg->GetSafeHwnd(), nullptr);
}

TEST_F(ImageCommandsTest, TheGreenChannelStepReplacesThePageByItsGreenExcess)
{
    m_doc->GetActiveDIB()->SetPixel(5, 5, RGB(10, 200, 10));
    m_engine.AddFilterSelection(filterSplitColorChannel);
    ASSERT_TRUE(m_doc->RunImageFilter());
    const CDIB* page = m_doc->GetActiveDIB();
    ASSERT_EQ(page->GetBitCount(), 8);
    EXPECT_EQ(page->GetPixel(5, 5), RGB(0, 255, 0));
    EXPECT_EQ(page->GetPixel(40, 40), RGB(0, 0, 0));
}

TEST_F(ImageCommandsTest, BlobSearchKeepsTheFilteredPageAndStartsAgainFromTheSource)
{
    m_engine.AddFilterSelection(filterSmooth);
    Command(*m_doc, ID_IMAGE_SEARCH_BLOBS);
    CResultTable* table = m_doc->GetResultTable();
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->GetCount(), 2);
    EXPECT_EQ(table->GetCurrentIndex(), 1);
    EXPECT_EQ(table->GetAt(0)->m_ID, 4);
    // Filtered and painted, and one undo step back to the source.
    const cv::Mat result = Pixels(*m_doc);
    EXPECT_EQ(m_doc->GetActiveDIB()->GetPixel(40, 40), 0xFFC8FFu);
    EXPECT_EQ(m_doc->GetUndoCount(), 1);

    // Again: the same objects from the same source, not from the result.
    Command(*m_doc, ID_IMAGE_SEARCH_BLOBS);
    EXPECT_EQ(table->GetCount(), 2);
    EXPECT_TRUE(Same(Pixels(*m_doc), result));
    m_doc->PopUndo(CDIBDoc::undoPop);
    EXPECT_TRUE(Same(Pixels(*m_doc), m_original));
}

TEST_F(ImageCommandsTest, EveryImageCommandIsOn)
{
    for (const UINT id : {ID_IMAGE_ENHANCEMENT, ID_IMAGE_CALIBRATE_CAMERA, ID_IMAGE_SCAN_PARALLELOGRAM, ID_IMAGE_HISTOGRAM, ID_IMAGE_SEARCH_OBJECTS, ID_IMAGE_SEARCH_BLOBS, ID_IMAGE_SOFTEN, ID_IMAGE_AUTO_THRESHOLDS,
                          ID_IMAGE_BINARIZE, ID_IMAGE_RUN_FILTERS, ID_IMAGE_RUN_WATERSHED, ID_IMAGE_MEASURE_AOIS,
                          ID_IMAGE_SEARCH_DEFECTS, ID_IMAGE_SELECTION, ID_IMAGE_SMOOTH_CONTOUR,
                          ID_IMAGE_FILTER_SETTINGS, ID_IMAGE_BRIGHTER, ID_IMAGE_SHOW_PARAMETER})
        EXPECT_TRUE(IsEnabled(*m_doc, id)) << id;
}

TEST_F(ImageCommandsTest, ChartsWithoutTheChartWindowsSaySo)
{
    // No ui target is loaded here: the histogram has no window to go to.
    Command(*m_doc, ID_IMAGE_HISTOGRAM);
    EXPECT_EQ(m_boxes->Texts(), std::vector<CString>{"Chart windows are not available in this build."});
    EXPECT_EQ(m_doc->m_pProfileChart, nullptr);
}

TEST_F(ImageCommandsTest, TheScriptRunIsHandedToTheMainWindow)
{
    struct CRecorder : public CWnd
    {
        LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
        {
            if (message == RegisterWindowMessage("Message RunMacro "))
                documents.push_back(lParam);
            return CWnd::WindowProc(message, wParam, lParam);
        }
        std::vector<LPARAM> documents;
    };
    CRecorder recorder;
    ASSERT_TRUE(recorder.Create(nullptr, "Recorder", WS_CHILD, CRect(0, 0, 5, 5), m_main, 2));
    CWnd* main = m_app.m_pMainWnd;
    m_app.m_pMainWnd = &recorder;
    Command(*m_doc, ID_IMAGE_RUN_MACRO);
    m_app.m_pMainWnd = main;
    recorder.DestroyWindow();
    EXPECT_EQ(recorder.documents, std::vector<LPARAM>{reinterpret_cast<LPARAM>(m_doc)});
}

TEST_F(CDIBDocExTest, CommandsOnAPageTheBoardWritesIntoHoldItsBuffer)
{
    FGBoard* board = GetFG();
    // Outlives the test, whatever stops it: the board keeps the pointer.
    static kestrun::ManualClock clock;
    ASSERT_TRUE(kestrun::testing::UseSimulatedBoard(*board, clock));
    auto* probes = new CDIBMultiDocTemplate(kestrun::testing::IDR_TEST_IMAGE, RUNTIME_CLASS(CDIBDocEx),
                                            RUNTIME_CLASS(CMDIChildWnd), RUNTIME_CLASS(CBufferProbeView));
    m_app.AddDocTemplate(probes);
    auto* doc = dynamic_cast<CDIBDocEx*>(probes->OpenDocumentFile(nullptr));
    ASSERT_NE(doc, nullptr);
    ASSERT_TRUE(doc->InitVideoPages());
    DrawDisc(*doc, {100, 100}, 20, RGB(30, 30, 30));
    auto* view = dynamic_cast<CBufferProbeView*>(doc->Views().front());
    ASSERT_EQ(board->ConnectDisplay(doc->GetActiveDIB(), view->m_hWnd, CRect(0, 0, 640, 480)), 1);

    for (const UINT id : {ID_IMAGE_SOFTEN, ID_IMAGE_DEINTERLACE, ID_IMAGE_SEARCH_OBJECTS, ID_IMAGE_SEARCH_BLOBS}) {
        view->m_bufferFree.clear();
        Command(*doc, id);
        EXPECT_EQ(view->m_bufferFree, std::vector<bool>{false}) << id;
    }
    // Once the board no longer writes into the page, nothing is held.
    board->DisconnectDisplay();
    view->m_bufferFree.clear();
    Command(*doc, ID_IMAGE_SOFTEN);
    EXPECT_EQ(view->m_bufferFree, std::vector<bool>{true});
    doc->OnCloseDocument();
    board->SetClock(nullptr);
}

TEST_F(CDIBDocExTest, AnOpenedImageSizesTheEnginesAreas)
{
    CDIBDocEx* doc = NewDocument(10, 10);
    ASSERT_TRUE(doc->OnOpenDocument(WriteImage("page.bmp", 64, 48, RGB(1, 2, 3))));
    EXPECT_EQ(m_engine.m_AOIDoc.GetImageRect(), CRect(0, 0, 64, 48));
    EXPECT_EQ(doc->GetDataDoc(), &m_engine.m_AOIDoc);
}

TEST_F(CDIBDocExTest, FilterAndMatchSettingsComeFromTheProfileAndGoBack)
{
    WriteProfileInt("ImageFilter", "KernelWidth", 7);
    WriteProfileString("AOIMatch", "Threshold", "0.450000");
    WriteProfileInt("Randfilter", "Xright", 640);
    {
        CDIBDocEx doc;
        EXPECT_EQ(sFilterParams.KernelWidth, 7);
        EXPECT_DOUBLE_EQ(doc.m_dAOIMatchThreshold, 0.45);
        EXPECT_EQ(doc.m_nRandRight, 640);
        EXPECT_EQ(doc.m_nRandLeft, 230);
        // The edge filter's keys are written back at once.
        EXPECT_EQ(GetProfileInt("Randfilter", "Xleft", 0), 230u);
        sFilterParams.Iterations = 4;
        doc.m_nAOIMatchMethod = 2;
    }
    EXPECT_EQ(GetProfileInt("ImageFilter", "Iterations", 0), 4u);
    EXPECT_EQ(GetProfileInt("AOIMatch", "Method", 0), 2u);
    EXPECT_DOUBLE_EQ(GetProfileDouble("AOIMatch", "Threshold", 0.0), 0.45);
}

// ---- classification ----------------------------------------------------------------------------

// A class whose features (code, mean) each learned two samples a
// deviation away from the mean.
CVectorNormal Class(int id, const char* name, std::initializer_list<std::pair<int, double>> features)
{
    CVectorNormal vector(id, name);
    vector.m_Color = static_cast<COLORREF>(id * 100);
    for (const auto& feature : features)
        vector.AddFeature("feature", feature.first, 0.0, 1.0);
    vector.ResetFeatures();
    int index = 0;
    for (const auto& feature : features) {
        vector.AddSample(feature.second - 1.0, index);
        vector.AddSample(feature.second + 1.0, index);
        ++index;
    }
    return vector;
}

TEST(ClassifyObject, TheNearestClassWithinThreeDeviationsWins)
{
    CObjData record;
    record.m_Type = CObjData::colArea | CObjData::colForm;
    record.m_lArea = 100;
    record.m_FF = 0.5f;
    const double area = record.GetArea();
    // Two samples 1 away from their mean: 3 deviations are 3 x sqrt(2);
    // a mean of area + k x unit lies k from the record.
    const double unit = 3.0 * std::sqrt(2.0);
    struct Case
    {
        std::vector<CVectorNormal> classes;
        int id;
        const char* name;
        COLORREF colour;
    };
    const Case cases[] = {
        // the nearer class wins
        {{Class(1, "A", {{1, area + 0.5 * unit}}), Class(2, "B", {{1, area - 0.2 * unit}})}, 2, "B", 200},
        {{Class(1, "A", {{1, area + 0.2 * unit}}), Class(2, "B", {{1, area - 0.5 * unit}})}, 1, "A", 100},
        // a tie goes to the later class
        {{Class(1, "A", {{1, area + 0.3 * unit}}), Class(2, "B", {{1, area + 0.3 * unit}})}, 2, "B", 200},
        // a distance of 1 or more rejects the class
        {{Class(1, "A", {{1, area + 1.2 * unit}}), Class(2, "B", {{1, area - 1.5 * unit}})}, 0, "NC", 255},
        // a class of features the record does not carry is passed over
        {{Class(1, "A", {{4, 0.0}}), Class(2, "B", {{1, area + 0.9 * unit}})}, 2, "B", 200},
        {{Class(1, "A", {{4, 0.0}})}, 0, "NC", 255},
        // several features: the mean of their distances (0.6 and 0) decides
        {{Class(1, "Both", {{1, area + 0.6 * unit}, {2, 0.5}}), Class(2, "Area", {{1, area + 0.4 * unit}})},
         1,
         "Both",
         100},
        // and one far feature rejects however near the others are
        {{Class(1, "Both", {{1, area}, {2, 0.5 + 1.1 * unit}})}, 0, "NC", 255},
    };
    for (const Case& c : cases) {
        CClasses classes;
        for (CVectorNormal vector : c.classes)
            classes.Add(vector);
        CDIBDocEx::ClassifyObject(classes, record);
        EXPECT_EQ(record.m_dClass, c.id) << c.name;
        EXPECT_EQ(record.m_strClassName, c.name);
        EXPECT_EQ(record.m_ClassColor, c.colour) << c.name;
    }
}


// Steps on the dialog a command opens, once it shows.
void OnShownDialog(std::function<void(CDialog&)> steps)
{
    QTimer::singleShot(0, [steps = std::move(steps)] {
        auto* dialog = kestrun::WindowOf<CDialog>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        steps(*dialog);
    });
}

TEST_F(ImageCommandsTest, TheParameterCommandsEditTheCurrentProfile)
{
    using namespace kestrun::analysisui;
    CObjectFilter& filter = m_engine.GetSettings().m_ObjectFilter;
    filter.m_arrayFilter.RemoveAll();
    OnShownDialog([](CDialog& d) {
        static_cast<CListBox*>(d.GetDlgItem(IDC_AVAILABLE_FILTERS))->SetCurSel(filterDilate);
        d.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_ADD_FILTER, BN_CLICKED));
        d.SendMessage(WM_COMMAND, IDOK);
    });
    Command(*m_doc, ID_IMAGE_SELECTION);
    ASSERT_EQ(filter.GetFilterCount(), 1);
    EXPECT_EQ(filter.GetFilter(0), filterDilate);

    filter.m_SmoothGrade[1] = 4;
    CString shownGrade;
    OnShownDialog([&](CDialog& d) {
        d.GetDlgItemText(IDC_SMOOTH_GRADE0 + 1, shownGrade);
        d.SetDlgItemText(IDC_SMOOTH_GRADE0 + 1, "1");
        d.SendMessage(WM_COMMAND, IDOK);
    });
    Command(*m_doc, ID_IMAGE_SMOOTH_CONTOUR);
    EXPECT_EQ(shownGrade, "4");
    EXPECT_EQ(filter.m_SmoothGrade[1], 1);

    const sFilterParameters kept = sFilterParams;
    OnShownDialog([](CDialog& d) {
        d.SetDlgItemText(IDC_ITERATIONS, "7");
        d.SendMessage(WM_COMMAND, IDOK);
    });
    Command(*m_doc, ID_IMAGE_FILTER_SETTINGS);
    EXPECT_EQ(sFilterParams.Iterations, 7);
    sFilterParams = kept;
}

} // namespace
