// "&Measure OIs" and "Search &Defects": the areas of interest measured
// into a table, and the one place where the page departs most from its
// surroundings.

#include "imaging/dibdocex.h"

#include "imaging/framebufferlock.h"
#include "imaging/resulttable.h"
#include "imaging/src.h"

#include "analysis/aoidoc.h"
#include "analysis/aoistat.h"
#include "analysis/bv.h"
#include "analysis/objsegments.h"
#include "analysis/thresholdarea.h"
#include "objectmodel/normstat.h"
#include "platform/core/messagebox.h"
#include "platform/ui/doctemplate.h"

#include <opencv2/imgproc.hpp>

#include <array>
#include <memory>

namespace {

// The defect search: a spot is the mean of a small window, its
// surroundings the mean of a large one; both odd.
constexpr int kSpotWindow = 5;
constexpr int kSurroundWindow = 31;

} // namespace

CResultTable* CDIBDocEx::NewTableDocument()
{
    CSRC* templates = GetTemplates();
    CMultiDocTemplate* tables = templates ? templates->GetTemplate(CSRC::kGridTemplate) : nullptr;
    if (tables == nullptr) {
        AfxMessageBox("There is no table to measure into.", MB_ICONINFORMATION);
        return nullptr;
    }
    CDocument* doc = tables->CreateNewDocument();
    auto* table = dynamic_cast<CResultTable*>(doc);
    if (table == nullptr || !doc->OnNewDocument()) {
        if (doc)
            doc->OnCloseDocument();
        return nullptr;
    }
    tables->SetDefaultTitle(doc);
    table->AttachSources(templates->GetTemplate(CSRC::kChartTemplate), tables, GetEngine());
    SetResultDoc(doc);
    return table;
}

void CDIBDocEx::MeasureAreas()
{
    CBV* engine = GetEngine();
    if (engine == nullptr || GetActiveDIB() == nullptr)
        return;
    const CFrameBufferLock hold(VideoBoard(), GetActiveDIB());
    PrepareAreas();
    bool bNew = false;
    CResultTable* table = GetResultDoc() != nullptr ? GetResultTable() : nullptr;
    if (table == nullptr) {
        if (GetResultDoc() != nullptr) {
            AfxMessageBox("The bound result window holds no table.", MB_ICONINFORMATION);
            return;
        }
        table = NewTableDocument();
        if (table == nullptr)
            return;
        bNew = true;
    }
    CWaitCursor wait;
    const CDIB& page = *GetActiveDIB();
    const CBVSettings& settings = engine->GetSettings();
    const CAOIDoc& areas = *GetDataDoc();
    const int count = std::max(areas.GetAOICount(), 1);
    for (int i = 0; i < count; ++i) {
        const CAOI* aoi = areas.GetAOICount() > 0 ? areas.GetAOI(i) : &areas.GetImageAOI();
        if (aoi == nullptr)
            continue;
        auto record = std::make_unique<CAOIStat>();
        for (int c = 0; c < engine->m_Classes.GetCount(); ++c)
            record->AddClass(engine->m_Classes[c].m_Color, engine->m_Classes[c].m_strName);
        record->m_Calibration = settings.m_Calibration;
        MeasureThresholdArea(*aoi, page, settings.m_SegThres, *record,
                             engine->m_Classes.GetCount() > 0 ? &engine->m_Classes : nullptr);
        record->MeasureHomogeneity(*aoi, page);
        table->AddObject(record.release());
    }
    table->SetCurrentIndex(2);
    ShowResultTable(bNew);
    UpdateImageViews();
}

void CDIBDocEx::SearchDefects()
{
    const CDIB* page = GetActiveDIB();
    if (page == nullptr || GetDataDoc() == nullptr)
        return;
    const CFrameBufferLock hold(VideoBoard(), GetActiveDIB());
    PrepareAreas();
    CWaitCursor wait;

    // Three channels as doubles; the spread of each over the searched
    // rectangle scales its differences, so a noisy channel weighs less.
    const CRect image(0, 0, page->GetWidth(), page->GetHeight());
    const CRect search = GetDataDoc()->GetActiveAOI(true)->GetRect() & image;
    if (search.IsRectEmpty())
        return;
    std::array<cv::Mat, 3> channels;
    std::array<CNormStat, 3> spread;
    for (auto& channel : channels)
        channel.create(search.Height(), search.Width(), CV_64F);
    for (int y = search.top; y < search.bottom; ++y) {
        for (int x = search.left; x < search.right; ++x) {
            const COLORREF c = page->GetPixel(x, y);
            const double values[3] = {double(GetRValue(c)), double(GetGValue(c)), double(GetBValue(c))};
            for (int k = 0; k < 3; ++k) {
                channels[static_cast<size_t>(k)].at<double>(y - search.top, x - search.left) = values[k];
                spread[static_cast<size_t>(k)].AddValue(values[k]);
            }
        }
    }
    cv::Mat score = cv::Mat::zeros(search.Height(), search.Width(), CV_64F);
    for (size_t k = 0; k < 3; ++k) {
        spread[k].Finish();
        const double sigma = std::sqrt(std::max(spread[k].GetVariance(), 0.0));
        cv::Mat spot;
        cv::Mat surround;
        cv::blur(channels[k], spot, cv::Size(kSpotWindow, kSpotWindow), cv::Point(-1, -1), cv::BORDER_REFLECT);
        cv::blur(channels[k], surround, cv::Size(kSurroundWindow, kSurroundWindow), cv::Point(-1, -1),
                 cv::BORDER_REFLECT);
        cv::Mat difference = cv::abs(spot - surround);
        // A flat channel adds nothing; a channel with a spread is scaled.
        if (sigma > 0.0)
            score += difference / sigma;
    }
    double best = 0.0;
    cv::Point at;
    cv::minMaxLoc(score, nullptr, &best, nullptr, &at);

    CResultTable* table = NewTableDocument();
    if (table == nullptr)
        return;
    auto defect = std::make_unique<CDefect>();
    defect->SetDefect(search.left + at.x, search.top + at.y, best);
    table->AddObject(defect.release());
    ShowResultTable(true);
    if (CDocument* doc = GetResultDoc())
        doc->UpdateAllViews(nullptr);
    UpdateAllViews(nullptr);
}

void CDIBDocEx::OnMeasureAreas()
{
    MeasureAreas();
}

void CDIBDocEx::OnSearchDefects()
{
    SearchDefects();
}
