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
    // A full-speed interrupt endpoint takes a report per polling interval (1 to 32 ms in practice): each
    // report of a frame gets this long, so the 26 reports of a whole image get 1.3 s.
    static constexpr std::chrono::milliseconds kReportBudget{50};
    // How long a frame may wait behind earlier ones before it is not worth sending any more.
    static constexpr std::chrono::milliseconds kFrameQueueLimit{1000};
    // Two whole images' worth of reports.
    static constexpr size_t kMaxQueuedReports = 64;

    // backend is not owned and must outlive the link; without one no device is ever found.
    explicit UsbLink(HidBackend* backend, QObject* parent = nullptr);
    ~UsbLink() override;

    // Closes any open device, then opens the first present interface with vendor 0x0483, product 0x5750
    // and version 0x0200, in enumeration order. False when none was found or it could not be opened.
    bool OpenUsbDevice();
    // Always 0. Waits at most one read time-out for the reader; a write still in progress finishes on
    // its own thread.
    int CloseUsbDevice();
    // Starts writing one output report on its own (report number 0, then the 64 bytes of chunk). 1 when
    // it is being written, 0 when nothing was sent: the link is closed (closedLinkWrite is emitted first)
    // or a previous report is still queued or in flight.
    int WriteUsbReport(const uint8_t* chunk);
    // Queues one report of a frame for the writer thread and returns at once: the caller never waits for
    // the device. The reports of a frame are written in order, each within its own budget counted from
    // the frame's first report (kReportBudget per report, so a slow endpoint gets the time a long frame
    // needs); a report past its budget, or refused, drops the rest of its frame. False when nothing was
    // queued: no device (closedLinkWrite is emitted first), the queue is full (the frame is dropped
    // whole), or an earlier report of this frame was refused.
    bool QueueFrameReport(const uint8_t* chunk, bool firstOfFrame);
    // Waits until no report is queued or in flight or the deadline passes; true when none is.
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
    struct QueuedReport;
    static void WriterLoop(Session& session);
    static void Enqueue(Session& session, const uint8_t* chunk, uint64_t frame, int index);
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
