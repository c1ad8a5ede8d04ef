// Counting and measuring objects on a page: the engine's main run against
// the plain OpenCV way to the same numbers (threshold, outer contours,
// moments per contour) on the same pixels, OpenCV on one core.
//
// Pages (argument "page"), 24 bits, objects of one colour on a
// contrasting background, every channel of every pixel with uniform noise
// of up to +-6, one rectangle area over the whole page, a band threshold
// that takes exactly the objects, the profile's default feature bits:
//   0 "ellipses": 4096 x 4096, 10,000 separated filled ellipses (half axes
//     4 to 12 pixels, random angles) on a 40-pixel grid;
//   1 "small":    1024 x 1024, 10,000 ellipses of half axes 2 to 3 on a
//     10-pixel grid;
//   2 "dense":    4096 x 4096, 50,000 ellipses of half axes 2 to 5 on a
//     16 x 20-pixel grid.
// The main run takes one thread or all cores (argument "threads", 0: the
// machine's cores, as a run takes them by default).
//
// Both contenders run in two memory settings (argument "reuse"): 0, every
// large buffer comes from fresh pages of the system (the allocator maps
// blocks from 128 KiB on and gives them back on free), so each call pays
// the page faults of its page-sized buffers; 1, the allocator keeps what
// was freed and the reference keeps its mask and contour lists, so both
// measure their algorithms only. Which of the two a machine's default
// allocator resembles depends on its history: both ratios are printed for
// the ellipse page.
//
// The hole-area page: rings (outer radius 6, hole radius 2) on an
// 18-pixel grid of the same page size, 12,500 or 50,000 of them, counted
// with and without the hole-area feature; the time per ring shows that
// assigning the holes to their objects stays linear in the objects.
//
// Prints the times, objects per second, the ratios against their
// targets, the speed-up on all cores, the peak memory one main run needs
// beyond the page, and that of loading the ellipse page from a PNG file.

#include "analysis/aoi.h"
#include "analysis/bv.h"
#include "analysis/objdata.h"
#include "analysis/objdataii.h"
#include "analysis/resultdocument.h"
#include "outside/pixmere/dib.h"

#include <benchmark/benchmark.h>
#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <cstdio>
#include <string>
#include <fstream>
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <sys/wait.h>
#include <unistd.h>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kSize = 4096;
constexpr int kNoise = 6;
constexpr uint64_t kSeed = 20240611;
const cv::Scalar kObjectBGR(200, 60, 40);
const cv::Scalar kBackgroundBGR(60, 170, 210);

// A grid of jittered ellipses; the cells, jitter and half axes leave a gap
// of at least 2 pixels between neighbours.
struct sPageKind
{
    const char* name;
    int size;
    int columns;
    int rows;
    int cellX;
    int cellY;
    int margin;
    int jitter;
    int minAxis;
    int maxAxis;
};

constexpr sPageKind kPages[] = {
    {"ellipses", kSize, 100, 100, 40, 40, 48, 6, 4, 12},
    {"small", 1024, 100, 100, 10, 10, 7, 1, 2, 3},
    {"dense", kSize, 250, 200, 16, 20, 48, 1, 2, 5},
};
constexpr int kPageCount = 3;

struct sScene
{
    CDIB page;
    int objects = 0;
    cv::Scalar lower; // BGR
    cv::Scalar upper;
};

