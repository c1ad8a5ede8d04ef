// Conglomerate cutting: the cut searches and the two cutting methods of
// the main run, and the watershed separation of the objects of a page.

#include "analysis/bv.h"

#include "analysis/analysisprogress.h"
#include "analysis/cutlines.h"
#include "analysis/cutscratch.h"
#include "analysis/cvcontours.h"
#include "analysis/objdata.h"
#include "analysis/objectfilter.h"
#include "analysis/stripesearch.h"
#include "objectmodel/linepoints.h"
#include "outside/pixmere/dib.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <deque>
#include <iterator>
#include <limits>
#include <numbers>
#include <optional>

namespace {

// Contours shorter than this are never cut.
constexpr int kMinCutPoints = 20;
// Holes of no more points are not cut out of a watershed mask.
constexpr int kMinMaskHolePoints = 10;

bool IsOrigin(POINT p)
{
    return p.x == 0 && p.y == 0;
}

double Distance(POINT a, POINT b)
{
    return std::hypot(static_cast<double>(a.x - b.x), static_cast<double>(a.y - b.y));
}

// A quick depth this close to a limit is left to OpenCV's own defects.
constexpr double kDepthMargin = 1e-4;

// Whether the quick depth of the deepest defect is known to lie below the
// limit (true) or at or above it (false); nothing when it is too close to
// tell or unknown.
std::optional<bool> QuickBelow(CDefectDepth& quick, const CRPolygon& contour, double limit)
{
    const std::optional<double> deepest = quick.Deepest(contour);
    if (!deepest || std::abs(*deepest - limit) <= kDepthMargin)
        return std::nullopt;
    return *deepest < limit;
}

// A defect shallower than this is the digitisation of a convex outline.
constexpr float kConvexDepth = 1.5F;

// The distance to the outside of a convex object rises to one ridge, so
// its watershed has one basin and no dam: such an object needs no mask.
bool IsConvex(const CRPolygon& contour, CDefectDepth& quick)
{
    if (const std::optional<bool> below = QuickBelow(quick, contour, kConvexDepth))
        return *below;
    CConvexityDefects defects;
    if (!ConvexityDefects(contour, defects))
        return false;
    for (const sConvexityDefect& defect : defects)
        if (defect.m_fDepth >= kConvexDepth)
            return false;
    return true;
}

// The depth a defect must exceed to be cut at, from the sensitivity; one
// from a file outside 0..10 counts as its nearest end.
double DefectCutThreshold(float sensitivity)
{
    const int s = std::isnan(sensitivity) ? 0 : static_cast<int>(std::clamp(sensitivity, 0.0F, 10.0F));
    return s < 2 ? 5.0 : s <= 4 ? 2.5 : s <= 8 ? 1.0 : 0.5;
}

void WatershedCuts(const CRPolygon& contour, CRPointArray& cuts, const std::vector<const CRPolygon*>& holes,
                   CCutScratch& scratch);

} // namespace

void AppendLinePoints(int x1, int y1, int x2, int y2, CRPointArray& points)
{
    CLinePoints line;
    line.Init(x1, y1, x2, y2);
    std::span<const POINT> span = line.Points();
    if (!points.IsEmpty() && points[points.GetSize() - 1].x == x1 && points[points.GetSize() - 1].y == y1)
        span = span.subspan(1);
    for (const POINT& p : span)
        points.Add(p);
}

void CBV::FindDefectCut(const CRPolygon& contour, const CConvexityDefects& defects, CRPointArray& cut) const
{
    cut.RemoveAll();
    if (contour.GetSize() < kMinCutPoints)
        return;
    double threshold = DefectCutThreshold(m_Profiles.m_ObjectFilter.m_ConCutThres);
    const sConvexityDefect* chosen = nullptr;
    for (const sConvexityDefect& defect : defects) {
        const double opening = Distance(POINT{defect.m_nStartX, defect.m_nStartY}, POINT{defect.m_nEndX, defect.m_nEndY});
        if (defect.m_fDepth > threshold && defect.m_fDepth <= 10.0 * opening) {
            chosen = &defect;
            threshold = defect.m_fDepth;
        }
    }
    if (chosen == nullptr || IsOrigin(POINT{chosen->m_nDeepestX, chosen->m_nDeepestY}))
        return;
    const POINT partner = FindCutPartner(*chosen, contour, defects);
    if (!IsOrigin(partner))
        AppendLinePoints(chosen->m_nDeepestX, chosen->m_nDeepestY, partner.x, partner.y, cut);
}

