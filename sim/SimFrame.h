// One protocol frame as the processor sees it, and its bytes on the wire.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace velmar {

inline constexpr uint8_t kSimSync = 0x5A;
inline constexpr uint8_t kSimMarker = 0x53;
inline constexpr uint8_t kSimEndByte = 0xAA;
inline constexpr size_t kSimHeaderSize = 12;    // three sync bytes .. length high byte
inline constexpr size_t kSimFrameOverhead = 14; // header, checksum, end byte
inline constexpr size_t kSimMaxPayload = 1600;
inline constexpr size_t kSimMaxFrame = kSimMaxPayload + kSimFrameOverhead;

// A frame in either direction. The device builds its replies with encode(); it never uses the
// application's encoder, so the simulator checks the application instead of mirroring it.
struct SimFrame {
    uint8_t address = 0;
    uint8_t marker = kSimMarker;
    uint8_t command = 0;
    uint8_t p1 = 0, p2 = 0, p3 = 0, p4 = 0;
    std::vector<uint8_t> payload; // at most kSimMaxPayload bytes

    // 5A 5A 5A, address, marker, command, P1..P4, length (low byte first), payload, checksum, AA.
    // A payload longer than kSimMaxPayload is cut to that size.
    std::vector<uint8_t> encode() const;

    // The fields of a whole wire frame that has been checked already, read from its first sync byte;
    // `payloadLength` bytes of payload follow the 12-byte header.
    static SimFrame fromWire(const uint8_t* frame, size_t payloadLength);

    // XOR of `count` bytes starting at the third sync byte: the bytes a frame's checksum covers.
    static uint8_t checksum(const uint8_t* fromThirdSync, size_t count);
};

} // namespace velmar
