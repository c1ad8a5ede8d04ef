// The object search of the main run on all cores: horizontal stripes
// searched in parallel, merged in the order of the single-threaded search
// (stripesearch.h).

#include "analysis/bv.h"

#include "analysis/analysisprogress.h"
#include "analysis/scopedvalue.h"
#include "analysis/stripesearch.h"
#include "outside/pixmere/dib.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <thread>

namespace {

// Limits the cores a run takes (a whole number of at least 1).
constexpr const char* kThreadsVariable = "KESTRUN_ANALYSIS_THREADS";

// Whether the start a comes before (x, y) in the order of the search.
bool Before(CPoint a, int x, int y)
{
    return a.y < y || (a.y == y && a.x < x);
}

// Stripes per thread: more stripes than threads even out the work of
// threads that start late or share their core.
constexpr int kStripesPerThread = 4;
// The point store a stripe's tracer starts with.
constexpr int kStripeTracerPoints = 4096;

// Binds the workers of a run and takes them down however it ends; their
// storage stays for the next run. Waits for the pool first, so that no
// worker still uses what the run owns.
class CWorkerBinding
{
public:
    CWorkerBinding(std::vector<std::unique_ptr<CStripeWorker>>& workers, int count, CWorkerPool& pool)
        : m_workers(workers), m_pool(pool), m_count(count)
    {
        while (static_cast<int>(m_workers.size()) < count)
            m_workers.push_back(std::make_unique<CStripeWorker>());
    }
    CWorkerBinding(const CWorkerBinding&) = delete;
    CWorkerBinding& operator=(const CWorkerBinding&) = delete;
    ~CWorkerBinding()
    {
        m_pool.Wait();
        for (int k = 0; k < m_count; ++k) {
            CStripeWorker& worker = *m_workers[static_cast<size_t>(k)];
            worker.m_Tracer.EndRun();
            worker.m_Tracer.SetImage(nullptr, nullptr, nullptr);
            worker.m_Tracer.m_pMarkMask = nullptr;
            worker.m_pScan.reset();
            worker.m_Marks.Clear();
        }
    }

private:
    std::vector<std::unique_ptr<CStripeWorker>>& m_workers;
    CWorkerPool& m_pool;
    int m_count = 0;
};

} // namespace

const CRPointArray& sTraceEntry::GetMarkedPoints() const
{
    static const CRPointArray none;
    if (marks && !marks->IsEmpty())
        return *marks;
    if (record)
        return record->m_Polygon;
    if (outline && outline->polygon)
        return *outline->polygon;
    return none;
}

CWorkerPool::~CWorkerPool()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_bStop = true;
    }
    m_wake.notify_all();
    for (std::thread& thread : m_threads)
        thread.join();
}

void CWorkerPool::Start(int count, std::function<void(int)> job)
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        while (static_cast<int>(m_threads.size()) < count - 1)
            m_threads.emplace_back(&CWorkerPool::Loop, this, static_cast<int>(m_threads.size()) + 1);
        m_job = std::move(job);
        m_count = count;
        m_running = std::max(count - 1, 0);
        ++m_generation;
    }
    m_wake.notify_all();
}

void CWorkerPool::Wait()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_done.wait(lock, [this] { return m_running == 0; });
}

void CWorkerPool::ForEach(int threads, size_t count, const std::function<void(size_t, int)>& work)
{
    if (count == 0)
        return;
    const int workers = static_cast<int>(std::min<size_t>(count, static_cast<size_t>(std::max(threads, 1))));
    // Items are small (one outline): taken a few at a time, so that the
    // counter is not the work.
    const size_t chunk = std::clamp<size_t>(count / (static_cast<size_t>(workers) * 16), 1, 32);
    std::atomic<size_t> next{0};
    std::mutex errorMutex;
    std::exception_ptr error;
    const auto run = [&](int worker) {
        try {
            for (;;) {
                const size_t begin = next.fetch_add(chunk);
                if (begin >= count)
                    return;
                const size_t end = std::min(begin + chunk, count);
                for (size_t item = begin; item < end; ++item)
                    work(item, worker);
            }
        } catch (...) {
            next = count;
            const std::lock_guard<std::mutex> lock(errorMutex);
            if (!error)
                error = std::current_exception();
        }
    };
    if (workers > 1)
        Start(workers, run);
    run(0);
    if (workers > 1)
        Wait();
    if (error)
        std::rethrow_exception(error);
}

