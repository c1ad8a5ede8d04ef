// Steps of the main run whose parts of the engine are not in this build.
// Each notes in the run's diagnostics how many objects went without it and
// what the table shows instead, and leaves its inputs as they are, so the
// run goes on without it; none pretends to a result.

#include "analysis/bv.h"

#include "analysis/objdata.h"
#include "analysis/resultdocument.h"

void CBV::ReportUnavailable(const char* step, int objects, const char* effect)
{
    m_RunDiagnostics.Note(step, effect, objects);
}

std::optional<POINT> CBV::FindTail(const CRPolygon& /*contour*/, CDIB* /*image*/, CAOI* /*aoi*/)
{
    ReportUnavailable("Tail search", 1, "no tail is shown and the tail filter is not applied");
    return std::nullopt;
}

void CBV::FindContourCurvaturePeaks(CObjData& /*record*/, const CRPolygon& /*contour*/)
{
    ReportUnavailable("Curvature peaks of contours and holes", 1, "no peaks are marked");
}

void CBV::FindDeepestConvexityDefect(CObjData& /*record*/, const CRPolygon& /*contour*/)
{
    ReportUnavailable("Deepest convexity defect", 1, "no defect points are marked");
}

void CBV::SegmentContour(CObjData& /*record*/, const CRPolygon& /*contour*/, CAOI* /*aoi*/)
{
    ReportUnavailable("Contour segments", 1, "the contours are not segmented");
}

void CBV::MeasureSegmentRegions(CDIB* /*image*/, CAOI* /*aoi*/,
                                std::vector<std::unique_ptr<CObjDataBase>>& /*segments*/,
                                IResultDocument* /*document*/)
{
    ReportUnavailable("Ellipse objects from contour segments", 1, "the objects are not in the table");
}
