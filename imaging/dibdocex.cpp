// The image document's settings and menu commands. The filter chain is in
// dibdocexfilter.cpp, the object search in dibdocexsearch.cpp, the
// automatic threshold in dibdocexthreshold.cpp and the tool operations in
// dibdocextools.cpp.

#include "imaging/dibdocex.h"

#include "imaging/framebufferlock.h"
#include "imaging/imagecommands.h"

#include "analysis/aoiraster.h"
#include "analysis/bv.h"
#include "analysis/cvfilters.h"
#include "analysis/ui/infodlgs.h"
#include "objectmodel/toolfunctions.h"
#include "platform/core/exceptions.h"
#include "platform/core/messagebox.h"
#include "platform/core/messages.h"
#include "platform/core/profile.h"
#include "platform/ui/appservices.h"
#include "platform/ui/commondialogs.h"
#include "platform/ui/winapp.h"

#include <opencv2/core.hpp>

#include <exception>

IMPLEMENT_DYNCREATE(CDIBDocEx, CDIBDoc)

BEGIN_MESSAGE_MAP(CDIBDocEx, CDIBDoc)
    ON_COMMAND(ID_IMAGE_LOAD, OnLoad)
    ON_COMMAND(ID_IMAGE_OPEN_OBJECT_DATA, OnOpenObjectData)
    ON_COMMAND(ID_IMAGE_SOFTEN, OnSoften)
    ON_COMMAND(ID_IMAGE_SHARPEN, OnSharpen)
    ON_COMMAND(ID_IMAGE_SOBEL, OnSobel)
    ON_COMMAND(ID_IMAGE_MEDIAN, OnMedian)
    ON_COMMAND(ID_IMAGE_DILATE, OnDilate)
    ON_COMMAND(ID_IMAGE_ERODE, OnErode)
    ON_COMMAND(ID_IMAGE_MORPHOLOGY, OnMorphology)
    ON_COMMAND(ID_IMAGE_BINARIZE, OnBinarize)
    ON_UPDATE_COMMAND_UI(ID_IMAGE_BINARIZE, OnUpdateBinarize)
    ON_COMMAND(ID_IMAGE_EDGE, OnEdge)
    ON_COMMAND(ID_IMAGE_LINES, OnLines)
    ON_COMMAND(ID_IMAGE_SQUARES, OnSquares)
    ON_COMMAND(ID_IMAGE_COLOR_CHANNEL, OnColorChannel)
    ON_COMMAND(ID_IMAGE_AUTO_THRESHOLDS, OnAutoThresholds)
    ON_COMMAND(ID_IMAGE_RUN_MACRO, OnRunMacro)
    ON_COMMAND(ID_IMAGE_RUN_FILTERS, OnRunFilters)
    ON_COMMAND(ID_IMAGE_SEARCH_OBJECTS, OnSearchObjects)
    ON_COMMAND(ID_IMAGE_SEARCH_BLOBS, OnSearchBlobs)
    ON_COMMAND(ID_IMAGE_INVERSE, OnInverse)
    ON_COMMAND(ID_IMAGE_BRIGHTER, OnBrighter)
    ON_COMMAND(ID_IMAGE_DARKER, OnDarker)
    ON_COMMAND(ID_IMAGE_RUN_WATERSHED, OnRunWatershed)
    ON_COMMAND(ID_IMAGE_REMOVE_MARKED, OnRemoveMarkedPixels)
    ON_COMMAND(ID_IMAGE_DEINTERLACE, OnDeinterlace)
    ON_COMMAND(ID_IMAGE_MIRROR, OnMirror)
    ON_COMMAND(ID_IMAGE_FLIP, OnFlip)
    ON_COMMAND(ID_IMAGE_MEASURE_AOIS, OnMeasureAreas)
    ON_COMMAND(ID_IMAGE_SCAN_PARALLELOGRAM, OnScanParallelogram)
    ON_COMMAND(ID_IMAGE_SEARCH_DEFECTS, OnSearchDefects)
    ON_COMMAND(ID_IMAGE_ENHANCEMENT, OnEnhancement)
    ON_COMMAND(ID_IMAGE_HISTOGRAM, OnHistogram)
    ON_COMMAND(ID_IMAGE_SELECTION, OnSelection)
    ON_COMMAND(ID_IMAGE_SMOOTH_CONTOUR, OnSmoothContour)
    ON_COMMAND(ID_IMAGE_SHOW_PARAMETER, OnShowParameter)
    ON_COMMAND(ID_IMAGE_FILTER_SETTINGS, OnFilterSettings)
    ON_COMMAND(ID_IMAGE_CALIBRATE_CAMERA, OnCalibrateCamera)
    ON_UPDATE_COMMAND_UI(ID_IMAGE_CALIBRATE_CAMERA, OnUpdateCalibrateCamera)