POINT CBV::FindCutPartner(const sConvexityDefect& chosen, const CRPolygon& contour, const CConvexityDefects& defects)
{
    // Across the object is the way from the depth point at right angles
    // to the defect's opening (a hull edge), on into the object; the
    // middle of a long opening may lie over another object. Another
    // defect's depth point
    // within 60 degrees of that way is the partner (the nearest such): a
    // neck between two objects has one on either side. Without one, the
    // way leaves the object at the nearest contour point on it; failing
    // that, at the contour point closest in direction within 30 degrees.
    const POINT depth{chosen.m_nDeepestX, chosen.m_nDeepestY};
    double nx = -static_cast<double>(chosen.m_nEndY - chosen.m_nStartY);
    double ny = static_cast<double>(chosen.m_nEndX - chosen.m_nStartX);
    if (nx == 0.0 && ny == 0.0) {
        nx = depth.x - chosen.m_nStartX;
        ny = depth.y - chosen.m_nStartY;
    } else if (nx * (depth.x - chosen.m_nStartX) + ny * (depth.y - chosen.m_nStartY) < 0.0) {
        nx = -nx;
        ny = -ny;
    }
    const double length = std::hypot(nx, ny);
    if (length < 1e-9)
        return POINT{0, 0};
    nx /= length;
    ny /= length;
    const auto ahead = [&](POINT p) { return (p.x - depth.x) * nx + (p.y - depth.y) * ny; };
    const auto aside = [&](POINT p) { return std::abs((p.y - depth.y) * nx - (p.x - depth.x) * ny); };

    POINT found{0, 0};
    double best = std::numeric_limits<double>::infinity();
    for (const sConvexityDefect& other : defects) {
        const POINT p{other.m_nDeepestX, other.m_nDeepestY};
        if (&other == &chosen || IsOrigin(p) || other.m_fDepth < 1.0F || contour.FindPoint(p) < 0)
            continue;
        const double d = Distance(p, depth);
        if (d >= 2.0 && d < best && ahead(p) >= 0.5 * d) {
            best = d;
            found = p;
        }
    }
    if (!IsOrigin(found))
        return found;
    for (const POINT& p : contour) {
        // Nearest along the way, then nearest to it.
        const double forward = ahead(p) + 0.01 * aside(p);
        if (forward >= 2.0 && forward < best && aside(p) <= 1.0) {
            best = forward;
            found = p;
        }
    }
    if (!IsOrigin(found))
        return found;
    double bestCos = std::cos(std::numbers::pi / 6.0);
    for (const POINT& p : contour) {
        const double d = Distance(p, depth);
        if (d >= 2.0 && ahead(p) / d > bestCos) {
            bestCos = ahead(p) / d;
            found = p;
        }
    }
    return found;
}

int CBV::FindHoleJoin(const CRPolygon& contour, const CConvexityDefects& defects,
                      const std::vector<const CRPolygon*>& holes, CRPointArray& join)
{
    join.RemoveAll();
    if (contour.GetSize() < kMinCutPoints)
        return -1;
    int best = 1000;
    int index = -1;
    POINT from{0, 0};
    POINT to{0, 0};
    for (const sConvexityDefect& defect : defects) {
        const POINT depth{defect.m_nDeepestX, defect.m_nDeepestY};
        if (defect.m_fDepth < 1.0F || IsOrigin(depth))
            continue;
        for (size_t i = 0; i < holes.size(); ++i) {
            if (holes[i] == nullptr)
                continue;
            for (const POINT& p : *holes[i]) {
                const int d = static_cast<int>(Distance(depth, p));
                if (d < best) {
                    best = d;
                    from = depth;
                    to = p;
                    index = static_cast<int>(i);
                }
            }
        }
    }
    if (IsOrigin(from) || IsOrigin(to))
        return -1;
    AppendLinePoints(from.x, from.y, to.x, to.y, join);
    return index;
}

void CBV::FindWatershedCuts(const CRPolygon& contour, CRPointArray& cuts, const std::vector<const CRPolygon*>& holes)
{
    CCutScratch scratch;
    WatershedCuts(contour, cuts, holes, scratch);
}

