// The simulated processor on USB: a fake HID backend that tests use in place of hidapi.
#pragma once

#include "sim/SimDevice.h"
#include "sim/SimFaultInjector.h"
#include "sim/SimFrameLog.h"
#include "transport/HidBackend.h"

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace velmar {

// Enumerates the simulated processor (vendor 0x0483, product 0x5750, version 0x0200, path
// kProcessorPath) and any extra fake devices a test adds (a wrong version, a second unit, ...).
//
// The processor's handles take 65-byte output reports with report number 0; their 64 data bytes are
// one stream into the unit's receiver, so a frame may span reports and the zero fill after a frame is
// skipped like noise. Each reply is cut into 64-byte input reports, zero-filled in the last, and
// delivered report number first (65 bytes) to every open handle, as hidraw does. Reply delays and
// noise of the fault injector apply; split does not (the reports already cut every reply), nor does
// close (use remove()).
//
// Fake devices open too; their handles swallow writes and never answer.
//
// Thread-safety: every function may be called from any thread. HidDevice::write() and read() of a
// handle may run at the same time on two threads. The removal handler runs on the thread that calls
// remove(). The device and log must outlive the backend and every handle it opened.
class SimHidBackend : public HidBackend {
public:
    static constexpr const char* kProcessorPath = "sim-hid:processor";
    static constexpr uint16_t kVendorId = 0x0483;
    static constexpr uint16_t kProductId = 0x5750;
    static constexpr uint16_t kReleaseNumber = 0x0200;

    explicit SimHidBackend(SimDevice& device, SimFaultConfig faults = {}, SimFrameLog* log = nullptr);
    ~SimHidBackend() override;

    std::vector<HidDeviceInfo> enumerate() override;
    std::unique_ptr<HidDevice> open(const std::string& path) override;
    void setRemovalHandler(std::function<void(const std::string& path)> handler) override;

    // Adds a fake HID device to the enumeration, after the present ones or (listFirst) before them.
    void addFakeDevice(const HidDeviceInfo& info, bool listFirst = false);
    // Unplugs a device: it leaves the enumeration, its handles' reads return -1 and writes false, and
    // the removal handler is called with its path on this thread. Unknown or absent paths do nothing.
    void remove(const std::string& path = kProcessorPath);
    // Plugs the processor back in (at its old place in the list); handles opened before stay dead.
    void reattach();

    // The processor's fault injector (silence, drops, corruption, noise, delay).
    SimFaultInjector& faults();

    struct Attachment; // one plugged-in device; shared with its handles

private:
    SimDevice& device_;
    SimFrameLog* log_;
    std::shared_ptr<SimFaultInjector> faults_;

    mutable std::mutex mutex_; // guards the members below
    struct Entry {
        HidDeviceInfo info;
        bool processor = false;
        std::shared_ptr<Attachment> attachment; // null while unplugged
    };
    std::vector<Entry> entries_;
    std::function<void(const std::string&)> removalHandler_;
};

} // namespace velmar
