// The parser fuzz harness shared by the FeedBytes and FeedReport targets: arbitrary bytes in arbitrary
// chunks (or reports) into a connected core, checked against the reference reassembly and against what a
// verified reply is allowed to change.
#pragma once

#include "FuzzSupport.h"

#include "core/Image.h"
#include "core/ReplyParser.h"
#include "core/Scheduler.h"

#include <cstddef>
#include <cstring>
#include <memory>
#include <vector>

namespace velmar::fuzz {

namespace detail {

// The state the replies meet, with link groups that only a handshake reply may reset.
// mode: bits 0-2 device configuration, 3-4 scheduler state, 5 USB link (else serial), 6-7 chunk style.
inline void Prepare(CoreState& s, uint8_t mode, uint8_t shownOutput) {
    InitCoreState(s);
    s.linkConnected = 1;
    s.activeLink = (mode & 0x20) ? LinkType::Usb : LinkType::Serial;
    s.deviceAddress = 1;
    s.deviceConfig = static_cast<uint8_t>(3 + (mode & 7) % 5);
    s.selectedOutputChannel = static_cast<uint8_t>(shownOutput & 7);
    // Where the scheduler stands when the bytes arrive: idle, handshake or load sent, a write streaming.
    switch ((mode >> 3) & 3) {
    case 0:
        s.linkConfirmed = 2;
        s.scheduler.state = SchedState::Idle;
        break;
    case 1:
        QueueHandshake(s);
        break;
    case 2:
        QueueProgramLoad(s, 0);
        break;
    default:
        s.linkConfirmed = 2;
        s.scheduler.state = SchedState::Idle;
        QueueParamWrite(s, kKindOutput, 2, 3);
        MarkParamDirty(s, kKindOutput, 5, 7);
        break;
    }
    for (int i = 0; i < kInputCount; ++i) s.inputLinkGroup[i] = static_cast<uint8_t>(i & ~1);
    for (int i = 0; i < kOutputCount; ++i) s.outputLinkGroup[i] = static_cast<uint8_t>(i & ~3);
    for (size_t i = 0; i < kImageSize; ++i)
        reinterpret_cast<uint8_t*>(&s.importImage)[i] = static_cast<uint8_t>(i * 7);
}

inline bool Identity(const uint8_t* groups, int n) {
    for (int i = 0; i < n; ++i)
        if (groups[i] != i) return false;
    return true;
}

// Each unit of `image` (8-byte units, the graphic-equaliser words one by one) equals that unit of
// `start` or of one of `others`.
inline bool UnitsFromOneOf(const DeviceImage& image, const DeviceImage& start,
                           const std::vector<DeviceImage>& others) {
    const auto* now = reinterpret_cast<const uint8_t*>(&image);
    auto matches = [&](size_t offset, size_t size) {
        if (std::memcmp(now + offset, reinterpret_cast<const uint8_t*>(&start) + offset, size) == 0) return true;
        for (const DeviceImage& o : others)
            if (std::memcmp(now + offset, reinterpret_cast<const uint8_t*>(&o) + offset, size) == 0) return true;
        return false;
    };
    for (int c = 0; c < kInputCount; ++c) {
        const size_t base = static_cast<size_t>(c) * sizeof(InputBlock);
        for (size_t u = 0; u < offsetof(InputBlock, geq); u += 8)
            if (!matches(base + u, 8)) return false;
        for (size_t w = offsetof(InputBlock, geq); w < sizeof(InputBlock); w += 2)
            if (!matches(base + w, 2)) return false;
    }
    for (int c = 0; c < kOutputCount; ++c) {
        const size_t base = kInputCount * sizeof(InputBlock) + static_cast<size_t>(c) * sizeof(OutputBlock);
        for (size_t u = 0; u < sizeof(OutputBlock); u += 8)
            if (!matches(base + u, 8)) return false;
    }
    return true;
}

} // namespace detail

// usb: the bytes are 65-byte reports (report number first) for FeedReport; otherwise FeedBytes chunks.
inline int RunParserInput(const uint8_t* data, size_t size, bool usb) {
    if (size < 3) return 0;
    const uint8_t mode = data[0];
    const uint8_t shownOutput = data[1];
    Chunker chunker(static_cast<uint16_t>(data[1] | (data[2] << 8)), static_cast<uint8_t>(mode >> 6));
    data += 3;
    size -= 3;

    auto owner = std::make_unique<CoreState>();
    CoreState& s = *owner;
    detail::Prepare(s, mode, shownOutput);
    const DeviceImage startImage = s.image;
    const DeviceImage startImport = s.importImage;
    uint8_t startInputGroups[kInputCount], startOutputGroups[kOutputCount];
    std::memcpy(startInputGroups, s.inputLinkGroup, sizeof startInputGroups);
    std::memcpy(startOutputGroups, s.outputLinkGroup, sizeof startOutputGroups);
    SystemBlock startSystem = s.system;

    std::vector<Bytes> dispatched;
    bool sawNames = false, sawHandshake = false;
    s.hooks.traceFrameReceived = [&](const uint8_t* f, size_t n) {
        // A frame reaches the dispatcher only whole and verified.
        VELMAR_FUZZ_CHECK(WireFrameValid(f, n));
        dispatched.emplace_back(f, f + n);
    };
    s.hooks.writeFrame = [](const uint8_t* f, size_t n) { VELMAR_FUZZ_CHECK(WireFrameValid(f, n)); };
    Bytes usbFrame;
    s.hooks.writeUsbReport = [&](const uint8_t* report, bool first) {
        if (first) usbFrame.clear();
        usbFrame.insert(usbFrame.end(), report, report + kUsbReportSize);
        return true;
    };
    s.hooks.traceSent = [](const uint8_t* f, size_t n) { VELMAR_FUZZ_CHECK(WireFrameValid(f, n)); };

    ReferenceReassembly reference;
    std::vector<Bytes> expected;
    size_t at = 0;
    while (at < size) {
        if (usb) {
            uint8_t report[1 + kUsbReportSize] = {};
            const size_t n = std::min<size_t>(1 + kUsbReportSize, size - at);
            std::memcpy(report, data + at, n); // a short last report is padded with zeros
            at += n;
            FeedReport(s, report);
            reference.feed(report + 1, kUsbReportSize, expected);
        } else {
            const size_t n = std::min(chunker.next(), size - at);
            FeedBytes(s, data + at, static_cast<int16_t>(n));
            reference.feed(data + at, n, expected);
            at += n;
        }
        VELMAR_FUZZ_CHECK(s.rx.index < kMaxFrame - 1);
        VELMAR_FUZZ_CHECK(dispatched.size() == expected.size());
        if (chunker.coin(4)) SchedulerTick(s); // the scheduler copes with whatever the replies did
        VELMAR_FUZZ_CHECK(s.scheduler.state <= SchedState::GiveUp);
    }
    VELMAR_FUZZ_CHECK(dispatched == expected);

    std::vector<DeviceImage> images;
    for (const Bytes& f : dispatched) {
        const uint8_t command = f[5], p1 = f[6];
        const size_t length = f.size() - kFrameOverhead;
        if (command == 0xA2 && (p1 == 5 || p1 == 6)) sawNames = true;
        if (command == 0xA2 && p1 == 6) sawHandshake = true;
        if (command == 0xA6 && length == kImageSize) {
            images.emplace_back();
            std::memcpy(&images.back(), f.data() + 12, kImageSize);
            ClampImage(images.back());
        }
    }

    // The image changes only by whole image replies: one awaited replaces it, one compared takes the
    // units the PC did not write. So every unit is as it was or as one of those replies has it, clamped.
    VELMAR_FUZZ_CHECK(detail::UnitsFromOneOf(s.image, startImage, images));
    // What no reply may touch.
    VELMAR_FUZZ_CHECK(std::memcmp(&startImport, &s.importImage, kImageSize) == 0);
    VELMAR_FUZZ_CHECK(s.linkConnected == 1 && s.deviceAddress == 1);
    VELMAR_FUZZ_CHECK(s.activeLink == ((mode & 0x20) ? LinkType::Usb : LinkType::Serial));
    // Link groups: reset to no links by a handshake reply that was taken (a late one is ignored),
    // otherwise as they were.
    if (sawHandshake) {
        const bool reset = detail::Identity(s.inputLinkGroup, kInputCount) &&
                           detail::Identity(s.outputLinkGroup, kOutputCount);
        const bool kept = std::memcmp(startInputGroups, s.inputLinkGroup, kInputCount) == 0 &&
                          std::memcmp(startOutputGroups, s.outputLinkGroup, kOutputCount) == 0;
        VELMAR_FUZZ_CHECK(reset || kept);
    } else {
        VELMAR_FUZZ_CHECK(std::memcmp(startInputGroups, s.inputLinkGroup, kInputCount) == 0);
        VELMAR_FUZZ_CHECK(std::memcmp(startOutputGroups, s.outputLinkGroup, kOutputCount) == 0);
        VELMAR_FUZZ_CHECK(std::memcmp(&startSystem, &s.system, sizeof startSystem) == 0);
    }
    if (!sawNames) {
        // The start names stand until a name list or a handshake reply.
        auto fresh = std::make_unique<CoreState>();
        ResetProgramNames(*fresh);
        VELMAR_FUZZ_CHECK(std::memcmp(fresh->programNames, s.programNames, sizeof s.programNames) == 0);
    }
    // Every stored name stays terminated.
    for (const auto& name : s.programNames)
        VELMAR_FUZZ_CHECK(std::memchr(name, 0, kProgramNameSize) != nullptr);
    // A USB frame cut into reports reads back as a valid frame followed by zeros.
    if (!usbFrame.empty()) {
        const size_t length = static_cast<size_t>(usbFrame[10]) | (static_cast<size_t>(usbFrame[11]) << 8);
        VELMAR_FUZZ_CHECK(length + kFrameOverhead <= usbFrame.size());
        VELMAR_FUZZ_CHECK(WireFrameValid(usbFrame.data(), length + kFrameOverhead));
    }
    return 0;
}

} // namespace velmar::fuzz
