// The command scheduler: the single pending command, its retries and the heartbeat, driven by the tick.
#include "core/Scheduler.h"

#include "core/Encoder.h"

#include <cstring>

namespace velmar {

namespace {

constexpr uint8_t kHandshakeLimit = 15;
constexpr uint8_t kBlockLimit = 20;
constexpr uint8_t kImageLimit = 30;
constexpr uint8_t kMaxRetries = 3;
constexpr uint8_t kHeartbeatIdleTicks = 10;
constexpr uint8_t kHeartbeatRepeat = 20;
constexpr int kFirstGeqParam = 12;
constexpr int kLastInputParam = 43;
constexpr int kLastOutputParam = 13;
constexpr uint8_t kImageConfirmed = 2;

bool ValidParam(uint8_t kind, int channel, int index) {
    if (kind == kKindInput)
        return channel >= 0 && channel < kInputCount && index >= 1 && index <= kLastInputParam;
    if (kind == kKindOutput)
        return channel >= 0 && channel < kOutputCount && index >= 1 && index <= kLastOutputParam;
    return false;
}

bool ValidBlock(uint8_t kind, int channel) {
    if (kind == kKindInput) return channel >= 0 && channel < kInputCount;
    if (kind == kKindOutput) return channel >= 0 && channel < kOutputCount;
    return false;
}

uint8_t& BlockFlag(CoreState& s, uint8_t kind, int channel) {
    return s.dirty.block[kind == kKindInput ? channel : kInputCount + channel];
}

bool Confirmed(const CoreState& s) {
    return s.linkConfirmed == kImageConfirmed;
}

// True once the pending command has been put on the wire (or when nothing waits to be sent).
bool PendingOnWire(const CommandScheduler& q) {
    switch (q.pending) {
    case kCmdParamWrite:
    case kCmdBlockWrite:
        return q.pendingWriteSent != 0;
    case kCmdHandshake:
    case kCmdProgramStore:
    case kCmdProgramLoad:
    case kCmdImageWrite:
        return q.sent != 0;
    default:
        return true;
    }
}

// Called just before the pending command is replaced by (command, p1, p3, p4). A parameter or block
// write that never left is marked dirty again, so a later scan sends it; replacing a write by the very
// same write keeps it without a flag, so it is not sent twice.
void ReleasePending(CoreState& s, uint8_t command, uint8_t p1, uint8_t p3, uint8_t p4) {
    CommandScheduler& q = s.scheduler;
    const bool same = q.pending == command && q.p1 == p1 && q.p3 == p3 && q.p4 == p4;
    if (!q.pendingWriteSent && !same) {
        if (q.pending == kCmdParamWrite) MarkParamDirty(s, q.p1, q.p3, q.p4);
        if (q.pending == kCmdBlockWrite) MarkBlockDirty(s, q.p1, q.p3);
    }
    q.pendingWriteSent = 0;
}

void Replace(CoreState& s, uint8_t command, uint8_t p1, uint8_t p2, uint8_t p3, uint8_t p4) {
    ReleasePending(s, command, p1, p3, p4);
    CommandScheduler& q = s.scheduler;
    q.pending = command;
    q.p1 = p1;
    q.p2 = p2;
    q.p3 = p3;
    q.p4 = p4;
    q.sent = 0;
}

// A handshake, program load or image write is followed by a whole image on one side or the other; a
// write asked for meanwhile must not displace it.
bool WholeImagePending(const CommandScheduler& q) {
    return q.pending == kCmdHandshake || q.pending == kCmdProgramLoad || q.pending == kCmdImageWrite ||
           q.imagesDue > 0;
}

// A write replacing a store that has not gone out yet makes the store wait behind the writes.
void DeferUnsentStore(CommandScheduler& q) {
    if (q.pending == kCmdProgramStore && !q.sent) {
        q.storeDeferred = 1;
        q.deferredProgram = q.p2;
    }
}

void TimeoutStep(CoreState& s, uint8_t limit) {
    CommandScheduler& q = s.scheduler;
    ++q.tickCounter;
    if (q.tickCounter <= limit) return;
    q.tickCounter = 0;
    q.sent = 0;
    ++q.retryCounter;
    if (q.retryCounter > kMaxRetries) {
        // Give up silently; a block the scan had queued behind the abandoned one keeps its dirty flag.
        ReleasePending(s, kCmdGiveUp, 0, 0, 0);
        q.retryCounter = 0;
        q.sent = 0;
        q.pending = kCmdGiveUp;
        // A load's image that never came is not waited for any longer: the writes behind it go out.
        q.imagesDue = 0;
    }
}

void WriteStep(CoreState& s) {
    CommandScheduler& q = s.scheduler;
    if (!ValidParam(q.p1, q.p3, q.p4)) {
        q.pending = kCmdHeartbeat;
        return;
    }
    const uint8_t* payload;
    uint16_t length = 8;
    if (q.p1 == kKindInput && q.p4 >= kFirstGeqParam) {
        payload = reinterpret_cast<const uint8_t*>(&s.image.inputs[q.p3].geq[q.p4 - kFirstGeqParam]);
        length = 2;
    } else {
        payload = BlockBytes(s.image, q.p1, q.p3) + 8 * q.p4;
    }
    EncodeAndSend(s, kCmdParamWrite, q.p1, 0, q.p3, q.p4, length, payload);
    // Recorded before the scan, so the scan's replacement of this write never marks it dirty again.
    q.pendingWriteSent = 1;
    q.moreDirty = Confirmed(s) ? static_cast<uint8_t>(NextDirtyParam(s, q.p1 == kKindInput ? 0 : 1)) : 0;
    if (s.hooks.clearGraphPendingEdit) s.hooks.clearGraphPendingEdit();
}

void BlockStep(CoreState& s) {
    CommandScheduler& q = s.scheduler;
    if (!ValidBlock(q.p1, q.p3)) {
        q.pending = kCmdHeartbeat;
        return;
    }
    if (!q.sent) {
        EncodeAndSend(s, kCmdBlockWrite, q.p1, 0, q.p3, 0, static_cast<uint16_t>(BlockSize(q.p1)),
                      BlockBytes(s.image, q.p1, q.p3));
        q.pendingWriteSent = 1;
        q.moreDirty = Confirmed(s) ? static_cast<uint8_t>(NextDirtyBlock(s, q.p1 == kKindInput ? 0 : 1)) : 0;
        // Set after the scan: a block the scan has just queued waits for the reply or the timeout.
        q.sent = 1;
        q.tickCounter = 0;
    }
    TimeoutStep(s, kBlockLimit);
}

void SendOnce(CoreState& s, uint8_t p1, uint8_t p2, uint16_t length, const uint8_t* payload) {
    CommandScheduler& q = s.scheduler;
    if (q.sent) return;
    const bool sent = EncodeAndSend(s, q.pending, p1, p2, 0, 0, length, payload);
    if (sent && q.pending == kCmdProgramLoad && q.imagesDue < 255) ++q.imagesDue;
    q.sent = 1;
    q.tickCounter = 0;
}

void HeartbeatStep(CoreState& s) {
    CommandScheduler& q = s.scheduler;
    if (q.sending) {
        q.tickCounter = 0;
        return;
    }
    ++q.tickCounter;
    if (q.tickCounter > kHeartbeatIdleTicks) {
        q.tickCounter = kHeartbeatRepeat; // the heartbeat does not reset it: one goes out on every tick
        EncodeAndSend(s, kCmdHeartbeat, 0, 0, 0, 0, 0, nullptr);
    }
}

// The idle state looks for work before it sends a heartbeat: dirty flags left behind by writes that
// were replaced (only once the image is the processor's), then a store that waited for them.
bool TakeIdleWork(CoreState& s) {
    CommandScheduler& q = s.scheduler;
    if (AnyDirty(s)) {
        if (!Confirmed(s)) return false;
        if (!NextDirtyParam(s, 0) && !NextDirtyParam(s, 1) && !NextDirtyBlock(s, 0)) NextDirtyBlock(s, 1);
        return q.pending != kCmdHeartbeat;
    }
    if (q.storeDeferred) {
        q.storeDeferred = 0;
        QueueProgramStore(s, q.deferredProgram);
        return q.pending != kCmdHeartbeat;
    }
    return false;
}

} // namespace

void MarkParamDirty(CoreState& s, uint8_t kind, int channel, int index) {
    if (!ValidParam(kind, channel, index)) return;
    if (kind == kKindInput)
        s.dirty.input[channel][index] = 1;
    else
        s.dirty.output[channel][index] = 1;
}

void MarkBlockDirty(CoreState& s, uint8_t kind, int channel) {
    if (ValidBlock(kind, channel)) BlockFlag(s, kind, channel) = 1;
}

void QueueParamWrite(CoreState& s, uint8_t kind, uint8_t channel, uint8_t index) {
    if (!ValidParam(kind, channel, index)) return;
    CommandScheduler& q = s.scheduler;
    if (WholeImagePending(q)) {
        MarkParamDirty(s, kind, channel, index);
        return;
    }
    DeferUnsentStore(q);
    Replace(s, kCmdParamWrite, kind, 0, channel, index);
}

void QueueBlockWrite(CoreState& s, uint8_t kind, uint8_t channel) {
    if (!ValidBlock(kind, channel)) return;
    CommandScheduler& q = s.scheduler;
    if (WholeImagePending(q)) {
        MarkBlockDirty(s, kind, channel);
        return;
    }
    DeferUnsentStore(q);
    Replace(s, kCmdBlockWrite, kind, 0, channel, 0);
}

void QueueProgramStore(CoreState& s, uint8_t program) {
    CommandScheduler& q = s.scheduler;
    // A store also waits for a whole image on its way: replacing the load would drop it, or end its
    // wait and let edits out ahead of the image that then overwrites them on the screen.
    if (AnyDirty(s) || q.pending == kCmdParamWrite || q.pending == kCmdBlockWrite || WholeImagePending(q)) {
        q.storeDeferred = 1;
        q.deferredProgram = program;
        return;
    }
    q.storeDeferred = 0;
    Replace(s, kCmdProgramStore, 0, program, 0, 0);
}

void QueueProgramLoad(CoreState& s, uint8_t program) {
    s.scheduler.storeDeferred = 0;
    Replace(s, kCmdProgramLoad, 0, program, 0, 0);
}

void QueueImageWrite(CoreState& s, uint8_t program) {
    s.scheduler.storeDeferred = 0;
    Replace(s, kCmdImageWrite, 0, program, 0, 0);
}

void QueueHandshake(CoreState& s) {
    CommandScheduler& q = s.scheduler;
    ReleasePending(s, kCmdHandshake, q.p1, q.p3, q.p4);
    q.pending = kCmdHandshake;
    q.sent = 0;
    // At connection the processor's image stands: offline edits and stale flags are never sent over it.
    ClearAllDirty(s);
    q.storeDeferred = 0;
    q.imagesDue = 0;
}

int NextDirtyParam(CoreState& s, int side) {
    // Each flag is cleared before its write is queued: a write that is diverted (a whole image is on its
    // way) sets it again.
    if (side == 0) {
        for (int c = 0; c < kInputCount; ++c)
            for (int i = 1; i <= kLastInputParam; ++i)
                if (s.dirty.input[c][i]) {
                    s.dirty.input[c][i] = 0;
                    QueueParamWrite(s, kKindInput, static_cast<uint8_t>(c), static_cast<uint8_t>(i));
                    return 1;
                }
    } else if (side == 1) {
        for (int c = 0; c < kOutputCount; ++c)
            for (int i = 1; i <= kLastOutputParam; ++i)
                if (s.dirty.output[c][i]) {
                    s.dirty.output[c][i] = 0;
                    QueueParamWrite(s, kKindOutput, static_cast<uint8_t>(c), static_cast<uint8_t>(i));
                    return 1;
                }
    }
    return 0;
}

int NextDirtyBlock(CoreState& s, int side) {
    if (side != 0 && side != 1) return 0;
    const uint8_t kind = side == 0 ? kKindInput : kKindOutput;
    const int count = side == 0 ? kInputCount : kOutputCount;
    for (int c = 0; c < count; ++c) {
        uint8_t& flag = BlockFlag(s, kind, c);
        if (flag) {
            flag = 0;
            QueueBlockWrite(s, kind, static_cast<uint8_t>(c));
            return 1;
        }
    }
    return 0;
}

bool AnyDirty(const CoreState& s) {
    for (int c = 0; c < kInputCount; ++c)
        for (int i = 1; i <= kLastInputParam; ++i)
            if (s.dirty.input[c][i]) return true;
    for (int c = 0; c < kOutputCount; ++c)
        for (int i = 1; i <= kLastOutputParam; ++i)
            if (s.dirty.output[c][i]) return true;
    for (uint8_t f : s.dirty.block)
        if (f) return true;
    return false;
}

void ClearAllDirty(CoreState& s) {
    std::memset(&s.dirty, 0, sizeof s.dirty);
}

void ReturnToIdle(CoreState& s) {
    CommandScheduler& q = s.scheduler;
    if (!PendingOnWire(q)) return;
    ReleasePending(s, kCmdHeartbeat, 0, 0, 0);
    q.sent = 0;
    q.tickCounter = 0;
    q.pending = kCmdHeartbeat;
}

void SchedulerTick(CoreState& s) {
    if (!s.linkConnected) return;
    CommandScheduler& q = s.scheduler;
    if (q.pending == kCmdHeartbeat && !TakeIdleWork(s)) {
        HeartbeatStep(s);
        return;
    }
    switch (q.pending) {
    case kCmdParamWrite:
        WriteStep(s);
        break;
    case kCmdHandshake:
        SendOnce(s, kHandshakeAsk, 0, 0, nullptr);
        TimeoutStep(s, kHandshakeLimit);
        break;
    case kCmdBlockWrite:
        BlockStep(s);
        break;
    case kCmdProgramStore:
    case kCmdProgramLoad:
        SendOnce(s, 0, q.p2, 0, nullptr);
        break;
    case kCmdImageWrite:
        SendOnce(s, 0, q.p2, kImageSize, reinterpret_cast<const uint8_t*>(&s.importImage));
        TimeoutStep(s, kImageLimit);
        break;
    case kCmdGiveUp:
        q.retryCounter = 0;
        q.sent = 0;
        q.pending = kCmdHeartbeat;
        break;
    default:
        break;
    }
}

} // namespace velmar
