// The system's HID access: hidapi on the kernel's raw HID nodes, with removal notices from a udev monitor.
#pragma once

#include "HidBackend.h"

#include <memory>

class QSocketNotifier;
struct udev;
struct udev_monitor;

namespace velmar {

// Lives on the user-interface thread, which needs a running Qt event loop for the removal notices.
// Without a udev monitor (no netlink access) it still works; removals are then noticed by the reader
// when a read fails.
class HidapiBackend : public HidBackend {
public:
    HidapiBackend();
    ~HidapiBackend() override;

    std::vector<HidDeviceInfo> enumerate() override;
    std::unique_ptr<HidDevice> open(const std::string& path) override;
    void setRemovalHandler(std::function<void(const std::string& path)> handler) override;

private:
    void readMonitor();

    struct UdevDeleter {
        void operator()(udev* u) const;
    };
    struct MonitorDeleter {
        void operator()(udev_monitor* m) const;
    };
    std::unique_ptr<udev, UdevDeleter> m_udev;
    std::unique_ptr<udev_monitor, MonitorDeleter> m_monitor;
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::function<void(const std::string&)> m_removalHandler;
};

} // namespace velmar
