// Channel links and copies: linked channels follow every edit through the dirty flags.
#pragma once

#include "CoreState.h"

namespace velmar {

// Core thread only. Kinds: 1 input unit (index 1..11), 2 input graphic-equaliser word (index = band
// 0..30), 4 output unit (index 1..13). Names never travel between channels and an output keeps its own
// routeMask. Any channel, group or index outside the image makes the call do nothing.

// Copies one unit (or graphic-equaliser word) from source to target.
void CopyParam(CoreState& s, uint8_t kind, int source, int target, int index);
// Copies a whole block (kind 1 or 4) but its name.
void CopyBlock(CoreState& s, uint8_t kind, int source, int target);
// Copies the edited unit to every other member of the channel's group and marks it dirty there.
void LinkParam(CoreState& s, uint8_t kind, int channel, int index);
// Copies the block to every other member of the group and marks their blocks dirty.
void LinkBlock(CoreState& s, uint8_t kind, int channel);
// Puts the channel into a group; joining another channel's group takes that channel's block, rebuilds
// this channel's curves (channelCurvesChanged) and queues its block write.
void JoinLinkGroup(CoreState& s, uint8_t kind, int channel, int group);
// The system dialog's copy: block copy, block write, every curve rebuilt, page refresh and the
// confirmation box. Not propagated to the target's group; source == target does nothing.
void CopyChannel(CoreState& s, uint8_t kind, int source, int target);

} // namespace velmar
