// What a link endpoint is asked to put on the wire: bytes, when, and whether to hang up afterwards.
#pragma once

#include <cstdint>
#include <vector>

namespace velmar {

// One write. A reply is one transmission, or several when the split fault cuts it into chunks.
struct SimTransmission {
    int delayMs = 0;         // wait this long before writing (reply delay or the gap before a chunk)
    bool startsReply = true; // false for the second and later chunks of a split reply
    std::vector<uint8_t> bytes;
};

struct SimOutput {
    std::vector<SimTransmission> transmissions; // in order
    bool closeConnection = false;               // hang up after the transmissions
};

} // namespace velmar
