// Speed of the user interface, offscreen: a full redraw of the real response graph at the main window's
// 1100-pixel width for each kind of curve set; the application's start-up to the main window's first
// paint (a child process each time); the longest stall of the user-interface thread with the real
// window connected to the simulated processor; and the resident memory.
#include "core/Encoder.h"
#include "core/Image.h"
#include "core/Scheduler.h"
#include "dsp/CurveSets.h"
#include "sim/SimDevice.h"
#include "sim/SimTcpEndpoint.h"
#include "transport/LinkController.h"
#include "ui/app/UiHooks.h"
#include "ui/app/VelmarApp.h"
#include "ui/app/VelmarDlg.h"
#include "ui/graph/CFStatic.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QTimer>

#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>

extern char** environ;

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

constexpr const char* kStartupChildFlag = "--velmar-startup-child";

// From the spawn of the application's process to the main window's first paint: dynamic loading, Qt,
// the application object, the window's whole initialisation (image, curves, graph, pages) and one
// paint of every widget. The child reports on a pipe and ends at once.
void StartupToFirstPaint(benchmark::State& state) {
    char self[4096];
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) {
        state.SkipWithError("no /proc/self/exe");
        return;
    }
    self[n] = 0;
    double worst = 0;
    for (auto _ : state) {
        int fds[2];
        if (::pipe(fds) != 0) {
            state.SkipWithError("pipe");
            return;
        }
        const std::string fd = std::to_string(fds[1]);
        char* argv[] = {self, const_cast<char*>(kStartupChildFlag), const_cast<char*>(fd.c_str()), nullptr};
        const auto start = std::chrono::steady_clock::now();
        pid_t pid = 0;
        if (::posix_spawn(&pid, self, nullptr, nullptr, argv, environ) != 0) {
            state.SkipWithError("spawn");
            return;
        }
        ::close(fds[1]);
        char c = 0;
        const bool painted = ::read(fds[0], &c, 1) == 1;
        const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        ::close(fds[0]);
        int status = 0;
        ::waitpid(pid, &status, 0);
        if (!painted) {
            state.SkipWithError("the child never painted");
            return;
        }
        state.SetIterationTime(s);
        worst = std::max(worst, s * 1000);
    }
    state.counters["worst_ms"] = worst;
}
BENCHMARK(StartupToFirstPaint)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// Reports the first paint of the main window to the parent, once the whole paint cycle has run.
class FirstPaint : public QObject {
public:
    explicit FirstPaint(int fd) : m_fd(fd) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            QTimer::singleShot(0, [fd = m_fd] {
                const char c = 'p';
                [[maybe_unused]] ssize_t n = ::write(fd, &c, 1);
                std::_Exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    int m_fd;
    bool m_seen = false;
};

int StartupChild(int argc, char** argv, int fd) {
    // A folder of its own, as the window records the working directory for its program files.
    const QString folder = QDir::tempPath() + QStringLiteral("/velmar-bench-startup");
    QDir().mkpath(folder);
    QDir::setCurrent(folder);
    QApplication application(argc, argv);
    CVelmarApp::ApplyLook(application);
    CVelmarApp app(nullptr, UiHooks{});
    app.InitInstance();
    FirstPaint watcher(fd);
    app.mainWindow()->installEventFilter(&watcher);
    return app.Run();
}

// The real main window, shown offscreen with its own timers, connected over TCP loopback to the
// simulated processor: the connection (handshake, image read-back, every page refreshed), an import of
// a program file (the pages refreshed, the image written), then a unit that falls silent until the link
// is declared lost and the message is shown. A 10 ms timer measures how late the thread gets to it.
void WindowStallsOverAConnection(benchmark::State& state) {
    const QString folder = QDir::tempPath() + QStringLiteral("/velmar-bench-window");
    QDir().mkpath(folder);
    const QString before = QDir::currentPath();
    QDir::setCurrent(folder);

    SimDevice device;
    SimTcpEndpoint unit(device, SimFaultConfig{}, nullptr);
    std::string error;
    if (!unit.start(0, error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    int messages = 0;
    const QString program = folder + QStringLiteral("/bench.vq");
    UiHooks hooks;
    hooks.message = [&](QWidget*, const UiMessage&) { ++messages; };
    hooks.fileDialog = [&](QWidget*, const FileDialogRequest&) { return program; };
    hooks.runModal = [](QDialog&) { return int(QDialog::Rejected); };
    CVelmarApp app(nullptr, hooks);
    app.InitInstance();
    CoreState& core = app.state().core;
    app.mainWindow()->show();
    // The first paint belongs to the start-up figure, not to this one.

    auto spinUntil = [](const std::function<bool()>& pred, int timeoutMs) {
        QElapsedTimer t;
        t.start();
        while (!pred() && t.elapsed() < timeoutMs) {
            QEventLoop loop;
            QTimer::singleShot(5, &loop, &QEventLoop::quit);
            loop.exec();
        }
        return pred();
    };
    QElapsedTimer clock;
    qint64 last = 0;
    double longest = 0;
    QTimer watchdog;
    watchdog.setTimerType(Qt::PreciseTimer);
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longest = std::max(longest, double(now - last) / 1e6 - 10);
        last = now;
    });

    spinUntil([] { return false; }, 500);
    double connectMs = 0, lossS = 0, connectStall = 0, importStall = 0, lossStall = 0;
    for (auto _ : state) {
        clock.start();
        last = clock.nsecsElapsed();
        watchdog.start(10);
        const auto start = std::chrono::steady_clock::now();
        core.deviceAddress = 1;
        app.links().setWifiAddress(QStringLiteral("127.0.0.1"));
        app.links().setWifiPort(unit.port());
        app.links().openTcp();
        if (!spinUntil([&] { return core.linkConnected && core.linkConfirmed == 2; }, 10000)) {
            state.SkipWithError("no connection");
            break;
        }
        connectMs =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        spinUntil([] { return false; }, 1000);
        connectStall = longest;
        longest = 0;

        // An in-range program file: the unit's image with other gains.
        DeviceImage file = core.image;
        for (auto& out : file.outputs) out.gain = 300;
        QFile f(program);
        f.open(QIODevice::WriteOnly);
        f.write(reinterpret_cast<const char*>(&file), qint64(kImageSize));
        f.close();
        app.mainWindow()->OnImport();
        spinUntil([&] { return core.scheduler.state == SchedState::Idle; }, 5000);
        spinUntil([] { return false; }, 2000); // heartbeats flowing again (the first after 11 idle ticks)
        importStall = longest;
        longest = 0;

        const auto silent = std::chrono::steady_clock::now();
        unit.faults().setSilent(true);
        spinUntil([&] { return !core.linkConnected; }, 10000);
        lossS = std::chrono::duration<double>(std::chrono::steady_clock::now() - silent).count();
        spinUntil([] { return false; }, 300);
        watchdog.stop();
        lossStall = longest;
        longest = std::max({connectStall, importStall, lossStall});
        state.SetIterationTime(longest / 1000);
    }
    state.counters["longest_stall_ms"] = longest;
    state.counters["stall_connect_ms"] = connectStall;
    state.counters["stall_import_ms"] = importStall;
    state.counters["stall_loss_ms"] = lossStall;
    state.counters["connect_ms"] = connectMs;
    state.counters["loss_after_s"] = lossS;
    state.counters["messages"] = messages;
    // The process with the whole window, its pages and the in-process unit.
    state.counters["rss_with_window_kb"] = static_cast<double>(StatusKb("VmRSS:"));
    unit.stop();
    QDir::setCurrent(before);
}
BENCHMARK(WindowStallsOverAConnection)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
} // namespace velmar

int main(int argc, char** argv) {
    // Everything is drawn without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 3 && std::strcmp(argv[1], velmar::kStartupChildFlag) == 0) {
        int childArgc = 1;
        return velmar::StartupChild(childArgc, argv, std::atoi(argv[2]));
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