void CBV::SplitObjectsByAOI(const CRPolygon& contour, std::vector<sRunOutline>& holes, std::vector<sRunOutline>& target)
{
    CAOI4 area;
    if (holes.empty() || !area.SetPolygon(contour))
        return;
    const auto inside = [&area](const sRunOutline& hole) {
        return hole.polygon && !hole.polygon->IsEmpty() && area.Contains((*hole.polygon)[0].x, (*hole.polygon)[0].y);
    };
    auto keep = holes.begin();
    for (auto it = holes.begin(); it != holes.end(); ++it) {
        if (inside(*it))
            target.push_back(std::move(*it));
        else
            *keep++ = std::move(*it);
    }
    holes.erase(keep, holes.end());
}

namespace {

std::vector<const CRPolygon*> PolygonsOf(const std::vector<sRunOutline>& outlines)
{
    std::vector<const CRPolygon*> polygons;
    polygons.reserve(outlines.size());
    for (const sRunOutline& outline : outlines)
        polygons.push_back(outline.polygon.get());
    return polygons;
}

// Keeps the points of an outline before its first change, when asked.
void KeepOriginal(const CRPolygon& polygon, CRPointArray* original)
{
    if (original != nullptr && original->IsEmpty())
        original->Copy(polygon);
}

// A cut part is measured from its points, as the tracer walks them.
void MarkCut(sRunOutline& outline)
{
    outline.traced = false;
}

sRunOutline CutPart(std::unique_ptr<CRPolygon> polygon, int moving)
{
    sRunOutline part;
    polygon->m_nSpare = moving;
    part.polygon = std::move(polygon);
    return part;
}

void WatershedCuts(const CRPolygon& contour, CRPointArray& cuts, const std::vector<const CRPolygon*>& holes,
                   CCutScratch& scratch)
{
    cuts.RemoveAll();
    if (contour.GetSize() < kMinCutPoints || (holes.empty() && IsConvex(contour, scratch.m_Quick)))
        return;
    CArray<CRPolygon*, CRPolygon*> maskHoles;
    for (const CRPolygon* hole : holes)
        if (hole != nullptr && hole->GetSize() > kMinMaskHolePoints)
            maskHoles.Add(const_cast<CRPolygon*>(hole)); // the mask only reads them
    CArray<POINT, POINT> dams;
    if (!scratch.m_Dams.Collect(contour, maskHoles, dams))
        return;

    // Lines of neighbouring dam pixels, each from a pixel on the contour.
    std::vector<POINT> left(dams.begin(), dams.end());
    std::vector<char> taken(left.size(), 0);
    const auto take = [&](size_t i) {
        taken[i] = 1;
        cuts.Add(left[i]);
        return left[i];
    };
    for (;;) {
        size_t start = left.size();
        for (size_t i = 0; i < left.size() && start == left.size(); ++i)
            if (!taken[i] && contour.FindPoint(left[i]) >= 0)
                start = i;
        if (start == left.size())
            break; // the rest never reaches the contour
        POINT last = take(start);
        for (bool grown = true; grown;) {
            grown = false;
            for (size_t i = 0; i < left.size(); ++i)
                if (!taken[i] && std::max(std::abs(left[i].x - last.x), std::abs(left[i].y - last.y)) == 1) {
                    last = take(i);
                    grown = true;
                    break;
                }
        }
        if (contour.FindPoint(last) < 0) {
            const int next = contour.FindNeighbour(last.x, last.y);
            if (next >= 0)
                cuts.Add(contour[next]);
        }
        cuts.Add(POINT{0, 0});
    }
}


} // namespace

void CBV::CutConglomerates(std::vector<sRunOutline>& outer, std::vector<sRunOutline>& holes, int holeFlag)
{
    const int type = m_Profiles.m_ObjectFilter.m_ConCutType;
    if (type == CObjectFilter::conCutConvexDefects)
        CutByDefects(outer, holes, holeFlag);
    else if (type == CObjectFilter::conCutWatershed)
        CutByWatershed(outer, holes, holeFlag);
}

