#include "database/ui/formcount.h"

#include "analysis/bv.h"
#include "database/dbfields.h"
#include "imaging/dibdocex.h"
#include "platform/ui/appservices.h"
#include "series/datadoc.h"

namespace kestrun::dbui {

bool CountModelFits()
{
    CAppServices* services = kestrun::AppServices();
    CBV* engine = services ? services->GetEngine() : nullptr;
    const UINT model = engine ? engine->GetSettings().m_FormThres.m_Model : UINT(CFormThres::modelContour);
    return model == CFormThres::modelContour || model == CFormThres::modelEllipse ||
           model == CFormThres::modelSkeleton;
}

CDataDoc* OwnResultDocument(const CDIBDocEx* imageDoc, LPARAM lParam)
{
    if (imageDoc == nullptr || lParam == 0)
        return nullptr;
    CDocument* own = imageDoc->GetResultDoc();
    if (own == nullptr || reinterpret_cast<LPARAM>(own) != lParam)
        return nullptr;
    return dynamic_cast<CDataDoc*>(own);
}

int StoreNewRecord(const _RecordsetPtr& rs)
{
    rs->UpdateBatch();
    const int id = GetFieldInt(rs, "ID");
    rs->PutCollect("Bildname", COleVariant(FormatString("%d.jpg", id)));
    rs->Update();
    return id;
}

} // namespace kestrun::dbui