void CWorkerPool::Loop(int index)
{
    unsigned seen = 0;
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [&] { return m_bStop || m_generation != seen; });
        if (m_bStop)
            return;
        seen = m_generation;
        if (index >= m_count)
            continue;
        const std::function<void(int)> job = m_job;
        lock.unlock();
        job(index);
        lock.lock();
        if (--m_running == 0)
            m_done.notify_all();
    }
}

int CBV::GetRunThreads() const
{
    if (m_nThreadCount > 0)
        return m_nThreadCount;
    int threads = std::max(static_cast<int>(std::thread::hardware_concurrency()), 1);
    if (const char* limit = std::getenv(kThreadsVariable)) {
        char* end = nullptr;
        const long value = std::strtol(limit, &end, 10);
        if (end != limit && *end == '\0' && value >= 1)
            threads = static_cast<int>(std::min<long>(threads, value));
    }
    return threads;
}

bool CBV::BuildsWhileTracing() const
{
    // Cutting that joins the run's holes into outlines works on the
    // outlines of the whole run.
    const int cut = m_Profiles.m_ObjectFilter.m_ConCutType;
    return (cut != CObjectFilter::conCutConvexDefects && cut != CObjectFilter::conCutWatershed) || CutsWhileTracing();
}

bool CBV::CutsWhileTracing() const
{
    const int cut = m_Profiles.m_ObjectFilter.m_ConCutType;
    return (cut == CObjectFilter::conCutConvexDefects || cut == CObjectFilter::conCutWatershed) &&
           !m_Profiles.m_FormThres.TestFlagBit(featureHoleArea);
}

bool CBV::CanSearchInStripes(const CAOI& aoi) const
{
    // Marks that stop a trace make traces depend on the order of the
    // search; a step skips start pixels. Those runs stay on one thread.
    return aoi.m_nStep <= 1 && m_Kontur.GetImage() != nullptr &&
           kestrun::CObjectPixelScan::CanScan(*m_Kontur.GetImage()) &&
           m_Kontur.m_nTestSelector != CKontur::testThresholdOnly;
}

bool CBV::FinishesAlone() const
{
    // The contour features of the run's holes, of curvature, defects and
    // segments, the scan rays and the tail search need more than the
    // record, or tell the run's notes.
    const CFormThres& form = m_Profiles.m_FormThres;
    const UINT type = form.m_Type;
    return form.m_Model == CFormThres::modelContour && !TakesRunHoles() &&
           (form.m_Parameter & (0x2 | CFormThres::parameterConvex | CFormThres::parameterSplit)) == 0 &&
           !((type & featureLength) != 0 && (type & featureWidth) == 0) && (type & featureTailOrMovement) == 0;
}

