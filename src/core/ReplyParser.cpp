// The reply parser: frame reassembly from received chunks, verification, dispatch and link supervision.
#include "core/ReplyParser.h"

#include "core/CoreMessages.h"
#include "core/Encoder.h"
#include "core/Image.h"
#include "core/Scheduler.h"
#include "core/Verify.h"

#include <cstring>

namespace velmar {

namespace {

// Offsets in the receive buffer, which starts at the third sync byte.
constexpr int kBufCommand = 3;
constexpr int kBufP1 = 4;
constexpr int kBufLengthLow = 8;
constexpr int kBufLengthHigh = 9;
constexpr int kBufPayload = 10;
constexpr int kBufOverhead = 12; // third sync .. length, checksum, end byte

constexpr uint8_t kSilenceLimit = 60;
constexpr int kNamesRecord = 16;
constexpr int kHandshakeNames = 21; // entries 0..20 follow the system block
constexpr int kListedNames = 19;    // the name list fills entries 1..19

int16_t LengthField(const uint8_t* buf) {
    return static_cast<int16_t>(buf[kBufLengthLow] | (buf[kBufLengthHigh] << 8));
}

// The payload of a verified frame. A fixed layout read past the length the frame carries reads zeros,
// never bytes left over from earlier frames.
struct Payload {
    const uint8_t* bytes;
    int length;
    uint8_t at(int i) const { return i >= 0 && i < length ? bytes[i] : 0; }
};

void StoreName(char* entry, const Payload& p, int offset, int chars) {
    std::memset(entry, 0, kProgramNameSize);
    for (int k = 0; k < chars; ++k) entry[k] = static_cast<char>(p.at(offset + k));
}

void ApplyHandshake(CoreState& s, const Payload& p) {
    for (int i = 0; i < kSystemBlockSize; ++i) s.system.bytes[i] = p.at(i);
    for (int i = 0; i < kHandshakeNames; ++i)
        StoreName(s.programNames[i], p, kSystemBlockSize + kNamesRecord * i, kProgramNameChars);
    ResetLinkGroups(s);
    s.deviceConfigPending = 1;
    s.linkConfirmed = 1;
    QueueProgramLoad(s, 0);
}

// The name check's handshake: only the checked name is looked at; the system block, the other names,
// the link groups and the image stay as they are.
void CheckName(CoreState& s, const Payload& p) {
    const int program = s.scheduler.nameProgram;
    const int offset = kSystemBlockSize + kNamesRecord * program;
    bool matches = true;
    for (int k = 0; k < kProgramNameChars - 1; ++k) {
        const char ours = s.programNames[program][k];
        matches = matches && static_cast<uint8_t>(ours) == p.at(offset + k);
        if (ours == 0) break; // what follows the terminator is not significant
    }
    NameCheckAnswered(s, matches);
}

void ApplyImage(CoreState& s, const Payload& p, bool awaitingImage) {
    // An image reply that does not carry the whole image is not applied: the screen would show bytes
    // the processor never sent. The wait goes on and its timeout sends the read again.
    if (p.length != static_cast<int>(kImageSize)) return;
    CommandScheduler& q = s.scheduler;
    if (!awaitingImage) {
        // A verify read's reply, or an image nobody waits for any more: compared, never applied whole,
        // so an edit made since it was asked for is never undone on the screen.
        if (q.state == SchedState::CompareRead) ReturnToIdle(s);
        VerifyCompare(s, p.bytes);
        return;
    }
    if (q.imagesDue > 0) --q.imagesDue;
    s.linkConfirmed = 2;
    if (q.state == SchedState::ImageWrite) {
        // A program file was imported while this image was on its way: its image write goes to the
        // processor after the load this answers and replaces the image there too, so the screen keeps
        // the imported image (and the edits waiting behind the import stay marked).
        if (s.hooks.postMessage) s.hooks.postMessage(kMsgRefresh, 0, 255);
        return;
    }
    std::memcpy(&s.image, p.bytes, kImageSize);
    ClampImage(s.image);
    // The processor's image stands: flags from before it are never sent over it.
    ClearAllDirty(s);
    VerifyImageReplaced(s);
    // Another load's image still to come keeps the wait going: nothing may go out ahead of it.
    if (q.imagesDue == 0 && q.state == SchedState::ProgramLoad) {
        const uint8_t program = q.p2;
        ReturnToIdle(s);
        RaiseEvent(s, CoreEvent::LoadDone, program);
    } else if (q.imagesDue == 0) {
        ReturnToIdle(s);
    }
    if (s.hooks.imageReplaced) s.hooks.imageReplaced();
    if (s.hooks.postMessage) s.hooks.postMessage(kMsgRefresh, 0, 255);
}

void ApplyMeters(CoreState& s, const Payload& p) {
    MeterLevels& m = s.meterLevels;
    if (s.deviceConfig == 3 || s.deviceConfig == 4 || s.deviceConfig == 6) {
        // The smaller models report their two extra outputs first.
        for (int i = 0; i < kInputCount; ++i) m.inputLevel[i] = p.at(i);
        m.outputLevel[6] = p.at(4);
        m.outputLevel[7] = p.at(5);
        for (int i = 0; i < 6; ++i) m.outputLevel[i] = p.at(6 + i);
    } else {
        for (int i = 0; i < kInputCount; ++i) m.inputLevel[i] = p.at(i);
        for (int i = 0; i < kOutputCount; ++i) m.outputLevel[i] = p.at(kInputCount + i);
        for (int i = 0; i < 4; ++i) m.extra[i] = p.at(kInputCount + kOutputCount + i);
    }
    m.selectedOutputLevel =
        s.selectedOutputChannel < kOutputCount ? m.outputLevel[s.selectedOutputChannel] : 0;
}

void EndWait(CommandScheduler& q) {
    q.sent = 0;
    q.tickCounter = 0;
}

// A handshake, program load, verify read or name check that has gone out is answered only by its own
// reply. The whole image that follows a handshake or load replaces the application's image, so a late
// reply to an earlier command must not end the wait: an edit would then go out ahead of the image, the
// processor would keep it and the image reply would overwrite it on the screen.
bool AwaitingWholeImage(const CommandScheduler& q) {
    return (q.onWire && (q.state == SchedState::Handshake || q.state == SchedState::ProgramLoad)) ||
           q.imagesDue > 0;
}

bool AwaitingOwnReply(const CommandScheduler& q) {
    return AwaitingWholeImage(q) ||
           (q.onWire && (q.state == SchedState::CompareRead || q.state == SchedState::NameCheck));
}

// Replies that end a store's or an image write's wait, with the result reported.
void EndCommand(CoreState& s) {
    CommandScheduler& q = s.scheduler;
    const SchedState was = q.state;
    const uint8_t program = q.p2;
    if (!PendingOnWire(s)) return;
    ReturnToIdle(s);
    if (was == SchedState::ProgramStore) {
        q.storeProgram = 0;
        RaiseEvent(s, CoreEvent::StoreDone, program);
    } else if (was == SchedState::ImageWrite) {
        RaiseEvent(s, CoreEvent::ImportDone, 0);
        RequestVerify(s);
    }
}

// One byte of the stream; true when it completed a frame (valid or not), which ends the chunk.
bool FeedByte(CoreState& s, uint8_t b) {
    ReceiveState& rx = s.rx;
    if (!rx.inFrame) {
        if (b == kFrameSync) {
            if (++rx.syncCount >= 3) rx.inFrame = 1;
        } else {
            rx.syncCount = 0;
        }
        rx.index = 0;
        if (!rx.inFrame) return false;
    }
    rx.syncCount = 0;
    if (rx.index >= sizeof rx.buffer) { // cannot happen while lengths are judged below; never write past it
        rx.inFrame = 0;
        rx.index = 0;
        return false;
    }
    rx.buffer[rx.index++] = b;
    if (rx.index < kBufPayload) return false;

    // Both length bytes are in: a length that cannot fit the buffer drops the frame at once and is
    // forgotten, so it can never judge the next frame.
    const int16_t length = LengthField(rx.buffer);
    if (length < 0 || length > kMaxPayload) {
        rx.inFrame = 0;
        rx.index = 0;
        rx.buffer[kBufLengthLow] = 0;
        rx.buffer[kBufLengthHigh] = 0;
        return false;
    }
    if (rx.index < length + kBufOverhead) return false;

    rx.inFrame = 0;
    rx.index = 0;
    const uint8_t checksum = rx.buffer[kBufPayload + length];
    const uint8_t end = rx.buffer[kBufPayload + length + 1];
    uint8_t x = 0;
    for (int i = 0; i < kBufPayload + length; ++i) x ^= rx.buffer[i];
    if (end == kFrameEnd && x == checksum) {
        const size_t size = static_cast<size_t>(length) + kBufOverhead;
        if (s.hooks.traceFrameReceived) {
            uint8_t wire[kMaxFrame];
            wire[0] = kFrameSync;
            wire[1] = kFrameSync;
            std::memcpy(wire + 2, rx.buffer, size);
            s.hooks.traceFrameReceived(wire, size + 2);
        }
        DispatchFrame(s, rx.buffer, size);
    }
    return true;
}

} // namespace

void FeedBytes(CoreState& s, const uint8_t* bytes, int16_t count) {
    if (bytes == nullptr || count <= 0) return;
    s.rx.silenceCounter = 0;
    // The processor answers one frame per chunk; what follows a completed frame is dropped.
    for (int i = 0; i < count; ++i)
        if (FeedByte(s, bytes[i])) break;
}

void FeedReport(CoreState& s, const uint8_t* report) {
    if (report == nullptr) return;
    s.rx.silenceCounter = 0;
    for (int i = 1; i <= kUsbReportSize; ++i)
        if (FeedByte(s, report[i])) break;
}

void DispatchFrame(CoreState& s, const uint8_t* frame, size_t size) {
    if (frame == nullptr || size < static_cast<size_t>(kBufOverhead)) return;
    const int16_t length = LengthField(frame);
    if (length < 0 || length > kMaxPayload || size < static_cast<size_t>(length) + kBufOverhead) return;
    const Payload p{frame + kBufPayload, length};
    CommandScheduler& q = s.scheduler;
    const bool awaitingImage = AwaitingWholeImage(q);
    const bool ownReplyOnly = AwaitingOwnReply(q);

    switch (frame[kBufCommand]) {
    case 0xA2:
        switch (frame[kBufP1]) {
        case 5:
            for (int i = 1; i <= kListedNames; ++i)
                StoreName(s.programNames[i], p, kNamesRecord * i, kProgramNameChars - 1);
            break;
        case kHandshakeAsk:
            if (q.state == SchedState::NameCheck && q.onWire)
                CheckName(s, p);
            else if (q.state == SchedState::Handshake || s.linkConfirmed == 0)
                ApplyHandshake(s, p);
            // Otherwise a late answer to an earlier send of the handshake: the connection has moved on,
            // and reading the image again would throw away the edits made since.
            break;
        case 21:
        case 22:
            if (!ownReplyOnly) EndCommand(s);
            break;
        default:
            break;
        }
        break;
    case 0xA3:
        if (ownReplyOnly) break;
        if (q.moreDirty)
            EndWait(q);
        else
            ReturnToIdle(s);
        break;
    case 0xA4:
    case 0xA5:
        if (!ownReplyOnly) EndCommand(s);
        break;
    case 0xA6:
        ApplyImage(s, p, awaitingImage);
        break;
    case 0xA9:
        ApplyMeters(s, p);
        break;
    case 0xAA:
        if (!q.moreDirty && !ownReplyOnly) ReturnToIdle(s);
        break;
    case 0xAE:
        if (!ownReplyOnly) EndWait(q);
        break;
    default:
        break;
    }
}

void LinkSupervisionTick(CoreState& s) {
    ReceiveState& rx = s.rx;
    if (!s.linkConnected) {
        rx.silenceCounter = 0;
        return;
    }
    if (++rx.silenceCounter <= kSilenceLimit) return;

    // The link is marked down first: from here on the scheduler and this supervision are quiet, so the
    // loss raises exactly one message even while the box runs its own event loop. The link is closed
    // before the box is shown, so nothing arrives from a dead link behind it.
    rx.silenceCounter = 0;
    s.linkConnected = 0;
    // Nothing is known of the processor's image any more; the next connection reads it again.
    VerifyReset(s);
    if (s.hooks.postMessage) s.hooks.postMessage(kMsgRefresh, 0xAA, 0xBB);
    switch (s.activeLink) {
    case LinkType::Serial:
        if (s.hooks.closeLink) s.hooks.closeLink();
        ShowCoreMessage(s, CoreMessage::ComConnectError);
        break;
    case LinkType::Usb:
        // The USB handles stay open: device removal is handled by the USB link itself.
        ShowCoreMessage(s, CoreMessage::UsbConnectError);
        break;
    case LinkType::Tcp:
        if (s.hooks.closeLink) s.hooks.closeLink();
        ShowCoreMessage(s, CoreMessage::WifiConnectError);
        break;
    }
}

} // namespace velmar
