// The document's measures along scan rays: the thin part of the central
// object ("Search Edge").

#include "imaging/dibdocex.h"

#include "analysis/objectshape.h"
#include "analysis/aoi.h"
#include "analysis/aoidoc.h"
#include "analysis/bv.h"
#include "analysis/scanrayresult.h"
#include "objectmodel/rpolygon.h"
#include "platform/ui/cmdtarget.h"

CObject* CDIBDocEx::SearchThinPart()
{
    CBV* engine = GetEngine();
    CDIB* page = GetActiveDIB();
    if (engine == nullptr || page == nullptr)
        return nullptr;
    CWaitCursor wait;
    PrepareAreas();
    CAOI2 area(GetDataDoc()->GetImageAOI());
    CRPolygon polygon;
    POINT centre{0, 0};
    engine->FindCentralObject(centre, page, &area, polygon);
    auto result = std::make_unique<CScanRayResult2>();
    CScanRayResult2* added = result.get();
    m_arrResults.push_back(std::move(result));
    // The result is kept also without an object: the view shows that the
    // search ran and found nothing to draw.
    if (polygon.GetSize() > 0 && CalcObjectShapeFeatures(page, &area, polygon, nullptr, added, 1) == 1)
        engine->MeasureThinPartLength(page, &area, &polygon, added);
    UpdateAllViews(nullptr);
    return added;
}
