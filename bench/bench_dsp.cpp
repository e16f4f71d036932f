// Speed of the filter response math: one filter, a crossover side, a set's summed curve, every set.
#include "core/Image.h"
#include "dsp/CurveSets.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace velmar {
namespace {

const Rect kPlot{35, 10, 635, 410};

void PeakingBandRecompute(benchmark::State& state) {
    PeqBand band{1000, 300, 40, 0, 0};
    CFilter f;
    f.SetPlotSize(kPlot);
    f.BindBand(&band);
    int16_t gain = 300;
    for (auto _ : state) {
        band.gain = gain; // a new gain each round, as a drag gives
        gain = gain == 300 ? 301 : 300;
        f.Recompute(true);
        benchmark::DoNotOptimize(f.Points().data());
    }
}
BENCHMARK(PeakingBandRecompute);

void LinkwitzRiley48CrossoverRecompute(benchmark::State& state) {
    CrossoverRecord xo{500, 0, 3, 20000, 0, 0};
    CFilter f;
    f.SetKind(kHighPass);
    f.SetPlotSize(kPlot);
    f.BindCrossover(&xo);
    int16_t freq = 500;
    for (auto _ : state) {
        xo.hpfFreq = freq;
        freq = freq == 500 ? 501 : 500;
        f.Recompute(true);
        benchmark::DoNotOptimize(f.Points().data());
    }
}
BENCHMARK(LinkwitzRiley48CrossoverRecompute);

// Every filter of the set active: flat filters are skipped by the sum.
void ComputeSumOfTwelveFilters(benchmark::State& state) {
    auto s = std::make_unique<CoreState>();
    InitCoreState(*s);
    OutputBlock& out = s->image.outputs[0];
    for (int k = 0; k < kBandCount; ++k) out.peq[k].gain = static_cast<int16_t>(150 + 9 * k);
    out.hpfFreq = 80;
    out.lpfFreq = 12000;
    BuildCurveSets(*s);
    CKTVEQ& set = outputEqCurves[0];
    set.SetPlotSize(kPlot);
    for (auto _ : state) {
        set.ComputeSum();
        benchmark::DoNotOptimize(set.SumPointsF().data());
    }
}
BENCHMARK(ComputeSumOfTwelveFilters);

// Every set with every band active and every output crossover on: the worst case after an image arrives.
void RefreshAllSixteenCurveSets(benchmark::State& state) {
    auto s = std::make_unique<CoreState>();
    InitCoreState(*s);
    for (auto& in : s->image.inputs) {
        for (int k = 0; k < kBandCount; ++k) in.peq[k].gain = static_cast<int16_t>(150 + 9 * k);
        for (auto& w : in.geq) w = 260;
    }
    for (auto& out : s->image.outputs) {
        for (int k = 0; k < kBandCount; ++k) {
            out.peq[k].gain = static_cast<int16_t>(150 + 9 * k);
            out.peq[k].type = static_cast<uint8_t>(k % 3);
        }
        out.hpfFreq = 80;
        out.hpfSlope = 3;
        out.lpfFreq = 12000;
        out.lpfType = 2;
        out.lpfSlope = 2;
    }
    BuildCurveSets(*s);
    for (auto& set : inputEqCurves) set.SetPlotSize(kPlot);
    for (auto& set : inputGeqCurves) set.SetPlotSize(kPlot);
    for (auto& set : outputEqCurves) set.SetPlotSize(kPlot);
    for (auto _ : state) {
        RefreshAllCurveSets(*s);
        benchmark::DoNotOptimize(outputEqCurves[7].LowPass().Points().data());
    }
}
BENCHMARK(RefreshAllSixteenCurveSets)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace velmar

BENCHMARK_MAIN();
