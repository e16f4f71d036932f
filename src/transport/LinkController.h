// LinkController: owns the serial port, the USB link and the TCP link, opens one at a time, plugs the
// active one into the protocol core's hooks and hands received bytes to the core.
#pragma once

#include "core/CoreState.h"
#include "core/ReplyParser.h"
#include "core/Scheduler.h"
#include "transport/ClientSocket.h"
#include "transport/HidBackend.h"
#include "transport/Serial/SerialPort.h"
#include "transport/UsbLink.h"

#include <QMetaType>
#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

namespace velmar {

// Threads: a LinkController lives on the thread that owns the CoreState (the user-interface thread, or
// the command-line tool's event loop); every function, every hook it installs and every signal runs
// there. Received bytes reach the core only on that thread: the serial listener posts line events, the
// USB reader queues its reports and the TCP socket notifies through the event loop. Signals that follow
// from a call the core made into a hook are queued, so a slot that opens a message box never runs
// inside the core.
class LinkController : public QObject {
    Q_OBJECT
public:
    static constexpr uint32_t kSerialWriteTimeoutMs = 210;
    static constexpr uint32_t kSerialReadTimeoutMs = 100;
    static constexpr int kReceiveChunk = 1280;

    // Where received bytes go, and how a new connection starts its handshake.
    struct CoreSinks {
        std::function<void(const uint8_t* bytes, int16_t count)> feedBytes;
        std::function<void(const uint8_t* report)> feedReport;
        std::function<void()> queueHandshake;
    };

    // hid is the HID access for the USB link (HidapiBackend in the application); nullptr leaves the
    // USB link without devices.
    explicit LinkController(std::unique_ptr<HidBackend> hid, QObject* parent = nullptr);
    ~LinkController() override;

    // Installs writeFrame, writeUsbReport and closeLink on s and feeds received bytes into the core.
    // s must outlive the controller or be detached first.
    void attach(CoreState& s) {
        attach(s, CoreSinks{[&s](const uint8_t* bytes, int16_t count) { FeedBytes(s, bytes, count); },
                            [&s](const uint8_t* report) { FeedReport(s, report); },
                            [&s] { QueueHandshake(s); }});
    }
    // The same with other sinks (tests, tools that watch the bytes).
    void attach(CoreState& s, CoreSinks sinks);
    // Removes the hooks again; the links stay as they are.
    void detach();

    // Each open first closes whatever link is open. On success: linkConnected 1, activeLink set,
    // linkConfirmed 0, the handshake queued, linkOpened emitted.
    //
    // Opens a port by name ("ttyUSB0") or path (also a pseudo-terminal) at 19200 bit/s, 8 data bits,
    // no parity, one stop bit, no handshaking, every line event. False, with serialOpenFailed, when it
    // could not be opened or set up; the port is then closed again.
    bool openSerial(const QString& port);
    // Searches the processor's USB interface and counts as connected whether or not it was found: a
    // missing device shows at the first frame (usbDeviceDisconnect). True when it was found.
    bool openUsb();
    // Starts connecting to wifiAddress:wifiPort; linkOpened or tcpOpenFailed follows within two
    // seconds.
    void openTcp();
    // Closes whatever is open and clears linkConnected.
    void closeLink();
    bool tcpConnecting() const { return m_tcp.IsConnecting(); }

    QString wifiAddress() const { return m_wifiAddress; }
    void setWifiAddress(const QString& address) { m_wifiAddress = address; }
    int wifiPort() const { return m_wifiPort; }
    void setWifiPort(int port) { m_wifiPort = port; }

    SerialPort& serialPort() { return m_serial; }
    UsbLink& usbLink() { return m_usb; }
    ClientSocket& tcpLink() { return m_tcp; }
    // The 1280-byte buffer the TCP receive fills; zeroed by every close.
    const uint8_t* tcpRxBuffer() const { return m_tcpRxBuffer; }

signals:
    void linkOpened(velmar::LinkType link);
    void linkClosed(velmar::LinkType link);
    // "Unable to open COM-port". error is what the failed step returned: the errno of the system call
    // (EACCES when the user may not open the port, ENOENT, EBUSY, ...) or a CSerial error code.
    void serialOpenFailed(const QString& port, int error);
    // "Can't open the wifi"
    void tcpOpenFailed(const QString& reason);
    // "Device disconnect": a USB frame met a closed link; the link is no longer connected.
    void usbDeviceDisconnect();
    // "Can't find the device, please check it": the open USB device went away; no longer connected.
    void usbDeviceRemoved();
    // Every serial line event as posted (event bits, line error flags), for diagnostics.
    void serialLineEvent(quint16 events, quint16 errors);

protected:
    void customEvent(QEvent* event) override;

private:
    void closeTransports();
    void markOpened(LinkType link);
    void notify(std::function<void()> emitter);
    void writeFrame(const uint8_t* data, size_t size);
    bool writeUsbReport(const uint8_t* report, bool firstOfFrame);
    void closeFromCore();
    void onTcpReceive();
    void onClosedLinkWrite();
    void onUsbRemoved();

    CoreState* m_state = nullptr;
    CoreSinks m_sinks;
    std::unique_ptr<HidBackend> m_hid; // before m_usb, which uses it until its end
    SerialPort m_serial;
    UsbLink m_usb;
    ClientSocket m_tcp;
    QString m_wifiAddress;
    int m_wifiPort;
    int m_hookDepth = 0; // > 0 while the core is inside one of our hooks
    bool m_destroying = false;
    uint8_t m_serialRxBuffer[kReceiveChunk]{};
    uint8_t m_tcpRxBuffer[kReceiveChunk]{};
};

} // namespace velmar

Q_DECLARE_METATYPE(velmar::LinkType)