sTraceEntry CBV::TraceEntry(CKontur8& tracer, CCutScratch& cut, int cutFrom, CAOI& aoi, int x, int y)
{
    const CFormThres& form = m_Profiles.m_FormThres;
    sTraceEntry entry;
    entry.start = CPoint(x, y);
    tracer.Trace(x, y, TRUE, 0);
    entry.bottom = tracer.GetBoundingRect().bottom;
    const int top = tracer.GetBoundingRect().top;
    if (tracer.IsClosed()) {
        // Smoothing moves the points away from the marked ones.
        if (m_Profiles.m_ObjectFilter.m_Smoothing != 0) {
            entry.marks = std::make_unique<CRPointArray>(tracer.GetPoints());
            SmoothContour(tracer);
        }
        tracer.CalcChainMeasures();
    }
    if (tracer.IsClosed() && tracer.m_nArea >= 0) {
        entry.kind = sTraceEntry::outer;
        const int moving = MovementState(tracer);
        sRunOutline outline = TakeTracedOutline(tracer);
        outline.polygon->m_nSpare = moving;
        if (CutsWhileTracing()) {
            // An outline reaching above the stripe is mostly one the merge
            // drops, as it was found from above: cut only when it is kept.
            if (top < cutFrom) {
                entry.outline = std::make_unique<sRunOutline>(std::move(outline));
                return entry;
            }
            // The marks are those of the trace, not of the cut parts.
            CRPointArray original;
            sRunRecord own;
            entry.parts = CutAndBuild(aoi, outline, cut, m_bFinishInStripes, own, entry.marks ? nullptr : &original);
            entry.record = std::move(own.record);
            entry.passed = own.passed;
            if (!original.IsEmpty()) {
                entry.marks = std::make_unique<CRPointArray>();
                entry.marks->Swap(original);
            }
            return entry;
        }
        // A run that cuts the whole run's outlines builds its records from
        // the cut ones.
        if (BuildsWhileTracing())
            entry.record = MakeRecord(aoi, outline);
        // Without a record the outline keeps the marked points.
        if (!entry.record) {
            entry.outline = std::make_unique<sRunOutline>(std::move(outline));
        } else if (m_bFinishInStripes) {
            MeasurePlainObject(*tracer.GetImage(), aoi, *entry.record);
            entry.passed = PassesFormThresholds(*entry.record, false) ? 1 : 0;
        }
    } else if (tracer.IsClosed() && form.TestFlagBit(featureHoleArea) &&
               form.CheckValue(std::abs(tracer.m_nArea), featureHoleArea)) {
        entry.kind = sTraceEntry::hole;
        const int cx = tracer.m_nCenterX;
        const int cy = tracer.m_nCenterY;
        entry.outline = std::make_unique<sRunOutline>(TakeTracedOutline(tracer));
        entry.outline->polygon->m_nCenterX = cx;
        entry.outline->polygon->m_nCenterY = cy;
    } else if (!entry.marks || entry.marks->IsEmpty()) {
        CChain8 chain;
        if (!entry.marks)
            entry.marks = std::make_unique<CRPointArray>();
        tracer.TakeOutline(*entry.marks, chain);
    }
    return entry;
}

void CBV::AcceptEntry(sTraceEntry& entry, CAOI& aoi, bool mark, int& lowestMark, std::vector<sRunOutline>& outer,
                      std::vector<sRunOutline>& holes)
{
    if (mark)
        m_Kontur.m_pMarkMask->Mark(entry.GetMarkedPoints());
    lowestMark = std::max(lowestMark, entry.bottom);
    if (entry.kind == sTraceEntry::outer && entry.outline && CutsWhileTracing()) {
        // Left uncut by its stripe.
        sRunRecord own;
        entry.parts = CutAndBuild(aoi, *entry.outline, m_StripeWorkers[0]->m_Cut, m_bFinishInStripes, own, nullptr);
        entry.record = std::move(own.record);
        entry.passed = own.passed;
    }
    if (entry.parts || entry.record) {
        AcceptRecord(sRunRecord{std::move(entry.record), entry.passed});
        if (entry.parts)
            AcceptParts(*entry.parts);
    } else if (entry.kind == sTraceEntry::hole) {
        holes.push_back(std::move(*entry.outline));
    } else if (entry.kind == sTraceEntry::outer && !BuildsWhileTracing()) {
        outer.push_back(std::move(*entry.outline));
    }
    entry.outline.reset();
    entry.marks.reset();
    entry.parts.reset();
}

