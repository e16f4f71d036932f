// The command scheduler: one pending command driven by the 100 ms tick.
#pragma once

#include "CoreState.h"

namespace velmar {

// Queue operations: each replaces the pending command and clears the sent flag. The caller has already
// written the new values into the image. UI thread only (the reply parser runs there too).
//
// No edit is dropped while it is waiting to go out:
// - a parameter or block write that is replaced before it was sent is marked dirty again, and dirty flags
//   are picked up by the write scans and, once the image is confirmed, by the idle state;
// - a parameter or block write asked for while a handshake, program load or image write is pending does
//   not displace it: it is only marked dirty (the whole image that follows replaces or includes it);
// - a program store waits (storeDeferred) while anything is dirty, a write is pending or a whole image is
//   on its way;
// - while a program load's image is still to come (two loads may be on the wire at once), nothing else
//   goes out: only the last image returns the scheduler to the heartbeat.
// Arguments out of range (kind other than 1 or 4, channel or index outside the image) are ignored.
void QueueParamWrite(CoreState& s, uint8_t kind, uint8_t channel, uint8_t index);
void QueueBlockWrite(CoreState& s, uint8_t kind, uint8_t channel);
void QueueProgramStore(CoreState& s, uint8_t program);
void QueueProgramLoad(CoreState& s, uint8_t program);
void QueueImageWrite(CoreState& s, uint8_t program);
void QueueHandshake(CoreState& s);

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

// A reply ended the wait in progress: back to the heartbeat (sent flag and tick counter cleared). A
// command that has not gone out yet has no wait to end and stays pending. Called by the reply parser.
void ReturnToIdle(CoreState& s);

// Called by the main window's timer every 100 ms.
void SchedulerTick(CoreState& s);

} // namespace velmar
