// UsbLink: the processor's USB HID interface — search and open, one output report at a time, input
// reports handed to the user-interface thread, removal notices.
#pragma once

#include "transport/HidBackend.h"
#include "transport/ThreadInbox.h"

#include <QObject>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace velmar {

// Threads: the UsbLink lives on the user-interface thread, and every public function is called there.
// While a device is open a reader thread only reads input reports and hands each over with a queued
// call; a writer thread performs the report writes, so a device that is slow to take a report never
// holds the user-interface thread. Both belong to the open device and end with it.
class UsbLink : public QObject {
    Q_OBJECT
public:
    static constexpr uint16_t kVendorId = 0x0483;
    static constexpr uint16_t kProductId = 0x5750;
    static constexpr uint16_t kReleaseNumber = 0x0200;
    // How long one read waits before the reader looks whether it should stop; bounds CloseUsbDevice.
    static constexpr int kReadTimeoutMs = 50;
    static constexpr size_t kReadBufferSize = 512;

    // backend is not owned and must outlive the link; without one no device is ever found.
    explicit UsbLink(HidBackend* backend, QObject* parent = nullptr);
    ~UsbLink() override;

    // Closes any open device, then opens the first present interface with vendor 0x0483, product 0x5750
    // and version 0x0200, in enumeration order. False when none was found or it could not be opened.
    bool OpenUsbDevice();
    // Always 0. Waits at most one read time-out for the reader; a write still in progress finishes on
    // its own thread.
    int CloseUsbDevice();
    // Starts writing one output report (report number 0, then the 64 bytes of chunk). 1 when it is being
    // written, 0 when nothing was sent: the link is closed (closedLinkWrite is emitted first) or a
    // previous report is still in flight.
    int WriteUsbReport(const uint8_t* chunk);
    // Waits until no report is in flight or the deadline passes; true when none is in flight.
    bool WaitWriteDone(std::chrono::steady_clock::time_point deadline);
    // True when the last completed write was refused by the device.
    bool LastWriteFailed() const;

    bool usbOpen() const { return m_session != nullptr; }
    bool usbWriteBusy() const;
    // Path of the device opened by the last search; empty when it found none.
    const std::string& usbDevicePath() const { return m_usbDevicePath; }

    // Receives each input report (65 bytes: report number, then 64 data bytes) of the open device, on
    // this object's thread, in arrival order.
    void setReportHandler(std::function<void(const uint8_t* report)> handler);

signals:
    // WriteUsbReport was called while no device is open ("Device disconnect").
    void closedLinkWrite();
    // The open device was unplugged or stopped answering reads; the link has been closed already.
    void deviceRemoved();

private:
    struct Session;
    void deliverReport(uint64_t sessionId, const uint8_t* report);
    void deviceGone(uint64_t sessionId);
    void removalNotice(const std::string& path);

    HidBackend* m_backend;
    ThreadInbox m_inbox; // carries reports and failures from the reader to this object's thread
    std::shared_ptr<Session> m_session;
    std::string m_usbDevicePath;
    std::function<void(const uint8_t*)> m_reportHandler;
    uint64_t m_nextSessionId = 1;
};

} // namespace velmar
