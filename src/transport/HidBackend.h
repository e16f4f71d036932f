// The small HID access interface behind the USB link: hidapi in the application, the simulator's
// in-process device in tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace velmar {

inline constexpr size_t kHidOutReportSize = 65; // report number 0, then 64 data bytes
inline constexpr size_t kHidInReportSize = 65;  // report number, then 64 data bytes

struct HidDeviceInfo {
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t releaseNumber = 0; // the HID "version number", e.g. 0x0200
    std::string path;
    std::string product; // friendly name where the system has one
};

// One open HID interface. write() is called on the USB writer thread, read() on the USB reader thread,
// and the device is destroyed on whichever of them lets go of it last. A device must allow one reader
// and one writer at the same time.
class HidDevice {
public:
    virtual ~HidDevice() = default;
    // Writes one output report (65 bytes, report number first). Returns false when it was refused or the
    // device is gone; the caller drops the chunk.
    virtual bool write(const uint8_t* report, size_t size) = 0;
    // Waits up to timeoutMs for one input report and stores it, report number first, in out (at least
    // 65 bytes). Returns the number of bytes stored, 0 on time-out, -1 when the device is gone.
    virtual int read(uint8_t* out, size_t size, int timeoutMs) = 0;
};

class HidBackend {
public:
    virtual ~HidBackend() = default;
    // The present HID interfaces, in the system's enumeration order.
    virtual std::vector<HidDeviceInfo> enumerate() = 0;
    // Opens an interface by path; nullptr when it cannot be opened.
    virtual std::unique_ptr<HidDevice> open(const std::string& path) = 0;
    // Removal notices: called on the thread that owns the backend (the UI thread) with the removed path.
    virtual void setRemovalHandler(std::function<void(const std::string& path)> handler) = 0;
};

} // namespace velmar
