// Channel links and copies: linked channels follow every edit through the dirty flags.
#pragma once

#include "CoreState.h"

namespace velmar {

void CopyParam(CoreState& s, uint8_t kind, int source, int target, int index);
void CopyBlock(CoreState& s, uint8_t kind, int source, int target);
void LinkParam(CoreState& s, uint8_t kind, int channel, int index);
void LinkBlock(CoreState& s, uint8_t kind, int channel);
void JoinLinkGroup(CoreState& s, uint8_t kind, int channel, int group);
void CopyChannel(CoreState& s, uint8_t kind, int source, int target);

} // namespace velmar
