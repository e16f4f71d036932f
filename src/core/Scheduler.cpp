// The command scheduler: the single pending command, its retries, verify reads and the heartbeat,
// driven by the 100 ms tick.
//
// States and transitions (Q = a queue operation, R = a reply through the parser, T = the tick):
//
//   state         entered by                          leaves on                                  to
//   Off           start                               Q handshake                                Handshake
//   Idle          replies, GiveUp, verify reads        T: dirty flag (image confirmed)            ParamWrite / BlockWrite
//                                                      T: name check asked for                    NameCheck
//                                                      T: store asked for, verify read agreed     ProgramStore
//                                                      T: verify read due (asked for, store
//                                                         waiting, edits settled, period)         CompareRead
//                                                      T: otherwise heartbeat (11th tick, then every tick)
//   ParamWrite    Q, dirty scans                       T: sent every tick; scan queues the next   ParamWrite
//                                                      R 0xAA with nothing more dirty             Idle
//   BlockWrite    Q, dirty scans                       R 0xA3                                     Idle
//                                                      T: 21 ticks without reply: sent again;
//                                                         4th timeout                             GiveUp (+verify)
//   Handshake     Q at connection                      R 0xA2/6: system block and names           ProgramLoad(0)
//                                                      T: every 16 ticks sent again, 6 sends      GiveUp
//   ProgramLoad   Q, handshake reply                   R 0xA6 image (the last one due)            Idle (image replaced)
//                                                      T: reply wait timeout: sent again;
//                                                         4th timeout (the read at connection
//                                                         goes on while the link lives)           GiveUp (+verify)
//   ProgramStore  Idle after agreement                 R 0xA5 / 0xA4 / 0xA2/21,22                 Idle (StoreDone)
//                                                      T: 21 ticks without reply: sent again;
//                                                         4th timeout                             GiveUp (StoreFailed)
//   ImageWrite    Q (program-file import)              R 0xA4 / 0xA5 / 0xA2/21,22                 Idle (+verify)
//                                                      T: 31 ticks without reply: sent again;
//                                                         4th timeout                             ProgramLoad(0)
//   CompareRead   Idle (verify due)                    R 0xA6 image: compared, never replaces     Idle
//                                                      T: reply wait timeout: a heartbeat, then   Idle (read again,
//                                                         up to four reads)                       then the period)
//                                                      Q write on TCP/USB: goes out at once, the
//                                                         read stays awaited                      ParamWrite / BlockWrite
//   NameCheck     Idle (after a program-name write)    R 0xA2/6: names compared, links kept       Idle / name sent again
//                                                      T: every 16 ticks sent again, 3 tries      Idle (NameUnconfirmed)
//   GiveUp        4th timeout                          T                                          Idle
//
// Every wait that times out sends a heartbeat on that tick (its short answer keeps the link supervision
// fed on a lossy line) and the command again on the next; a wait on a line silent for two seconds sends
// one every second as well.
//
// Rules that hold in every state:
// - a write replaced before it went out is marked dirty again; nothing an edit asked for is dropped;
// - a write asked for while a whole image is due (handshake, load, image write, a store on the wire, and
//   on serial a verify read whose reply occupies the line) is only marked dirty;
// - the retry count belongs to the pending command: it is cleared when the command is answered or
//   replaced;
// - a handshake, load, verify read or name check on the wire is ended only by its own reply;
// - while a verify read is awaited nothing else that is answered by an image goes out.
#include "core/Scheduler.h"

#include "core/Encoder.h"
#include "core/Verify.h"

#include <cstring>

