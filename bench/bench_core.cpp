// Speed of the protocol core: the reply parser on the replies a connection brings, the frame encoder on
// the frames the scheduler sends, and the work from a page's edit to its first frame in the tick.
#include "core/ChannelLink.h"
#include "core/Encoder.h"
#include "core/Image.h"
#include "core/ReplyParser.h"
#include "core/Scheduler.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace velmar {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Frame(uint8_t command, uint8_t p1, const Bytes& payload) {
    Bytes f(payload.size() + kFrameOverhead);
    BuildFrame(f.data(), 1, command, p1, 0, 0, 0, static_cast<uint16_t>(payload.size()),
               payload.empty() ? nullptr : payload.data());
    return f;
}

std::unique_ptr<CoreState> Connected() {
    auto s = std::make_unique<CoreState>();
    InitCoreState(*s);
    s->linkConnected = 1;
    s->deviceAddress = 1;
    s->linkConfirmed = 2;
    s->scheduler.state = SchedState::Idle;
    return s;
}

// One reply per chunk, as the serial and TCP links deliver them; bytes per second of received data.
void ParseReplies(benchmark::State& state, const Bytes& reply) {
    auto s = Connected();
    for (auto _ : state) {
        FeedBytes(*s, reply.data(), static_cast<int16_t>(reply.size()));
        benchmark::DoNotOptimize(s->meterLevels);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * reply.size()));
    state.SetItemsProcessed(state.iterations());
}

void ParseHeartbeatReply(benchmark::State& state) {
    ParseReplies(state, Frame(0xA9, 0, Bytes(16, 0x33)));
}
BENCHMARK(ParseHeartbeatReply);

void ParseAck(benchmark::State& state) {
    ParseReplies(state, Frame(0xAA, 0, {}));
}
BENCHMARK(ParseAck);

// The whole image read back at connection: reassembly, check, copy, clamp, dispatch (no curve rebuild).
void ParseImageReply(benchmark::State& state) {
    Bytes image(kImageSize);
    auto s = Connected();
    std::memcpy(image.data(), &s->image, kImageSize);
    const Bytes reply = Frame(0xA6, 0, image);
    for (auto _ : state) {
        s->scheduler.state = SchedState::ProgramLoad;
        s->scheduler.sent = 1;
        FeedBytes(*s, reply.data(), 1280);
        FeedBytes(*s, reply.data() + 1280, static_cast<int16_t>(reply.size() - 1280));
        benchmark::DoNotOptimize(s->image);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * reply.size()));
}
BENCHMARK(ParseImageReply);

// The same reply in 65-byte USB reports.
void ParseImageReplyFromUsbReports(benchmark::State& state) {
    Bytes image(kImageSize);
    auto s = Connected();
    std::memcpy(image.data(), &s->image, kImageSize);
    const Bytes reply = Frame(0xA6, 0, image);
    std::vector<Bytes> reports;
    for (size_t at = 0; at < reply.size(); at += 64) {
        Bytes r(65, 0);
        std::copy(reply.begin() + static_cast<std::ptrdiff_t>(at),
                  reply.begin() + static_cast<std::ptrdiff_t>(std::min(reply.size(), at + 64)),
                  r.begin() + 1);
        reports.push_back(std::move(r));
    }
    for (auto _ : state) {
        for (const Bytes& r : reports) FeedReport(*s, r.data());
        benchmark::DoNotOptimize(s->image);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * reply.size()));
}
BENCHMARK(ParseImageReplyFromUsbReports);

// Line noise without sync bytes: the hunt alone.
void HuntThroughNoise(benchmark::State& state) {
    Bytes noise(1280);
    std::mt19937 rng(5);
    for (auto& b : noise) {
        do b = static_cast<uint8_t>(rng());
        while (b == 0x5A);
    }
    auto s = Connected();
    for (auto _ : state) FeedBytes(*s, noise.data(), static_cast<int16_t>(noise.size()));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * noise.size()));
}
BENCHMARK(HuntThroughNoise);

// Encoding: a frame of each size the scheduler sends (heartbeat, one unit, an input block, the image).
void BuildFrames(benchmark::State& state) {
    const auto length = static_cast<uint16_t>(state.range(0));
    Bytes payload(length, 0x42), out(length + kFrameOverhead);
    for (auto _ : state) {
        benchmark::DoNotOptimize(BuildFrame(out.data(), 1, 0xA1, 1, 0, 2, 3, length, payload.data()));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * out.size()));
}
BENCHMARK(BuildFrames)->Arg(0)->Arg(8)->Arg(160)->Arg(1600);

