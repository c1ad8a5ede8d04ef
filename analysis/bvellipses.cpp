// "Model" 2: the contour segments of an object become ellipse records.
// Segments of one round object are fitted together; what is left gets
// a chance as the largest circle inside the object next to it. Every kept
// ellipse is painted out of the page so that later measures do not find
// its object again; the run gives the page back as it was.

#include "analysis/bv.h"

#include "analysis/aoi.h"
#include "analysis/ellipserules.h"
#include "analysis/lineobj.h"
#include "analysis/objellipse.h"
#include "analysis/objsegments.h"
#include "analysis/resultdocument.h"
#include "analysis/thresholdarea.h"
#include "outside/pixmere/dib.h"

#include <algorithm>
#include <vector>

namespace {

// A segment whose points stray further from its circle is no arc of one
// round object (pixels).
constexpr double kLargestRoughness = 10.0;

// The fitted ellipse must lie inside the area of the run.
class CAreaTarget final : public CEllipsePixelTarget
{
public:
    explicit CAreaTarget(const CAOI& aoi) : m_aoi(aoi) {}
    bool AddPixel(int x, int y) override { return m_aoi.Contains(x, y); }

private:
    const CAOI& m_aoi;
};

// Reads admit the page's pixels (those beyond it are background); paints
// stay inside the area's rectangle, which the run restores.
struct sEllipseContexts
{
    CEllipseContext measure;
    CEllipseContext paint;
};

bool IsBound(const CSegObj& segmentation)
{
    return segmentation.GetImage() != nullptr && segmentation.GetAOI() != nullptr &&
           segmentation.GetThreshold() != nullptr;
}

sEllipseContexts MakeContexts(const CSegObj& segmentation)
{
    CDIB& page = *segmentation.GetImage();
    const CSegThres& threshold = *segmentation.GetThreshold();
    const CRect pageRect(0, 0, page.GetWidth(), page.GetHeight());
    const CRect paintRect = segmentation.GetAOI()->GetRect() & pageRect;
    const auto inside = [](const CRect& r) {
        return [r](int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; };
    };
    // Painted pixels must not pass as object colour.
    const bool paintDark = threshold.IsObjectColor(0xFEFEFE) != FALSE;
    return {CEllipseContext{&page, &threshold, nullptr, inside(pageRect), paintDark},
            CEllipseContext{&page, &threshold, &page, inside(paintRect), paintDark}};
}

// The pixel counts of a circle: all of its pixels, and those inside the
// page that pass the threshold.
class CCircleCount final : public IThresholdAreaRecord
{
public:
    void ResetTotals() override { m_nPassing = 0; }
    void AddPixel(int, int, COLORREF, int) override {}
    void SetTotals(DWORD, COLORREF, DWORD passing, int) override { m_nPassing = passing; }
    void FinishStatistics() override {}
    DWORD GetPassing() const { return m_nPassing; }

private:
    DWORD m_nPassing = 0;
};

} // namespace

bool CBV::PassesEllipseThresholds(const CEllipsenObj& ellipse) const
{
    const CFormThres& form = m_Profiles.m_FormThres;
    return form.CheckValue(static_cast<float>(ellipse.GetFormFactor()), featureFormFactor) &&
           form.CheckValue(static_cast<float>(ellipse.GetArea()), featureArea) &&
           form.CheckValue(static_cast<DWORD>(ellipse.GetMeanColor()), featureColors);
}

void CBV::KeepEllipse(std::unique_ptr<CEllipsenObj> ellipse, const CEllipseContext& paint, IResultDocument& document)
{
    ellipse->PaintInterior(paint, 1);
    CBaseObj::SystemCalibration = m_Profiles.m_Calibration;
    document.AddObject(std::move(ellipse));
}

void CBV::MeasureSegmentRegions(CDIB* image, CAOI* aoi, std::vector<std::unique_ptr<CObjDataBase>>& segments,
                                IResultDocument* document)
{
    std::vector<std::unique_ptr<CKonturSegment>> arcs;
    for (std::unique_ptr<CObjDataBase>& record : segments) {
        auto* segment = dynamic_cast<CKonturSegment*>(record.get());
        if (segment != nullptr && segment->m_dRoughness <= kLargestRoughness) {
            record.release();
            arcs.emplace_back(segment);
        }
    }
    segments.clear();
    if (image == nullptr || aoi == nullptr)
        return;
    CSegObj segmentation(image, aoi, &m_Profiles.m_SegThres);
    FitSegmentEllipses(segmentation, document, arcs);
    FitCircleEllipses(segmentation, document, arcs);
}

