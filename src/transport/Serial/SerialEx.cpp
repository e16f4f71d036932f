// CSerialEx: the listener thread. It only waits for line events and reports them; it never reads data.
#include "SerialEx.h"

#include "SerialTrace.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

namespace velmar {

namespace {

void Signal(int eventFd) {
    const uint64_t one = 1;
    [[maybe_unused]] ssize_t n = ::write(eventFd, &one, sizeof one);
}

void Drain(int eventFd) {
    uint64_t value;
    [[maybe_unused]] ssize_t n = ::read(eventFd, &value, sizeof value);
}

} // namespace

CSerialEx::CSerialEx() = default;

CSerialEx::~CSerialEx() {
    if (IsOpen()) {
        SerialTrace("CSerialEx::~CSerialEx - Serial port not closed\n");
        CSerialEx::Close();
    }
}

int32_t CSerialEx::Open(const char* device, uint32_t dwInQueue, uint32_t dwOutQueue, bool fStartListener) {
    const int32_t result = CSerial::Open(device, dwInQueue, dwOutQueue, true);
    if (result != 0) return result;
    m_hevtOverlappedWorkerThread.reset(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    if (!m_hevtOverlappedWorkerThread) {
        const int err = errno;
        SerialTrace("CSerialEx::Open - Unable to create event\n");
        CSerial::Close();
        SetLastError(err);
        return err;
    }
    if (fStartListener) return StartListener();
    return 0;
}

int32_t CSerialEx::Close() {
    StopListener(kSerialInfinite);
    m_hevtOverlappedWorkerThread.reset();
    return CSerial::Close();
}

int32_t CSerialEx::StartListener() {
    SetLastError(0);
    if (m_hThread.joinable()) return 0;
    if (m_fStopping.load()) SerialTrace("!m_fStopping");
    {
        std::lock_guard lock(m_threadMutex);
        m_threadDone = false;
    }
    try {
        m_hThread = std::thread([this] { ThreadProc(); });
    } catch (const std::system_error& e) {
        SerialTrace("CSerialEx::StartListener - Unable to start COMM watcher thread\n");
        const int32_t err = e.code().value() ? e.code().value() : EAGAIN;
        SetLastError(err);
        return err;
    }
    return 0;
}

int32_t CSerialEx::StopListener(uint32_t timeoutMs) {
    if (!m_hThread.joinable()) return 0;
    m_fStopping.store(true);
    // Re-applying the mask ends the listener's wait; the worker event covers a listener that is between
    // two waits at this moment.
    SetMask(m_dwEventMask.load());
    if (m_hevtOverlappedWorkerThread) Signal(m_hevtOverlappedWorkerThread.get());
    bool ended = true;
    {
        std::unique_lock lock(m_threadMutex);
        if (timeoutMs == kSerialInfinite)
            m_threadEnded.wait(lock, [this] { return m_threadDone; });
        else
            ended = m_threadEnded.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                           [this] { return m_threadDone; });
    }
    if (ended)
        m_hThread.join();
    else
        m_hThread.detach(); // forgotten, as asked; it ends at its next wake
    m_fStopping.store(false);
    return 0;
}

void CSerialEx::ThreadProc() {
    const int workerEvent = m_hevtOverlappedWorkerThread.get();
    while (!m_fStopping.load()) {
        // Reset first, look at the flag second: a stop signalled in between is then still pending.
        Drain(workerEvent);
        if (m_fStopping.load()) break;
        SerialOverlapped overlapped;
        overlapped.hEvent = workerEvent;
        if (WaitEvent(&overlapped, kSerialInfinite) != 0) break;
        if (m_fStopping.load()) break;
        const uint32_t events = GetEventType();
        uint32_t errors = 0;
        if (ReadLineErrors(errors) != 0) {
            SerialTrace("CSerialEx::ThreadProc - Unable to obtain COM status\n");
            errors = 0;
        }
        if (events) OnEvent(events, errors);
    }
    std::lock_guard lock(m_threadMutex);
    m_threadDone = true;
    m_threadEnded.notify_all();
}

} // namespace velmar