sScene MakeScene(const sPageKind& kind)
{
    sScene scene;
    scene.page.InitDIB(kind.size, kind.size, 24);
    cv::Mat pixels = scene.page.GetMat();
    pixels.setTo(kBackgroundBGR);
    cv::RNG rng(kSeed);
    for (int row = 0; row < kind.rows; ++row) {
        for (int column = 0; column < kind.columns; ++column) {
            const cv::Point centre(kind.margin + column * kind.cellX + rng.uniform(-kind.jitter, kind.jitter + 1),
                                   kind.margin + row * kind.cellY + rng.uniform(-kind.jitter, kind.jitter + 1));
            const cv::Size axes(rng.uniform(kind.minAxis, kind.maxAxis + 1), rng.uniform(kind.minAxis, kind.maxAxis + 1));
            cv::ellipse(pixels, centre, axes, rng.uniform(0.0, 180.0), 0.0, 360.0, kObjectBGR, cv::FILLED, cv::LINE_8);
        }
    }
    scene.objects = kind.columns * kind.rows;
    cv::Mat noise(pixels.size(), CV_16SC3);
    rng.fill(noise, cv::RNG::UNIFORM, cv::Scalar::all(-kNoise), cv::Scalar::all(kNoise + 1));
    cv::Mat noisy;
    pixels.convertTo(noisy, CV_16SC3);
    noisy += noise;
    noisy.convertTo(pixels, CV_8UC3); // saturating; no channel comes near 0 or 255
    scene.lower = kObjectBGR - cv::Scalar::all(kNoise);
    scene.upper = kObjectBGR + cv::Scalar::all(kNoise);
    return scene;
}

sScene& Scene(int page = 0)
{
    static std::map<int, sScene> scenes;
    auto found = scenes.find(page);
    if (found == scenes.end())
        found = scenes.emplace(page, MakeScene(kPages[page])).first;
    return found->second;
}

// 0: large buffers from fresh pages on every call; 1: freed memory is
// kept and handed out again. Process-wide: every benchmark sets its own.
void SetMemoryReuse(bool reuse)
{
#if defined(__GLIBC__)
    if (reuse) {
        mallopt(M_MMAP_MAX, 0);
        mallopt(M_TRIM_THRESHOLD, 1 << 30);
    } else {
        mallopt(M_MMAP_MAX, 65536);
        mallopt(M_MMAP_THRESHOLD, 128 * 1024);
        mallopt(M_TRIM_THRESHOLD, 128 * 1024);
        malloc_trim(0);
    }
#else
    (void)reuse;
#endif
}

// ---- the hole-area page

constexpr int kRingCell = 18;
constexpr int kRingColumns = (kSize - 2 * kRingCell) / kRingCell + 1;
constexpr int kRingRadius = 6;
constexpr int kHoleRadius = 2;

// Rings in row order on the 18-pixel grid, the first `count` cells.
CDIB MakeRingPage(int count)
{
    CDIB page;
    page.InitDIB(kSize, kSize, 24);
    cv::Mat pixels = page.GetMat();
    pixels.setTo(kBackgroundBGR);
    for (int i = 0; i < count; ++i) {
        const cv::Point centre(kRingCell + (i % kRingColumns) * kRingCell, kRingCell + (i / kRingColumns) * kRingCell);
        cv::circle(pixels, centre, kRingRadius, kObjectBGR, cv::FILLED, cv::LINE_8);
        cv::circle(pixels, centre, kHoleRadius, kBackgroundBGR, cv::FILLED, cv::LINE_8);
    }
    return page;
}

CDIB& RingPage(int count)
{
    static std::map<int, CDIB> pages;
    auto found = pages.find(count);
    if (found == pages.end())
        found = pages.emplace(count, MakeRingPage(count)).first;
    return found->second;
}

COLORREF ToColorRef(const cv::Scalar& bgr)
{
    return RGB(static_cast<int>(bgr[2]), static_cast<int>(bgr[1]), static_cast<int>(bgr[0]));
}

// threads 0: the machine's cores.
void SetUpEngine(CBV& engine, int threads = 0)
{
    engine.GetSettings().m_SegThres =
        CSegThres(ToColorRef(Scene().lower), ToColorRef(Scene().upper), CSegThres::modeBand);
    engine.SetThreadCount(threads);
}

int CountMeasure(CBV& engine, CResultObjectList& results, int page = 0)
{
    sScene& scene = Scene(page);
    CAOI2 aoi(CRect(0, 0, scene.page.GetWidth(), scene.page.GetHeight()));
    return engine.Analyse(&scene.page, &aoi, &results, 0);
}

