// One match run of the pattern-matching window on a live-sized frame: a
// 1280 x 1024 colour page of seeded noise, one area over its middle with a
// 5 x 5 raster, the pattern learned from it; the run copies the page into
// the reference, writes the pattern into it and compares the 25 cells (the
// spreads of the channel in which the page varies least). A run has to
// stay inside one frame period at 25 frames per second (40 ms), so that
// live matching drops few frames.
//
// The reference: the same copy and the 25 cells' channel spreads of page
// and reference with cv::meanStdDev, on the same pixels.

#include "imaging/dibdocex.h"
#include "imaging/patternmatch.h"

#include "analysis/aoi.h"
#include "analysis/aoidoc.h"
#include "analysis/aoiraster.h"
#include "analysis/bv.h"

#include <benchmark/benchmark.h>
#include <opencv2/core.hpp>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 1024;
constexpr int kCells = 5;
constexpr double kTargetMs = 40.0;

// The image document with an engine of its own, as the program's has one.
class CBenchDocument : public CDIBDocEx
{
public:
    CBV* GetEngine() override { return &m_engine; }
    CBV m_engine;
};

struct sScene
{
    CBenchDocument doc;
    CAOI* area = nullptr;

    sScene()
    {
        auto page = std::make_unique<CDIB>();
        page->InitDIB(kWidth, kHeight, 24);
        cv::RNG rng(38);
        cv::Mat pixels = page->GetMat();
        rng.fill(pixels, cv::RNG::UNIFORM, cv::Scalar::all(40), cv::Scalar::all(220));
        doc.AddPage(std::move(page));
        CAOIDoc& areas = doc.m_engine.m_AOIDoc;
        areas.SetImageSize(kWidth, kHeight, true);
        std::unique_ptr<CAOI> aoi = std::make_unique<CAOI2>(CRect(140, 112, 1140, 912));
        area = aoi.get();
        areas.AddAOI(aoi);
        area->CreateRaster(kCells, kCells, 0);
    }
};

sScene& Scene()
{
    static sScene scene;
    return scene;
}

void BM_PatternMatch(benchmark::State& state)
{
    sScene& scene = Scene();
    CPatternMatch match;
    match.m_fLower = 5.0f;
    match.m_fUpper = 10.0f;
    if (!match.Learn(scene.doc)) {
        state.SkipWithError("no pattern learned");
        return;
    }
    match.Run(scene.doc); // the reference page exists from now on, as in live matching
    for (auto _ : state) {
        match.Run(scene.doc);
        benchmark::DoNotOptimize(match.GetValues().data());
    }
    if (match.GetAreaCount() != kCells * kCells)
        state.SkipWithError("not every cell was judged");
}
BENCHMARK(BM_PatternMatch)->Unit(benchmark::kMillisecond);

void BM_OpenCVReference(benchmark::State& state)
{
    sScene& scene = Scene();
    const cv::Mat page = scene.doc.GetActiveDIB()->GetMat();
    cv::Mat reference = page.clone();
    const CAOIRaster& raster = *scene.area->GetRaster();
    for (auto _ : state) {
        page.copyTo(reference);
        double sum = 0.0;
        for (INT_PTR i = 0; i < raster.GetSize(); ++i) {
            const CRect r = raster.GetAt(i).GetRect();
            const cv::Rect cell(r.left, r.top, r.Width(), r.Height());
            cv::Scalar mean;
            cv::Scalar spreadPage;
            cv::Scalar spreadReference;
            cv::meanStdDev(page(cell), mean, spreadPage);
            cv::meanStdDev(reference(cell), mean, spreadReference);
            sum += std::abs(spreadPage[0] - spreadReference[0]);
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_OpenCVReference)->Unit(benchmark::kMillisecond);

class CRatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration || run.aggregate_name == "mean")
                m_ms[run.run_name.function_name] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }

    void PrintRatios() const
    {
        const auto main = m_ms.find("BM_PatternMatch");
        const auto reference = m_ms.find("BM_OpenCVReference");
        if (main == m_ms.end())
            return;
        std::printf("match run: %.2f ms (target: under %.0f ms)\n", main->second, kTargetMs);
        if (reference != m_ms.end() && reference->second > 0.0)
            std::printf("ratio match run / reference: %.2f\n", main->second / reference->second);
    }

private:
    std::map<std::string, double> m_ms;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    CRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
