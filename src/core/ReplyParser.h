// The reply parser: reassembles frames from received chunks, checks and dispatches them, and watches
// the link for silence.
#pragma once

#include "CoreState.h"

namespace velmar {

// All of these run on the core's thread; transports hand their bytes over with a queued call. The bytes
// are only read during the call. A frame is judged by its length as soon as both length bytes are in: a
// length that cannot fit the receive buffer (negative or above 1600) drops the frame and hunting for the
// sync goes on. What follows a completed frame in the same chunk is dropped.

// Serial and TCP chunks (up to 1280 bytes). A count of 0 or below processes nothing.
void FeedBytes(CoreState& s, const uint8_t* bytes, int16_t count);
// One USB input report: the report number first, then 64 bytes (65 bytes are read).
void FeedReport(CoreState& s, const uint8_t* report);
// Applies one complete, verified frame (buffer from the third sync byte on, size = length + 12). Frames
// whose size does not hold their length are ignored; fixed layouts read zeros past a short payload; an
// image reply is applied only when it carries all 1600 bytes. Replies end the wait in progress without
// asking which command is pending, except a handshake or program load that has gone out: only its own
// reply ends that wait, so no edit goes out ahead of the whole image that replaces the screen's. An
// image reply that meets an import on its way keeps the imported image: the import replaces the
// processor's image after the load too.
void DispatchFrame(CoreState& s, const uint8_t* frame, size_t size);
// Every 100 ms: declares the link lost after 61 ticks without a received chunk. The link is marked down
// first, then 0x464 (0xAA, 0xBB) is posted, the serial or TCP link is closed, and the one message box is
// shown last, so a box with its own event loop never sees a second loss of the same link.
void LinkSupervisionTick(CoreState& s);

} // namespace velmar
