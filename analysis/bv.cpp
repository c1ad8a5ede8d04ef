// The engine: profiles, the object search and the main run. The records
// and their measures are in bvrecords.cpp and bvcontourfeatures.cpp, the
// steps of later parts in bvstaged.cpp.

#include "analysis/bv.h"

#include "analysis/analysisprogress.h"
#include "analysis/cutscratch.h"
#include "analysis/objdata.h"
#include "analysis/objectpixelscan.h"
#include "analysis/pageareabackup.h"
#include "analysis/resultdocument.h"
#include "analysis/scopedvalue.h"
#include "analysis/stripesearch.h"
#include "objectmodel/toolfunctions.h"
#include "outside/pixmere/dib.h"
#include "platform/core/profile.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <utility>

IMPLEMENT_DYNCREATE(CBV, CObject)

namespace {

// The tracer's point store to start with; longer outlines grow it.
constexpr int kPointsSmallImage = 30000;
constexpr int kPointsLargeImage = 120000;
constexpr long long kLargeImagePixels = 3000000;

} // namespace

// What a run sets up and must take down whichever way it ends: the
// progress display, the tracer's binding and storage, the working lists.
class CBV::CRunScope
{
public:
    CRunScope(CBV& engine, IAnalysisProgress* progress) : m_engine(engine)
    {
        m_engine.m_pProgress = progress;
        if (progress)
            progress->BeginProgress(0, 100);
    }
    CRunScope(const CRunScope&) = delete;
    CRunScope& operator=(const CRunScope&) = delete;
    ~CRunScope()
    {
        if (IAnalysisProgress* progress = std::exchange(m_engine.m_pProgress, nullptr))
            progress->EndProgress();
        m_engine.m_arrObjects.clear();
        m_engine.m_arrPassed.clear();
        m_engine.m_LaterParts.clear();
        m_engine.m_nCutsStopped = 0;
        m_engine.m_arrHoleChains.clear();
        m_engine.m_Kontur.Reset(TRUE);
        m_engine.m_Kontur.SetImage(nullptr, nullptr, nullptr);
    }

private:
    CBV& m_engine;
};

CBV::CBV()
{
    InitProfileFile(GetDataRootPath());
}

CBV::~CBV() = default;

void CBV::InitProfileFile(const CString& directory)
{
    m_Profiles.InitProfileFile(directory);
}

int CBV::LoadSettingsProfiles()
{
    m_Profiles.LoadProfileFile();
    m_nFieldMode = static_cast<int>(GetProfileInt("Image", "FieldMode", m_nFieldMode));
    return m_nFieldMode;
}

void CBV::SaveSettingsProfiles()
{
    m_Profiles.SerializeFile(false);
    WriteProfileInt("Image", "FieldMode", m_nFieldMode);
}

bool CBV::SelectProfile(const CString& name)
{
    return m_Profiles.Select(name);
}

void CBV::StoreProfile(const CString& name)
{
    m_Profiles.Store(name);
}

int CBV::FindNextObject(CPoint& position, CAOI* aoi, CSegThres* thresholds)
{
    if (aoi == nullptr || thresholds == nullptr || m_Kontur.GetImage() == nullptr || m_Kontur.GetThreshold() == nullptr)
        AfxThrowInvalidArgException();
    const CDIB& image = *m_Kontur.GetImage();
    // The run's scan, when it reads this search's page, threshold and marks.
    kestrun::CObjectPixelScan* scan =
        m_pRunScan && m_pRunScan->Reads(image, *thresholds, m_Kontur.m_pMarkMask) ? m_pRunScan.get() : nullptr;
    for (;;) {
        const int found = scan ? aoi->ScanNextObjectPixel(*scan, position)
                               : aoi->FindNextObjectPixel(image, *thresholds, position, m_Kontur.m_pMarkMask);
        if (found == 1) {
            m_Kontur.Trace(position.x, position.y, TRUE, 0);
            if (m_Kontur.IsClosed())
                break;
        } else if (m_pProgress) {
            m_pProgress->SetProgressPos(aoi->m_nProgress / 10);
        }
        if (aoi->m_nProgress / 10 >= 100)
            return 0;
    }
    SmoothContour(m_Kontur);
    return 1;
}

