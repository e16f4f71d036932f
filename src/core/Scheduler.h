// The command scheduler: one pending command driven by the 100 ms tick.
#pragma once

#include "CoreState.h"

namespace velmar {

// Queue operations: each replaces the pending command and clears the sent flag. The caller has already
// written the new values into the image.
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

// Called by the main window's timer every 100 ms.
void SchedulerTick(CoreState& s);

} // namespace velmar
