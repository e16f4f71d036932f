// HidapiBackend: enumeration and report I/O through hidapi (hidraw), removal notices through libudev.
#include "HidapiBackend.h"

#include <QSocketNotifier>
#include <QtGlobal>

#include <hidapi.h>
#include <libudev.h>

#include <cstring>
#include <cwchar>

namespace velmar {

namespace {

std::string ToUtf8(const wchar_t* text) {
    if (!text) return {};
    std::string out;
    for (; *text; ++text) {
        const auto c = static_cast<uint32_t>(*text);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x110000) {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

struct HidCloser {
    void operator()(hid_device* d) const { hid_close(d); }
};
using HidHandle = std::unique_ptr<hid_device, HidCloser>;

// The processor's reports carry no report number, so the kernel hands out the 64 data bytes alone and
// takes report number 0 as "unnumbered" on output. Two handles keep the reader and the writer apart:
// hidapi keeps per-handle error state that is not safe to share between threads.
class HidapiDevice : public HidDevice {
public:
    HidapiDevice(HidHandle reader, HidHandle writer)
        : m_reader(std::move(reader)), m_writer(std::move(writer)) {}

    bool write(const uint8_t* report, size_t size) override {
        return hid_write(m_writer.get(), report, size) == static_cast<int>(size);
    }

    int read(uint8_t* out, size_t size, int timeoutMs) override {
        if (size < 2) return -1;
        const int n = hid_read_timeout(m_reader.get(), out + 1, size - 1, timeoutMs);
        if (n <= 0) return n < 0 ? -1 : 0;
        out[0] = 0; // the report number, 0 for an unnumbered report
        return n + 1;
    }

private:
    HidHandle m_reader;
    HidHandle m_writer;
};

} // namespace

void HidapiBackend::UdevDeleter::operator()(udev* u) const {
    udev_unref(u);
}
void HidapiBackend::MonitorDeleter::operator()(udev_monitor* m) const {
    udev_monitor_unref(m);
}

HidapiBackend::HidapiBackend() {
    // Before any thread opens a handle.
    if (hid_init() != 0) qWarning("HidapiBackend: hid_init failed");
    m_udev.reset(udev_new());
    if (!m_udev) {
        qWarning("HidapiBackend: no udev; device removal is noticed by failing reads only");
        return;
    }
    m_monitor.reset(udev_monitor_new_from_netlink(m_udev.get(), "udev"));
    if (!m_monitor ||
        udev_monitor_filter_add_match_subsystem_devtype(m_monitor.get(), "hidraw", nullptr) < 0 ||
        udev_monitor_enable_receiving(m_monitor.get()) < 0) {
        qWarning("HidapiBackend: no udev monitor; device removal is noticed by failing reads only");
        m_monitor.reset();
        return;
    }
    m_notifier =
        std::make_unique<QSocketNotifier>(udev_monitor_get_fd(m_monitor.get()), QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_notifier.get(),
                     [this] { readMonitor(); });
}

HidapiBackend::~HidapiBackend() {
    m_notifier.reset();
    m_monitor.reset();
    m_udev.reset();
}

std::vector<HidDeviceInfo> HidapiBackend::enumerate() {
    std::vector<HidDeviceInfo> list;
    hid_device_info* devices = hid_enumerate(0, 0);
    for (const hid_device_info* d = devices; d; d = d->next) {
        HidDeviceInfo info;
        info.vendorId = d->vendor_id;
        info.productId = d->product_id;
        info.releaseNumber = d->release_number;
        info.path = d->path ? d->path : "";
        info.product = ToUtf8(d->product_string);
        list.push_back(std::move(info));
    }
    hid_free_enumeration(devices);
    return list;
}

std::unique_ptr<HidDevice> HidapiBackend::open(const std::string& path) {
    HidHandle reader(hid_open_path(path.c_str()));
    if (!reader) return nullptr;
    HidHandle writer(hid_open_path(path.c_str()));
    if (!writer) return nullptr;
    return std::make_unique<HidapiDevice>(std::move(reader), std::move(writer));
}

void HidapiBackend::setRemovalHandler(std::function<void(const std::string& path)> handler) {
    m_removalHandler = std::move(handler);
}

void HidapiBackend::readMonitor() {
    // The monitor socket is non-blocking: take every queued notice.
    while (udev_device* device = udev_monitor_receive_device(m_monitor.get())) {
        const char* action = udev_device_get_action(device);
        const char* node = udev_device_get_devnode(device);
        std::string path = node ? node : "";
        const bool removed = action && std::strcmp(action, "remove") == 0;
        udev_device_unref(device);
        if (removed && !path.empty() && m_removalHandler) m_removalHandler(path);
    }
}

} // namespace velmar