void CBV::MergeStripe(CStripeSearch& stripe, CAOI& aoi, CPoint first, int& lowestMark,
                      std::vector<sRunOutline>& outer, std::vector<sRunOutline>& holes)
{
    std::vector<sTraceEntry>& entries = stripe.m_Entries;
    size_t j = 0;
    // Marks of the objects kept so far reach into the stripe: its rows are
    // searched again with them, reusing the stripe's traces from the same
    // start pixels, until no row below differs: the lowest row marked by
    // a trace only one of the two searches made.
    if (lowestMark >= stripe.m_nTop) {
        int differ = lowestMark;
        for (int y = stripe.m_nTop; y < stripe.m_nEnd && y <= differ; ++y) {
            int x = y == first.y ? first.x : aoi.GetRowLeft(y);
            const int right = aoi.GetRowRight(y);
            while (x < right && m_pRunScan->ScanRow(x, y, right, 1) == 1) {
                for (; j < entries.size() && Before(entries[j].start, x, y); ++j)
                    differ = std::max(differ, entries[j].bottom);
                if (j < entries.size() && entries[j].start == CPoint(x, y)) {
                    AcceptEntry(entries[j++], aoi, true, lowestMark, outer, holes);
                } else {
                    // Traced with the run's marks, which it marks itself.
                    sTraceEntry entry = TraceEntry(m_Kontur, m_StripeWorkers[0]->m_Cut, INT_MIN, aoi, x, y);
                    differ = std::max(differ, entry.bottom);
                    AcceptEntry(entry, aoi, false, lowestMark, outer, holes);
                }
            }
            for (; j < entries.size() && entries[j].start.y == y; ++j)
                differ = std::max(differ, entries[j].bottom);
        }
    }
    // From here on the stripe searched as the single thread would; only
    // marks that reach the stripes below are needed.
    for (; j < entries.size(); ++j)
        AcceptEntry(entries[j], aoi, entries[j].bottom >= stripe.m_nEnd, lowestMark, outer, holes);
    // The stripes below may still be searched: their entries need the room.
    std::vector<sTraceEntry>().swap(entries);
}

void CBV::ReportRows(int top, int end, int firstRow, const CAOI& aoi)
{
    if (!m_pProgress)
        return;
    // What the single-threaded search shows at the end of each row.
    const long long lastRow = static_cast<long long>(aoi.GetTop()) + aoi.GetHeight() - 1;
    for (int y = top; y < end; ++y) {
        const long long perMille = y == firstRow || lastRow <= 0 ? 0 : std::clamp(y * 1000LL / lastRow, 0LL, 999LL);
        m_pProgress->SetProgressPos(static_cast<int>(perMille / 10));
    }
}