// EncodeAndSend into a transport that takes the frame: serial/TCP, and USB cut into 64-byte reports.
void EncodeAndSendFrames(benchmark::State& state) {
    auto s = Connected();
    const bool usb = state.range(1) != 0;
    s->activeLink = usb ? LinkType::Usb : LinkType::Tcp;
    size_t sink = 0;
    s->hooks.writeFrame = [&](const uint8_t* d, size_t n) { sink += d[n - 1]; };
    s->hooks.writeUsbReport = [&](const uint8_t* r, bool) {
        sink += r[0];
        return true;
    };
    const auto length = static_cast<uint16_t>(state.range(0));
    Bytes payload(length, 0x42);
    for (auto _ : state) {
        EncodeAndSend(*s, 0xA1, 1, 0, 2, 3, length, payload.data());
        benchmark::DoNotOptimize(sink);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * (length + kFrameOverhead)));
}
BENCHMARK(EncodeAndSendFrames)->Args({8, 0})->Args({1600, 0})->Args({8, 1})->Args({1600, 1});

// From a page's edit to its first frame: the raw value into the image, the queued write, the link
// propagation (two outputs linked with it, so their units are copied and marked), then the tick that
// sends it. The tick itself waits up to 100 ms for the timer (measured over a real link in
// bench_transport); this is the processing on top of that. The linked outputs' frames follow on the
// next ticks and are not part of it: their flags are cleared after the tick.
void EditToFirstFrame(benchmark::State& state) {
    auto s = Connected();
    s->outputLinkGroup[1] = 0;
    s->outputLinkGroup[2] = 0;
    size_t frames = 0;
    s->hooks.writeFrame = [&](const uint8_t*, size_t) { ++frames; };
    int16_t gain = 300;
    for (auto _ : state) {
        s->image.outputs[0].peq[3].gain = gain;
        gain = gain == 300 ? 301 : 300;
        QueueParamWrite(*s, kKindOutput, 0, 7);
        LinkParam(*s, kKindOutput, 0, 7);
        SchedulerTick(*s);
        s->dirty.output[1][7] = 0;
        s->dirty.output[2][7] = 0;
        benchmark::DoNotOptimize(frames);
    }
    state.counters["frames_per_edit"] = benchmark::Counter(static_cast<double>(frames) / state.iterations());
}
BENCHMARK(EditToFirstFrame);

// One idle tick (the heartbeat path), the cost the 100 ms timer adds all the time.
void IdleTick(benchmark::State& state) {
    auto s = Connected();
    s->hooks.writeFrame = [](const uint8_t*, size_t) {};
    for (auto _ : state) SchedulerTick(*s);
}
BENCHMARK(IdleTick);

// The share of an idle serial line (19200 bit/s, ten bits a byte) that the periodic verify read takes:
// five minutes of idle ticks with the default period, a far end that answers every read with the image
// and every heartbeat with its meters. Reported next to the heartbeats' own share.
void VerifyShareOfIdleLinkAt19200(benchmark::State& state) {
    const Bytes image = Frame(kCmdProgramLoad, 0, Bytes(kImageSize, 0));
    const Bytes meters = Frame(0xA9, 0, Bytes(16, 0x33));
    constexpr int kTicks = 3000;
    double verifyBytes = 0, heartbeatBytes = 0;
    for (auto _ : state) {
        auto s = Connected();
        s->activeLink = LinkType::Serial;
        std::memcpy(&s->verify.device, &s->image, kImageSize);
        std::memcpy(const_cast<uint8_t*>(image.data()) + 12, &s->image, kImageSize);
        Bytes answer;
        verifyBytes = heartbeatBytes = 0;
        s->hooks.writeFrame = [&](const uint8_t* f, size_t n) {
            if (f[5] == kCmdProgramLoad) {
                verifyBytes += static_cast<double>(n + image.size());
                answer = image;
            } else if (f[5] == kCmdHeartbeat) {
                heartbeatBytes += static_cast<double>(n + meters.size());
                answer = meters;
            }
        };
        for (int t = 0; t < kTicks; ++t) {
            SchedulerTick(*s);
            if (!answer.empty()) {
                const Bytes reply = std::move(answer);
                answer.clear();
                FeedBytes(*s, reply.data(), static_cast<int16_t>(reply.size()));
            }
        }
    }
    const double seconds = kTicks / 10.0;
    const double bytesPerSecond = 19200.0 / 10.0;
    state.counters["verify_share_pct"] = 100.0 * verifyBytes / bytesPerSecond / seconds;
    state.counters["heartbeat_share_pct"] = 100.0 * heartbeatBytes / bytesPerSecond / seconds;
}
BENCHMARK(VerifyShareOfIdleLinkAt19200)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
} // namespace velmar

BENCHMARK_MAIN();
