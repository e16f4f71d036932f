// Test fixture for the protocol core: a fresh CoreState with hooks that record every effect.
#pragma once

#include "core/Encoder.h"
#include "core/Image.h"
#include "core/ReplyParser.h"
#include "core/Scheduler.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace velmar::test {

using Bytes = std::vector<uint8_t>;

// "5A 5A 5A 01 53 A9" -> bytes; spaces separate fields and are ignored.
inline Bytes Hex(const std::string& text) {
    Bytes out;
    std::string digits;
    for (char c : text)
        if (std::isxdigit(static_cast<unsigned char>(c))) digits += c;
    for (size_t i = 0; i + 1 < digits.size(); i += 2)
        out.push_back(static_cast<uint8_t>(std::stoi(digits.substr(i, 2), nullptr, 16)));
    return out;
}

// A reply frame as the processor sends it (same layout as the application's frames).
inline Bytes Reply(uint8_t command, uint8_t p1 = 0, const Bytes& payload = {}, uint8_t address = 1) {
    Bytes frame(payload.size() + kFrameOverhead);
    BuildFrame(frame.data(), address, command, p1, 0, 0, 0, static_cast<uint16_t>(payload.size()),
               payload.empty() ? nullptr : payload.data());
    return frame;
}

// The fields of a sent frame that the scheduler tests look at.
struct Sent {
    uint8_t command, p1, p2, p3, p4;
    uint16_t length;
    bool operator==(const Sent&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Sent& f) {
    char text[64];
    std::snprintf(text, sizeof text, "{%02X %d %d %d %d L=%d}", f.command, f.p1, f.p2, f.p3, f.p4, f.length);
    return os << text;
}

struct Posted {
    uint32_t msg, wParam, lParam;
    bool operator==(const Posted&) const = default;
};

struct Box {
    std::string text, caption;
};

class CoreFixture : public ::testing::Test {
protected:
    // CoreState is a few kilobytes; the fixture keeps it on the heap.
    std::unique_ptr<CoreState> state = std::make_unique<CoreState>();
    CoreState& s = *state;

    std::vector<Bytes> frames;  // whole frames handed to the serial/TCP transport
    std::vector<Bytes> reports; // USB reports
    std::vector<bool> firstOfFrame;
    std::vector<Bytes> traced;   // traceSent
    std::vector<Bytes> received; // traceFrameReceived
    std::vector<Posted> posted;
    std::vector<Box> boxes;
    std::vector<std::string> events; // order of outward effects
    int graphClears = 0;
    int imagesReplaced = 0;
    std::vector<std::pair<uint8_t, int>> curvesChanged;
    // Decides what each USB report write returns (index counts from 0 over the whole test).
    std::function<bool(size_t index)> usbResult = [](size_t) { return true; };

    void SetUp() override {
        InitCoreState(s);
        CoreHooks& h = s.hooks;
        h.writeFrame = [this](const uint8_t* d, size_t n) {
            frames.emplace_back(d, d + n);
            events.push_back("frame");
        };
        h.writeUsbReport = [this](const uint8_t* r, bool first) {
            reports.emplace_back(r, r + kUsbReportSize);
            firstOfFrame.push_back(first);
            return usbResult(reports.size() - 1);
        };
        h.closeLink = [this] { events.push_back("close"); };
        h.postMessage = [this](uint32_t m, uint32_t w, uint32_t l) {
            posted.push_back({m, w, l});
            events.push_back("post");
        };
        h.showMessage = [this](const char* text, const char* caption) {
            boxes.push_back({text, caption ? caption : ""});
            events.push_back("box");
        };
        h.clearGraphPendingEdit = [this] { ++graphClears; };
        h.imageReplaced = [this] {
            ++imagesReplaced;
            events.push_back("image");
        };
        h.channelCurvesChanged = [this](uint8_t kind, int channel) {
            curvesChanged.emplace_back(kind, channel);
        };
        h.traceSent = [this](const uint8_t* d, size_t n) { traced.emplace_back(d, d + n); };
        h.traceFrameReceived = [this](const uint8_t* d, size_t n) { received.emplace_back(d, d + n); };
    }

    // Connected with the processor's image in place and the scheduler idle: the state every edit meets.
    void ConnectIdle(LinkType link = LinkType::Serial) {
        s.linkConnected = 1;
        s.activeLink = link;
        s.deviceAddress = 1;
        s.linkConfirmed = 2;
        s.scheduler.state = SchedState::Idle;
    }
    // The timelines of writes, loads and heartbeats, without the verify reads that follow them.
    void WithoutVerifyReads() {
        s.verify.settings.afterEdits = 0;
        s.verify.settings.periodTicks = 0;
    }

    void Tick(int n = 1) {
        for (int i = 0; i < n; ++i) SchedulerTick(s);
    }

    void Feed(const Bytes& chunk) { FeedBytes(s, chunk.data(), static_cast<int16_t>(chunk.size())); }
    // The processor's answer to an image read: the whole image.
    void FeedImage(const DeviceImage& image) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(&image);
        Feed(Reply(kCmdProgramLoad, 0, Bytes(bytes, bytes + kImageSize)));
    }

    static Sent Fields(const Bytes& f) {
        return {f[5], f[6], f[7], f[8], f[9], static_cast<uint16_t>(f[10] | (f[11] << 8))};
    }
    // The frames sent from index `from` on.
    std::vector<Sent> SentSince(size_t from = 0) const {
        std::vector<Sent> out;
        for (size_t i = from; i < frames.size(); ++i) out.push_back(Fields(frames[i]));
        return out;
    }
    // Ticks n times and returns the tick numbers (1-based) on which a frame with `command` went out.
    std::vector<int> SendTicks(int n, uint8_t command) {
        std::vector<int> at;
        for (int t = 1; t <= n; ++t)
            for (const Sent& f : TickSends())
                if (f.command == command) at.push_back(t);
        return at;
    }
    // Ticks once and returns what that tick sent (at most one frame in every state).
    std::vector<Sent> TickSends() {
        const size_t before = frames.size();
        Tick();
        return SentSince(before);
    }
};

inline Sent Write(uint8_t kind, uint8_t channel, uint8_t index) {
    const uint16_t length = kind == kKindInput && index >= 12 ? 2 : 8;
    return {kCmdParamWrite, kind, 0, channel, index, length};
}
inline Sent Block(uint8_t kind, uint8_t channel) {
    return {kCmdBlockWrite, kind, 0, channel, 0, static_cast<uint16_t>(BlockSize(kind))};
}
inline const Sent kHeartbeat{kCmdHeartbeat, 0, 0, 0, 0, 0};

} // namespace velmar::test
