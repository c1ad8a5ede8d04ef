#pragma once
// The object search of a run split into horizontal stripes, one thread
// each. A stripe scans its rows with marks of its own and traces what it
// finds across the stripe borders; the page is only read. The stripes are
// then merged in order: where marks of objects from the stripes above
// reach into a stripe, its rows are scanned again with the marks of the
// objects kept so far until both searches agree, so the records come out
// as a single-threaded search gives them, in its order.

#include "analysis/cutscratch.h"
#include "analysis/kontur8.h"
#include "analysis/markmask.h"
#include "analysis/objdata.h"
#include "analysis/objectpixelscan.h"

#include <atomic>
#include <condition_variable>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

struct sCutParts;
struct sRunOutline;

// One trace of a search as a stripe keeps it until the merge.
struct sTraceEntry
{
    enum Kind : signed char
    {
        ignored, // not closed, no area, or a hole the run does not keep
        outer,
        hole,
    };

    CPoint start;
    int bottom = 0; // the lowest row it marked
    Kind kind = ignored;
    // The record passed the form thresholds (1) or not (0), when the
    // stripe measured it; -1: measured after the merge.
    signed char passed = -1;
    // An outer contour's record, or the outline of a hole or of an outer
    // contour without a record.
    std::unique_ptr<CObjData> record;
    std::unique_ptr<sRunOutline> outline;
    // The marked points: the trace before smoothing, or those of an
    // ignored trace. Null: the points of the record or outline. Apart, so
    // that the many entries of a stripe stay small.
    std::unique_ptr<CRPointArray> marks;
    // The parts cut off the outline in a run that cuts as it traces.
    std::unique_ptr<sCutParts> parts;

    const CRPointArray& GetMarkedPoints() const;
};

// The row scan and the resolved colour tests of one search, taken down
// however the search ends.
class CSearchSetup
{
public:
    CSearchSetup(CKontur8& tracer, std::unique_ptr<kestrun::CObjectPixelScan>& scan, const CDIB& image,
                 const CSegThres& thresholds)
        : m_tracer(tracer), m_scan(scan)
    {
        if (kestrun::CObjectPixelScan::CanScan(image))
            m_scan = std::make_unique<kestrun::CObjectPixelScan>(image, thresholds, tracer.m_pMarkMask);
        m_tracer.BeginRun();
    }
    CSearchSetup(const CSearchSetup&) = delete;
    CSearchSetup& operator=(const CSearchSetup&) = delete;
    ~CSearchSetup()
    {
        m_tracer.EndRun();
        m_scan.reset();
    }

private:
    CKontur8& m_tracer;
    std::unique_ptr<kestrun::CObjectPixelScan>& m_scan;
};

// What one thread of a search works with: its tracer, its marks and its
// row scan, cleared for every stripe it takes, and what its cutting keeps.
class CStripeWorker
{
public:
    CKontur8 m_Tracer;
    kestrun::CMarkMask m_Marks;
    std::unique_ptr<kestrun::CObjectPixelScan> m_pScan;
    CCutScratch m_Cut;
};

// A stripe: rows top to end (excluded) and the traces found in them; done
// turns 1 when a worker has searched it.
class CStripeSearch
{
public:
    int m_nTop = 0;
    int m_nEnd = 0;
    std::vector<sTraceEntry> m_Entries;
    std::exception_ptr m_Error;
    std::atomic<int> m_nDone{0};
};

// Threads kept for the searches of the engine's runs: started once, they
// wait between runs instead of being made for each one.
class CWorkerPool
{
public:
    CWorkerPool() = default;
    CWorkerPool(const CWorkerPool&) = delete;
    CWorkerPool& operator=(const CWorkerPool&) = delete;
    ~CWorkerPool();

    // Runs job (i) for i = 1 .. count - 1 on pool threads, starting more
    // threads when needed; returns at once. job must not throw.
    void Start(int count, std::function<void(int)> job);
    // Waits until every job of the last Start has returned.
    void Wait();
    // Runs work(item, worker) for every item below count on up to threads
    // threads, the calling one as worker 0, and returns when all are done.
    // Items are independent; the first exception stops the rest and is
    // thrown here.
    void ForEach(int threads, size_t count, const std::function<void(size_t, int)>& work);

private:
    void Loop(int index);

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_done;
    std::vector<std::thread> m_threads;
    std::function<void(int)> m_job;
    unsigned m_generation = 0;
    int m_count = 0;
    int m_running = 0;
    bool m_bStop = false;
};
