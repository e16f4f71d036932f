// The command scheduler: one pending command driven by the 100 ms tick.
#pragma once

#include "CoreState.h"

namespace velmar {

// Queue operations: each replaces the pending command (see the table of states in Scheduler.cpp). The
// caller has already written the new values into the image. Core thread only (the reply parser runs
// there too).
//
// No edit is dropped while it is waiting to go out:
// - a parameter or block write that is replaced before it was sent is marked dirty again, and dirty flags
//   are picked up by the write scans and, once the image is confirmed, by the idle state;
// - a parameter or block write asked for while a whole image is due, or while a reply that a write
//   would end early is awaited, does not displace that command: it is only marked dirty;
// - every write is recorded for verify and repair: once the writes have settled, a verify read finds
//   what the processor did not take and sends it again;
// - a program store waits until nothing is dirty and a verify read agreed, then goes out from the idle
//   state; its result is reported (CoreEvent::StoreDone / StoreFailed).
// Arguments out of range (kind other than 1 or 4, channel or index outside the image) are ignored.
void QueueParamWrite(CoreState& s, uint8_t kind, uint8_t channel, uint8_t index);
void QueueBlockWrite(CoreState& s, uint8_t kind, uint8_t channel);
void QueueProgramStore(CoreState& s, uint8_t program);
// Withdraws a store that has not gone out yet (the caller stopped waiting for it), so it is never made
// behind the user's back. A store already on the wire cannot be taken back and stays awaited.
void CancelProgramStore(CoreState& s);
void QueueProgramLoad(CoreState& s, uint8_t program);
void QueueImageWrite(CoreState& s, uint8_t program);
void QueueHandshake(CoreState& s);
// After a program-name write (sent at once with SendProgramName): the names are read back with a
// handshake that changes nothing else, and the name is written again when it did not arrive, three
// tries in all (CoreEvent::NameConfirmed / NameUnconfirmed). Program 1..12.
void QueueNameCheck(CoreState& s, uint8_t program);

// Dirty scans (side 0 inputs, 1 outputs): queue the first dirty write, clear its flag, return 1.
int NextDirtyParam(CoreState& s, int side);
int NextDirtyBlock(CoreState& s, int side);

// True while any parameter or block flag is set.
bool AnyDirty(const CoreState& s);
void ClearAllDirty(CoreState& s);
// Set the dirty flag of one parameter write (kind 1: index 1..43, kind 4: index 1..13) or of one block
// write (kind 1 or 4); out-of-range arguments are ignored. Used by link propagation and by pages that
// propagate single fields.
void MarkParamDirty(CoreState& s, uint8_t kind, int channel, int index);
void MarkBlockDirty(CoreState& s, uint8_t kind, int channel);

// True once the pending command has been put on the wire (or when nothing waits to be sent).
bool PendingOnWire(const CoreState& s);
// A reply ended the wait in progress: back to the heartbeat (sent flag, tick and retry counters
// cleared). A command that has not gone out yet has no wait to end and stays pending. Called by the
// reply parser.
void ReturnToIdle(CoreState& s);

// The name check's handshake was answered: whether the name read back is the one written.
void NameCheckAnswered(CoreState& s, bool matches);
// The name check's handshake was not answered, or answered with another name: write the name again,
// or give up after the last try.
void NameCheckFailed(CoreState& s);

// Called by the main window's timer every 100 ms.
void SchedulerTick(CoreState& s);

} // namespace velmar
