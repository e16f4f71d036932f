// The rule the Home page's link lists keep: every link group is led by the channel it is named after.
#pragma once

#include "core/CoreState.h"

#include <cstdint>

namespace velmar::syslinks {

// Link group numbers are channel indices, and channels whose numbers are equal are linked. Left alone, the
// numbers can drift into states nobody can read off the lists: input A moves to "LINK B" while input C still
// says "LINK A", a group named after a channel that is not in it. The lists therefore keep one invariant - a
// group number in use is always the number of a channel that is itself in that group (its leader) - with two
// rules:
//
// 1. A channel can join group g only when channel g leads its own group (group[g] == g). A channel that
//    has moved into another group cannot be joined; its item is greyed out in every other list.
//    Choosing its own number (unlinking) is always possible.
// 2. When a leader that still has members joins another group, its members stay linked with each other
//    and the lowest-numbered member becomes their leader: they are renumbered to it, nothing of theirs
//    is copied or sent. Only the channel the user touched takes new settings.
//
// A join itself is the core's JoinLinkGroup: the channel takes the leader's block (an output keeps its
// routing), its curves are rebuilt and one block write of it is queued.
//
// Kinds are kKindInput (4 channels) and kKindOutput (8). UI thread only, like the core.

// Whether `channel` may choose group `group` now.
bool selectable(const CoreState& s, uint8_t kind, int channel, int group);
// Carries the choice out under the rules above. False, changing nothing, when it is not selectable or
// the arguments are outside the image; true otherwise (also when the group was already the channel's).
bool choose(CoreState& s, uint8_t kind, int channel, int group);
// Whether other channels have `channel`'s number as their group.
bool hasMembers(const CoreState& s, uint8_t kind, int channel);

} // namespace velmar::syslinks
