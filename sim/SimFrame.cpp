// Encoding of the simulator's frames.
#include "sim/SimFrame.h"

#include <algorithm>

namespace velmar {

uint8_t SimFrame::checksum(const uint8_t* fromThirdSync, size_t count) {
    uint8_t x = 0;
    for (size_t i = 0; i < count; ++i) x ^= fromThirdSync[i];
    return x;
}

SimFrame SimFrame::fromWire(const uint8_t* f, size_t payloadLength) {
    SimFrame frame;
    frame.address = f[3];
    frame.marker = f[4];
    frame.command = f[5];
    frame.p1 = f[6];
    frame.p2 = f[7];
    frame.p3 = f[8];
    frame.p4 = f[9];
    frame.payload.assign(f + kSimHeaderSize, f + kSimHeaderSize + payloadLength);
    return frame;
}

std::vector<uint8_t> SimFrame::encode() const {
    const size_t length = std::min(payload.size(), kSimMaxPayload);
    std::vector<uint8_t> out;
    out.reserve(length + kSimFrameOverhead);
    out.insert(out.end(), {kSimSync, kSimSync, kSimSync, address, marker, command, p1, p2, p3, p4,
                           static_cast<uint8_t>(length & 0xFF), static_cast<uint8_t>(length >> 8)});
    out.insert(out.end(), payload.begin(), payload.begin() + static_cast<std::ptrdiff_t>(length));
    // The checksum starts at the third sync byte and runs to the last payload byte.
    out.push_back(checksum(out.data() + 2, out.size() - 2));
    out.push_back(kSimEndByte);
    return out;
}

} // namespace velmar
