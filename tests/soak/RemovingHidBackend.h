// RemovingHidBackend: the simulated processor on USB, with a plug that can be pulled while a frame is
// half way through its reports.
#pragma once

#include "sim/SimHidBackend.h"
#include "transport/HidBackend.h"
#include "transport/ThreadInbox.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace velmar::soak {

// Wraps a SimHidBackend. Removal notices reach the handler on the thread that created this backend
// (the user-interface thread), as the system's notices do, whichever thread pulled the plug.
//
// Thread-safety: armRemoval() and the counters from any thread; the HidBackend calls as that interface
// says.
class RemovingHidBackend : public HidBackend {
public:
    explicit RemovingHidBackend(SimHidBackend& inner);
    ~RemovingHidBackend() override;

    // The next frame with this command that is written is cut off: after `reports` of its reports have
    // gone out, the device is unplugged from the writer thread, in the middle of the frame.
    void armRemoval(uint8_t command, int reports);
    bool removalDone() const { return m_removed.load(); }
    // Reports of the cut frame that were written before the plug came out.
    int reportsBeforeRemoval() const { return m_reportsBefore.load(); }

    std::vector<HidDeviceInfo> enumerate() override { return m_inner.enumerate(); }
    std::unique_ptr<HidDevice> open(const std::string& path) override;
    void setRemovalHandler(std::function<void(const std::string& path)> handler) override;

    // Called by an open device for every report it wrote (writer thread).
    void reportWritten(const uint8_t* report);

private:
    SimHidBackend& m_inner;
    ThreadInbox m_inbox;
    std::mutex m_mutex; // guards m_handler and the arming below
    std::function<void(const std::string&)> m_handler;
    uint8_t m_command = 0;
    int m_reports = 0;
    int m_counted = -1; // -1: the cut frame has not started
    std::atomic<bool> m_removed{false};
    std::atomic<int> m_reportsBefore{0};
};

} // namespace velmar::soak
