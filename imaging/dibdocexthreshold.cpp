// The automatic threshold search of the image document: the engine's
// colour threshold is loosened step by step, the objects of each step
// collected as positions (no records), and the step whose objects come
// nearest to the learned object size is kept.

#include "imaging/dibdocex.h"

#include "imaging/framebufferlock.h"
#include "analysis/bv.h"
#include "objectmodel/normstat.h"
#include "platform/core/messagebox.h"

#include <cfloat>
#include <cmath>
#include <optional>
#include <utility>

namespace {

// Feature code of the object area in the classes.
constexpr int kAreaFeature = 1;
// Pages larger than this are searched in a middle window of its size
// when no area of interest is active.
constexpr int kWindowWidth = 800;
constexpr int kWindowHeight = 600;
constexpr int kStep = 5;
constexpr int kMaxMisses = 3;
// The search aims at objects a little smaller than the learned mean: the
// threshold's edge pixels belong to them too.
constexpr double kAreaShare = 0.7;

// Mean, lower and upper limit of the area learned by the chosen class, or
// else by the first class that learned areas.
bool FindLearnedArea(const CClasses& classes, double& mean, double& lower, double& upper)
{
    std::optional<int> chosen;
    if (classes.m_nSelected >= 0 && classes.m_nSelected < classes.GetCount() &&
        classes[classes.m_nSelected].FindFeature(kAreaFeature) >= 0)
        chosen = classes.m_nSelected;
    for (int i = 0; !chosen && i < classes.GetCount(); ++i)
        if (classes[i].FindFeature(kAreaFeature) >= 0)
            chosen = i;
    if (!chosen)
        return false;
    const CVectorNormal& vector = classes[*chosen];
    const int feature = vector.FindFeature(kAreaFeature);
    mean = vector.GetFeatureStat(feature, CVectorNormal::statMean);
    lower = vector.GetFeatureStat(feature, CVectorNormal::statMin);
    upper = vector.GetFeatureStat(feature, CVectorNormal::statMax);
    return true;
}

// The limit shifts that loosen the threshold by one step in its mode.
std::pair<int, int> LooseningStep(WORD mode)
{
    switch (mode) {
    case CSegThres::modeDark:
        return {kStep, 0};
    case CSegThres::modeBright:
        return {0, -kStep};
    case CSegThres::modeBand:
        return {-kStep, kStep};
    default:
        return {kStep, -kStep};
    }
}

} // namespace

BOOL CDIBDocEx::SearchAutoThreshold()
{
    const CFrameBufferLock hold(VideoBoard(), GetActiveDIB());
    CBV* engine = GetEngine();
    CDIB* page = GetActiveDIB();
    if (engine == nullptr || page == nullptr)
        return FALSE;
    double expected = 0.0;
    double lower = 0.0;
    double upper = 0.0;
    if (!FindLearnedArea(engine->m_Classes, expected, lower, upper)) {
        AfxMessageBox("No class has learned the object area: there is nothing to search the threshold for.",
                      MB_ICONINFORMATION);
        return FALSE;
    }
    PrepareAreas();
    if (engine->IsFieldImage()) {
        PushUndo(TRUE);
        engine->DoubleEvenRows(page);
    }
    CAOI* aoi = GetDataDoc()->GetActiveAOI(false);
    std::optional<CAOI2> window;
    if (aoi == nullptr) {
        if (static_cast<long long>(page->GetWidth()) * page->GetHeight() > kWindowWidth * kWindowHeight) {
            const int left = (page->GetWidth() - kWindowWidth) / 2;
            const int top = (page->GetHeight() - kWindowHeight) / 2;
            window.emplace(CRect(left, top, left + kWindowWidth, top + kWindowHeight));
            aoi = &*window;
        } else {
            aoi = GetDataDoc()->GetActiveAOI(true);
        }
    }

    CSegThres& threshold = engine->GetSettings().m_SegThres;
    const CSegThres original(threshold);
    CSegThres best(threshold);
    // The page goes back to this before every trial.
    CDIB kept;
    CopyPage(kept, *page);
    double bestDistance = DBL_MAX;
    int misses = 0;
    try {
        for (int run = 0; misses < kMaxMisses; ++run) {
            const auto [lowerShift, upperShift] = LooseningStep(threshold.m_Mode);
            if (!threshold.ShiftLimits(lowerShift, upperShift))
                break;
            engine->CollectObjectPositions(page, aoi);
            CNormStat areas;
            areas.Reset();
            for (const sObjectPosition& object : engine->m_arrPrevPositions)
                if (object.calibratedArea > lower && object.calibratedArea <= upper)
                    areas.AddValue(object.calibratedArea, 1);
            areas.Finish();
            const double distance = std::fabs(areas.GetMean() - kAreaShare * expected);
            if (distance < bestDistance) {
                bestDistance = distance;
                best = threshold;
            } else if (distance > 2.0 * bestDistance) {
                ++misses;
            }
            const COLORREF lo = threshold.GetLower();
            const COLORREF up = threshold.GetUpper();
            CString status;
            status.Format("Run:%d RGB:%d %d %d - RGB: %d %d %d - Area (Avg) %.2lf", run, GetRValue(lo), GetGValue(lo),
                          GetBValue(lo), GetRValue(up), GetGValue(up), GetBValue(up), areas.GetMean());
            SetStatusText(status);
            CopyPage(*page, kept);
        }
    } catch (...) {
        CopyPage(*page, kept);
        threshold = original;
        engine->m_arrPrevPositions.clear();
        throw;
    }
    CopyPage(*page, kept);
    threshold = best;
    // The main run would take the trials' objects for the previous image.
    engine->m_arrPrevPositions.clear();
    return TRUE;
}