END_MESSAGE_MAP()

namespace {

constexpr const char* kMatchSection = "AOIMatch";
constexpr const char* kEdgeSection = "Randfilter";

// Reads an edge-filter key and writes it back at once, so that the file
// shows every key.
int ReadAndKeep(const char* key, int fallback)
{
    const int value = static_cast<int>(GetProfileInt(kEdgeSection, key, fallback));
    WriteProfileInt(kEdgeSection, key, value);
    return value;
}

} // namespace

CDIBDocEx::CDIBDocEx()
{
    BuildMessageMap();
    ReadFilterParams(sFilterParams);
    m_nAOIMatchMethod = static_cast<int>(GetProfileInt(kMatchSection, "Method", m_nAOIMatchMethod));
    m_dAOIMatchThreshold = GetProfileDouble(kMatchSection, "Threshold", m_dAOIMatchThreshold);
    m_nRandLeft = ReadAndKeep("Xleft", m_nRandLeft);
    m_nRandRight = ReadAndKeep("Xright", m_nRandRight);
    m_nRandStrength = ReadAndKeep("Strength", m_nRandStrength);
}

CDIBDocEx::~CDIBDocEx()
{
    try {
        WriteFilterParams(sFilterParams);
        WriteProfileInt(kMatchSection, "Method", m_nAOIMatchMethod);
        WriteProfileDouble(kMatchSection, "Threshold", m_dAOIMatchThreshold);
    } catch (const CException& e) {
        e.ReportError();
    } catch (const std::exception& e) {
        AfxMessageBox(e.what(), MB_ICONEXCLAMATION);
    }
}

// ---- helpers ------------------------------------------------------------------------------

void CDIBDocEx::PrepareAreas()
{
    CAOIDoc* areas = GetDataDoc();
    const CDIB* page = GetActiveDIB();
    if (areas == nullptr || page == nullptr)
        return;
    const CRect image = areas->GetImageRect();
    if (image.Width() != page->GetWidth() || image.Height() != page->GetHeight())
        areas->SetImageSize(page->GetWidth(), page->GetHeight(), true);
}

template <class Change>
void CDIBDocEx::ChangeActivePage(Change change)
{
    const CFrameBufferLock hold(VideoBoard(), GetActiveDIB());
    CDIB* page = GetActiveDIB();
    if (page == nullptr)
        return;
    CWaitCursor wait;
    PrepareAreas();
    PushUndo(FALSE);
    change(*page);
    UpdateImageViews();
}

// ---- files ----------------------------------------------------------------------------------

void CDIBDocEx::OnLoad()
{
    OnLoadImageFile(FALSE);
    UpdateImageViews();
}

void CDIBDocEx::OnOpenObjectData()
{
    // The image's name with the extension of object files.
    CString name = GetPathName().IsEmpty() ? GetTitle() : GetPathName();
    int dot = name.Find(".BMP");
    if (dot < 0)
        dot = name.Find(".bmp");
    if (dot >= 0)
        name = name.Left(dot + 1) + "xml" + name.Mid(dot + 4);
    CFileDialog dialog(TRUE, "xml", name, OFN_FILEMUSTEXIST, "Object Data (*.xml) |*.xml||");
    dialog.m_ofn.lpstrTitle = "Open File";
    if (dialog.DoModal() == IDOK)
        LoadObjectData(dialog.GetPathName(), FALSE);
}