// The reference's working storage; kept across calls when memory is reused.
struct sReferenceBuffers
{
    cv::Mat mask;
    std::vector<std::vector<cv::Point>> contours;
};

int OpenCVReference(const cv::Mat& pixels, sReferenceBuffers& buffers, double& areaSum)
{
    // Every page has the same colours.
    cv::inRange(pixels, Scene().lower, Scene().upper, buffers.mask);
    cv::findContours(buffers.mask, buffers.contours, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_NONE);
    areaSum = 0.0;
    for (const std::vector<cv::Point>& contour : buffers.contours)
        areaSum += cv::moments(contour).m00;
    return static_cast<int>(buffers.contours.size());
}

// The objects found and per second; a wrong count spoils the run.
void ReportCount(benchmark::State& state, int count, int expected, const char* wrongCount)
{
    if (count != expected)
        state.SkipWithError(wrongCount);
    state.counters["objects"] = count;
    state.counters["objects_per_second"] =
        benchmark::Counter(static_cast<double>(count), benchmark::Counter::kIsIterationInvariantRate);
}

// Arguments: page, reuse, threads (0: all cores).
void BM_CountMeasure(benchmark::State& state)
{
    const int page = static_cast<int>(state.range(0));
    SetMemoryReuse(state.range(1) != 0);
    CBV engine;
    SetUpEngine(engine, static_cast<int>(state.range(2)));
    CResultObjectList results;
    int count = 0;
    // With reuse the allocator holds a run's memory before timing starts.
    if (state.range(1) != 0) {
        CountMeasure(engine, results, page);
        results.RemoveAll();
    }
    for (auto _ : state) {
        state.PauseTiming();
        results.RemoveAll();
        state.ResumeTiming();
        count = CountMeasure(engine, results, page);
    }
    ReportCount(state, count, Scene(page).objects, "the main run did not count every ellipse");
    state.counters["threads"] = engine.GetRunThreads();
}
BENCHMARK(BM_CountMeasure)
    ->ArgNames({"page", "reuse", "threads"})
    ->Args({0, 0, 1})
    ->Args({0, 1, 1})
    ->Args({0, 1, 0})
    ->Args({1, 1, 1})
    ->Args({1, 1, 0})
    ->Args({2, 1, 1})
    ->Args({2, 1, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Arguments: page, reuse.
void BM_OpenCVReference(benchmark::State& state)
{
    const int page = static_cast<int>(state.range(0));
    const bool reuse = state.range(1) != 0;
    SetMemoryReuse(reuse);
    const cv::Mat pixels = Scene(page).page.GetMat();
    int count = 0;
    double areaSum = 0.0;
    sReferenceBuffers kept;
    if (reuse)
        OpenCVReference(pixels, kept, areaSum);
    for (auto _ : state) {
        sReferenceBuffers fresh;
        count = OpenCVReference(pixels, reuse ? kept : fresh, areaSum);
        benchmark::DoNotOptimize(areaSum);
    }
    ReportCount(state, count, Scene(page).objects, "the reference did not find every ellipse");
}
BENCHMARK(BM_OpenCVReference)
    ->ArgNames({"page", "reuse"})
    ->Args({0, 0})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Args({2, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Arguments: rings, hole-area feature (0/1). Memory is reused, and held
// by one run before timing starts.
void BM_HoleAreaPage(benchmark::State& state)
{
    SetMemoryReuse(true);
    const int rings = static_cast<int>(state.range(0));
    CDIB& page = RingPage(rings);
    CBV engine;
    SetUpEngine(engine, 1);
    if (state.range(1) != 0)
        engine.GetSettings().m_FormThres.m_Type |= featureHoleArea;
    CResultObjectList results;
    CAOI2 aoi(CRect(0, 0, kSize, kSize));
    engine.Analyse(&page, &aoi, &results, 0);
    int count = 0;
    for (auto _ : state) {
        state.PauseTiming();
        results.RemoveAll();
        state.ResumeTiming();
        count = engine.Analyse(&page, &aoi, &results, 0);
    }
    if (count != rings)
        state.SkipWithError("the main run did not count every ring");
    // Every ring exactly one hole.
    for (int i = 0; state.range(1) != 0 && i < results.GetObjectCount(); ++i) {
        const auto* record = dynamic_cast<const CObjData*>(results.GetObjectAt(i));
        if (record == nullptr || record->GetHoleCount() != 1) {
            state.SkipWithError("a ring did not get exactly one hole");
            break;
        }
    }
    state.counters["objects"] = count;
}
BENCHMARK(BM_HoleAreaPage)
    ->ArgNames({"rings", "holes"})
    ->Args({12500, 0})
    ->Args({12500, 1})
    ->Args({50000, 0})
    ->Args({50000, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Keeps the console report and remembers the time of each benchmark: the
// mean of the repetitions when there are several.
class CRatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred)
                continue;
            if (run.run_type == Run::RT_Iteration || run.aggregate_name == "mean")
                m_times[run.run_name.function_name + "/" + run.run_name.args] = run.GetAdjustedRealTime();
        }
    }

    void PrintRatios() const
    {
        const auto main = [this](int page, int reuse, int threads) {
            return Time("BM_CountMeasure/page:" + std::to_string(page) + "/reuse:" + std::to_string(reuse) +
                        "/threads:" + std::to_string(threads));
        };
        const auto reference = [this](int page, int reuse) {
            return Time("BM_OpenCVReference/page:" + std::to_string(page) + "/reuse:" + std::to_string(reuse));
        };
        if (main(0, 0, 1) > 0.0 && reference(0, 0) > 0.0)
            std::printf("ratio main run (one thread) / reference, ellipses, fresh pages per call: %.2f\n",
                        main(0, 0, 1) / reference(0, 0));
        const double targets[kPageCount] = {1.0, 1.5, 1.5};
        for (int page = 0; page < kPageCount; ++page) {
            if (main(page, 1, 1) > 0.0 && reference(page, 1) > 0.0)
                std::printf("ratio main run (one thread) / reference, %s, memory reused: %.2f (target: at most %.1f)\n",
                            kPages[page].name, main(page, 1, 1) / reference(page, 1), targets[page]);
        }
        CBV engine;
        for (int page = 0; page < kPageCount; ++page) {
            if (main(page, 1, 1) > 0.0 && main(page, 1, 0) > 0.0)
                std::printf("all cores, %s: %d threads, %.2f times as fast as one thread%s; ratio to the reference %.2f\n",
                            kPages[page].name, engine.GetRunThreads(), main(page, 1, 1) / main(page, 1, 0),
                            page == 0 ? " (target: at least 3 on 8 cores)" : "",
                            reference(page, 1) > 0.0 ? main(page, 1, 0) / reference(page, 1) : 0.0);
        }
        for (const int threads : {1, 0}) {
            const auto touching = [this, threads](int cut) {
                return Time("BM_TouchingPage/cut:" + std::to_string(cut) + "/threads:" + std::to_string(threads));
            };
            for (const int cut : {1, 2})
                if (touching(0) > 0.0 && touching(cut) > 0.0)
                    std::printf("touching page, %s: ConCutType %d / plain count %.2f (target: at most 2.0)\n",
                                threads == 1 ? "one thread" : "all cores", cut, touching(cut) / touching(0));
        }
        double perRing[2] = {0.0, 0.0};
        int i = 0;
        for (const int rings : {12500, 50000}) {
            const std::string name = "BM_HoleAreaPage/rings:" + std::to_string(rings);
            const double with = Time(name + "/holes:1");
            const double without = Time(name + "/holes:0");
            if (with > 0.0 && without > 0.0)
                std::printf("hole-area page, %d rings: %.2f us per ring with the hole feature, %.2f without; "
                            "ratio %.2f\n",
                            rings, with * 1e3 / rings, without * 1e3 / rings, with / without);
            perRing[i++] = with / rings;
        }
        if (perRing[0] > 0.0 && perRing[1] > 0.0)
            std::printf("hole-area page, time per ring at 50,000 / at 12,500 rings: %.2f (linear: about 1)\n",
                        perRing[1] / perRing[0]);
    }

private:
    double Time(const std::string& name) const
    {
        const auto found = m_times.find(name);
        return found == m_times.end() ? 0.0 : found->second;
    }

    std::map<std::string, double> m_times;
};

// A /proc/self/status field in kB; -1 when it cannot be read.
long StatusKB(const std::string& field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field + ":", 0) == 0)
            return std::stol(line.substr(field.size() + 1));
    return -1;
}

