// The frame encoder: frame layout, checksum, and handing finished frames to the active link.
#include "core/Encoder.h"

#include <cstring>

namespace velmar {

size_t BuildFrame(uint8_t* out, uint8_t address, uint8_t command, uint8_t p1, uint8_t p2, uint8_t p3,
                  uint8_t p4, uint16_t length, const uint8_t* payload) {
    out[0] = kFrameSync;
    out[1] = kFrameSync;
    out[2] = kFrameSync;
    out[3] = address;
    out[4] = kFrameMarker;
    out[5] = command;
    out[6] = p1;
    out[7] = p2;
    out[8] = p3;
    out[9] = p4;
    out[10] = static_cast<uint8_t>(length & 0xFF);
    out[11] = static_cast<uint8_t>(length >> 8);
    // The checksum starts at the third sync byte: the receiver stores the frame from there on.
    uint8_t checksum = 0;
    for (int i = 2; i < 12; ++i) checksum ^= out[i];
    for (size_t i = 0; i < length; ++i) {
        const uint8_t b = payload ? payload[i] : 0;
        out[12 + i] = b;
        checksum ^= b;
    }
    out[12 + length] = checksum;
    out[13 + length] = kFrameEnd;
    return static_cast<size_t>(length) + kFrameOverhead;
}

namespace {

// Cuts the frame into 64-byte reports without per-report headers; only the last carries zero fill.
// A report whose write fails (the transport's bounded wait timed out, or the device is gone) abandons
// the rest of the frame: half a frame is noise to the processor and the scheduler's retries cover it.
void SendOverUsb(CoreState& s, const uint8_t* frame, size_t size) {
    if (!s.hooks.writeUsbReport) return;
    size_t fill = 0;
    bool first = true;
    for (size_t i = 0; i < size; ++i) {
        s.usbChunk[fill++] = frame[i];
        if (fill == kUsbReportSize) {
            const bool ok = s.hooks.writeUsbReport(s.usbChunk, first);
            first = false;
            fill = 0;
            if (!ok) return;
        }
    }
    if (fill > 0) {
        std::memset(s.usbChunk + fill, 0, kUsbReportSize - fill);
        s.hooks.writeUsbReport(s.usbChunk, first);
    }
}

} // namespace

bool EncodeAndSend(CoreState& s, uint8_t command, uint8_t p1, uint8_t p2, uint8_t p3, uint8_t p4,
                   uint16_t length, const uint8_t* payload) {
    if (!s.linkConnected) return false;
    if (length > kMaxPayload || (length > 0 && payload == nullptr)) return false;

    s.scheduler.sending = 1;
    const size_t size = BuildFrame(s.frameBuffer, s.deviceAddress, command, p1, p2, p3, p4, length, payload);
    switch (s.activeLink) {
    case LinkType::Serial:
    case LinkType::Tcp:
        if (s.hooks.writeFrame) s.hooks.writeFrame(s.frameBuffer, size);
        break;
    case LinkType::Usb:
        SendOverUsb(s, s.frameBuffer, size);
        break;
    }
    if (s.hooks.traceSent) s.hooks.traceSent(s.frameBuffer, size);
    s.scheduler.sending = 0;

    // Every real command starts a fresh waiting period and defers the heartbeat.
    if (command != kCmdHeartbeat) s.scheduler.tickCounter = 0;
    return true;
}

bool SendProgramName(CoreState& s, uint8_t program, const uint8_t name[16]) {
    if (name == nullptr) return false;
    return EncodeAndSend(s, kCmdParamWrite, kKindProgramName, program, 0, 0, kProgramNameChars, name);
}

} // namespace velmar
