// RemovingHidBackend: counting reports and pulling the plug from the writer thread.
#include "RemovingHidBackend.h"

namespace velmar::soak {

namespace {

class CountingDevice : public HidDevice {
public:
    CountingDevice(std::unique_ptr<HidDevice> inner, RemovingHidBackend& owner)
        : m_inner(std::move(inner)), m_owner(owner) {}
    bool write(const uint8_t* report, size_t size) override {
        const bool ok = m_inner->write(report, size);
        if (ok) m_owner.reportWritten(report);
        return ok;
    }
    int read(uint8_t* out, size_t size, int timeoutMs) override {
        return m_inner->read(out, size, timeoutMs);
    }

private:
    std::unique_ptr<HidDevice> m_inner;
    RemovingHidBackend& m_owner;
};

} // namespace

RemovingHidBackend::RemovingHidBackend(SimHidBackend& inner) : m_inner(inner) {
    m_inner.setRemovalHandler([this](const std::string& path) {
        m_inbox.post([this, path] {
            std::function<void(const std::string&)> handler;
            {
                std::lock_guard lock(m_mutex);
                handler = m_handler;
            }
            if (handler) handler(path);
        });
    });
}

RemovingHidBackend::~RemovingHidBackend() {
    m_inner.setRemovalHandler(nullptr);
}

std::unique_ptr<HidDevice> RemovingHidBackend::open(const std::string& path) {
    std::unique_ptr<HidDevice> device = m_inner.open(path);
    if (!device) return nullptr;
    return std::make_unique<CountingDevice>(std::move(device), *this);
}

void RemovingHidBackend::setRemovalHandler(std::function<void(const std::string& path)> handler) {
    std::lock_guard lock(m_mutex);
    m_handler = std::move(handler);
}

void RemovingHidBackend::armRemoval(uint8_t command, int reports) {
    std::lock_guard lock(m_mutex);
    m_command = command;
    m_reports = reports;
    m_counted = -1;
    m_removed.store(false);
}

void RemovingHidBackend::reportWritten(const uint8_t* report) {
    bool pull = false;
    {
        std::lock_guard lock(m_mutex);
        if (m_reports <= 0) return;
        // report[0] is the report number; a frame starts with three sync bytes in its first report.
        const bool starts =
            report[1] == 0x5A && report[2] == 0x5A && report[3] == 0x5A && report[6] == m_command;
        if (m_counted < 0 && starts) m_counted = 0;
        if (m_counted < 0) return;
        if (++m_counted == m_reports) {
            m_reportsBefore.store(m_counted);
            m_reports = 0;
            pull = true;
        }
    }
    if (pull) {
        m_inner.remove(SimHidBackend::kProcessorPath);
        m_removed.store(true);
    }
}

} // namespace velmar::soak
