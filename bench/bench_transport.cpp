// Real-time figures over real links to the simulated processor, driven by the application's 100 ms
// tick: connection time (handshake and image read-back) over TCP loopback and over a pseudo-terminal at
// 19200 bit/s, next to the wire time of the bytes moved, and the latency from an edit to its frame
// arriving at the unit, and the time verify and repair takes to put a lost write into the unit.
#include "core/CoreState.h"
#include "core/Encoder.h"
#include "core/Image.h"
#include "core/ReplyParser.h"
#include "core/Scheduler.h"
#include "sim/SimDevice.h"
#include "sim/SimFrameLog.h"
#include "sim/SimPtyEndpoint.h"
#include "sim/SimTcpEndpoint.h"
#include "transport/LinkController.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <random>
#include <stdexcept>
#include <vector>

namespace velmar {
namespace {

using Clock = std::chrono::steady_clock;

// Bytes a connection moves: the handshake (14) and its reply (system block and 21 names, 430), the
// image read (14) and the image (1614).
constexpr double kConnectionBytes = 14 + 430 + 14 + 1614;
constexpr double kReplyBytes = 430 + 1614;
// 8N1: ten bits on the line for every byte.
double WireMs(double bytes, int baud) {
    return bytes * 10.0 * 1000.0 / baud;
}

// The simulated processor on one link, the core and the LinkController with the application's timers.
class Bench {
public:
    explicit Bench(bool pty, int baud = 19200)
        : m_log([this](const std::string& line) { onLine(line); }, [] { return std::string(); }),
          m_state(std::make_unique<CoreState>()) {
        std::string error;
        if (pty) {
            m_pty = std::make_unique<SimPtyEndpoint>(m_device, SimFaultConfig{}, &m_log, baud);
            if (!m_pty->start("", error)) throw std::runtime_error(error);
        } else {
            m_tcp = std::make_unique<SimTcpEndpoint>(m_device, SimFaultConfig{}, &m_log);
            if (!m_tcp->start(0, error)) throw std::runtime_error(error);
        }
        InitCoreState(*m_state);
        m_state->deviceAddress = 1;
        m_links = std::make_unique<LinkController>(nullptr);
        m_links->attach(*m_state);
        m_links->setWifiAddress(QStringLiteral("127.0.0.1"));
        if (m_tcp) m_links->setWifiPort(m_tcp->port());
        m_tick.setInterval(100);
        QObject::connect(&m_tick, &QTimer::timeout, [this] {
            SchedulerTick(*m_state);
            LinkSupervisionTick(*m_state);
        });
        m_tick.start();
    }
    ~Bench() {
        m_tick.stop();
        m_links->closeLink();
        m_links->detach();
        if (m_tcp) m_tcp->stop();
        if (m_pty) m_pty->stop();
    }

    void open() {
        if (m_tcp)
            m_links->openTcp();
        else
            m_links->openSerial(QString::fromStdString(m_pty->slavePath()));
    }
    void close() { m_links->closeLink(); }
    bool ready() const { return m_state->linkConnected && m_state->linkConfirmed == 2; }
    bool idle() const { return ready() && m_state->scheduler.state == SchedState::Idle; }
    CoreState& core() { return *m_state; }
    SimDevice& device() { return m_device; }
    SimFaultInjector& faults() { return m_tcp ? m_tcp->faults() : m_pty->faults(); }

    // Runs the event loop (sleeping between events) until pred holds, looking every 2 ms.
    static bool SpinUntil(const std::function<bool()>& pred, int timeoutMs) {
        if (pred()) return true;
        QEventLoop loop;
        QTimer poll, limit;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (pred()) loop.quit();
        });
        QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
        poll.start(2);
        limit.setSingleShot(true);
        limit.start(timeoutMs);
        loop.exec();
        return pred();
    }
    static void SpinFor(int ms) {
        QEventLoop loop;
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec();
    }

    // When the unit last decoded a parameter write (steady-clock nanoseconds), and how many.
    std::atomic<int64_t> lastWriteAt{0};
    std::atomic<int> writes{0};
    std::atomic<int> ignored{0}; // frames the unit did not take while silent

private:
    void onLine(const std::string& line) {
        if (line.find("[silent") != std::string::npos) ignored.fetch_add(1);
        if (line.find(" in  5A 5A 5A 01 53 A1") == std::string::npos) return;
        lastWriteAt.store(Clock::now().time_since_epoch().count());
        writes.fetch_add(1);
    }

    SimFrameLog m_log;
    SimDevice m_device;
    std::unique_ptr<SimTcpEndpoint> m_tcp;
    std::unique_ptr<SimPtyEndpoint> m_pty;
    std::unique_ptr<CoreState> m_state;
    std::unique_ptr<LinkController> m_links;
    QTimer m_tick;
};

