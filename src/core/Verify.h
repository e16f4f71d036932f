// Verify and repair: which units the PC wrote, the compare of the processor's image with ours, and the
// sync status shown to the user.
#pragma once

#include "CoreState.h"

#include <cstddef>

namespace velmar {

// The index of a unit in the verify tables (kind 1: unit 0..43, kind 4: unit 0..15), or -1.
int UnitIndex(uint8_t kind, int channel, int unit);

// Records an edit the PC is about to send: the unit (or every unit of the block, or of the image) is
// stamped and counts as written until a verify read finds it in the processor. Core thread only.
void NoteUnitWritten(CoreState& s, uint8_t kind, int channel, int unit);
void NoteBlockWritten(CoreState& s, uint8_t kind, int channel);
void NoteImageWritten(CoreState& s);

// A whole image from the processor replaced ours: everything agrees, nothing waits for a verify read.
void VerifyImageReplaced(CoreState& s);
// A new connection: nothing is known about the processor's image yet.
void VerifyReset(CoreState& s);

// Asks for a verify read as soon as the scheduler is free.
void RequestVerify(CoreState& s);
// True while a unit written by the PC has not been found in the processor yet.
bool AnyUnitWritten(const CoreState& s);
// True when the last verify read agreed and nothing was edited since.
bool VerifyAgreed(const CoreState& s);

// Judges the processor's image (1600 bytes, as received) against ours. Units edited since the read was
// asked for are not judged. A unit that differs in a named field is sent again when the PC wrote it
// since the last agreement, and otherwise taken from the processor (curves rebuilt, pages refreshed,
// announced once). Spare bytes, names and the carried-only units are taken from the processor and
// never sent. Reports agreement, repairs and units left unconfirmed through CoreHooks::event.
void VerifyCompare(CoreState& s, const uint8_t* processorImage);

// Ticks to wait for a reply of `replyBytes` to a frame of `requestBytes`: the wire time of both on the
// active link (19200 bit/s on serial) plus a second for the processor and the line.
int ReplyWaitTicks(const CoreState& s, size_t requestBytes, size_t replyBytes);

// Units still different from the processor after the rounds of repair (kind, channel, unit), for the
// list the user can open; the processor's values are in s.verify.device.
struct UnitRef {
    uint8_t kind;
    int channel;
    int unit;
};
size_t UnconfirmedUnits(const CoreState& s, UnitRef* out, size_t capacity);

// Named fields of a unit that differ between two images (spare bytes and carried-only units never do).
int DifferingFields(const DeviceImage& a, const DeviceImage& b, uint8_t kind, int channel, int unit);

void SetSyncStatus(CoreState& s, SyncStatus status);
void RaiseEvent(CoreState& s, CoreEvent event, int value);

} // namespace velmar