void CBV::SmoothContour(CKontur8& tracer) const
{
    const CObjectFilter& filter = m_Profiles.m_ObjectFilter;
    if (filter.m_Smoothing != 0)
        for (int i = 0; i < CObjectFilter::smoothPasses; ++i)
            tracer.Smooth(std::max(filter.m_SmoothGrade[i], 1) - 1, filter.m_SmoothMaxTurns[i]);
}

int CBV::MovementState(const CKontur8& tracer) const
{
    if (m_arrPrevPositions.empty())
        return 0;
    const double limit = std::max(m_Profiles.m_FormThres.m_MovementDetection, 1);
    double nearest = std::numeric_limits<double>::infinity();
    for (const sObjectPosition& p : m_arrPrevPositions)
        nearest = std::min(nearest, std::hypot(static_cast<double>(tracer.m_nCenterX) - p.x,
                                               static_cast<double>(tracer.m_nCenterY) - p.y));
    return nearest >= limit ? 2 : 1;
}

sRunOutline CBV::TakeTracedOutline(CKontur8& tracer)
{
    sRunOutline outline;
    outline.polygon = std::make_unique<CRPolygon>();
    outline.polygon->m_bClosed = TRUE;
    const int last = tracer.GetLastIndex();
    const CRPolygon& points = tracer.GetPoints();
    // The chain and the measures of the trace are those the points give
    // when the walk ends on its start: the record keeps them.
    outline.traced = tracer.m_nStepWidth == 1 && points.GetSize() == last + 1 &&
                     tracer.GetChain().GetSize() == last && points[0].x == points[last].x &&
                     points[0].y == points[last].y;
    if (outline.traced) {
        tracer.TakeOutline(*outline.polygon, outline.chain);
        outline.measures = tracer;
    } else {
        outline.polygon->Copy(points);
    }
    return outline;
}

void CBV::TraceObjects(CAOI& aoi, std::vector<sRunOutline>& outer, std::vector<sRunOutline>& holes)
{
    const CFormThres& form = m_Profiles.m_FormThres;
    const bool keepHoles = form.TestFlagBit(featureHoleArea);
    // One row scan and one resolution of the colour tests for the run.
    const CDIB& image = *m_Kontur.GetImage();
    CSegThres& thresholds = m_Profiles.m_SegThres;
    const CSearchSetup setup(m_Kontur, m_pRunScan, image, thresholds);
    // Without cutting, each record is built (and when it needs nothing
    // else, measured) while its outline is fresh.
    const bool buildNow = BuildsWhileTracing();
    const bool finishNow = buildNow && FinishesAlone();
    const bool cutNow = CutsWhileTracing();
    if (cutNow && !m_pCutScratch)
        m_pCutScratch = std::make_unique<CCutScratch>();
    const CCalibration calibration = CBaseObj::SystemCalibration;
    if (finishNow)
        CBaseObj::SystemCalibration = m_Profiles.m_Calibration;
    CPoint position;
    aoi.GetFirstScanPoint(position);
    while (FindNextObject(position, &aoi, &thresholds) == 1) {
        m_Kontur.CalcChainMeasures();
        if (!m_Kontur.IsClosed())
            continue;
        if (m_Kontur.m_nArea >= 0) {
            // The polygon carries the movement state to its record.
            const int moving = MovementState(m_Kontur);
            sRunOutline outline = TakeTracedOutline(m_Kontur);
            outline.polygon->m_nSpare = moving;
            if (!buildNow) {
                outer.push_back(std::move(outline));
                continue;
            }
            if (cutNow) {
                sRunRecord own;
                std::unique_ptr<sCutParts> parts = CutAndBuild(aoi, outline, *m_pCutScratch, finishNow, own, nullptr);
                AcceptRecord(std::move(own));
                if (parts)
                    AcceptParts(*parts);
                continue;
            }
            std::unique_ptr<CObjData> record = MakeRecord(aoi, outline);
            if (!record)
                continue;
            if (finishNow) {
                MeasurePlainObject(*m_Kontur.GetImage(), aoi, *record);
                m_arrPassed.push_back(PassesFormThresholds(*record, false) ? 1 : 0);
            }
            m_arrObjects.push_back(std::move(record));
        } else if (keepHoles && form.CheckValue(std::abs(m_Kontur.m_nArea), featureHoleArea)) {
            const int x = m_Kontur.m_nCenterX;
            const int y = m_Kontur.m_nCenterY;
            holes.push_back(TakeTracedOutline(m_Kontur));
            holes.back().polygon->m_nCenterX = x;
            holes.back().polygon->m_nCenterY = y;
        }
    }
    TakeLaterParts();
    if (buildNow)
        CBaseObj::SystemCalibration = m_arrObjects.empty() ? calibration : m_Profiles.m_Calibration;
}

