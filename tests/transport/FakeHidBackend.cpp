// FakeHidBackend: the scripted HID devices of the transport tests.
#include "FakeHidBackend.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace velmar::test {

namespace {

class FakeHidDevice : public HidDevice {
public:
    explicit FakeHidDevice(std::shared_ptr<FakeHidBackend::DeviceState> state) : m_state(std::move(state)) {}

    bool write(const uint8_t* report, size_t size) override {
        std::unique_lock lock(m_state->mutex);
        m_state->writing = true;
        m_state->changed.notify_all();
        m_state->changed.wait(lock, [&] { return !m_state->stallWrites || m_state->gone; });
        if (m_state->writeDelayMs > 0)
            m_state->changed.wait_for(lock, std::chrono::milliseconds(m_state->writeDelayMs),
                                      [&] { return m_state->gone; });
        m_state->writing = false;
        if (m_state->gone || m_state->refuseWrites) return false;
        m_state->written.emplace_back(report, report + size);
        m_state->changed.notify_all();
        return true;
    }

    int read(uint8_t* out, size_t size, int timeoutMs) override {
        std::unique_lock lock(m_state->mutex);
        m_state->changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                  [&] { return m_state->gone || !m_state->inbound.empty(); });
        if (m_state->gone) return -1;
        if (m_state->inbound.empty()) return 0;
        std::vector<uint8_t> report = std::move(m_state->inbound.front());
        m_state->inbound.pop_front();
        m_state->changed.notify_all();
        const size_t n = std::min(size, report.size());
        std::memcpy(out, report.data(), n);
        return static_cast<int>(n);
    }

private:
    std::shared_ptr<FakeHidBackend::DeviceState> m_state;
};

} // namespace

void FakeHidBackend::addDevice(HidDeviceInfo info) {
    m_states.emplace(info.path, std::make_shared<DeviceState>());
    m_devices.push_back(std::move(info));
}

FakeHidBackend::DeviceState& FakeHidBackend::state(const std::string& path) {
    auto& s = m_states[path];
    if (!s) s = std::make_shared<DeviceState>();
    return *s;
}

void FakeHidBackend::breakDevice(const std::string& path) {
    DeviceState& s = state(path);
    std::lock_guard lock(s.mutex);
    s.gone = true;
    s.changed.notify_all();
}

void FakeHidBackend::remove(const std::string& path) {
    breakDevice(path);
    m_devices.erase(std::remove_if(m_devices.begin(), m_devices.end(),
                                   [&](const HidDeviceInfo& d) { return d.path == path; }),
                    m_devices.end());
    if (m_removalHandler) m_removalHandler(path);
}

void FakeHidBackend::queueReport(const std::string& path, std::vector<uint8_t> report) {
    DeviceState& s = state(path);
    std::lock_guard lock(s.mutex);
    s.inbound.push_back(std::move(report));
    s.changed.notify_all();
}

void FakeHidBackend::setStall(const std::string& path, bool stall) {
    DeviceState& s = state(path);
    std::lock_guard lock(s.mutex);
    s.stallWrites = stall;
    s.changed.notify_all();
}

std::vector<std::vector<uint8_t>> FakeHidBackend::written(const std::string& path) {
    DeviceState& s = state(path);
    std::lock_guard lock(s.mutex);
    return s.written;
}

bool FakeHidBackend::writeInProgress(const std::string& path) {
    DeviceState& s = state(path);
    std::lock_guard lock(s.mutex);
    return s.writing;
}

std::vector<HidDeviceInfo> FakeHidBackend::enumerate() {
    return m_devices;
}

std::unique_ptr<HidDevice> FakeHidBackend::open(const std::string& path) {
    if (std::find(m_refused.begin(), m_refused.end(), path) != m_refused.end()) return nullptr;
    auto it = m_states.find(path);
    if (it == m_states.end()) return nullptr;
    {
        std::lock_guard lock(it->second->mutex);
        ++it->second->openCount;
    }
    return std::make_unique<FakeHidDevice>(it->second);
}

void FakeHidBackend::setRemovalHandler(std::function<void(const std::string& path)> handler) {
    m_removalHandler = std::move(handler);
}

} // namespace velmar::test
