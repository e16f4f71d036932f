// The EQ-bypass state kept outside the image: shared by the Input, Output and Graphic EQ pages.
#pragma once

#include "core/DeviceImage.h"

#include <cstdint>

namespace velmar {

// Owned by AppState for the whole run; UI thread only. The main window clears a channel's entry when
// the response graph reports an edited point of that channel's curves.
struct EqBypassState {
    uint8_t inputEqBypassed[kInputCount]{};   // EQ BYPASS in force on input A..D
    uint8_t outputEqBypassed[kOutputCount]{}; // EQ BYPASS in force on output 1..8
};

} // namespace velmar
