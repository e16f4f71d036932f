// UsbLink: device matching, the reader and writer threads of an open device, removal handling.
#include "UsbLink.h"

#include <QtGlobal>

#include <algorithm>
#include <array>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>

namespace velmar {

namespace {

using ReportBuffer = std::array<uint8_t, kHidInReportSize>;

} // namespace

// One output report waiting for the writer: report number 0 and 64 bytes, the frame it belongs to and
// its place in that frame.
struct UsbLink::QueuedReport {
    std::array<uint8_t, kHidOutReportSize> bytes{};
    uint64_t frame = 0;
    int index = 0;
    std::chrono::steady_clock::time_point queuedAt;
};

// One open device with its two threads. Shared with those threads, so a writer that is still busy when
// the link closes can finish and release the device on its own.
struct UsbLink::Session {
    uint64_t id = 0;
    std::unique_ptr<HidDevice> device;
    std::atomic<bool> stop{false};

    // Guards every field up to the threads: the hand-over of reports from the user-interface thread to
    // the writer thread and their completion. `busy` is true while a report is queued or being written.
    std::mutex mutex;
    std::condition_variable changed;
    bool busy = false;
    bool writeFailed = false;
    std::deque<QueuedReport> queue;
    uint64_t nextFrame = 1;
    uint64_t droppedFrame = 0; // a frame refused at its first report: its other reports are refused too
    uint64_t queuingFrame = 0; // the frame whose reports are being queued, and the next one's place
    int queuingIndex = 0;