// Resets the peak resident memory (Linux) and answers what the process
// holds now, in kB; -1 when it cannot be read.
long ResetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
    return StatusKB("VmRSS");
}

// Runs measure in a child process when it can: each measurement starts
// from the memory the scenes left, not from what an earlier run freed and
// the allocator kept (which a later run would reuse without new pages).
template <class Measure>
void InChildProcess(Measure measure)
{
    std::fflush(stdout);
    const pid_t child = fork();
    if (child == 0) {
        measure();
        std::fflush(stdout);
        _exit(0);
    }
    if (child < 0 || waitpid(child, nullptr, 0) != child)
        measure();
}

// The peak resident memory of one main run beyond what the process held
// before it, in page sizes. The program's code that the run reads in from
// its files for the first time is resident too, but it is not memory the
// run needs: it is left out (it only grows during a run).
void PrintPeakMemory(int page, int threads)
{
    SetMemoryReuse(false);
    CBV engine;
    SetUpEngine(engine, threads);
    CResultObjectList results;
    Scene(page);
    const long before = ResetPeak();
    const long codeBefore = StatusKB("RssFile");
    CountMeasure(engine, results, page);
    const long peak = StatusKB("VmHWM");
    const long code = StatusKB("RssFile") - codeBefore;
    if (before < 0 || peak < 0 || codeBefore < 0)
        return;
    const CDIB& pixels = Scene(page).page;
    const double pageKB = pixels.GetWidth() * static_cast<double>(pixels.GetHeight()) * 3.0 / 1024.0;
    const double extraKB = static_cast<double>(peak - before - code);
    // The records the run hands over are part of it.
    const double recordsKB = static_cast<double>(results.GetObjectCount()) * sizeof(CObjDataII) / 1024.0;
    std::printf("peak extra memory of one main run, %s, %d threads: %.1f MB = %.2f page sizes (target: below 3); "
                "the record objects alone: %.2f page sizes; program code read in: %.1f MB\n",
                kPages[page].name, engine.GetRunThreads(), extraKB / 1024.0, extraKB / pageKB, recordsKB / pageKB,
                code / 1024.0);
}