// From opening the link to the processor's image in place, with the tick running at its own phase.
void Connection(benchmark::State& state, bool pty) {
    Bench bench(pty);
    double worst = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        bench.open();
        if (!Bench::SpinUntil([&] { return bench.ready(); }, 10000)) {
            state.SkipWithError("the connection did not complete");
            break;
        }
        const double s = std::chrono::duration<double>(Clock::now() - start).count();
        state.SetIterationTime(s);
        worst = std::max(worst, s * 1000);
        bench.close();
        Bench::SpinFor(37 + static_cast<int>(state.iterations() * 13 % 60)); // a new phase of the tick
    }
    state.counters["worst_ms"] = worst;
    if (pty) {
        state.counters["wire_ms_both_ways"] = WireMs(kConnectionBytes, 19200);
        state.counters["wire_ms_replies"] = WireMs(kReplyBytes, 19200);
    }
}

void ConnectOverTcpLoopback(benchmark::State& state) {
    Connection(state, false);
}
BENCHMARK(ConnectOverTcpLoopback)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

void ConnectOverPtyAt19200(benchmark::State& state) {
    Connection(state, true);
}
BENCHMARK(ConnectOverPtyAt19200)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(4);

// An edit made at a random moment between two ticks, until the unit has decoded its frame: the tick's
// wait (0 to 100 ms) plus the encoder, the link and the unit's receiver.
void EditToFrameAtTheUnit(benchmark::State& state, bool pty) {
    Bench bench(pty);
    bench.open();
    if (!Bench::SpinUntil([&] { return bench.ready(); }, 10000)) {
        state.SkipWithError("no connection");
        return;
    }
    std::mt19937 rng(3);
    double worst = 0;
    int16_t gain = 300;
    for (auto _ : state) {
        Bench::SpinUntil([&] { return bench.idle(); }, 2000);
        Bench::SpinFor(std::uniform_int_distribution<int>(0, 150)(rng));
        const int before = bench.writes.load();
        CoreState& s = bench.core();
        s.image.outputs[2].gain = gain;
        gain = gain == 300 ? 301 : 300;
        const auto start = Clock::now();
        QueueParamWrite(s, kKindOutput, 2, 1);
        Bench::SpinUntil([&] { return bench.writes.load() > before; }, 2000);
        const auto at = Clock::time_point(Clock::duration(bench.lastWriteAt.load()));
        const double ms = std::chrono::duration<double, std::milli>(at - start).count();
        state.SetIterationTime(ms / 1000);
        worst = std::max(worst, ms);
    }
    state.counters["worst_ms"] = worst;
}

void EditToFrameOverTcp(benchmark::State& state) {
    EditToFrameAtTheUnit(state, false);
}
BENCHMARK(EditToFrameOverTcp)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(40);

void EditToFrameOverPtyAt19200(benchmark::State& state) {
    EditToFrameAtTheUnit(state, true);
}
BENCHMARK(EditToFrameOverPtyAt19200)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

// A write lost on the line in the middle of a burst (the next write is answered, so the scheduler has
// nothing to send again): from the edit to the unit holding the value, put there by the verify read that
// follows the quiet second and the repair it triggers.
void LostWriteRepaired(benchmark::State& state, bool pty) {
    Bench bench(pty);
    bench.open();
    if (!Bench::SpinUntil([&] { return bench.ready(); }, 10000)) {
        state.SkipWithError("no connection");
        return;
    }
    CoreState& s = bench.core();
    std::vector<double> times;
    int16_t gain = 300;
    for (auto _ : state) {
        if (!Bench::SpinUntil([&] { return bench.idle() && s.verify.status == SyncStatus::Synced; }, 20000)) {
            state.SkipWithError("the verify read did not agree");
            break;
        }
        gain = gain == 300 ? 301 : 300;
        const int ignoredBefore = bench.ignored.load();
        bench.faults().setSilent(true);
        const auto start = Clock::now();
        s.image.outputs[2].gain = gain;
        QueueParamWrite(s, kKindOutput, 2, 1);
        Bench::SpinUntil([&] { return bench.ignored.load() > ignoredBefore; }, 2000);
        bench.faults().setSilent(false);
        s.image.outputs[3].gain = gain; // the burst's next write replaces the lost one and is answered
        QueueParamWrite(s, kKindOutput, 3, 1);
        if (!Bench::SpinUntil([&] { return bench.device().image().outputs[2].gain == gain; }, 20000)) {
            state.SkipWithError("the lost write was never repaired");
            break;
        }
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        state.SetIterationTime(ms / 1000);
        times.push_back(ms);
    }
    if (times.empty()) return;
    std::sort(times.begin(), times.end());
    state.counters["median_ms"] = times[times.size() / 2];
    state.counters["worst_ms"] = times.back();
}

void LostWriteRepairedOverTcp(benchmark::State& state) {
    LostWriteRepaired(state, false);
}
BENCHMARK(LostWriteRepairedOverTcp)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

void LostWriteRepairedOverPtyAt19200(benchmark::State& state) {
    LostWriteRepaired(state, true);
}
BENCHMARK(LostWriteRepairedOverPtyAt19200)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(6);

} // namespace
} // namespace velmar

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