namespace {

// Cuts one outline at its defects until no cut is left. The parts cut off
// go to parts in the order they come off; each part is cut in turn before
// it is added. False when the steps ran out. original: see KeepOriginal.
bool CutAtDefects(const CBV& engine, double threshold, sRunOutline& outline, std::vector<sRunOutline>& own,
                  std::vector<sRunOutline>& parts, CDefectDepth& quick, CRPointArray* original)
{
    const int moving = outline.polygon->m_nSpare;
    std::deque<std::unique_ptr<CRPolygon>> stack;
    // Each step cuts off a part of at least two points or takes in a
    // hole: more steps than that mean a cut that keeps coming back.
    long steps = static_cast<long>(outline.polygon->GetSize()) + static_cast<long>(own.size()) + 1;
    // -1: the outline itself, else the part being cut.
    long current = -1;
    const auto cutting = [&]() -> sRunOutline& { return current < 0 ? outline : parts[static_cast<size_t>(current)]; };
    bool finished = true;
    for (;;) {
        if (--steps < 0) {
            finished = false;
            break;
        }
        CRPolygon& polygon = *cutting().polygon;
        CConvexityDefects defects;
        CRPointArray cut;
        // Most outlines have no defect deep enough to cut at.
        if (QuickBelow(quick, polygon, threshold) != std::optional<bool>(true)) {
            ConvexityDefects(polygon, defects);
            engine.FindDefectCut(polygon, defects, cut);
        }
        if (!own.empty() && !cut.IsEmpty()) {
            CRPointArray join;
            const int hole = CBV::FindHoleJoin(polygon, defects, PolygonsOf(own), join);
            if (hole >= 0 && !join.IsEmpty() && join.GetSize() < cut.GetSize()) {
                if (current < 0)
                    KeepOriginal(polygon, original);
                if (polygon.JoinAlongCut(join, *own[static_cast<size_t>(hole)].polygon)) {
                    own.erase(own.begin() + hole);
                    MarkCut(cutting());
                    continue;
                }
                cut.RemoveAll(); // a join that changes nothing: this polygon is done
            }
        }
        if (!cut.IsEmpty()) {
            if (current < 0)
                KeepOriginal(polygon, original);
            if (std::unique_ptr<CRPolygon> part = polygon.SplitByCut(cut)) {
                stack.push_back(std::move(part));
                MarkCut(cutting());
                continue;
            }
            // A cut that splits nothing would come back for ever.
        }
        if (stack.empty())
            break;
        parts.push_back(CutPart(std::move(stack.front()), moving));
        stack.pop_front();
        current = static_cast<long>(parts.size()) - 1;
    }
    // Parts not yet examined are visited in turn like the others.
    for (std::unique_ptr<CRPolygon>& part : stack)
        parts.push_back(CutPart(std::move(part), moving));
    return finished;
}

// Cuts an outline and the parts cut off it at their defects, level by
// level: levels[k] holds what the parts of level k - 1 (the outline for
// k = 0) gave. Returns how many of them ran out of steps.
int CutInLevels(const CBV& engine, double threshold, sRunOutline& outline, std::vector<std::vector<sRunOutline>>& levels,
                CDefectDepth& quick, CRPointArray* original)
{
    int stopped = 0;
    std::vector<sRunOutline> none;
    std::vector<sRunOutline> parts;
    if (!CutAtDefects(engine, threshold, outline, none, parts, quick, original))
        ++stopped;
    while (!parts.empty()) {
        std::vector<sRunOutline>& level = levels.emplace_back(std::move(parts));
        parts.clear();
        for (sRunOutline& part : level)
            if (!CutAtDefects(engine, threshold, part, none, parts, quick, nullptr))
                ++stopped;
    }
    return stopped;
}

// The dams of one outline cut it; the parts cut off go to parts.
// original: see KeepOriginal.
void CutAtDams(sRunOutline& outline, const std::vector<const CRPolygon*>& holes, std::vector<sRunOutline>& parts,
               CCutScratch& scratch, CRPointArray* original)
{
    CRPointArray cuts;
    WatershedCuts(*outline.polygon, cuts, holes, scratch);
    if (!cuts.IsEmpty())
        KeepOriginal(*outline.polygon, original);
    const int moving = outline.polygon->m_nSpare;
    const auto piece = [&](size_t k) -> sRunOutline& { return k == 0 ? outline : parts[k - 1]; };
    CRPointArray cut;
    for (INT_PTR pos = 0; pos < cuts.GetSize(); ++pos) {
        cut.RemoveAll();
        for (; pos < cuts.GetSize() && !IsOrigin(cuts[pos]); ++pos)
            cut.Add(cuts[pos]);
        if (cut.IsEmpty())
            continue;
        for (size_t k = 0; k <= parts.size(); ++k) {
            CRPolygon& part = *piece(k).polygon;
            if (part.FindPoint(cut[0]) < 0)
                continue;
            CRPointArray tried;
            tried.Copy(cut); // a split may turn the cut round
            if (std::unique_ptr<CRPolygon> split = part.SplitByCut(tried)) {
                MarkCut(piece(k));
                parts.push_back(CutPart(std::move(split), moving));
                break;
            }
        }
    }
}

} // namespace

