// Steps of the main run whose parts of the engine are not in this build.
// Each says so once per run in the run's diagnostics and leaves its inputs
// as they are, so the run goes on without it; none pretends to a result.

#include "analysis/bv.h"

#include "analysis/objdata.h"
#include "analysis/objectfilter.h"
#include "analysis/skeldata.h"

void CBV::CutConglomerates(std::vector<std::unique_ptr<CRPolygon>>& /*outer*/,
                           std::vector<std::unique_ptr<CRPolygon>>& /*holes*/, int /*holeFlag*/)
{
    const int type = m_Profiles.m_ObjectFilter.m_ConCutType;
    if (type == CObjectFilter::conCutConvexDefects || type == CObjectFilter::conCutWatershed)
        ReportUnavailable("Conglomerate cutting");
}

int CBV::MeasureShapeByScanRays(CDIB* /*image*/, CAOI* /*aoi*/, CObjData& /*record*/)
{
    ReportUnavailable("Length along scan rays");
    return 0;
}

POINT CBV::FindTail(const CRPolygon& /*contour*/, CDIB* /*image*/, CAOI* /*aoi*/)
{
    ReportUnavailable("Tail search");
    return POINT{0, 0};
}

bool CBV::MeasureSkeleton(CSkelData& /*record*/, const CRPolygon& /*contour*/)
{
    ReportUnavailable("Skeletons");
    return true;
}

void CBV::FindContourCurvaturePeaks(CObjData& /*record*/, const CRPolygon& /*contour*/)
{
    ReportUnavailable("Curvature peaks of contours and holes");
}

void CBV::FindDeepestConvexityDefect(CObjData& /*record*/, const CRPolygon& /*contour*/)
{
    ReportUnavailable("Deepest convexity defect");
}

void CBV::SegmentContour(CObjData& /*record*/, const CRPolygon& /*contour*/, CAOI* /*aoi*/)
{
    ReportUnavailable("Contour segments");
}

void CBV::MeasureSegmentRegions(CDIB* /*image*/, CAOI* /*aoi*/,
                                std::vector<std::unique_ptr<CObjDataBase>>& /*segments*/,
                                IResultDocument* /*document*/)
{
    ReportUnavailable("Ellipse objects from contour segments");
}

void CBV::ClusterObjects(IResultDocument* /*document*/, int /*maxDistance*/)
{
    ReportUnavailable("Clustering");
}
