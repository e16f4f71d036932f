// LinkController: opening and closing links, the core's transport hooks, received bytes into the core.
#include "LinkController.h"

#include <QMetaObject>

#include <cstring>

namespace velmar {

namespace {

// RAII marker for "the core is calling us", so signals raised meanwhile are queued.
class HookScope {
public:
    explicit HookScope(int& depth) : m_depth(depth) { ++m_depth; }
    ~HookScope() { --m_depth; }
    HookScope(const HookScope&) = delete;
    HookScope& operator=(const HookScope&) = delete;

private:
    int& m_depth;
};

} // namespace

LinkController::LinkController(std::unique_ptr<HidBackend> hid, QObject* parent)
    : QObject(parent), m_hid(std::move(hid)), m_usb(m_hid.get(), this), m_tcp(this),
      m_wifiAddress(QString::fromLatin1(kDefaultWifiAddress)), m_wifiPort(kDefaultWifiPort) {
    m_usb.setReportHandler([this](const uint8_t* report) {
        if (m_sinks.feedReport) m_sinks.feedReport(report);
    });
    connect(&m_usb, &UsbLink::closedLinkWrite, this, &LinkController::onClosedLinkWrite);
    connect(&m_usb, &UsbLink::deviceRemoved, this, &LinkController::onUsbRemoved);
    connect(&m_tcp, &ClientSocket::receiveReady, this, &LinkController::onTcpReceive);
    connect(&m_tcp, &ClientSocket::connected, this, [this] { markOpened(LinkType::Tcp); });
    connect(&m_tcp, &ClientSocket::connectFailed, this, [this](const QString& reason) {
        if (m_state) m_state->linkConnected = 0;
        emit tcpOpenFailed(reason);
    });
}

LinkController::~LinkController() {
    m_destroying = true;
    detach();
    closeTransports();
}

void LinkController::attach(CoreState& s, CoreSinks sinks) {
    detach();
    m_state = &s;
    m_sinks = std::move(sinks);
    s.hooks.writeFrame = [this](const uint8_t* data, size_t size) {
        HookScope scope(m_hookDepth);
        writeFrame(data, size);
    };
    s.hooks.writeUsbReport = [this](const uint8_t* report, bool firstOfFrame) {
        HookScope scope(m_hookDepth);
        return writeUsbReport(report, firstOfFrame);
    };
    s.hooks.closeLink = [this] {
        HookScope scope(m_hookDepth);
        closeFromCore();
    };
}

void LinkController::detach() {
    if (!m_state) return;
    m_state->hooks.writeFrame = nullptr;
    m_state->hooks.writeUsbReport = nullptr;
    m_state->hooks.closeLink = nullptr;
    m_state = nullptr;
    m_sinks = CoreSinks{};
}

void LinkController::notify(std::function<void()> emitter) {
    if (m_destroying) return;
    if (m_hookDepth > 0)
        QMetaObject::invokeMethod(this, std::move(emitter), Qt::QueuedConnection);
    else
        emitter();
}

void LinkController::closeTransports() {
    if (m_serial.IsOpen()) {
        m_serial.Close();
        notify([this] { emit linkClosed(LinkType::Serial); });
    }
    if (m_usb.usbOpen()) {
        m_usb.CloseUsbDevice();
        notify([this] { emit linkClosed(LinkType::Usb); });
    }
    const bool tcpWasOpen = m_tcp.IsConnected();
    m_tcp.CloseTcpLink(); // also abandons a connect in progress
    std::memset(m_tcpRxBuffer, 0, sizeof m_tcpRxBuffer);
    if (tcpWasOpen) notify([this] { emit linkClosed(LinkType::Tcp); });
}

void LinkController::markOpened(LinkType link) {
    if (m_state) {
        m_state->linkConnected = 1;
        m_state->activeLink = link;
        m_state->linkConfirmed = 0;
    }
    if (m_sinks.queueHandshake) m_sinks.queueHandshake();
    notify([this, link] { emit linkOpened(link); });
}

bool LinkController::openSerial(const QString& port) {
    // Every link is closed, not only the one marked active: a USB link that the supervision declared
    // lost keeps its device open, and its reports must not run into the new link's replies.
    closeTransports();
    if (m_state) m_state->linkConnected = 0;
    const bool opened = m_serial.Open(port, *this) == 0 &&
                        m_serial.Setup(19200, 8, CSerial::EParNone, CSerial::EStop1) == 0 &&
                        m_serial.SetupHandshaking(CSerial::EHandshakeOff) == 0 &&
                        m_serial.SetMask(CSerial::kAllEvents) == 0;
    if (!opened) {
        // Taken before the close, which starts from a clean error code.
        const int32_t error = m_serial.GetLastError();
        // A port that opened but cannot be set up is not left held.
        if (m_serial.IsOpen()) m_serial.Close();
        emit serialOpenFailed(port, error);
        return false;
    }
    markOpened(LinkType::Serial);
    return true;
}

bool LinkController::openUsb() {
    closeTransports();
    const bool found = m_usb.OpenUsbDevice();
    markOpened(LinkType::Usb);
    return found;
}

void LinkController::openTcp() {
    closeTransports();
    if (m_state) m_state->linkConnected = 0;
    if (m_wifiPort <= 0 || m_wifiPort > 65535) {
        emit tcpOpenFailed(QStringLiteral("invalid port %1").arg(m_wifiPort));
        return;
    }
    m_tcp.OpenTcpLink(m_wifiAddress, static_cast<quint16>(m_wifiPort));
}

void LinkController::closeLink() {
    closeTransports();
    if (m_state) m_state->linkConnected = 0;
}

void LinkController::closeFromCore() {
    closeTransports();
    if (m_state) m_state->linkConnected = 0;
}

void LinkController::writeFrame(const uint8_t* data, size_t size) {
    if (!m_state) return;
    switch (m_state->activeLink) {
    case LinkType::Serial: {
        // A write that cannot finish in time is dropped; the scheduler resends.
        uint32_t written = 0;
        m_serial.Write(data, size, &written, nullptr, kSerialWriteTimeoutMs);
        break;
    }
    case LinkType::Tcp:
        m_tcp.Send(data, size);
        break;
    case LinkType::Usb:
        break;
    }
}

bool LinkController::writeUsbReport(const uint8_t* report, bool firstOfFrame) {
    // Queued for the writer thread, which gives each report its own budget: the caller never waits.
    return m_usb.QueueFrameReport(report, firstOfFrame); // no device: raises closedLinkWrite
}

void LinkController::onClosedLinkWrite() {
    const bool wasConnected = m_state && m_state->linkConnected;
    closeTransports();
    if (m_state) m_state->linkConnected = 0;
    // Once per connection: the core sends nothing more until the user connects again.
    if (wasConnected) notify([this] { emit usbDeviceDisconnect(); });
}

void LinkController::onUsbRemoved() {
    if (m_state && m_state->activeLink == LinkType::Usb) m_state->linkConnected = 0;
    notify([this] { emit linkClosed(LinkType::Usb); });
    notify([this] { emit usbDeviceRemoved(); });
}

void LinkController::onTcpReceive() {
    const int n = m_tcp.Receive(m_tcpRxBuffer, kReceiveChunk);
    if (m_sinks.feedBytes) m_sinks.feedBytes(m_tcpRxBuffer, static_cast<int16_t>(n));
}

void LinkController::customEvent(QEvent* event) {
    if (event->type() != CSerialWnd::DefaultComMsg()) {
        QObject::customEvent(event);
        return;
    }
    const auto* line = static_cast<const SerialLineEvent*>(event);
    emit serialLineEvent(line->events(), line->errors());
    if (!(line->events() & CSerial::EEventRecv)) return;
    // One read per notice; a notice for a port closed since reads nothing (code 6) and feeds 0 bytes.
    uint32_t count = 0;
    m_serial.Read(m_serialRxBuffer, sizeof m_serialRxBuffer, &count, nullptr, kSerialReadTimeoutMs);
    if (m_sinks.feedBytes) m_sinks.feedBytes(m_serialRxBuffer, static_cast<int16_t>(count));
}

} // namespace velmar