CWorkerPool& CBV::WorkerPool()
{
    if (!m_pWorkerPool)
        m_pWorkerPool = std::make_unique<CWorkerPool>();
    return *m_pWorkerPool;
}

void CBV::CutByDefects(std::vector<sRunOutline>& outer, std::vector<sRunOutline>& holes, int holeFlag)
{
    const double threshold = DefectCutThreshold(m_Profiles.m_ObjectFilter.m_ConCutThres);
    std::atomic<int> stopped{0};
    if (holeFlag == 1 && !holes.empty()) {
        // Which holes an outline may join depends on what the outlines
        // before it left: one after the other.
        CDefectDepth quick;
        for (size_t i = 0; i < outer.size(); ++i) {
            if (m_pProgress != nullptr)
                m_pProgress->SetProgressPos(static_cast<int>(i * 100 / outer.size()));
            std::vector<sRunOutline> own;
            SplitObjectsByAOI(*outer[i].polygon, holes, own);
            std::vector<sRunOutline> parts;
            if (!CutAtDefects(*this, threshold, outer[i], own, parts, quick, nullptr))
                ++stopped;
            std::move(parts.begin(), parts.end(), std::back_inserter(outer));
            // Holes not joined stay holes of the run and are measured there.
            std::move(own.begin(), own.end(), std::back_inserter(holes));
        }
    } else {
        // Outlines are cut apart from each other, each with the parts cut
        // off it, level by level. One thread looks at the parts after all
        // outlines before them: the levels of all outlines are put in
        // that order.
        const int threads = GetRunThreads();
        std::vector<CDefectDepth> quick(static_cast<size_t>(threads));
        const size_t count = outer.size();
        std::vector<std::vector<std::vector<sRunOutline>>> levels(count);
        WorkerPool().ForEach(threads, count, [&](size_t i, int worker) {
            if (worker == 0 && m_pProgress != nullptr)
                m_pProgress->SetProgressPos(static_cast<int>(i * 100 / count));
            stopped += CutInLevels(*this, threshold, outer[i], levels[i], quick[static_cast<size_t>(worker)], nullptr);
        });
        for (size_t level = 0;; ++level) {
            bool more = false;
            for (std::vector<std::vector<sRunOutline>>& own : levels) {
                if (level >= own.size())
                    continue;
                more = true;
                std::move(own[level].begin(), own[level].end(), std::back_inserter(outer));
            }
            if (!more)
                break;
        }
    }
    NoteStoppedCuts(stopped);
}

void CBV::NoteStoppedCuts(int stopped)
{
    if (stopped > 0)
        m_RunDiagnostics.Note("Conglomerate cutting", "cutting stopped; some touching objects may be counted as one",
                              stopped);
}

void CBV::CutByWatershed(std::vector<sRunOutline>& outer, std::vector<sRunOutline>& holes, int holeFlag)
{
    std::vector<std::vector<sRunOutline>> made(outer.size());
    if (holeFlag == 1 && !holes.empty()) {
        // The hole list changes from one outline to the next.
        CCutScratch scratch;
        for (size_t i = 0; i < outer.size(); ++i) {
            std::vector<sRunOutline> own;
            SplitObjectsByAOI(*outer[i].polygon, holes, own);
            CutAtDams(outer[i], PolygonsOf(own), made[i], scratch, nullptr);
            std::move(own.begin(), own.end(), std::back_inserter(holes));
        }
    } else {
        const int threads = GetRunThreads();
        std::vector<CCutScratch> scratch(static_cast<size_t>(threads));
        WorkerPool().ForEach(threads, outer.size(), [&](size_t i, int worker) {
            if (worker == 0 && m_pProgress != nullptr)
                m_pProgress->SetProgressPos(static_cast<int>(i * 100 / outer.size()));
            CutAtDams(outer[i], {}, made[i], scratch[static_cast<size_t>(worker)], nullptr);
        });
    }
    // Each outline is followed by its parts.
    std::vector<sRunOutline> result;
    result.reserve(outer.size());
    for (size_t i = 0; i < outer.size(); ++i) {
        result.push_back(std::move(outer[i]));
        std::move(made[i].begin(), made[i].end(), std::back_inserter(result));
    }
    outer = std::move(result);
}

