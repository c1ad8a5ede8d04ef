// The image-filter chain of the image document: the steps chosen in the
// engine's object filter, run in order on the active page.

#include "imaging/dibdocex.h"

#include "imaging/framebufferlock.h"
#include "analysis/bv.h"
#include "analysis/cvfilters.h"
#include "analysis/pageaccess.h"
#include "analysis/subareabinarize.h"
#include "analysis/ui/infodlgs.h"
#include "platform/core/messagebox.h"
#include "platform/ui/view.h"
#include "platform/ui/winapp.h"

#include <algorithm>
#include <span>
#include <utility>

namespace {

// Contrast marks: pixels of little green excess are lightened, the others
// darkened.
constexpr int kContrastGreenLimit = 50;
constexpr int kContrastLighten = 40;
constexpr int kContrastDarken = 20;

} // namespace

BOOL CDIBDocEx::RunImageFilter()
{
    const CFrameBufferLock hold(VideoBoard(), GetActiveDIB());
    CBV* engine = GetEngine();
    CDIB* page = GetActiveDIB();
    if (engine == nullptr || page == nullptr)
        return FALSE;
    const CObjectFilter& filter = engine->GetSettings().m_ObjectFilter;
    const int count = filter.GetFilterCount();
    if (count == 0)
        return FALSE;
    PrepareAreas();
    m_reportedSteps.clear();
    for (int i = 0; i < count; ++i) {
        const int step = filter.GetFilter(i);
        switch (step) {
        case filterSmooth:
            SmoothFilter(page, SMOOTH_GAUSSIAN);
            break;
        case filterSplitColorChannel:
            FilterGreenChannel(*page);
            break;
        case filterBinarize:
            FilterThresholdMask(*page);
            break;
        case filterEdge:
            CannyFilter(page);
            break;
        case filterErode:
            MorphObjects(*page, true);
            break;
        case filterDilate:
            MorphObjects(*page, false);
            break;
        case filterVovod:
            FilterContrastMarks(*page);
            break;
        case filterUndistort:
            UndistortFilter(page);
            break;
        case filterRasterAutoThreshold:
            if (ActiveAreaHasSubAreas())
                FilterSubAreas(*page);
            break;
        case filterPerspective:
            // The straightened page is the one the later steps work on.
            if (FilterPerspective())
                page = GetActiveDIB();
            break;
        default:
            break;
        }
    }
    if (CView* view = GetEmbeddedView()) {
        view->Invalidate(TRUE);
        view->UpdateWindow();
    } else {
        ShowFilterInfo();
    }
    return TRUE;
}

bool CDIBDocEx::SplitGreenChannel(CDIB& page, CDIB& green)
{
    CBV* engine = GetEngine();
    // A grey page has no channels to split.
    if (engine == nullptr || page.GetBitCount() != 24)
        return false;
    if (!green.InitDIB(page.GetWidth(), page.GetHeight(), 8))
        return false;
    engine->SplitColorChannels(&page, nullptr, &green, nullptr, 2);
    return true;
}

void CDIBDocEx::FilterGreenChannel(CDIB& page)
{
    CDIB green;
    if (SplitGreenChannel(page, green))
        CopyPage(page, green);
}

void CDIBDocEx::FilterThresholdMask(CDIB& page)
{
    const CBV* engine = GetEngine();
    CDIB* preview = GetPreviewImage();
    if (engine == nullptr || preview == nullptr || preview->GetBitCount() != 8)
        return;
    const CSegThres& threshold = engine->GetSettings().m_SegThres;
    kestrun::CPageAccess source(page);
    const int width = std::min(page.GetWidth(), preview->GetWidth());
    const int height = std::min(page.GetHeight(), preview->GetHeight());
    for (int y = 0; y < height; ++y) {
        const std::span<BYTE> row = preview->GetRow(y);
        for (int x = 0; x < width; ++x)
            row[static_cast<size_t>(x)] = threshold.IsObjectColor(source.GetColor(x, y)) ? 0 : 255;
    }
}

void CDIBDocEx::FilterSubAreas(CDIB& page)
{
    CBV* engine = GetEngine();
    CAOIDoc* areas = GetDataDoc();
    const CAOI* active = areas ? areas->GetActiveAOI(true) : nullptr;
    if (engine == nullptr || active == nullptr)
        return;
    BinarizeSubAreas(page, *active, engine->GetSettings().m_SegThres, engine->GetProgressDisplay());
}

void CDIBDocEx::FilterContrastMarks(CDIB& page)
{
    CDIB green;
    if (!SplitGreenChannel(page, green))
        return;
    for (int y = 0; y < page.GetHeight(); ++y) {
        const std::span<const BYTE> marks = std::as_const(green).GetRow(y);
        const std::span<BYTE> row = page.GetRow(y);
        for (int x = 0; x < page.GetWidth(); ++x) {
            const bool lighten = marks[static_cast<size_t>(x)] <= kContrastGreenLimit;
            for (size_t c = 0; c < 3; ++c) {
                BYTE& value = row[static_cast<size_t>(x) * 3 + c];
                value = lighten ? static_cast<BYTE>(std::min(value + kContrastLighten, 254))
                                : static_cast<BYTE>(std::max(value - kContrastDarken, 1));
            }
        }
    }
}

void CDIBDocEx::ShowFilterInfo()
{
    // One window at a time: a new run replaces the one still showing.
    m_pInfoDlg = std::make_unique<CInfoDlg>("Running filter operation ...", kFilterInfoTime, AfxGetMainWnd());
    if (!m_pInfoDlg->Create())
        m_pInfoDlg.reset();
}
