// Texts of the message boxes the core raises, in both languages.
#pragma once

#include "CoreState.h"

namespace velmar {

// UTF-8 text of a core message for languageFlag 0 (English) or 1 (Chinese).
const char* CoreMessageText(CoreMessage message, uint8_t languageFlag);
// Shows it through the showMessage hook in the state's current language.
void ShowCoreMessage(CoreState& s, CoreMessage message, const char* caption = "");

} // namespace velmar
