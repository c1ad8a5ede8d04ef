// The image document's commands that edit the analysis profile in the
// engine's dialogs: the filter steps, the contour smoothing and the page
// filters' settings.

#include "imaging/dibdocex.h"

#include "analysis/bv.h"
#include "analysis/filterparams.h"
#include "analysis/ui/filtersettingsdlg.h"

void CDIBDocEx::OnSelection()
{
    if (CBV* engine = GetEngine())
        engine->GetSettings().m_ObjectFilter.EditFilters();
}

void CDIBDocEx::OnSmoothContour()
{
    if (CBV* engine = GetEngine())
        engine->GetSettings().m_ObjectFilter.EditSmoothing();
}

void CDIBDocEx::OnFilterSettings()
{
    CFilterSettingsDlg::Edit(sFilterParams);
}
