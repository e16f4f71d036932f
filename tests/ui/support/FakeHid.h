// FakeHid: a HID backend with one processor-like device that can be plugged, unplugged and read from.
#pragma once

#include "transport/HidBackend.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

namespace velmar::test {

// The device takes every report and never answers; tests use it for the USB link's open, write,
// removal and closed-link paths. enumerate/open/removal run on the UI thread, the device's read and
// write on the USB threads.
class FakeHid : public HidBackend {
public:
    static constexpr const char* kPath = "/dev/hidraw-fake0";

    void plug() { m_present = true; }
    // Marks the device gone and delivers the removal notice.
    void unplug();
    size_t reportsWritten() const;

    std::vector<HidDeviceInfo> enumerate() override;
    std::unique_ptr<HidDevice> open(const std::string& path) override;
    void setRemovalHandler(std::function<void(const std::string& path)> handler) override;

    struct Shared {
        std::atomic<bool> gone{false};
        mutable std::mutex mutex; // guards written
        std::vector<std::vector<uint8_t>> written;
    };

private:
    bool m_present = false;
    std::shared_ptr<Shared> m_shared = std::make_shared<Shared>();
    std::function<void(const std::string&)> m_removal;
};

} // namespace velmar::test