namespace velmar {

namespace {

constexpr uint8_t kHandshakeLimit = 15;
constexpr uint8_t kHandshakeRetries = 5; // six sends in all
constexpr uint8_t kBlockLimit = 20;
constexpr uint8_t kStoreLimit = 20;
constexpr uint8_t kImageLimit = 30;
constexpr uint8_t kMaxRetries = 3; // four sends in all
constexpr uint8_t kConnectionReadRetries = 250;
constexpr int kProbeSilenceTicks = 20;
constexpr int kProbeEveryTicks = 10;
constexpr uint8_t kNameTries = 3;
constexpr uint8_t kHeartbeatIdleTicks = 10;
constexpr uint8_t kHeartbeatRepeat = 20;
constexpr uint8_t kCompareSends = 4;
constexpr int kFirstGeqParam = 12;
constexpr int kLastInputParam = 43;
constexpr int kLastOutputParam = 13;
constexpr uint8_t kImageConfirmed = 2;
constexpr size_t kImageFrame = kImageSize + kFrameOverhead;

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

// Called just before the pending command is replaced by (state, p1, p3, p4). A parameter or block
// write that never left is marked dirty again, so a later scan sends it; replacing a write by the very
// same write keeps it without a flag, so it is not sent twice.
void ReleasePending(CoreState& s, SchedState next, uint8_t p1, uint8_t p3, uint8_t p4) {
    CommandScheduler& q = s.scheduler;
    const bool same = q.state == next && q.p1 == p1 && q.p3 == p3 && q.p4 == p4;
    if (!q.onWire && !same) {
        if (q.state == SchedState::ParamWrite) MarkParamDirty(s, q.p1, q.p3, q.p4);
        if (q.state == SchedState::BlockWrite) MarkBlockDirty(s, q.p1, q.p3);
    }
}

void Enter(CoreState& s, SchedState state, uint8_t p1, uint8_t p2, uint8_t p3, uint8_t p4) {
    ReleasePending(s, state, p1, p3, p4);
    CommandScheduler& q = s.scheduler;
    const bool same = q.state == state && q.p1 == p1 && q.p2 == p2 && q.p3 == p3 && q.p4 == p4;
    q.state = state;
    q.p1 = p1;
    q.p2 = p2;
    q.p3 = p3;
    q.p4 = p4;
    if (!same) q.retryCounter = 0;
    // The same write queued again before it went out is still unsent; once sent, it goes out again.
    q.sent = 0;
    q.onWire = 0;
}

// Commands after which an image arrives on one side or the other, or whose answer a write would end
// early: a write asked for meanwhile only marks itself dirty. On serial a verify read's reply occupies
// the line for most of a second, so writes wait for it too; on TCP and USB they go out beside it.
bool WritesWait(const CoreState& s) {
    const CommandScheduler& q = s.scheduler;
    switch (q.state) {
    case SchedState::Handshake:
    case SchedState::ProgramLoad:
    case SchedState::ImageWrite:
        return true;
    case SchedState::ProgramStore:
    case SchedState::NameCheck:
        return q.onWire != 0;
    case SchedState::CompareRead:
        return q.onWire != 0 && s.activeLink == LinkType::Serial;
    default:
        return q.imagesDue > 0;
    }
}

void Abandon(CoreState& s) {
    CommandScheduler& q = s.scheduler;
    const SchedState was = q.state;
    const uint8_t program = q.p2;
    // A block the scan had queued behind the abandoned one keeps its dirty flag.
    ReleasePending(s, SchedState::GiveUp, 0, 0, 0);
    q.retryCounter = 0;
    q.sent = 0;
    q.onWire = 0;
    q.state = SchedState::GiveUp;
    // A load's image that never came is not waited for any longer: the writes behind it go out.
    q.imagesDue = 0;
    switch (was) {
    case SchedState::BlockWrite:
        RequestVerify(s);
        break;
    case SchedState::ProgramLoad:
        RaiseEvent(s, CoreEvent::LoadFailed, program);
        // The processor may have loaded it all the same: the verify read takes what it holds.
        RequestVerify(s);
        break;
    case SchedState::ProgramStore:
        q.storeProgram = 0;
        RaiseEvent(s, CoreEvent::StoreFailed, program);
        break;
    case SchedState::ImageWrite:
        RaiseEvent(s, CoreEvent::ImportFailed, 0);
        // The screen goes back to what the processor holds.
        QueueProgramLoad(s, 0);
        break;
    default:
        break;
    }
}

void SendProbe(CoreState& s) {
    EncodeAndSend(s, kCmdHeartbeat, 0, 0, 0, 0, 0, nullptr);
}

// Counts the ticks of a wait (the tick of the send is the first): after `limit` the sent flag is cleared
// so the next tick sends the command again; after the last send's wait it is abandoned.
void TimeoutStep(CoreState& s, int limit, uint8_t retries) {
    CommandScheduler& q = s.scheduler;
    ++q.tickCounter;
    if (q.tickCounter <= limit) {
        // A long wait on a line that has gone quiet (an image write waits three seconds for its answer):
        // a heartbeat each further second keeps the supervision fed if only that answer was lost. On a
        // line that answers, the silence never lasts that long and nothing extra goes out.
        const int silence = s.rx.silenceCounter;
        if (silence >= kProbeSilenceTicks && silence % kProbeEveryTicks == 0) SendProbe(s);
        return;
    }
    q.tickCounter = 0;
    q.sent = 0;
    ++q.retryCounter;
    // A heartbeat on the tick the wait ends: on a lossy line its short answer keeps the link supervision
    // fed while a long reply is tried again, so a few lost replies in a row never drop the link.
    SendProbe(s);
    if (q.retryCounter > retries) Abandon(s);
}

void WriteStep(CoreState& s) {
    CommandScheduler& q = s.scheduler;
    if (!ValidParam(q.p1, q.p3, q.p4)) {
        q.state = SchedState::Idle;
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
    q.sent = 1;
    q.onWire = 1;
    q.moreDirty = Confirmed(s) ? static_cast<uint8_t>(NextDirtyParam(s, q.p1 == kKindInput ? 0 : 1)) : 0;
    if (s.hooks.clearGraphPendingEdit) s.hooks.clearGraphPendingEdit();
}

void BlockStep(CoreState& s) {
    CommandScheduler& q = s.scheduler;
    if (!ValidBlock(q.p1, q.p3)) {
        q.state = SchedState::Idle;
        return;
    }
    if (!q.sent) {
        EncodeAndSend(s, kCmdBlockWrite, q.p1, 0, q.p3, 0, static_cast<uint16_t>(BlockSize(q.p1)),
                      BlockBytes(s.image, q.p1, q.p3));
        q.sent = 1;
        q.onWire = 1;
        q.tickCounter = 0;
        // Another dirty block waits for this one's reply (or its timeout), then goes out from Idle.
        q.moreDirty = 0;
    }
    TimeoutStep(s, kBlockLimit, kMaxRetries);
}

// Sends the pending command once (again after a timeout cleared the sent flag).
void SendOnce(CoreState& s, uint8_t command, uint8_t p1, uint8_t p2, uint16_t length, const uint8_t* payload) {
    CommandScheduler& q = s.scheduler;
    if (q.sent) return;
    const bool sent = EncodeAndSend(s, command, p1, p2, 0, 0, length, payload);
    if (sent && command == kCmdProgramLoad) {
        // A resend after a timeout is answered by one image: only the latest send's image is awaited.
        if (q.retryCounter > 0)
            q.imagesDue = 1;
        else if (q.imagesDue < 255)
            ++q.imagesDue;
        s.verify.askedStamp = s.verify.stamp;
    }
    q.sent = 1;
    q.onWire = 1;
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

bool VerifyDue(const CoreState& s) {
    const VerifyState& v = s.verify;
    if (v.onWire) return false;
    if (v.requested || (s.scheduler.storeProgram && !s.scheduler.storeChecked)) return true;
    if (v.settings.afterEdits && v.quiet >= v.settings.quietTicks && AnyUnitWritten(s)) {
        // After the rounds of repair without agreement the read is repeated less often.
        if (v.rounds < v.settings.maxRounds) return true;
        const int backoff = v.settings.periodTicks > 0 ? v.settings.periodTicks : 10 * v.settings.quietTicks;
        return v.sinceRead >= backoff;
    }
    return v.settings.periodTicks > 0 && v.sinceRead >= v.settings.periodTicks;
}

// The idle state looks for work before it sends a heartbeat: dirty flags (only once the image is the
// processor's), a name check, a store whose verify read agreed, a verify read that is due.
bool TakeIdleWork(CoreState& s) {
    CommandScheduler& q = s.scheduler;
    if (!Confirmed(s)) return false;
    if (AnyDirty(s)) {
        if (!NextDirtyParam(s, 0) && !NextDirtyParam(s, 1) && !NextDirtyBlock(s, 0)) NextDirtyBlock(s, 1);
        return q.state != SchedState::Idle;
    }
    if (s.verify.onWire) return false; // its reply or timeout comes first
    if (q.nameProgram != 0 && q.storeProgram == 0) {
        Enter(s, SchedState::NameCheck, kHandshakeAsk, q.nameProgram, 0, 0);
        return true;
    }
    if (q.storeProgram && q.storeChecked) {
        Enter(s, SchedState::ProgramStore, 0, q.storeProgram, 0, 0);
        return true;
    }
    if (VerifyDue(s)) {
        Enter(s, SchedState::CompareRead, 0, 0, 0, 0);
        return true;
    }
    return false;
}

void CompareStep(CoreState& s) {
    CommandScheduler& q = s.scheduler;
    VerifyState& v = s.verify;
    if (q.sent) return;
    if (!EncodeAndSend(s, kCmdProgramLoad, 0, 0, 0, 0, 0, nullptr)) return;
    q.sent = 1;
    q.onWire = 1;
    q.tickCounter = 0;
    v.onWire = 1;
    v.waitTicks = 0;
    v.requested = 0;
    v.askedStamp = v.stamp;
    if (v.status != SyncStatus::Unconfirmed) SetSyncStatus(s, SyncStatus::Checking);
}

// The verify read's own clock, which runs in every state: on TCP and USB writes go out while it waits.
void VerifyClock(CoreState& s) {
    VerifyState& v = s.verify;
    CommandScheduler& q = s.scheduler;
    if (Confirmed(s) && v.sinceRead < 65535) ++v.sinceRead;
    if (q.state == SchedState::Idle) {
        if (v.quiet < 65535) ++v.quiet;
    } else {
        v.quiet = 0;
    }
    if (!v.onWire) return;
    if (++v.waitTicks <= ReplyWaitTicks(s, kFrameOverhead, kImageFrame)) return;
    // The reply was lost: read again, a few times, and never let the link drop for it.
    v.onWire = 0;
    v.waitTicks = 0;
    if (++v.sends < kCompareSends) {
        v.requested = 1;
    } else {
        // Not one reply: the periodic read tries again later; a store waiting for it is not made.
        v.sends = 0;
        v.requested = 0;
        v.sinceRead = 0;
        if (q.storeProgram) {
            RaiseEvent(s, CoreEvent::StoreFailed, q.storeProgram);
            q.storeProgram = 0;
        }
    }
    if (q.state == SchedState::CompareRead) {
        q.state = SchedState::Idle;
        q.sent = 0;
        q.onWire = 0;
        q.tickCounter = 0;
    }
    v.probe = 1;
}

// Parameter indices are the units of the verify tables.
void NoteWrite(CoreState& s, uint8_t kind, int channel, int index) {
    NoteUnitWritten(s, kind, channel, index);
}

} // namespace

void MarkParamDirty(CoreState& s, uint8_t kind, int channel, int index) {
    if (!ValidParam(kind, channel, index)) return;
    NoteWrite(s, kind, channel, index);
    if (kind == kKindInput)
        s.dirty.input[channel][index] = 1;
    else
        s.dirty.output[channel][index] = 1;
}

void MarkBlockDirty(CoreState& s, uint8_t kind, int channel) {
    if (!ValidBlock(kind, channel)) return;
    NoteBlockWritten(s, kind, channel);
    BlockFlag(s, kind, channel) = 1;
}

void QueueParamWrite(CoreState& s, uint8_t kind, uint8_t channel, uint8_t index) {
    if (!ValidParam(kind, channel, index)) return;
    if (WritesWait(s)) {
        MarkParamDirty(s, kind, channel, index);
        return;
    }
    NoteWrite(s, kind, channel, index);
    Enter(s, SchedState::ParamWrite, kind, 0, channel, index);
}

void QueueBlockWrite(CoreState& s, uint8_t kind, uint8_t channel) {
    if (!ValidBlock(kind, channel)) return;
    if (WritesWait(s)) {
        MarkBlockDirty(s, kind, channel);
        return;
    }
    NoteBlockWritten(s, kind, channel);
    Enter(s, SchedState::BlockWrite, kind, 0, channel, 0);
}

void QueueProgramStore(CoreState& s, uint8_t program) {
    // The store goes out from Idle once every write is done and a verify read agreed.
    s.scheduler.storeProgram = program;
    s.scheduler.storeChecked = 0;
}

void CancelProgramStore(CoreState& s) {
    CommandScheduler& q = s.scheduler;
    if (q.state == SchedState::ProgramStore && q.onWire) return;
    q.storeProgram = 0;
    q.storeChecked = 0;
    if (q.state == SchedState::ProgramStore) ReturnToIdle(s);
}

void QueueProgramLoad(CoreState& s, uint8_t program) {
    CommandScheduler& q = s.scheduler;
    if (q.storeProgram) {
        RaiseEvent(s, CoreEvent::StoreFailed, q.storeProgram);
        q.storeProgram = 0;
    }
    Enter(s, SchedState::ProgramLoad, 0, program, 0, 0);
}

void QueueImageWrite(CoreState& s, uint8_t program) {
    CommandScheduler& q = s.scheduler;
    if (q.storeProgram) {
        RaiseEvent(s, CoreEvent::StoreFailed, q.storeProgram);
        q.storeProgram = 0;
    }
    NoteImageWritten(s);
    Enter(s, SchedState::ImageWrite, 0, program, 0, 0);
}

void QueueNameCheck(CoreState& s, uint8_t program) {
    if (program < 1 || program > kStoredPrograms) return;
    CommandScheduler& q = s.scheduler;
    // A check of another name still under way is reported as not confirmed: only the latest is checked.
    if (q.nameProgram != 0 && q.nameProgram != program)
        RaiseEvent(s, CoreEvent::NameUnconfirmed, q.nameProgram);
    q.nameProgram = program;
    q.nameTries = 1;
}

void QueueHandshake(CoreState& s) {
    CommandScheduler& q = s.scheduler;
    ReleasePending(s, SchedState::Handshake, q.p1, q.p3, q.p4);
    if (q.storeProgram) RaiseEvent(s, CoreEvent::StoreFailed, q.storeProgram);
    q.state = SchedState::Handshake;
    q.sent = 0;
    q.onWire = 0;
    q.retryCounter = 0;
    // At connection the processor's image stands: offline edits and stale flags are never sent over it.
    ClearAllDirty(s);
    q.storeProgram = 0;
    q.nameProgram = 0;
    q.nameTries = 0;
    q.nameWrite = 0;
    q.imagesDue = 0;
    VerifyReset(s);
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

bool PendingOnWire(const CoreState& s) {
    const CommandScheduler& q = s.scheduler;
    switch (q.state) {
    case SchedState::Off:
    case SchedState::Idle:
    case SchedState::GiveUp:
        return true;
    default:
        return q.onWire != 0;
    }
}

void ReturnToIdle(CoreState& s) {
    CommandScheduler& q = s.scheduler;
    if (!PendingOnWire(s)) return;
    ReleasePending(s, SchedState::Idle, 0, 0, 0);
    q.sent = 0;
    q.onWire = 0;
    q.tickCounter = 0;
    q.retryCounter = 0;
    q.state = SchedState::Idle;
}

void SchedulerTick(CoreState& s) {
    if (!s.linkConnected) return;
    CommandScheduler& q = s.scheduler;
    VerifyClock(s);
    if (s.verify.probe) {
        // The verify read's reply was lost: this tick's heartbeat proves the line, the next tick reads
        // again.
        s.verify.probe = 0;
        SendProbe(s);
        return;
    }
    if (q.state == SchedState::Idle && !TakeIdleWork(s)) {
        HeartbeatStep(s);
        return;
    }
    switch (q.state) {
    case SchedState::ParamWrite:
        WriteStep(s);
        break;
    case SchedState::BlockWrite:
        BlockStep(s);
        break;
    case SchedState::Handshake:
        SendOnce(s, kCmdHandshake, kHandshakeAsk, 0, 0, nullptr);
        TimeoutStep(s, kHandshakeLimit, kHandshakeRetries);
        break;
    case SchedState::ProgramLoad:
        // A verify read's image is still on its way: a load's image must not be mistaken for it.
        if (!q.sent && s.verify.onWire) break;
        SendOnce(s, kCmdProgramLoad, 0, q.p2, 0, nullptr);
        // The read at connection is not given up while the link lives: without the processor's image
        // nothing may be sent, and the link supervision ends a line that has gone quiet.
        TimeoutStep(s, ReplyWaitTicks(s, kFrameOverhead, kImageFrame),
                    Confirmed(s) ? kMaxRetries : kConnectionReadRetries);
        break;
    case SchedState::ProgramStore:
        // An edit (a linked channel's, say) marked since the agreement goes out and is verified first:
        // the store keeps what the processor holds, which must be what the screen shows.
        if (!q.onWire && (!q.storeChecked || AnyDirty(s))) {
            q.state = SchedState::Idle;
            break;
        }
        SendOnce(s, kCmdProgramStore, 0, q.p2, 0, nullptr);
        TimeoutStep(s, kStoreLimit, kMaxRetries);
        break;
    case SchedState::ImageWrite:
        SendOnce(s, kCmdImageWrite, 0, q.p2, kImageSize, reinterpret_cast<const uint8_t*>(&s.importImage));
        TimeoutStep(s, kImageLimit, kMaxRetries);
        break;
    case SchedState::CompareRead:
        CompareStep(s);
        break;
    case SchedState::NameCheck:
        if (q.nameWrite) {
            uint8_t name[kProgramNameChars];
            std::memcpy(name, s.programNames[q.nameProgram], kProgramNameChars);
            name[kProgramNameChars - 1] = 0;
            SendProgramName(s, q.nameProgram, name);
            q.nameWrite = 0;
        } else if (!q.sent) {
            SendOnce(s, kCmdHandshake, kHandshakeAsk, 0, 0, nullptr);
        } else if (++q.tickCounter > kHandshakeLimit) {
            // The check's answer was lost: write the name again and check once more.
            NameCheckFailed(s);
        }
        break;
    case SchedState::GiveUp:
        q.retryCounter = 0;
        q.sent = 0;
        q.state = SchedState::Idle;
        break;
    default:
        break;
    }
}

void NameCheckFailed(CoreState& s) {
    CommandScheduler& q = s.scheduler;
    const uint8_t program = q.nameProgram;
    if (q.nameTries >= kNameTries) {
        q.nameProgram = 0;
        q.nameTries = 0;
        q.sent = 0;
        q.onWire = 0;
        q.tickCounter = 0;
        q.state = SchedState::Idle;
        RaiseEvent(s, CoreEvent::NameUnconfirmed, program);
        return;
    }
    // The name goes out again on the next tick, then the check.
    ++q.nameTries;
    q.nameWrite = 1;
    q.sent = 0;
    q.tickCounter = 0;
}

void NameCheckAnswered(CoreState& s, bool matches) {
    CommandScheduler& q = s.scheduler;
    const uint8_t program = q.nameProgram;
    if (!matches) {
        NameCheckFailed(s);
        return;
    }
    q.nameProgram = 0;
    q.nameTries = 0;
    ReturnToIdle(s);
    RaiseEvent(s, CoreEvent::NameConfirmed, program);
}

} // namespace velmar
