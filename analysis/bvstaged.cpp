// Steps of the main run whose parts of the engine are not in this build.
// Each notes in the run's diagnostics how many objects went without it and
// what the table shows instead, and leaves its inputs as they are, so the
// run goes on without it; none pretends to a result.

#include "analysis/bv.h"

#include "analysis/resultdocument.h"
#include "analysis/skeldata.h"

void CBV::ReportUnavailable(const char* step, int objects, const char* effect)
{
    m_RunDiagnostics.Note(step, effect, objects);
}

int CBV::MeasureShapeByScanRays(CDIB* /*image*/, CAOI* /*aoi*/, CObjData& /*record*/)
{
    ReportUnavailable("Length along scan rays", 1, "the length is that of the smallest enclosing rectangle");
    return 0;
}

bool CBV::MeasureSkeleton(CSkelData& /*record*/, const CRPolygon& /*contour*/)
{
    ReportUnavailable("Skeletons", 1, "the objects are not measured and not in the table");
    return false;
}

void CBV::ClusterObjects(IResultDocument* document, int /*maxDistance*/)
{
    ReportUnavailable("Clustering", document ? document->GetObjectCount() : 0, "the objects are not grouped");
}
