// The light object search of the engine: positions and areas of the
// objects of an area, without records. The automatic threshold search
// measures its trials with it; the main run detects movement against it.

#include "analysis/bv.h"

#include "analysis/stripesearch.h"
#include "outside/pixmere/dib.h"
#include "platform/core/exceptions.h"

#include <optional>

namespace {

constexpr int kPointsSmallImage = 30000;
constexpr int kPointsLargeImage = 120000;
constexpr long long kLargeImagePixels = 3000000;

// The tracer's binding for one search, released however it ends. The
// point store stays for the next trial of a threshold search.
class CPositionSearchScope
{
public:
    CPositionSearchScope(CKontur8& tracer, CDIB* image, CAOI* aoi, CSegThres* thresholds) : m_tracer(tracer)
    {
        m_tracer.SetImage(image, aoi, thresholds);
    }
    CPositionSearchScope(const CPositionSearchScope&) = delete;
    CPositionSearchScope& operator=(const CPositionSearchScope&) = delete;
    ~CPositionSearchScope()
    {
        m_tracer.Reset();
        m_tracer.SetImage(nullptr, nullptr, nullptr);
    }

private:
    CKontur8& m_tracer;
};

} // namespace

void CBV::CollectObjectPositions(CDIB* image, CAOI* aoi)
{
    m_arrPrevPositions.clear();
    if (image == nullptr || !image->IsValid() || (image->GetBitCount() != 8 && image->GetBitCount() != 24))
        AfxThrowInvalidArgException();
    const long long pixels = static_cast<long long>(image->GetWidth()) * image->GetHeight();
    const int capacity = pixels > kLargeImagePixels ? kPointsLargeImage : kPointsSmallImage;
    if (m_Kontur.GetCapacity() < capacity)
        m_Kontur.Size(capacity);
    // Every call: the profile may have changed since the last one.
    CBaseObj::SystemCalibration = m_Profiles.m_Calibration;

    std::optional<CAOI2> whole;
    if (aoi == nullptr)
        aoi = m_AOIDoc.GetActiveAOI(false);
    if (aoi == nullptr)
        aoi = &whole.emplace(CRect(0, 0, image->GetWidth(), image->GetHeight()));

    CSegThres& thresholds = m_Profiles.m_SegThres;
    const CPositionSearchScope scope(m_Kontur, image, aoi, &thresholds);
    // Traces are marked in the search's mask: the page stays as it is.
    const kestrun::CMarkSession marks(m_SearchMarks, m_Kontur.m_pMarkMask, image->GetWidth(), image->GetHeight());
    const CSearchSetup setup(m_Kontur, m_pRunScan, *image, thresholds);
    CPoint position;
    aoi->GetFirstScanPoint(position);
    while (FindNextObject(position, aoi, &thresholds) == 1) {
        m_Kontur.CalcChainMeasures();
        if (!m_Kontur.IsClosed() || m_Kontur.m_nArea <= 0)
            continue;
        m_arrPrevPositions.push_back(sObjectPosition{m_Kontur.m_nCenterX, m_Kontur.m_nCenterY, m_Kontur.m_nArea,
                                                     m_Kontur.m_nPerimeter, m_Kontur.GetArea(),
                                                     m_Kontur.TouchesBorder(*aoi) == 1 ? 1 : 0});
    }
}