// ---- pixel commands --------------------------------------------------------------------------

void CDIBDocEx::OnSoften()
{
    SetStatusText("Smooth Filter running");
    ChangeActivePage([](CDIB& page) { SmoothFilter(&page, SMOOTH_GAUSSIAN); });
}

void CDIBDocEx::OnSharpen()
{
    ChangeActivePage([](CDIB& page) { LaplaceFilter(&page); });
}

void CDIBDocEx::OnSobel()
{
    ChangeActivePage([](CDIB& page) { SobelMaxFilter(&page); });
}

void CDIBDocEx::OnMedian()
{
    ChangeActivePage([](CDIB& page) { SmoothFilter(&page, SMOOTH_MEDIAN); });
}

void CDIBDocEx::MorphObjects(CDIB& page, bool erode)
{
    const CBV* engine = GetEngine();
    const bool bright = engine != nullptr && engine->GetSettings().m_SegThres.m_Mode == CSegThres::modeBright;
    // Bright objects shrink with the image's erosion, dark ones with its dilation.
    MorphologyFilter(&page, erode == bright ? MORPH_OP_ERODE : MORPH_OP_DILATE);
}

void CDIBDocEx::OnDilate()
{
    ChangeActivePage([this](CDIB& page) { MorphObjects(page, false); });
}

void CDIBDocEx::OnErode()
{
    ChangeActivePage([this](CDIB& page) { MorphObjects(page, true); });
}

void CDIBDocEx::OnMorphology()
{
    ChangeActivePage([](CDIB& page) { MorphologyFilter(&page, sFilterParams.MorphologyType); });
}

bool CDIBDocEx::ActiveAreaHasSubAreas()
{
    CAOIDoc* areas = GetDataDoc();
    const CAOI* active = areas ? areas->GetActiveAOI(true) : nullptr;
    return active && active->GetRaster() && active->GetRaster()->GetSize() > 0;
}

void CDIBDocEx::OnBinarize()
{
    if (ActiveAreaHasSubAreas())
        ChangeActivePage([this](CDIB& page) { FilterSubAreas(page); });
    else
        ChangeActivePage([](CDIB& page) { AdaptiveThresholdFilter(&page); });
}

void CDIBDocEx::OnUpdateBinarize(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(TRUE);
}

void CDIBDocEx::OnEdge()
{
    ChangeActivePage([](CDIB& page) { CannyFilter(&page); });
}

void CDIBDocEx::OnLines()
{
    ChangeActivePage([this](CDIB& page) {
        m_arrPoints1.RemoveAll();
        m_arrPoints2.RemoveAll();
        CArray<POINT, const POINT&> lines;
        HoughLinesFilter(&page, lines);
        for (const POINT& point : lines)
            m_arrPoints1.Add(CPoint(point));
    });
}

void CDIBDocEx::OnSquares()
{
    ChangeActivePage([this](CDIB& page) {
        m_arrPoints1.RemoveAll();
        m_arrPoints2.RemoveAll();
        const CBV* engine = GetEngine();
        if (engine == nullptr)
            return;
        const CSegThres& threshold = engine->GetSettings().m_SegThres;
        const bool bright = threshold.m_Mode == CSegThres::modeBright;
        CArray<POINT, const POINT&> corners;
        SquaresFilter(&page, corners, bright ? threshold.GetUpper() : threshold.GetLower(), bright ? 1 : 0);
        for (const POINT& point : corners)
            m_arrPoints2.Add(CPoint(point));
    });
}

void CDIBDocEx::OnColorChannel()
{
    ChangeActivePage([this](CDIB& page) { FilterGreenChannel(page); });
}

void CDIBDocEx::OnInverse()
{
    if (CBV* engine = GetEngine())
        ChangeActivePage([engine](CDIB& page) { engine->InvertImageInAOI(&page); });
}

void CDIBDocEx::OnBrighter()
{
    // Shows which pixels the next threshold step would change.
    if (CBV* engine = GetEngine())
        ChangeActivePage([engine](CDIB& page) { engine->MarkThresholdChange(&page, 230, 700, 25); });
}

