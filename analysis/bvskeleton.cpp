// The skeleton of a thread-like object ("Model" 3): the object is thinned,
// the walk around its skeleton becomes the record's chain, its ends and
// branch points the tips and nodes, and with more than two ends the
// lengths come from the skeleton's distance graph, short end branches left
// out.

#include "analysis/bv.h"

#include "analysis/skeldata.h"
#include "analysis/skeletongraph.h"
#include "analysis/skeletonnew.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The shortest end branch kept, in pixels. The limit is given in the
// calibration's unit; a limit or factor that is not a positive number
// keeps every branch.
double MinEndBranchPixels(double limit, double factor)
{
    if (!std::isfinite(limit) || !std::isfinite(factor) || limit <= 0.0 || factor <= 0.0)
        return 0.0;
    const double pixels = limit / factor;
    return std::isfinite(pixels) ? pixels : std::numeric_limits<double>::max();
}

// The walk passes every part of the skeleton twice: half its length, the
// walk measured piece by piece between the nodes, where it turns.
double SkeletonLength(const CSkeletonNew& skeleton)
{
    std::vector<int> cuts{0};
    for (const TipNode& node : skeleton.GetTips())
        cuts.insert(cuts.end(), node.m_arrIndices.begin(), node.m_arrIndices.end());
    cuts.push_back(skeleton.GetLastIndex());
    std::sort(cuts.begin(), cuts.end());
    double length = 0.0;
    for (size_t i = 1; i < cuts.size(); ++i)
        length += CSkeletonGraphBuilder::WalkLength(skeleton.GetSkeleton(), cuts[i - 1], cuts[i]);
    return length / 2.0;
}

// The mean width of the thread: its pixels over its length, the length
// taken as the skeleton's plus half a width at every end. Without a
// length (a point), one pixel on each side for every peeling cycle.
double ThreadWidth(int pixels, double skeletonLength, int tips, int cycles)
{
    if (skeletonLength <= 0.0 && tips == 0)
        return 2.0 * cycles + 1.0;
    if (tips == 0)
        return pixels / skeletonLength;
    // width * (length + tips * width / 2) = pixels
    const double a = tips / 2.0;
    return (std::sqrt(skeletonLength * skeletonLength + 4.0 * a * pixels) - skeletonLength) / (2.0 * a);
}

void FillTipsAndNodes(const std::vector<TipNode>& nodes, CSkelData& record, bool withNodes)
{
    record.m_arrTips.RemoveAll();
    if (withNodes)
        record.m_arrNodes.RemoveAll();
    for (const TipNode& node : nodes) {
        const POINT position{node.x, node.y};
        if (node.m_arrIndices.size() == 1)
            record.m_arrTips.Add(position);
        else if (withNodes)
            record.m_arrNodes.Add(position);
    }
}

} // namespace

bool CBV::MeasureSkeleton(CSkelData& record, const CRPolygon& contour)
{
    CSkeletonNew skeleton;
    if (skeleton.Thin(contour) == 0) {
        // The run deletes the record: the table says why it is missing.
        m_RunDiagnostics.Note("Skeleton thinning", "objects that could not be thinned are not in the table", 1);
        return false;
    }
    skeleton.FindTips();
    const CPoint origin = skeleton.GetOrigin();
    std::vector<TipNode>& nodes = skeleton.GetTips();
    for (TipNode& node : nodes) {
        node.x += origin.x;
        node.y += origin.y;
    }
    FillTipsAndNodes(nodes, record, true);

    double longest = SkeletonLength(skeleton);
    double total = longest;
    if (record.m_arrTips.GetSize() > 2) {
        CRPolygon polygon(skeleton.GetSkeleton());
        for (POINT& point : polygon) {
            point.x += origin.x;
            point.y += origin.y;
        }
        const CObjectFilter& filter = m_Profiles.m_ObjectFilter;
        CDistanceGraph graph;
        CSkeletonGraphBuilder builder(
            polygon, graph, nodes,
            MinEndBranchPixels(filter.m_SkeletonSegmentMinLength, m_Profiles.m_Calibration.m_dFactor));
        builder.Build();
        int a = 0;
        int b = 0;
        const double path = graph.LongestShortestPath(a, b);
        if (path >= 0.0)
            longest = path;
        total = graph.TotalEdgeLength();
        FillTipsAndNodes(nodes, record, false);
    }

    // Thinning stops about half a width short of every end.
    const int tips = static_cast<int>(record.m_arrTips.GetSize());
    const double width = ThreadWidth(skeleton.GetObjectPixels(), total, tips, skeleton.GetCycles());
    const double endShare = width / 2.0;
    CChain8 chain(skeleton.GetChain());
    chain.SetStartPoint(chain.m_nStartX + origin.x, chain.m_nStartY + origin.y);
    record.SetSkeleton(chain, static_cast<int>(longest + std::min(tips, 2) * endShare),
                       static_cast<int>(std::lround(width)));
    // Pixels, as the column shows it.
    record.m_nTotLength = static_cast<int>(total + tips * endShare);
    record.m_Type |= CObjData::colTotLength;
    return true;
}