void CBV::TraceInStripes(CAOI& aoi, CPoint first, int threads, std::vector<sRunOutline>& outer,
                         std::vector<sRunOutline>& holes)
{
    const CDIB& image = *m_Kontur.GetImage();
    CSegThres& thresholds = m_Profiles.m_SegThres;
    const CSearchSetup setup(m_Kontur, m_pRunScan, image, thresholds);
    // The rows of the search: the first scan point's row to the last but one.
    const int rows = aoi.GetTop() + aoi.GetHeight() - 1 - first.y;
    if (rows <= 0 || !m_pRunScan)
        return;
    const int workers = std::clamp(threads, 1, rows);
    // Records measured in the stripes are measured in the profile's
    // calibration, which a run without records leaves as it was.
    const kestrun::CScopedValue<bool> finish(m_bFinishInStripes, FinishesAlone());
    const CCalibration calibration = CBaseObj::SystemCalibration;
    if (m_bFinishInStripes)
        CBaseObj::SystemCalibration = m_Profiles.m_Calibration;
    const int count = std::clamp(workers * kStripesPerThread, 1, rows);
    std::vector<std::unique_ptr<CStripeSearch>> stripes;
    stripes.reserve(static_cast<size_t>(count));
    for (int k = 0; k < count; ++k) {
        auto stripe = std::make_unique<CStripeSearch>();
        stripe->m_nTop = first.y + static_cast<int>(static_cast<long long>(rows) * k / count);
        stripe->m_nEnd = first.y + static_cast<int>(static_cast<long long>(rows) * (k + 1) / count);
        stripes.push_back(std::move(stripe));
    }
    const CWorkerBinding binding(m_StripeWorkers, workers, WorkerPool());
    for (int k = 0; k < workers; ++k) {
        CStripeWorker& worker = *m_StripeWorkers[static_cast<size_t>(k)];
        CKontur8& tracer = worker.m_Tracer;
        // The store doubles for a longer outline; a small one per thread
        // keeps a run's memory low.
        if (tracer.GetCapacity() < kStripeTracerPoints)
            tracer.Size(kStripeTracerPoints);
        tracer.SetImage(m_Kontur.GetImage(), &aoi, &thresholds);
        tracer.m_nTestSelector = m_Kontur.m_nTestSelector;
        tracer.m_nStepWidth = m_Kontur.m_nStepWidth;
        worker.m_Marks.Cover(image.GetWidth(), image.GetHeight());
        tracer.m_pMarkMask = &worker.m_Marks;
        tracer.BeginRun();
        worker.m_pScan = std::make_unique<kestrun::CObjectPixelScan>(image, thresholds, &worker.m_Marks);
    }

    // Each worker takes the next stripe until none is left; its marks
    // start empty for every stripe.
    std::atomic<int> next{0};
    std::atomic<bool> stop{false};
    const auto searchOne = [&](CStripeWorker& worker) {
        const int k = next.fetch_add(1);
        if (k >= count)
            return false;
        CStripeSearch& stripe = *stripes[static_cast<size_t>(k)];
        try {
            worker.m_Marks.Clear();
            for (int y = stripe.m_nTop; y < stripe.m_nEnd && !stop.load(std::memory_order_relaxed); ++y) {
                int x = y == first.y ? first.x : aoi.GetRowLeft(y);
                const int right = aoi.GetRowRight(y);
                while (x < right && worker.m_pScan->ScanRow(x, y, right, 1) == 1)
                    stripe.m_Entries.push_back(TraceEntry(worker.m_Tracer, worker.m_Cut, stripe.m_nTop, aoi, x, y));
            }
        } catch (...) {
            stripe.m_Error = std::current_exception();
        }
        stripe.m_nDone.store(1, std::memory_order_release);
        stripe.m_nDone.notify_all();
        return true;
    };
    m_pWorkerPool->Start(workers, [&](int index) {
        CStripeWorker& worker = *m_StripeWorkers[static_cast<size_t>(index)];
        while (searchOne(worker)) {
        }
    });

    // This thread searches stripes too, and merges each in order as soon
    // as it is searched.
    try {
        CStripeWorker& own = *m_StripeWorkers[0];
        int lowestMark = INT_MIN;
        for (int k = 0; k < count; ++k) {
            CStripeSearch& stripe = *stripes[static_cast<size_t>(k)];
            while (stripe.m_nDone.load(std::memory_order_acquire) == 0) {
                if (!searchOne(own))
                    stripe.m_nDone.wait(0, std::memory_order_acquire);
            }
            if (stripe.m_Error)
                std::rethrow_exception(stripe.m_Error);
            MergeStripe(stripe, aoi, first, lowestMark, outer, holes);
            ReportRows(stripe.m_nTop, stripe.m_nEnd, first.y, aoi);
        }
    } catch (...) {
        // The workers stop before what they use goes.
        stop = true;
        next = count;
        m_pWorkerPool->Wait();
        throw;
    }
    m_pWorkerPool->Wait();
    TakeLaterParts();
    aoi.m_nProgress = 1000;
    if (m_pProgress)
        m_pProgress->SetProgressPos(100);
    CBaseObj::SystemCalibration = m_arrObjects.empty() ? calibration : m_Profiles.m_Calibration;
}
