// Counting and measuring objects on a large page: the engine's main run
// against the plain OpenCV way to the same numbers (threshold, outer
// contours, moments per contour) on the same pixels, both on one core.
//
// The page: 4096 x 4096, 24 bits, 10,000 separated filled ellipses (radii
// 4 to 12 pixels, random angles) in one colour on a contrasting
// background, every channel of every pixel with uniform noise of up to
// +-6; one rectangle area over the whole page; a band threshold that takes
// exactly the ellipses; the profile's default feature bits.
//
// Prints both times, objects per second, the ratio main run / reference
// and the peak memory one main run needs beyond the page.

#include "analysis/aoi.h"
#include "analysis/bv.h"
#include "analysis/resultdocument.h"
#include "outside/pixmere/dib.h"

#include <benchmark/benchmark.h>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kSize = 4096;
constexpr int kGrid = 100; // kGrid x kGrid ellipses
constexpr int kObjects = kGrid * kGrid;
constexpr int kCell = 40;
constexpr int kMargin = 48;
constexpr int kNoise = 6;
constexpr uint64_t kSeed = 20240611;
const cv::Scalar kObjectBGR(200, 60, 40);
const cv::Scalar kBackgroundBGR(60, 170, 210);

struct sScene
{
    CDIB page;
    cv::Scalar lower; // BGR
    cv::Scalar upper;
};

sScene MakeScene()
{
    sScene scene;
    scene.page.InitDIB(kSize, kSize, 24);
    cv::Mat pixels = scene.page.GetMat();
    pixels.setTo(kBackgroundBGR);
    cv::RNG rng(kSeed);
    // Centres at least kCell - 12 apart and radii of at most 12 leave a gap
    // of 4 pixels between neighbours.
    for (int row = 0; row < kGrid; ++row) {
        for (int column = 0; column < kGrid; ++column) {
            const cv::Point centre(kMargin + column * kCell + rng.uniform(-6, 7),
                                   kMargin + row * kCell + rng.uniform(-6, 7));
            const cv::Size axes(rng.uniform(4, 13), rng.uniform(4, 13));
            cv::ellipse(pixels, centre, axes, rng.uniform(0.0, 180.0), 0.0, 360.0, kObjectBGR, cv::FILLED, cv::LINE_8);
        }
    }
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

sScene& Scene()
{
    static sScene scene = MakeScene();
    return scene;
}

COLORREF ToColorRef(const cv::Scalar& bgr)
{
    return RGB(static_cast<int>(bgr[2]), static_cast<int>(bgr[1]), static_cast<int>(bgr[0]));
}

void SetUpEngine(CBV& engine)
{
    engine.GetSettings().m_SegThres =
        CSegThres(ToColorRef(Scene().lower), ToColorRef(Scene().upper), CSegThres::modeBand);
}

int CountMeasure(CBV& engine, CResultObjectList& results)
{
    CAOI2 aoi(CRect(0, 0, kSize, kSize));
    return engine.Analyse(&Scene().page, &aoi, &results, 0);
}

int OpenCVReference(const cv::Mat& pixels, double& areaSum)
{
    cv::Mat mask;
    cv::inRange(pixels, Scene().lower, Scene().upper, mask);
    std::vector<std::vector<cv::Point>> contours;
    cv::findContours(mask, contours, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_NONE);
    areaSum = 0.0;
    for (const std::vector<cv::Point>& contour : contours)
        areaSum += cv::moments(contour).m00;
    return static_cast<int>(contours.size());
}

// The objects found and per second; a wrong count spoils the run.
void ReportCount(benchmark::State& state, int count, const char* wrongCount)
{
    if (count != kObjects)
        state.SkipWithError(wrongCount);
    state.counters["objects"] = count;
    state.counters["objects_per_second"] =
        benchmark::Counter(static_cast<double>(count), benchmark::Counter::kIsIterationInvariantRate);
}

void BM_CountMeasure(benchmark::State& state)
{
    CBV engine;
    SetUpEngine(engine);
    CResultObjectList results;
    int count = 0;
    for (auto _ : state) {
        state.PauseTiming();
        results.RemoveAll();
        state.ResumeTiming();
        count = CountMeasure(engine, results);
    }
    ReportCount(state, count, "the main run did not count every ellipse");
}
BENCHMARK(BM_CountMeasure)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OpenCVReference(benchmark::State& state)
{
    const cv::Mat pixels = Scene().page.GetMat();
    int count = 0;
    double areaSum = 0.0;
    for (auto _ : state) {
        count = OpenCVReference(pixels, areaSum);
        benchmark::DoNotOptimize(areaSum);
    }
    ReportCount(state, count, "the reference did not find every ellipse");
}
BENCHMARK(BM_OpenCVReference)->Unit(benchmark::kMillisecond)->UseRealTime();

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
                m_times[run.run_name.function_name] = run.GetAdjustedRealTime();
        }
    }

    void PrintRatio() const
    {
        const auto main = m_times.find("BM_CountMeasure");
        const auto reference = m_times.find("BM_OpenCVReference");
        if (main == m_times.end() || reference == m_times.end() || reference->second <= 0.0)
            return;
        std::printf("ratio main run / reference: %.2f (target: at most 2.0)\n", main->second / reference->second);
    }

private:
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

// The peak resident memory of one main run beyond what the process held
// before it (Linux: the peak is reset through clear_refs).
void PrintPeakMemory()
{
    CBV engine;
    SetUpEngine(engine);
    CResultObjectList results;
    std::ofstream("/proc/self/clear_refs") << "5";
    const long before = StatusKB("VmRSS");
    CountMeasure(engine, results);
    const long peak = StatusKB("VmHWM");
    if (before < 0 || peak < 0)
        return;
    const double pageKB = kSize * static_cast<double>(kSize) * 3.0 / 1024.0;
    std::printf("peak extra memory of one main run: %.1f MB = %.2f page sizes (target: below 3)\n",
                (peak - before) / 1024.0, (peak - before) / pageKB);
}

} // namespace

int main(int argc, char** argv)
{
    // Both sides on one core.
    cv::setNumThreads(1);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    Scene();
    PrintPeakMemory();
    CRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatio();
    benchmark::Shutdown();
    return 0;
}
