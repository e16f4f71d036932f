// Verify and repair: the compare of the processor's image with ours, unit by unit.
#include "core/Verify.h"

#include "core/Image.h"
#include "core/Scheduler.h"

#include <algorithm>
#include <cstring>

namespace velmar {

namespace {

constexpr int kFirstGeqUnit = 12;
constexpr int kCarriedGeqUnit = 43; // the 32nd word: carried, no band of its own
constexpr int kLastInputUnit = 43;
constexpr int kLastOutputUnit = 14;
constexpr int kReplyMarginTicks = 10;
constexpr int kSerialBitsPerSecond = 19200;
constexpr int kBitsPerSerialByte = 10;
constexpr int kUsbMsPerReport = 4;

// The bytes of one named field inside a unit.
struct Span {
    uint8_t offset, size;
};

// Named fields of each layout of unit; what lies outside them is spare.
constexpr Span kChannelUnit[] = {{0, 1}, {1, 1}, {2, 2}, {4, 2}, {6, 1}}; // mute, polarity, gain, delay,
                                                                          // gate or routing
constexpr Span kBandUnit[] = {{0, 2}, {2, 2}, {4, 2}, {6, 1}, {7, 1}};
constexpr Span kGeqWord[] = {{0, 2}};
constexpr Span kCompressorUnit[] = {{0, 2}, {2, 1}, {3, 1}, {4, 1}};
constexpr Span kCrossoverUnit[] = {{0, 2}, {2, 1}, {3, 1}, {4, 2}, {6, 1}, {7, 1}};

struct UnitLayout {
    const Span* spans;
    int count;
};

template <size_t N> constexpr UnitLayout Layout(const Span (&spans)[N]) {
    return {spans, static_cast<int>(N)};
}

UnitLayout LayoutOf(uint8_t kind, int unit) {
    if (kind == kKindInput) {
        if (unit == 1) return Layout(kChannelUnit);
        if (unit >= 2 && unit <= 11) return Layout(kBandUnit);
        if (unit >= kFirstGeqUnit && unit < kCarriedGeqUnit) return Layout(kGeqWord);
        return {nullptr, 0};
    }
    switch (unit) {
    case 1:
        return Layout(kChannelUnit);
    case 2:
        return Layout(kCompressorUnit);
    case 3:
        return Layout(kCrossoverUnit);
    default:
        if (unit >= 4 && unit <= 13) return Layout(kBandUnit);
        return {nullptr, 0};
    }
}

// Offset and size of a unit inside its block.
void UnitBytes(uint8_t kind, int unit, size_t& offset, size_t& size) {
    if (kind == kKindInput && unit >= kFirstGeqUnit) {
        offset = offsetof(InputBlock, geq) + 2 * static_cast<size_t>(unit - kFirstGeqUnit);
        size = 2;
    } else {
        offset = 8 * static_cast<size_t>(unit);
        size = 8;
    }
}

int UnitsOf(uint8_t kind) {
    return kind == kKindInput ? kLastInputUnit + 1 : kLastOutputUnit + 1;
}

int ChannelsOf(uint8_t kind) {
    return kind == kKindInput ? kInputCount : kOutputCount;
}

template <typename F> void ForEachUnit(F&& f) {
    for (const uint8_t kind : {kKindInput, kKindOutput})
        for (int c = 0; c < ChannelsOf(kind); ++c)
            for (int u = 0; u < UnitsOf(kind); ++u) f(kind, c, u);
}

void Stamp(CoreState& s, int index) {
    VerifyState& v = s.verify;
    v.unitStamp[index] = ++v.stamp;
    v.written[index] = 1;
    s.scheduler.storeChecked = 0;
    if (v.status == SyncStatus::Synced) SetSyncStatus(s, SyncStatus::Checking);
}

} // namespace

int UnitIndex(uint8_t kind, int channel, int unit) {
    if (kind == kKindInput && channel >= 0 && channel < kInputCount && unit >= 0 && unit < kInputUnits)
        return channel * kInputUnits + unit;
    if (kind == kKindOutput && channel >= 0 && channel < kOutputCount && unit >= 0 && unit < kOutputUnits)
        return kInputCount * kInputUnits + channel * kOutputUnits + unit;
    return -1;
}

void NoteUnitWritten(CoreState& s, uint8_t kind, int channel, int unit) {
    const int index = UnitIndex(kind, channel, unit);
    if (index >= 0) Stamp(s, index);
}

void NoteBlockWritten(CoreState& s, uint8_t kind, int channel) {
    if (channel < 0 || channel >= ChannelsOf(kind)) return;
    for (int u = 0; u < UnitsOf(kind); ++u) Stamp(s, UnitIndex(kind, channel, u));
}

void NoteImageWritten(CoreState& s) {
    ForEachUnit([&](uint8_t kind, int c, int u) { Stamp(s, UnitIndex(kind, c, u)); });
}

namespace {

// Nothing written waits for a verify read, nothing differs, no repair under way.
void ForgetRepairs(VerifyState& v) {
    std::memset(v.written, 0, sizeof v.written);
    std::memset(v.differs, 0, sizeof v.differs);
    v.rounds = 0;
    v.repaired = 0;
    v.unconfirmed = 0;
    v.sinceRead = 0;
    v.requested = 0;
}

} // namespace

void VerifyImageReplaced(CoreState& s) {
    VerifyState& v = s.verify;
    ForgetRepairs(v);
    v.device = s.image;
    s.scheduler.storeChecked = 1;
    SetSyncStatus(s, SyncStatus::Synced);
}

void VerifyReset(CoreState& s) {
    VerifyState& v = s.verify;
    ForgetRepairs(v);
    v.onWire = 0;
    v.waitTicks = 0;
    v.sends = 0;
    v.probe = 0;
    v.quiet = 0;
    SetSyncStatus(s, SyncStatus::Unknown);
}

void RequestVerify(CoreState& s) {
    s.verify.requested = 1;
}

bool AnyUnitWritten(const CoreState& s) {
    for (uint8_t w : s.verify.written)
        if (w) return true;
    return false;
}

bool VerifyAgreed(const CoreState& s) {
    return s.verify.status == SyncStatus::Synced && !AnyUnitWritten(s);
}

int DifferingFields(const DeviceImage& a, const DeviceImage& b, uint8_t kind, int channel, int unit) {
    if (UnitIndex(kind, channel, unit) < 0) return 0;
    size_t offset = 0, size = 0;
    UnitBytes(kind, unit, offset, size);
    const uint8_t* pa = BlockBytes(a, kind, channel) + offset;
    const uint8_t* pb = BlockBytes(b, kind, channel) + offset;
    const UnitLayout layout = LayoutOf(kind, unit);
    int n = 0;
    for (int i = 0; i < layout.count; ++i)
        if (std::memcmp(pa + layout.spans[i].offset, pb + layout.spans[i].offset, layout.spans[i].size) != 0)
            ++n;
    return n;
}

void VerifyCompare(CoreState& s, const uint8_t* processorImage) {
    VerifyState& v = s.verify;
    std::memcpy(&v.device, processorImage, kImageSize);
    ClampImage(v.device);
    v.onWire = 0;
    v.waitTicks = 0;
    v.sends = 0;
    v.sinceRead = 0;

    int taken = 0, resent = 0, repairedFields = 0, fieldsLeft = 0;
    bool channelTaken[kInputCount + kOutputCount] = {};
    ForEachUnit([&](uint8_t kind, int c, int u) {
        const int index = UnitIndex(kind, c, u);
        // Edited since the read was asked for: the reply cannot tell whether the edit arrived.
        if (v.unitStamp[index] > v.askedStamp) return;
        size_t offset = 0, size = 0;
        UnitBytes(kind, u, offset, size);
        uint8_t* ours = BlockBytes(s.image, kind, c) + offset;
        const uint8_t* theirs = BlockBytes(v.device, kind, c) + offset;
        const int fields = DifferingFields(s.image, v.device, kind, c, u);
        if (fields == 0) {
            // Agreement on every named field; spare bytes follow the processor.
            std::memcpy(ours, theirs, size);
            v.written[index] = 0;
            v.differs[index] = 0;
        } else if (v.written[index]) {
            MarkParamDirty(s, kind, c, u);
            // Counted once however many rounds it takes.
            if (!v.differs[index]) repairedFields += fields;
            v.differs[index] = 1;
            ++resent;
            fieldsLeft += fields;
        } else {
            // Changed at the unit or from another computer: the processor is the master copy.
            std::memcpy(ours, theirs, size);
            v.differs[index] = 0;
            channelTaken[kind == kKindInput ? c : kInputCount + c] = true;
            taken += fields;
        }
    });

    if (taken > 0) {
        for (int i = 0; i < kInputCount + kOutputCount; ++i) {
            if (!channelTaken[i]) continue;
            const bool input = i < kInputCount;
            if (s.hooks.channelCurvesChanged)
                s.hooks.channelCurvesChanged(input ? kKindInput : kKindOutput, input ? i : i - kInputCount);
        }
        if (s.hooks.postMessage) s.hooks.postMessage(kMsgRefresh, 0, 255);
        RaiseEvent(s, CoreEvent::ProcessorChanged, taken);
    }

    if (resent == 0) {
        if (v.repaired > 0) RaiseEvent(s, CoreEvent::Repaired, v.repaired);
        v.repaired = 0;
        v.rounds = 0;
        v.unconfirmed = 0;
        const bool settled = !AnyUnitWritten(s);
        if (settled) s.scheduler.storeChecked = 1;
        SetSyncStatus(s, settled ? SyncStatus::Synced : SyncStatus::Checking);
        return;
    }
    v.repaired = static_cast<uint16_t>(std::min(65535, v.repaired + repairedFields));
    if (v.rounds < 255) ++v.rounds;
    if (v.rounds >= v.settings.maxRounds) {
        v.unconfirmed = static_cast<uint16_t>(fieldsLeft);
        SetSyncStatus(s, SyncStatus::Unconfirmed);
        RaiseEvent(s, CoreEvent::SyncChanged, fieldsLeft);
        if (s.scheduler.storeProgram) {
            const int program = s.scheduler.storeProgram;
            s.scheduler.storeProgram = 0;
            RaiseEvent(s, CoreEvent::StoreFailed, program);
        }
    } else if (v.status != SyncStatus::Unconfirmed) {
        SetSyncStatus(s, SyncStatus::Checking);
    }
}

int ReplyWaitTicks(const CoreState& s, size_t requestBytes, size_t replyBytes) {
    size_t ms = 0;
    switch (s.activeLink) {
    case LinkType::Serial:
        ms = (requestBytes + replyBytes) * kBitsPerSerialByte * 1000 / kSerialBitsPerSecond;
        break;
    case LinkType::Usb:
        ms = ((requestBytes + kUsbReportSize - 1) / kUsbReportSize + (replyBytes + kUsbReportSize - 1) / kUsbReportSize) *
             kUsbMsPerReport;
        break;
    case LinkType::Tcp:
        break;
    }
    return static_cast<int>((ms + 99) / 100) + kReplyMarginTicks;
}

size_t UnconfirmedUnits(const CoreState& s, UnitRef* out, size_t capacity) {
    size_t n = 0;
    ForEachUnit([&](uint8_t kind, int c, int u) {
        if (!s.verify.differs[UnitIndex(kind, c, u)]) return;
        if (out && n < capacity) out[n] = {kind, c, u};
        ++n;
    });
    return n;
}

void SetSyncStatus(CoreState& s, SyncStatus status) {
    if (s.verify.status == status) return;
    s.verify.status = status;
    RaiseEvent(s, CoreEvent::SyncChanged, 0);
}

void RaiseEvent(CoreState& s, CoreEvent event, int value) {
    if (s.hooks.event) s.hooks.event(event, value);
}

} // namespace velmar
