// The frame encoder: builds a frame with its checksum and hands it to the active link.
#pragma once

#include "CoreState.h"

namespace velmar {

// Command bytes of the frames the application sends (and of the replies with the same number).
inline constexpr uint8_t kCmdParamWrite = 0xA1;
inline constexpr uint8_t kCmdHandshake = 0xA2;
inline constexpr uint8_t kCmdBlockWrite = 0xA3;
inline constexpr uint8_t kCmdProgramStore = 0xA5;
inline constexpr uint8_t kCmdProgramLoad = 0xA6;
inline constexpr uint8_t kCmdImageWrite = 0xA7;
inline constexpr uint8_t kCmdHeartbeat = 0xA9;
inline constexpr uint8_t kCmdAck = 0xAA;
inline constexpr uint8_t kCmdGiveUp = 0xAF; // scheduler state only, never on the wire
inline constexpr uint8_t kHandshakeAsk = 6; // P1 of the handshake; also the sub-code of its reply
inline constexpr uint8_t kFrameSync = 0x5A;
inline constexpr uint8_t kFrameMarker = 0x53;
inline constexpr uint8_t kFrameEnd = 0xAA;

// Builds the frame (three 0x5A, address, 0x53, command, P1..P4, length, payload, XOR checksum, 0xAA)
// and hands it to the transport chosen by activeLink. Returns false, changing nothing, when not
// connected (or when asked for a payload above 1600 bytes, or a missing payload). Resets the scheduler's
// tick counter for every command but the heartbeat. UI thread only; the payload is only read during
// the call. On USB a report whose bounded wait fails abandons the rest of the frame.
bool EncodeAndSend(CoreState& s, uint8_t command, uint8_t p1, uint8_t p2, uint8_t p3, uint8_t p4,
                   uint16_t length, const uint8_t* payload);

// Names stored program `program` (1..12): sent at once, not through the scheduler.
bool SendProgramName(CoreState& s, uint8_t program, const uint8_t name[16]);

// Writes the frame for the given fields into out (at least length + 14 bytes); returns its size.
// Pure: used by the encoder, the simulator's tests and the golden-frame tests.
size_t BuildFrame(uint8_t* out, uint8_t address, uint8_t command, uint8_t p1, uint8_t p2, uint8_t p3,
                  uint8_t p4, uint16_t length, const uint8_t* payload);

} // namespace velmar
