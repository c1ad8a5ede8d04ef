// The background check before a count: the active area's stored pattern is
// looked for around the area, coarse to fine, and a poor match is put to
// the operator.
#include "database/ui/bvformview.h"

#include "analysis/aoi.h"
#include "analysis/aoidoc.h"
#include "imaging/dibdocex.h"
#include "platform/core/messagebox.h"
#include "platform/ui/cmdtarget.h"

namespace {

struct CSearchStep
{
    int range;
    int step;
};
constexpr CSearchStep kSearchSteps[] = {{400, 20}, {200, 10}, {20, 2}};

} // namespace

int CBVFormView::CheckBackground()
{
    CWaitCursor wait;
    CDIBDocEx* doc = m_pImageDoc;
    if (doc == nullptr || doc->m_nCheckBackground != 1)
        return 1;
    CAOIDoc* areas = doc->GetDataDoc();
    if (areas == nullptr || areas->GetAOICount() == 0)
        return 1;
    CAOI* area = areas->GetActiveAOI(true);
    if (area == nullptr)
        return 1;
    const int left = area->GetLeft();
    const int top = area->GetTop();
    double difference = -1.0;
    for (const CSearchStep& search : kSearchSteps)
        difference = doc->FindBestPosition(area, search.range, search.step);
    const double similarity = 1.0 - difference / 255.0;
    // A NaN threshold compares false: no question.
    if (!(similarity < doc->m_dAOIMatchThreshold))
        return 1;
    const CRect image = areas->GetImageRect();
    area->SetPosition(left, top, area->GetWidth(), area->GetHeight(), image.left, image.top, image.right,
                      image.bottom, CAOI::setPosition | CAOI::keepInImage);
    MessageBeep(MB_ICONASTERISK);
    const int answer = AfxMessageBox("Background mismatch - do you really like to carry out this measurement?",
                                     MB_YESNO | MB_ICONQUESTION);
    return answer == IDYES ? 1 : 0;
}
