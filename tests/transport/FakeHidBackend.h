// A HID backend for the transport tests: scripted devices with recorded writes, queued input reports,
// stalled writes, failing reads and removal notices.
#pragma once

#include "transport/HidBackend.h"

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <vector>

namespace velmar::test {

class FakeHidBackend : public HidBackend {
public:
    // The state of one fake device, shared by the backend and the open device object.
    struct DeviceState {
        // Guards every field below; the reader and the writer threads use it together with the test.
        std::mutex mutex;
        std::condition_variable changed;
        std::vector<std::vector<uint8_t>> written;
        std::deque<std::vector<uint8_t>> inbound;
        bool stallWrites = false;
        int writeDelayMs = 0; // how long each write takes, as on an endpoint polled that slowly
        bool writing = false;
        bool refuseWrites = false;
        bool gone = false;
        int openCount = 0;
    };

    void addDevice(HidDeviceInfo info);
    // Marks the device gone and delivers the removal notice (call on the test's main thread).
    void remove(const std::string& path);
    // Marks the device gone without a notice: its reads fail.
    void breakDevice(const std::string& path);
    void refuseOpen(const std::string& path) { m_refused.push_back(path); }

    DeviceState& state(const std::string& path);
    void queueReport(const std::string& path, std::vector<uint8_t> report);
    void setStall(const std::string& path, bool stall);
    std::vector<std::vector<uint8_t>> written(const std::string& path);
    bool writeInProgress(const std::string& path);

    std::vector<HidDeviceInfo> enumerate() override;
    std::unique_ptr<HidDevice> open(const std::string& path) override;
    void setRemovalHandler(std::function<void(const std::string& path)> handler) override;

private:
    std::vector<HidDeviceInfo> m_devices;
    std::vector<std::string> m_refused;
    std::map<std::string, std::shared_ptr<DeviceState>> m_states;
    std::function<void(const std::string&)> m_removalHandler;
};

} // namespace velmar::test
