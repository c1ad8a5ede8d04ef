// The engine's measures over one area of interest besides the main run:
// the centre offset of the objects, the most central object and the
// region-based object search.

#include "analysis/bv.h"

#include "analysis/analysisprogress.h"
#include "analysis/objdata.h"
#include "analysis/pageaccess.h"
#include "analysis/region.h"
#include "analysis/resultdocument.h"
#include "analysis/scopedvalue.h"
#include "outside/pixmere/dib.h"
#include "platform/core/messagebox.h"

#include <cmath>
#include <cstdlib>
#include <utility>
#include <vector>

namespace {

constexpr int kCentreOffsetPoints = 15000;
constexpr int kPointsSmallImage = 30000;
constexpr int kPointsLargeImage = 120000;
constexpr int kRunsSmallImage = 10000;
constexpr int kRunsLargeImage = 50000;
constexpr long long kLargeImagePixels = 3000000;
constexpr COLORREF kRegionColour = 0xFFC8FF;

bool IsLargeImage(const CDIB& image)
{
    return static_cast<long long>(image.GetWidth()) * image.GetHeight() > kLargeImagePixels;
}

// Binds the tracer for one measure and releases it afterwards, however the
// measure ends.
class CFreshTracerBinding
{
public:
    CFreshTracerBinding(CKontur8& tracer, CDIB* image, CAOI* aoi, CSegThres* thresholds, int capacity)
        : m_tracer(tracer)
    {
        if (m_tracer.GetCapacity() < capacity)
            m_tracer.Size(capacity);
        m_tracer.SetImage(image, aoi, thresholds);
    }
    CFreshTracerBinding(const CFreshTracerBinding&) = delete;
    CFreshTracerBinding& operator=(const CFreshTracerBinding&) = delete;
    ~CFreshTracerBinding()
    {
        m_tracer.Reset(TRUE);
        m_tracer.SetImage(nullptr, nullptr, nullptr);
    }

private:
    CKontur8& m_tracer;
};

// The progress display for the length of a search.
class CProgressScope
{
public:
    explicit CProgressScope(IAnalysisProgress* progress) : m_progress(progress)
    {
        if (m_progress)
            m_progress->BeginProgress(0, 100);
    }
    CProgressScope(const CProgressScope&) = delete;
    CProgressScope& operator=(const CProgressScope&) = delete;
    ~CProgressScope()
    {
        if (m_progress)
            m_progress->EndProgress();
    }
    void SetPos(int position) const
    {
        if (m_progress)
            m_progress->SetProgressPos(position);
    }

private:
    IAnalysisProgress* m_progress;
};

// The centroid of a filled region from its runs.
CPoint RegionCentroid(const CRegion& region)
{
    double sumX = 0.0;
    double sumY = 0.0;
    double count = 0.0;
    for (const sRegionRun& run : region.GetRuns()) {
        const double length = run.right - run.left + 1;
        sumX += (run.left + run.right) * length / 2.0;
        sumY += run.y * length;
        count += length;
    }
    if (count == 0.0)
        return CPoint(0, 0);
    return CPoint(static_cast<int>(std::lround(sumX / count)), static_cast<int>(std::lround(sumY / count)));
}

} // namespace

void CBV::GetCentreOffset(CDIB* image, float& offset)
{
    CAOI* aoi = m_AOIDoc.GetActiveAOI(true);
    if (image == nullptr || aoi == nullptr)
        return;
    CRect inner = aoi->GetRect();
    inner.DeflateRect(1, 1);
    if (inner.IsRectEmpty()) {
        AfxMessageBox("AOI Error");
        return;
    }
    CSegThres& thresholds = m_Profiles.m_SegThres;
    const CFreshTracerBinding binding(m_Kontur, image, aoi, &thresholds, kCentreOffsetPoints);
    const kestrun::CScopedValue<int> plainTests(m_Kontur.m_nTestSelector, CKontur::testThresholdOnly);

    const int width = inner.Width();
    const int height = inner.Height();
    double sumX = 0.0;
    double sumY = 0.0;
    double sumArea = 0.0;
    {
        const kestrun::CMarkSession marks(m_SearchMarks, m_Kontur.m_pMarkMask, image->GetWidth(), image->GetHeight());
        CPoint position;
        aoi->GetFirstScanPoint(position);
        while (aoi->m_nProgress < 1000) {
            if (aoi->FindNextObjectPixel(*image, thresholds, position, &m_SearchMarks) != 1)
                continue;
            m_Kontur.Trace(position.x, position.y, TRUE, 0);
            if (!m_Kontur.IsClosed())
                continue;
            m_Kontur.CalcChainMeasures();
            if (!m_Kontur.IsClosed() || m_Kontur.m_nArea <= 0)
                continue;
            const double area = m_Kontur.m_nArea;
            sumX += std::abs(m_Kontur.m_nCenterX - width / 2 - inner.left) * area;
            sumY += std::abs(m_Kontur.m_nCenterY - height / 2 - inner.top) * area;
            sumArea += area;
        }
    }
    const double mx = sumArea != 0.0 ? sumX / sumArea : sumX;
    const double my = sumArea != 0.0 ? sumY / sumArea : sumY;
    const double fx = mx / width;
    const double fy = my / height;
    offset = static_cast<float>(std::sqrt(fx * fx + fy * fy) / std::sqrt(2.0));
}