void CDIBDocEx::OnDarker()
{
    if (CBV* engine = GetEngine())
        ChangeActivePage([engine](CDIB& page) { engine->ApplyGainOffset(&page, 1, -10); });
}

void CDIBDocEx::OnRunWatershed()
{
    try {
        const CFrameBufferLock hold(VideoBoard(), GetActiveDIB());
        CBV* engine = GetEngine();
        CDIB* page = GetActiveDIB();
        if (engine == nullptr || page == nullptr)
            return;
        CWaitCursor wait;
        PrepareAreas();
        // The page is searched as it is: marked threshold pixels would be
        // background to the search. Nothing changes before the lines are
        // known, so a failed search leaves the page and the undo stack.
        CArray<POINT, POINT> lines;
        engine->SplitObjectsByWatershed(page, lines);
        PushUndo(TRUE);
        for (const POINT& p : lines)
            page->SetPixel(p.x, p.y, RGB(254, 254, 254));
        UpdateImageViews();
    } catch (const CException& e) {
        e.ReportError();
    } catch (const std::exception& e) {
        AfxMessageBox(e.what(), MB_ICONEXCLAMATION);
    }
}

void CDIBDocEx::OnRemoveMarkedPixels()
{
    const CFrameBufferLock hold(VideoBoard(), GetActiveDIB());
    CBV* engine = GetEngine();
    CDIB* page = GetActiveDIB();
    if (engine == nullptr || page == nullptr)
        return;
    PrepareAreas();
    engine->MarkThresholdPixels(page, nullptr, engine->GetSettings().m_SegThres);
}

void CDIBDocEx::OnDeinterlace()
{
    const CFrameBufferLock hold(VideoBoard(), GetActiveDIB());
    CBV* engine = GetEngine();
    CDIB* page = GetActiveDIB();
    if (engine == nullptr || page == nullptr)
        return;
    PrepareAreas();
    engine->DoubleEvenRows(page);
    UpdateImageViews();
}

void CDIBDocEx::OnMirror()
{
    const CFrameBufferLock hold(VideoBoard(), GetActiveDIB());
    if (CDIB* page = GetActiveDIB()) {
        CWaitCursor wait;
        cv::Mat pixels = page->GetMat();
        cv::flip(pixels, pixels, 1);
        RedrawImage(FALSE);
    }
}

void CDIBDocEx::OnFlip()
{
    const CFrameBufferLock hold(VideoBoard(), GetActiveDIB());
    if (CDIB* page = GetActiveDIB()) {
        cv::Mat pixels = page->GetMat();
        cv::flip(pixels, pixels, 0);
        RedrawImage(FALSE);
    }
}

// ---- analysis commands --------------------------------------------------------------------------

void CDIBDocEx::OnAutoThresholds()
{
    CWaitCursor wait;
    const int undo = GetUndoCount();
    // The search leaves an undo copy only when it changed the page; the
    // application may ask for the page as it was.
    const BOOL searched = SearchAutoThreshold();
    CAppServices* services = kestrun::AppServices();
    if (searched && GetUndoCount() > undo && services && services->GetAutoThreshold())
        PopUndo(undoPop);
    UpdateImageViews();
}

void CDIBDocEx::OnRunMacro()
{
    CWaitCursor wait;
    if (CWnd* main = AfxGetMainWnd())
        main->SendMessage(RegisterWindowMessage("Message RunMacro "), 0,
                          reinterpret_cast<LPARAM>(static_cast<CCmdTarget*>(this)));
}

void CDIBDocEx::OnRunFilters()
{
    const CBV* engine = GetEngine();
    if (engine == nullptr || engine->GetSettings().m_ObjectFilter.GetFilterCount() == 0)
        return;
    const CFrameBufferLock hold(VideoBoard(), GetActiveDIB());
    PushUndo(FALSE);
    RunImageFilter();
    RedrawImage(TRUE);
}

void CDIBDocEx::OnSearchObjects()
{
    SearchObjects();
}

void CDIBDocEx::OnSearchBlobs()
{
    SearchBlobs();
}

void CDIBDocEx::OnUpdateNotAvailable(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(FALSE);
}