int CBV::Analyse(CDIB* image, CAOI* aoi, IResultDocument* document, int progress)
{
    if (image == nullptr || aoi == nullptr || !image->IsValid() ||
        (image->GetBitCount() != 8 && image->GetBitCount() != 24))
        AfxThrowInvalidArgException();
    m_RunDiagnostics.RemoveAll();
    const CRunScope scope(*this, progress == 1 ? m_pProgressDisplay : nullptr);
    const CFormThres& form = m_Profiles.m_FormThres;

    const long long pixels = static_cast<long long>(image->GetWidth()) * image->GetHeight();
    const int capacity = pixels > kLargeImagePixels ? kPointsLargeImage : kPointsSmallImage;
    if (m_Kontur.GetCapacity() < capacity)
        m_Kontur.Size(capacity);
    m_Kontur.SetImage(image, aoi, &m_Profiles.m_SegThres);
    m_arrHoleChains.clear();
    m_arrHoleAreas.RemoveAll();

    // Tracing marks every object in the run's mask; the page stays as it is.
    const int threads = CanSearchInStripes(*aoi) ? GetRunThreads() : 1;
    std::vector<sRunOutline> outer;
    std::vector<sRunOutline> holes;
    {
        const kestrun::CMarkSession marks(m_SearchMarks, m_Kontur.m_pMarkMask, image->GetWidth(), image->GetHeight());
        CPoint first;
        if (threads <= 1) {
            TraceObjects(*aoi, outer, holes);
        } else if (aoi->GetFirstScanPoint(first)) {
            TraceInStripes(*aoi, first, threads, outer, holes);
        }
        m_arrPrevPositions.clear();
    }

    // Records are built as the outlines are traced unless the run's holes
    // may be joined into the outlines cut.
    if (!BuildsWhileTracing())
        CutConglomerates(outer, holes, form.TestFlagBit(featureHoleArea) ? 1 : 0);
    NoteStoppedCuts(std::exchange(m_nCutsStopped, 0));
    BuildRecords(*aoi, outer, holes);

    // The segment steps of "Model" 2 draw into the page.
    std::optional<kestrun::CPageAreaBackup> backup;
    if (form.m_Model == CFormThres::modelEllipse)
        backup.emplace(*image, aoi->GetRect());
    // Clusters are made of this run's records before the document sees
    // them.
    const bool cluster = document != nullptr && (form.m_Parameter & 0x20) != 0 &&
                         (form.m_Model == CFormThres::modelContour || form.m_Model == CFormThres::modelSkeleton);
    CResultObjectList runRecords;
    IResultDocument* target = cluster ? &runRecords : document;
    int passed = 0;
    for (size_t i = 0; i < m_arrObjects.size(); ++i) {
        if (i < m_arrPassed.size())
            passed += KeepOrDrop(std::move(m_arrObjects[i]), m_arrPassed[i] != 0, target);
        else
            passed += FinishRecord(*image, *aoi, std::move(m_arrObjects[i]), target);
    }
    m_arrObjects.clear();
    m_arrPassed.clear();

    if (cluster) {
        ClusterObjects(runRecords, form.m_MaxDistance);
        for (std::unique_ptr<CBaseObj>& record : runRecords.TakeAll())
            document->AddObject(std::move(record));
    }
    if (backup)
        backup->Restore();
    return passed;
}