void CBV::FitSegmentEllipses(CSegObj& segmentation, IResultDocument* document,
                             std::vector<std::unique_ptr<CKonturSegment>>& segments)
{
    if (document == nullptr || !IsBound(segmentation))
        return;
    const CLineObj line(segmentation);
    const sEllipseContexts contexts = MakeContexts(segmentation);
    CAreaTarget target(*segmentation.GetAOI());
    const double distance = m_Profiles.m_ObjectFilter.m_Distance;
    std::vector<std::unique_ptr<CKonturSegment>> leftovers;
    std::vector<std::unique_ptr<CEllipsenObj>> kept;
    const auto giveBack = [&leftovers](CEllipsenObj& ellipse) {
        while (ellipse.GetPieceCount() > 0)
            leftovers.push_back(ellipse.RemovePiece(0));
    };

    while (!segments.empty()) {
        const auto longest = std::max_element(segments.begin(), segments.end(), [](const auto& a, const auto& b) {
            return a->m_nLength < b->m_nLength;
        });
        std::unique_ptr<CKonturSegment> first = std::move(*longest);
        segments.erase(longest);
        if (!kestrun::StartsEllipse(first->m_nLength)) {
            leftovers.push_back(std::move(first));
            continue;
        }
        auto ellipse = std::make_unique<CEllipsenObj>();
        const CKonturSegment& base = *first;
        ellipse->AddPiece(std::move(first));
        std::vector<size_t> marked;
        for (size_t i = 0; i < segments.size(); ++i) {
            const CKonturSegment& other = *segments[i];
            if (base.IsNear(other, distance) == 1 && base.IsInAngleRange(other) == 1 &&
                line.IsLineInside(base.m_ptRef, other.m_ptRef) == 1)
                marked.push_back(i);
        }
        for (const size_t i : marked)
            ellipse->AddPiece(std::move(segments[i]));
        for (auto it = marked.rbegin(); it != marked.rend(); ++it)
            segments.erase(segments.begin() + static_cast<std::ptrdiff_t>(*it));

        bool fitted = true;
        while (ellipse->FitEllipse(&target) == 0) {
            const int pieces = ellipse->GetPieceCount();
            leftovers.push_back(ellipse->RemovePiece(pieces - 1));
            if (pieces < 2) {
                fitted = false;
                break;
            }
        }
        if (!fitted)
            continue;
        if (!kestrun::KeepsSegmentEllipse(ellipse->MeasureColor(contexts.measure, 2)) ||
            !PassesEllipseThresholds(*ellipse)) {
            giveBack(*ellipse);
            continue;
        }
        kept.push_back(std::move(ellipse));
    }
    for (std::unique_ptr<CKonturSegment>& segment : leftovers)
        segments.push_back(std::move(segment));
    for (std::unique_ptr<CEllipsenObj>& ellipse : kept)
        KeepEllipse(std::move(ellipse), contexts.paint, *document);
}

void CBV::FitCircleEllipses(CSegObj& segmentation, IResultDocument* document,
                            std::vector<std::unique_ptr<CKonturSegment>>& segments)
{
    if (document == nullptr || !IsBound(segmentation))
        return;
    const sEllipseContexts contexts = MakeContexts(segmentation);
    const CDIB& page = *segmentation.GetImage();
    const CSegThres& threshold = *segmentation.GetThreshold();
    CAreaTarget target(*segmentation.GetAOI());
    const CRect imageRect = m_AOIDoc.GetImageRect() & CRect(0, 0, page.GetWidth(), page.GetHeight());
    for (const std::unique_ptr<CKonturSegment>& segment : segments) {
        segment->FindInnerCircle(page, threshold, imageRect);
        if (!segment->HasInnerCircle())
            continue;
        CAOIEllipse circle;
        const int r = segment->m_nInnerRadius;
        circle.SetCenterAndRadii(segment->m_ptInnerCenter.x, segment->m_ptInnerCenter.y, r, r);
        CCircleCount count;
        MeasureThresholdArea(circle, page, threshold, count, nullptr);
        // Pixels of the circle beyond the page count as background.
        const auto total = static_cast<DWORD>(std::max(circle.GetPixelCount(), 0));
        if (!kestrun::IsCircleOnObject(count.GetPassing(), total))
            continue;
        auto ellipse = std::make_unique<CEllipsenObj>();
        const int top = circle.GetTop();
        const int bottom = top + circle.GetHeight() - 1;
        std::vector<int> left;
        std::vector<int> right;
        for (int y = top; y <= bottom; ++y) {
            left.push_back(circle.GetRowLeft(y));
            right.push_back(circle.GetRowRight(y));
        }
        ellipse->AddRowPoints(top, bottom, left, right);
        ellipse->FitEllipse(&target);
        const double share = ellipse->MeasureColor(contexts.measure, 2);
        if (kestrun::KeepsCircleEllipse(share) && PassesEllipseThresholds(*ellipse))
            KeepEllipse(std::move(ellipse), contexts.paint, *document);
    }
}