std::unique_ptr<sCutParts> CBV::CutAndBuild(CAOI& aoi, sRunOutline& outline, CCutScratch& scratch, bool finish,
                                            sRunRecord& own, CRPointArray* original)
{
    // The parts by pass: the watershed's follow their outline, the
    // defects' come level by level after all outlines.
    std::vector<std::vector<sRunOutline>> passes;
    int stopped = 0;
    if (m_Profiles.m_ObjectFilter.m_ConCutType == CObjectFilter::conCutConvexDefects) {
        passes.emplace_back();
        stopped = CutInLevels(*this, DefectCutThreshold(m_Profiles.m_ObjectFilter.m_ConCutThres), outline, passes,
                              scratch.m_Quick, original);
    } else {
        std::vector<sRunOutline> parts;
        CutAtDams(outline, {}, parts, scratch, original);
        if (!parts.empty())
            passes.push_back(std::move(parts));
    }
    // An outline not traced to its start is measured from its points,
    // which changes them.
    if (!outline.traced)
        KeepOriginal(*outline.polygon, original);
    own = BuildRecord(aoi, outline, scratch.m_Tracer, finish);
    if (!own.record)
        KeepOriginal(*outline.polygon, original);
    outline.polygon.reset();
    if (passes.size() <= 1 && (passes.empty() || passes[0].empty()) && stopped == 0)
        return nullptr;
    auto made = std::make_unique<sCutParts>();
    made->stopped = stopped;
    made->passes.resize(passes.size());
    for (size_t pass = 0; pass < passes.size(); ++pass) {
        made->passes[pass].reserve(passes[pass].size());
        for (sRunOutline& part : passes[pass]) {
            made->passes[pass].push_back(BuildRecord(aoi, part, scratch.m_Tracer, finish));
            part.polygon.reset();
        }
    }
    return made;
}

void CBV::AttachHoles(CObjData& record, const CAOI4& area)
{
    for (size_t i = 0; i < m_arrHoleChains.size(); ++i) {
        const CChain8& hole = m_arrHoleChains[i];
        if (area.Contains(hole.m_nStartX, hole.m_nStartY))
            record.AddChain(&hole, m_arrHoleAreas[static_cast<INT_PTR>(i)]);
    }
}

void CBV::SplitObjectsByWatershed(CDIB* image, CArray<POINT, POINT>& points)
{
    points.RemoveAll();
    CAOI* aoi = m_AOIDoc.GetActiveAOI(true);
    if (image == nullptr || aoi == nullptr || !image->IsValid())
        return;
    CSegThres& thresholds = m_Profiles.m_SegThres;
    if (m_Kontur.GetCapacity() < 15000)
        m_Kontur.Size(15000);
    const CTracerBinding binding(m_Kontur, image, aoi, &thresholds);
    const bool holesOn = m_Profiles.m_FormThres.TestFlagBit(featureHoleArea);
    m_arrHoleChains.clear();
    m_arrHoleAreas.RemoveAll();

    // Traced and marked in the engine's mask: the page stays as it is.
    std::vector<std::unique_ptr<CObjData>> records;
    {
        const kestrun::CMarkSession marks(m_SearchMarks, m_Kontur.m_pMarkMask, image->GetWidth(), image->GetHeight());
        CPoint position;
        aoi->GetFirstScanPoint(position);
        while (FindNextObject(position, aoi, &thresholds) == 1) {
            m_Kontur.CalcChainMeasures();
            if (!m_Kontur.IsClosed())
                continue;
            if (m_Kontur.m_nArea > 0) {
                auto record = std::make_unique<CObjData>();
                record->SetFromContour(m_Kontur);
                records.push_back(std::move(record));
            } else if (m_Kontur.m_nArea < 0 && holesOn) {
                m_arrHoleChains.push_back(m_Kontur.GetChain());
                m_arrHoleAreas.Add(std::abs(m_Kontur.m_nArea));
            }
        }
    }

    CContourDams shed;
    for (std::unique_ptr<CObjData>& record : records) {
        const CRPolygon contour(record->m_Chain);
        if (holesOn && record->GetArea() > 10.0) {
            CAOI4 area;
            if (area.SetPolygon(contour))
                AttachHoles(*record, area);
        }
        std::vector<std::unique_ptr<CRPolygon>> holePolygons;
        CArray<CRPolygon*, CRPolygon*> holeList;
        for (int h = 0; h < record->GetHoleCount(); ++h) {
            holePolygons.push_back(std::make_unique<CRPolygon>(record->GetHole(h)));
            holeList.Add(holePolygons.back().get());
        }
        CArray<POINT, POINT> found;
        if (shed.Collect(contour, holeList, found))
            points.Append(found);
        record.reset();
    }
    m_arrHoleChains.clear();
    m_arrHoleAreas.RemoveAll();
    m_Kontur.Reset(TRUE);
}