// The peak memory of loading the ellipse page from a PNG file, against
// OpenCV's own reading of the file.
void PrintLoadMemory()
{
    SetMemoryReuse(false);
    const std::string path = "/tmp/kestrun_bench_page.png";
    if (!cv::imwrite(path, Scene().page.GetMat()))
        return;
    const double pageMB = kSize * static_cast<double>(kSize) * 3.0 / (1024.0 * 1024.0);
    long before = ResetPeak();
    {
        const cv::Mat read = cv::imread(path, cv::IMREAD_UNCHANGED);
        benchmark::DoNotOptimize(read.data);
    }
    const long opencv = StatusKB("VmHWM") - before;
    before = ResetPeak();
    {
        CDIB page;
        if (!page.Load(path.c_str()))
            std::printf("the page loader could not read %s\n", path.c_str());
    }
    const long loader = StatusKB("VmHWM") - before;
    std::remove(path.c_str());
    std::printf("peak memory of loading the %.0f MB page from PNG: %.1f MB (OpenCV's imread: %.1f MB)\n", pageMB,
                loader / 1024.0, opencv / 1024.0);
}

} // namespace

int main(int argc, char** argv)
{
    // Both sides on one core.
    cv::setNumThreads(1);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    for (int page = 0; page < kPageCount; ++page)
        Scene(page);
    for (int page = 0; page < kPageCount; ++page) {
        InChildProcess([page] { PrintPeakMemory(page, 1); });
        InChildProcess([page] { PrintPeakMemory(page, 0); });
    }
    PrintLoadMemory();
    CRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}

