// The image-filter chain's perspective step: the active page straightened
// by the engine's perspective transform into the second page.

#include "imaging/dibdocex.h"

#include "analysis/bv.h"
#include "analysis/objectfilter.h"
#include "analysis/perspectivetransform.h"
#include "outside/pixmere/dib.h"
#include "platform/core/messagebox.h"

#include <algorithm>
#include <memory>

bool CDIBDocEx::FilterPerspective()
{
    CBV* engine = GetEngine();
    CDIB* page = GetActiveDIB();
    if (engine == nullptr || page == nullptr)
        return false;
    // Told once per run: the chain goes on without the step.
    const auto tell = [this](const char* text) {
        if (std::find(m_reportedSteps.begin(), m_reportedSteps.end(), filterPerspective) != m_reportedSteps.end())
            return;
        m_reportedSteps.push_back(filterPerspective);
        AfxMessageBox(text, MB_ICONINFORMATION);
    };
    CPerspectiveTransform& transform = engine->GetSettings().m_Perspective;
    if (!transform.HasMatrix() && !transform.Calculate()) {
        tell("Not calibrated for Perspective filter!");
        return false;
    }
    if (double(page->GetWidth()) * transform.OutputHeight(page->GetHeight()) > CPerspectiveTransform::kMaxOutputPixels) {
        tell("Perspective filter: the straightened image would be too large!");
        return false;
    }
    if (GetPageCount() < 2)
        AddPage(std::make_unique<CDIB>(*page));
    CDIB* target = GetPage(1);
    if (!transform.Apply(*page, *target))
        return false;
    const CSize before = GetLastImageSize();
    SetActiveIndex(1);
    const CSize size(target->GetWidth(), target->GetHeight());
    if (size != before) {
        PropagateImageSize(size);
        SetLastImageSize(size);
    }
    return true;
}
