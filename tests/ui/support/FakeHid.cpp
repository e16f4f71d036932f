// The fake HID backend and its device.
#include "support/FakeHid.h"

#include <chrono>
#include <thread>

namespace velmar::test {

namespace {

class FakeDevice : public HidDevice {
public:
    explicit FakeDevice(std::shared_ptr<FakeHid::Shared> shared) : m_shared(std::move(shared)) {}
    bool write(const uint8_t* report, size_t size) override {
        if (m_shared->gone) return false;
        std::lock_guard lock(m_shared->mutex);
        m_shared->written.emplace_back(report, report + size);
        return true;
    }
    int read(uint8_t*, size_t, int timeoutMs) override {
        if (m_shared->gone) return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min(timeoutMs, 5)));
        return m_shared->gone ? -1 : 0;
    }

private:
    std::shared_ptr<FakeHid::Shared> m_shared;
};

} // namespace

void FakeHid::unplug() {
    m_present = false;
    m_shared->gone = true;
    if (m_removal) m_removal(kPath);
}

size_t FakeHid::reportsWritten() const {
    std::lock_guard lock(m_shared->mutex);
    return m_shared->written.size();
}

std::vector<HidDeviceInfo> FakeHid::enumerate() {
    if (!m_present) return {};
    return {HidDeviceInfo{0x0483, 0x5750, 0x0200, kPath, "Fake processor"}};
}

std::unique_ptr<HidDevice> FakeHid::open(const std::string& path) {
    if (!m_present || path != kPath) return nullptr;
    m_shared->gone = false;
    return std::make_unique<FakeDevice>(m_shared);
}

void FakeHid::setRemovalHandler(std::function<void(const std::string& path)> handler) {
    m_removal = std::move(handler);
}

} // namespace velmar::test