POINT CBV::FindCentralObject(POINT& point, CDIB* image, CAOI* aoi, CRPolygon& polygon)
{
    if (aoi == nullptr)
        aoi = m_AOIDoc.GetActiveAOI(true);
    if (image == nullptr || aoi == nullptr)
        return point;
    CSegThres& thresholds = m_Profiles.m_SegThres;
    const CFreshTracerBinding binding(m_Kontur, image, aoi, &thresholds,
                                 IsLargeImage(*image) ? kPointsLargeImage : kPointsSmallImage);

    const CRect rect = aoi->GetRect();
    const double centreX = (2 * rect.left + rect.Width()) / 2;
    const double centreY = (2 * rect.top + rect.Height()) / 2;
    double bestDistance = 1000.0;
    int bestArea = 0;
    {
        const kestrun::CMarkSession marks(m_SearchMarks, m_Kontur.m_pMarkMask, image->GetWidth(), image->GetHeight());
        CPoint position;
        aoi->GetFirstScanPoint(position);
        while (FindNextObject(position, aoi, &thresholds) == 1) {
            m_Kontur.CalcChainMeasures();
            if (!m_Kontur.IsClosed() || m_Kontur.m_nArea <= 0)
                continue;
            const double distance = std::hypot(m_Kontur.m_nCenterX - centreX, m_Kontur.m_nCenterY - centreY);
            if (m_Kontur.m_nArea > bestArea / 2 && distance < 1.5 * bestDistance) {
                bestDistance = distance;
                bestArea = m_Kontur.m_nArea;
                polygon.RemoveAll();
                for (int i = 0; i <= m_Kontur.GetLastIndex() && i < m_Kontur.m_Points.GetSize(); ++i)
                    polygon.Add(m_Kontur.m_Points[i]);
                polygon.m_bClosed = TRUE;
                polygon.RecalcBounds();
                polygon.m_nCenterX = m_Kontur.m_nCenterX;
                polygon.m_nCenterY = m_Kontur.m_nCenterY;
            }
        }
    }
    if (bestArea > 0)
        point = POINT{polygon.m_nCenterX, polygon.m_nCenterY};
    return point;
}

void CBV::SegmentWithProgress(CDIB* image, IResultDocument* document, CAOI* aoi)
{
    m_RunDiagnostics.RemoveAll();
    if (aoi == nullptr)
        aoi = m_AOIDoc.GetActiveAOI(true);
    if (image == nullptr || aoi == nullptr)
        return;
    const CProgressScope progress(m_pProgressDisplay);
    CSegThres thresholds(m_Profiles.m_SegThres);
    CRegion region(IsLargeImage(*image) ? kRunsLargeImage : kRunsSmallImage);
    region.SetImage(image, aoi, &thresholds);
    const CFormThres& form = m_Profiles.m_FormThres;

    std::vector<sRegionRun> filled;
    CPoint position;
    aoi->GetFirstScanPoint(position);
    while (aoi->m_nProgress < 1000) {
        if (aoi->FindNextObjectPixel(*image, thresholds, position) != 1) {
            progress.SetPos(aoi->m_nProgress / 10);
            continue;
        }
        region.SetSeed(position);
        region.FillStatistics();
        const int count = region.GetPixelCount();
        // Nothing filled: the mark colour passes the threshold, and the
        // search would meet this pixel for ever.
        if (count == 0)
            break;
        filled.insert(filled.end(), region.GetRuns().begin(), region.GetRuns().end());

        auto record = std::make_unique<CObjData>();
        record->m_ID = 4;
        record->m_lArea = count;
        record->m_Type |= CObjData::colArea;
        const CBoundingRect& box = region.GetBoundingRect();
        record->m_Rect.SetRect(box.left, box.top, box.right, box.bottom);
        record->m_ptCentroid = RegionCentroid(region);
        record->m_Type |= CObjData::colPosX | CObjData::colPosY;
        CBaseObj::SystemCalibration = m_Profiles.m_Calibration;
        const auto mean = [count](ULONGLONG sum) { return static_cast<BYTE>(sum / static_cast<ULONGLONG>(count)); };
        record->m_MeanColor = RGB(mean(region.GetSumRed()), mean(region.GetSumGreen()), mean(region.GetSumBlue()));
        record->m_Type |= CObjData::colColors;
        if (form.TestFlagBit(featureBorderContact)) {
            record->m_bHitBoundary = region.TouchesBorder() ? 1 : 0;
            record->m_Type |= CObjData::colBorder;
        }
        const bool passes = form.CheckValue(record->GetArea(), featureArea) &&
                            form.CheckValue(static_cast<DWORD>(record->GetMeanColor()), featureColors);
        if (passes && document)
            document->AddObject(std::move(record));
    }

    kestrun::CPageAccess page(*image);
    for (const sRegionRun& run : filled)
        for (int x = run.left; x <= run.right; ++x)
            page.SetColor(x, run.y, kRegionColour);
}
