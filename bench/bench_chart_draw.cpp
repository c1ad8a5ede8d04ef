// Drawing the line-chart control: four curves of 1,000,000 values
// repainted into a 1,000 x 600 chart through the CDC over an offscreen
// image (a run refreshes its chart every step, 40 ms apart at the
// fastest: target under 30 ms), and 100,000 values appended one by one
// (target under 10 ms).

#include "platform/ui/qtdc.h"
#include "series/curvechart.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>

#include <cmath>
#include <vector>

namespace {

constexpr int kValues = 1000000;

void FillChart(CCurveChart& chart)
{
    chart.SetXKind(CAxis::labelTime);
    chart.SetXRange(0.0, kValues - 1, 1.0);
    chart.SetYMin(-2.0);
    chart.SetYMax(2.0);
    std::vector<float> values(kValues);
    for (int c = 0; c < 4; ++c) {
        for (int i = 0; i < kValues; ++i)
            values[static_cast<size_t>(i)] = static_cast<float>(std::sin(i * 1e-4 * (c + 1)) + 0.1 * ((i * 7) % 13 - 6) / 6.0);
        chart.SetCurveValues(values, chart.AddCurve("Curve", RGB(60 * c, 0, 255 - 60 * c)));
    }
}

void BM_RepaintFourMillionValueCurves(benchmark::State& state)
{
    CCurveChart chart;
    FillChart(chart);
    QImage image(1000, 600, QImage::Format_RGB32);
    for (auto _ : state) {
        CQtDC dc(image);
        benchmark::DoNotOptimize(chart.DrawTo(&dc, CRect(0, 0, 1000, 600)));
    }
}
BENCHMARK(BM_RepaintFourMillionValueCurves)->Unit(benchmark::kMillisecond);

void BM_AddHundredThousandValues(benchmark::State& state)
{
    for (auto _ : state) {
        CCurveChart chart;
        const int curve = chart.AddCurve("Curve", 255);
        for (int i = 0; i < 100000; ++i)
            chart.AddValue(static_cast<float>(i), curve);
        benchmark::DoNotOptimize(chart.GetCurveCount());
    }
}
BENCHMARK(BM_AddHundredThousandValues)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
