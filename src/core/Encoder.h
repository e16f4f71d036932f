// The frame encoder: builds a frame with its checksum and hands it to the active link.
#pragma once

#include "CoreState.h"

namespace velmar {

// Builds the frame (three 0x5A, address, 0x53, command, P1..P4, length, payload, XOR checksum, 0xAA)
// and hands it to the transport chosen by activeLink. Returns false, changing nothing, when not
// connected. Resets the scheduler's tick counter for every command but the heartbeat.
bool EncodeAndSend(CoreState& s, uint8_t command, uint8_t p1, uint8_t p2, uint8_t p3, uint8_t p4,
                   uint16_t length, const uint8_t* payload);

// Names stored program `program` (1..12): sent at once, not through the scheduler.
bool SendProgramName(CoreState& s, uint8_t program, const uint8_t name[16]);

// Writes the frame for the given fields into out (at least length + 14 bytes); returns its size.
// Pure: used by the encoder, the simulator's tests and the golden-frame tests.
size_t BuildFrame(uint8_t* out, uint8_t address, uint8_t command, uint8_t p1, uint8_t p2, uint8_t p3,
                  uint8_t p4, uint16_t length, const uint8_t* payload);

} // namespace velmar
