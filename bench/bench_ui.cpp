// Speed of the response graph: a full redraw of the real graph widget offscreen at the main window's
// 1100-pixel width, for each kind of curve set; and the resident memory of the graph, the curve sets,
// the core and the links in one process.
#include "core/Image.h"
#include "dsp/CurveSets.h"
#include "transport/LinkController.h"
#include "ui/graph/CFStatic.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <memory>

namespace velmar {
namespace {

constexpr int kWindowWidth = 1100;

// Every band of every set away from flat, and crossovers in place, so every filter is drawn.
std::unique_ptr<CoreState> BusyState() {
    auto s = std::make_unique<CoreState>();
    InitCoreState(*s);
    for (int c = 0; c < kInputCount; ++c) {
        for (int k = 0; k < kBandCount; ++k)
            s->image.inputs[c].peq[k].gain = static_cast<int16_t>(120 + 16 * k);
        for (int w = 0; w < kGeqBandCount; ++w) s->image.inputs[c].geq[w] = static_cast<int16_t>(150 + 3 * w);
    }
    for (int c = 0; c < kOutputCount; ++c) {
        for (int k = 0; k < kBandCount; ++k)
            s->image.outputs[c].peq[k].gain = static_cast<int16_t>(280 - 14 * k);
        s->image.outputs[c].hpfFreq = 80;
        s->image.outputs[c].lpfFreq = 12000;
    }
    BuildCurveSets(*s);
    return s;
}

// The graph as wide as the window, as tall as it is below the pages.
void Redraw(benchmark::State& state, int mode) {
    auto s = BusyState();
    CFStatic graph(*s);
    graph.resize(kWindowWidth, CFStatic::kPreferredHeight);
    graph.InitPlot();
    switch (mode) {
    case CFStatic::kModeGeq:
        graph.ShowGeqCurves(0);
        break;
    case CFStatic::kModeInputEq:
        graph.ShowInputCurves(0);
        break;
    default:
        graph.ShowOutputCurves(0);
        break;
    }
    QImage target(graph.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter p(&target);
        graph.render(&p);
        p.end();
        benchmark::DoNotOptimize(target.constBits());
    }
    state.counters["width_px"] = graph.width();
}

void GraphRedrawOutputSet(benchmark::State& state) {
    Redraw(state, CFStatic::kModeOutput);
}
BENCHMARK(GraphRedrawOutputSet)->Unit(benchmark::kMillisecond);

void GraphRedrawInputSet(benchmark::State& state) {
    Redraw(state, CFStatic::kModeInputEq);
}
BENCHMARK(GraphRedrawInputSet)->Unit(benchmark::kMillisecond);

void GraphRedrawGraphicEqSet(benchmark::State& state) {
    Redraw(state, CFStatic::kModeGeq);
}
BENCHMARK(GraphRedrawGraphicEqSet)->Unit(benchmark::kMillisecond);

// The widget's own grab, which also allocates the pixmap each time.
void GraphGrab(benchmark::State& state) {
    auto s = BusyState();
    CFStatic graph(*s);
    graph.resize(kWindowWidth, CFStatic::kPreferredHeight);
    graph.InitPlot();
    graph.ShowOutputCurves(0);
    for (auto _ : state) {
        QPixmap shot = graph.grab();
        benchmark::DoNotOptimize(shot.cacheKey());
    }
}
BENCHMARK(GraphGrab)->Unit(benchmark::kMillisecond);

// A drag step as the graph does it: one band's curve and the sum recomputed, then the redraw.
void GraphDragStep(benchmark::State& state) {
    auto s = BusyState();
    CFStatic graph(*s);
    graph.resize(kWindowWidth, CFStatic::kPreferredHeight);
    graph.InitPlot();
    graph.ShowOutputCurves(0);
    CKTVEQ& set = outputEqCurves[0];
    QImage target(graph.size(), QImage::Format_ARGB32_Premultiplied);
    int16_t gain = 300;
    for (auto _ : state) {
        set.Records().bands[4].gain = gain;
        gain = gain == 300 ? 301 : 300;
        set.Filter(4).Recompute(true);
        set.ComputeSum();
        QPainter p(&target);
        graph.render(&p);
    }
}
BENCHMARK(GraphDragStep)->Unit(benchmark::kMillisecond);

long StatusKb(const char* field) {
    std::FILE* f = std::fopen("/proc/self/status", "r");
    if (!f) return -1;
    char line[256];
    long kb = -1;
    const size_t n = std::strlen(field);
    while (std::fgets(line, sizeof line, f))
        if (std::strncmp(line, field, n) == 0) kb = std::atol(line + n + 1);
    std::fclose(f);
    return kb;
}

// Resident memory with the core, every curve set, the graph drawn once and the LinkController (its USB
// and TCP links idle) in this process, beside Qt and the benchmark library.
void ResidentMemory(benchmark::State& state) {
    auto s = BusyState();
    CFStatic graph(*s);
    graph.resize(kWindowWidth, CFStatic::kPreferredHeight);
    graph.InitPlot();
    graph.ShowOutputCurves(0);
    LinkController links(nullptr);
    links.attach(*s);
    QPixmap shot = graph.grab();
    for (auto _ : state) benchmark::DoNotOptimize(shot.cacheKey());
    state.counters["rss_kb"] = static_cast<double>(StatusKb("VmRSS:"));
    state.counters["peak_rss_kb"] = static_cast<double>(StatusKb("VmHWM:"));
    state.counters["core_state_bytes"] = sizeof(CoreState);
}
BENCHMARK(ResidentMemory)->Iterations(1);

} // namespace
} // namespace velmar

int main(int argc, char** argv) {
    // The graph is drawn without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
