// Start-up state of the image and its side tables.
#pragma once

#include "CoreState.h"

namespace velmar {

// Copies the templates into every channel and clamps the image.
void ResetImage(CoreState& s);
// The start texts of programNames: " SYSTEM DEFAULT " and "     USER n     ".
void ResetProgramNames(CoreState& s);
// Every channel in its own link group.
void ResetLinkGroups(CoreState& s);
// A fresh state as at application start: templates, start names, no links, nothing dirty.
void InitCoreState(CoreState& s);

} // namespace velmar
