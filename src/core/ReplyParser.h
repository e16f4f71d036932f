// The reply parser: reassembles frames from received chunks, checks and dispatches them, and watches
// the link for silence.
#pragma once

#include "CoreState.h"

namespace velmar {

// Serial and TCP chunks (up to 1280 bytes). A count of 0 or below processes nothing.
void FeedBytes(CoreState& s, const uint8_t* bytes, int16_t count);
// One USB input report: the report number first, then 64 bytes.
void FeedReport(CoreState& s, const uint8_t* report);
// Applies one complete, verified frame (buffer from the third sync byte on).
void DispatchFrame(CoreState& s, const uint8_t* frame, size_t size);
// Every 100 ms: declares the link lost after 61 ticks without a received chunk.
void LinkSupervisionTick(CoreState& s);

} // namespace velmar