    std::thread reader;
    std::thread writer;
};

UsbLink::UsbLink(HidBackend* backend, QObject* parent) : QObject(parent), m_backend(backend), m_inbox(this) {
    if (m_backend) m_backend->setRemovalHandler([this](const std::string& path) { removalNotice(path); });
}

UsbLink::~UsbLink() {
    if (m_backend) m_backend->setRemovalHandler(nullptr);
    CloseUsbDevice();
}

bool UsbLink::OpenUsbDevice() {
    CloseUsbDevice();
    m_usbDevicePath.clear();
    if (!m_backend) return false;
    for (const HidDeviceInfo& info : m_backend->enumerate()) {
        if (info.vendorId != kVendorId || info.productId != kProductId ||
            info.releaseNumber != kReleaseNumber)
            continue;
        std::unique_ptr<HidDevice> device = m_backend->open(info.path);
        if (!device) {
            // Usually the access rights of the device node (see the udev rule shipped with the program).
            qWarning("UsbLink: found the processor at %s but cannot open it", info.path.c_str());
            return false;
        }
        m_usbDevicePath = info.path;

        auto session = std::make_shared<Session>();
        session->id = m_nextSessionId++;
        session->device = std::move(device);
        const uint64_t id = session->id;
        session->reader = std::thread([this, session, id] {
            std::array<uint8_t, kReadBufferSize> buffer{};
            while (!session->stop.load()) {
                const int n = session->device->read(buffer.data(), buffer.size(), kReadTimeoutMs);
                if (n == 0) continue;
                if (n < 0) {
                    if (!session->stop.load()) m_inbox.post([this, id] { deviceGone(id); });
                    break;
                }
                // A short report is padded with zeros, never with the previous report's bytes.
                ReportBuffer report{};
                std::memcpy(report.data(), buffer.data(),
                            std::min<size_t>(static_cast<size_t>(n), report.size()));
                m_inbox.post([this, id, report] { deliverReport(id, report.data()); });
            }
        });
        session->writer = std::thread([session] { WriterLoop(*session); });
        m_session = std::move(session);
        return true;
    }
    return false;
}

int UsbLink::CloseUsbDevice() {
    if (!m_session) return 0;
    std::shared_ptr<Session> session = std::move(m_session);
    bool writerBusy;
    {
        std::lock_guard lock(session->mutex);
        session->stop.store(true);
        writerBusy = session->busy;
        session->changed.notify_all();
    }
    session->reader.join();
    if (writerBusy)
        session->writer.detach(); // it holds its own reference and ends after this write
    else
        session->writer.join();
    return 0;
}

// The writer thread: reports in the order they were queued. A frame's report k must start within k + 1
// report budgets of the frame's first report, and a frame's first report within kFrameQueueLimit of
// being queued; otherwise the rest of that frame is dropped, as is the rest of a frame whose report
// the device refused: half a frame is noise to the processor, and the scheduler and the verify read
// send what was lost again.
void UsbLink::WriterLoop(Session& session) {
    using Clock = std::chrono::steady_clock;
    uint64_t abandoned = 0;
    Clock::time_point frameStart;
    std::unique_lock lock(session.mutex);
    for (;;) {
        session.changed.wait(lock, [&] { return !session.queue.empty() || session.stop.load(); });
        if (session.stop.load()) break;
        const QueuedReport job = session.queue.front();
        session.queue.pop_front();
        const Clock::time_point now = Clock::now();
        if (job.index == 0) {
            frameStart = now;
            if (now - job.queuedAt > kFrameQueueLimit) abandoned = job.frame;
        } else if (now - frameStart > (job.index + 1) * kReportBudget) {
            abandoned = job.frame;
        }
        if (job.frame == abandoned) {
            session.busy = !session.queue.empty();
            session.changed.notify_all();
            continue;
        }
        lock.unlock();
        const bool ok = session.device->write(job.bytes.data(), job.bytes.size());
        lock.lock();
        if (!ok) abandoned = job.frame;
        session.writeFailed = !ok;
        session.busy = !session.queue.empty();
        session.changed.notify_all();
    }
}

int UsbLink::WriteUsbReport(const uint8_t* chunk) {
    if (!m_session) {
        emit closedLinkWrite();
        return 0;
    }
    Session& s = *m_session;
    std::lock_guard lock(s.mutex);
    if (s.busy) return 0;
    Enqueue(s, chunk, s.nextFrame++, 0);
    return 1;
}

bool UsbLink::QueueFrameReport(const uint8_t* chunk, bool firstOfFrame) {
    if (!m_session) {
        emit closedLinkWrite();
        return false;
    }
    Session& s = *m_session;
    std::lock_guard lock(s.mutex);
    if (firstOfFrame) {
        s.queuingFrame = s.nextFrame++;
        s.queuingIndex = 0;
        // A device that has not taken what is queued gets no more: the frame is dropped whole.
        if (s.queue.size() >= kMaxQueuedReports) s.droppedFrame = s.queuingFrame;
    }
    if (s.queuingFrame == 0 || s.droppedFrame == s.queuingFrame) return false;
    Enqueue(s, chunk, s.queuingFrame, s.queuingIndex++);
    return true;
}

// Called with the session's mutex held.
void UsbLink::Enqueue(Session& s, const uint8_t* chunk, uint64_t frame, int index) {
    QueuedReport job;
    std::memcpy(job.bytes.data() + 1, chunk, kHidOutReportSize - 1);
    job.frame = frame;
    job.index = index;
    job.queuedAt = std::chrono::steady_clock::now();
    s.queue.push_back(job);
    s.busy = true;
    s.writeFailed = false;
    s.changed.notify_all();
}

bool UsbLink::WaitWriteDone(std::chrono::steady_clock::time_point deadline) {
    if (!m_session) return true;
    Session& s = *m_session;
    std::unique_lock lock(s.mutex);
    return s.changed.wait_until(lock, deadline, [&] { return !s.busy; });
}

bool UsbLink::LastWriteFailed() const {
    if (!m_session) return false;
    std::lock_guard lock(m_session->mutex);
    return m_session->writeFailed;
}

bool UsbLink::usbWriteBusy() const {
    if (!m_session) return false;
    std::lock_guard lock(m_session->mutex);
    return m_session->busy;
}

void UsbLink::setReportHandler(std::function<void(const uint8_t* report)> handler) {
    m_reportHandler = std::move(handler);
}

void UsbLink::deliverReport(uint64_t sessionId, const uint8_t* report) {
    // Reports of a device that has been closed since are dropped.
    if (!m_session || m_session->id != sessionId || !m_reportHandler) return;
    m_reportHandler(report);
}

void UsbLink::deviceGone(uint64_t sessionId) {
    if (!m_session || m_session->id != sessionId) return;
    CloseUsbDevice();
    emit deviceRemoved();
}

void UsbLink::removalNotice(const std::string& path) {
    // Only the open device matters; another HID device, or this one after the link moved on, is ignored.
    if (!m_session || path != m_usbDevicePath) return;
    CloseUsbDevice();
    emit deviceRemoved();
}

} // namespace velmar