// Touching objects: discs of radius 9 on a 40-pixel grid of a 2048-pixel
// page, every tenth with a second disc overlapping it by 2 pixels, dark on
// a bright ground with noise; counted with "ConCutType" 0 (the plain
// count), 1 and 2 ("ConCutThres" 2), on one thread and on all cores.
// Cutting should at most double the time.
namespace {

struct sTouchingPage
{
    CDIB page;
    int discs = 0;
    int pairs = 0;
};

const sTouchingPage& TouchingPage()
{
    static const sTouchingPage scene = [] {
        sTouchingPage made;
        constexpr int size = 2048;
        constexpr int grid = 40;
        constexpr int radius = 9;
        made.page.InitDIB(size, size, 24);
        cv::Mat pixels = made.page.GetMat();
        pixels.setTo(cv::Scalar::all(230));
        cv::RNG rng(28);
        int cell = 0;
        for (int y = grid / 2; y + grid / 2 <= size; y += grid)
            for (int x = grid / 2; x + grid / 2 <= size; x += grid, ++cell) {
                const bool pair = cell % 10 == 0;
                const cv::Point centre(pair ? x - radius + 1 : x, y);
                cv::circle(pixels, centre, radius, cv::Scalar::all(50), cv::FILLED);
                ++made.discs;
                if (pair) {
                    cv::circle(pixels, centre + cv::Point(2 * radius - 2, 0), radius, cv::Scalar::all(50), cv::FILLED);
                    ++made.discs;
                    ++made.pairs;
                }
            }
        cv::Mat noise(pixels.size(), CV_16SC3);
        rng.fill(noise, cv::RNG::UNIFORM, -6, 7);
        cv::Mat mixed;
        pixels.convertTo(mixed, CV_16SC3);
        mixed += noise;
        mixed.convertTo(pixels, CV_8UC3);
        return made;
    }();
    return scene;
}

double ProcessCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Arguments: ConCutType, threads (0: all cores).
void BM_TouchingPage(benchmark::State& state)
{
    SetMemoryReuse(true);
    const int type = static_cast<int>(state.range(0));
    const sTouchingPage& scene = TouchingPage();
    CDIB page = scene.page;
    CBV engine;
    engine.GetSettings().m_SegThres = CSegThres(RGB(145, 145, 145), RGB(250, 250, 250), CSegThres::modeDark);
    engine.GetSettings().m_ObjectFilter.m_ConCutType = type;
    // Small discs make shallow necks: the sensitivity of the sample profile.
    engine.GetSettings().m_ObjectFilter.m_ConCutThres = 2.0F;
    engine.SetThreadCount(static_cast<int>(state.range(1)));
    CResultObjectList results;
    CAOI2 aoi(CRect(0, 0, page.GetWidth(), page.GetHeight()));
    // The allocator holds a run's memory before timing starts.
    int count = engine.Analyse(&page, &aoi, &results, 0);
    double processCpu = 0.0;
    for (auto _ : state) {
        state.PauseTiming();
        results.RemoveAll();
        const double before = ProcessCpuMs();
        state.ResumeTiming();
        count = engine.Analyse(&page, &aoi, &results, 0);
        state.PauseTiming();
        processCpu += ProcessCpuMs() - before;
        state.ResumeTiming();
    }
    state.counters["cpu_all_ms"] = processCpu / static_cast<double>(std::max<int64_t>(state.iterations(), 1));
    // Without cutting each pair is one object.
    const int expected = type == 0 ? scene.discs - scene.pairs : scene.discs;
    if (count != expected)
        state.SkipWithError("the run did not count the discs as asked");
    state.counters["objects"] = count;
}
BENCHMARK(BM_TouchingPage)
    ->ArgNames({"cut", "threads"})
    ->ArgsProduct({{0, 1, 2}, {1, 0}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
